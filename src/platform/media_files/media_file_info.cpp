#include "platform/media_files/media_file_info.h"

#include "base/posix_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace tavelio {
namespace {

std::uint32_t Le32(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

std::uint32_t Be32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// Reads up to size bytes at offset; returns what was read.
std::vector<unsigned char> ReadAt(PosixFile& file, std::uint64_t offset, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    file.SeekTo(static_cast<std::int64_t>(offset));
    bytes.resize(file.Read(bytes));
    return bytes;
}

struct Chunk {
    std::uint64_t dataOffset = 0;
    std::uint32_t size = 0;
};

// Finds the chunk with the given id among the chunks between begin and end of a RIFF file; with
// listType, the LIST chunk of that type (its data then starts after the type).
std::optional<Chunk> FindChunk(PosixFile& file, std::uint64_t begin, std::uint64_t end,
                               const char* id, const char* listType = nullptr) {
    std::uint64_t offset = begin;
    while (offset + 8 <= end) {
        const auto header = ReadAt(file, offset, 12);
        if (header.size() < 8) {
            return std::nullopt;
        }
        const std::uint32_t size = Le32(&header[4]);
        if (std::memcmp(header.data(), id, 4) == 0) {
            if (listType == nullptr) {
                return Chunk{offset + 8, size};
            }
            if (header.size() == 12 && std::memcmp(&header[8], listType, 4) == 0) {
                return Chunk{offset + 12, size >= 4 ? size - 4 : 0};
            }
        }
        offset += 8 + static_cast<std::uint64_t>(size) + (size & 1); // chunks are word-aligned
    }
    return std::nullopt;
}

void ReadWav(PosixFile& file, std::uint64_t fileSize, MediaFileInfo& info) {
    const auto format = FindChunk(file, 12, fileSize, "fmt ");
    const auto data = FindChunk(file, 12, fileSize, "data");
    if (!format || !data || format->size < 16) {
        return;
    }
    const auto fields = ReadAt(file, format->dataOffset, 16);
    const std::uint32_t byteRate = fields.size() == 16 ? Le32(&fields[8]) : 0;
    if (byteRate == 0) {
        return;
    }
    // A data size the writer never filled in, or a cut file, is taken as far as the file goes.
    const std::uint64_t available = fileSize - std::min(fileSize, data->dataOffset);
    const std::uint64_t dataSize = std::min<std::uint64_t>(data->size, available);
    info.kind = MediaFileKind::Wav;
    info.lengthMs = static_cast<std::int64_t>(dataSize * 1000 / byteRate);
}

void ReadAvi(PosixFile& file, std::uint64_t fileSize, MediaFileInfo& info) {
    const auto headers = FindChunk(file, 12, fileSize, "LIST", "hdrl");
    if (!headers) {
        return;
    }
    const auto main = FindChunk(file, headers->dataOffset,
                                std::min(fileSize, headers->dataOffset + headers->size), "avih");
    if (!main || main->size < 20) {
        return;
    }
    const auto fields = ReadAt(file, main->dataOffset, 20);
    if (fields.size() < 20) {
        return;
    }
    info.kind = MediaFileKind::Avi;
    const std::uint64_t microsPerFrame = Le32(&fields[0]);
    const std::uint64_t frames = Le32(&fields[16]);
    if (microsPerFrame != 0 && frames != 0) {
        info.lengthMs = static_cast<std::int64_t>(microsPerFrame * frames / 1000);
    }
}

// MP3 files up to this size without a frame count have their frames counted.
constexpr std::uint64_t kMaxCountedMp3Bytes = 64 << 20;

// A frame header's numbers, unsigned like the header bits and the file offsets they count.
struct MpegFrame {
    std::uint32_t bitrateKbps = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t samplesPerFrame = 0;
    std::uint32_t size = 0;
    std::uint32_t sideInfoSize = 0;
};

std::optional<MpegFrame> ParseMpegHeader(const unsigned char* h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) {
        return std::nullopt;
    }
    const unsigned version = (h[1] >> 3) & 3u; // 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
    const unsigned layer = 4 - ((h[1] >> 1) & 3u);
    const unsigned bitrateIndex = h[2] >> 4;
    const unsigned rateIndex = (h[2] >> 2) & 3u;
    if (version == 1 || layer == 4 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return std::nullopt; // reserved values, and free format, which no narration uses
    }
    static constexpr std::uint32_t kBitrates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG 1 layer 1
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG 1 layer 2
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG 1 layer 3
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG 2 layer 1
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG 2 layer 2, 3
    };
    static constexpr std::uint32_t kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const bool mono = (h[3] >> 6) == 3;
    const unsigned padding = (h[2] >> 1) & 1u;
    MpegFrame frame;
    frame.bitrateKbps = kBitrates[mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4)][bitrateIndex];
    frame.sampleRate = kRates[rateIndex] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));
    const std::uint32_t bitsPerSecond = frame.bitrateKbps * 1000;
    if (layer == 1) {
        frame.samplesPerFrame = 384;
        frame.size = (12 * bitsPerSecond / frame.sampleRate + padding) * 4;
    } else if (layer == 2 || mpeg1) {
        frame.samplesPerFrame = 1152;
        frame.size = 144 * bitsPerSecond / frame.sampleRate + padding;
    } else {
        frame.samplesPerFrame = 576;
        frame.size = 72 * bitsPerSecond / frame.sampleRate + padding;
    }
    frame.sideInfoSize = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return frame;
}

