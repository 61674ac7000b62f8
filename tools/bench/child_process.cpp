#include "bench/child_process.h"

#include "bench/probe_protocol.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tavelio::bench {
namespace {

void Fail(const std::string& what) {
    throw BenchError(what + ": " + std::strerror(errno));
}

long long NsOf(std::chrono::milliseconds span) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(span).count();
}

} // namespace

ChildProcess::ChildProcess(const ChildSetup& setup) : trace_(setup.trace) {
    int stamps[2];
    int commands[2];
    if (pipe2(stamps, O_CLOEXEC) != 0 || pipe2(commands, O_CLOEXEC) != 0) {
        Fail("pipe");
    }
    // Everything the child needs is made before the fork: after it, only exec-safe calls.
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        environment.emplace_back(*variable);
    }
    environment.insert(environment.end(), setup.environment.begin(), setup.environment.end());
    environment.push_back("LD_PRELOAD=" + setup.probeLibrary);
    environment.push_back(std::string(probe::kStampFdVariable) + '=' + std::to_string(stamps[1]));
    environment.push_back(std::string(probe::kCommandFdVariable) + '=' +
                          std::to_string(commands[0]));
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> command = setup.command;
    std::vector<char*> argv;
    for (std::string& argument : command) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    startNs_ = MonotonicNs();
    pid_ = fork();
    if (pid_ < 0) {
        Fail("fork");
    }
    if (pid_ == 0) {
        // The probe's two ends stay open across exec; the program's output goes nowhere.
        fcntl(stamps[1], F_SETFD, 0);
        fcntl(commands[0], F_SETFD, 0);
        const int nowhere = open("/dev/null", O_RDWR);
        dup2(nowhere, STDIN_FILENO);
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        if (chdir(setup.workDirectory.c_str()) == 0) {
            execve(argv[0], argv.data(), envp.data());
        }
        _exit(127);
    }
    close(stamps[1]);
    close(commands[0]);
    stampRead_ = stamps[0];
    commandWrite_ = commands[1];
    signal(SIGPIPE, SIG_IGN); // a program that died is seen at the next wait, not as a signal
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    close(stampRead_);
    close(commandWrite_);
}

std::optional<Stamp> ChildProcess::NextStamp(long long deadlineNs) {
    for (;;) {
        if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            Stamp stamp;
            const std::size_t wordAt = line.find(' ');
            const std::size_t argumentAt = line.find(' ', wordAt + 1);
            stamp.ns = std::stoll(line.substr(0, wordAt));
            stamp.word = line.substr(wordAt + 1, argumentAt - wordAt - 1);
            stamp.argument = argumentAt == std::string::npos ? "" : line.substr(argumentAt + 1);
            if (trace_) {
                std::fprintf(stderr, "%s\n", line.c_str());
            }
            return stamp;
        }
        // Past the deadline, what the pipe already holds is still read.
        const long long left = std::max(0LL, deadlineNs - MonotonicNs());
        pollfd ready{stampRead_, POLLIN, 0};
        const int polled = poll(&ready, 1, static_cast<int>((left + 999'999) / 1'000'000));
        if (polled < 0 && errno != EINTR) {
            Fail("poll");
        }
        if (polled == 0 && left == 0) {
            return std::nullopt;
        }
        if (polled <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t got = read(stampRead_, buffer, sizeof buffer);
        if (got <= 0) {
            throw BenchError("the program ended while it was being measured");
        }
        pending_.append(buffer, static_cast<std::size_t>(got));
    }
}

Stamp ChildProcess::WaitFor(const std::string& word, const std::string& argument,
                            std::chrono::milliseconds timeout) {
    const long long deadline = MonotonicNs() + NsOf(timeout);
    while (const std::optional<Stamp> stamp = NextStamp(deadline)) {
        if (stamp->word == "error") {
            throw BenchError("the probe: " + stamp->argument);
        }
        if (stamp->word == word && stamp->argument.rfind(argument, 0) == 0) {
            return *stamp;
        }
    }
    throw BenchError("no \"" + word + ' ' + argument + "\" within " +
                     std::to_string(timeout.count()) + " ms");
}

void ChildProcess::DrainFor(std::chrono::milliseconds until) {
    const long long deadline = MonotonicNs() + NsOf(until);
    while (NextStamp(deadline)) {
    }
}

void ChildProcess::Send(const std::string& command) {
    const std::string line = command + '\n';
    if (write(commandWrite_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        Fail("sending \"" + command + "\" to the program");
    }
}

long ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const long long deadline = MonotonicNs() + NsOf(timeout);
    for (;;) {
        int status = 0;
        rusage usage{};
        const pid_t ended = wait4(pid_, &status, WNOHANG, &usage);
        if (ended == pid_) {
            pid_ = -1;
            return usage.ru_maxrss;
        }
        if (ended < 0) {
            Fail("wait");
        }
        if (MonotonicNs() > deadline) {
            throw BenchError("the program did not end within " + std::to_string(timeout.count()) +
                             " ms of closing its window");
        }
        // Ending takes a few tens of milliseconds; nothing is being measured meanwhile.
        const timespec pause{0, 10'000'000};
        nanosleep(&pause, nullptr);
    }
}

} // namespace tavelio::bench
