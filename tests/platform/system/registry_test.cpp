#include "base/errors.h"
#include "platform/system/hive_registry.h"
#include "platform/system/registry.h"
#include "support/scratch_dir.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <variant>

namespace tavelio {
namespace {

using tavelio::test::ScratchDir;
using tavelio::test::WriteFile;

constexpr char kKey[] = "\\Software\\Morrowick\\Tavelio\\";
constexpr char kHeader5[] = "Windows Registry Editor Version 5.00\r\n\r\n";
constexpr char kKeyLine[] = "[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio]\r\n";

class RegistryTest : public ::testing::Test {
protected:
    // Writes a hive file and opens the program's key in it.
    std::unique_ptr<RegistryKey> OpenWith(const std::string& contents) {
        WriteFile(path_, contents);
        return registry_.OpenKey(kKey);
    }
    // A version 5.00 file holding the program's key with the given value lines.
    std::unique_ptr<RegistryKey> OpenWithValues(const std::string& lines) {
        return OpenWith(std::string(kHeader5) + kKeyLine + lines);
    }

    ScratchDir scratch_;
    std::string path_ = scratch_.Path("hklm.reg");
    HiveRegistry registry_{path_};
};

// What reading a value gives: its result, or the text of the error raised.
struct Raised {
    std::string message;
    bool operator==(const Raised&) const = default;
};
using BoolOutcome = std::variant<bool, Raised>;
using StringOutcome = std::variant<std::string, Raised>;

template <typename Result, typename Read> std::variant<Result, Raised> Outcome(Read read) {
    try {
        return read();
    } catch (const ERegistryException& error) {
        return Raised{error.what()};
    }
}

struct FlagCase {
    const char* data; // the text after "MP3"=
    BoolOutcome expected;
};

void PrintTo(const FlagCase& flag, std::ostream* out) {
    *out << flag.data;
}

class FlagTest : public RegistryTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(FlagTest, ReadsFlagsAndRefusesOtherDataAsTheSingleByteInterfaceCountsIt) {
    const auto key = OpenWithValues(std::string("\"MP3\"=") + GetParam().data + "\r\n");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Outcome<bool>([&] { return key->ReadBool("MP3"); }), GetParam().expected)
        << GetParam().data;
}

const Raised kInvalid{"Invalid data type for 'MP3'"};
const Raised kFailed{"Failed to get data for 'MP3'"};

INSTANTIATE_TEST_SUITE_P(
    Data, FlagTest,
    ::testing::Values(FlagCase{"dword:00000001", true}, FlagCase{"dword:00000000", false},
                      FlagCase{"dword:5", true}, FlagCase{"dword:ffffffff", true},
                      FlagCase{"dword:80000000", true},
                      // A string's size is its characters and its terminating zero.
                      FlagCase{"\"1\"", kInvalid}, FlagCase{"\"\"", kInvalid},
                      FlagCase{"\"123\"", kInvalid}, FlagCase{"\"1234\"", kFailed},
                      FlagCase{"\"true\"", kFailed},
                      // UTF-16 data counts one byte per character, not two.
                      FlagCase{"hex(2):31,00,00,00", kInvalid},
                      FlagCase{"hex(2):31,00,32,00,33,00,34,00,00,00", kFailed},
                      // Other data counts its bytes.
                      FlagCase{"hex(b):01,00,00,00,00,00,00,00", kFailed},
                      FlagCase{"hex:01,00,00,00", kInvalid},
                      FlagCase{"hex:01,00,00,00,00", kFailed}, FlagCase{"hex:", kInvalid},
                      FlagCase{"hex(5):00,00,00,01", kInvalid},
                      // A REG_DWORD given as bytes is still a flag.
                      FlagCase{"hex(4):00,01,00,00", true}, FlagCase{"hex(4):00,00,00,00", false}));

struct StringCase {
    const char* header;
    const char* data; // the text after "Path"=
    StringOutcome expected;
};

void PrintTo(const StringCase& string, std::ostream* out) {
    *out << string.data;
}

class StringTest : public RegistryTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(StringTest, ReadsStringValuesLiterallyUpToTheFirstZero) {
    const auto key = OpenWith(std::string(GetParam().header) + "\n" + kKeyLine +
                              "\"Path\"=" + GetParam().data + "\n");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(Outcome<std::string>([&] { return key->ReadString("Path"); }), GetParam().expected)
        << GetParam().data;
}

constexpr char kV5[] = "Windows Registry Editor Version 5.00";
constexpr char kV4[] = "REGEDIT4";
const Raised kInvalidPath{"Invalid data type for 'Path'"};

INSTANTIATE_TEST_SUITE_P(
    Data, StringTest,
    ::testing::Values(StringCase{kV5, R"("C:\\Program Files\\Tavelio")",
                                 std::string(R"(C:\Program Files\Tavelio)")},
                      StringCase{kV5, R"("say \"hi\"")", std::string(R"(say "hi")")},
                      StringCase{kV5, R"("")", std::string()},
                      StringCase{kV5, "\"M\xC3\xBCller\"", std::string("M\xC3\xBCller")},
                      // REG_EXPAND_SZ is taken as written, nothing expanded.
                      StringCase{kV5, "hex(2):25,00,54,00,4d,00,50,00,25,00,00,00",
                                 std::string("%TMP%")},
                      StringCase{kV4, "hex(2):25,54,4d,50,25,00", std::string("%TMP%")},
                      // REGEDIT4 strings are single-byte: 0xE9 is e with an acute accent.
                      StringCase{kV4, "hex(1):63,61,66,e9,00", std::string("caf\xC3\xA9")},
                      StringCase{kV5, "hex(1):61,00,62,00,00,00,63,00,00,00", std::string("ab")},
                      StringCase{kV5, "hex(1):", std::string()},
                      StringCase{kV5, "dword:00000001", kInvalidPath},
                      StringCase{kV5, "hex:41,00", kInvalidPath},
                      StringCase{kV5, "hex(7):61,00,00,00,00,00", kInvalidPath}));

TEST_F(RegistryTest, MatchesKeyAndValueNamesWithoutRegardToCase) {
    WriteFile(path_, std::string(kHeader5) +
                         "[hkey_local_machine\\SOFTWARE\\morrowick\\TAVELIO]\r\n\"SoundOn\"=dword:"
                         "00000001\r\n");
    for (const char* path : {kKey, "Software\\Morrowick\\Tavelio", "\\software\\MORROWICK\\tavelio",
                             "\\\\Software\\\\Morrowick\\Tavelio\\\\"}) {
        const auto key = registry_.OpenKey(path);
        ASSERT_NE(key, nullptr) << path;
        EXPECT_TRUE(key->ValueExists("soundon"));
        EXPECT_TRUE(key->ReadBool("SOUNDON"));
    }
}

TEST_F(RegistryTest, AMissingValueDoesNotExistAndCannotBeRead) {
    const auto key = OpenWithValues("\"Full\"=dword:00000000\r\n");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->ValueExists("Full"));
    EXPECT_FALSE(key->ValueExists("MP3"));
    EXPECT_EQ(Outcome<bool>([&] { return key->ReadBool("MP3"); }), BoolOutcome(kFailed));
    EXPECT_EQ(Outcome<std::string>([&] { return key->ReadString("Path"); }),
              StringOutcome(Raised{"Failed to get data for 'Path'"}));
}

