#include "tests/app/child_process.h"

#include "platform/files/atomic_file.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qv::test {

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::filesystem::path& workDir,
                           const Env& env, const std::filesystem::path& outputFile)
    : outputFile_(outputFile)
{
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        const auto eq = entry.find('=');
        if (eq != std::string::npos)
            vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : env)
        vars[name] = value;
    std::vector<std::string> entries;
    for (const auto& [name, value] : vars)
        entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : entries)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    const int rc = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error(std::string("cannot start ") + path + ": " + std::strerror(rc));
}

ChildProcess::~ChildProcess()
{
    if (!status_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int st = 0;
        ::waitpid(pid_, &st, 0);
    }
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int st = 0;
        const pid_t r = ::waitpid(pid_, &st, WNOHANG);
        if (r == pid_) {
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            break;
        }
        if (r < 0 && errno != EINTR)
            throw std::runtime_error("waitpid failed");
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

bool ChildProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (output().find(text) != std::string::npos)
            return true;
        if (waitForExit(std::chrono::milliseconds(0)))
            return output().find(text) != std::string::npos;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void ChildProcess::kill(int signal)
{
    if (!status_)
        ::kill(pid_, signal);
}

std::string ChildProcess::output() const
{
    std::string text;
    readWholeFile(outputFile_, text);
    return text;
}

} // namespace qv::test
