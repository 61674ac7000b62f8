#include "book/handwriting_font.h"

#include "book/file_bytes.h"
#include "book/font_tables.h"
#include "book/harfbuzz_handles.h"
#include "book/tool_error.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/page_design.h"

#include <cmath>
#include <string_view>
#include <vector>

namespace tavelio::book {
namespace {

// What the font keeps: printable ASCII and the Latin-1 letters, the characters that a child
// learns to write on the ruled lines, and the curly quotes, dashes and ellipsis that a teacher's
// word processor puts into her text. Any other character of a book's text, like a letter that the
// font lacks, is drawn in the system's fallback face.
struct CodeRange {
    hb_codepoint_t first;
    hb_codepoint_t last;
};
constexpr CodeRange kKeptCharacters[] = {{0x20, 0x7E},     {0xC0, 0xD6},     {0xD8, 0xF6},
                                         {0xF8, 0xFF},     {0x2013, 0x2014}, {0x2018, 0x2019},
                                         {0x201C, 0x201D}, {0x2026, 0x2026}};
// What the font must have: the characters of the books' sentences. A handwriting font that lacks
// a rarer sign (a brace, a tilde) is still a good one; one without these would mix faces in a word.
constexpr std::string_view kNeededCharacters =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,;:!?'\"()-";
// The letter whose height stands for the font's ascenders: a straight stem without overshoot, in
// every Latin font. OS/2's cap height is no help here: it is the capitals', which most fonts make
// shorter than their ascenders, and fonts before OS/2 version 2 have none.
constexpr hb_codepoint_t kAscenderLetter = 'l';
// The range OpenType allows for unitsPerEm.
constexpr int kLeastUnitsPerEm = 16;
constexpr int kMostUnitsPerEm = 16384;

constexpr hb_tag_t kHead = HB_TAG('h', 'e', 'a', 'd');
constexpr hb_tag_t kHhea = HB_TAG('h', 'h', 'e', 'a');
constexpr hb_tag_t kOs2 = HB_TAG('O', 'S', '/', '2');
constexpr hb_tag_t kName = HB_TAG('n', 'a', 'm', 'e');
constexpr hb_tag_t kGlyf = HB_TAG('g', 'l', 'y', 'f');

class HandwritingFontMaker {
public:
    explicit HandwritingFontMaker(const std::string& path)
        : path_(path), blob_(BlobOf(ReadInputFile(path))), face_(hb_face_create(blob_.get(), 0)) {}

    std::string Make() {
        RequireTrueTypeOutlines();
        const HbFace subset = Subset();
        for (const hb_tag_t tag : {kHead, kHhea, kOs2, kName}) {
            if (!HasTable(subset.get(), tag)) {
                throw Refusal("a font without the " + TagText(tag) + " table that it must have");
            }
        }
        // The letters are checked and measured as kept: the subsetter leaves out what it finds
        // damaged, such as an outline or a character mapped to a glyph that isn't there.
        RequireNeededCharacters(subset.get());
        const LineMetrics metrics = FittedToRules(AscenderHeight(subset.get()));
        const HbFace builder(hb_face_builder_create());
        std::size_t outlineBytes = 0;
        std::size_t nameBytes = 0;
        for (const hb_tag_t tag : TableTags(subset.get())) {
            std::string table = TableBytes(subset.get(), tag);
            try {
                if (tag == kHead) {
                    FitHead(table, metrics);
                } else if (tag == kHhea) {
                    FitHhea(table, metrics);
                } else if (tag == kOs2) {
                    FitOs2(table, metrics);
                } else if (tag == kName) {
                    table = RenamedNames(table, Renaming());
                    nameBytes = table.size();
                } else if (tag == kGlyf) {
                    outlineBytes = table.size();
                }
            } catch (const FontTableError& error) {
                throw Refusal(error.what());
            }
            hb_face_builder_add_table(builder.get(), tag, BlobOf(table).get());
        }
        // The builder writes the tables' checksums and head's checkSumAdjustment.
        const HbBlob made(hb_face_reference_blob(builder.get()));
        std::string font = BytesOf(made.get());
        if (font.size() > kFontBlockSize) {
            throw Refusal("the handwriting font made from it takes " + Grouped(font.size()) +
                          " bytes, more than the " + Grouped(kFontBlockSize) +
                          " of the book's font block (its letters' outlines take " +
                          Grouped(outlineBytes) + " bytes and its names " + Grouped(nameBytes) +
                          "); choose a font with plainer letters or shorter names");
        }
        return font;
    }

private:
    ToolError Refusal(const std::string& what) const { return ToolError(path_ + ": " + what); }

