// The reader on a screen with two device pixels per pixel, as the scenario runner draws it: the
// glyph buttons are drawn at the device's resolution, not scaled up from their bitmaps.
#include "runner_process.h"
#include "support/scratch_dir.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vector>

namespace tavelio::test {
namespace {

const std::filesystem::path kDemoFolder = TAVELIO_DEMO_DIR;

// Page 1 of the demo book, with its page buttons.
constexpr const char* kToPageOne = "wait 4000\nclick QVA\nclick Ann\nwait 3500\n";

int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The pixels of a line that lie on edges drawn more than one pixel wide. A pixel alike to a
// neighbour belongs to a flat area; a run of others between two flat areas is the steps of an
// edge, one pixel wide where the edge is sharp.
int SmearedEdgePixels(const std::vector<QRgb>& line) {
    constexpr int kAlike = 8;
    const auto flat = [&](std::size_t i) {
        return (i > 0 && Distance(line[i], line[i - 1]) <= kAlike) ||
               (i + 1 < line.size() && Distance(line[i], line[i + 1]) <= kAlike);
    };
    int count = 0;
    std::size_t i = 0;
    while (i < line.size() && !flat(i)) {
        ++i; // a run cut by the line's start has no flat area before it
    }
    while (i < line.size()) {
        std::size_t run = 0;
        while (i + run < line.size() && !flat(i + run)) {
            ++run;
        }
        if (i + run < line.size() && run >= 2) {
            count += static_cast<int>(run);
        }
        i += std::max<std::size_t>(run, 1);
    }
    return count;
}

// SmearedEdgePixels of every row and every column of area.
int SmearedEdgePixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        std::vector<QRgb> row;
        for (int x = area.left(); x <= area.right(); ++x) {
            row.push_back(image.pixel(x, y));
        }
        count += SmearedEdgePixels(row);
    }
    for (int x = area.left(); x <= area.right(); ++x) {
        std::vector<QRgb> column;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            column.push_back(image.pixel(x, y));
        }
        count += SmearedEdgePixels(column);
    }
    return count;
}

// Aligned 2 x 2 blocks in area whose pixels are not all alike: none in a picture scaled up by
// repeating each pixel.
int MixedBlocks(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top() & ~1; y + 1 <= area.bottom(); y += 2) {
        for (int x = area.left() & ~1; x + 1 <= area.right(); x += 2) {
            const QRgb corner = image.pixel(x, y);
            count += image.pixel(x + 1, y) != corner || image.pixel(x, y + 1) != corner ||
                     image.pixel(x + 1, y + 1) != corner;
        }
    }
    return count;
}

class HighDensityShotTest : public ::testing::Test {
protected:
    HighDensityShotTest() {
        for (const auto& entry : std::filesystem::directory_iterator(kDemoFolder)) {
            std::filesystem::create_symlink(entry.path(),
                                            folder_.Path(entry.path().filename().string()));
        }
        std::filesystem::create_directory(folder_.Path("tmp"));
    }

    // The viewer on page 1 drawn at ratio, and the dump of that moment.
    std::pair<QImage, nlohmann::json> PageOne(const char* ratio) {
        const std::string shot = folder_.Path(std::string("page-") + ratio + ".png");
        WriteFile(folder_.Path("script.txt"),
                  std::string(kToPageOne) + "dump\nshot ViewBook \"" + shot + "\"\n");
        const RunnerResult result =
            RunRunner({"--ratio", ratio, "script.txt"}, folder_.Root().string(), "",
                      {{"TMPDIR", folder_.Path("tmp")}});
        EXPECT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(result.lines.size(), 1u) << result.errors;
        return {QImage(QString::fromStdString(shot)).convertToFormat(QImage::Format_RGB32),
                result.lines.empty() ? nlohmann::json() : nlohmann::json::parse(result.lines[0])};
    }

    ScratchDir folder_;
};

TEST_F(HighDensityShotTest, GlyphButtonEdgesAreSharpAtRatioTwo) {
    const auto [single, singleDump] = PageOne("1");
    const auto [doubled, dump] = PageOne("2");
    ASSERT_EQ(doubled.size(), single.size() * 2);
    const QImage scaledUp =
        single.scaled(doubled.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    for (const char* name : {"Previous", "Next"}) {
        SCOPED_TRACE(name);
        const nlohmann::json& button = dump["forms"]["ViewBook"]["controls"][name];
        ASSERT_TRUE(button["visible"].get<bool>());
        const QRect area(button["left"].get<int>() * 2, button["top"].get<int>() * 2,
                         button["width"].get<int>() * 2, button["height"].get<int>() * 2);
        const int sharp = SmearedEdgePixels(doubled, area);
        const int blurred = SmearedEdgePixels(scaledUp, area);
        EXPECT_LT(sharp * 4, blurred) << "sharp " << sharp << ", scaled up " << blurred;
        EXPECT_GT(MixedBlocks(doubled, area), 0) << "drawn from the bitmap, scaled up";
    }
}

} // namespace
} // namespace tavelio::test
