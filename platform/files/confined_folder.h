#pragma once
// The one way into a project folder for the files a stranger's project and its user code
// name (drive folders, record and plain files, saved variables, voice caches and libraries,
// pictures and sounds). A path is resolved below the folder without following a symbolic
// link in any part below it (openat2 with RESOLVE_BENEATH|RESOLVE_NO_SYMLINKS where the
// kernel has it, else openat with O_NOFOLLOW part by part); only regular files are opened,
// non-blocking and checked with fstat, so a link, pipe, device or socket placed in the
// folder neither leads outside nor blocks. Each such refusal is one line for the output bar.
// The project's own documents are not written through here: a link there is the user's.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace qv {

// A descriptor closed by its owner.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Why a file could not be had. The kinds from `link` on are refusals and are reported.
enum class FileFault { none, missing, outside, failed, folder, link, pipe, device, socket };

// Receives each refusal as one GBK line (without line end) naming the file; process-wide,
// installed by whoever shows the lines (null: refusals are not shown). Each line is reported
// once until the lines are forgotten, and at most kMaxRefusalLines of them: code looping on a
// planted link must not flood the output bar.
using RefusalReporter = std::function<void(const std::string& gbkLine)>;
inline constexpr std::size_t kMaxRefusalLines = 64;
// Installs `reporter` (the lines reported so far are forgotten); returns the token that
// clearRefusalReporter takes.
std::uint64_t setRefusalReporter(RefusalReporter reporter);
// Removes the reporter installed with `token`; one installed since by someone else stays.
void clearRefusalReporter(std::uint64_t token);
// Forgets which lines were reported (a new run reports its refusals again).
void forgetReportedRefusals();

// The line reported for refusing `shown` (a path below the folder, UTF-8) for `fault`.
std::string refusalLine(const std::filesystem::path& shown, FileFault fault);

// A new version of a file written beside it under a temporary name ("<name>.tmp<pid>.XXXXXX",
// made O_CREAT|O_EXCL|O_NOFOLLOW) and renamed over it by commit(); dropped uncommitted, the
// temporary file is removed and the old file stays as it was.
class Replacement {
public:
    Replacement(UniqueFd folder, std::string leaf, std::string temp, UniqueFd fd, std::filesystem::path tempPath);
    ~Replacement();
    Replacement(Replacement&&) noexcept = default;
    Replacement& operator=(Replacement&&) = delete;
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    int fd() const { return fd_.get(); }
    const std::filesystem::path& tempPath() const { return tempPath_; }
    // Closes the file (synced first when `flush`) and renames it over the old one.
    bool commit(bool flush = true);

private:
    UniqueFd folder_;
    std::string leaf_, temp_;
    UniqueFd fd_;
    std::filesystem::path tempPath_;
    bool done_ = false;
};

class ConfinedFolder {
public:
    explicit ConfinedFolder(std::filesystem::path root) : root_(std::move(root)) {}
    const std::filesystem::path& root() const { return root_; }

    // Opens the regular file at `file` (a path below the root, absolute or relative to it)
    // with `access` O_RDONLY or O_RDWR; an empty descriptor and `fault` set otherwise.
    UniqueFd openFile(const std::filesystem::path& file, int access, FileFault* fault = nullptr) const;
    // Creates `file` anew (O_CREAT|O_EXCL|O_NOFOLLOW, read-write), making its missing folders
    // first; fails when anything already has its name.
    UniqueFd createFile(const std::filesystem::path& file, mode_t mode = 0666, FileFault* fault = nullptr) const;
    // Opens the folder `folder` for listing (O_RDONLY|O_DIRECTORY), making it and the folders
    // above it when `make`; the root itself when `folder` is the root.
    UniqueFd openFolder(const std::filesystem::path& folder, bool make, FileFault* fault = nullptr) const;

    // What is at `file`: none for a regular file, missing, or the fault of anything else
    // (a look only: nothing is reported).
    FileFault kindOf(const std::filesystem::path& file) const;

    // Reads the whole regular file; none, or the fault (`failed` also when it holds more
    // than `maxBytes`).
    FileFault readWhole(const std::filesystem::path& file, std::string& bytes, std::uint64_t maxBytes) const;
    // Starts replacing `file` (making its missing folders when `makeFolders`); nullopt when
    // a folder on the way is a link, something other than a regular file has the name
    // (refused) or the temporary file cannot be made. The old file's mode is kept; a new
    // one gets 0666 less the umask.
    std::optional<Replacement> beginReplace(const std::filesystem::path& file, bool makeFolders = true) const;
    // Replaces `file` by `bytes` through a temporary file beside it and a rename, making its
    // missing folders; a link, pipe or other non-file at the name is refused and left as it
    // is. `flush`: synced to the disk before the rename (a cache that can be made again
    // need not be).
    bool replaceWhole(const std::filesystem::path& file, std::string_view bytes, bool flush = true) const;

    // Removes the file (or a link itself, never what it leads to); never a folder. True when
    // nothing has the name afterwards.
    bool removeFile(const std::filesystem::path& file) const;
    // Removes every regular file at the top of `folder`; a folder that is or lies behind a
    // link is refused and nothing is removed. False when refused or it cannot be read; true
    // when emptied or missing.
    bool emptyFolder(const std::filesystem::path& folder) const;

private:
    struct Parent;
    Parent parentOf(const std::filesystem::path& file, bool make, FileFault* fault, bool quiet = false) const;
    void report(const std::filesystem::path& file, FileFault fault) const;

    std::filesystem::path root_;
};

// Whether folders are resolved with openat2 where the kernel has it (the default) or part
// by part; tests walk both ways.
void setBeneathResolution(bool useOpenat2);

// A path by which a library that opens files by name reaches the already-open `fd`.
std::filesystem::path descriptorPath(int fd);

} // namespace qv
