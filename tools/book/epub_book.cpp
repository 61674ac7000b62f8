#include "book/epub_book.h"

#include "base/native_path.h"
#include "base/temp_directory.h"
#include "base/text_encoding.h"
#include "book/file_bytes.h"
#include "book/tool_error.h"
#include "content/book_cursor.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/media_path.h"
#include "content/page_rules.h"
#include "content/page_script_grammar.h"
#include "content/picture_archive.h"
#include "content/record_fields.h"
#include "content/tilde_lines.h"
#include "platform/pictures/picture_loader.h"
#include "platform/text/centred_caption.h"
#include "platform/text/designed_font.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QUuid>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <variant>

namespace tavelio::book {
namespace {

using design::Box;

// Identifiers of exported books: name-based, so the same data files give the same identifier.
const QUuid kBookNamespace("{6f1c2a4e-3b7d-5e90-8a1f-2c4d6e8f0a1b}");

std::vector<std::string> Utf8Lines(const std::string& tildeText) {
    std::vector<std::string> lines = SplitTildeLines(tildeText);
    for (std::string& line : lines) {
        line = Cp1252ToUtf8(line);
    }
    return lines;
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int n = 0; n < width; ++n) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(n)]);
    }
    return value;
}

// The font file at the start of the font block: up to the end of its last table, as its table
// directory gives it. A block that holds no table directory is kept whole.
std::string FontFileOf(const std::string& block) {
    constexpr std::size_t kDirectory = 12;
    constexpr std::size_t kTableRecord = 16;
    if (block.size() < kDirectory) {
        return block;
    }
    const std::size_t tables = BigEndian(block, 4, 2);
    if (kDirectory + tables * kTableRecord > block.size()) {
        return block;
    }
    std::size_t end = kDirectory + tables * kTableRecord;
    for (std::size_t n = 0; n < tables; ++n) {
        const std::size_t record = kDirectory + n * kTableRecord;
        const std::size_t tableEnd =
            std::size_t{BigEndian(block, record + 8, 4)} + BigEndian(block, record + 12, 4);
        end = std::max(end, (tableEnd + 3) / 4 * 4);
    }
    return end > block.size() ? block : block.substr(0, end);
}

// Ids of a page's elements carry the page's slot, so that they stay apart in a reading system
// that joins pages.
std::string ElementId(int slot, const std::string& element) {
    return "s" + std::to_string(slot) + element;
}

class BookReader {
public:
    explicit BookReader(const std::string& folder) : folder_(folder) {}

    ExportedBook Read() {
        RequireFolder(folder_);
        const std::string database = InFolder(kDatabaseFileName);
        const TempDirectory scratch;
        const std::string fontFile = scratch.Path() + kFontFileName;
        NamingPathOnError(database, [&] { LoadDatabase(database, fontFile, table_); });
        book_.font = FontFileOf(ReadInputFile(fontFile));
        UseHandwritingFont(database);
        book_.title = Cp1252ToUtf8(table_.At(PageTable::kFirstSlot).Title);
        ReadNarration(database);
        Identify(database);
        for (int slot = PageTable::kFirstSlot; slot <= kDatabaseRecordCount; ++slot) {
            AddPages(slot, scratch.Path());
        }
        return std::move(book_);
    }

private:
    std::string InFolder(const std::string& name) const {
        return (std::filesystem::path(folder_) / name).string();
    }

    std::string Where(const std::string& file, int slot) const {
        return file + ": slot " + std::to_string(slot) + " (page " +
               std::to_string(table_.At(slot).PageNo) + ")";
    }

    void UseHandwritingFont(const std::string& database) {
        const QByteArray font(book_.font.data(), static_cast<qsizetype>(book_.font.size()));
        if (QFontDatabase::addApplicationFontFromData(font) < 0) {
            throw ToolError(database + ": its font block holds no font that can be drawn");
        }
        handwriting_ = DesignedFont(kHandwritingFace, design::kRuledLineFontPixels);
        const QFontMetricsF metrics(handwriting_);
        book_.fontAscent = metrics.ascent();
        book_.fontDescent = metrics.descent();
    }

