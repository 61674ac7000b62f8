#include "base/errors.h"
#include "platform/controls/memo.h"
#include "support/form_services.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

class MemoTest : public ::testing::Test, protected test::FormServices {
protected:
    MemoTest() { form_.resize(300, 300); }

    // A press and release of button at the middle of the memo's text area, as the window system
    // delivers them; a right button also asks for the context menu.
    void Click(Memo& memo, Qt::MouseButton button) {
        QWidget& area = *memo.viewport();
        const QPointF at(area.width() / 2, area.height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, area.mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&area, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, area.mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&area, &release);
        if (button == Qt::RightButton) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at.toPoint(),
                                   area.mapToGlobal(at.toPoint()));
            QCoreApplication::sendEvent(&area, &menu);
        }
    }

    QWidget form_;
};

TEST_F(MemoTest, ALineWiderThanTheMemoWrapsOnScreenAndStaysOneLine) {
    Memo memo(&form_, "Text", 10, 10, 120, 200, dispatcher_);
    memo.SetLines({"Oh no! A weed is growing next to the shoot.", "Ann"});
    memo.Append("caf\xE9");
    (void)memo.grab(); // lays the text out
    EXPECT_EQ(memo.Lines().size(), 3u);
    EXPECT_GT(memo.document()->firstBlock().layout()->lineCount(), 1);
    EXPECT_EQ(memo.Describe()["lines"][2], "caf\xC3\xA9");
    memo.Clear();
    EXPECT_TRUE(memo.Lines().empty());
    EXPECT_TRUE(memo.toPlainText().isEmpty());
}

TEST_F(MemoTest, MouseEventsReachTheirHandlersInOrderAndNoMenuShows) {
    Memo memo(&form_, "Instructions", 10, 10, 120, 100, dispatcher_);
    std::string events;
    memo.SetOnMouseDown([&] { events += "down "; });
    memo.SetOnClick([&] {
        events += "click ";
        throw Error("handled");
    });
    memo.SetOnContextPopup([&] { events += "popup "; });
    form_.show();
    Click(memo, Qt::LeftButton);
    Click(memo, Qt::RightButton);
    EXPECT_EQ(events, "down click down popup ");
    EXPECT_EQ(errorBox_.Texts(), std::vector<std::string>{"handled."});
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // A disabled memo, or one of a disabled form, takes no mouse.
    memo.SetEnabled(false);
    memo.DeliverClick();
    memo.SetEnabled(true);
    form_.setEnabled(false);
    memo.DeliverMouseDown();
    form_.setEnabled(true);
    EXPECT_EQ(events, "down click down popup ");
}

} // namespace
} // namespace tavelio