    static std::vector<hb_tag_t> TableTags(hb_face_t* face) {
        unsigned count = hb_face_get_table_tags(face, 0, nullptr, nullptr);
        std::vector<hb_tag_t> tags(count);
        hb_face_get_table_tags(face, 0, &count, tags.data());
        tags.resize(count);
        return tags;
    }

    static std::string TableBytes(hb_face_t* face, hb_tag_t tag) {
        const HbBlob table(hb_face_reference_table(face, tag));
        return BytesOf(table.get());
    }

    static bool HasTable(hb_face_t* face, hb_tag_t tag) {
        const HbBlob table(hb_face_reference_table(face, tag));
        return hb_blob_get_length(table.get()) > 0;
    }

    static std::string TagText(hb_tag_t tag) {
        char text[4];
        hb_tag_to_string(tag, text);
        return {text, sizeof text};
    }

    void RequireTrueTypeOutlines() const {
        if (TableTags(face_.get()).empty()) {
            throw Refusal("not a TrueType or OpenType font");
        }
        if (HasTable(face_.get(), kGlyf)) {
            return;
        }
        if (HasTable(face_.get(), HB_TAG('C', 'F', 'F', ' ')) ||
            HasTable(face_.get(), HB_TAG('C', 'F', 'F', '2'))) {
            throw Refusal("an OpenType font with PostScript (CFF) outlines; the handwriting font "
                          "must have TrueType (glyf) outlines");
        }
        throw Refusal("a font without TrueType (glyf) outlines");
    }

    void RequireNeededCharacters(hb_face_t* face) const {
        const HbSet characters(hb_set_create());
        hb_face_collect_unicodes(face, characters.get());
        std::string missing;
        int missingCount = 0;
        constexpr int kMostNamed = 12;
        for (const char c : kNeededCharacters) {
            if (hb_set_has(characters.get(), static_cast<unsigned char>(c))) {
                continue;
            }
            if (++missingCount <= kMostNamed) {
                missing += missing.empty() ? "" : " ";
                missing += c == ' ' ? std::string("space") : std::string(1, c);
            }
        }
        if (missingCount > kMostNamed) {
            missing += " and " + std::to_string(missingCount - kMostNamed) + " more";
        }
        if (missingCount > 0) {
            throw Refusal("the font lacks characters that the books' text needs: " + missing);
        }
    }

    int AscenderHeight(hb_face_t* face) const {
        const HbFont font(hb_font_create(face));
        hb_codepoint_t glyph = 0;
        hb_glyph_extents_t extents{};
        if (!hb_font_get_nominal_glyph(font.get(), kAscenderLetter, &glyph) ||
            !hb_font_get_glyph_extents(font.get(), glyph, &extents) || extents.y_bearing <= 0) {
            throw Refusal("its letter 'l' has no outline above the baseline to fit the ruled "
                          "lines by");
        }
        return extents.y_bearing;
    }

    // Ascenders that stand ascenderHeight units reach up to the top rule from the base rule at the
    // ruled line's face size, never across it. The ascent puts the baseline on the base rule of a
    // line drawn from its top; the descent fills the rest of the line.
    LineMetrics FittedToRules(int ascenderHeight) const {
        constexpr int kAscenderPixels = design::kBaseRule - design::kUpperRule;
        // Rounded up to a whole number of units per pixel at the ruled lines' size, so that the
        // ascent and descent come out as whole pixels: a renderer that rounds them (a browser
        // showing the exported book) then puts the baseline on the reader's very pixel row.
        const long long unitsPerPixel =
            (static_cast<long long>(ascenderHeight) + kAscenderPixels - 1) / kAscenderPixels;
        const long long wideUnitsPerEm = unitsPerPixel * design::kRuledLineFontPixels;
        if (wideUnitsPerEm < kLeastUnitsPerEm || wideUnitsPerEm > kMostUnitsPerEm) {
            throw Refusal("its letter 'l' stands " + std::to_string(ascenderHeight) +
                          " units high, which no em of " + std::to_string(kLeastUnitsPerEm) +
                          " to " + std::to_string(kMostUnitsPerEm) +
                          " units fits to the ruled lines");
        }
        const auto unitsPerEm = static_cast<int>(wideUnitsPerEm);
        const auto inUnits = [&](int pixels) {
            return static_cast<std::int16_t>(
                std::lround(double(pixels * unitsPerEm) / design::kRuledLineFontPixels));
        };
        return {static_cast<std::uint16_t>(unitsPerEm), inUnits(design::kBaseRule),
                inUnits(design::kRuledLineHeight - design::kBaseRule)};
    }

