#include "platform/files/temp_file.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <algorithm>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr std::string_view kTempMarker = ".tmp";
constexpr std::size_t kRandomPartLength = 6;

// The umask without changing it (umask() itself is a write, racy between threads).
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    return 022;
}

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The pid of a temporary file's name, or 0 when the name is not one of ours.
long ownerPid(const std::string& name)
{
    if (name.size() < kRandomPartLength + 1)
        return 0;
    const std::size_t dot = name.size() - kRandomPartLength - 1;
    if (name[dot] != '.')
        return 0;
    for (std::size_t i = dot + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return 0;
    }
    const std::size_t marker = name.rfind(kTempMarker, dot);
    if (marker == std::string::npos || marker == 0)
        return 0;
    const std::string_view pid(name.data() + marker + kTempMarker.size(), dot - marker - kTempMarker.size());
    if (!allDigits(pid) || pid.size() > 9)
        return 0;
    return std::strtol(std::string(pid).c_str(), nullptr, 10);
}

bool processRuns(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

constexpr int kBelow = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Sweeps the open folder `fd` (taken over and closed), then its folders `depth` levels down.
void sweepFolder(int fd, const std::filesystem::path& shown, int depth, std::vector<std::filesystem::path>& removed)
{
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<std::string> folders;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (name == "." || name == ".." || ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            folders.push_back(name);
            continue;
        }
        // Files (or links our O_EXCL never made); unlinkat without AT_REMOVEDIR never takes a folder.
        const long pid = ownerPid(name);
        if (pid > 0 && !processRuns(pid) && ::unlinkat(fd, name.c_str(), 0) == 0)
            removed.push_back(shown / name);
    }
    if (depth > 0)
        for (const std::string& name : folders)
            sweepFolder(::openat(fd, name.c_str(), kBelow), shown / name, depth - 1, removed);
    ::closedir(dir);
}

} // namespace

std::filesystem::path resolveWriteTarget(const std::filesystem::path& path)
{
    std::filesystem::path p = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(p, ec)))
            return p;
        const std::filesystem::path link = std::filesystem::read_symlink(p, ec);
        if (ec)
            return p;
        p = link.is_absolute() ? link : p.parent_path() / link;
    }
    return p; // a loop: the rename replaces the last link, as a plain save would
}

int createTemporaryFor(const std::filesystem::path& target, std::filesystem::path& temp)
{
    std::string name = temporaryNameTemplate(target.string());
    const int fd = ::mkostemps(name.data(), 0, O_CLOEXEC);
    if (fd < 0)
        return -1;
    temp = name;
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? st.st_mode & 07777
                                                                                   : 0666 & ~currentUmask();
    if (::fchmod(fd, mode) != 0) {
        const int err = errno;
        ::close(fd);
        ::unlink(name.c_str());
        errno = err;
        return -1;
    }
    return fd;
}

std::string temporaryNameTemplate(const std::string& name)
{
    return name + std::string(kTempMarker) + std::to_string(::getpid()) + "." + std::string(kRandomPartLength, 'X');
}

void fillTemporaryName(std::string& name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    for (std::size_t i = name.size() - std::min(name.size(), kRandomPartLength); i < name.size(); ++i)
        name[i] = kLetters[random() % (sizeof kLetters - 1)];
}

bool isTemporaryFileName(const std::string& name) { return ownerPid(name) > 0; }

std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& folder, int depth)
{
    std::vector<std::filesystem::path> removed;
    sweepFolder(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), folder, depth, removed);
    return removed;
}

std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& parent, const std::string& name,
                                                          int depth)
{
    std::vector<std::filesystem::path> removed;
    const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return removed;
    sweepFolder(::openat(parentFd, name.c_str(), kBelow), parent / name, depth, removed);
    ::close(parentFd);
    return removed;
}

} // namespace qv