    void Identify(const std::string& database) {
        const std::string bytes = ReadInputFile(database);
        book_.identifier =
            "urn:uuid:" + QUuid::createUuidV5(kBookNamespace, QByteArray::fromStdString(bytes))
                              .toString(QUuid::WithoutBraces)
                              .toStdString();
        // A new version of the book whenever one of the files it is made from changes.
        QDateTime changed;
        for (const std::string& file : {database, InFolder(kPictureArchiveFileName), narration_}) {
            const QDateTime time = QFileInfo(QString::fromStdString(file)).lastModified().toUTC();
            if (!changed.isValid() || time > changed) {
                changed = time;
            }
        }
        book_.modified = changed.toString(QStringLiteral("yyyy-MM-ddThh:mm:ssZ")).toStdString();
    }

    // Every page plays a stretch of book 1's narration; the stretches must lie inside it.
    void ReadNarration(const std::string& database) {
        for (int slot = PageTable::kFirstSlot; slot <= kDatabaseRecordCount; ++slot) {
            if (table_.At(slot).BookNo != 1) {
                throw ToolError(Where(database, slot) + ": book " +
                                std::to_string(table_.At(slot).BookNo) +
                                " has no narration; only book 1 has one");
            }
        }
        const std::string name = NarrationFileName(1, false);
        narration_ = ResolveNativePath(folder_ + "/" + MediaPath(".", false, false, name));
        std::error_code error;
        if (!std::filesystem::is_regular_file(narration_, error)) {
            throw ToolError(InFolder(name) +
                            ": not found; a read-along book needs the narration to read aloud");
        }
        book_.narration = EncodeNarration(narration_);
        for (int slot = PageTable::kFirstSlot; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = table_.At(slot);
            const std::string stretch = "the stretch " + std::to_string(page.SpeechStart) + " to " +
                                        std::to_string(page.SpeechEnd) + " ms";
            if (page.SpeechStart < 0 || page.SpeechStart > page.SpeechEnd) {
                throw ToolError(Where(database, slot) + ": " + stretch + " is not a stretch");
            }
            if (page.SpeechEnd > book_.narration.lengthMs) {
                throw ToolError(Where(database, slot) + ": " + stretch + " runs past the end of " +
                                InFolder(name) + " (" + std::to_string(book_.narration.lengthMs) +
                                " ms)");
            }
        }
    }

