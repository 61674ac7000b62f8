#include "book/book_source.h"

#include "base/text_encoding.h"
#include "book/file_bytes.h"
#include "book/tool_error.h"
#include "content/book_cursor.h"
#include "content/data_file_names.h"
#include "content/page_rules.h"
#include "content/record_fields.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// The reader shows three rhyme words, one under the other.
constexpr std::size_t kRhymeWordCount = 3;

const std::set<std::string> kBookKeys = {"BookNo",    "Letter", "Title",     "StoryPage",
                                         "narration", "font",   "recording", "pages"};
const std::set<std::string> kPageKeys = {"PageNo",       "PageKind", "picture",  "clip",
                                         "instructions", "text",     "say",      "prompt",
                                         "story",        "script",   "recording"};
const std::set<std::string> kScriptKeys = {"arrow",  "spell", "then",
                                           "rhymes", "words", "read_through"};

class SourceReader {
public:
    explicit SourceReader(const fs::path& path) : folder_(path.parent_path()) {
        source_.file = path;
    }

    BookSource Read() {
        const Json book = Parse();
        RefuseUnknownKeys(book, kBookKeys, Where());
        ReadBookFields(book);
        if (!book.contains("pages") || !book.at("pages").is_array()) {
            throw Refusal(Where("pages"), "must be a list of pages");
        }
        const Json& pages = book.at("pages");
        if (pages.size() != kDatabaseRecordCount) {
            throw Refusal(Where("pages"), std::to_string(pages.size()) +
                                              " pages given; a book is exactly " +
                                              std::to_string(kDatabaseRecordCount) + " pages");
        }
        for (std::size_t index = 0; index < pages.size(); ++index) {
            source_.pages.push_back(ReadPage(pages[index], static_cast<int>(index)));
        }
        RequireOneWayOfRecording();
        return std::move(source_);
    }

private:
    Json Parse() const {
        const std::string text = ReadInputFile(source_.file.string());
        try {
            return Json::parse(text, nullptr, true, true);
        } catch (const Json::exception& error) {
            throw ToolError(source_.file.string() + ": not valid JSON: " + error.what());
        }
    }

    std::string Where(const std::string& field = {}) const {
        return source_.file.string() + (field.empty() ? "" : ", " + field);
    }
    std::string WhereOnPage(int pageNo, const std::string& field) const {
        return SourcePlace(source_, pageNo, field);
    }
    static ToolError Refusal(const std::string& where, const std::string& what) {
        return ToolError(where + ": " + what);
    }

    static void RefuseUnknownKeys(const Json& object, const std::set<std::string>& known,
                                  const std::string& where) {
        if (!object.is_object()) {
            throw Refusal(where, "must be a JSON object");
        }
        for (const auto& [key, value] : object.items()) {
            if (!known.contains(key)) {
                throw Refusal(where, "unknown key \"" + key + "\"");
            }
        }
    }

    static int Whole(const Json& value, const std::string& where) {
        if (!value.is_number_integer()) {
            throw Refusal(where, "must be a whole number");
        }
        return value.get<int>();
    }

    // A text as the reader's Windows-1252 records can hold it; the text stays UTF-8 here.
    static std::string Text(const Json& value, const std::string& where) {
        if (!value.is_string()) {
            throw Refusal(where, "must be a text");
        }
        std::string text = value.get<std::string>();
        char32_t refused = 0;
        if (!Utf8ToCp1252(text, &refused)) {
            throw Refusal(where, "\"" + text + "\" holds the character " + CodePointName(refused) +
                                     ", which the book's text encoding (Windows-1252) cannot hold");
        }
        return text;
    }

    // Lines of a record field, which the record joins with "~".
    static std::vector<std::string> Lines(const Json& value, const std::string& where) {
        if (!value.is_array()) {
            throw Refusal(where, "must be a list of lines");
        }
        std::vector<std::string> lines;
        for (const Json& line : value) {
            lines.push_back(Text(line, where));
            if (lines.back().find('~') != std::string::npos) {
                throw Refusal(where, "\"" + lines.back() +
                                         "\": a line can't hold \"~\", which ends a line in "
                                         "the book's files");
            }
        }
        return lines;
    }

