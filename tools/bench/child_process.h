// One measured process: a program started under the probe (probe_protocol.h) in a given folder,
// with its output discarded, the stamps it writes and the commands it takes. The object owns the
// process: its destructor kills one still running and reaps it.
#pragma once

#include "bench/probe_protocol.h"

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavelio::bench {

// A failed measurement: the program did not do what the benchmark waited for.
class BenchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using probe::MonotonicNs;

struct Stamp {
    long long ns = 0;
    std::string word;
    std::string argument;
};

struct ChildSetup {
    std::vector<std::string> command; // program path and arguments
    std::string workDirectory;
    std::string probeLibrary;
    std::vector<std::string> environment; // "NAME=value", added to the benchmark's own
    bool trace = false;                   // copies every stamp to the standard error
};

class ChildProcess {
public:
    explicit ChildProcess(const ChildSetup& setup);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // The moment just before the process was forked to exec the program.
    long long StartNs() const { return startNs_; }

    // The next stamp with this word whose argument begins with `argument`, passing over others;
    // raises BenchError when none comes in time or the process ends.
    Stamp WaitFor(const std::string& word, const std::string& argument,
                  std::chrono::milliseconds timeout);
    // Reads and drops the stamps that come until `until` has passed (with 0, those already sent).
    void DrainFor(std::chrono::milliseconds until);
    void Send(const std::string& command);

    // Waits for the process to end (raising BenchError after timeout) and gives its peak
    // resident memory in KiB.
    long WaitForExit(std::chrono::milliseconds timeout);

private:
    std::optional<Stamp> NextStamp(long long deadlineNs);

    bool trace_;
    pid_t pid_ = -1;
    long long startNs_ = 0;
    int stampRead_ = -1;
    int commandWrite_ = -1;
    std::string pending_;
};

} // namespace tavelio::bench
