// Where the reader is in the open book. The roles that pages play by their page number are page
// rules (page_rules.h).
#pragma once

#include <cstdint>

namespace tavelio {

// The story page of every book: StoryPage is set to it when a book is opened from the launch pad
// and when the viewer returns to book 1, and never to anything else.
constexpr std::int32_t kOpeningStoryPage = 8;

// The page cursor. Owned by the application and handed to the windows that move or read it.
// Both values are meaningful from the moment a book is opened (CurPage 1, StoryPage
// kOpeningStoryPage); before that they are zero and no window reads them.
struct BookCursor {
    std::uint8_t CurPage = 0;   // slot of the record on screen, 1..224 once a book is open
    std::int32_t StoryPage = 0; // page number of the story page of the open book
};

} // namespace tavelio
