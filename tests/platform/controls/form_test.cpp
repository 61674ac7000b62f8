#include "base/errors.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"
#include "platform/controls/timer.h"
#include "support/form_services.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tavelio {
namespace {

// A form that writes every handler call into a shared log, as "<name> <what>".
class LoggingForm final : public Form {
public:
    LoggingForm(const FormEnvironment& environment, const char* name, std::vector<std::string>& log,
                FrameStyle frameStyle = FrameStyle::Sizeable)
        : Form(environment, name, frameStyle), log_(log) {}

    std::function<void()> onKeyDown; // runs after logging, may raise

protected:
    void FormActivate() override { Write("activate"); }
    void FormClose() override { Write("close"); }
    void FormKeyDown(int virtualKey) override {
        Write("key " + std::to_string(virtualKey));
        if (onKeyDown) {
            onKeyDown();
        }
    }
    void FormKeyPress(char character) override { Write(std::string("char ") + character); }

private:
    void Write(const std::string& what) { log_.push_back(objectName().toStdString() + " " + what); }
    std::vector<std::string>& log_;
};

class FormTest : public ::testing::Test, protected test::FormServices {
protected:
    std::unique_ptr<LoggingForm>
    MakeForm(const char* name, Form::FrameStyle frameStyle = Form::FrameStyle::Sizeable) {
        return std::make_unique<LoggingForm>(environment_, name, log_, frameStyle);
    }

    void SendKey(Form& form, int qtKey, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, text);
        QCoreApplication::sendEvent(&form, &event);
    }

    std::vector<std::string> log_;
};

TEST_F(FormTest, ShowingAFormActivatesItAfterTheCurrentHandler) {
    auto a = MakeForm("A");
    a->show();
    EXPECT_EQ(activeForm_.Current(), a.get());
    EXPECT_TRUE(log_.empty());
    clock_.RunDue();
    EXPECT_EQ(log_, std::vector<std::string>{"A activate"});
    a->show(); // already shown: nothing new
    clock_.RunDue();
    EXPECT_EQ(log_.size(), 1u);
}

TEST_F(FormTest, HidingTheActiveFormPassesActivationToTheLastActiveShownForm) {
    auto a = MakeForm("A");
    auto b = MakeForm("B");
    auto c = MakeForm("C");
    a->show();
    b->show();
    c->show();
    clock_.RunDue();
    // Only the last form shown within one handler is activated.
    EXPECT_EQ(log_, std::vector<std::string>{"C activate"});
    c->hide();
    clock_.RunDue();
    EXPECT_EQ(activeForm_.Current(), b.get());
    b->setEnabled(false);
    clock_.RunDue();
    EXPECT_EQ(activeForm_.Current(), a.get());
    a.reset();
    EXPECT_EQ(activeForm_.Current(), nullptr);
    clock_.RunDue();
    EXPECT_EQ(log_, (std::vector<std::string>{"C activate", "B activate", "A activate"}));
}

TEST_F(FormTest, DisabledFormsAreNeverActivated) {
    auto a = MakeForm("A");
    a->setEnabled(false);
    a->show();
    EXPECT_EQ(activeForm_.Current(), nullptr);
    a->setEnabled(true); // enabling a shown form does not activate it
    clock_.RunDue();
    EXPECT_EQ(activeForm_.Current(), nullptr);
    EXPECT_TRUE(log_.empty());
}

TEST_F(FormTest, ActivationOfAFormHiddenBeforeItRunsIsDropped) {
    auto a = MakeForm("A");
    auto b = MakeForm("B");
    b->show();
    a->show();
    a->hide(); // B is active again
    clock_.RunDue();
    EXPECT_EQ(log_, std::vector<std::string>{"B activate"});
}

