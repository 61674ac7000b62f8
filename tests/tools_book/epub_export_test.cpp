// tavelio-book epub on the demo book: a package the EPUB world's checker passes clean, word-level
// overlays on the arrow pages, gapless narration, and the books it refuses.
#include "book/book_image.h"
#include "book/epub_book.h"
#include "book/epub_command.h"
#include "book/tool_error.h"
#include "content/database_reader.h"
#include "content/page_script_grammar.h"
#include "content/tilde_lines.h"
#include "demo_export.h"
#include "support/scratch_dir.h"

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sndfile.h>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

using tavelio::test::DemoBook;
using tavelio::test::kDemo;

TEST(EpubExport, TheDemoBookPassesEpubcheckWithoutErrorOrWarning) {
    const test::ScratchDir scratch;
    const std::string epub = scratch.Path("demo.epub");
    RunEpub(kDemo, epub);
    QProcess epubcheck;
    epubcheck.setProcessChannelMode(QProcess::MergedChannels);
    epubcheck.start(QStringLiteral("java"),
                    {QStringLiteral("-jar"), QStringLiteral(TAVELIO_EPUBCHECK_JAR),
                     QString::fromStdString(epub)});
    ASSERT_TRUE(epubcheck.waitForFinished(120000));
    const std::string report = epubcheck.readAll().toStdString();
    EXPECT_EQ(epubcheck.exitCode(), 0) << report;
    EXPECT_NE(report.find("Messages: 0 fatals / 0 errors / 0 warnings"), std::string::npos)
        << report;
}

// A page's overlay, with those of its read-through's steps, covers its stretch exactly. The arrow
// positions of the demo's scripts were made for the handwriting font's advances; the export finds
// every word under the arrow in reading order, as the reader shows them.
TEST(EpubExport, OverlaysCoverTheStretchesAndEveryWordUnderTheArrowHasItsOwnClip) {
    const std::vector<ExportedPage>& pages = DemoBook().pages;
    int arrowPages = 0;
    for (std::size_t n = 0; n < pages.size(); ++n) {
        const ExportedPage& page = pages[n];
        if (page.readThroughStep != 0) {
            continue;
        }
        std::vector<OverlayClip> clips = page.overlay;
        for (std::size_t step = n + 1; step < pages.size() && pages[step].readThroughStep != 0;
             ++step) {
            clips.insert(clips.end(), pages[step].overlay.begin(), pages[step].overlay.end());
        }
        ASSERT_FALSE(clips.empty()) << page.name;
        EXPECT_EQ(clips.front().beginMs, page.record.SpeechStart) << page.name;
        for (std::size_t c = 1; c < clips.size(); ++c) {
            EXPECT_EQ(clips[c].beginMs, clips[c - 1].endMs) << page.name;
        }
        EXPECT_EQ(clips.back().endMs, page.record.SpeechEnd) << page.name;

        const std::vector<std::string> lines = SplitTildeLines(page.record.ScriptText);
        if (ModeOfScript(ScriptLines(lines)) != ScriptMode::Arrows) {
            continue;
        }
        ++arrowPages;
        std::vector<std::string> words;
        for (const ShownRuledLine& line : page.ruledLines) {
            for (const ShownWord& word : line.words) {
                words.push_back(word.place.id);
            }
        }
        std::vector<std::string> read;
        for (const OverlayClip& clip : page.overlay) {
            if (clip.textId.find('w') != std::string::npos) {
                read.push_back(clip.textId);
            }
        }
        EXPECT_EQ(read, words) << page.name;
    }
    EXPECT_GE(arrowPages, 3);
}

std::vector<float> WavSamples(const std::string& path, int& rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr);
    std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    rate = info.samplerate;
    return samples;
}

// Decoded as reading systems decode it: with the encoder's delay and padding taken off.
std::vector<float> Mp3Samples(const std::string& mp3, int& rate) {
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    mpg123_param(decoder, MPG123_FLAGS, MPG123_GAPLESS | MPG123_FORCE_FLOAT | MPG123_QUIET, 0);
    mpg123_open_feed(decoder);
    mpg123_feed(decoder, reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size());
    std::vector<float> samples;
    std::vector<unsigned char> block(1 << 16);
    for (;;) {
        std::size_t done = 0;
        const int status = mpg123_read(decoder, block.data(), block.size(), &done);
        const float* decoded = reinterpret_cast<const float*>(block.data());
        samples.insert(samples.end(), decoded, decoded + done / sizeof(float));
        if (status == MPG123_NEW_FORMAT) {
            long got = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(decoder, &got, &channels, &encoding);
            rate = static_cast<int>(got);
        } else if (status != MPG123_OK) {
            break;
        }
    }
    mpg123_delete(decoder);
    return samples;
}

