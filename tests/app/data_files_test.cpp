// The note for a reader started in a folder without its book.
#include "app/data_files.h"
#include "content/data_file_names.h"
#include "program_fixture.h"

#include <gtest/gtest.h>

namespace tavelio {
namespace {

using DataFilesTest = test::ProgramFixture;

TEST_F(DataFilesTest, NoNoteWhereTheDatabaseIs) {
    EXPECT_EQ(MissingDatabaseNote(), std::nullopt);
}

TEST_F(DataFilesTest, TheNoteNamesTheMissingFileAndTheFolder) {
    std::filesystem::remove(kDatabaseFileName);
    const std::optional<std::string> note = MissingDatabaseNote();
    ASSERT_TRUE(note.has_value());
    EXPECT_NE(note->find("QVDB.dat is not in " + folder_.Root().string() + "."), std::string::npos)
        << *note;
}

} // namespace
} // namespace tavelio
