#include "platform/controls/active_form.h"

#include "platform/controls/form.h"

#include <QPointer>
#include <algorithm>

namespace tavelio {

ActiveForm::~ActiveForm() {
    clock_.Cancel(pendingActivation_);
}

void ActiveForm::FormShown(Form& form) {
    if (CanBeActive(form) && current_ != &form) {
        MakeActive(&form);
    }
}

void ActiveForm::FormHiddenOrDisabled(Form& form) {
    if (current_ == &form && !CanBeActive(form)) {
        ChooseAnother();
    }
}

void ActiveForm::FormDestroyed(Form& form) {
    std::erase(history_, &form);
    if (current_ == &form) {
        current_ = nullptr;
        ChooseAnother();
    }
}

bool ActiveForm::CanBeActive(const Form& form) {
    // Enabled in effect: a window owned by a disabled window can't take input either.
    return form.OwnVisible() && form.isEnabled();
}

void ActiveForm::MakeActive(Form* form) {
    current_ = form;
    clock_.Cancel(pendingActivation_);
    pendingActivation_ = 0;
    if (form == nullptr) {
        return;
    }
    std::erase(history_, form);
    history_.push_back(form);
    pendingActivation_ = clock_.CallAfter(0, [this, queued = QPointer<Form>(form)] {
        pendingActivation_ = 0;
        if (queued != nullptr && queued.data() == current_) {
            queued->DeliverActivate();
        }
    });
    form->AskForFocus();
}

void ActiveForm::ChooseAnother() {
    const auto next = std::find_if(history_.rbegin(), history_.rend(), [this](Form* form) {
        return form != current_ && CanBeActive(*form);
    });
    MakeActive(next != history_.rend() ? *next : nullptr);
}

} // namespace tavelio
