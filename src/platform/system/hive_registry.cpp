#include "platform/system/hive_registry.h"

#include "base/errors.h"
#include "base/posix_file.h"
#include "base/text_encoding.h"

#include <QString>
#include <QStringDecoder>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace tavelio {
namespace {

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// One value as the registry stores it: string types hold UTF-16LE text, everything else the
// bytes as given.
struct Value {
    std::uint32_t type = kRegBinary;
    std::string data;
};

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Values by case-folded name ("" is the default value).
using ValueTable = std::map<std::string, Value>;

std::string Fold(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
        .toCaseFolded()
        .toStdString();
}

// The case-folded components of a key path joined by "\", without empty components, so that
// "\Software\X\" and "software\x" are the same key.
std::string KeyId(std::string_view path) {
    std::string id;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            if (!id.empty()) {
                id += '\\';
            }
            id += path.substr(start, end - start);
        }
        start = end + 1;
    }
    return Fold(id);
}

std::string Utf16LeBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()) * 2);
    for (QChar c : text) {
        bytes.push_back(static_cast<char>(c.unicode() & 0xFF));
        bytes.push_back(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString FromUtf16LeBytes(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.append(QChar(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                                (static_cast<std::uint8_t>(bytes[i + 1]) << 8))));
    }
    return text;
}

// The data size that the single-byte registry interface reports: a string converted to the
// single-byte code page takes one byte per character, other data its own bytes.
std::size_t SingleByteSize(const Value& value) {
    if (!IsStringType(value.type)) {
        return value.data.size();
    }
    std::size_t characters = 0;
    for (QChar c : FromUtf16LeBytes(value.data)) {
        if (!c.isLowSurrogate()) {
            ++characters;
        }
    }
    return characters + value.data.size() % 2; // an odd last byte still counts
}

class HiveKey final : public RegistryKey {
public:
    explicit HiveKey(ValueTable values) : values_(std::move(values)) {}

    bool ValueExists(const std::string& name) const override {
        return values_.contains(Fold(name));
    }

    bool ReadBool(const std::string& name) const override {
        const Value* value = Find(name);
        if (value == nullptr || SingleByteSize(*value) > 4) {
            throw ERegistryException("Failed to get data for '" + name + "'");
        }
        if (value->type != kRegDword) {
            throw ERegistryException("Invalid data type for '" + name + "'");
        }
        return value->data.find_first_not_of('\0') != std::string::npos;
    }

    std::string ReadString(const std::string& name) const override {
        const Value* value = Find(name);
        if (value == nullptr) {
            throw ERegistryException("Failed to get data for '" + name + "'");
        }
        if (value->type != kRegSz && value->type != kRegExpandSz) {
            throw ERegistryException("Invalid data type for '" + name + "'");
        }
        QString text = FromUtf16LeBytes(value->data);
        const qsizetype end = text.indexOf(QChar(0));
        if (end >= 0) {
            text.truncate(end);
        }
        return text.toStdString();
    }

private:
    const Value* Find(const std::string& name) const {
        const auto found = values_.find(Fold(name));
        return found == values_.end() ? nullptr : &found->second;
    }

    ValueTable values_;
};

// Where and why a hive file breaks the format.
struct Malformed {
    int line;
    std::string problem;
};

