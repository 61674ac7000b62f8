// What the benchmark needs to know of the demo book before it runs the reader through it: its
// pages in order with their pictures, narration and clips, and the two pages it watches the
// reader on (a clip playing, and idle).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::bench {

struct PlannedPage {
    int pageNo = 0;
    std::string picType;
    std::vector<std::uint8_t> picture; // the picture's bytes, for the bare decode
    int narrationMs = 0;
    bool hasClip = false;
    bool hasScript = false;
};

struct BookPlan {
    std::vector<PlannedPage> pages; // the first book's pages by page number, its cover first
    int clipPage = -1;              // the first page with a clip; -1 when none has one
    int idlePage = -1;              // the last page with neither clip nor script
};

// Reads the book in dataDirectory (QVDB.dat and Graphics.dat) as the reader does; raises
// BenchError when it holds no first book or no page to watch the reader idle on.
BookPlan PlanBook(const std::string& dataDirectory);

} // namespace tavelio::bench
