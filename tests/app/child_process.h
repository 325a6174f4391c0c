#pragma once
// Starts a program in a folder of its own with extra environment variables, its stdout and
// stderr in a file, and waits for its exit or for a line it prints.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace qv::test {

class ChildProcess {
public:
    using Env = std::vector<std::pair<std::string, std::string>>;

    // Throws when the program cannot be started.
    ChildProcess(const std::filesystem::path& program, const std::filesystem::path& workDir, const Env& env,
                 const std::filesystem::path& outputFile);
    ~ChildProcess(); // kills a copy that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit status, 128 + n after signal n, or nullopt on timeout.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // True once the output holds `text`; false on timeout or when the program ended first.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    void kill(int signal);
    std::string output() const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    std::filesystem::path outputFile_;
};

} // namespace qv::test
