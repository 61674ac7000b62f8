#include "bench_signals.h"

#include <QProcess>
#include <cmath>
#include <fstream>
#include <gst/gst.h>
#include <random>

namespace tavelio::bench {

std::vector<std::int16_t> MakeNoiseSignal(std::uint32_t rate, std::uint32_t seconds,
                                          std::uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> white(0.0, 1.0);
    // Two cascaded one-pole low-passes at 4 kHz.
    const double a = std::exp(-2 * M_PI * 4000.0 / rate);
    double stage1 = 0;
    double stage2 = 0;
    std::vector<double> filtered(std::size_t{rate} * seconds);
    double peak = 1e-9;
    for (double& value : filtered) {
        stage1 = (1 - a) * white(random) + a * stage1;
        stage2 = (1 - a) * stage1 + a * stage2;
        value = stage2;
        peak = std::max(peak, std::abs(value));
    }
    std::vector<std::int16_t> samples(filtered.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(std::lround(filtered[i] / peak * 16000));
    }
    return samples;
}

void WriteWav(const std::string& path, std::uint32_t rate,
              const std::vector<std::int16_t>& samples) {
    auto put = [](std::ofstream& out, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    std::ofstream out(path, std::ios::binary);
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    out << "RIFF";
    put(out, 36 + dataSize, 4);
    out << "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);
    put(out, 1, 2);
    put(out, rate, 4);
    put(out, rate * 2, 4);
    put(out, 2, 2);
    put(out, 16, 2);
    out << "data";
    put(out, dataSize, 4);
    out.write(reinterpret_cast<const char*>(samples.data()), dataSize);
}

std::string RunPipeline(const std::string& description) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (pipeline == nullptr) {
        std::string text = error != nullptr ? error->message : "cannot build the pipeline";
        g_clear_error(&error);
        return text;
    }
    g_clear_error(&error); // a pipeline with a recoverable warning
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    std::string text;
    if (message == nullptr) {
        text = "timed out";
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        gst_message_parse_error(message, &error, nullptr);
        text = error->message;
        g_clear_error(&error);
    }
    if (message != nullptr) {
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return text;
}

bool EncodeWithLameProgram(const std::string& wavPath, const std::string& mp3Path) {
    QProcess lame;
    lame.start(QStringLiteral("lame"),
               {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
                QString::fromStdString(wavPath), QString::fromStdString(mp3Path)});
    return lame.waitForFinished(60000) && lame.exitStatus() == QProcess::NormalExit &&
           lame.exitCode() == 0;
}

} // namespace tavelio::bench
