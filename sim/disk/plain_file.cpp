#include "sim/disk/plain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "model/vars/var_bank.h"
#include "platform/files/confined_folder.h"
#include "sim/disk/transfer.h"

namespace qv::sim {
namespace {

std::size_t bytesToBankEnd(std::uint16_t address, std::uint32_t length)
{
    return static_cast<std::size_t>(std::min<std::int64_t>(length, kVarMemSize - address));
}

} // namespace

void PlainFile::open(const ConfinedFolder& folder, const std::filesystem::path& path)
{
    close();
    fd_ = folder.openFile(path, O_RDWR).release();
}

void PlainFile::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void PlainFile::seek(std::uint32_t offset)
{
    if (fd_ >= 0)
        ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET);
}

std::optional<std::uint32_t> PlainFile::size() const
{
    struct stat st{};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), 0xFFFFFFFFu));
}

void PlainFile::write(const VarBank& memory, std::uint16_t address, std::uint32_t length)
{
    std::vector<std::uint8_t> bytes(bytesToBankEnd(address, length));
    if (fd_ < 0 || bytes.empty() || !memory.readBytes(address, bytes))
        return;
    transferAll(bytes.size(), [&](std::size_t done) { return ::write(fd_, bytes.data() + done, bytes.size() - done); });
}

void PlainFile::read(VarBank& memory, std::uint16_t address, std::uint32_t length)
{
    std::vector<std::uint8_t> bytes(bytesToBankEnd(address, length));
    if (fd_ < 0 || bytes.empty())
        return;
    const std::size_t done =
        transferAll(bytes.size(), [&](std::size_t at) { return ::read(fd_, bytes.data() + at, bytes.size() - at); });
    if (done > 0)
        memory.writeBytes(address, std::span<const std::uint8_t>(bytes.data(), done));
}

} // namespace qv::sim
