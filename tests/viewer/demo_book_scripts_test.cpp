// The demo book's page scripts run on the viewer, page by page with its narration and clip: each
// runs to its end (no timer left waiting on a delay that never comes) within its page's narration.
#include "content/database_reader.h"
#include "viewer/animation.h"
#include "viewer/narration.h"
#include "viewer/page_layout.h"
#include "viewer/page_script.h"
#include "viewer_fixture.h"

namespace tavelio::test {
namespace {

class DemoBookScriptsTest : public ViewerFixture {
protected:
    DemoBookScriptsTest() {
        LoadDatabase(std::string(TAVELIO_DEMO_DIR) + "/QVDB.dat", folder_.Path("ZBM.TTF"), pages_);
        std::filesystem::current_path(TAVELIO_DEMO_DIR);
    }

    bool ScriptRuns() {
        for (const Timer* timer : {view_.ReadBook, view_.ShowRhyme, view_.Arrows}) {
            if (timer->Enabled()) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(DemoBookScriptsTest, EveryScriptRunsToItsEndWithinItsNarration) {
    OpenSpeechFile(viewer_);
    int scripts = 0;
    for (int pageNo = 1; pageNo < 12; ++pageNo) {
        SCOPED_TRACE(pageNo);
        StopAllMedia(viewer_);
        ResetScript(viewer_);
        cursor_.CurPage = static_cast<std::uint8_t>(pageNo + 1);
        LoadPage(viewer_);
        ShowPageAnimation(viewer_);
        StartPageScript(viewer_);
        PlayPageSpeech(viewer_);
        if (!ScriptRuns()) {
            continue;
        }
        ++scripts;
        const QVDBType& page = viewer_.Current();
        const std::int64_t stretch = page.SpeechEnd - page.SpeechStart;
        const std::int64_t start = clock_.NowMs();
        while (ScriptRuns() && clock_.NowMs() - start <= stretch + 1000) {
            clock_.Advance(10);
        }
        EXPECT_FALSE(ScriptRuns()) << "a script timer waits on a delay that never comes";
        EXPECT_LE(clock_.NowMs() - start, stretch + 1000);
        EXPECT_FALSE(view_.UpArrow->OwnVisible());
        EXPECT_TRUE(Errors().empty());
    }
    EXPECT_EQ(scripts, 6);
}

} // namespace
} // namespace tavelio::test
