#pragma once
// Single-instance rule: a per-user lock file held with flock(). The kernel drops the lock
// when the process ends in any way, so a crashed copy never blocks the next start.
#include <filesystem>
#include <string>

namespace qv {

class InstanceLock {
public:
    // `name` is the program's name ("Quorvane"); the file lives in $XDG_RUNTIME_DIR, else
    // in the user's cache folder.
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool acquired() const { return fd_ >= 0; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

} // namespace qv