    fs::path ExistingFile(const Json& value, const std::string& where) const {
        if (!value.is_string() || value.get<std::string>().empty()) {
            throw Refusal(where, "must be a file name");
        }
        const fs::path file = folder_ / fs::path(value.get<std::string>());
        std::error_code error;
        if (!fs::is_regular_file(file, error)) {
            throw Refusal(where, file.string() + ": no such file");
        }
        return file;
    }

    void ReadBookFields(const Json& book) {
        const auto need = [&](const char* key) -> const Json& {
            if (!book.contains(key)) {
                throw Refusal(Where(key), "is missing");
            }
            return book.at(key);
        };
        // The reader opens book 1 with its story on page 8 and plays book 1's narration file;
        // a source that says otherwise would make a book the reader shows wrong.
        const int bookNo = Whole(need("BookNo"), Where("BookNo"));
        if (bookNo != 1) {
            throw Refusal(Where("BookNo"), std::to_string(bookNo) +
                                               ": the reader opens book 1, so a book is made "
                                               "as book 1");
        }
        source_.bookNo = 1;
        source_.letter = Text(need("Letter"), Where("Letter"));
        if (source_.letter.size() != 1) {
            throw Refusal(Where("Letter"), "must be one letter");
        }
        source_.title = Text(need("Title"), Where("Title"));
        source_.storyPage = Whole(need("StoryPage"), Where("StoryPage"));
        if (source_.storyPage != kOpeningStoryPage) {
            throw Refusal(Where("StoryPage"), std::to_string(source_.storyPage) +
                                                  ": the reader reads the story on page " +
                                                  std::to_string(kOpeningStoryPage));
        }
        const std::string narration = NarrationFileName(source_.bookNo, false);
        source_.narration = narration.substr(0, narration.rfind('.'));
        if (book.contains("narration") &&
            Text(book.at("narration"), Where("narration")) != source_.narration) {
            throw Refusal(Where("narration"), "the reader plays book 1's narration from " +
                                                  source_.narration + ".wav or .mp3");
        }
        if (book.contains("font")) {
            source_.font = ExistingFile(book.at("font"), Where("font"));
        }
        if (book.contains("recording")) {
            source_.recording = ExistingFile(book.at("recording"), Where("recording"));
        }
    }

    SourcePage ReadPage(const Json& json, int index) {
        const std::string where = Where("pages[" + std::to_string(index) + "]");
        RefuseUnknownKeys(json, kPageKeys, where);
        SourcePage page;
        if (!json.contains("PageNo") || Whole(json.at("PageNo"), where + ", PageNo") != index) {
            throw Refusal(where + ", PageNo", "must be " + std::to_string(index) +
                                                  ": pages come in order from the cover, page 0");
        }
        page.pageNo = index;
        const auto at = [&](const char* field) { return WhereOnPage(index, field); };
        const int kind =
            json.contains("PageKind") ? Whole(json.at("PageKind"), at("PageKind")) : -1;
        if (!IsKnownPageKind(static_cast<std::int8_t>(kind)) ||
            kind != static_cast<std::int8_t>(kind)) {
            throw Refusal(at("PageKind"), "must be 0 (a picture page), 1 to 3 (ruled lines "
                                          "under a picture) or 4 to 6 (a text page)");
        }
        page.pageKind = static_cast<std::int8_t>(kind);
        if (json.contains("picture")) {
            page.picture = ExistingFile(json.at("picture"), at("picture"));
        }
        if (json.contains("clip")) {
            page.clip = ExistingFile(json.at("clip"), at("clip"));
        }
        if (json.contains("recording")) {
            page.recording = ExistingFile(json.at("recording"), at("recording"));
        }
        const auto lines = [&](const char* field) {
            return json.contains(field) ? Lines(json.at(field), at(field))
                                        : std::vector<std::string>{};
        };
        page.instructions = lines("instructions");
        page.prompt = lines("prompt");
        if (json.contains("story")) {
            ReadStory(json, page);
        } else {
            page.text = lines("text");
            page.say = json.contains("say") ? lines("say") : SaidLines(page.text);
        }
        if (std::ranges::any_of(page.say, [](const std::string& s) { return IsBlank(s); }) ||
            page.say.empty()) {
            throw Refusal(at("say"), "every page needs the narrator to say something, and no "
                                     "phrase may be empty");
        }
        if (json.contains("script")) {
            page.script = ReadScript(json.at("script"), page);
        }
        RequireTextFits(page);
        return page;
    }

