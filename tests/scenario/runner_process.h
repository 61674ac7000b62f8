// Runs the tavelio-scenario program as a child process in a given folder, as a user or a driving
// program would, and collects what it writes.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavelio::test {

struct RunnerResult {
    int status = -1;                // exit status; -1 when it did not exit normally
    std::vector<std::string> lines; // standard output, line by line
    std::string errors;             // standard error
};

// Runs tavelio-scenario with arguments in folder, standard input read from the file input (or
// /dev/null when empty); environment holds variables to set ("" unsets). Output and errors go
// through files in folder named .stdout and .stderr.
RunnerResult RunRunner(const std::vector<std::string>& arguments, const std::string& folder,
                       const std::string& input = "",
                       const std::map<std::string, std::string>& environment = {});

// A runner started with pipes on its standard input and output, for driving it line by line.
class PipedRunner {
public:
    PipedRunner(const std::vector<std::string>& arguments, const std::string& folder);
    ~PipedRunner();
    PipedRunner(const PipedRunner&) = delete;
    PipedRunner& operator=(const PipedRunner&) = delete;

    void Send(const std::string& text);
    // The next line of output, waiting for it at most timeoutMs; "" on timeout or end.
    std::string ReadLine(int timeoutMs = 20000);
    // Closes standard input and returns the exit status.
    int Finish();

private:
    int pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffered_;
};

} // namespace tavelio::test
