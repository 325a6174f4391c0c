#include "compiler/image/staged_image_file.h"

#include "platform/files/temp_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace qv::image {

StagedImageFile::~StagedImageFile() { discard(); }

bool StagedImageFile::fail(const char* what)
{
    error_ = std::string(what) + " " + temp_.string() + ": " + std::strerror(errno);
    return false;
}

bool StagedImageFile::create(const std::filesystem::path& finalPath)
{
    discard();
    final_ = resolveWriteTarget(finalPath);
    size_ = 0;
    fd_ = createTemporaryFor(final_, temp_);
    if (fd_ < 0) {
        temp_.clear(); // nothing of ours to remove
        error_ = "cannot create a temporary file for " + final_.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool StagedImageFile::overwrite(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    if (fd_ < 0) {
        errno = EBADF;
        return fail("cannot write");
    }
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("cannot write");
        }
        if (n == 0) {
            errno = ENOSPC;
            return fail("cannot write");
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool StagedImageFile::append(std::span<const std::uint8_t> bytes)
{
    if (!overwrite(size_, bytes))
        return false;
    size_ += bytes.size();
    return true;
}

bool StagedImageFile::appendFill(std::uint8_t value, std::uint64_t count)
{
    const std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(count, 1u << 16), value);
    while (count > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, chunk.size()));
        if (!append(std::span(chunk).first(n)))
            return false;
        count -= n;
    }
    return true;
}

bool StagedImageFile::padToPage(std::uint32_t pageMask, std::uint8_t value)
{
    const std::uint64_t rounded = (size_ + pageMask) & ~std::uint64_t(pageMask);
    return appendFill(value, rounded - size_);
}

bool StagedImageFile::commit()
{
    if (fd_ < 0) {
        errno = EBADF;
        return fail("cannot write");
    }
    if (::fsync(fd_) != 0)
        return fail("cannot write");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        return fail("cannot write");
    if (::rename(temp_.c_str(), final_.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp_.c_str());
        errno = err;
        return fail("cannot replace");
    }
    temp_.clear();
    return true;
}

void StagedImageFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

} // namespace qv::image
