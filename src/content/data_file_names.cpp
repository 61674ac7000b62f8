#include "content/data_file_names.h"

namespace tavelio {

std::string NarrationFileName(std::uint8_t bookNo, bool useMp3) {
    // Only the first book was ever recorded; any other gets a name with no stem, which no
    // folder holds, so that its pages play nothing rather than another book's narration.
    return std::string(bookNo == 1 ? "A1Speach" : "") + (useMp3 ? ".mp3" : ".wav");
}

} // namespace tavelio
