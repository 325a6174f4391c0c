#include "platform/files/confined_folder.h"

#include "platform/files/atomic_file.h"
#include "platform/files/temp_file.h"
#include "platform/text/gbk.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace qv {

namespace fs = std::filesystem;

void UniqueFd::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

namespace {

constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
constexpr int kFolderStep = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr int kTempTries = 100;

std::mutex g_reporterMutex;
RefusalReporter g_reporter;
std::uint64_t g_reporterToken = 0;
std::set<std::string> g_reported; // the lines reported since the last forget

// openat2 is tried until the kernel (or a sandbox) says it has none.
std::atomic<bool> g_noOpenat2{false};
std::atomic<bool> g_skipOpenat2{false};

FileFault faultOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return FileFault::none;
    if (S_ISDIR(mode))
        return FileFault::folder;
    if (S_ISLNK(mode))
        return FileFault::link;
    if (S_ISFIFO(mode))
        return FileFault::pipe;
    if (S_ISSOCK(mode))
        return FileFault::socket;
    return FileFault::device;
}

// What `name` in `dir` is, links not followed.
FileFault faultAt(int dir, const char* name)
{
    struct stat st {};
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? FileFault::missing : FileFault::failed;
    return faultOfMode(st.st_mode);
}

bool isRefusal(FileFault fault) { return fault >= FileFault::link; }

void setFault(FileFault* out, FileFault fault)
{
    if (out)
        *out = fault;
}

fs::path normalPath(const fs::path& p)
{
    fs::path n = p.lexically_normal();
    return n.has_filename() || !n.has_relative_path() ? n : n.parent_path(); // "a/b/" is "a/b"
}

// `file` as parts below `root`; nullopt when it names the root or lies elsewhere.
std::optional<fs::path> relativeBelow(const fs::path& root, const fs::path& file)
{
    const fs::path rel = file.is_absolute() ? normalPath(file).lexically_relative(normalPath(root)) : normalPath(file);
    if (rel.empty() || rel.is_absolute() || rel == ".")
        return std::nullopt;
    for (const fs::path& part : rel)
        if (part == "..")
            return std::nullopt;
    return rel;
}

#ifdef SYS_openat2
// The folder `rel` below `rootFd` in one call; nullopt when openat2 is not there.
std::optional<UniqueFd> openBeneath(int rootFd, const fs::path& rel, int& err)
{
    if (g_noOpenat2.load(std::memory_order_relaxed) || g_skipOpenat2.load(std::memory_order_relaxed))
        return std::nullopt;
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const long fd = ::syscall(SYS_openat2, rootFd, rel.c_str(), &how, sizeof how);
    if (fd >= 0)
        return UniqueFd(static_cast<int>(fd));
    err = errno;
    if (err == ENOSYS || err == EPERM) {
        g_noOpenat2.store(true, std::memory_order_relaxed);
        return std::nullopt;
    }
    return UniqueFd();
}
#endif

} // namespace

std::uint64_t setRefusalReporter(RefusalReporter reporter)
{
    std::lock_guard lock(g_reporterMutex);
    g_reporter = std::move(reporter);
    g_reported.clear();
    return ++g_reporterToken;
}

void clearRefusalReporter(std::uint64_t token)
{
    std::lock_guard lock(g_reporterMutex);
    if (token == g_reporterToken)
        g_reporter = nullptr;
}

void forgetReportedRefusals()
{
    std::lock_guard lock(g_reporterMutex);
    g_reported.clear();
}

std::string refusalLine(const fs::path& shown, FileFault fault)
{
    struct Reason {
        FileFault fault;
        const char* text;
    };
    static constexpr std::array kReasons{
        Reason{FileFault::link, "是符号链接"},
        Reason{FileFault::pipe, "是管道"},
        Reason{FileFault::device, "是设备文件"},
        Reason{FileFault::socket, "是套接字"},
    };
    const char* reason = "不是普通文件";
    for (const Reason& r : kReasons)
        if (r.fault == fault)
            reason = r.text;
    const std::string name = utf8ToGbk(shown.generic_string()).value_or(shown.generic_string());
    return std::string("拒绝访问工程文件夹中的 ") + name + "：" + reason;
}

void setBeneathResolution(bool useOpenat2) { g_skipOpenat2.store(!useOpenat2); }

fs::path descriptorPath(int fd) { return fs::path("/proc/self/fd") / std::to_string(fd); }

struct ConfinedFolder::Parent {
    UniqueFd dir;     // the folder holding the file (O_PATH)
    std::string leaf; // the file's name in it
    fs::path shown;   // the file below the root, for messages
};

