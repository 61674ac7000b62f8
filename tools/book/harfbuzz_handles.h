// Owners of HarfBuzz's reference-counted objects, each giving up its reference when it goes, and
// the bytes of a blob: for the handwriting font and the code that checks it.
#pragma once

#include <hb-subset.h>
#include <hb.h>
#include <memory>
#include <string>

namespace tavelio::book {

template <auto Destroy> struct HarfBuzzRelease {
    template <typename Object> void operator()(Object* object) const { Destroy(object); }
};
using HbBlob = std::unique_ptr<hb_blob_t, HarfBuzzRelease<hb_blob_destroy>>;
using HbFace = std::unique_ptr<hb_face_t, HarfBuzzRelease<hb_face_destroy>>;
using HbFont = std::unique_ptr<hb_font_t, HarfBuzzRelease<hb_font_destroy>>;
using HbSet = std::unique_ptr<hb_set_t, HarfBuzzRelease<hb_set_destroy>>;
using HbSubsetInput = std::unique_ptr<hb_subset_input_t, HarfBuzzRelease<hb_subset_input_destroy>>;

// A copy of the blob's bytes.
inline std::string BytesOf(hb_blob_t* blob) {
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    return {data, length};
}

// A blob holding its own copy of bytes.
inline HbBlob BlobOf(const std::string& bytes) {
    return HbBlob(hb_blob_create(bytes.data(), static_cast<unsigned>(bytes.size()),
                                 HB_MEMORY_MODE_DUPLICATE, nullptr, nullptr));
}

} // namespace tavelio::book