    // The picture of a page as a PNG file of the book, shared by pages that show the same one.
    std::string Picture(int slot, const std::string& tempDir) {
        const QVDBType& page = table_.At(slot);
        const std::string key = std::to_string(page.PicOffset) + "/" +
                                std::to_string(page.PicSize) + "/" + PictureKind(page.PicType);
        if (const auto known = pictureByKey_.find(key); known != pictureByKey_.end()) {
            return known->second;
        }
        const std::string archive = InFolder(kPictureArchiveFileName);
        const QImage image = [&] {
            try {
                const std::string temp = PictureTempPath(tempDir, page.PicType);
                if (CopyPictureOut(archive, temp, page.PicOffset, page.PicSize) ==
                    PictureCopy::WriteWentShort) {
                    throw ToolError(temp + ": the picture could not be copied out");
                }
                QImage loaded = LoadPictureFile(temp);
                std::error_code ignored;
                std::filesystem::remove(temp, ignored);
                return loaded;
            } catch (const Error& error) {
                throw ToolError(Where(archive, slot) + ": " + ErrorBoxText(error.what()));
            }
        }();
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
            throw ToolError(Where(archive, slot) + ": the picture could not be made into a PNG");
        }
        const std::string name =
            "images/picture" + std::to_string(pictureByKey_.size() + 1) + ".png";
        book_.pictures[name] = png.toStdString();
        pictureByKey_[key] = name;
        return name;
    }

    // The page's ruled lines, count of them, from the lines its text memo holds (Windows-1252),
    // with ids of their words under idPrefix.
    std::vector<ShownRuledLine> RuledLines(const std::vector<std::string>& text, int count,
                                           const std::string& idPrefix) const {
        std::vector<ShownRuledLine> lines;
        for (int n = 0; n < count; ++n) {
            const std::size_t index = static_cast<std::size_t>(n);
            const QString caption = QString::fromStdString(
                index < text.size() ? Cp1252ToUtf8(text[index]) : std::string());
            ShownRuledLine line{design::kRuledLineHomeTop + n * design::kRuledLinePitch, {}};
            const std::vector<CaptionLine> laid =
                LayOutCentredCaption(handwriting_, caption, design::kRuledLineWidth);
            // A caption that wraps shows its first line only: the label is one line high.
            if (!laid.empty()) {
                int word = 0;
                for (const CaptionWord& shown : laid.front().words) {
                    line.words.push_back(
                        {{idPrefix + "l" + std::to_string(n + 1) + "w" + std::to_string(++word),
                          design::kRuledLineLeft + shown.left,
                          design::kRuledLineLeft + shown.right},
                         caption.mid(shown.first, shown.length).toStdString()});
                }
            }
            lines.push_back(std::move(line));
        }
        return lines;
    }

    // What the text memo holds after the read-through's step: its lines moved round by the
    // page's kind for each step.
    static std::vector<std::string> RotatedText(std::vector<std::string> text, int kind, int step) {
        if (!text.empty() && kind > 0) {
            const auto by = static_cast<std::size_t>(kind) * static_cast<std::size_t>(step);
            std::rotate(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(by % text.size()),
                        text.end());
        }
        return text;
    }

    static const ReadThroughBlock* ReadThroughOf(const ParsedPageScript& script) {
        if (const auto* arrows = std::get_if<ArrowScript>(&script.body)) {
            return std::get_if<ReadThroughBlock>(&arrows->handOver);
        }
        return std::get_if<ReadThroughBlock>(&script.body);
    }

    static std::array<std::string, 3> Rhymes(const QVDBType& page) {
        const std::vector<std::string> lines = SplitTildeLines(page.ScriptText);
        const ParsedPageScript script = ParsePageScript(ScriptLines(lines), page.PageNo);
        const RhymeBlock* block = std::get_if<RhymeBlock>(&script.body);
        if (const auto* arrows = std::get_if<ArrowScript>(&script.body)) {
            block = std::get_if<RhymeBlock>(&arrows->handOver);
        }
        std::array<std::string, 3> words;
        if (block) {
            for (std::size_t n = 0; n < words.size(); ++n) {
                words[n] = Cp1252ToUtf8(block->words[n].text);
            }
        }
        return words;
    }

    // The page's text as the viewer shows it from the lines its memo holds, with the element ids
    // under idPrefix.
    void ShowText(ExportedPage& page, const std::vector<std::string>& text,
                  const std::string& idPrefix) const {
        const std::int8_t kind = page.record.PageKind;
        page.ruledLines = RuledLines(text, RuledLineCount(kind), idPrefix);
        page.memoLines.clear();
        if (IsTextPage(kind)) {
            for (const std::string& line : text) {
                page.memoLines.push_back(Cp1252ToUtf8(line));
            }
        }
        for (std::size_t n = 0; n < page.ruledLines.size(); ++n) {
            for (const ShownWord& word : page.ruledLines[n].words) {
                page.targets.ruledLines[n].push_back(word.place);
            }
        }
        page.targets.whole = page.ruledLines.empty() && page.memoLines.empty() ? page.instructionsId
                                                                               : idPrefix + "text";
    }

    // The page, and when its script reads the book through, a page for each step of it after the
    // page: with the text and the picture the step shows, so that a reading system turns through
    // them as the narrator reads on.
    void AddPages(int slot, const std::string& tempDir) {
        const QVDBType& record = table_.At(slot);
        ExportedPage page;
        page.slot = slot;
        page.record = record;
        page.name = (slot < 10 ? "page0" : "page") + std::to_string(slot);
        page.picture = design::PictureBoxOf(record, kOpeningStoryPage);
        if (page.picture) {
            page.pictureFile = Picture(slot, tempDir);
        }
        page.role = RoleOfPage(record.PageNo, kOpeningStoryPage);
        page.textLayout = HasTextPageFrame(record.PageKind);
        page.instructions = Utf8Lines(record.InstructionText);
        page.instructionsId = ElementId(slot, "instructions");
        if (page.role == PageRole::Answers) {
            page.answerLines = Utf8Lines(record.PromptText);
        }
        page.rhymes = Rhymes(record);
        page.targets.rhymes = page.rhymes[0].empty() ? std::string() : ElementId(slot, "rhymes");
        const std::vector<std::string> text = SplitTildeLines(record.PageText);
        ShowText(page, text, ElementId(slot, ""));

        std::vector<ExportedPage> steps = ReadThroughPages(page, text, tempDir);
        for (const ExportedPage& step : steps) {
            page.targets.readThroughSteps.push_back(step.targets.whole);
        }
        const std::vector<OverlayClip> clips =
            PageOverlay(SplitTildeLines(record.ScriptText), record.PageNo, record.SpeechStart,
                        record.SpeechEnd, page.targets);
        // Each page's overlay reads its own elements: a step's clip its step page's text.
        for (const OverlayClip& clip : clips) {
            const auto step = std::find_if(steps.begin(), steps.end(), [&](const ExportedPage& s) {
                return s.targets.whole == clip.textId;
            });
            (step == steps.end() ? page : *step).overlay.push_back(clip);
        }
        book_.pages.push_back(std::move(page));
        book_.pages.insert(book_.pages.end(), steps.begin(), steps.end());
    }

    // The pages of the read-through's steps: step k shows the text rotated by k groups and the
    // picture of record slot - StoryPage + k (a record without a picture leaves the one before).
    // A read-through that would show a slot outside the book's pages gets none: the page is then
    // read as a whole.
    std::vector<ExportedPage> ReadThroughPages(const ExportedPage& page,
                                               const std::vector<std::string>& text,
                                               const std::string& tempDir) {
        const std::vector<std::string> lines = SplitTildeLines(page.record.ScriptText);
        const ReadThroughBlock* block =
            ReadThroughOf(ParsePageScript(ScriptLines(lines), page.record.PageNo));
        std::vector<ExportedPage> steps;
        if (!block) {
            return steps;
        }
        std::string pictureFile = page.pictureFile;
        for (int k = 1; k <= page.record.PageNo; ++k) {
            const int shown =
                ReadThroughPictureSlot(static_cast<std::uint8_t>(page.slot), kOpeningStoryPage, k);
            if (shown < PageTable::kFirstSlot || shown > kDatabaseRecordCount) {
                return {};
            }
            ExportedPage step = page;
            step.name = page.name + "-" + std::to_string(k);
            step.readThroughStep = k;
            step.targets = {};
            step.rhymes = {};
            step.overlay.clear();
            if (page.picture && HasPicture(table_.At(shown))) {
                pictureFile = Picture(shown, tempDir);
            }
            step.pictureFile = pictureFile;
            ShowText(step, RotatedText(text, page.record.PageKind, k),
                     ElementId(page.slot, "r" + std::to_string(k)));
            steps.push_back(std::move(step));
        }
        return steps;
    }

    std::string folder_;
    std::string narration_; // the WAV file, once found
    PageTable table_;
    QFont handwriting_;
    ExportedBook book_;
    std::map<std::string, std::string> pictureByKey_;
};

} // namespace

ExportedBook ReadBookForExport(const std::string& folder) {
    return BookReader(folder).Read();
}

} // namespace tavelio::book
