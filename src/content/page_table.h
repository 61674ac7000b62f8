// The in-memory table of page records that the viewer shows from.
#pragma once

#include "content/page_record.h"

#include <vector>

namespace tavelio {

// 224 records numbered 1 to 224, all zero and empty until the database reader fills slots 1 to
// 12. The table owns its records for the whole run. Access outside 1..224 raises an Error
// instead of touching memory that is not a slot.
class PageTable {
public:
    static constexpr int kFirstSlot = 1;
    static constexpr int kLastSlot = 224;

    PageTable();

    QVDBType& At(int slot);
    const QVDBType& At(int slot) const;

private:
    std::vector<QVDBType> slots_;
};

} // namespace tavelio