TEST(EpubExport, TheNarrationSoundsAtEachClipsBeginAsTheWavFileDoes) {
    int wavRate = 0;
    int mp3Rate = 0;
    const std::vector<float> wav = WavSamples(kDemo + "/A1Speach.wav", wavRate);
    const std::vector<float> mp3 = Mp3Samples(DemoBook().narration.mp3, mp3Rate);
    ASSERT_EQ(mp3Rate, wavRate);
    EXPECT_EQ(mp3.size(), wav.size());
    // The lag at which the decoded sound lies closest to the WAV sound where a page's first word
    // is read: 0 when the encoder's delay is accounted for (it is over a thousand samples
    // otherwise). Closest by the squared difference: voiced speech repeats itself every pitch
    // period, so a plain correlation may peak a period away.
    const auto bestLag = [&](std::size_t at) {
        constexpr int kWindow = 4096;
        constexpr int kSearch = 1500;
        int best = 0;
        double bestDistance = -1;
        for (int lag = -kSearch; lag <= kSearch; ++lag) {
            double distance = 0;
            for (int n = 0; n < kWindow; ++n) {
                const std::size_t i = at + static_cast<std::size_t>(n);
                const double d = wav[i] - mp3[static_cast<std::size_t>(static_cast<long>(i) + lag)];
                distance += d * d;
            }
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                best = lag;
            }
        }
        return best;
    };
    int pagesHeard = 0;
    for (const ExportedPage& page : DemoBook().pages) {
        const auto word =
            std::find_if(page.overlay.begin(), page.overlay.end(), [](const OverlayClip& clip) {
                return clip.textId.find('w') != std::string::npos;
            });
        if (word != page.overlay.end()) {
            const auto at = static_cast<std::size_t>(word->beginMs * std::int64_t{wavRate} / 1000);
            EXPECT_EQ(bestLag(at), 0) << page.name;
            ++pagesHeard;
        }
    }
    EXPECT_GE(pagesHeard, 2);
}

// A copy of the demo book to damage.
class DamagedDemo : public testing::Test {
protected:
    DamagedDemo() {
        fs::copy(kDemo, book, fs::copy_options::recursive);
        test::WriteFile(out, "an earlier export");
    }

    // Runs the export, which must refuse naming the file, and leave out as it was.
    void ExpectRefusalNaming(const std::string& file, const std::string& because) {
        try {
            RunEpub(book, out);
            ADD_FAILURE() << "exported";
        } catch (const ToolError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(file), std::string::npos) << message;
            EXPECT_NE(message.find(because), std::string::npos) << message;
        }
        EXPECT_EQ(test::ReadFile(out), "an earlier export");
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.Root()), fs::directory_iterator()),
                  2);
    }

    test::ScratchDir scratch;
    std::string book = scratch.Path("book");
    std::string out = scratch.Path("out.epub");
};

TEST_F(DamagedDemo, WithoutItsDatabaseTheFolderIsNoBook) {
    fs::remove(book + "/QVDB.dat");
    ExpectRefusalNaming(book + "/QVDB.dat", "File not found");
}

TEST_F(DamagedDemo, WithoutItsNarrationThereIsNoVoiceToReadAlong) {
    fs::remove(book + "/A1Speach.wav");
    ExpectRefusalNaming(book + "/A1Speach.wav", "not found");
}

TEST_F(DamagedDemo, WithoutItsPicturesThePagesCantBeShown) {
    fs::remove(book + "/Graphics.dat");
    ExpectRefusalNaming(book + "/Graphics.dat", "File not found");
}

TEST_F(DamagedDemo, AStretchPastTheNarrationsEndIsRefused) {
    PageTable table;
    LoadDatabase(book + "/QVDB.dat", scratch.Path("font.ttf"), table);
    BookImage image;
    image.font = test::ReadFile(scratch.Path("font.ttf"));
    for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
        image.records[static_cast<std::size_t>(slot - 1)] = FieldTextsOf(table.At(slot));
    }
    image.records[11][13] = "999999"; // slot 12, SpeechEnd
    image.archive = test::ReadFile(book + "/Graphics.dat");
    WriteBookFiles(image, book);
    fs::remove(scratch.Path("font.ttf"));
    ExpectRefusalNaming(book + "/QVDB.dat: slot 12", "runs past the end of");
}

} // namespace
} // namespace tavelio::book
