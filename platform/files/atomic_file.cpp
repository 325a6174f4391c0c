#include "platform/files/atomic_file.h"

#include "platform/files/temp_file.h"

#include <cerrno>
#include <new>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {
namespace {

bool fail(std::string* error, const std::filesystem::path& path, const char* what, int err)
{
    if (error)
        *error = std::string(what) + " " + path.string() + ": " + std::strerror(err);
    return false;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error)
{
    return writeFileAtomicallyFrom(path, [bytes](int fd) { return writeAll(fd, bytes); }, error);
}

bool writeFileAtomicallyFrom(const std::filesystem::path& path, const std::function<bool(int fd)>& fill,
                             std::string* error)
{
    const std::filesystem::path target = resolveWriteTarget(path);
    std::filesystem::path tmp;
    const int fd = createTemporaryFor(target, tmp);
    if (fd < 0)
        return fail(error, target, "cannot create a temporary file for", errno);
    if (!fill(fd)) {
        const int err = errno;
        ::close(fd);
        ::unlink(tmp.c_str());
        return fail(error, path, "cannot write", err);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return fail(error, path, "cannot write", err);
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        return fail(error, path, "cannot replace", err);
    }
    return true;
}

bool writeAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

bool readWholeFile(const std::filesystem::path& path, std::string& bytes, std::string* error, std::uint64_t maxBytes)
{
    // Non-blocking, or a named pipe would hold the open until a writer comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fail(error, path, "cannot open", errno);
    const bool ok = readWholeDescriptor(fd, path, bytes, error, maxBytes);
    ::close(fd);
    return ok;
}

bool readWholeDescriptor(int fd, const std::filesystem::path& path, std::string& bytes, std::string* error,
                         std::uint64_t maxBytes)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        // Folders, devices and pipes are not files to load.
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return fail(error, path, "cannot read", err);
    }
    const auto tooLarge = [&](std::uint64_t size) {
        if (error)
            *error = "file too large: " + path.string() + " holds " + std::to_string(size) + " bytes, at most " +
                     std::to_string(maxBytes) + " fit its format";
        return false;
    };
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return tooLarge(static_cast<std::uint64_t>(st.st_size));
    std::string out;
    try {
        out.reserve(static_cast<std::size_t>(st.st_size));
        char buf[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return fail(error, path, "cannot read", errno);
            if (n == 0)
                break;
            if (out.size() + static_cast<std::uint64_t>(n) > maxBytes) // it grew while read
                return tooLarge(out.size() + static_cast<std::uint64_t>(n));
            out.append(buf, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        return fail(error, path, "cannot read", ENOMEM);
    }
    bytes = std::move(out);
    return true;
}

} // namespace qv
