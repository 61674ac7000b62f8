#include "book/make_command.h"

#include "align/align_error.h"
#include "align/aligner.h"
#include "book/book_font.h"
#include "book/book_narration.h"
#include "book/book_source.h"
#include "book/check_command.h"
#include "book/clip_size.h"
#include "book/file_bytes.h"
#include "book/pack_command.h"
#include "book/page_pictures.h"
#include "book/page_scripts.h"
#include "book/page_timing.h"
#include "book/tool_error.h"
#include "content/data_file_names.h"
#include "content/page_design.h"
#include "content/page_rules.h"
#include "platform/text/designed_font.h"

#include <QFontDatabase>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// The work files (the made pictures, the font, the manifest) stay out of the data folder.
constexpr const char* kWorkFolder = ".make-work";

// A folder beside the target that is removed again unless it is kept by being renamed.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const fs::path& beside) {
        const fs::path parent = beside.parent_path().empty() ? "." : beside.parent_path();
        std::error_code error;
        fs::create_directories(parent, error);
        std::string pattern =
            (parent / ("." + beside.filename().string() + ".making-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw ToolError(parent.string() + ": can't make a folder for the book there");
        }
        path_ = pattern;
        // mkdtemp keeps the folder to its owner; a book folder is for every reader on the machine.
        std::error_code ignored;
        fs::permissions(path_,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec,
                        ignored);
    }
    ~TemporaryFolder() {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove_all(path_, ignored);
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const fs::path& Path() const { return path_; }
    // Moves the folder to target, replacing a folder there.
    void MoveTo(const fs::path& target) {
        std::error_code error;
        if (fs::exists(target, error)) {
            TemporaryFolder old(target);
            fs::rename(target, old.Path() / "old", error);
            if (error) {
                throw ToolError(target.string() + ": can't be replaced: " + error.message());
            }
        }
        fs::rename(path_, target, error);
        if (error) {
            throw ToolError(target.string() + ": can't be written: " + error.message());
        }
        path_.clear();
    }

private:
    fs::path path_;
};

// make writes a new folder, or replaces one it could have made; anything else may be the
// author's own work, and is refused rather than thrown away.
void RequireReplaceable(const fs::path& outFolder) {
    std::error_code error;
    if (!fs::exists(outFolder, error)) {
        return;
    }
    if (!fs::is_directory(outFolder, error)) {
        throw ToolError(outFolder.string() + ": not a folder");
    }
    if (!fs::is_empty(outFolder, error) && !fs::exists(outFolder / kDatabaseFileName, error)) {
        throw ToolError(outFolder.string() + ": holds files but no book; make writes a new "
                                             "folder or replaces a book folder");
    }
}

