// Navigation rules that a book of the usual shape never reaches (tables that end without the
// next book, a page 1 that fails to load), and the memos' focus guard with input that comes
// through the window system. What a reader sees on the demo book is checked by the scenario
// scripts.
#include "book_fixture.h"
#include "platform/controls/key_codes.h"
#include "viewer/navigation.h"

#include <QTest>
#include <QWindow>

namespace tavelio::test {
namespace {

class NavigationTest : public BookFixture {
protected:
    // The launch pad opening the book: the viewer enabled and shown, which activates it, and the
    // cover timer started.
    void OpenBook() {
        view_.SetEnabled(true);
        view_.SetVisible(true);
        view_.CoverTimed->SetEnabled(true);
        clock_.RunDue();
    }

    int CurPage() const { return cursor_.CurPage; }
};

TEST_F(NavigationTest, NextBookStaysInTheBookWhenNoLaterRecordHoldsItsSuccessor) {
    // Book 1 is its cover alone; book 2 fills slots 2 to 12 and no book 3 follows it.
    for (int slot = 2; slot <= 12; ++slot) {
        pages_.At(slot).BookNo = 2;
        pages_.At(slot).PageNo = static_cast<std::uint8_t>(slot - 2);
    }
    settings_.SoundOn = false; // book 2 has no narration file
    OpenBook();

    // Book 1 looks for its own second record, finds none and stays on its cover; the cover's
    // 3500 ms start again.
    Advance(2000);
    AsEvent([](Viewer& viewer) { ViewerKeyPress(viewer, 'n'); });
    EXPECT_EQ(CurPage(), 1);
    EXPECT_EQ(cursor_.StoryPage, kStoryPage);
    Advance(3499);
    EXPECT_EQ(CurPage(), 1);

    // Past the cover the cursor runs into book 2. From book 2's first page the search for book 3
    // reaches the end of the table, and the reader stays in book 2, on its cover.
    Advance(1);
    AsEvent([](Viewer& viewer) { ViewerKeyDown(viewer, vk::kRight); });
    ASSERT_EQ(CurPage(), 3);
    AsEvent([](Viewer& viewer) { ViewerKeyPress(viewer, 'N'); });
    EXPECT_EQ(CurPage(), 2);
    EXPECT_TRUE(view_.CoverTimed->Enabled());
    EXPECT_FALSE(view_.RestartBit->OwnEnabled());
    EXPECT_TRUE(Errors().empty()) << Errors().front();
}

TEST_F(NavigationTest, CoverTimerFiresOnceWhenPageOneFailsToLoad) {
    // Page 1 has a picture, but there is no picture archive.
    Page(1).PicType = "jpg";
    OpenBook();

    Advance(3500);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_FALSE(view_.CoverTimed->Enabled());
    Advance(20000);
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_EQ(CurPage(), 2);
    // Home brings the cover back, and its timer the failing page 1 once more.
    AsEvent([](Viewer& viewer) { ViewerKeyDown(viewer, vk::kHome); });
    EXPECT_EQ(CurPage(), 1);
    Advance(3500);
    EXPECT_EQ(Errors().size(), 2u);
}

// A click into a memo and then the Right arrow, both as the window system delivers them.
class MemoFocusTest : public NavigationTest {
protected:
    void ClickIntoMemoThenPressRight(Memo& memo) {
        SCOPED_TRACE(memo.objectName().toStdString());
        ASSERT_TRUE(memo.isVisible());
        QWindow* window = view_.windowHandle();
        ASSERT_NE(window, nullptr);
        const int before = CurPage();
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                          memo.mapTo(&view_, memo.rect().center()));
        clock_.RunDue();
        EXPECT_FALSE(memo.hasFocus());
        QTest::keyClick(window, Qt::Key_Right);
        clock_.RunDue();
        EXPECT_EQ(CurPage(), before + 1);
        EXPECT_FALSE(memo.hasFocus());
    }
};

TEST_F(MemoFocusTest, ArrowKeysTurnPagesAfterAClickIntoAnyMemo) {
    // Narration off: the prompts show in writing. Page 1 has instructions and a prompt, page 2 is
    // a text page, page 3 has a prompt again.
    settings_.SoundOn = false;
    BookPage(1).PromptText = "Say it.";
    BookPage(2).PageKind = 4;
    BookPage(3).PromptText = "Say it.";
    OpenBook();
    Advance(3500);
    ASSERT_EQ(CurPage(), 2);

    ClickIntoMemoThenPressRight(*view_.Instructions);
    ClickIntoMemoThenPressRight(*view_.Text);
    ClickIntoMemoThenPressRight(*view_.VoicePrompt);
    EXPECT_TRUE(Errors().empty());
}

} // namespace
} // namespace tavelio::test
