#include "bench/bare_decode.h"

#include "bench/child_process.h"
#include "content/byte_coding.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <jpeglib.h>

namespace tavelio::bench {
namespace {

// The reader's RGB32 pictures hold each pixel as one 32-bit word 0xffRRGGBB.
constexpr J_COLOR_SPACE kRgb32Space =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRA : JCS_EXT_ARGB;

double DecodeOnceMs(const std::vector<std::uint8_t>& jpeg) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    // The pictures are the demo book's own; libjpeg's default error handling (a message and the
    // end of the program) is the clear failure this tool needs.
    info.err = jpeg_std_error(&errors);
    const long long start = MonotonicNs();
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = kRgb32Space;
    jpeg_start_decompress(&info);
    QImage image(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB32);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return static_cast<double>(MonotonicNs() - start) / 1e6;
}

} // namespace

std::vector<std::uint8_t> PagePictureBytes(const std::string& archivePath, const QVDBType& record) {
    std::ifstream archive(archivePath, std::ios::binary);
    archive.seekg(record.PicOffset);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max(0, record.PicSize)));
    archive.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!archive) {
        throw BenchError("cannot read the picture of page " + std::to_string(record.PageNo) +
                         " from " + archivePath);
    }
    std::transform(bytes.begin(), bytes.end(), bytes.begin(), DecodeByte);
    return bytes;
}

bool IsJpegType(const std::string& picType) {
    std::string lower = picType;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == "jpg" || lower == "jpeg";
}

double BareJpegDecodeMs(const std::vector<std::uint8_t>& jpeg, int repeats) {
    DecodeOnceMs(jpeg);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        times.push_back(DecodeOnceMs(jpeg));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace tavelio::bench
