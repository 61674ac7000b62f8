// The author's source of a book: what each page shows and says, with the files of its pictures,
// clips, handwriting font and recordings. tavelio-book make turns it into a data folder;
// docs/making-a-book.md describes the format for authors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavelio::book {

// The rhyme words of a page, shown when the narrator starts saying the phrase that holds them.
struct RhymeCue {
    int phrase = 0; // index into the page's say phrases
    std::vector<std::string> words;
};

// A page script by its intent; the times come from the recording.
struct ScriptPlan {
    // The say phrases that read the page's ruled lines: the arrow walks under every word of the
    // ruled lines as these phrases say them. Empty: no arrow.
    std::vector<int> arrow;
    bool spell = false; // the arrow stops under each letter as it is spelled, then the word
    // What comes after the arrow, or is the whole script without one.
    std::optional<RhymeCue> rhymes;
    // Read-through: the say phrase whose start shows each next group of ruled lines.
    std::vector<int> readThrough;

    bool IsEmpty() const { return arrow.empty() && !rhymes && readThrough.empty(); }
};

struct SourcePage {
    int pageNo = 0;
    std::int8_t pageKind = 0;
    std::optional<std::filesystem::path> picture;
    std::optional<std::filesystem::path> clip;
    std::vector<std::string> instructions;
    std::vector<std::string> text;   // the page's lines; on the story page, the story's lines
    std::vector<std::string> say;    // what the narrator says, phrase by phrase; never empty
    std::vector<std::string> prompt; // the narrator's words as shown; may be empty
    ScriptPlan script;
    std::optional<std::filesystem::path> recording; // the page's own recording
};

struct BookSource {
    std::filesystem::path file; // as the author named it, for messages
    std::uint8_t bookNo = 1;
    std::string letter;
    std::string title;
    int storyPage = 0;
    std::string narration; // the narration file's name without extension
    std::optional<std::filesystem::path> font;
    std::optional<std::filesystem::path> recording; // the whole book read in one go
    std::vector<SourcePage> pages;                  // always the twelve of a book, in order
};

// Reads the JSON book source at path (file names in it are relative to its folder). Refuses with
// a ToolError that names the file, the page and the field ("book.json, page 4, script: an arrow
// needs ruled lines, and a page of kind 0 has none"): JSON that is not a book source, an unknown
// key, a value of the wrong type, other than twelve pages or pages out of order, a page kind or
// script intent the page can't show, a character Windows-1252 cannot hold, a file that is
// missing, and recordings given neither for the book nor for every page (or for both).
BookSource ReadBookSource(const std::filesystem::path& path);

// "book.json, page 4, script": where a problem of a source page lies, for messages.
std::string SourcePlace(const BookSource& source, int pageNo, const std::string& field);

} // namespace tavelio::book
