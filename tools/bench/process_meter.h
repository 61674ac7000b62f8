// What a running process does while the benchmark watches it, read from /proc: the processor
// time of its threads and how often they were woken up.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <sys/types.h>

namespace tavelio::bench {

struct Activity {
    double seconds = 0;    // the window watched
    double cpuPercent = 0; // processor time of all threads, in percent of one core
    double wakeups = 0;    // per second, all threads
    // Wake-ups per second by thread name, for the threads that had any.
    std::map<std::string, double> wakeupsByThread;
};

// Watches the process for `window`, asleep meanwhile. A wake-up is a thread going to sleep of its
// own accord (a voluntary context switch) and so, later, waking up: a timer, a poll that returned,
// a lock handed over. Threads that end within the window are not counted.
Activity WatchProcess(pid_t pid, std::chrono::milliseconds window);

} // namespace tavelio::bench
