#include "runner_process.h"

#include "support/scratch_dir.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace tavelio::test {
namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& arguments) {
    static std::string program = TAVELIO_SCENARIO_COMMAND;
    std::vector<char*> argv{program.data()};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

// In the child: the runner is headless whatever the test's environment says.
[[noreturn]] void Exec(const std::vector<std::string>& arguments, const std::string& folder,
                       const std::map<std::string, std::string>& environment) {
    if (::chdir(folder.c_str()) != 0) {
        ::_exit(127);
    }
    for (const auto& [name, value] : environment) {
        if (value.empty()) {
            ::unsetenv(name.c_str());
        } else {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    std::vector<char*> argv = ArgumentVector(arguments);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

int ExitStatus(int pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

RunnerResult RunRunner(const std::vector<std::string>& arguments, const std::string& folder,
                       const std::string& input,
                       const std::map<std::string, std::string>& environment) {
    const std::string outPath = folder + "/.stdout";
    const std::string errPath = folder + "/.stderr";
    const int pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        const int in = ::open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0) {
            ::_exit(127);
        }
        Exec(arguments, folder, environment);
    }
    RunnerResult result;
    result.status = ExitStatus(pid);
    std::istringstream out(ReadFile(outPath));
    for (std::string line; std::getline(out, line);) {
        result.lines.push_back(line);
    }
    result.errors = ReadFile(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

PipedRunner::PipedRunner(const std::vector<std::string>& arguments, const std::string& folder) {
    int input[2];
    int output[2];
    if (::pipe(input) != 0 || ::pipe(output) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        ::dup2(input[0], 0);
        ::dup2(output[1], 1);
        ::close(input[0]);
        ::close(input[1]);
        ::close(output[0]);
        ::close(output[1]);
        Exec(arguments, folder, {});
    }
    ::close(input[0]);
    ::close(output[1]);
    toChild_ = input[1];
    fromChild_ = output[0];
}

PipedRunner::~PipedRunner() {
    if (pid_ > 0) {
        Finish();
    }
}

void PipedRunner::Send(const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(toChild_, text.data() + written, text.size() - written);
        if (n <= 0) {
            throw std::runtime_error("the runner does not read its input");
        }
        written += static_cast<std::size_t>(n);
    }
}

std::string PipedRunner::ReadLine(int timeoutMs) {
    for (;;) {
        const std::size_t end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        pollfd ready{fromChild_, POLLIN, 0};
        if (::poll(&ready, 1, timeoutMs) <= 0) {
            return "";
        }
        char chunk[4096];
        const ssize_t n = ::read(fromChild_, chunk, sizeof chunk);
        if (n <= 0) {
            return "";
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

int PipedRunner::Finish() {
    if (toChild_ >= 0) {
        ::close(toChild_);
        toChild_ = -1;
    }
    const int status = ExitStatus(pid_);
    pid_ = -1;
    ::close(fromChild_);
    fromChild_ = -1;
    return status;
}

} // namespace tavelio::test
