// Test helper: a book manifest with its font and pictures, written into a scratch folder.
#pragma once

#include "content/byte_coding.h"
#include "content/database_reader.h"
#include "content/page_table.h"
#include "support/scratch_dir.h"

#include <nlohmann/json.hpp>
#include <string>

namespace tavelio::test {

// A scratch folder holding font.ttf, pictures/cover.jpg (3000 bytes), pictures/page.bmp (1500
// bytes) and a twelve-page manifest in the agreed format that names them.
class BookFixture {
public:
    BookFixture() {
        std::filesystem::create_directories(dir.Root() / "pictures");
        WriteFile(dir.Path("font.ttf"), Bytes(20000, 3));
        WriteFile(dir.Path("pictures/cover.jpg"), Bytes(3000, 5));
        WriteFile(dir.Path("pictures/page.bmp"), Bytes(1500, 11));
        manifest["font"] = "font.ttf";
        manifest["pages"] = nlohmann::json::array();
        for (int page = 0; page < 12; ++page) {
            manifest["pages"].push_back(Page(page));
        }
    }

    static std::string Bytes(std::size_t count, int step) {
        std::string bytes(count, '\0');
        for (std::size_t i = 0; i < count; ++i) {
            bytes[i] = static_cast<char>((i * static_cast<std::size_t>(step)) % 256);
        }
        return bytes;
    }

    static nlohmann::json Page(int pageNo) {
        nlohmann::json page = {
            {"BookNo", 1},
            {"PageNo", pageNo},
            {"Letter", pageNo % 2 == 0 ? "" : "a"},
            {"Title", "Ann and the Seed"},
            {"InstructionText", {"Listen.", "", "Repeat."}},
            {"MediaHeight", 225},
            {"MediaWidth", 315},
            {"AniFile", "None"},
            {"PageText", "Ann has a seed.~It is small.~"},
            {"SpeechStart", pageNo * 2000},
            {"SpeechEnd", pageNo * 2000 + 1500},
            {"PageKind", pageNo == 0 ? 0 : 2},
            {"PromptText", " "},
            {"ScriptText", {"3", "1000", "1", "200", "1500"}},
        };
        if (pageNo == 0 || pageNo == 3) {
            page["picture"] = "pictures/cover.jpg";
        } else if (pageNo == 1) {
            page["picture"] = "pictures/page.bmp";
        } else {
            page["PicType"] = "NA";
        }
        return page;
    }

    // Writes the manifest and returns its path.
    std::string WriteManifest(const std::string& name = "book.json") const {
        WriteFile(dir.Path(name), manifest.dump(2));
        return dir.Path(name);
    }

    ScratchDir dir;
    nlohmann::json manifest;
};

// Loads folder's database with the program's reader; fails the test on an error.
inline PageTable LoadFolder(const std::string& folder, const std::string& fontFile) {
    PageTable table;
    LoadDatabase(folder + "/QVDB.dat", fontFile, table);
    return table;
}

// The content bytes of a data file's stored bytes.
inline std::string Decoded(const std::string& stored) {
    std::string content(stored);
    for (char& c : content) {
        c = static_cast<char>(DecodeByte(static_cast<std::uint8_t>(c)));
    }
    return content;
}

} // namespace tavelio::test
