// The viewer's page as it is designed: a client area of 800 x 600 pixels at 96 pixels per inch,
// and where the page's picture, memos, ruled handwriting lines and rhyme words stand on it, with
// their faces and sizes. The viewer lays its controls out by these figures, and the book tool
// draws exported pages by the same ones, so the two can't drift apart.
#pragma once

#include "content/page_rules.h"

#include <cstdint>
#include <optional>

namespace tavelio::design {

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kPageWidth = 800;
inline constexpr int kPageHeight = 600;
// The form's own font, which the narrator's words use, in the sans-serif face.
inline constexpr int kFormFontPixels = 11;

// Faces by their designed names (the program maps them to this system's faces at start; the
// handwriting face, kHandwritingFace, is the database's own font).
inline constexpr const char* kSerifFace = "Times New Roman";
inline constexpr const char* kSansFace = "MS Sans Serif";

// The picture: on the cover, and in the page frame of every other page.
inline constexpr Box kCoverPicture{88, 25, 493, 432};
inline constexpr Box kFramedPicture{225, 25, kFramedPictureWidth, kFramedPictureHeight};
// Room a picture fitted to the client area (a page of kind 0) leaves to its right and bottom
// edges, with its left and top those of the page frame: 5 pixels each way.
inline constexpr int kFitMarginX = 230;
inline constexpr int kFitMarginY = 30;

struct Size {
    int width = 0;
    int height = 0;
};

// The picture of a page of kind 0: its media size and 4 pixels more each way, shrunk to the room
// the client area leaves with the proportion kept, first to the width and then to the height.
// Sizes that name no picture (negative ones, of a broken record, or a client area too small for
// any room) count as none.
constexpr Size FittedPictureSize(int mediaWidth, int mediaHeight, int clientWidth,
                                 int clientHeight) {
    double width = mediaWidth + 4 > 0 ? mediaWidth + 4 : 0;
    double height = mediaHeight + 4 > 0 ? mediaHeight + 4 : 0;
    const double roomX = clientWidth > kFitMarginX ? clientWidth - kFitMarginX : 0;
    const double roomY = clientHeight > kFitMarginY ? clientHeight - kFitMarginY : 0;
    if (roomX < width) {
        height = height * roomX / width;
        width = roomX;
    }
    if (roomY < height) {
        width = width * roomY / height;
        height = roomY;
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

// Where a picture goes when it is made to fill a box of other proportions: scaled to cover the
// box and cropped about its middle when that cuts away at most a sixth of its width or height,
// else scaled to fit whole and centred, with bands beside it. A photo's subject is rarely at its
// very edge, but a portrait photo made landscape would lose heads. The rectangle is where the
// whole picture is drawn, from the box's corner; a cropped one reaches past the box.
struct PlacedPicture {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
inline constexpr double kMostCropShare = 1.0 / 6.0;

constexpr PlacedPicture PlacePictureInBox(double pictureWidth, double pictureHeight,
                                          double boxWidth, double boxHeight) {
    const double byWidth = boxWidth / pictureWidth;
    const double byHeight = boxHeight / pictureHeight;
    const double covering = byWidth > byHeight ? byWidth : byHeight;
    const double fitting = byWidth < byHeight ? byWidth : byHeight;
    const double cut = 1.0 - fitting / covering;
    const double scale = cut <= kMostCropShare ? covering : fitting;
    const double width = pictureWidth * scale;
    const double height = pictureHeight * scale;
    return {(boxWidth - width) / 2, (boxHeight - height) / 2, width, height};
}

// Where the viewer shows the record's picture, with animations off: the cover's frame on the
// cover, the page frame on a page of ruled lines, the fitted picture on a picture page (kind 0),
// on the designed page; none on a text page or for a record without a picture. The viewer
// stretches the picture to this box.
inline std::optional<Box> PictureBoxOf(const QVDBType& page, std::int32_t storyPage) {
    if (!HasPicture(page) || HasTextPageFrame(page.PageKind)) {
        return std::nullopt;
    }
    Box box =
        RoleOfPage(page.PageNo, storyPage) == PageRole::Cover ? kCoverPicture : kFramedPicture;
    if (page.PageKind != kPicturePageKind) {
        box.width = kFramedPicture.width;
        box.height = kFramedPicture.height;
        return box;
    }
    const Size fitted =
        FittedPictureSize(page.MediaWidth, page.MediaHeight, kPageWidth, kPageHeight);
    box.width = fitted.width;
    box.height = fitted.height;
    return box;
}

// Ruled handwriting lines: a label at top T with a solid rule at T + 13, a dotted rule at T + 28
// and a solid rule at T + 48; the next line 66 pixels lower, the first one at the height of the
// picture or clip plus 27 (so at 252 under a framed picture, which starts at 25).
inline constexpr int kRuledLineLeft = 144;
inline constexpr int kRuledLineWidth = 497;
inline constexpr int kRuledLineHeight = 71;
inline constexpr int kRuledLineFontPixels = 53;
inline constexpr int kUpperRule = 13;
inline constexpr int kDottedRule = 28;
inline constexpr int kBaseRule = 48;
inline constexpr int kDottedRuleHeight = 3;
inline constexpr int kRuledLinePitch = 66;
inline constexpr int kFirstLineBelowMedia = 27;
inline constexpr int kRuledLineHomeTop = kFramedPicture.height + kFirstLineBelowMedia;

// The red pointer arrow: a panel whose glyph points up at the middle of its width.
inline constexpr int kArrowWidth = 25;
inline constexpr int kArrowHeight = 24;

// The memos and labels. Instructions is narrower, unframed and smaller on a text page (kind above
// 3), where the page's text memo, Answers: and the narrator's words stack at left 135.
inline constexpr Box kInstructions{24, 25, 193, 225};
inline constexpr int kInstructionsTextPageWidth = 110;
inline constexpr int kInstructionsPoints = 14;
inline constexpr int kInstructionsTextPagePoints = 12;
inline constexpr Box kTextMemo{135, 25, 506, 114};
inline constexpr int kTextMemoFontPixels = 16;
inline constexpr Box kAnswersLabel{135, 135, 65, 20};
inline constexpr Box kVoicePrompt{24, 290, 121, 60};
inline constexpr Box kVoicePromptTextPage{135, 155, 506, 60};
inline constexpr int kLabelFontPixels = 16;
inline constexpr Box kNote{24, 250, 388, 15};
inline constexpr const char* kTextPageNote =
    "NOTE: Terminology may need to be clarified depending on age of reader.";
inline constexpr int kNoteFontPixels = 13;

// The three rhyme words, at the left under the instructions.
inline constexpr int kRhymeLeft = 24;
inline constexpr int kRhymeTops[3] = {265, 315, 365};
inline constexpr int kRhymeHeight = 49;
inline constexpr int kRhymeFontPixels = 40;

} // namespace tavelio::design
