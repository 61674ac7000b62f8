// One line of a scenario script, read into a command. The grammar:
//
//   line    := words, then optionally a comment; blank lines and comment lines hold no command
//   comment := "#" outside quotes, up to the end of the line
//   word    := characters up to the next blank, or "text in double quotes" in which a blank or
//              "#" is plain text, \" stands for a quote and \\ for a backslash
//
//   wait MS             advance virtual time by MS milliseconds (0 or more, decimal)
//   key NAME            a key goes down on the active form (names in key_names.h)
//   char C              a character typed on the active form: one character, or the word
//                       "space" for a blank (a quoted " " or "#" works as well)
//   click CONTROL       a click on that control of the active form
//   close FORM          the user closes that window
//   dump                one line of JSON describing the program's state
//   shot FORM FILE      a PNG picture of that form as drawn
//
// Verbs are lower case. Anything else, a missing or extra argument or a bad number is a
// ScriptError whose message says what is wrong (the caller adds the line number).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavelio {

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScriptCommand {
    enum class Verb { Wait, Key, Char, Click, Close, Dump, Shot };

    Verb verb = Verb::Dump;
    std::int64_t waitMs = 0; // wait
    int keyCode = 0;         // key: virtual-key code
    char32_t character = 0;  // char: the character typed
    std::string name;        // click: control; close and shot: form
    std::string file;        // shot: the picture file to write

    bool operator==(const ScriptCommand&) const = default;
};

// The command on line, or nothing for a blank or comment line. Raises ScriptError.
std::optional<ScriptCommand> ParseScriptLine(std::string_view line);

} // namespace tavelio
