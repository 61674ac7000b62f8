#include "base/errors.h"
#include "content/book_cursor.h"
#include "content/page_table.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

TEST(PageTableTest, HasSlotsOneTo224AllEmpty) {
    const PageTable table;
    for (int slot = 1; slot <= 224; ++slot) {
        const QVDBType& record = table.At(slot);
        ASSERT_EQ(record, QVDBType{});
        ASSERT_EQ(record.Letter, '\0');
        ASSERT_TRUE(record.PromptText.empty());
    }
}

TEST(PageTableTest, SlotsOutsideTheTableAreRefused) {
    PageTable table;
    EXPECT_THROW(table.At(0), Error);
    EXPECT_THROW(table.At(225), Error);
    EXPECT_THROW(table.At(-1), Error);
    table.At(224).Title = "last";
    EXPECT_EQ(std::as_const(table).At(224).Title, "last");
}

TEST(PageTableTest, FieldsHaveTheirWidthsAndSigns) {
    QVDBType record;
    static_assert(std::is_same_v<decltype(record.BookNo), std::uint8_t>);
    static_assert(std::is_same_v<decltype(record.PageNo), std::uint8_t>);
    static_assert(std::is_same_v<decltype(record.PicOffset), std::int32_t>);
    static_assert(std::is_same_v<decltype(record.MediaHeight), std::int16_t>);
    static_assert(std::is_same_v<decltype(record.PageKind), std::int8_t>);
    static_assert(std::is_same_v<decltype(BookCursor::CurPage), std::uint8_t>);
    static_assert(std::is_same_v<decltype(BookCursor::StoryPage), std::int32_t>);
    SUCCEED();
}

} // namespace
} // namespace tavelio
