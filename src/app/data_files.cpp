#include "app/data_files.h"

#include "content/data_file_names.h"

#include <filesystem>

namespace tavelio {

std::optional<std::string> MissingDatabaseNote() {
    std::error_code error;
    if (std::filesystem::exists(kDatabaseFileName, error)) {
        return std::nullopt;
    }
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return std::string("tavelio: ") + kDatabaseFileName + " is not in " +
           (error ? std::string("the working directory") : folder.string()) +
           ". Tavelio reads its book from the folder it is started in: start it from the "
           "desktop menu, or in the folder of a book's data files (see man 6 tavelio).";
}

} // namespace tavelio
