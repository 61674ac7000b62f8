// Where the reader is in the open book, and the roles pages play by their page number.
#pragma once

#include <cstdint>

namespace tavelio {

// The story page of every book: StoryPage is set to it when a book is opened from the launch pad
// and when the viewer returns to book 1, and never to anything else.
constexpr std::int32_t kOpeningStoryPage = 8;

// How many pages after the story page a book's last page comes.
constexpr std::int32_t kLastPageAfterStory = 3;

// The page cursor. Owned by the application and handed to the windows that move or read it.
// Both values are meaningful from the moment a book is opened (CurPage 1, StoryPage
// kOpeningStoryPage); before that they are zero and no window reads them.
struct BookCursor {
    std::uint8_t CurPage = 0;   // slot of the record on screen, 1..224 once a book is open
    std::int32_t StoryPage = 0; // page number of the story page of the open book
};

// A book is laid out cover first, then pages rising by one. Which page is which follows from
// PageNo and the book's StoryPage alone.
enum class PageRole {
    Cover,    // PageNo 0
    Ordinary, // 1..StoryPage-1 and StoryPage+2 (and anything past the last page)
    Story,    // StoryPage: the whole book is read through here
    Answers,  // StoryPage+1
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