void ConfinedFolder::report(const fs::path& shown, FileFault fault) const
{
    if (!isRefusal(fault))
        return;
    std::lock_guard lock(g_reporterMutex);
    if (!g_reporter || g_reported.size() >= kMaxRefusalLines)
        return;
    std::string line = refusalLine(shown, fault);
    if (g_reported.insert(line).second)
        g_reporter(line);
}

ConfinedFolder::Parent ConfinedFolder::parentOf(const fs::path& file, bool make, FileFault* fault, bool quiet) const
{
    Parent parent;
    const auto rel = relativeBelow(root_, file);
    if (!rel) {
        setFault(fault, FileFault::outside);
        return parent;
    }
    parent.shown = *rel;
    parent.leaf = rel->filename().string();
    // The project folder itself may be a link: the user chose where it lies.
    UniqueFd dir(::open(root_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir) {
        setFault(fault, errno == ENOENT ? FileFault::missing : FileFault::failed);
        return parent;
    }
    const fs::path folders = rel->parent_path();
    if (folders.empty()) {
        parent.dir = std::move(dir);
        setFault(fault, FileFault::none);
        return parent;
    }
#ifdef SYS_openat2
    if (!make) {
        int err = 0;
        if (auto beneath = openBeneath(dir.get(), folders, err)) {
            if (*beneath) {
                parent.dir = std::move(*beneath);
                setFault(fault, FileFault::none);
                return parent;
            }
            if (err == ENOENT) {
                setFault(fault, FileFault::missing);
                return parent;
            }
            // A link or a non-folder on the way: the walk below finds which, to name it.
        }
    }
#endif
    fs::path walked;
    for (const fs::path& part : folders) {
        walked /= part;
        UniqueFd next(::openat(dir.get(), part.c_str(), kFolderStep));
        if (!next && errno == ENOENT && make && (::mkdirat(dir.get(), part.c_str(), 0777) == 0 || errno == EEXIST))
            next.reset(::openat(dir.get(), part.c_str(), kFolderStep));
        if (!next) {
            FileFault why = faultAt(dir.get(), part.c_str());
            if (why == FileFault::none)
                why = FileFault::failed; // a file where a folder should be
            if (!quiet)
                report(walked, why);
            setFault(fault, why);
            return Parent{};
        }
        dir = std::move(next);
    }
    parent.dir = std::move(dir);
    setFault(fault, FileFault::none);
    return parent;
}

UniqueFd ConfinedFolder::openFile(const fs::path& file, int access, FileFault* fault) const
{
    Parent parent = parentOf(file, false, fault);
    if (!parent.dir)
        return {};
    // Looked at before opening, so a device or a pipe is never even opened.
    FileFault why = faultAt(parent.dir.get(), parent.leaf.c_str());
    UniqueFd fd;
    if (why == FileFault::none) {
        fd.reset(::openat(parent.dir.get(), parent.leaf.c_str(), access | kOpenFlags));
        struct stat st {};
        if (!fd)
            why = errno == ELOOP ? FileFault::link : errno == ENOENT ? FileFault::missing : FileFault::failed;
        else if (::fstat(fd.get(), &st) != 0 || (why = faultOfMode(st.st_mode)) != FileFault::none)
            fd.reset(); // swapped for something else between the look and the open
    }
    report(parent.shown, why);
    setFault(fault, why);
    return fd;
}

UniqueFd ConfinedFolder::createFile(const fs::path& file, mode_t mode, FileFault* fault) const
{
    Parent parent = parentOf(file, true, fault);
    if (!parent.dir)
        return {};
    FileFault why = FileFault::none;
    UniqueFd fd(::openat(parent.dir.get(), parent.leaf.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, mode));
    if (!fd) {
        why = errno == EEXIST ? faultAt(parent.dir.get(), parent.leaf.c_str()) : FileFault::failed;
        if (why == FileFault::none || why == FileFault::missing)
            why = FileFault::failed; // a plain file is there already, or it came and went
        report(parent.shown, why);
    }
    setFault(fault, why);
    return fd;
}

UniqueFd ConfinedFolder::openFolder(const fs::path& folder, bool make, FileFault* fault) const
{
    if (!relativeBelow(root_, folder) && normalPath(folder) == normalPath(root_)) {
        setFault(fault, FileFault::none);
        return UniqueFd(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    Parent parent = parentOf(folder, make, fault);
    if (!parent.dir)
        return {};
    FileFault why = FileFault::none;
    const char* leaf = parent.leaf.c_str();
    UniqueFd fd(::openat(parent.dir.get(), leaf, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd && errno == ENOENT && make && (::mkdirat(parent.dir.get(), leaf, 0777) == 0 || errno == EEXIST))
        fd.reset(::openat(parent.dir.get(), leaf, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        why = faultAt(parent.dir.get(), leaf);
        if (why == FileFault::none || why == FileFault::folder)
            why = FileFault::failed;
        report(parent.shown, why);
    }
    setFault(fault, why);
    return fd;
}

FileFault ConfinedFolder::kindOf(const fs::path& file) const
{
    FileFault why = FileFault::none;
    Parent parent = parentOf(file, false, &why, true);
    return parent.dir ? faultAt(parent.dir.get(), parent.leaf.c_str()) : why;
}

FileFault ConfinedFolder::readWhole(const fs::path& file, std::string& bytes, std::uint64_t maxBytes) const
{
    FileFault why = FileFault::none;
    const UniqueFd fd = openFile(file, O_RDONLY, &why);
    if (!fd)
        return why;
    return readWholeDescriptor(fd.get(), file, bytes, nullptr, maxBytes) ? FileFault::none : FileFault::failed;
}

Replacement::Replacement(UniqueFd folder, std::string leaf, std::string temp, UniqueFd fd, fs::path tempPath)
    : folder_(std::move(folder)), leaf_(std::move(leaf)), temp_(std::move(temp)), fd_(std::move(fd)), tempPath_(std::move(tempPath))
{
}

Replacement::~Replacement()
{
    if (!done_ && folder_)
        ::unlinkat(folder_.get(), temp_.c_str(), 0);
}

bool Replacement::commit(bool flush)
{
    if (done_ || !fd_)
        return false;
    const bool closed = (!flush || ::fsync(fd_.get()) == 0) && ::close(fd_.release()) == 0;
    fd_.reset();
    if (!closed || ::renameat(folder_.get(), temp_.c_str(), folder_.get(), leaf_.c_str()) != 0)
        return false;
    done_ = true;
    return true;
}

std::optional<Replacement> ConfinedFolder::beginReplace(const fs::path& file, bool makeFolders) const
{
    Parent parent = parentOf(file, makeFolders, nullptr);
    if (!parent.dir)
        return std::nullopt;
    const int dir = parent.dir.get();
    struct stat st {};
    const bool replaces = ::fstatat(dir, parent.leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (replaces && faultOfMode(st.st_mode) != FileFault::none) {
        report(parent.shown, faultOfMode(st.st_mode));
        return std::nullopt;
    }
    // Named as every temporary file is, so the sweep at project open knows a left-over one.
    std::string temp = temporaryNameTemplate(parent.leaf);
    UniqueFd fd;
    for (int attempt = 0; attempt < kTempTries && !fd; ++attempt) {
        fillTemporaryName(temp);
        fd.reset(::openat(dir, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | kOpenFlags, 0666));
        if (!fd && errno != EEXIST)
            return std::nullopt;
    }
    if (!fd || (replaces && ::fchmod(fd.get(), st.st_mode & 07777) != 0)) {
        ::unlinkat(dir, temp.c_str(), 0);
        return std::nullopt;
    }
    const fs::path tempPath = file.parent_path() / temp;
    return Replacement(std::move(parent.dir), std::move(parent.leaf), std::move(temp), std::move(fd), tempPath);
}

bool ConfinedFolder::replaceWhole(const fs::path& file, std::string_view bytes, bool flush) const
{
    std::optional<Replacement> replacement = beginReplace(file);
    return replacement && writeAll(replacement->fd(), bytes) && replacement->commit(flush);
}

bool ConfinedFolder::removeFile(const fs::path& file) const
{
    FileFault why = FileFault::none;
    Parent parent = parentOf(file, false, &why);
    if (!parent.dir)
        return why == FileFault::missing;
    why = faultAt(parent.dir.get(), parent.leaf.c_str());
    if (why == FileFault::missing)
        return true;
    if (why == FileFault::folder || why == FileFault::failed)
        return false;
    return ::unlinkat(parent.dir.get(), parent.leaf.c_str(), 0) == 0 || errno == ENOENT;
}

bool ConfinedFolder::emptyFolder(const fs::path& folder) const
{
    FileFault why = FileFault::none;
    const UniqueFd fd = openFolder(folder, false, &why);
    if (!fd)
        return why == FileFault::missing;
    UniqueFd listing(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
    DIR* dir = listing ? ::fdopendir(listing.get()) : nullptr;
    if (!dir)
        return false;
    listing.release(); // the listing owns it now
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        names.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : names)
        if (faultAt(fd.get(), name.c_str()) == FileFault::none)
            ::unlinkat(fd.get(), name.c_str(), 0);
    return true;
}

} // namespace qv