    static bool IsBlank(const std::string& text) {
        return text.find_first_not_of(" \t") == std::string::npos;
    }
    static std::vector<std::string> SaidLines(const std::vector<std::string>& text) {
        std::vector<std::string> said;
        std::ranges::copy_if(text, std::back_inserter(said),
                             [](const std::string& line) { return !IsBlank(line); });
        return said;
    }

    // The story page shows its story as groups of ruled lines, one group per paragraph, and the
    // narrator reads it paragraph by paragraph.
    void ReadStory(const Json& json, SourcePage& page) const {
        const std::string where = WhereOnPage(page.pageNo, "story");
        if (page.pageNo != source_.storyPage) {
            throw Refusal(where, "only the story page, page " + std::to_string(source_.storyPage) +
                                     ", reads a story");
        }
        if (json.contains("text") || json.contains("say")) {
            throw Refusal(where, "the story page's text and what it says come from its story "
                                 "file, so it has no \"text\" or \"say\"");
        }
        const fs::path file = ExistingFile(json.at("story"), where);
        const std::string story = ReadInputFile(file.string());
        std::vector<std::string> paragraph;
        const auto endParagraph = [&] {
            if (paragraph.empty()) {
                return;
            }
            if (paragraph.size() != static_cast<std::size_t>(RuledLineCount(page.pageKind))) {
                throw Refusal(where, file.string() + ": the paragraph \"" + paragraph.front() +
                                         "...\" has " + std::to_string(paragraph.size()) +
                                         " lines; each must fill the page's " +
                                         std::to_string(RuledLineCount(page.pageKind)) +
                                         " ruled lines");
            }
            std::string said;
            for (const std::string& line : paragraph) {
                said += (said.empty() ? "" : " ") + line;
                page.text.push_back(line);
            }
            page.say.push_back(said);
            paragraph.clear();
        };
        std::size_t start = 0;
        while (start <= story.size()) {
            std::size_t end = story.find('\n', start);
            end = end == std::string::npos ? story.size() : end;
            std::string line = story.substr(start, end - start);
            line.erase(line.find_last_not_of(" \t\r") + 1);
            line.erase(0, std::min(line.size(), line.find_first_not_of(" \t")));
            if (line.empty()) {
                endParagraph();
            } else {
                paragraph.push_back(Text(Json(line), where));
            }
            start = end + 1;
        }
        endParagraph();
    }

    ScriptPlan ReadScript(const Json& json, const SourcePage& page) const {
        const std::string where = WhereOnPage(page.pageNo, "script");
        RefuseUnknownKeys(json, kScriptKeys, where);
        ScriptPlan plan;
        const auto phrase = [&](const Json& value) {
            const int index = Whole(value, where);
            if (index < 0 || index >= static_cast<int>(page.say.size())) {
                throw Refusal(where, "phrase " + std::to_string(index) +
                                         " is not one of the page's said phrases, 0 to " +
                                         std::to_string(page.say.size() - 1));
            }
            return index;
        };
        if (json.contains("arrow")) {
            if (!json.at("arrow").is_array() || json.at("arrow").empty()) {
                throw Refusal(where, "\"arrow\" must list the phrases that read the ruled lines");
            }
            for (const Json& value : json.at("arrow")) {
                plan.arrow.push_back(phrase(value));
            }
            if (RuledLineCount(page.pageKind) == 0) {
                throw Refusal(where, "an arrow needs ruled lines, and a page of kind " +
                                         std::to_string(page.pageKind) + " has none");
            }
        }
        if (json.contains("spell")) {
            if (!json.at("spell").is_boolean() || plan.arrow.empty()) {
                throw Refusal(where, "\"spell\" is true or false, and goes with an arrow");
            }
            plan.spell = json.at("spell").get<bool>();
        }
        const Json* next = &json;
        if (json.contains("then")) {
            if (plan.arrow.empty()) {
                throw Refusal(where, "\"then\" says what follows the arrow, so it needs one");
            }
            next = &json.at("then");
            RefuseUnknownKeys(*next, {"rhymes", "words", "read_through"}, where + ", then");
        }
        if (next->contains("rhymes")) {
            const std::vector<std::string> words = next->contains("words")
                                                       ? Lines(next->at("words"), where)
                                                       : std::vector<std::string>{};
            if (words.size() != kRhymeWordCount) {
                throw Refusal(where, "rhymes show exactly three \"words\"");
            }
            plan.rhymes = RhymeCue{phrase(next->at("rhymes")), words};
        }
        if (next->contains("read_through")) {
            if (plan.rhymes) {
                throw Refusal(where, "a script shows rhymes or reads through, not both");
            }
            plan.readThrough = ReadThroughPhrases(next->at("read_through"), page, where, phrase);
        }
        if (plan.IsEmpty()) {
            throw Refusal(where, "says nothing to do: give \"arrow\", \"rhymes\" or "
                                 "\"read_through\"");
        }
        return plan;
    }