    HbFace Subset() const {
        const HbSubsetInput input(hb_subset_input_create_or_fail());
        if (!input) {
            throw std::bad_alloc();
        }
        hb_set_t* characters = hb_subset_input_unicode_set(input.get());
        for (const CodeRange& range : kKeptCharacters) {
            hb_set_add_range(characters, range.first, range.last);
        }
        hb_set_clear(hb_subset_input_set(input.get(), HB_SUBSET_SETS_LAYOUT_FEATURE_TAG));
        hb_set_t* nameIds = hb_subset_input_set(input.get(), HB_SUBSET_SETS_NAME_ID);
        hb_set_clear(nameIds);
        hb_set_add_range(nameIds, 0, kLastKeptNameId);
        hb_set_t* languages = hb_subset_input_set(input.get(), HB_SUBSET_SETS_NAME_LANG_ID);
        hb_set_clear(languages);
        hb_set_invert(languages);
        // The old kerning table is a layout feature too, which the subsetter would keep.
        hb_set_add(hb_subset_input_set(input.get(), HB_SUBSET_SETS_DROP_TABLE_TAG),
                   HB_TAG('k', 'e', 'r', 'n'));
        hb_subset_input_set_flags(input.get(), HB_SUBSET_FLAGS_NO_HINTING);
        const HbFace subset(hb_subset_or_fail(face_.get(), input.get()));
        if (!subset) {
            throw Refusal("a font whose tables are damaged: it cannot be subset");
        }
        // The subsetter's face is one of tables alone, which can't list them: read back as a
        // font file, it can.
        const HbBlob font(hb_face_reference_blob(subset.get()));
        return HbFace(hb_face_create(font.get(), 0));
    }

    std::u16string SourceName(hb_ot_name_id_t id) const {
        unsigned length =
            hb_ot_name_get_utf16(face_.get(), id, HB_LANGUAGE_INVALID, nullptr, nullptr);
        std::vector<std::uint16_t> units(length + 1);
        unsigned capacity = static_cast<unsigned>(units.size());
        hb_ot_name_get_utf16(face_.get(), id, HB_LANGUAGE_INVALID, &capacity, units.data());
        return {units.begin(), units.begin() + capacity};
    }

    NameRenaming Renaming() const {
        std::u16string family = SourceName(HB_OT_NAME_ID_TYPOGRAPHIC_FAMILY);
        if (family.empty()) {
            family = SourceName(HB_OT_NAME_ID_FONT_FAMILY);
        }
        if (family.empty()) {
            family = u"an unnamed font";
        }
        const std::u16string maker = SourceName(HB_OT_NAME_ID_MANUFACTURER);
        std::u16string version = SourceName(HB_OT_NAME_ID_VERSION_STRING);
        if (version.empty()) {
            version = u"Version 1.0";
        }
        const std::u16string face = Utf16(kHandwritingFace);
        std::u16string postScript;
        for (const char16_t c : face) {
            if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
                postScript += c;
            }
        }
        return {
            {HB_OT_NAME_ID_FONT_FAMILY, face},
            {HB_OT_NAME_ID_FONT_SUBFAMILY, u"Regular"},
            {HB_OT_NAME_ID_UNIQUE_ID, u"Tavelio: " + face + u" Regular: " + version},
            {HB_OT_NAME_ID_FULL_NAME, face},
            {HB_OT_NAME_ID_POSTSCRIPT_NAME, postScript},
            {HB_OT_NAME_ID_DESCRIPTION, u"Handwriting face of a Tavelio book: a subset of " +
                                            family + (maker.empty() ? u"" : u" by " + maker) +
                                            u", renamed and fitted to the ruled writing lines."},
            {HB_OT_NAME_ID_TYPOGRAPHIC_FAMILY, face},
            {HB_OT_NAME_ID_TYPOGRAPHIC_SUBFAMILY, u"Regular"},
        };
    }

    static std::u16string Utf16(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

    static std::string Grouped(std::size_t number) {
        std::string digits = std::to_string(number);
        for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
            digits.insert(static_cast<std::size_t>(at), ",");
        }
        return digits;
    }

    static constexpr hb_ot_name_id_t kLastKeptNameId = 14;

    std::string path_;
    HbBlob blob_;
    HbFace face_;
};

} // namespace

std::string MakeHandwritingFont(const std::string& path) {
    return HandwritingFontMaker(path).Make();
}

} // namespace tavelio::book