// A field's lines as the manifest gives them. A list's last empty line would not be read back,
// and means nothing on the page.
Json Lines(std::vector<std::string> lines) {
    while (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

class BookMaker {
public:
    BookMaker(const fs::path& sourcePath, const fs::path& outFolder, std::ostream* progress)
        : source_(ReadBookSource(sourcePath)), outFolder_(outFolder), progress_(progress),
          folder_(outFolder), work_(folder_.Path() / kWorkFolder) {}

    std::string Make() {
        fs::create_directory(work_);
        Say("reading the recording");
        const fs::path wav = folder_.Path() / (source_.narration + ".wav");
        WriteNarration(source_, wav, folder_.Path() / (source_.narration + ".mp3"));
        Say("finding where each phrase is said");
        const std::vector<PageTiming> timings = TimePages(source_, Align(wav));
        Say("writing the pages");
        const BookFont font = ReadBookFont(source_);
        WriteOutputFile((work_ / kFontFileName).string(), font.bytes);
        Json pages = Json::array();
        {
            const InstalledFont installed(font.bytes, source_);
            for (const SourcePage& page : source_.pages) {
                pages.push_back(Record(page, timings.at(static_cast<std::size_t>(page.pageNo)),
                                       installed.Face()));
            }
        }
        const fs::path manifest = work_ / "manifest.json";
        WriteOutputFile(manifest.string(),
                        Json{{"font", kFontFileName}, {"pages", pages}}.dump(2) + "\n");
        WriteBookFiles(ReadManifest(manifest.string()), folder_.Path().string());
        if (font.licence) {
            fs::copy_file(*font.licence, folder_.Path() / font.licence->filename());
        }
        fs::remove_all(work_);
        Say("checking the book");
        std::ostringstream report;
        std::ostringstream problems;
        if (RunCheck(folder_.Path().string(), report, problems) != 0) {
            throw ToolError(source_.file.string() +
                            ": the book made from it does not pass the "
                            "check:\n" +
                            problems.str());
        }
        folder_.MoveTo(outFolder_);
        return Summary(timings);
    }

private:
    // The book's handwriting font, the application's while the arrow stops are measured.
    class InstalledFont {
    public:
        InstalledFont(const std::string& bytes, const BookSource& source)
            : id_(QFontDatabase::addApplicationFontFromData(QByteArray::fromStdString(bytes))) {
            if (id_ < 0 || !QFontDatabase::applicationFontFamilies(id_).contains(
                               QString::fromUtf8(kHandwritingFace))) {
                throw ToolError(source.file.string() + ", font: not a handwriting font the "
                                                       "reader can use");
            }
            face_ = DesignedFont(kHandwritingFace, design::kRuledLineFontPixels);
        }
        ~InstalledFont() {
            if (id_ >= 0) {
                QFontDatabase::removeApplicationFont(id_);
            }
        }
        InstalledFont(const InstalledFont&) = delete;
        InstalledFont& operator=(const InstalledFont&) = delete;
        const QFont& Face() const { return face_; }

    private:
        int id_;
        QFont face_;
    };

    void Say(const std::string& step) const {
        if (progress_ != nullptr) {
            *progress_ << "tavelio-book make: " << step << "...\n" << std::flush;
        }
    }

    align::Alignment Align(const fs::path& wav) const {
        try {
            return align::AlignRecording(wav.string(), ReadingTextOf(source_), {});
        } catch (const align::AlignError& error) {
            throw ToolError(source_.file.string() + ", recording: the recording " + error.what());
        }
    }

    Json Record(const SourcePage& page, const PageTiming& timing, const QFont& handwriting) {
        Json record = {{"BookNo", source_.bookNo},
                       {"PageNo", page.pageNo},
                       {"Letter", source_.letter},
                       {"Title", source_.title},
                       {"InstructionText", Lines(page.instructions)},
                       {"AniFile", kNoClipFile},
                       {"PageText", Lines(page.text)},
                       {"SpeechStart", timing.speechStart},
                       {"SpeechEnd", timing.speechEnd},
                       {"PageKind", page.pageKind},
                       {"PromptText", Lines(page.prompt)},
                       {"ScriptText", Lines(MakePageScript(source_, page, timing, handwriting))},
                       {"MediaWidth", 0},
                       {"MediaHeight", 0}};
        if (page.picture) {
            const PagePicture picture = MakePagePicture(source_, page, work_);
            record["picture"] = fs::absolute(picture.file).string();
            record["MediaWidth"] = picture.mediaWidth;
            record["MediaHeight"] = picture.mediaHeight;
        } else {
            record["PicType"] = kNoPictureType;
        }
        if (page.clip) {
            AddClip(page, record);
        }
        return record;
    }

    void AddClip(const SourcePage& page, Json& record) {
        const std::string where = SourcePlace(source_, page.pageNo, "clip");
        const std::string name = page.clip->filename().string();
        const auto size = ReadClipSize(*page.clip);
        if (!size) {
            throw ToolError(where + ": " + page.clip->string() +
                            " is not a video that can be played");
        }
        if (!clips_.insert(name).second) {
            throw ToolError(where + ": another page's clip is also called " + name);
        }
        if (name == kDatabaseFileName || name == kPictureArchiveFileName ||
            name.starts_with(source_.narration + ".")) {
            throw ToolError(where + ": a clip can't be called " + name + ", as a book file is");
        }
        fs::copy_file(*page.clip, folder_.Path() / name);
        record["AniFile"] = name;
        record["MediaWidth"] = size->width;
        record["MediaHeight"] = size->height;
    }

    std::string Summary(const std::vector<PageTiming>& timings) const {
        const int seconds = timings.back().speechEnd / 1000;
        std::ostringstream summary;
        summary << outFolder_.string() << ": \"" << source_.title << "\", " << source_.pages.size()
                << " pages and " << seconds / 60 << ":" << (seconds % 60 < 10 ? "0" : "")
                << seconds % 60 << " of narration, made and checked\n";
        return summary.str();
    }

    BookSource source_;
    fs::path outFolder_;
    std::ostream* progress_;
    TemporaryFolder folder_;
    fs::path work_;
    std::set<std::string> clips_;
};

} // namespace

void RunMake(const fs::path& sourcePath, const fs::path& outFolder, std::ostream& out,
             std::ostream* progress) {
    RequireReplaceable(outFolder);
    out << BookMaker(sourcePath, outFolder, progress).Make();
}

} // namespace tavelio::book
