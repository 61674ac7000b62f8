// The handwriting font maker on any file: it is refused with the tool's own error naming the
// file, or made into a font that fits the font block, is named the handwriting face, and is made
// again with the same em (its ascenders already reach the top rule).
#include "book/handwriting_font.h"
#include "book/harfbuzz_handles.h"
#include "book/tool_error.h"
#include "content/data_file_names.h"
#include "content/database_reader.h"
#include "fuzz_check.h"

namespace tavelio::fuzz {
namespace {

using book::HbFace;

HbFace FaceOf(const std::string& font) {
    return HbFace(hb_face_create(book::BlobOf(font).get(), 0));
}

std::string FamilyOf(hb_face_t* face) {
    char family[64] = {};
    unsigned size = sizeof family;
    hb_ot_name_get_utf8(face, HB_OT_NAME_ID_FONT_FAMILY, HB_LANGUAGE_INVALID, &size, family);
    return family;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = ScratchFile("font.ttf", Bytes(data, size));
    std::string font;
    try {
        font = book::MakeHandwritingFont(path);
    } catch (const book::ToolError& error) {
        FUZZ_CHECK(std::string(error.what()).starts_with(path + ": "), error.what());
        return 0;
    }
    FUZZ_CHECK(font.size() <= kFontBlockSize, std::to_string(font.size()));
    const HbFace made = FaceOf(font);
    FUZZ_CHECK(FamilyOf(made.get()) == kHandwritingFace, FamilyOf(made.get()));
    std::string again;
    try {
        again = book::MakeHandwritingFont(ScratchFile("made.ttf", font));
    } catch (const book::ToolError& error) {
        // Its new description may carry a font that just fit the block past it.
        FUZZ_CHECK(std::string(error.what()).find("font block") != std::string::npos, error.what());
        return 0;
    }
    const HbFace remade = FaceOf(again);
    FUZZ_CHECK(hb_face_get_upem(remade.get()) == hb_face_get_upem(made.get()),
               std::to_string(hb_face_get_upem(made.get())));
    return 0;
}

} // namespace tavelio::fuzz
