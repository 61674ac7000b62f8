// A centred, wrapping label (the viewer's ruled lines) draws each word where the shared layout
// says, so that an exported page and an arrow script can place themselves by that layout.
#include "platform/controls/label.h"
#include "platform/text/centred_caption.h"

#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(CentredCaption, TheLabelDrawsEachWordInsideTheEdgesItsLayoutGives) {
    QWidget form;
    form.resize(600, 200);
    Label label(&form, "Text1", 0, 0, 497, 71, "");
    label.SetAutoSize(false);
    label.SetCentred(true);
    label.SetWordWrap(true);
    label.SetColor(Qt::white);
    label.SetFont("DejaVu Sans", 53);
    label.SetCaption("Ann has a seed.");
    const QImage drawn = label.grab().toImage();

    const std::vector<CaptionLine> lines =
        LayOutCentredCaption(label.font(), QStringLiteral("Ann has a seed."), 497);
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<CaptionWord>& words = lines[0].words;
    ASSERT_EQ(words.size(), 4u);
    // Centred: the room left of the first word is the room right of the last one.
    EXPECT_NEAR(words.front().left, 497 - words.back().right, 1.0);

    // Every inked column lies in a word, and every word has ink.
    std::vector<int> inkPerWord(words.size());
    for (int x = 0; x < drawn.width(); ++x) {
        bool inked = false;
        for (int y = 0; y < drawn.height(); ++y) {
            inked = inked || qGray(drawn.pixel(x, y)) < 128;
        }
        if (!inked) {
            continue;
        }
        const auto word = std::find_if(words.begin(), words.end(), [&](const CaptionWord& w) {
            return x >= w.left - 1 && x <= w.right + 1;
        });
        ASSERT_NE(word, words.end()) << "ink at x " << x << " outside every word";
        ++inkPerWord[static_cast<std::size_t>(word - words.begin())];
    }
    for (int ink : inkPerWord) {
        EXPECT_GT(ink, 0);
    }
}

TEST(CentredCaption, ACaptionTooWideWrapsAtAWordAndEachLineIsCentred) {
    const QFont font(QStringLiteral("DejaVu Sans"), 20);
    const std::vector<CaptionLine> lines =
        LayOutCentredCaption(font, QStringLiteral("one two three four five six"), 120);
    ASSERT_GT(lines.size(), 1u);
    for (const CaptionLine& line : lines) {
        ASSERT_FALSE(line.words.empty());
        EXPECT_NEAR(line.words.front().left, 120 - line.words.back().right, 1.0);
        EXPECT_GT(line.baseline, line.top);
    }
    EXPECT_TRUE(LayOutCentredCaption(font, QString(), 120).empty());
}

} // namespace
} // namespace tavelio
