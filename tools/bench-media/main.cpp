// tavelio-bench-media: plays stretches of WAV and MP3 test signals through the GStreamer back end
// on the silent output and measures, from the samples that reached the output, how far each
// stretch's start and end lie from the asked positions; times a cold and a warm Open; and
// measures the processor time of playing a 315 x 226 Motion-JPEG clip at 15 frames per second
// into a display. Prints one line per stretch, a summary, and as its last line one JSON object.
// With --clip-only it measures the clip alone, in a few seconds.
//
// Its test signals and clip live in a scratch folder that is removed at the end, also when the
// run is interrupted (Ctrl+C, SIGTERM, SIGHUP): the signal only marks the run as interrupted and
// wakes the event loop, the measuring loops stop at their next turn, and the signal is raised again
// once the folder is gone.
#include "bench_signals.h"
#include "platform/media/gst_media_backend.h"
#include "platform/media/media_player.h"
#include "platform/media/video_display.h"
#include "platform/system/error_box_fakes.h"
#include "platform/system/event_dispatcher.h"
#include "platform/system/real_clock.h"
#include "stretch_error.h"
#include "version/version.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

using namespace tavelio;
using namespace tavelio::bench;

namespace {

constexpr int kRate = 44100;
constexpr int kSignalSeconds = 20;
constexpr int kStretches = 20;

constexpr const char* kUsage =
    "usage: tavelio-bench-media [--clip-only | --help | --version]\n"
    "Measures the GStreamer media playback for about half a minute: how far narration stretches\n"
    "start and end from the asked positions (WAV and MP3), how long opening a file takes, and the\n"
    "processor time of playing a clip. Prints one line per stretch, a summary and, as the last\n"
    "line, a JSON object. Needs no display and plays nothing aloud.\n"
    "  --clip-only  measure only the processor time of the clip, in a few seconds\n";

// The signal that interrupted the run, or 0.
volatile std::sig_atomic_t interruption = 0;
// Written to when a signal comes, so that an event loop asleep wakes up and sees it.
int interruptionPipe[2] = {-1, -1};

void MarkInterrupted(int signal) {
    const int savedErrno = errno; // of whatever the signal interrupted
    interruption = signal;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(interruptionPipe[1], &byte, 1);
    errno = savedErrno;
}

void CatchInterruptions() {
    if (pipe(interruptionPipe) != 0) {
        std::perror("tavelio-bench-media");
        std::exit(1);
    }
    struct sigaction action {};
    action.sa_handler = MarkInterrupted;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

// Everything the silent output plays, collected from GStreamer's thread.
class Recorder {
public:
    void Add(const AudioChunk& chunk) {
        std::lock_guard lock(mutex_);
        samples_.insert(samples_.end(), chunk.samples.begin(), chunk.samples.end());
    }
    std::vector<std::int16_t> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(samples_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::int16_t> samples_;
};

// Waits the way the program does, asleep in the event loop, until done() holds after some event,
// timeoutMs pass or the run is interrupted. A loop that polled would add its own wake-ups to the
// processor time measured.
bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(timeoutMs);
    const QSocketNotifier interrupted(interruptionPipe[0], QSocketNotifier::Read);
    while (!done()) {
        if (!deadline.isActive() || interruption != 0) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto spent = [](const timeval& time) {
        return std::chrono::seconds(time.tv_sec) + std::chrono::microseconds(time.tv_usec);
    };
    return std::chrono::duration<double>(spent(usage.ru_utime) + spent(usage.ru_stime)).count();
}

double ElapsedMs(const QElapsedTimer& timer) {
    return std::chrono::duration<double, std::milli>(std::chrono::nanoseconds(timer.nsecsElapsed()))
        .count();
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return NAN;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double Worst(const std::vector<double>& values) {
    double worst = 0;
    for (double value : values) {
        worst = std::max(worst, std::abs(value));
    }
    return worst;
}

struct Errors {
    std::vector<double> start;
    std::vector<double> end;
};

// Plays kStretches random stretches of the file in player and measures each.
bool MeasureFile(TMediaPlayer& player, int& notifications, Recorder& recorder, const char* label,
                 const std::string& path, const std::vector<std::int16_t>& signal,
                 std::uint32_t seed, Errors& errors) {
    player.SetFileName(path);
    player.Open();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> startAt(0, kSignalSeconds * 1000 - 1000);
    std::uniform_int_distribution<int> length(150, 600);
    for (int i = 1; i <= kStretches; ++i) {
        const int start = startAt(random);
        const int end = start + length(random);
        recorder.Take();
        const int before = notifications;
        player.SetStartPosition(start);
        player.SetEndPosition(end);
        QElapsedTimer wall;
        wall.start();
        player.Play();
        if (!RunUntil([&] { return notifications > before; }, 5000)) {
            if (interruption == 0) {
                std::printf("%s stretch %d: no notification\n", label, i);
            }
            return false;
        }
        const qint64 wallMs = wall.elapsed();
        const StretchError error = MeasureStretch(signal, kRate, recorder.Take(), start, end);
        if (!error.found) {
            std::printf("%s stretch %2d %6d-%6d ms: played sound not found in the signal\n", label,
                        i, start, end);
            return false;
        }
        errors.start.push_back(error.startMs);
        errors.end.push_back(error.endMs);
        std::printf("%-10s stretch %2d %6d-%6d ms  start %+7.3f ms  end %+7.3f ms  (played in %lld "
                    "ms)\n",
                    label, i, start, end, error.startMs, error.endMs,
                    static_cast<long long>(wallMs));
    }
    player.Close();
    return true;
}

struct ClipCost {
    int framesShown = 0;
    double wallSeconds = 0;
    double cpuPercent = 0; // processor time of all threads over wall time
};

// Plays a 315 x 226 Motion-JPEG clip at 15 frames per second into a shown display, as the viewer
// shows an animation, and measures what that costs the processor. Nothing when it fails or the
// run is interrupted.
std::optional<ClipCost> MeasureClip(GstMediaBackendFactory& backends, Clock& clock,
                                    EventDispatcher& dispatcher, const QTemporaryDir& folder) {
    const std::string path = folder.filePath(QStringLiteral("clip.avi")).toStdString();
    const std::string made =
        RunPipeline("videotestsrc num-buffers=60 pattern=ball ! video/x-raw,width=315,height=226,"
                    "framerate=15/1 ! jpegenc ! avimux ! filesink location=" +
                    path);
    if (!made.empty()) {
        std::printf("cannot make the clip: %s\n", made.c_str());
        return std::nullopt;
    }
    QWidget form;
    form.resize(656, 530);
    auto* display = new VideoDisplay(&form, "AniShow");
    display->setGeometry(225, 25, 315, 226);
    form.show();
    TMediaPlayer player(&form, "AniPlay", backends, clock, dispatcher);
    int notifications = 0;
    player.SetOnNotify([&] { ++notifications; });
    player.SetDisplay(display);
    player.SetFileName(path);
    player.Open();
    ClipCost cost;
    const double cpuBefore = CpuSeconds();
    QElapsedTimer timer;
    timer.start();
    player.Play();
    if (!RunUntil([&] { return notifications > 0; }, 10000)) {
        if (interruption == 0) {
            std::printf("the clip did not end\n");
        }
        return std::nullopt;
    }
    cost.wallSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    cost.cpuPercent = (CpuSeconds() - cpuBefore) / cost.wallSeconds * 100;
    cost.framesShown = display->FrameCount();
    return cost;
}

void PrintClipCost(const ClipCost& cost) {
    std::printf("Clip: %d frames shown in %.2f s, processor %.1f %% of one core\n",
                cost.framesShown, cost.wallSeconds, cost.cpuPercent);
}

double Rounded(double value) {
    return std::round(value * 1000) / 1000;
}

} // namespace

// The whole measurement; returns the exit status. Its scratch folder is gone when it returns.
int RunBenchmark(int argc, char** argv, bool clipOnly) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QTemporaryDir folder;
    auto path = [&](const char* name) {
        return folder.filePath(QString::fromUtf8(name)).toStdString();
    };

    Recorder recorder;
    QElapsedTimer timer;
    timer.start();
    GstMediaOptions options;
    options.audioOutput = GstMediaOptions::AudioOutput::Silent;
    options.audioTap = [&recorder](const AudioChunk& chunk) { recorder.Add(chunk); };
    GstMediaBackendFactory backends(options);
    backends.Prepare();
    const double initMs = ElapsedMs(timer);

    RealClock clock;
    RecordingErrorBox box;
    EventDispatcher dispatcher(box);
    if (clipOnly) {
        const std::optional<ClipCost> clip = MeasureClip(backends, clock, dispatcher, folder);
        if (!clip) {
            return 1;
        }
        PrintClipCost(*clip);
        std::printf("%s\n",
                    nlohmann::json{{"clip_cpu_percent", Rounded(clip->cpuPercent)}}.dump().c_str());
        return 0;
    }

    QWidget form;
    int notifications = 0;
    TMediaPlayer player(&form, "TextSpeachPlay", backends, clock, dispatcher);
    player.SetOnNotify([&] { ++notifications; });

    const std::vector<std::int16_t> signal = MakeNoiseSignal(kRate, kSignalSeconds, 20240611);
    WriteWav(path("signal.wav"), kRate, signal);

    // The first Open of the process loads playbin and the plugins for WAV; later ones find them
    // loaded.
    player.SetFileName(path("signal.wav"));
    timer.restart();
    player.Open();
    const double openColdMs = ElapsedMs(timer);
    std::vector<double> warm;
    for (int i = 0; i < 5; ++i) {
        timer.restart();
        player.Open();
        warm.push_back(ElapsedMs(timer));
    }
    const double openWarmMs = Median(warm);
    player.Close();

    // Two kinds of MP3: one from the lame program, with a LAME tag that records the encoder
    // delay, and one from GStreamer's encoder with a Xing frame but no LAME tag.
    const bool haveLameFile = EncodeWithLameProgram(path("signal.wav"), path("lame.mp3"));
    const std::string encoded = RunPipeline(
        "filesrc location=" + path("signal.wav") +
        " ! wavparse ! audioconvert ! lamemp3enc target=bitrate bitrate=128 cbr=true ! xingmux ! "
        "filesink "
        "location=" +
        path("plain.mp3"));
    if (!encoded.empty()) {
        std::printf("cannot make the MP3 signal: %s\n", encoded.c_str());
        return 1;
    }

    Errors wav;
    Errors mp3;
    bool ok =
        MeasureFile(player, notifications, recorder, "wav", path("signal.wav"), signal, 1, wav);
    if (haveLameFile) {
        ok = ok && MeasureFile(player, notifications, recorder, "mp3-lame", path("lame.mp3"),
                               signal, 2, mp3);
    } else {
        std::printf("the lame program is not there: MP3 with a LAME header not measured\n");
    }
    ok = ok && MeasureFile(player, notifications, recorder, "mp3-plain", path("plain.mp3"), signal,
                           3, mp3);
    if (!ok) {
        return 1;
    }

    const std::optional<ClipCost> clip = MeasureClip(backends, clock, dispatcher, folder);
    if (!clip) {
        return 1;
    }

    std::printf("\nGStreamer start-up (registry)  %8.1f ms\n", initMs);
    std::printf("Open, cold                     %8.1f ms\n", openColdMs);
    std::printf("Open, warm (median of 5)       %8.1f ms\n", openWarmMs);
    std::printf("WAV start error: worst |%.3f| ms, signed median %+.3f ms\n", Worst(wav.start),
                Median(wav.start));
    std::printf("WAV end error:   worst |%.3f| ms, signed median %+.3f ms\n", Worst(wav.end),
                Median(wav.end));
    std::printf("MP3 start error: worst |%.3f| ms, signed median %+.3f ms\n", Worst(mp3.start),
                Median(mp3.start));
    std::printf("MP3 end error:   worst |%.3f| ms, signed median %+.3f ms\n", Worst(mp3.end),
                Median(mp3.end));
    PrintClipCost(*clip);

    // The summary gives magnitudes: worst and median of the errors without their sign.
    std::vector<double> absWavEnd;
    std::vector<double> absMp3End;
    for (double value : wav.end) {
        absWavEnd.push_back(std::abs(value));
    }
    for (double value : mp3.end) {
        absMp3End.push_back(std::abs(value));
    }
    const nlohmann::ordered_json summary = {
        {"wav_start_ms_worst", Rounded(Worst(wav.start))},
        {"wav_end_ms_worst", Rounded(Worst(wav.end))},
        {"mp3_start_ms_worst", Rounded(Worst(mp3.start))},
        {"mp3_end_ms_worst", Rounded(Worst(mp3.end))},
        {"wav_end_ms_median", Rounded(Median(absWavEnd))},
        {"mp3_end_ms_median", Rounded(Median(absMp3End))},
        {"open_cold_ms", Rounded(openColdMs)},
        {"open_warm_ms", Rounded(openWarmMs)},
        {"clip_cpu_percent", Rounded(clip->cpuPercent)},
    };
    std::printf("%s\n", summary.dump().c_str());
    return 0;
}

int main(int argc, char** argv) {
    bool clipOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--clip-only") == 0) {
            clipOnly = true;
            continue;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("%s", kUsage);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tavelio-bench-media %s\n", tavelio::kVersion);
            return 0;
        }
        std::fprintf(stderr, "tavelio-bench-media: unexpected argument '%s'\n\n%s", argv[i],
                     kUsage);
        return 2;
    }
    CatchInterruptions();
    const int status = RunBenchmark(argc, argv, clipOnly);
    if (interruption != 0) {
        std::fprintf(stderr, "tavelio-bench-media: interrupted; scratch folder removed\n");
        std::signal(interruption, SIG_DFL);
        std::raise(interruption);
    }
    return status;
}