void ReadMp3(PosixFile& file, std::uint64_t fileSize, MediaFileInfo& info) {
    std::uint64_t start = 0;
    const auto tag = ReadAt(file, 0, 10);
    if (tag.size() == 10 && std::memcmp(tag.data(), "ID3", 3) == 0) {
        // A synchsafe number: seven bits in each of four bytes.
        std::uint64_t size = 0;
        for (std::size_t n = 6; n < 10; ++n) {
            size = (size << 7) | (tag[n] & 0x7Fu);
        }
        start = 10 + size + ((tag[5] & 0x10) ? 10 : 0);
    }
    const auto first = ReadAt(file, start, 4);
    const auto frame = first.size() == 4 ? ParseMpegHeader(first.data()) : std::nullopt;
    if (!frame) {
        return;
    }
    // One header could be chance; a second one right where the first frame ends is not.
    const auto second = ReadAt(file, start + frame->size, 4);
    if (second.size() < 4 || !ParseMpegHeader(second.data())) {
        return;
    }
    info.kind = MediaFileKind::Mp3;
    info.sampleRate = static_cast<int>(frame->sampleRate); // at most 48000

    const auto body = ReadAt(file, start + 4 + frame->sideInfoSize, 8 + 4 + 4 + 100 + 4 + 24);
    if (body.size() >= 8 &&
        (std::memcmp(body.data(), "Xing", 4) == 0 || std::memcmp(body.data(), "Info", 4) == 0)) {
        const std::uint32_t flags = Be32(&body[4]);
        std::size_t at = 8;
        std::optional<std::uint32_t> frames;
        if ((flags & 1) && at + 4 <= body.size()) {
            frames = Be32(&body[at]);
            at += 4;
        }
        at += (flags & 2) ? 4 : 0;
        at += (flags & 4) ? 100 : 0;
        at += (flags & 8) ? 4 : 0;
        // The LAME extension: 9 bytes of encoder name, then 12 bytes of settings, then the delay
        // and padding as two 12-bit numbers.
        // Present only where an encoder wrote its name; xingmux, for one, leaves zeros.
        if (at + 24 <= body.size() && std::all_of(&body[at], &body[at + 4], [](unsigned char c) {
                return std::isalnum(c);
            })) {
            const unsigned char* lame = &body[at];
            info.encoderName.assign(reinterpret_cast<const char*>(lame), 9);
            info.encoderName.erase(info.encoderName.find_last_not_of(std::string(" \0", 2)) + 1);
            info.encoderDelay = (lame[21] << 4) | (lame[22] >> 4);
            info.encoderPadding = ((lame[22] & 0x0F) << 8) | lame[23];
        }
        if (frames) {
            const std::int64_t samples =
                static_cast<std::int64_t>(*frames) * frame->samplesPerFrame -
                info.encoderDelay.value_or(0) - info.encoderPadding.value_or(0);
            info.lengthMs = std::max<std::int64_t>(samples, 0) * 1000 / frame->sampleRate;
            return;
        }
    }
    // Without a frame count, count the frames: a variable bit rate makes any estimate from the
    // size wrong. Files too large to read whole are estimated from the first frame's bit rate.
    std::uint64_t end = fileSize;
    const auto trailer =
        fileSize >= 128 ? ReadAt(file, fileSize - 128, 3) : std::vector<unsigned char>{};
    if (trailer.size() == 3 && std::memcmp(trailer.data(), "TAG", 3) == 0) {
        end -= 128;
    }
    const std::uint64_t audioBytes = end > start ? end - start : 0;
    if (audioBytes > kMaxCountedMp3Bytes) {
        info.lengthMs = static_cast<std::int64_t>(audioBytes * 8 / frame->bitrateKbps);
        return;
    }
    const auto audio = ReadAt(file, start, static_cast<std::size_t>(audioBytes));
    std::int64_t samples = 0;
    std::size_t at = 0;
    while (at + 4 <= audio.size()) {
        const auto next = ParseMpegHeader(&audio[at]);
        if (!next) {
            break; // trailing junk or damage: the frames so far are what plays
        }
        samples += next->samplesPerFrame;
        at += next->size;
    }
    info.lengthMs = samples * 1000 / frame->sampleRate;
}

} // namespace

std::optional<MediaFileInfo> ReadMediaFileInfo(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    int ignored = 0;
    std::optional<PosixFile> file = PosixFile::OpenReadOnlyIfPossible(path, ignored);
    if (!file) {
        return std::nullopt;
    }
    const std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
    MediaFileInfo info;
    const auto riff = ReadAt(*file, 0, 12);
    if (riff.size() == 12 && std::memcmp(riff.data(), "RIFF", 4) == 0) {
        if (std::memcmp(&riff[8], "WAVE", 4) == 0) {
            ReadWav(*file, fileSize, info);
        } else if (std::memcmp(&riff[8], "AVI ", 4) == 0) {
            ReadAvi(*file, fileSize, info);
        }
    } else {
        ReadMp3(*file, fileSize, info);
    }
    file->Close();
    return info;
}

} // namespace tavelio
