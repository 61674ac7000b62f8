#include "scenario/key_names.h"
#include "scenario/script_command.h"

#include <gtest/gtest.h>
#include <string>

namespace tavelio {
namespace {

using Verb = ScriptCommand::Verb;

ScriptCommand Parse(const std::string& line) {
    const std::optional<ScriptCommand> command = ParseScriptLine(line);
    EXPECT_TRUE(command.has_value()) << line;
    return command.value_or(ScriptCommand{});
}

TEST(ScriptCommandTest, BlankAndCommentLinesHoldNoCommand) {
    for (const char* line : {"", "   ", "\t", "# a comment", "   # indented comment", "\r"}) {
        EXPECT_FALSE(ParseScriptLine(line).has_value()) << line;
    }
}

TEST(ScriptCommandTest, ReadsEveryVerb) {
    ScriptCommand wait = Parse("wait 4000");
    EXPECT_EQ(wait.verb, Verb::Wait);
    EXPECT_EQ(wait.waitMs, 4000);
    EXPECT_EQ(Parse("wait 0").waitMs, 0);

    ScriptCommand key = Parse("key Escape");
    EXPECT_EQ(key.verb, Verb::Key);
    EXPECT_EQ(key.keyCode, 27);

    ScriptCommand character = Parse("char a");
    EXPECT_EQ(character.verb, Verb::Char);
    EXPECT_EQ(character.character, U'a');

    ScriptCommand click = Parse("click QVA");
    EXPECT_EQ(click.verb, Verb::Click);
    EXPECT_EQ(click.name, "QVA");

    ScriptCommand close = Parse("close ViewBook");
    EXPECT_EQ(close.verb, Verb::Close);
    EXPECT_EQ(close.name, "ViewBook");

    EXPECT_EQ(Parse("dump").verb, Verb::Dump);

    ScriptCommand shot = Parse("shot Launch launch.png");
    EXPECT_EQ(shot.verb, Verb::Shot);
    EXPECT_EQ(shot.name, "Launch");
    EXPECT_EQ(shot.file, "launch.png");
}

TEST(ScriptCommandTest, CommentsQuotesAndBlanks) {
    EXPECT_EQ(Parse("  wait\t250   # the splash is still up").waitMs, 250);
    EXPECT_EQ(Parse("dump# straight after").verb, Verb::Dump);
    EXPECT_EQ(Parse("char space").character, U' ');
    EXPECT_EQ(Parse("char \" \"").character, U' ');
    EXPECT_EQ(Parse("char \"#\"").character, U'#');
    EXPECT_EQ(Parse("char \"\\\"\"").character, U'"');
    EXPECT_EQ(Parse("char s").character, U's');
    EXPECT_EQ(Parse("char \xC3\xA9").character, U'\u00E9'); // é in UTF-8
    EXPECT_EQ(Parse("shot ViewBook \"my shots/view book.png\"").file, "my shots/view book.png");
    EXPECT_EQ(Parse("wait 10\r").waitMs, 10); // a script with CRLF line ends
}

TEST(ScriptCommandTest, MistakesAreReportedWithWhatIsWrong) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"jump 3", "unknown command 'jump'"},
        {"Wait 3", "unknown command 'Wait'"},
        {"wait", "missing argument, expected: wait MS"},
        {"wait 1 2", "too many arguments, expected: wait MS"},
        {"wait -5", "wait: '-5' is not a number of milliseconds (0 or more)"},
        {"wait 1.5", "wait: '1.5' is not a number of milliseconds (0 or more)"},
        {"wait ten", "wait: 'ten' is not a number of milliseconds (0 or more)"},
        {"wait 99999999999999999999", "wait: 99999999999999999999 milliseconds is too long"},
        {"key", "missing argument, expected: key NAME"},
        {"key Escap", "key: unknown key 'Escap'"},
        {"key F13", "key: unknown key 'F13'"},
        {"key 256", "key: unknown key '256'"},
        {"char ab", "char: 'ab' is not one character (write space, or quote it: \" \")"},
        {"char", "missing argument, expected: char C"},
        {"char \"\"", "char: '' is not one character (write space, or quote it: \" \")"},
        {"char \xC3", "char: '\xC3' is not one character (write space, or quote it: \" \")"},
        {"click", "missing argument, expected: click CONTROL"},
        {"close A B", "too many arguments, expected: close FORM"},
        {"dump now", "too many arguments, expected: dump"},
        {"shot Launch", "missing argument, expected: shot FORM FILE.png"},
        {"shot Launch \"a.png", "unterminated quote"},
        {"click \"QVA\"x", "a quoted word must be followed by a blank"},
    };
    for (const auto& c : cases) {
        try {
            ParseScriptLine(c.line);
            ADD_FAILURE() << "accepted: " << c.line;
        } catch (const ScriptError& error) {
            EXPECT_EQ(std::string(error.what()), c.message) << c.line;
        }
    }
}

TEST(KeyNamesTest, NamesLettersDigitsAndCodes) {
    const struct {
        const char* name;
        int code;
    } keys[] = {
        {"Escape", 27}, {"escape", 27}, {"Esc", 27},  {"Home", 36},     {"Up", 38},
        {"Left", 37},   {"Right", 39},  {"Down", 40}, {"Return", 13},   {"Enter", 13},
        {"Space", 32},  {"Tab", 9},     {"F1", 112},  {"f5", 116},      {"F12", 123},
        {"A", 65},      {"a", 65},      {"z", 90},    {"1", 49},        {"0", 48},
        {"27", 27},     {"08", 8},      {"255", 255}, {"PageDown", 34}, {"Delete", 46},
    };
    for (const auto& key : keys) {
        EXPECT_EQ(VirtualKeyFromName(key.name), key.code) << key.name;
    }
    for (const char* name : {"", "F0", "F01", "F13", "256", "1000", "-1", "#", "Escape!", "Ctrl"}) {
        EXPECT_FALSE(VirtualKeyFromName(name).has_value()) << name;
    }
}

} // namespace
} // namespace tavelio
