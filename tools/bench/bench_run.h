// One run of the benchmark: the bare programs and the reader, one after the other, so that each
// ratio compares figures taken under the same load.
#pragma once

#include "bench/book_plan.h"
#include "bench/process_meter.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace tavelio::bench {

struct BenchSetup {
    std::string readerProgram;
    std::string bareWindow; // maps one empty window
    std::string barePlayer; // maps one empty window and plays the narration file
    std::string probeLibrary;
    std::string dataDirectory;
    std::string narrationFile;          // in dataDirectory, played by the bare player
    std::chrono::milliseconds dwellCap; // longest stay on an ordinary page
    std::chrono::milliseconds window;   // how long the idle reader, a clip and the bare
                                        // program's playing are watched
    bool trace = false;                 // every stamp of the programs to the standard error
};

struct PageTurn {
    int pageNo = 0;
    std::string key;
    double turnMs = 0;       // key press to the page painted
    double bareDecodeMs = 0; // 0 for a picture that is not a JPEG
};

struct RunFigures {
    double bareFirstFrameMs = 0;
    double splashFirstFrameMs = 0;
    double startUpDoneMs = 0;
    std::vector<PageTurn> turns;
    long barePeakKiB = 0;
    long readerPeakKiB = 0;
    Activity idle;
    Activity clip;
};

// Runs the bare window, the reader through the whole book, and the bare window playing the
// narration; raises BenchError when a program does not do what is waited for.
RunFigures RunOnce(const BenchSetup& setup, const BookPlan& plan);

} // namespace tavelio::bench
