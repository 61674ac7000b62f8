// What a page record means for the page on screen: which parts a page has, how its PageKind lays
// it out, and which role its page number gives it in the book. The viewer, tavelio-book and the
// benchmarks read records through these rules, so that a record means the same to all of them.
#pragma once

#include "content/page_record.h"

#include <cstdint>

namespace tavelio {

// PageKind: 0 is a picture page (the picture fitted to the window), 1 to 3 a page of that many
// ruled handwriting lines under the framed picture, 4 to 6 a text page (the page's text in the
// Text memo, no picture). Other values come only from broken records; the viewer still lays them
// out without harm, and tavelio-book check refuses them.
inline constexpr std::int8_t kPicturePageKind = 0;
inline constexpr std::int8_t kLastPageKind = 6;
inline constexpr int kMaxRuledLines = 3;

constexpr bool IsKnownPageKind(std::int8_t kind) {
    return kind >= kPicturePageKind && kind <= kLastPageKind;
}
// The ruled lines a page shows: its kind for 1 to 3, none for any other kind.
constexpr int RuledLineCount(std::int8_t kind) {
    return kind >= 1 && kind <= kMaxRuledLines ? kind : 0;
}
// Whether the page's text shows in the Text memo (kinds 4 to 6).
constexpr bool IsTextPage(std::int8_t kind) {
    return kind > kMaxRuledLines && kind <= kLastPageKind;
}
// Whether the page is framed as a text page, with no picture and the text page's instructions
// and buttons: the text pages, and a broken record's kinds beyond them.
constexpr bool HasTextPageFrame(std::int8_t kind) {
    return kind > kMaxRuledLines;
}

// The picture of a ruled-line page, and the height of picture or clip that the ruled lines'
// home positions are made for: a taller clip pushes them down.
inline constexpr int kFramedPictureWidth = 315;
inline constexpr int kFramedPictureHeight = 225;

// A record says by these values that it has no picture, no clip or no narrator's words. They are
// compared exactly: "na" or "none" name a picture type or a clip file like any other.
inline constexpr const char* kNoPictureType = "NA";
inline constexpr const char* kNoClipFile = "None";
inline constexpr const char* kNoPromptText = " ";

inline bool HasPicture(const QVDBType& record) {
    return record.PicType != kNoPictureType;
}
inline bool HasClip(const QVDBType& record) {
    return record.AniFile != kNoClipFile;
}
inline bool HasPrompt(const QVDBType& record) {
    return record.PromptText != kNoPromptText;
}
// Whether the page has a script that the viewer runs: one whose mode line names a mode
// (ModeOfScript, page_script_grammar.h); a blank mode line is the stored form of none.
bool HasScript(const QVDBType& record);

// How many pages after the story page a book's last page comes.
inline constexpr std::int32_t kLastPageAfterStory = 3;

// A book is laid out cover first, then pages rising by one. Which page is which follows from
// PageNo and the book's StoryPage alone.
enum class PageRole {
    Cover,    // PageNo 0
    Ordinary, // 1..StoryPage-1 and StoryPage+2 (and anything past the last page)
    Story,    // StoryPage: the whole book is read through here
    Answers,  // StoryPage+1: the narrator's words show with "Answers:" whatever the switch
    Last,     // StoryPage+kLastPageAfterStory: Next is disabled here
};

constexpr PageRole RoleOfPage(std::uint8_t pageNo, std::int32_t storyPage) {
    const std::int64_t page = pageNo;
    if (page == 0) {
        return PageRole::Cover;
    }
    if (page == std::int64_t{storyPage}) {
        return PageRole::Story;
    }
    if (page == std::int64_t{storyPage} + 1) {
        return PageRole::Answers;
    }
    if (page == std::int64_t{storyPage} + kLastPageAfterStory) {
        return PageRole::Last;
    }
    return PageRole::Ordinary;
}

} // namespace tavelio