TEST_F(RegistryTest, NoFileOrNoKeyMeansTheKeyCannotBeOpened) {
    EXPECT_EQ(registry_.OpenKey(kKey), nullptr); // no file yet
    EXPECT_EQ(OpenWith(std::string(kHeader5) + "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"),
              nullptr);
    // The same key under another root key is not HKEY_LOCAL_MACHINE's.
    EXPECT_EQ(OpenWith(std::string(kHeader5) +
                       "[HKEY_CURRENT_USER\\Software\\Morrowick\\Tavelio]\r\n\"MP3\"=dword:1\r\n"),
              nullptr);
}

TEST_F(RegistryTest, AKeyExistsWhenOnlyItsSubkeysAreListed) {
    WriteFile(path_, std::string(kHeader5) + kKeyLine);
    const auto parent = registry_.OpenKey("\\Software\\Morrowick");
    ASSERT_NE(parent, nullptr);
    EXPECT_FALSE(parent->ValueExists("Tavelio"));
    EXPECT_EQ(registry_.OpenKey("\\Software\\Morrow"), nullptr);
}

TEST_F(RegistryTest, ReadsAnExportWithCommentsContinuationsDefaultValuesAndDeletions) {
    const auto key = OpenWith("REGEDIT4\n"
                              "; written by hand\n"
                              "\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio]\n"
                              "@=\"default\"\n"
                              "\"Blob\"=hex:01,02,03,\\\n"
                              "  04,05\n"
                              "\"Gone\"=dword:00000001\n"
                              "\"Gone\"=-\n"
                              "\"Path\" = \"C:\\\\Tavelio\\\\\"\n"
                              "\"Key\\\"Quote\"=dword:00000001\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio\\Old]\n"
                              "\"X\"=dword:00000001\n"
                              "[-HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio\\Old]\n"
                              "\"Y\"=dword:00000001\n");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString(""), "default");
    EXPECT_EQ(Outcome<bool>([&] { return key->ReadBool("Blob"); }),
              BoolOutcome(Raised{"Failed to get data for 'Blob'"}));
    EXPECT_FALSE(key->ValueExists("Gone"));
    EXPECT_EQ(key->ReadString("Path"), "C:\\Tavelio\\");
    EXPECT_TRUE(key->ReadBool("Key\"Quote"));
    EXPECT_EQ(registry_.OpenKey(std::string(kKey) + "Old"), nullptr);
}

