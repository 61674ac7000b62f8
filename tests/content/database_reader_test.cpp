#include "base/errors.h"
#include "content/database_reader.h"
#include "support/database_builder.h"
#include "support/scratch_dir.h"

#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelio {
namespace {

using test::DatabaseBytes;
using test::FieldTexts;
using test::RecordContent;
using test::SampleFields;
using test::ScratchDir;

class LoadDatabaseTest : public ::testing::Test {
protected:
    std::string Database() const { return dir_.Path("QVDB.dat"); }
    std::string Font() const { return dir_.Path("ZBM.TTF"); }

    void WriteDatabase(const std::string& recordArea) {
        test::WriteFile(Database(), DatabaseBytes(recordArea));
    }

    // Loads and returns the error number raised, or 0.
    int Load() {
        try {
            LoadDatabase(Database(), Font(), table_);
        } catch (const EInOutError& error) {
            message_ = error.what();
            return error.ErrorCode();
        }
        return 0;
    }

    // Twelve sample records with field `field` (1-based) of record `slot` replaced by text.
    static std::string RecordsWithField(int slot, int field, const std::string& text) {
        std::string area;
        for (int s = 1; s <= 12; ++s) {
            FieldTexts fields = SampleFields(s);
            if (s == slot) {
                fields[static_cast<std::size_t>(field - 1)] = text;
            }
            area += RecordContent(fields);
        }
        return area;
    }

