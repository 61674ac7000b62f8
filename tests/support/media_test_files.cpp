#include "support/media_test_files.h"

#include <QProcess>
#include <QStringList>
#include <cmath>
#include <fstream>

namespace tavelio::testing_media {
namespace {

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void PutBe32(std::string& out, std::uint32_t value) {
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

void WriteWav(const std::string& path, std::uint32_t rate, std::uint32_t channels,
              const std::vector<std::int16_t>& samples) {
    const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLe(out, 36 + dataSize, 4);
    out += "WAVEfmt ";
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, channels, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    out += "data";
    PutLe(out, dataSize, 4);
    for (std::int16_t sample : samples) {
        PutLe(out, static_cast<std::uint16_t>(sample), 2);
    }
    WriteBytes(path, out);
}

void WriteToneWav(const std::string& path, std::uint32_t durationMs, std::uint32_t rate) {
    std::vector<std::int16_t> samples(std::size_t{rate} * durationMs / 1000);
    const double step = 2 * M_PI * 440 / rate;
    double phase = 0;
    for (std::int16_t& sample : samples) {
        sample = static_cast<std::int16_t>(2000 * std::sin(phase));
        phase += step;
    }
    WriteWav(path, rate, 1, samples);
}

void WriteAviHeaders(const std::string& path, std::uint32_t microsPerFrame, std::uint32_t frames) {
    std::string avih;
    PutLe(avih, microsPerFrame, 4);
    for (int i = 0; i < 3; ++i) {
        PutLe(avih, 0, 4);
    }
    PutLe(avih, frames, 4);
    for (int i = 0; i < 9; ++i) {
        PutLe(avih, 0, 4);
    }
    std::string list = "hdrlavih";
    PutLe(list, static_cast<std::uint32_t>(avih.size()), 4);
    list += avih;
    std::string out = "RIFF";
    PutLe(out, static_cast<std::uint32_t>(4 + 8 + list.size()), 4);
    out += "AVI LIST";
    PutLe(out, static_cast<std::uint32_t>(list.size()), 4);
    out += list;
    WriteBytes(path, out);
}

void WriteMp3Headers(const std::string& path, std::uint32_t xingFrames, int delay, int padding,
                     int frameCount, const std::string& encoder) {
    constexpr int kFrameSize = 417; // 144 * 128000 / 44100, no padding bit
    const std::string header = "\xFF\xFB\x90\x64";
    std::string out;
    if (xingFrames > 0) {
        std::string frame = header + std::string(32, '\0') + "Info";
        PutBe32(frame, 0x1 | 0x8); // frame count and quality
        PutBe32(frame, xingFrames);
        PutBe32(frame, 50);
        if (!encoder.empty()) {
            frame += (encoder + std::string(9, '\0')).substr(0, 9);
            frame += std::string(12, '\0');
            frame.push_back(static_cast<char>(delay >> 4));
            frame.push_back(static_cast<char>(((delay & 0xF) << 4) | (padding >> 8)));
            frame.push_back(static_cast<char>(padding & 0xFF));
        }
        frame.resize(kFrameSize, '\0');
        out += frame;
    }
    for (int i = 0; i < frameCount; ++i) {
        std::string frame = header;
        frame.resize(kFrameSize, '\0');
        out += frame;
    }
    WriteBytes(path, out);
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, text);
}

bool RunTool(const std::string& program, const std::string& arguments) {
    QProcess process;
    process.start(QString::fromStdString(program),
                  QProcess::splitCommand(QString::fromStdString(arguments)));
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool GstLaunch(const std::string& pipeline) {
    return RunTool("gst-launch-1.0", "-q " + pipeline);
}

} // namespace tavelio::testing_media
