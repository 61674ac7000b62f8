#include "book/check_command.h"

#include "base/errors.h"
#include "base/native_path.h"
#include "base/temp_directory.h"
#include "base/text_encoding.h"
#include "book/file_bytes.h"
#include "content/book_cursor.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "content/media_path.h"
#include "content/page_design.h"
#include "content/page_rules.h"
#include "content/page_script_grammar.h"
#include "content/picture_archive.h"
#include "content/record_fields.h"
#include "content/tilde_lines.h"
#include "platform/media_files/media_file_info.h"
#include "platform/pictures/picture_loader.h"
#include "platform/text/centred_caption.h"
#include "platform/text/designed_font.h"

#include <QFontDatabase>
#include <QImage>
#include <cmath>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kLastPage = kOpeningStoryPage + kLastPageAfterStory;
// The picture copy counts its 1024-byte blocks in a signed 16-bit number.
constexpr std::int32_t kMaxPictureKilobytes = 32767;
// A picture stretched by more than this share looks distorted to a reader: 3 % is about where
// a circle starts to look like an ellipse.
constexpr double kMostProportionChange = 0.03;
// An MP3 length from its headers is an estimate to within a frame or so.
constexpr std::int64_t kMp3ToleranceMs = 50;

class BookChecker {
public:
    BookChecker(const std::string& folder, std::ostream& out, std::ostream& err)
        : folder_(folder), out_(out), err_(err) {}
    // The book's font is the application's only for the check: a process that checks many books
    // (the tests, the fuzzer) would otherwise gather them all.
    ~BookChecker() {
        if (handwritingFont_ >= 0) {
            QFontDatabase::removeApplicationFont(handwritingFont_);
        }
    }
    BookChecker(const BookChecker&) = delete;
    BookChecker& operator=(const BookChecker&) = delete;

    int Run() {
        RequireFolder(folder_);
        if (!LoadBook()) {
            return Summary();
        }
        CheckStructure();
        CheckPictures();
        CheckRuledLines();
        CheckAnimations();
        CheckNarration();
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            CheckScript(slot);
        }
        return Summary();
    }