// The file's text as UTF-8, from its byte-order mark, else UTF-8 when it is valid UTF-8, else
// Windows-1252.
std::string DecodeFileText(const std::string& bytes) {
    auto startsWith = [&bytes](std::string_view mark) { return bytes.starts_with(mark); };
    if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        QStringDecoder decoder(startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                      : QStringConverter::Utf16BE);
        const QString text =
            decoder(QByteArrayView(bytes.data() + 2, static_cast<qsizetype>(bytes.size() - 2)));
        return text.toStdString();
    }
    std::string_view body(bytes);
    if (startsWith("\xEF\xBB\xBF")) {
        body.remove_prefix(3);
    }
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder(QByteArrayView(body.data(), static_cast<qsizetype>(body.size())));
    if (!decoder.hasError()) {
        return text.toStdString();
    }
    return Cp1252ToUtf8(body);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (char c : digits) {
        const int digit = std::isxdigit(static_cast<unsigned char>(c))
                              ? (std::isdigit(static_cast<unsigned char>(c))
                                     ? c - '0'
                                     : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10)
                              : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

// Parses one hive file into the values of its HKEY_LOCAL_MACHINE keys, by key id.
class HiveParser {
public:
    explicit HiveParser(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    // The keys, or where the file breaks the format.
    std::optional<Malformed> Parse(std::map<std::string, ValueTable>& keys) {
        std::size_t index = 0;
        while (index < lines_.size() && Trim(lines_[index]).empty()) {
            ++index;
        }
        if (index == lines_.size()) {
            return Malformed{1, "the file is empty"};
        }
        const std::string_view header = Trim(lines_[index]);
        if (header == "REGEDIT4") {
            unicodeData_ = false;
        } else if (header == "Windows Registry Editor Version 5.00") {
            unicodeData_ = true;
        } else {
            return Malformed{static_cast<int>(index) + 1,
                             "expected \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\""};
        }
        for (++index; index < lines_.size(); ++index) {
            const int lineNumber = static_cast<int>(index) + 1;
            const std::string_view line = Trim(lines_[index]);
            if (line.empty() || line.front() == ';') {
                continue;
            }
            std::optional<std::string> problem;
            if (line.front() == '[') {
                problem = KeyLine(line, keys);
            } else {
                problem = ValueLine(index, keys);
            }
            if (problem) {
                return Malformed{lineNumber, *problem};
            }
        }
        return std::nullopt;
    }

private:
    std::optional<std::string> KeyLine(std::string_view line,
                                       std::map<std::string, ValueTable>& keys) {
        if (line.back() != ']') {
            return "a key line must end with \"]\"";
        }
        std::string_view path = line.substr(1, line.size() - 2);
        const bool deletion = !path.empty() && path.front() == '-';
        if (deletion) {
            path.remove_prefix(1);
        }
        const std::size_t separator = path.find('\\');
        const std::string_view root = path.substr(0, separator);
        if (!StartsWithNoCase(root, "HKEY_") || root.size() == 5) {
            return "a key must start with a root key such as HKEY_LOCAL_MACHINE";
        }
        current_.reset();
        sawKey_ = true;
        if (KeyId(root) != KeyId("HKEY_LOCAL_MACHINE")) {
            return std::nullopt; // another root key: not read here
        }
        const std::string id = KeyId(separator == std::string_view::npos ? std::string_view()
                                                                         : path.substr(separator));
        if (deletion) {
            std::erase_if(keys, [&id](const auto& entry) {
                return id.empty() || entry.first == id || entry.first.starts_with(id + '\\');
            });
            return std::nullopt;
        }
        keys[id];
        current_ = id;
        return std::nullopt;
    }

    // Reads a quoted text at pos (just after its opening quote) up to its closing quote.
    static std::optional<std::string> QuotedText(std::string_view line, std::size_t& pos) {
        std::string text;
        while (pos < line.size()) {
            const char c = line[pos++];
            if (c == '"') {
                return text;
            }
            if (c == '\\') {
                if (pos == line.size() || (line[pos] != '\\' && line[pos] != '"')) {
                    return std::nullopt;
                }
                text += line[pos++];
            } else {
                text += c;
            }
        }
        return std::nullopt;
    }

    // index may move on over continuation lines of a byte list.
    std::optional<std::string> ValueLine(std::size_t& index,
                                         std::map<std::string, ValueTable>& keys) {
        std::string_view line = Trim(lines_[index]);
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            pos = 1;
            std::optional<std::string> quoted = QuotedText(line, pos);
            if (!quoted) {
                return "a value name must be closed by a quote, with \\\\ for a backslash and \\\" "
                       "for a quote";
            }
            name = std::move(*quoted);
        } else {
            return "expected a key line \"[...]\" or a value line \"Name\"=data";
        }
        std::string_view rest = Trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=') {
            return "expected \"=\" after the value name";
        }
        rest = Trim(rest.substr(1));

        std::string joined; // the data of a byte list with its continuation lines
        if (StartsWithNoCase(rest, "hex")) {
            joined = std::string(rest);
            while (!joined.empty() && joined.back() == '\\' && index + 1 < lines_.size()) {
                joined.pop_back();
                joined += Trim(lines_[++index]);
            }
            rest = joined;
        }

        if (!sawKey_) {
            return "a value line must follow a key line";
        }
        Value value;
        if (rest.empty()) {
            return "expected value data after \"=\"";
        }
        if (rest == "-") {
            if (current_) {
                keys[*current_].erase(Fold(name));
            }
            return std::nullopt;
        }
        if (std::optional<std::string> problem = ValueData(rest, value)) {
            return problem;
        }
        if (!current_) {
            return std::nullopt; // a value of a deleted key or of another root key
        }
        keys[*current_][Fold(name)] = std::move(value);
        return std::nullopt;
    }

    std::optional<std::string> ValueData(std::string_view data, Value& value) const {
        if (data.front() == '"') {
            std::size_t pos = 1;
            std::optional<std::string> text = QuotedText(data, pos);
            if (!text || !Trim(data.substr(pos)).empty()) {
                return "string data must be one quoted text, with \\\\ for a backslash and \\\" "
                       "for a quote";
            }
            value.type = kRegSz;
            value.data = Utf16LeBytes(QString::fromStdString(*text) + QChar(0));
            return std::nullopt;
        }
        if (StartsWithNoCase(data, "dword:")) {
            const std::optional<std::uint32_t> number = ParseHexNumber(data.substr(6));
            if (!number) {
                return "dword: must be followed by 1 to 8 hexadecimal digits";
            }
            value.type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8) {
                value.data.push_back(static_cast<char>((*number >> shift) & 0xFF));
            }
            return std::nullopt;
        }
        if (StartsWithNoCase(data, "hex")) {
            std::size_t colon = data.find(':');
            if (colon == std::string_view::npos) {
                return "expected \"hex:\" or \"hex(type):\"";
            }
            const std::string_view kind = data.substr(3, colon - 3);
            if (kind.empty()) {
                value.type = kRegBinary;
            } else {
                std::optional<std::uint32_t> type;
                if (kind.size() > 2 && kind.front() == '(' && kind.back() == ')') {
                    type = ParseHexNumber(kind.substr(1, kind.size() - 2));
                }
                if (!type) {
                    return "the type in hex(type): must be a hexadecimal number";
                }
                value.type = *type;
            }
            std::string bytes;
            if (std::optional<std::string> problem = ByteList(data.substr(colon + 1), bytes)) {
                return problem;
            }
            if (IsStringType(value.type) && !unicodeData_) {
                // REGEDIT4 writes strings in the single-byte code page.
                value.data = Utf16LeBytes(QString::fromStdString(Cp1252ToUtf8(bytes)));
            } else {
                value.data = std::move(bytes);
            }
            return std::nullopt;
        }
        return "value data must be \"text\", dword:, hex:, hex(type): or -";
    }

    static std::optional<std::string> ByteList(std::string_view list, std::string& bytes) {
        list = Trim(list);
        if (list.empty()) {
            return std::nullopt;
        }
        std::size_t start = 0;
        for (;;) {
            std::size_t end = list.find(',', start);
            const std::string_view item =
                Trim(list.substr(start, end == std::string_view::npos ? end : end - start));
            if (item.empty() && end == std::string_view::npos && start > 0) {
                break; // a trailing comma, as before a continuation that never came
            }
            const std::optional<std::uint32_t> byte =
                item.size() <= 2 ? ParseHexNumber(item) : std::nullopt;
            if (!byte) {
                return "a byte list must be hexadecimal bytes separated by commas";
            }
            bytes.push_back(static_cast<char>(*byte));
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
        return std::nullopt;
    }

    std::vector<std::string> lines_;
    bool unicodeData_ = true;
    bool sawKey_ = false;
    std::optional<std::string> current_; // id of the HKEY_LOCAL_MACHINE key being read
};

} // namespace

