#include "content/page_table.h"

#include "base/errors.h"

#include <string>

namespace tavelio {
namespace {

void CheckSlot(int slot) {
    if (slot < PageTable::kFirstSlot || slot > PageTable::kLastSlot) {
        throw Error("Page slot " + std::to_string(slot) + " is outside the page table (" +
                    std::to_string(PageTable::kFirstSlot) + " to " +
                    std::to_string(PageTable::kLastSlot) + ")");
    }
}

} // namespace

PageTable::PageTable() : slots_(kLastSlot - kFirstSlot + 1) {}

QVDBType& PageTable::At(int slot) {
    CheckSlot(slot);
    return slots_[static_cast<std::size_t>(slot - kFirstSlot)];
}

const QVDBType& PageTable::At(int slot) const {
    CheckSlot(slot);
    return slots_[static_cast<std::size_t>(slot - kFirstSlot)];
}

} // namespace tavelio
