#include "scenario/scenario_runner.h"

#include "app/program.h"
#include "base/text_encoding.h"
#include "platform/controls/control.h"
#include "platform/controls/form.h"
#include "platform/controls/key_codes.h"
#include "platform/system/hive_registry.h"
#include "viewer/viewer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QSaveFile>
#include <QStringDecoder>
#include <array>
#include <istream>
#include <ostream>
#include <string_view>

namespace tavelio {
namespace {

// The forms the program has; a script that names another is mistaken.
constexpr std::array<std::string_view, 3> kFormNames{"Launch", "ViewBook", "Splash"};

bool IsFormName(std::string_view name) {
    for (std::string_view formName : kFormNames) {
        if (formName == name) {
            return true;
        }
    }
    return false;
}

// Virtual time stops here (some 31,000 years), far enough from the end of its 64-bit counter that
// due times of timers and players can't overflow it.
constexpr std::int64_t kLastMomentMs = 1'000'000'000'000'000;

// A machine without the program's registry key.
class NoKeyRegistry final : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenKey(const std::string&) override { return nullptr; }
};

std::unique_ptr<Registry> MakeRegistry(const std::optional<std::string>& hiveFile) {
    if (hiveFile) {
        return std::make_unique<HiveRegistry>(*hiveFile);
    }
    return std::make_unique<NoKeyRegistry>();
}

// An error box text as UTF-8. Messages are UTF-8, except where one carries bytes of a record
// string, which are Windows-1252; the message box reads them the same way.
std::string Utf8ErrorText(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    (void)utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? Cp1252ToUtf8(text) : text;
}

// The control named name among the form's own controls (its direct children), or nullptr.
QObject* FindControl(const Form& form, const std::string& name) {
    for (QObject* child : form.children()) {
        if (child->objectName().toStdString() == name && dynamic_cast<Control*>(child) != nullptr) {
            return child;
        }
    }
    return nullptr;
}

// Whether the widget's own Visible setting and those of its parents up to its window are on.
bool ShownWithinWindow(const QWidget& widget) {
    for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
        if (w->isHidden()) {
            return false;
        }
        if (w->isWindow()) {
            break;
        }
    }
    return true;
}

