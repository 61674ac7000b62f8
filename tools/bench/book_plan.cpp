#include "bench/book_plan.h"

#include "bench/bare_decode.h"
#include "bench/child_process.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/page_rules.h"
#include "content/page_table.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace tavelio::bench {
BookPlan PlanBook(const std::string& dataDirectory) {
    const std::filesystem::path folder(dataDirectory);
    // The reader writes the book's font out as it loads; here it is thrown away.
    const std::filesystem::path fontFile =
        std::filesystem::temp_directory_path() / ("tavelio-bench-font-" + std::to_string(getpid()));
    PageTable table;
    try {
        LoadDatabase((folder / kDatabaseFileName).string(), fontFile.string(), table);
    } catch (const std::exception& error) {
        std::filesystem::remove(fontFile);
        throw BenchError("cannot read the book in " + dataDirectory + ": " + error.what());
    }
    std::filesystem::remove(fontFile);

    BookPlan plan;
    for (int slot = PageTable::kFirstSlot; slot <= PageTable::kLastSlot; ++slot) {
        const QVDBType& record = table.At(slot);
        if (record.BookNo != 1) {
            continue;
        }
        PlannedPage page;
        page.pageNo = record.PageNo;
        page.picType = record.PicType;
        if (IsJpegType(record.PicType)) {
            page.picture = PagePictureBytes((folder / kPictureArchiveFileName).string(), record);
        }
        page.narrationMs = std::max(0, record.SpeechEnd - record.SpeechStart);
        page.hasClip = HasClip(record);
        page.hasScript = HasScript(record);
        plan.pages.push_back(std::move(page));
    }
    std::sort(plan.pages.begin(), plan.pages.end(),
              [](const PlannedPage& a, const PlannedPage& b) { return a.pageNo < b.pageNo; });
    if (plan.pages.size() < 3) {
        throw BenchError("the book in " + dataDirectory + " has no first book of three pages");
    }
    for (const PlannedPage& page : plan.pages) {
        if (page.hasClip && plan.clipPage < 0) {
            plan.clipPage = page.pageNo;
        }
        if (!page.hasClip && !page.hasScript && page.pageNo > 0) {
            plan.idlePage = page.pageNo;
        }
    }
    if (plan.idlePage < 0) {
        throw BenchError("the book has no page without clip and script to watch the reader idle");
    }
    return plan;
}

} // namespace tavelio::bench
