#include "scenario/script_command.h"

#include "scenario/key_names.h"

#include <charconv>
#include <vector>

namespace tavelio {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Splits line into words, honouring quotes and dropping the comment.
std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') {
            break;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    word += line[i++];
                } else {
                    word += c;
                }
            }
            if (!closed) {
                throw ScriptError("unterminated quote");
            }
            if (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
                throw ScriptError("a quoted word must be followed by a blank");
            }
        } else {
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
                word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

// The one character that text holds as UTF-8, or nothing.
std::optional<char32_t> SingleCharacter(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        length = 1;
        value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (text.size() != length) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return value;
}

void ExpectArguments(const std::vector<std::string>& words, std::size_t count, const char* usage) {
    if (words.size() != count + 1) {
        throw ScriptError(
            std::string(words.size() <= count ? "missing argument" : "too many arguments") +
            ", expected: " + usage);
    }
}

} // namespace

std::optional<ScriptCommand> ParseScriptLine(std::string_view line) {
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty()) {
        return std::nullopt;
    }
    const std::string& verb = words[0];
    ScriptCommand command;
    if (verb == "wait") {
        ExpectArguments(words, 1, "wait MS");
        const std::string& text = words[1];
        const auto [end, error] =
            std::from_chars(text.data(), text.data() + text.size(), command.waitMs);
        if (error == std::errc::result_out_of_range) {
            throw ScriptError("wait: " + text + " milliseconds is too long");
        }
        if (error != std::errc() || end != text.data() + text.size() || command.waitMs < 0) {
            throw ScriptError("wait: '" + text + "' is not a number of milliseconds (0 or more)");
        }
        command.verb = ScriptCommand::Verb::Wait;
    } else if (verb == "key") {
        ExpectArguments(words, 1, "key NAME");
        const std::optional<int> code = VirtualKeyFromName(words[1]);
        if (!code) {
            throw ScriptError("key: unknown key '" + words[1] + "'");
        }
        command.verb = ScriptCommand::Verb::Key;
        command.keyCode = *code;
    } else if (verb == "char") {
        ExpectArguments(words, 1, "char C");
        std::optional<char32_t> character =
            words[1] == "space" ? std::optional<char32_t>(U' ') : SingleCharacter(words[1]);
        if (!character) {
            throw ScriptError("char: '" + words[1] +
                              "' is not one character (write space, or quote it: \" \")");
        }
        command.verb = ScriptCommand::Verb::Char;
        command.character = *character;
    } else if (verb == "click" || verb == "close") {
        ExpectArguments(words, 1, verb == "click" ? "click CONTROL" : "close FORM");
        command.verb = verb == "click" ? ScriptCommand::Verb::Click : ScriptCommand::Verb::Close;
        command.name = words[1];
    } else if (verb == "dump") {
        ExpectArguments(words, 0, "dump");
        command.verb = ScriptCommand::Verb::Dump;
    } else if (verb == "shot") {
        ExpectArguments(words, 2, "shot FORM FILE.png");
        command.verb = ScriptCommand::Verb::Shot;
        command.name = words[1];
        command.file = words[2];
    } else {
        throw ScriptError("unknown command '" + verb + "'");
    }
    return command;
}

} // namespace tavelio