// A left button click at point of widget, as the window system delivers it.
void SendClick(QWidget& widget, QPoint point) {
    const QPointF local(point);
    const QPointF global(widget.mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

} // namespace

ScenarioRunner::ScenarioRunner(const ScenarioOptions& options, std::ostream& out, std::ostream& err)
    : out_(out), err_(err), registry_(MakeRegistry(options.registryFile)),
      screen_(options.screenWidth, options.screenHeight) {}

ScenarioRunner::~ScenarioRunner() {
    program_.reset();
    Settle();
}

ScenarioStatus ScenarioRunner::Run(std::istream& script) {
    program_ = std::make_unique<Program>(services_);
    // As the message loop starts: the launch pad shows and its first activation, queued on the
    // clock, does the start-up work before the user can do anything.
    program_->Start();
    Settle();

    ScenarioStatus status = kScenarioDone;
    std::string line;
    int lineNo = 0;
    while (!program_->Ended() && std::getline(script, line)) {
        ++lineNo;
        try {
            const std::optional<ScriptCommand> command = ParseScriptLine(line);
            if (command) {
                status = Execute(*command, lineNo);
            }
        } catch (const ScriptError& error) {
            err_ << "tavelio-scenario: line " << lineNo << ": " << error.what() << '\n';
            status = kScenarioBadInput;
        }
        if (status != kScenarioDone) {
            break;
        }
    }

    // Shut down as the user would at the end: closing the main window runs the shutdown (the
    // font removed and its file deleted). The program's own end needs nothing more.
    if (!program_->Ended()) {
        dispatcher_.Run([this] { program_->Launch().Close(); });
        Settle();
    }
    program_.reset();
    Settle();
    tempDirectory_.Remove();
    err_.flush();
    return status;
}

ScenarioStatus ScenarioRunner::Execute(const ScriptCommand& command, int lineNo) {
    using Verb = ScriptCommand::Verb;
    switch (command.verb) {
    case Verb::Wait:
        if (command.waitMs > kLastMomentMs - clock_.NowMs()) {
            throw ScriptError("wait: virtual time can't go past " + std::to_string(kLastMomentMs) +
                              " ms");
        }
        clock_.Advance(command.waitMs);
        break;
    case Verb::Key:
        if (Form* form = program_->ActiveFormNow()) {
            form->DeliverKeyDown(command.keyCode);
        } else {
            Note(lineNo, "no form is active; the key goes nowhere");
        }
        break;
    case Verb::Char: {
        const std::optional<char> character = Cp1252Char(command.character);
        if (!character) {
            throw ScriptError("char: the character can't be typed: it has no Windows-1252 code");
        }
        if (Form* form = program_->ActiveFormNow()) {
            form->DeliverChar(*character);
        } else {
            Note(lineNo, "no form is active; the character goes nowhere");
        }
        break;
    }
    case Verb::Click:
        Click(command.name, lineNo);
        break;
    case Verb::Close:
        Close(command.name, lineNo);
        break;
    case Verb::Dump:
        out_ << Dump().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        out_.flush();
        break;
    case Verb::Shot:
        return Shot(command.name, command.file, lineNo);
    }
    Settle();
    return kScenarioDone;
}

void ScenarioRunner::Click(const std::string& controlName, int lineNo) {
    Form* form = program_->ActiveFormNow();
    QObject* control = form != nullptr ? FindControl(*form, controlName) : nullptr;
    if (control == nullptr) {
        for (Form* other : program_->Forms()) {
            if (FindControl(*other, controlName) != nullptr) {
                Note(lineNo, controlName + " is on " + other->objectName().toStdString() +
                                 ", which is not the active form; no click");
                return;
            }
        }
        if (controlNames_.count(controlName) != 0) {
            Note(lineNo, controlName + " is gone with its form; no click");
            return;
        }
        throw ScriptError("click: no control named '" + controlName + "' on any form");
    }
    auto* widget = qobject_cast<QWidget*>(control);
    if (widget == nullptr) {
        throw ScriptError("click: " + controlName + " is not a control that can be clicked");
    }
    if (!ShownWithinWindow(*widget) || !widget->isEnabled()) {
        Note(lineNo, controlName + " is hidden or disabled; no click");
        return;
    }
    // The click goes where the window system would send it: to the innermost window under the
    // control's centre (the text area of a memo), or, for a control that lets the mouse
    // through, to what lies below it.
    const QPoint inForm = widget->mapTo(form, widget->rect().center());
    QWidget* target = widget->testAttribute(Qt::WA_TransparentForMouseEvents)
                          ? form->childAt(inForm)
                          : widget->childAt(widget->mapFrom(form, inForm));
    if (target == nullptr) {
        target = widget->testAttribute(Qt::WA_TransparentForMouseEvents) ? form : widget;
    }
    SendClick(*target, target->mapFrom(form, inForm));
}

void ScenarioRunner::Close(const std::string& formName, int lineNo) {
    Form* form = program_->FindForm(formName);
    if (form == nullptr) {
        if (!IsFormName(formName)) {
            throw ScriptError("close: no form named '" + formName + "'");
        }
        Note(lineNo, formName + " does not exist now; nothing to close");
        return;
    }
    if (!form->OwnVisible() || !form->OwnEnabled()) {
        Note(lineNo, formName + " is hidden or disabled; the user can't close it");
        return;
    }
    form->DeliverClose();
}

ScenarioStatus ScenarioRunner::Shot(const std::string& formName, const std::string& file,
                                    int lineNo) {
    Form* form = program_->FindForm(formName);
    if (form == nullptr) {
        if (!IsFormName(formName)) {
            throw ScriptError("shot: no form named '" + formName + "'");
        }
        Note(lineNo, formName + " does not exist now; no picture written");
        return kScenarioDone;
    }
    // Written whole or not at all, and a failure says why: a missing folder, no permission, a full
    // disk.
    QSaveFile out(QString::fromStdString(file));
    if (!out.open(QIODevice::WriteOnly) || !form->grab().save(&out, "PNG") || !out.commit()) {
        err_ << "tavelio-scenario: line " << lineNo << ": can't write the picture " << file << ": "
             << out.errorString().toStdString() << '\n';
        return kScenarioFailed;
    }
    return kScenarioDone;
}

nlohmann::ordered_json ScenarioRunner::Dump() const {
    nlohmann::ordered_json dump;
    dump["time"] = clock_.NowMs();
    const Form* active = program_->ActiveFormNow();
    dump["active"] = active != nullptr ? nlohmann::ordered_json(active->objectName().toStdString())
                                       : nlohmann::ordered_json(nullptr);
    dump["CurPage"] = program_->Cursor().CurPage;
    dump["StoryPage"] = program_->Cursor().StoryPage;
    dump["settings"] = program_->DescribeSettings();
    nlohmann::json flags = program_->DescribeFlags();
    if (TViewBook* viewBook = program_->ViewBook()) {
        const Viewer& viewer = viewBook->State();
        flags["ScriptLine"] = viewer.script.ScriptLine;
        flags["ReadLine"] = viewer.script.ReadLine;
        flags["ReadBase"] = viewer.script.ReadBase;
        flags["MediaStoppedFlag"] = viewer.MediaStoppedFlag;
        flags["AniWasPlaying"] = viewer.AniWasPlaying;
    }
    dump["flags"] = std::move(flags);
    nlohmann::ordered_json errors = nlohmann::ordered_json::array();
    for (const std::string& text : errorBox_.Texts()) {
        errors.push_back(Utf8ErrorText(text));
    }
    dump["errors"] = std::move(errors);
    nlohmann::ordered_json forms = nlohmann::ordered_json::object();
    for (const Form* form : program_->Forms()) {
        forms[form->objectName().toStdString()] = form->Describe();
    }
    dump["forms"] = std::move(forms);
    return dump;
}

void ScenarioRunner::Settle() {
    clock_.RunDue();
    if (program_) {
        RememberControlNames();
    }
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ScenarioRunner::RememberControlNames() {
    for (const Form* form : program_->Forms()) {
        for (const QObject* child : form->children()) {
            if (dynamic_cast<const Control*>(child) != nullptr) {
                controlNames_.insert(child->objectName().toStdString());
            }
        }
    }
}

void ScenarioRunner::Note(int lineNo, const std::string& text) {
    err_ << "tavelio-scenario: line " << lineNo << ": note: " << text << '\n';
}

} // namespace tavelio