    // The reader steps through one group of ruled lines for each page before this one (page N
    // has N steps after its first group), so the text must hold exactly that many groups.
    template <typename Phrase>
    std::vector<int> ReadThroughPhrases(const Json& value, const SourcePage& page,
                                        const std::string& where, const Phrase& phrase) const {
        const auto lines = static_cast<std::size_t>(RuledLineCount(page.pageKind));
        if (lines == 0) {
            throw Refusal(where, "a read-through needs ruled lines, and a page of kind " +
                                     std::to_string(page.pageKind) + " has none");
        }
        std::vector<int> phrases;
        if (value.is_string() && value.get<std::string>() == "story") {
            if (page.pageNo != source_.storyPage) {
                throw Refusal(where, "only the story page reads through its story");
            }
            for (int group = 1; group < static_cast<int>(page.say.size()); ++group) {
                phrases.push_back(group);
            }
        } else if (value.is_array()) {
            for (const Json& index : value) {
                phrases.push_back(phrase(index));
            }
        } else {
            throw Refusal(where, "\"read_through\" lists the phrases that start each next "
                                 "group, or is \"story\"");
        }
        const std::size_t steps = static_cast<std::size_t>(page.pageNo);
        if (phrases.size() != steps || page.text.size() != (steps + 1) * lines) {
            throw Refusal(where, "a read-through on page " + std::to_string(page.pageNo) +
                                     " shows " + std::to_string(steps + 1) + " groups of " +
                                     std::to_string(lines) + " lines, so it needs " +
                                     std::to_string((steps + 1) * lines) + " lines of text and " +
                                     std::to_string(steps) + " phrases that start them; it has " +
                                     std::to_string(page.text.size()) + " and " +
                                     std::to_string(phrases.size()));
        }
        return phrases;
    }

    // A ruled-line page shows only as many lines as it has rules, unless it reads through.
    void RequireTextFits(const SourcePage& page) const {
        const std::size_t rules = static_cast<std::size_t>(RuledLineCount(page.pageKind));
        if (rules > 0 && page.script.readThrough.empty() && page.text.size() > rules) {
            throw Refusal(WhereOnPage(page.pageNo, "text"),
                          std::to_string(page.text.size()) + " lines, but a page of kind " +
                              std::to_string(page.pageKind) + " has " + std::to_string(rules) +
                              " ruled lines");
        }
        if (!page.script.arrow.empty() && page.text.empty()) {
            throw Refusal(WhereOnPage(page.pageNo, "script"),
                          "an arrow walks under the page's text, and it has none");
        }
    }

    void RequireOneWayOfRecording() const {
        const auto recorded = [](const SourcePage& page) { return page.recording.has_value(); };
        const bool byPage = std::ranges::any_of(source_.pages, recorded);
        if (source_.recording && byPage) {
            throw Refusal(Where("recording"), "the book has one recording, so its pages have "
                                              "none of their own");
        }
        if (!source_.recording && !std::ranges::all_of(source_.pages, recorded)) {
            const auto missing = std::ranges::find_if_not(source_.pages, recorded);
            throw Refusal(byPage ? WhereOnPage(missing->pageNo, "recording") : Where("recording"),
                          byPage ? "every page needs its own recording when the pages are "
                                   "recorded one by one"
                                 : "is missing: give the recording of the whole book, or one "
                                   "for each page");
        }
    }

    fs::path folder_;
    BookSource source_;
};

} // namespace

BookSource ReadBookSource(const fs::path& path) {
    return SourceReader(path).Read();
}

std::string SourcePlace(const BookSource& source, int pageNo, const std::string& field) {
    return source.file.string() + ", page " + std::to_string(pageNo) + ", " + field;
}

} // namespace tavelio::book
