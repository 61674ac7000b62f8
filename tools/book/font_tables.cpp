#include "book/font_tables.h"

#include <algorithm>
#include <tuple>

namespace tavelio::book {
namespace {

// Field offsets, from the OpenType tables' layouts.
constexpr std::size_t kHeadUnitsPerEm = 18;
constexpr std::size_t kHeadLength = 54;
constexpr std::size_t kHheaAscender = 4;
constexpr std::size_t kHheaDescender = 6;
constexpr std::size_t kHheaLineGap = 8;
constexpr std::size_t kHheaLength = 36;
constexpr std::size_t kOs2FsSelection = 62;
constexpr std::size_t kOs2TypoAscender = 68;
constexpr std::size_t kOs2TypoDescender = 70;
constexpr std::size_t kOs2TypoLineGap = 72;
constexpr std::size_t kOs2WinAscent = 74;
constexpr std::size_t kOs2WinDescent = 76;
constexpr std::size_t kOs2Length = 78;
constexpr std::uint16_t kUseTypoMetrics = 1 << 7;
constexpr std::size_t kNameHeaderLength = 6;
constexpr std::size_t kNameRecordLength = 12;
constexpr std::uint16_t kWindowsPlatform = 3;
constexpr std::uint16_t kWindowsUnicodeBmp = 1;
constexpr std::uint16_t kWindowsEnglishUs = 0x0409;
constexpr std::uint16_t kFirstLanguageTag = 0x8000;
constexpr std::size_t kMostNameOffset = 0xFFFF; // the table's offsets are 16 bits

void Require(const std::string& table, std::size_t length, const char* tag) {
    if (table.size() < length) {
        throw FontTableError(std::string("its ") + tag + " table is too short");
    }
}

// The callers have checked the table's length; at() stays as the last guard.
std::uint16_t U16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at)) << 8 |
                                      static_cast<unsigned char>(bytes.at(at + 1)));
}

void PutU16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<char>(value >> 8);
    bytes.at(at + 1) = static_cast<char>(value & 0xFF);
}

void PutI16(std::string& bytes, std::size_t at, int value) {
    PutU16(bytes, at, static_cast<std::uint16_t>(value));
}

void AppendU16(std::string& bytes, std::size_t value) {
    bytes += static_cast<char>((value >> 8) & 0xFF);
    bytes += static_cast<char>(value & 0xFF);
}

struct NameRecord {
    std::uint16_t platform = 0;
    std::uint16_t encoding = 0;
    std::uint16_t language = 0;
    std::uint16_t id = 0;
    std::string text; // as the table holds it

    auto Key() const { return std::tie(platform, encoding, language, id); }
};

std::vector<NameRecord> NameRecords(const std::string& name) {
    Require(name, kNameHeaderLength, "name");
    const std::size_t count = U16(name, 2);
    const std::size_t storage = U16(name, 4);
    Require(name, kNameHeaderLength + count * kNameRecordLength, "name");
    std::vector<NameRecord> records;
    for (std::size_t index = 0; index < count; ++index) {
        const std::size_t at = kNameHeaderLength + index * kNameRecordLength;
        const std::size_t length = U16(name, at + 8);
        const std::size_t start = storage + U16(name, at + 10);
        Require(name, start + length, "name");
        records.push_back({U16(name, at), U16(name, at + 2), U16(name, at + 4), U16(name, at + 6),
                           name.substr(start, length)});
    }
    return records;
}

std::string Utf16BigEndian(const std::u16string& text) {
    std::string bytes;
    for (const char16_t unit : text) {
        AppendU16(bytes, unit);
    }
    return bytes;
}

} // namespace

void FitHead(std::string& head, const LineMetrics& metrics) {
    Require(head, kHeadLength, "head");
    PutU16(head, kHeadUnitsPerEm, metrics.unitsPerEm);
}

void FitHhea(std::string& hhea, const LineMetrics& metrics) {
    Require(hhea, kHheaLength, "hhea");
    PutI16(hhea, kHheaAscender, metrics.ascent);
    PutI16(hhea, kHheaDescender, -metrics.descent);
    PutI16(hhea, kHheaLineGap, 0);
}

void FitOs2(std::string& os2, const LineMetrics& metrics) {
    Require(os2, kOs2Length, "OS/2");
    PutU16(os2, kOs2FsSelection, U16(os2, kOs2FsSelection) | kUseTypoMetrics);
    PutI16(os2, kOs2TypoAscender, metrics.ascent);
    PutI16(os2, kOs2TypoDescender, -metrics.descent);
    PutI16(os2, kOs2TypoLineGap, 0);
    PutI16(os2, kOs2WinAscent, metrics.ascent);
    PutI16(os2, kOs2WinDescent, metrics.descent);
}

std::string RenamedNames(const std::string& name, const NameRenaming& renaming) {
    std::vector<NameRecord> records = NameRecords(name);
    std::erase_if(records, [&](const NameRecord& record) {
        return record.language >= kFirstLanguageTag ||
               std::any_of(renaming.begin(), renaming.end(),
                           [&](const auto& renamed) { return renamed.first == record.id; });
    });
    for (const auto& [id, text] : renaming) {
        records.push_back(
            {kWindowsPlatform, kWindowsUnicodeBmp, kWindowsEnglishUs, id, Utf16BigEndian(text)});
    }
    std::sort(records.begin(), records.end(),
              [](const NameRecord& a, const NameRecord& b) { return a.Key() < b.Key(); });
    const std::size_t storageOffset = kNameHeaderLength + records.size() * kNameRecordLength;
    if (storageOffset > kMostNameOffset) {
        throw FontTableError("it has too many names for one name table");
    }
    std::string table;
    AppendU16(table, 0);
    AppendU16(table, records.size());
    AppendU16(table, storageOffset);
    std::string storage;
    for (const NameRecord& record : records) {
        if (storage.size() + record.text.size() > kMostNameOffset) {
            throw FontTableError("its names are too long for one name table");
        }
        for (const std::size_t field : {std::size_t{record.platform}, std::size_t{record.encoding},
                                        std::size_t{record.language}, std::size_t{record.id},
                                        record.text.size(), storage.size()}) {
            AppendU16(table, field);
        }
        storage += record.text;
    }
    return table + storage;
}

} // namespace tavelio::book