TEST_F(FormTest, KeysArriveAsVirtualKeyAndCharacter) {
    auto a = MakeForm("A");
    a->show();
    clock_.RunDue();
    log_.clear();
    SendKey(*a, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    SendKey(*a, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    SendKey(*a, Qt::Key_Exclam, Qt::ShiftModifier, QStringLiteral("!"));
    SendKey(*a, Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"));
    SendKey(*a, Qt::Key_F5, Qt::NoModifier, QString());
    SendKey(*a, Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("\xc3\xa9"));
    EXPECT_EQ(log_, (std::vector<std::string>{"A key 65", "A char a", "A key 27", "A char \x1b",
                                              "A key 49", "A char !", "A key 101", "A char 5",
                                              "A key 116", "A char \xe9"}));
}

TEST_F(FormTest, DeliveredInputReachesOnlyAShownEnabledForm) {
    auto a = MakeForm("A");
    a->DeliverKeyDown(36);
    a->DeliverChar('n');
    a->DeliverClose();
    a->show();
    a->setEnabled(false);
    a->DeliverKeyDown(36);
    a->setEnabled(true);
    a->DeliverKeyDown(36);
    a->DeliverChar('n');
    EXPECT_EQ(log_, (std::vector<std::string>{"A key 36", "A char n"}));
}

TEST_F(FormTest, AnErrorEndsItsHandlerAndTheProgramGoesOn) {
    auto a = MakeForm("A");
    a->show();
    a->onKeyDown = [] { throw EInOutError(2); };
    SendKey(*a, Qt::Key_Home, Qt::NoModifier, QString());
    a->DeliverKeyDown(37);
    EXPECT_EQ(errorBox_.Texts(), (std::vector<std::string>{"File not found.", "File not found."}));
    a->DeliverChar('x');
    EXPECT_EQ(log_.back(), "A char x");
}

TEST_F(FormTest, ClosingRunsTheHandlerThenHidesOrEndsTheProgram) {
    auto a = MakeForm("A");
    auto main = MakeForm("Main");
    int endings = 0;
    main->SetCloseEndsProgram([&] { ++endings; });
    a->show();
    main->show();
    a->close(); // as the window system asks
    EXPECT_FALSE(a->isVisible());
    main->DeliverClose();
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(main->isVisible()); // the program decides what becomes of its main window
    EXPECT_EQ(log_, (std::vector<std::string>{"A close", "Main close"}));
}

TEST_F(FormTest, OuterSizeFollowsTheDesignedFrameAndKeepsTheCorner) {
    auto a = MakeForm("A", Form::FrameStyle::FixedSingle);
    a->SetClientSize(562, 375);
    EXPECT_EQ(QSize(a->Width(), a->Height()), QSize(570, 402));
    a->SetLeft(115);
    a->SetTop(99);
    a->SetWidth(590);
    a->SetHeight(400);
    EXPECT_EQ(QRect(a->Left(), a->Top(), a->Width(), a->Height()), QRect(115, 99, 590, 400));
    EXPECT_EQ(QSize(a->ClientWidth(), a->ClientHeight()), QSize(582, 373));
    auto frameless = MakeForm("F", Form::FrameStyle::None);
    frameless->SetBounds(0, 0, 640, 480);
    EXPECT_EQ(QSize(frameless->ClientWidth(), frameless->ClientHeight()), QSize(640, 480));
}

TEST_F(FormTest, CentredOnFirstShowAndMaximisedToTheAvailableArea) {
    auto centred = MakeForm("C");
    centred->SetBounds(0, 0, 570, 402);
    centred->SetCentredWhenFirstShown(true);
    centred->show();
    EXPECT_EQ(QPoint(centred->Left(), centred->Top()), QPoint(115, 99));
    centred->SetLeft(3);
    centred->hide();
    centred->show(); // only the first time
    EXPECT_EQ(centred->Left(), 3);

    screen_ = FixedScreen(1024, 768, QRect(0, 0, 1024, 740));
    auto maximised = MakeForm("M");
    maximised->SetBounds(0, 0, 800, 600);
    maximised->SetMaximizedWhenShown(true);
    maximised->show();
    EXPECT_EQ(QRect(maximised->Left(), maximised->Top(), maximised->Width(), maximised->Height()),
              QRect(0, 0, 1024, 740));
    EXPECT_EQ(QSize(maximised->ClientWidth(), maximised->ClientHeight()), QSize(1016, 713));
}

TEST_F(FormTest, DescribesItselfAndItsControlsButNotOwnedWindows) {
    auto a = MakeForm("A", Form::FrameStyle::FixedSingle);
    a->SetCaption("Caf\xe9");
    a->SetClientSize(200, 100);
    new Label(a.get(), "Note", 10, 20, 30, 15, "Hi");
    new Timer(a.get(), "Tick", 250, clock_, dispatcher_);
    auto owned = std::make_unique<LoggingForm>(environment_, "Child", log_);
    owned->setParent(a.get(), Qt::Window);
    const nlohmann::json description = a->Describe();
    EXPECT_EQ(description["caption"], "Caf\xc3\xa9");
    EXPECT_EQ(description["visible"], false);
    EXPECT_EQ(description["enabled"], true);
    EXPECT_EQ(description["width"], 208);
    EXPECT_EQ(description["height"], 127);
    EXPECT_EQ(description["clientWidth"], 200);
    EXPECT_EQ(description["clientHeight"], 100);
    ASSERT_EQ(description["controls"].size(), 2u);
    EXPECT_EQ(description["controls"]["Note"]["kind"], "label");
    EXPECT_EQ(description["controls"]["Note"]["visible"], true); // its own setting
    EXPECT_EQ(description["controls"]["Tick"]["interval"], 250);
    owned->setParent(nullptr);
}

} // namespace
} // namespace tavelio
