#include "platform/system/qt_font_installer.h"

#include <QFontDatabase>
#include <QStringList>
#include <gtest/gtest.h>
#include <string>

namespace tavelio {
namespace {

// A font that the build machine has (fonts-liberation2).
constexpr char kFontFile[] = "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf";

TEST(QtFontInstaller, InstallsAFontFileUntilItIsRemoved) {
    QtFontInstaller installer;
    ASSERT_TRUE(installer.Add(kFontFile));
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Liberation Serif")));
    EXPECT_TRUE(installer.Remove(kFontFile));
    EXPECT_FALSE(installer.Remove(kFontFile)); // only as often as it was added
}

TEST(QtFontInstaller, AFileThatHoldsNoFontIsNotInstalled) {
    QtFontInstaller installer;
    EXPECT_FALSE(installer.Add("/nonexistent/ZBM.TTF"));
    EXPECT_FALSE(installer.Add(__FILE__));
    EXPECT_FALSE(installer.Remove("/nonexistent/ZBM.TTF"));
}

} // namespace
} // namespace tavelio