    ScratchDir dir_;
    PageTable table_;
    std::string message_;
};

TEST_F(LoadDatabaseTest, DecodesTheFontAndFillsTheTwelveSlots) {
    WriteDatabase(test::TwelveSampleRecords());
    ASSERT_EQ(Load(), 0) << message_;

    EXPECT_EQ(test::ReadFile(Font()), test::FontContent());
    const QVDBType& third = table_.At(3);
    EXPECT_EQ(third.BookNo, 1);
    EXPECT_EQ(third.PageNo, 2);
    EXPECT_EQ(third.Letter, 'L');
    EXPECT_EQ(third.Title, "Title 3");
    EXPECT_EQ(third.InstructionText, "Listen.~~3");
    EXPECT_EQ(third.PicOffset, 3000);
    EXPECT_EQ(third.PicSize, 300);
    EXPECT_EQ(third.PicType, "jpg");
    EXPECT_EQ(third.MediaHeight, 225);
    EXPECT_EQ(third.MediaWidth, 315);
    EXPECT_EQ(third.AniFile, "None");
    EXPECT_EQ(third.PageText, "Text 3~");
    EXPECT_EQ(third.SpeechStart, 30);
    EXPECT_EQ(third.SpeechEnd, 35);
    EXPECT_EQ(third.PageKind, 1);
    EXPECT_EQ(third.PromptText, "Prompt 3");
    EXPECT_EQ(third.ScriptText, "3~1000~1~200~1500");
    EXPECT_EQ(table_.At(12).Title, "Title 12");
    for (int slot = 13; slot <= 224; ++slot) {
        ASSERT_EQ(table_.At(slot), QVDBType{}) << "slot " << slot;
    }
}

TEST_F(LoadDatabaseTest, BytesAfterTheTwelfthRecordAreIgnored) {
    WriteDatabase(test::TwelveSampleRecords() + "\r\nrubbish\tmore\t" + std::string(5000, 'x'));
    ASSERT_EQ(Load(), 0) << message_;
    EXPECT_EQ(table_.At(12).ScriptText, "3~1000~1~200~1500");
    EXPECT_EQ(table_.At(13), QVDBType{});
}

TEST_F(LoadDatabaseTest, LineBreakBeforeARecordBecomesPartOfItsBookNo) {
    std::string area;
    for (int slot = 1; slot <= 12; ++slot) {
        area += RecordContent(SampleFields(slot)) + (slot == 1 ? "\r\n" : "");
    }
    WriteDatabase(area);
    ASSERT_EQ(Load(), 0) << message_;
    EXPECT_EQ(table_.At(1).BookNo, 1);
    EXPECT_EQ(table_.At(2).BookNo, 0); // "\r\n1" stops at once
    EXPECT_EQ(table_.At(2).PageNo, 1); // the rest of the record is unaffected
    EXPECT_EQ(table_.At(2).Title, "Title 2");
}

TEST_F(LoadDatabaseTest, LetterKeepsTheLastCharacterAndStaysZeroWhenEmpty) {
    std::string area;
    for (int slot = 1; slot <= 12; ++slot) {
        FieldTexts fields = SampleFields(slot);
        fields[2] = slot == 1 ? "AB" : slot == 2 ? "" : "\xE9";
        area += RecordContent(fields);
    }
    WriteDatabase(area);
    ASSERT_EQ(Load(), 0) << message_;
    EXPECT_EQ(table_.At(1).Letter, 'B');
    EXPECT_EQ(table_.At(2).Letter, '\0');
    EXPECT_EQ(table_.At(3).Letter, '\xE9');
}

TEST_F(LoadDatabaseTest, EmptyPromptAndScriptBecomeOneBlankOtherTextStaysEmpty) {
    FieldTexts fields = SampleFields(1);
    fields[3] = "";  // Title
    fields[7] = "";  // PicType
    fields[15] = ""; // PromptText
    fields[16] = ""; // ScriptText
    std::string area = RecordContent(fields);
    for (int slot = 2; slot <= 12; ++slot) {
        area += RecordContent(SampleFields(slot));
    }
    WriteDatabase(area);
    ASSERT_EQ(Load(), 0) << message_;
    EXPECT_EQ(table_.At(1).Title, "");
    EXPECT_EQ(table_.At(1).PicType, "");
    EXPECT_EQ(table_.At(1).PromptText, " ");
    EXPECT_EQ(table_.At(1).ScriptText, " ");
}

TEST_F(LoadDatabaseTest, TextFieldsKeepEveryByteButTheTab) {
    const std::string raw = std::string(" \r\n~\x01\x80\xFF", 7) + std::string(1, '\0') + " ";
    WriteDatabase(RecordsWithField(1, 12, raw));
    ASSERT_EQ(Load(), 0) << message_;
    EXPECT_EQ(table_.At(1).PageText, raw);
}

// Numbers are cut to their field's width and keep its signedness.
struct WidthCase {
    int field;
    std::string text;
    std::int64_t stored;
};

class FieldWidthTest : public LoadDatabaseTest, public ::testing::WithParamInterface<WidthCase> {
protected:
    static std::int64_t FieldValue(const QVDBType& record, int field) {
        switch (field) {
        case 1:
            return record.BookNo;
        case 2:
            return record.PageNo;
        case 6:
            return record.PicOffset;
        case 7:
            return record.PicSize;
        case 9:
            return record.MediaHeight;
        case 10:
            return record.MediaWidth;
        case 13:
            return record.SpeechStart;
        case 14:
            return record.SpeechEnd;
        default:
            return record.PageKind;
        }
    }
};

TEST_P(FieldWidthTest, StoresTheLowBitsWithTheFieldsSign) {
    WriteDatabase(RecordsWithField(5, GetParam().field, GetParam().text));
    ASSERT_EQ(Load(), 0) << message_;
    EXPECT_EQ(FieldValue(table_.At(5), GetParam().field), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, FieldWidthTest,
    ::testing::Values(WidthCase{1, "300", 44}, WidthCase{1, "-1", 255}, WidthCase{2, "256", 0},
                      WidthCase{2, "$1FF", 255}, WidthCase{10, "70000", 4464},
                      WidthCase{9, "-1", -1}, WidthCase{9, "65535", -1},
                      WidthCase{10, "32768", -32768}, WidthCase{15, "-1", -1},
                      WidthCase{15, "200", -56}, WidthCase{15, "128", -128}, WidthCase{6, "-1", -1},
                      WidthCase{7, "$FFFFFFFF", -1}, WidthCase{13, "2147483647", 2147483647},
                      WidthCase{14, "-2147483648", INT32_MIN}, WidthCase{1, "", 0},
                      WidthCase{2, " 5", 5}, WidthCase{13, "12abc", 12}, WidthCase{14, "-7 ", 7},
                      WidthCase{6, "-$1F", 0}));

// A short database: whatever was read before the end stays filled.
TEST_F(LoadDatabaseTest, ElevenRecordsFillElevenSlotsThenReadBeyondEnd) {
    std::string area;
    for (int slot = 1; slot <= 11; ++slot) {
        area += RecordContent(SampleFields(slot));
    }
    WriteDatabase(area);
    EXPECT_EQ(Load(), 100);
    EXPECT_EQ(message_, "Read beyond end of file");
    EXPECT_EQ(ErrorBoxText(message_), "Read beyond end of file.");
    EXPECT_EQ(table_.At(11).Title, "Title 11");
    EXPECT_EQ(table_.At(11).ScriptText, "3~1000~1~200~1500");
    EXPECT_EQ(table_.At(12), QVDBType{});
    EXPECT_EQ(test::ReadFile(Font()), test::FontContent());
}

TEST_F(LoadDatabaseTest, ARecordCutInAFieldKeepsTheFieldsBeforeIt) {
    std::string area;
    for (int slot = 1; slot <= 11; ++slot) {
        area += RecordContent(SampleFields(slot));
    }
    // Record 12: fields 1 to 3 complete ("Q" as Letter), field 4 cut before its TAB.
    area += "7\t3\tQ\tcut off";
    WriteDatabase(area);
    EXPECT_EQ(Load(), 100);
    const QVDBType& twelfth = table_.At(12);
    EXPECT_EQ(twelfth.BookNo, 7);
    EXPECT_EQ(twelfth.PageNo, 3);
    EXPECT_EQ(twelfth.Letter, 'Q');
    EXPECT_EQ(twelfth.Title, "");
    EXPECT_EQ(twelfth.PromptText, "");
}

TEST_F(LoadDatabaseTest, ALetterCutBeforeItsTabIsAlreadyStored) {
    std::string area;
    for (int slot = 1; slot <= 11; ++slot) {
        area += RecordContent(SampleFields(slot));
    }
    area += "1\t2\tXY";
    WriteDatabase(area);
    EXPECT_EQ(Load(), 100);
    EXPECT_EQ(table_.At(12).Letter, 'Y');
}

TEST_F(LoadDatabaseTest, AShortFontBlockWritesWhatCouldBeReadAndFillsNoSlot) {
    const std::string stored = DatabaseBytes("").substr(0, 5000);
    test::WriteFile(Database(), stored);
    EXPECT_EQ(Load(), 100);
    EXPECT_EQ(test::ReadFile(Font()), test::FontContent().substr(0, 5000));
    EXPECT_EQ(table_.At(1), QVDBType{});
}

TEST_F(LoadDatabaseTest, AnEmptyDatabaseIsReadBeyondEnd) {
    test::WriteFile(Database(), "");
    EXPECT_EQ(Load(), 100);
    EXPECT_EQ(test::ReadFile(Font()), "");
}

TEST_F(LoadDatabaseTest, AMissingDatabaseLeavesTheFontFileUntouched) {
    test::WriteFile(Font(), "an earlier font");
    EXPECT_EQ(Load(), 2);
    EXPECT_EQ(ErrorBoxText(message_), "File not found.");
    EXPECT_EQ(test::ReadFile(Font()), "an earlier font");
}

TEST_F(LoadDatabaseTest, AMissingDatabaseCreatesNoFontFile) {
    EXPECT_EQ(Load(), 2);
    EXPECT_FALSE(std::filesystem::exists(Font()));
}

TEST_F(LoadDatabaseTest, AReadOnlyDatabaseLoads) {
    WriteDatabase(test::TwelveSampleRecords());
    std::filesystem::permissions(Database(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::group_read |
                                                 std::filesystem::perms::others_read);
    EXPECT_EQ(Load(), 0) << message_;
    EXPECT_EQ(table_.At(12).Title, "Title 12");
}

TEST_F(LoadDatabaseTest, TheFontFileIsPrivateToItsOwner) {
    WriteDatabase(test::TwelveSampleRecords());
    ASSERT_EQ(Load(), 0) << message_;
    struct stat info {};
    ASSERT_EQ(::stat(Font().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(LoadDatabaseErrors, AFontFolderThatDoesNotExistIsAnInvalidFilename) {
    ScratchDir dir;
    test::WriteFile(dir.Path("QVDB.dat"), DatabaseBytes(test::TwelveSampleRecords()));
    PageTable table;
    try {
        LoadDatabase(dir.Path("QVDB.dat"), dir.Path("no-such-folder/ZBM.TTF"), table);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 3);
        EXPECT_STREQ(error.what(), "Invalid filename");
    }
    EXPECT_EQ(table.At(1), QVDBType{});
}

TEST(LoadDatabaseErrors, AFontPathThatIsAFolderIsAccessDenied) {
    ScratchDir dir;
    test::WriteFile(dir.Path("QVDB.dat"), DatabaseBytes(test::TwelveSampleRecords()));
    std::filesystem::create_directory(dir.Path("ZBM.TTF"));
    PageTable table;
    try {
        LoadDatabase(dir.Path("QVDB.dat"), dir.Path("ZBM.TTF"), table);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 5);
        EXPECT_STREQ(error.what(), "File access denied");
    }
}

TEST(LoadDatabaseErrors, AFontFileThatIsALinkIsRefusedAndItsTargetKept) {
    ScratchDir dir;
    test::WriteFile(dir.Path("QVDB.dat"), DatabaseBytes(test::TwelveSampleRecords()));
    test::WriteFile(dir.Path("target"), "precious");
    std::filesystem::create_symlink(dir.Path("target"), dir.Path("ZBM.TTF"));
    PageTable table;
    EXPECT_THROW(LoadDatabase(dir.Path("QVDB.dat"), dir.Path("ZBM.TTF"), table), EInOutError);
    EXPECT_EQ(test::ReadFile(dir.Path("target")), "precious");
}

TEST(LoadDatabaseErrors, AFullDiskIsDiskFull) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    ScratchDir dir;
    test::WriteFile(dir.Path("QVDB.dat"), DatabaseBytes(test::TwelveSampleRecords()));
    PageTable table;
    try {
        LoadDatabase(dir.Path("QVDB.dat"), "/dev/full", table);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 101);
        EXPECT_EQ(ErrorBoxText(error.what()), "Disk full.");
    }
}

TEST(LoadDatabaseErrors, NoFreeFileHandleIsTooManyOpenFiles) {
    ScratchDir dir;
    test::WriteFile(dir.Path("QVDB.dat"), DatabaseBytes(test::TwelveSampleRecords()));
    // Lower the limit to the next free descriptor, so that the database's open is refused.
    const int next = ::dup(0);
    ASSERT_GE(next, 0);
    ::close(next);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit lowered = saved;
    lowered.rlim_cur = static_cast<rlim_t>(next);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    PageTable table;
    std::exception_ptr raised;
    try {
        LoadDatabase(dir.Path("QVDB.dat"), dir.Path("ZBM.TTF"), table);
    } catch (...) {
        raised = std::current_exception();
    }
    // The error is looked at once descriptors are free again: the sanitizers' checks of a
    // polymorphic object open one.
    ::setrlimit(RLIMIT_NOFILE, &saved);
    int code = 0;
    try {
        if (raised) {
            std::rethrow_exception(raised);
        }
    } catch (const EInOutError& error) {
        code = error.ErrorCode();
    }
    EXPECT_EQ(code, 4);
}

TEST(LoadDatabaseErrors, OtherSystemErrorsCarryTheirNumber) {
    // A named pipe with no reader cannot be opened for writing (ENXIO); the open must neither
    // wait for a reader nor be taken for one of the named errors.
    ScratchDir dir;
    test::WriteFile(dir.Path("QVDB.dat"), DatabaseBytes(test::TwelveSampleRecords()));
    ASSERT_EQ(::mkfifo(dir.Path("ZBM.TTF").c_str(), 0600), 0);
    PageTable table;
    try {
        LoadDatabase(dir.Path("QVDB.dat"), dir.Path("ZBM.TTF"), table);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), ENXIO);
        EXPECT_EQ(std::string(error.what()), "I/O error " + std::to_string(ENXIO));
    }
}

TEST(LoadDatabaseErrors, ADatabaseThatIsAPipeWithNoWriterEndsAtOnce) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("QVDB.dat").c_str(), 0600), 0);
    PageTable table;
    try {
        LoadDatabase(dir.Path("QVDB.dat"), dir.Path("ZBM.TTF"), table);
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.ErrorCode(), 100);
    }
}

} // namespace
} // namespace tavelio
