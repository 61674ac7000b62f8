// ActiveForm: which of the program's forms is its active form, kept by the program itself.
//
// Rules:
// - A form becomes active when it is shown while enabled. A disabled form (the splash) never
//   becomes active, and enabling a form that is already shown does not activate it.
// - When the active form is hidden, disabled or destroyed, the most recently active of the other
//   forms that are shown and enabled becomes active; when there is none, no form is active.
// - Becoming active queues the form's activation as an event on the clock (CallAfter 0): its
//   FormActivate runs after the handler that changed the forms has returned, and only if the form
//   is still the active one by then. The window system is asked to activate and raise the window
//   as well, so that keys go to it.
// - Error boxes are not forms and do not take part.
//
// Ownership: forms register themselves while they exist; the tracker owns nothing. The clock
// must outlive the tracker, and the tracker must outlive every form.
#pragma once

#include "platform/system/clock.h"

#include <vector>

namespace tavelio {

class Form;

class ActiveForm {
public:
    explicit ActiveForm(Clock& clock) : clock_(clock) {}
    ~ActiveForm();
    ActiveForm(const ActiveForm&) = delete;
    ActiveForm& operator=(const ActiveForm&) = delete;

    // The active form, or nullptr.
    Form* Current() const { return current_; }

    // Told by Form as its own Visible and Enabled settings change, and when it goes away.
    void FormShown(Form& form);
    void FormHiddenOrDisabled(Form& form);
    void FormDestroyed(Form& form);

private:
    static bool CanBeActive(const Form& form);
    void MakeActive(Form* form);
    void ChooseAnother();

    Clock& clock_;
    Form* current_ = nullptr;
    std::vector<Form*> history_; // forms that were active, least recent first
    Clock::Ticket pendingActivation_ = 0;
};

} // namespace tavelio