std::string HiveRegistry::DefaultPath() {
    const char* path = std::getenv("TAVELIO_HKLM");
    return path != nullptr && *path != '\0' ? path : "/etc/tavelio/hklm.reg";
}

std::unique_ptr<RegistryKey> HiveRegistry::OpenKey(const std::string& path) {
    int error = 0;
    const std::optional<std::string> bytes = ReadWholeFileIfPossible(path_, error);
    if (!bytes) {
        if (error != ENOENT) {
            std::cerr << "tavelio: registry file " << path_ << ": " << std::strerror(error)
                      << "; no registry key is read\n";
        }
        return nullptr;
    }
    std::map<std::string, ValueTable> keys;
    HiveParser parser(SplitLines(DecodeFileText(*bytes)));
    if (const std::optional<Malformed> malformed = parser.Parse(keys)) {
        std::cerr << "tavelio: registry file " << path_ << ", line " << malformed->line << ": "
                  << malformed->problem << "; no registry key is read\n";
        return nullptr;
    }
    const std::string id = KeyId(path);
    const auto found = keys.find(id);
    if (found != keys.end()) {
        return std::make_unique<HiveKey>(std::move(found->second));
    }
    // A key also exists where only its subkeys are listed.
    for (const auto& entry : keys) {
        if (id.empty() || entry.first.starts_with(id + '\\')) {
            return std::make_unique<HiveKey>(ValueTable{});
        }
    }
    return nullptr;
}

} // namespace tavelio