private:
    void Problem(const std::string& where, const std::string& what) {
        err_ << where << ": " << what << '\n';
        ++problems_;
    }

    const QVDBType& Page(int slot) const { return table_.At(slot); }

    std::string Where(int slot, std::string_view field) const {
        return "slot " + std::to_string(slot) + " (page " + std::to_string(Page(slot).PageNo) +
               "), " + std::string(field);
    }

    static std::string Quoted(const std::string& recordText) {
        return "\"" + Cp1252ToUtf8(recordText) + "\"";
    }

    std::string InFolder(const std::string& name) const {
        return (fs::path(folder_) / name).string();
    }

    // The file a player opens for fileName with default settings, found in the folder.
    std::string MediaFile(const std::string& fileName) const {
        return ResolveNativePath(folder_ + "/" + MediaPath(".", false, false, fileName));
    }

    static bool IsFile(const std::string& path) {
        std::error_code error;
        return fs::is_regular_file(path, error);
    }

    bool LoadBook() {
        const TempDirectory scratch;
        try {
            LoadDatabase(InFolder(kDatabaseFileName), scratch.Path() + kFontFileName, table_);
            // The ruled lines are measured in the book's own font, as the reader installs it; a
            // font block the system can't use leaves them in the face it falls back on, there too.
            handwritingFont_ = QFontDatabase::addApplicationFontFromData(
                QByteArray::fromStdString(ReadInputFile(scratch.Path() + kFontFileName)));
        } catch (const Error& error) {
            Problem(InFolder(kDatabaseFileName), ErrorBoxText(error.what()));
            return false;
        }
        loaded_ = true;
        return true;
    }

    void CheckStructure() {
        std::set<int> booksSeen;
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            const bool newBook = slot == 1 || page.BookNo != Page(slot - 1).BookNo;
            if (newBook) {
                if (slot > 1) {
                    CheckLastPage(slot - 1);
                }
                if (!booksSeen.insert(page.BookNo).second) {
                    Problem(Where(slot, "BookNo"),
                            "book " + std::to_string(page.BookNo) +
                                " goes on here after another book; a book's pages must lie in "
                                "consecutive slots");
                }
                if (page.PageNo != 0) {
                    Problem(Where(slot, "PageNo"), "book " + std::to_string(page.BookNo) +
                                                       " begins with page " +
                                                       std::to_string(page.PageNo) +
                                                       "; it must begin with its cover, page 0");
                }
            } else if (page.PageNo != Page(slot - 1).PageNo + 1) {
                Problem(Where(slot, "PageNo"), std::to_string(page.PageNo) + " follows page " +
                                                   std::to_string(Page(slot - 1).PageNo) +
                                                   "; pages must rise by one");
            }
            if (!IsKnownPageKind(page.PageKind)) {
                Problem(Where(slot, "PageKind"), std::to_string(page.PageKind) +
                                                     " is not a layout kind (0 to " +
                                                     std::to_string(kLastPageKind) + ")");
            } else if (page.PageNo == 1 && RuledLineCount(page.PageKind) == 0) {
                Problem(Where(slot, "PageKind"), "page 1 must be a ruled-line page (kind 1 to " +
                                                     std::to_string(kMaxRuledLines) +
                                                     "), not kind " +
                                                     std::to_string(page.PageKind));
            }
        }
        CheckLastPage(kDatabaseRecordCount);
    }

    void CheckLastPage(int lastSlot) {
        const QVDBType& page = Page(lastSlot);
        if (page.PageNo != kLastPage) {
            Problem(Where(lastSlot, "PageNo"),
                    "book " + std::to_string(page.BookNo) + " ends with page " +
                        std::to_string(page.PageNo) + "; its last page must be page " +
                        std::to_string(kLastPage) + " (story page " +
                        std::to_string(kOpeningStoryPage) + " + " +
                        std::to_string(kLastPageAfterStory) + ")");
        }
    }

    void CheckPictures() {
        const std::string archive = InFolder(kPictureArchiveFileName);
        const bool archiveThere = fs::exists(archive);
        std::error_code error;
        const auto archiveSize = archiveThere ? fs::file_size(archive, error) : 0;
        bool archiveReported = false;
        const TempDirectory scratch;
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            if (!HasPicture(page)) {
                continue;
            }
            if (!archiveThere) {
                if (!archiveReported) {
                    Problem(archive, "File not found.");
                    archiveReported = true;
                }
                continue;
            }
            if (page.PicOffset < 0 || page.PicSize < 0) {
                Problem(Where(slot, page.PicOffset < 0 ? "PicOffset" : "PicSize"), "is negative");
                continue;
            }
            if (page.PicSize / 1024 > kMaxPictureKilobytes) {
                Problem(Where(slot, "PicSize"),
                        std::to_string(page.PicSize) + " bytes is more than " +
                            std::to_string(kMaxPictureKilobytes) + " whole kilobytes");
            }
            const auto end = static_cast<std::uintmax_t>(page.PicOffset) +
                             static_cast<std::uintmax_t>(page.PicSize);
            if (!error && end > archiveSize) {
                Problem(Where(slot, "PicSize"),
                        "the picture runs " + std::to_string(end - archiveSize) +
                            " bytes past the end of " + kPictureArchiveFileName);
                continue;
            }
            CheckPicture(slot, archive, scratch.Path());
        }
    }

    // Copies the picture out and loads it exactly as the viewer does.
    void CheckPicture(int slot, const std::string& archive, const std::string& tempDir) {
        const QVDBType& page = Page(slot);
        try {
            const std::string temp = PictureTempPath(tempDir, page.PicType);
            const PictureCopy copy = CopyPictureOut(archive, temp, page.PicOffset, page.PicSize);
            if (copy == PictureCopy::WriteWentShort) {
                Problem(Where(slot, "picture"), "Error writing Temp File " + temp);
            } else {
                CheckProportions(slot, LoadPictureFile(temp));
            }
            std::error_code ignored;
            fs::remove(temp, ignored);
        } catch (const Error& error) {
            Problem(Where(slot, "picture"),
                    ErrorBoxText(error.what()) + " (PicType " + Quoted(page.PicType) + ")");
        }
    }

    // The viewer stretches a picture to its box: one of other proportions shows distorted.
    void CheckProportions(int slot, const QImage& picture) {
        const QVDBType& page = Page(slot);
        const auto box = design::PictureBoxOf(page, kOpeningStoryPage);
        if (!box || box->width <= 0 || box->height <= 0 || picture.isNull()) {
            return;
        }
        const double shown = static_cast<double>(box->width) / box->height;
        const double own = static_cast<double>(picture.width()) / picture.height();
        const double change = std::abs(own / shown - 1.0);
        if (change > kMostProportionChange) {
            const std::string picked = page.PageKind == kPicturePageKind
                                           ? " (MediaWidth and MediaHeight set the box here)"
                                           : "";
            Problem(Where(slot, "picture"),
                    std::to_string(picture.width()) + " x " + std::to_string(picture.height()) +
                        " pixels, shown stretched to " + std::to_string(box->width) + " x " +
                        std::to_string(box->height) + picked + ": its proportions change by " +
                        std::to_string(static_cast<int>(std::lround(change * 100.0))) +
                        " %, so it looks distorted");
        }
    }

    // Every line of a page of ruled lines may stand on a ruled line (a read-through moves them
    // round), and a label one line high shows only the first line of a caption it wraps.
    void CheckRuledLines() {
        std::optional<QFont> handwriting;
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            if (RuledLineCount(page.PageKind) == 0) {
                continue;
            }
            if (!handwriting) {
                handwriting = DesignedFont(kHandwritingFace, design::kRuledLineFontPixels);
            }
            const std::vector<std::string> lines = SplitTildeLines(page.PageText);
            for (std::size_t n = 0; n < lines.size(); ++n) {
                const QString caption = QString::fromStdString(Cp1252ToUtf8(lines[n]));
                const auto laid =
                    LayOutCentredCaption(*handwriting, caption, design::kRuledLineWidth);
                if (laid.size() > 1) {
                    Problem(Where(slot, "PageText"),
                            "line " + std::to_string(n + 1) + " " + Quoted(lines[n]) +
                                " is wider than a ruled line (" +
                                std::to_string(design::kRuledLineWidth) +
                                " pixels) in the handwriting font: the reader shows only \"" +
                                caption.left(laid.front().length).trimmed().toStdString() + "\"");
                }
            }
        }
    }

    void CheckAnimations() {
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            if (!HasClip(page)) {
                continue;
            }
            if (!IsFile(MediaFile(page.AniFile))) {
                Problem(Where(slot, "AniFile"),
                        Quoted(MediaPath(".", false, false, page.AniFile)) + " not found");
            }
            if (page.MediaWidth <= 0 || page.MediaHeight <= 0) {
                Problem(Where(slot, page.MediaWidth <= 0 ? "MediaWidth" : "MediaHeight"),
                        "an animation needs a size greater than 0");
            }
        }
    }

    struct Narration {
        std::string name;
        std::int64_t lengthMs;
        std::int64_t toleranceMs;
    };

    // The narration files of book 1 with their lengths: the WAV file, which default settings
    // play and must be there, and the MP3 file, which the MP3 setting plays, when it is there.
    std::vector<Narration> NarrationFiles() {
        std::vector<Narration> files;
        for (const bool mp3 : {false, true}) {
            const std::string name = NarrationFileName(1, mp3);
            const std::string path = MediaFile(name);
            const bool wav = !mp3;
            if (!IsFile(path)) {
                if (wav) {
                    Problem(InFolder(name), "narration file " +
                                                Quoted(MediaPath(".", false, false, name)) +
                                                " not found");
                }
                continue;
            }
            const auto info = ReadMediaFileInfo(path);
            const MediaFileKind expected = wav ? MediaFileKind::Wav : MediaFileKind::Mp3;
            if (!info || info->kind != expected || !info->lengthMs) {
                Problem(InFolder(name), std::string("its length cannot be read: not ") +
                                            (wav ? "a WAV" : "an MP3") + " file");
                continue;
            }
            files.push_back({name, *info->lengthMs, wav ? 0 : kMp3ToleranceMs});
        }
        return files;
    }

    void CheckNarration() {
        bool bookOne = false;
        std::set<int> otherBooks;
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const int book = Page(slot).BookNo;
            if (book == 1) {
                bookOne = true;
            } else if (otherBooks.insert(book).second) {
                Problem(Where(slot, "BookNo"), "book " + std::to_string(book) +
                                                   " has no narration file; only book 1 has one (" +
                                                   NarrationFileName(1, false) + ")");
            }
        }
        const std::vector<Narration> files = bookOne ? NarrationFiles() : std::vector<Narration>{};
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            if (page.SpeechStart < 0) {
                Problem(Where(slot, "SpeechStart"),
                        std::to_string(page.SpeechStart) + " ms lies before the narration's start");
            }
            if (page.SpeechStart > page.SpeechEnd) {
                Problem(Where(slot, "SpeechEnd"),
                        "the stretch " + std::to_string(page.SpeechStart) + " to " +
                            std::to_string(page.SpeechEnd) + " ms is reversed");
            } else if (page.SpeechStart == page.SpeechEnd) {
                // The reader plays nothing for it: a page that every child hears read stays
                // silent, which no book means (every page has words to say, the cover its title).
                Problem(Where(slot, "SpeechEnd"),
                        "the stretch " + std::to_string(page.SpeechStart) + " to " +
                            std::to_string(page.SpeechEnd) +
                            " ms is empty: the narrator says nothing on this page");
            }
            if (page.BookNo != 1) {
                continue;
            }
            for (const Narration& file : files) {
                if (page.SpeechEnd > file.lengthMs + file.toleranceMs) {
                    Problem(Where(slot, "SpeechEnd"),
                            std::to_string(page.SpeechEnd) + " ms lies past the end of " +
                                file.name + " (" + std::to_string(file.lengthMs) + " ms)");
                }
            }
        }
    }

    // The page script, read by the viewer's grammar. Beyond what the viewer needs, every line
    // the script reaches must be there and be a whole number, and every delay above 0 (the
    // viewer's timers never fire on a delay of 0 or less, so the script would stop there).
    class ScriptProblems {
    public:
        ScriptProblems(BookChecker& checker, int slot)
            : checker_(checker), slot_(slot),
              lines_(SplitTildeLines(checker.Page(slot).ScriptText)) {}

        void Check() {
            const ScriptLines lines(lines_);
            const ParsedPageScript script = ParsePageScript(lines, checker_.Page(slot_).PageNo);
            if (std::holds_alternative<NoScript>(script.body)) {
                return;
            }
            Number(script.mode, "the script mode");
            if (std::holds_alternative<UnknownMode>(script.body)) {
                Problem("line 0 " + Shown(lines, kModeLine) +
                        " is not a script mode (\" \", 1, 2 or 3)");
            } else if (const auto* readThrough = std::get_if<ReadThroughBlock>(&script.body)) {
                ReadThrough(*readThrough);
            } else if (const auto* rhymes = std::get_if<RhymeBlock>(&script.body)) {
                Rhymes(*rhymes);
            } else {
                Arrows(std::get<ArrowScript>(script.body));
            }
        }

    private:
        static std::string Shown(const ScriptLines& lines, std::int32_t line) {
            return Quoted(std::string(lines.Line(line)));
        }

        void Problem(const std::string& what) {
            checker_.Problem(checker_.Where(slot_, "ScriptText"), what);
        }

        // A line read as a number must be there and be a whole number.
        void Number(const ScriptNumber& number, const std::string& role) {
            const std::string line = "line " + std::to_string(number.line) + " (" + role + ")";
            if (!number.present) {
                Problem(line + " is missing");
            } else if (!number.wellFormed) {
                Problem(line + " " + Shown(ScriptLines(lines_), number.line) + " is not a number");
            }
        }

        void Delay(const ScriptNumber& delay, const std::string& role) {
            Number(delay, role);
            if (delay.wellFormed && delay.value <= 0) {
                Problem("line " + std::to_string(delay.line) + " (" + role + ") is " +
                        std::to_string(delay.value) + "; a delay must be above 0 ms");
            }
        }

        void ReadThrough(const ReadThroughBlock& block) {
            for (std::size_t step = 0; step < block.delays.size(); ++step) {
                Delay(block.delays[step], step == 0 ? "delay before step 1"
                                                    : "delay after step " + std::to_string(step));
            }
            const std::int32_t steps = checker_.Page(slot_).PageNo;
            for (std::int32_t k = 1; k <= steps; ++k) {
                const int shown =
                    ReadThroughPictureSlot(static_cast<std::uint8_t>(slot_), kOpeningStoryPage, k);
                if (shown < PageTable::kFirstSlot || shown > PageTable::kLastSlot) {
                    Problem("read-through step " + std::to_string(k) + " would show slot " +
                            std::to_string(shown) + ", outside the page table (1 to 224)");
                } else if (shown > kDatabaseRecordCount) {
                    Problem("read-through step " + std::to_string(k) + " would show slot " +
                            std::to_string(shown) + ", which holds no page");
                }
            }
        }

        void Rhymes(const RhymeBlock& block) {
            Delay(block.delay, "delay before the rhymes");
            for (std::size_t word = 0; word < block.words.size(); ++word) {
                if (!block.words[word].present) {
                    Problem("line " + std::to_string(block.words[word].line) + " (rhyme word " +
                            std::to_string(word + 1) + ") is missing");
                }
            }
        }

        void Arrows(const ArrowScript& script) {
            Delay(script.firstDelay, "delay before the first arrow instruction");
            for (const ArrowInstruction& instruction : script.instructions) {
                const std::string at =
                    "arrow instruction at line " + std::to_string(instruction.code.line);
                Number(instruction.code, "arrow instruction");
                if (instruction.left) {
                    Number(*instruction.left, "left of the " + at);
                }
                Delay(instruction.delay, "delay of the " + at);
            }
            if (const auto* readThrough = std::get_if<ReadThroughBlock>(&script.handOver)) {
                Number(readThrough->head, "arrow instruction");
                ReadThrough(*readThrough);
            } else if (const auto* rhymes = std::get_if<RhymeBlock>(&script.handOver)) {
                Number(rhymes->head, "arrow instruction");
                Rhymes(*rhymes);
            }
        }

        BookChecker& checker_;
        int slot_;
        std::vector<std::string> lines_;
    };

    void CheckScript(int slot) { ScriptProblems(*this, slot).Check(); }

    // The closing line, in the words of the person who made the book.
    int Summary() {
        if (!loaded_) {
            out_ << folder_
                 << ": the book's pages could not be read, so nothing else was checked\n";
            return 1;
        }
        if (problems_ == 0) {
            out_ << folder_
                 << ": the book is ready: its pages, pictures, clips, narration and page scripts "
                    "were all checked and found sound\n";
            return 0;
        }
        out_ << folder_ << ": " << problems_ << (problems_ == 1 ? " problem" : " problems")
             << " (above) to mend in the book's pages, pictures, clips, narration or page "
                "scripts\n";
        return 1;
    }

    std::string folder_;
    std::ostream& out_;
    std::ostream& err_;
    PageTable table_;
    bool loaded_ = false;
    int problems_ = 0;
    int handwritingFont_ = -1; // the application font installed for the check, or -1
};

} // namespace

int RunCheck(const std::string& folder, std::ostream& out, std::ostream& err) {
    return BookChecker(folder, out, err).Run();
}

} // namespace tavelio::book
