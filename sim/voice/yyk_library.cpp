#include "sim/voice/yyk_library.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::sim {
namespace {

constexpr int kRowLength = 94;
constexpr std::uint8_t kFirstCodeByte = 0xA1;
constexpr char kFirstAscii = '0';
constexpr char kLastAscii = '}';

std::uint32_t U32At(const std::uint8_t* b) { return static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16) | static_cast<std::uint32_t>(b[3]) << 24; }

void PutU32(std::uint8_t* b, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool ReadAt(int fd, std::uint64_t offset, void* out, std::size_t size)
{
    auto* p = static_cast<std::uint8_t*>(out);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::uint64_t HashOf(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t h = 1469598103934665603ull; // FNV-1a
    for (std::uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h ^ bytes.size();
}

bool Failed(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

} // namespace

std::string YykEntryText(int n)
{
    if (n < 0 || n >= kYykEntries)
        return {};
    if (n < kYykHanziEntries)
        return {static_cast<char>(kFirstCodeByte + n / kRowLength), static_cast<char>(kFirstCodeByte + n % kRowLength)};
    return {' ', static_cast<char>(kFirstAscii + (n - kYykHanziEntries))};
}

std::optional<int> YykEntryOfChar(std::string_view c)
{
    if (c.size() == 2) {
        const auto first = static_cast<std::uint8_t>(c[0]), second = static_cast<std::uint8_t>(c[1]);
        if (first < kFirstCodeByte || second < kFirstCodeByte || first == 0xFF || second == 0xFF)
            return std::nullopt;
        const int n = (first - kFirstCodeByte) * kRowLength + (second - kFirstCodeByte);
        return n < kYykHanziEntries ? std::optional<int>(n) : std::nullopt;
    }
    if (c.size() == 1 && c[0] >= kFirstAscii && c[0] <= kLastAscii)
        return kYykHanziEntries + (c[0] - kFirstAscii);
    return std::nullopt;
}

std::optional<YykReader> YykReader::Open(const ConfinedFolder& folder, const std::filesystem::path& file)
{
    return FromDescriptor(folder.openFile(file, O_RDONLY));
}

std::optional<YykReader> YykReader::FromDescriptor(UniqueFd fd)
{
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    std::vector<std::uint8_t> head(kYykIndexOffset + kYykEntries * 8);
    if (!ReadAt(fd.get(), 0, head.data(), head.size()))
        return std::nullopt;
    YykReader reader;
    reader.fd_ = std::move(fd);
    reader.fileSize_ = static_cast<std::uint64_t>(st.st_size);
    for (int n = 0; n < kYykEntries; ++n) {
        const std::uint8_t* e = head.data() + kYykIndexOffset + static_cast<std::size_t>(n) * 8;
        reader.index_[static_cast<std::size_t>(n)] = {U32At(e), U32At(e + 4)};
    }
    return reader;
}

std::optional<std::vector<std::uint8_t>> YykReader::Wave(int entry) const
{
    if (entry < 0 || entry >= kYykEntries)
        return std::nullopt;
    const YykEntry e = index_[static_cast<std::size_t>(entry)];
    if (e.length == 0 || e.length >= kYykMaxWave || std::uint64_t{e.offset} + e.length > fileSize_)
        return std::nullopt;
    std::vector<std::uint8_t> wave(e.length);
    if (!ReadAt(fd_.get(), e.offset, wave.data(), wave.size()))
        return std::nullopt;
    return wave;
}

YykWriter::YykWriter(std::filesystem::path finalPath, std::filesystem::path projectFolder)
    : finalPath_(std::move(finalPath)), folder_(projectFolder.empty() ? finalPath_.parent_path() : std::move(projectFolder))
{
}

YykWriter::~YykWriter() = default;

bool YykWriter::Start(std::string* error)
{
    if (auto started = folder_.beginReplace(finalPath_, false))
        file_.emplace(std::move(*started));
    if (!file_)
        return Failed(error, "cannot create a file beside " + finalPath_.string());
    fd_ = file_->fd();
    tempPath_ = file_->tempPath();
    ::fchmod(fd_, 0644);
    std::vector<std::uint8_t> header(kYykDataOffset, 0);
    std::memcpy(header.data(), kYykMagic.data(), kYykMagic.size());
    return WriteAt(0, header.data(), header.size(), error);
}

bool YykWriter::WriteAt(std::uint64_t offset, const void* bytes, std::size_t size, std::string* error)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return Failed(error, "cannot write " + tempPath_.string());
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool YykWriter::SameAsStored(const YykEntry& stored, const std::vector<std::uint8_t>& wave) const
{
    if (stored.length != wave.size())
        return false;
    std::vector<std::uint8_t> back(stored.length);
    return ReadAt(fd_, stored.offset, back.data(), back.size()) && back == wave;
}

bool YykWriter::Add(int entry, const std::vector<std::uint8_t>& wave, std::string* error)
{
    if (fd_ < 0 || entry < 0 || entry >= kYykEntries || wave.size() >= kYykMaxWave || end_ + wave.size() > UINT32_MAX) {
        if (error)
            *error = "wave " + std::to_string(entry) + " does not fit the library";
        return false;
    }
    auto& slot = index_[static_cast<std::size_t>(entry)];
    auto& candidates = byHash_[HashOf(wave)];
    for (const YykEntry& stored : candidates)
        if (SameAsStored(stored, wave)) {
            slot = stored;
            return true;
        }
    if (!WriteAt(end_, wave.data(), wave.size(), error))
        return false;
    slot = {static_cast<std::uint32_t>(end_), static_cast<std::uint32_t>(wave.size())};
    candidates.push_back(slot);
    end_ += wave.size();
    ++distinct_;
    return true;
}

bool YykWriter::Commit(std::string* error)
{
    if (fd_ < 0)
        return false;
    std::vector<std::uint8_t> index(kYykEntries * 8);
    for (int n = 0; n < kYykEntries; ++n) {
        PutU32(index.data() + n * 8, index_[static_cast<std::size_t>(n)].offset);
        PutU32(index.data() + n * 8 + 4, index_[static_cast<std::size_t>(n)].length);
    }
    if (!WriteAt(kYykIndexOffset, index.data(), index.size(), error))
        return false;
    fd_ = -1;
    if (!file_->commit())
        return Failed(error, "cannot replace " + finalPath_.string());
    return true;
}

} // namespace qv::sim
