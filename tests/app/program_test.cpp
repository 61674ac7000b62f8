#include "app/program_fixture.h"

namespace tavelio::test {
namespace {

using ProgramTest = ProgramFixture;

TEST_F(ProgramTest, TheEntryMakesTheLaunchPadAndAHiddenDisabledViewer) {
    Program& program = StartProgram(false);
    EXPECT_EQ(launch().objectName(), "Launch");
    TViewBook* viewer = program.ViewBook();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->objectName(), "ViewBook");
    EXPECT_FALSE(viewer->OwnVisible());
    EXPECT_FALSE(viewer->OwnEnabled());
    EXPECT_FALSE(launch().OwnVisible());
    EXPECT_EQ(program.Forms(), (std::vector<Form*>{&launch(), viewer}));
    EXPECT_EQ(program.FindForm("ViewBook"), viewer);
    EXPECT_EQ(program.FindForm("Splash"), nullptr);
    EXPECT_EQ(program.ActiveFormNow(), nullptr);
    EXPECT_EQ(program.Cursor().CurPage, 0);
}

TEST_F(ProgramTest, TheViewerHoldsWhatStartUpAndShutdownUse) {
    Program& program = StartProgram(false);
    TViewBook& viewer = *program.ViewBook();
    const nlohmann::json form = viewer.Describe();
    EXPECT_EQ(form["caption"], "View Book");
    EXPECT_EQ(form["width"], 800);
    EXPECT_EQ(form["height"], 600);
    const nlohmann::json& controls = form["controls"];
    int top = 252;
    for (const char* name : {"Text1", "Text2", "Text3"}) {
        const nlohmann::json& line = controls.at(name);
        EXPECT_EQ(line["caption"], "Ann");
        EXPECT_EQ(line["visible"], false);
        EXPECT_EQ(line["fontName"], "Times New Roman");
        EXPECT_EQ(line["fontHeight"], 53);
        EXPECT_EQ(QRect(line["left"], line["top"], line["width"], line["height"]),
                  QRect(144, top, 497, 71));
        top += 66;
    }
    EXPECT_EQ(viewer.Text1->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_TRUE(viewer.Text1->wordWrap());
    EXPECT_EQ(controls.at("CoverTimed")["interval"], 3500);
    EXPECT_EQ(controls.at("CoverTimed")["enabled"], false);
    EXPECT_FALSE(viewer.TextSpeachPlay->AutoRewind());
    EXPECT_EQ(viewer.TextSpeachPlay->Display(), nullptr);
    EXPECT_TRUE(viewer.AniPlay->AutoRewind());
    EXPECT_EQ(viewer.AniPlay->Display(), viewer.AniShow);
    EXPECT_EQ(viewer.AniShow->geometry(), QRect(225, 25, 315, 226));
    EXPECT_FALSE(viewer.AniShow->OwnVisible());
    EXPECT_FALSE(viewer.AniShow->OwnEnabled());
}

TEST_F(ProgramTest, TheViewerIsMaximisedWhenShown) {
    SetScreen(1024, 768);
    StartProgram();
    launch().QVA->DeliverClick();
    launch().Ann->DeliverClick();
    TViewBook& viewer = *program().ViewBook();
    EXPECT_EQ(QRect(viewer.Left(), viewer.Top(), viewer.Width(), viewer.Height()),
              QRect(0, 0, 1024, 768));
    // Within the designed frame, where the window system draws none.
    EXPECT_EQ(QSize(viewer.ClientWidth(), viewer.ClientHeight()), QSize(1016, 741));
}

TEST_F(ProgramTest, DescribesSettingsAndFlagsByName) {
    Program& program = StartProgram();
    const nlohmann::json settings = program.DescribeSettings();
    for (const char* name : {"FromPath", "UseMP3", "SoundOn", "AniOn", "AniInst", "SoundInst",
                             "FullInstall", "Installed", "InstallPath", "TempDir", "FontFile"}) {
        EXPECT_TRUE(settings.contains(name)) << name;
    }
    EXPECT_EQ(settings.size(), 11u);
    EXPECT_EQ(settings["FontFile"], program.ProgramSettings().FontFile);
    EXPECT_EQ(program.DescribeFlags(), (nlohmann::json{{"LaunchActivated", true}}));
}

} // namespace
} // namespace tavelio::test
