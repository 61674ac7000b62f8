// The exported pages in a browser engine: headless Chromium shows them as the reader shows the
// page, and the web read-along's highlight follows the narration's clock.
#include "book/epub_book.h"
#include "book/epub_package.h"
#include "book/epub_web.h"
#include "demo_export.h"
#include "support/scratch_dir.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

using tavelio::test::DemoBook;
using tavelio::test::kDemo;

void WriteFiles(const std::map<std::string, std::string>& files, const fs::path& folder,
                const std::string& under = {}) {
    for (const auto& [name, bytes] : files) {
        if (!name.starts_with(under)) {
            continue;
        }
        const fs::path file = folder / name.substr(under.size());
        fs::create_directories(file.parent_path());
        test::WriteFile(file.string(), bytes);
    }
}

// Runs headless Chromium on a page with a profile of its own; gives what it wrote on its output.
std::string Chromium(const test::ScratchDir& scratch, const QStringList& arguments) {
    QProcess chromium;
    QStringList all{QStringLiteral("--headless"),
                    QStringLiteral("--no-sandbox"),
                    QStringLiteral("--disable-gpu"),
                    QStringLiteral("--disable-quic"),
                    QStringLiteral("--no-first-run"),
                    QStringLiteral("--disable-background-networking"),
                    QStringLiteral("--disable-component-update"),
                    QStringLiteral("--disable-sync"),
                    QStringLiteral("--hide-scrollbars"),
                    QStringLiteral("--force-device-scale-factor=1"),
                    QStringLiteral("--user-data-dir=") +
                        QString::fromStdString(scratch.Path("profile"))};
    all += arguments;
    chromium.start(QStringLiteral("chromium"), all);
    EXPECT_TRUE(chromium.waitForFinished(60000));
    return chromium.readAllStandardOutput().toStdString();
}

QString FileUrl(const fs::path& file) {
    return QStringLiteral("file://") + QString::fromStdString(file.string());
}

// The share of the box's pixels whose grey levels differ by more than a quarter of the scale
// between the two pictures, the second moved right by shift pixels.
double DifferingShare(const QImage& reader, const QImage& browser, const design::Box& box,
                      int shift = 0) {
    int differing = 0;
    for (int y = box.top; y < box.top + box.height; ++y) {
        for (int x = box.left; x < box.left + box.width; ++x) {
            const int a = qGray(reader.pixel(x, y));
            const int b = qGray(browser.pixel(x - shift, y));
            differing += std::abs(a - b) > 64;
        }
    }
    return static_cast<double>(differing) / (box.width * box.height);
}

// Letters are drawn by two rasterisers, which agree on where the outline is but not on every edge
// pixel's shade: on the demo's ruled lines under 0.7 % of the pixels differ by a quarter of the
// grey scale, and the pictures not at all. A line of words one pixel out of place differs in over
// 6 %, so a tolerance of 2 % lets the shading through and catches the place.
constexpr double kTolerance = 0.02;

TEST(EpubInChromium, PagesShowThePictureAndTheRuledWordsWhereTheReaderDoes) {
    const test::ScratchDir scratch;
    const fs::path pages = scratch.Root() / "pages";
    WriteFiles(EpubFiles(DemoBook()), pages, "EPUB/");
    // The reader's own pictures of pages 1 to 4, with animations off as the export shows them,
    // taken before the arrow first moves.
    std::string script = "wait 4000\nclick QVA\nclick Ann\nwait 3600\nchar V\n";
    for (int slot = 2; slot <= 5; ++slot) {
        script += "wait 20\nshot ViewBook " +
                  scratch.Path("reader" + std::to_string(slot) + ".png") + "\nkey Right\n";
    }
    test::WriteFile(scratch.Path("shots.scenario"), script);
    QProcess reader;
    reader.setWorkingDirectory(QString::fromStdString(kDemo));
    reader.start(QStringLiteral(TAVELIO_SCENARIO_COMMAND),
                 {QString::fromStdString(scratch.Path("shots.scenario"))});
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();

    for (int slot = 2; slot <= 5; ++slot) {
        const ExportedPage& page = DemoBook().pages[static_cast<std::size_t>(slot - 1)];
        const std::string shot = scratch.Path("browser" + std::to_string(slot) + ".png");
        Chromium(scratch, {QStringLiteral("--window-size=800,600"),
                           QStringLiteral("--screenshot=") + QString::fromStdString(shot),
                           FileUrl(pages / (page.name + ".xhtml"))});
        const QImage browser(QString::fromStdString(shot));
        const QImage ours(
            QString::fromStdString(scratch.Path("reader" + std::to_string(slot) + ".png")));
        ASSERT_FALSE(browser.isNull()) << page.name;
        ASSERT_FALSE(ours.isNull()) << page.name;
        ASSERT_TRUE(page.picture);
        EXPECT_LE(DifferingShare(ours, browser, *page.picture), kTolerance) << page.name;
        for (const ShownRuledLine& line : page.ruledLines) {
            // The words and rules above the base rule: the arrow stands below it.
            const design::Box band{design::kRuledLineLeft + 2, line.top,
                                   design::kRuledLineWidth - 4, design::kBaseRule + 1};
            EXPECT_LE(DifferingShare(ours, browser, band), kTolerance) << page.name;
            EXPECT_GT(DifferingShare(ours, browser, band, 1), kTolerance) << page.name;
        }
    }
}

TEST(EpubInChromium, TheWebReadAlongHighlightsTheWordTheClockHasReached) {
    const test::ScratchDir scratch;
    const fs::path site = scratch.Root() / "site";
    WriteFiles(WebReadAlongFiles(DemoBook()), site);
    const ExportedPage& page = DemoBook().pages[1];
    // Before the page's narration, then the middle of every clip.
    QStringList times{QString::number((page.record.SpeechStart - 100) / 1000.0)};
    QStringList expected{QStringLiteral("-")};
    for (const OverlayClip& clip : page.overlay) {
        times << QString::number((clip.beginMs + clip.endMs) / 2000.0);
        expected << QString::fromStdString(clip.textId);
    }
    const std::string dom =
        Chromium(scratch, {QStringLiteral("--dump-dom"), FileUrl(site / (page.name + ".xhtml")) +
                                                             QStringLiteral("#clock=") +
                                                             times.join(QLatin1Char(','))});
    const QRegularExpressionMatch trace =
        QRegularExpression(QStringLiteral("data-trace=\"([^\"]*)\""))
            .match(QString::fromStdString(dom));
    ASSERT_TRUE(trace.hasMatch()) << dom;
    EXPECT_EQ(trace.captured(1), expected.join(QLatin1Char(',')));
}

} // namespace
} // namespace tavelio::book
