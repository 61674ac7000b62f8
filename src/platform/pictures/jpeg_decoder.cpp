#include "platform/pictures/jpeg_decoder.h"

#include "platform/pictures/picture_limits.h"
#include "platform/pictures/picture_loader.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <jerror.h>
#include <jpeglib.h>
#include <string>

namespace tavelio {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return. It leaves through
// longjmp to the setjmp of the guarded step that called into libjpeg. Each guarded step below is
// a plain function whose frame holds nothing with a destructor, and the jump only leaves libjpeg's
// own C frames, so no C++ object is ever jumped over. The caller then destroys the decompressor,
// which releases all of libjpeg's memory, whatever state it was left in.
struct ErrorManager {
    jpeg_error_mgr base; // first, so that libjpeg's err pointer is also ours
    std::jmp_buf jump;
};

extern "C" void LeaveOnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (such as data that ends early) are not shown anywhere: there is no log.
extern "C" void KeepQuiet(j_common_ptr) {}

// Four bytes per pixel in the order of QImage::Format_RGB32 on this machine, the fourth 0xFF.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_BGRA;
#else
constexpr J_COLOR_SPACE kRgb32Space = JCS_EXT_ARGB;
#endif

// Guarded step 1: reads the header and starts decompression into four bytes per pixel, RGB32 or
// (for CMYK and YCCK pictures, which libjpeg does not turn into RGB) CMYK. Returns 0, or
// libjpeg's message code when it gave up.
int StartDecompress(jpeg_decompress_struct* cinfo, ErrorManager* errors, const unsigned char* data,
                    unsigned long size) {
    if (setjmp(errors->jump) != 0) {
        return errors->base.msg_code;
    }
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : kRgb32Space;
    jpeg_start_decompress(cinfo);
    return 0;
}

// Guarded step 2: decodes every line into rows of stride bytes from first, then reads on to the
// end marker (and no further: whatever follows it is not read at all). Returns 0 or the code.
int ReadLines(jpeg_decompress_struct* cinfo, ErrorManager* errors, unsigned char* first,
              long stride) {
    if (setjmp(errors->jump) != 0) {
        return errors->base.msg_code;
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = first + static_cast<long>(cinfo->output_scanline) * stride;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    return 0;
}

// Turns CMYK pixels, as decoded in place, into RGB32. Adobe's encoders store CMYK inverted (0 is
// full ink), and an Adobe marker is how a picture says so.
void CmykToRgb32(QImage& image, bool inverted) {
    for (int y = 0; y < image.height(); ++y) {
        uchar* pixel = image.scanLine(y);
        QRgb* out = reinterpret_cast<QRgb*>(pixel);
        for (int x = 0; x < image.width(); ++x, pixel += 4) {
            int c = pixel[0];
            int m = pixel[1];
            int ye = pixel[2];
            int k = pixel[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                ye = 255 - ye;
                k = 255 - k;
            }
            out[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
        }
    }
}

class Decompressor {
public:
    Decompressor() {
        cinfo_.err = jpeg_std_error(&errors_.base);
        errors_.base.error_exit = LeaveOnError;
        errors_.base.output_message = KeepQuiet;
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct* Info() { return &cinfo_; }
    ErrorManager* Errors() { return &errors_; }

private:
    jpeg_decompress_struct cinfo_{};
    ErrorManager errors_{};
};

[[noreturn]] void RaiseJpegError(int code) {
    throw EInvalidGraphic("JPEG error #" + std::to_string(code));
}

} // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> bytes) {
    Decompressor decompressor;
    jpeg_decompress_struct* cinfo = decompressor.Info();
    if (const int code = StartDecompress(cinfo, decompressor.Errors(), bytes.data(),
                                         static_cast<unsigned long>(bytes.size()))) {
        RaiseJpegError(code);
    }
    // Refused as libjpeg refuses what it can't allocate.
    const auto pixels = static_cast<std::uint64_t>(cinfo->output_width) * cinfo->output_height;
    if (pixels * 4 > kMaxImageBytes) {
        RaiseJpegError(JERR_OUT_OF_MEMORY);
    }
    QImage image(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        RaiseJpegError(JERR_OUT_OF_MEMORY);
    }
    if (const int code = ReadLines(cinfo, decompressor.Errors(), image.bits(),
                                   static_cast<long>(image.bytesPerLine()))) {
        RaiseJpegError(code);
    }
    if (cinfo->out_color_space == JCS_CMYK) {
        CmykToRgb32(image, cinfo->saw_Adobe_marker != 0);
    }
    return image;
}

} // namespace tavelio