TEST_F(RegistryTest, ReadsUtf16AndUtf8FilesWithByteOrderMarks) {
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio]\r\n"
                                u"\"FromPath\"=\"/srv/b\u00fccher\"\r\n"
                                u"\"AniOn\"=dword:00000000\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : text) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    auto key = OpenWith(utf16);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("FromPath"), "/srv/b\xC3\xBC"
                                           "cher");
    EXPECT_FALSE(key->ReadBool("AniOn"));

    key = OpenWith(std::string("\xEF\xBB\xBF") + kHeader5 + kKeyLine + "\"AniOn\"=dword:1\r\n");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->ReadBool("AniOn"));
}

TEST_F(RegistryTest, AnOpenKeyKeepsItsValuesWhenTheFileChanges) {
    const auto key = OpenWithValues("\"MP3\"=dword:00000001\r\n");
    ASSERT_NE(key, nullptr);
    const auto reread = OpenWithValues("\"MP3\"=dword:00000000\r\n");
    ASSERT_NE(reread, nullptr);
    EXPECT_TRUE(key->ReadBool("MP3"));
    EXPECT_FALSE(reread->ReadBool("MP3"));
}

struct MalformedCase {
    const char* contents;
    int line;
};

void PrintTo(const MalformedCase& file, std::ostream* out) {
    *out << ::testing::PrintToString(std::string(file.contents));
}

class MalformedTest : public RegistryTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedTest, AMalformedFileIsReportedInOneLineAndHasNoKey) {
    ::testing::internal::CaptureStderr();
    const auto key = OpenWith(GetParam().contents);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(key, nullptr);
    EXPECT_NE(printed.find(path_ + ", line " + std::to_string(GetParam().line) + ": "),
              std::string::npos)
        << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(printed.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedTest,
    ::testing::Values(
        MalformedCase{"[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio]\n", 1},
        MalformedCase{"", 1}, MalformedCase{"\n\nWindows Registry Editor Version 4.00\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Morrowick\\Tavelio\n", 2},
        MalformedCase{"REGEDIT4\n[Software\\Morrowick\\Tavelio]\n", 2},
        MalformedCase{"REGEDIT4\n\"MP3\"=dword:00000001\n", 2},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"MP3\"=dword:xyz\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"MP3\"=dword:123456789\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\n\"Path\"=\"C:\\Temp\"\n", 4},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"Path\"=\"open\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"Path\"=\"a\" \"b\"\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"MP3\" dword:1\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"MP3\"=\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"B\"=hex:01,\\\n 0g\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"B\"=hex(x):01\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"B\"=hex:100\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\n\"B\"=text\n", 3},
        MalformedCase{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\S]\nMP3=dword:1\n", 3}));

TEST(HiveRegistryPath, ComesFromTheEnvironmentOrTheSystemFolder) {
    const char* saved = std::getenv("TAVELIO_HKLM");
    const std::string savedValue = saved != nullptr ? saved : "";
    ::setenv("TAVELIO_HKLM", "/srv/tavelio/hive.reg", 1);
    EXPECT_EQ(HiveRegistry::DefaultPath(), "/srv/tavelio/hive.reg");
    ::setenv("TAVELIO_HKLM", "", 1);
    EXPECT_EQ(HiveRegistry::DefaultPath(), "/etc/tavelio/hklm.reg");
    ::unsetenv("TAVELIO_HKLM");
    EXPECT_EQ(HiveRegistry::DefaultPath(), "/etc/tavelio/hklm.reg");
    if (saved != nullptr) {
        ::setenv("TAVELIO_HKLM", savedValue.c_str(), 1);
    }
}

} // namespace
} // namespace tavelio
