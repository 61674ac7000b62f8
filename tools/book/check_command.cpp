#include "book/check_command.h"

#include "base/errors.h"
#include "base/temp_directory.h"
#include "base/text_encoding.h"
#include "content/book_cursor.h"
#include "content/database_reader.h"
#include "content/media_path.h"
#include "content/number_text.h"
#include "content/picture_archive.h"
#include "content/record_fields.h"
#include "content/tilde_lines.h"
#include "platform/media_files/media_file_info.h"
#include "platform/pictures/picture_loader.h"

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
// An MP3 length from its headers is an estimate to within a frame or so.
constexpr std::int64_t kMp3ToleranceMs = 50;

constexpr const char* kNarrationBase = "A1Speach";

class BookChecker {
public:
    BookChecker(const std::string& folder, std::ostream& out) : folder_(folder), out_(out) {}

    int Run() {
        if (!LoadBook()) {
            return Summary();
        }
        CheckStructure();
        CheckPictures();
        CheckAnimations();
        CheckNarration();
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            CheckScript(slot);
        }
        return Summary();
    }

private:
    void Problem(const std::string& where, const std::string& what) {
        out_ << where << ": " << what << '\n';
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
            LoadDatabase(InFolder("QVDB.dat"), scratch.Path() + "ZBM.TTF", table_);
        } catch (const Error& error) {
            Problem("QVDB.dat", ErrorBoxText(error.what()));
            return false;
        }
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
            if (page.PageKind < 0 || page.PageKind > 6) {
                Problem(Where(slot, "PageKind"),
                        std::to_string(page.PageKind) + " is not a layout kind (0 to 6)");
            } else if (page.PageNo == 1 && (page.PageKind < 1 || page.PageKind > 3)) {
                Problem(Where(slot, "PageKind"),
                        "page 1 must be a ruled-line page (kind 1 to 3), not kind " +
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
        const std::string archive = InFolder("Graphics.dat");
        const bool archiveThere = fs::exists(archive);
        std::error_code error;
        const auto archiveSize = archiveThere ? fs::file_size(archive, error) : 0;
        bool archiveReported = false;
        const TempDirectory scratch;
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            if (page.PicType == "NA") {
                continue;
            }
            if (!archiveThere) {
                if (!archiveReported) {
                    Problem("Graphics.dat", "File not found.");
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
                Problem(Where(slot, "PicSize"), "the picture runs " +
                                                    std::to_string(end - archiveSize) +
                                                    " bytes past the end of Graphics.dat");
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
                (void)LoadPictureFile(temp);
            }
            std::error_code ignored;
            fs::remove(temp, ignored);
        } catch (const Error& error) {
            Problem(Where(slot, "picture"),
                    ErrorBoxText(error.what()) + " (PicType " + Quoted(page.PicType) + ")");
        }
    }

    void CheckAnimations() {
        for (int slot = 1; slot <= kDatabaseRecordCount; ++slot) {
            const QVDBType& page = Page(slot);
            if (page.AniFile == "None") {
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
        for (const std::string extension : {".wav", ".mp3"}) {
            const std::string name = kNarrationBase + extension;
            const std::string path = MediaFile(name);
            const bool wav = extension == ".wav";
            if (!IsFile(path)) {
                if (wav) {
                    Problem(name, "narration file " + Quoted(MediaPath(".", false, false, name)) +
                                      " not found");
                }
                continue;
            }
            const auto info = ReadMediaFileInfo(path);
            const MediaFileKind expected = wav ? MediaFileKind::Wav : MediaFileKind::Mp3;
            if (!info || info->kind != expected || !info->lengthMs) {
                Problem(name, std::string("its length cannot be read: not ") +
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
                                                   kNarrationBase + ")");
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

    // The page script, read as the viewer's timers read it.
    class ScriptReader {
    public:
        ScriptReader(BookChecker& checker, int slot)
            : checker_(checker), slot_(slot),
              lines_(SplitTildeLines(checker.Page(slot).ScriptText)) {}

        void Check() {
            if (Line(0) == " ") {
                return;
            }
            switch (Number(0, "the script mode")) {
            case 1:
                ReadThrough(0);
                break;
            case 2:
                Rhymes(0);
                break;
            case 3:
                Arrows();
                break;
            default:
                Problem("line 0 " + Shown(0) + " is not a script mode (\" \", 1, 2 or 3)");
            }
        }

    private:
        std::string Line(std::size_t index) const {
            return index < lines_.size() ? lines_[index] : std::string();
        }

        std::string Shown(std::size_t index) const { return Quoted(Line(index)); }

        void Problem(const std::string& what) {
            checker_.Problem(checker_.Where(slot_, "ScriptText"), what);
        }

        // The line's number; a line that is missing or not a whole number is a problem.
        std::int32_t Number(std::size_t index, const std::string& role) {
            if (index >= lines_.size()) {
                Problem("line " + std::to_string(index) + " (" + role + ") is missing");
            } else if (!IsWellFormedNumber(Line(index))) {
                Problem("line " + std::to_string(index) + " (" + role + ") " + Shown(index) +
                        " is not a number");
            }
            return TextToNumber(Line(index));
        }

        // A delay line: a number above 0 (0 would stop the script there for good).
        void Delay(std::size_t index, const std::string& role) {
            const bool readable = index < lines_.size() && IsWellFormedNumber(Line(index));
            const std::int32_t delay = Number(index, role);
            if (readable && delay <= 0) {
                Problem("line " + std::to_string(index) + " (" + role + ") is " +
                        std::to_string(delay) + "; a delay must be above 0 ms");
            }
        }

        // Read-through block at line base: a delay before step 1 and one after each of the
        // page's PageNo steps; step k shows the picture of slot CurPage - StoryPage + k.
        void ReadThrough(std::size_t base) {
            const int steps = checker_.Page(slot_).PageNo;
            Delay(base + 1, "delay before step 1");
            for (int k = 1; k <= steps; ++k) {
                Delay(base + 1 + static_cast<std::size_t>(k),
                      "delay after step " + std::to_string(k));
            }
            for (int k = 1; k <= steps; ++k) {
                const int shown = ((slot_ - kOpeningStoryPage + k) % 256 + 256) % 256;
                if (shown < PageTable::kFirstSlot || shown > PageTable::kLastSlot) {
                    Problem("read-through step " + std::to_string(k) + " would show slot " +
                            std::to_string(shown) + ", outside the page table (1 to 224)");
                } else if (shown > kDatabaseRecordCount) {
                    Problem("read-through step " + std::to_string(k) + " would show slot " +
                            std::to_string(shown) + ", which holds no page");
                }
            }
        }

        // Rhyme block at line base: a delay and the three words.
        void Rhymes(std::size_t base) {
            Delay(base + 1, "delay before the rhymes");
            for (std::size_t word = 2; word <= 4; ++word) {
                if (base + word >= lines_.size()) {
                    Problem("line " + std::to_string(base + word) + " (rhyme word " +
                            std::to_string(word - 1) + ") is missing");
                }
            }
        }

        void Arrows() {
            Delay(1, "delay before the first arrow instruction");
            std::size_t line = 2;
            while (line < lines_.size()) {
                const std::string at = "arrow instruction at line " + std::to_string(line);
                const std::int32_t code = Number(line, "arrow instruction");
                if (code == 4) {
                    ReadThrough(line);
                    return;
                }
                if (code == 5) {
                    Rhymes(line);
                    return;
                }
                if (code == 0) {
                    Delay(line + 1, "delay of the " + at);
                    line += 2;
                } else {
                    Number(line + 1, "left of the " + at);
                    Delay(line + 2, "delay of the " + at);
                    line += 3;
                }
            }
        }

        BookChecker& checker_;
        int slot_;
        std::vector<std::string> lines_;
    };

    void CheckScript(int slot) { ScriptReader(*this, slot).Check(); }

    int Summary() {
        if (problems_ == 0) {
            out_ << "check: " << folder_ << " holds a sound book\n";
            return 0;
        }
        out_ << "check: " << problems_ << (problems_ == 1 ? " problem" : " problems") << " in "
             << folder_ << '\n';
        return 1;
    }

    std::string folder_;
    std::ostream& out_;
    PageTable table_;
    int problems_ = 0;
};

} // namespace

int RunCheck(const std::string& folder, std::ostream& out) {
    return BookChecker(folder, out).Run();
}

} // namespace tavelio::book
