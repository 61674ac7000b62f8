// tavelio-bench: measures the whole reader beside the least a program needs for the same task,
// in the same run, and holds the figures against the reader's budgets: its start, every page
// turn, its peak memory through the demo book, its wake-ups when idle and the cost of a playing
// clip. The programs run under the probe (bench_probe.cpp) on Qt's offscreen platform. Prints a
// summary and, as its last line, one JSON object.
#include "bench/bench_run.h"
#include "bench/book_plan.h"
#include "bench/child_process.h"
#include "bench/report.h"
#include "content/data_file_names.h"
#include "version/version.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

using namespace tavelio::bench;

namespace {

constexpr const char* kUsage =
    "usage: tavelio-bench [--runs N] [--dwell-ms MS] [--window-ms MS] [--data DIR] [--trace]\n"
    "       tavelio-bench --help | --version\n"
    "Runs the reader through the demo book N times (default 3), each time beside a bare Qt\n"
    "window, and prints its start, page turns, peak memory, idle wake-ups and clip cost with\n"
    "their budgets; the last line is one JSON object. A run takes about a minute.\n"
    "  --runs N        runs, each figure the median of them with its minimum and maximum\n"
    "  --dwell-ms MS   longest stay on a page before the next key (default 3000)\n"
    "  --window-ms MS  how long the idle reader, a playing clip and the bare player are\n"
    "                  watched (default 3000)\n"
    "  --data DIR      the book's folder (default: the demo book of this build)\n"
    "  --trace         copy what the probe sees in the programs to the standard error\n";

struct Options {
    int runs = 3;
    int dwellMs = 3000;
    int windowMs = 3000;
    std::string data = TAVELIO_BENCH_DEMO_DIR;
    bool trace = false;
};

int PositiveNumber(std::string_view option, const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 1 || value > 1'000'000) {
        throw BenchError(std::string(option) + " needs a positive number, not '" + text + "'");
    }
    return static_cast<int>(value);
}

// The options, or nothing when the program has already answered (--help, --version).
std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return std::nullopt;
        }
        if (argument == "--version") {
            std::cout << "tavelio-bench " << tavelio::kVersion << '\n';
            return std::nullopt;
        }
        if (argument == "--trace") {
            options.trace = true;
            continue;
        }
        if (i + 1 >= argc) {
            throw BenchError("unexpected argument '" + std::string(argument) + "'");
        }
        const char* value = argv[++i];
        if (argument == "--runs") {
            options.runs = PositiveNumber(argument, value);
        } else if (argument == "--dwell-ms") {
            options.dwellMs = PositiveNumber(argument, value);
        } else if (argument == "--window-ms") {
            options.windowMs = PositiveNumber(argument, value);
        } else if (argument == "--data") {
            options.data = value;
        } else {
            throw BenchError("unexpected argument '" + std::string(argument) + "'");
        }
    }
    return options;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one;
    std::string five;
    std::string fifteen;
    in >> one >> five >> fifteen;
    return one + ' ' + five + ' ' + fifteen;
}

int Run(const Options& options) {
    // The reader reads no registry here: every run has the settings of a plain installation.
    setenv("TAVELIO_HKLM", "/nonexistent/tavelio-bench.reg", 1);
    // The keys enter through the window system's interface and the windows are activated as a
    // window manager would; Qt's offscreen platform does both without a display. (On a bare X
    // server without a window manager, Qt's windows take no activation, so keys would go nowhere.)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const BenchSetup setup{
        TAVELIO_BENCH_READER,
        TAVELIO_BENCH_BARE_WINDOW,
        TAVELIO_BENCH_BARE_PLAYER,
        TAVELIO_BENCH_PROBE,
        options.data,
        tavelio::NarrationFileName(1, false), // as the reader plays the demo book
        std::chrono::milliseconds(options.dwellMs),
        std::chrono::milliseconds(options.windowMs),
        options.trace};
    const BookPlan plan = PlanBook(options.data);
    const std::string loadBefore = LoadAverage();
    std::vector<RunFigures> runs;
    for (int run = 1; run <= options.runs; ++run) {
        std::cerr << "tavelio-bench: run " << run << " of " << options.runs << '\n';
        runs.push_back(RunOnce(setup, plan));
    }
    const nlohmann::ordered_json machine = {{"runs", options.runs},
                                            {"platform", std::getenv("QT_QPA_PLATFORM")},
                                            {"load_before", loadBefore},
                                            {"load_after", LoadAverage()}};
    const nlohmann::ordered_json report = Report(runs, machine);
    std::cout << Summary(report) << report.dump() << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::optional<Options> options = ParseOptions(argc, argv);
        return options ? Run(*options) : 0;
    } catch (const std::exception& error) {
        std::cerr << "tavelio-bench: " << error.what() << '\n';
        return 1;
    }
}
