#include "sim/disk/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "model/vars/var_bank.h"
#include "platform/files/confined_folder.h"
#include "sim/disk/drive_path.h"
#include "sim/disk/transfer.h"

namespace qv::sim {
namespace {

using namespace recfile;

// One open of the file for one call; every read and write must be whole.
class FileIo {
public:
    FileIo(const std::filesystem::path& projectDir, const std::filesystem::path& path)
        : fd_(ConfinedFolder(projectDir).openFile(path, O_RDWR).release())
    {
    }
    ~FileIo()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileIo(const FileIo&) = delete;
    FileIo& operator=(const FileIo&) = delete;

    bool ok() const { return fd_ >= 0; }
    std::optional<std::uint64_t> size() const
    {
        struct stat st{};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0)
            return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }
    bool read(std::uint64_t offset, void* out, std::size_t length) const
    {
        auto* at = static_cast<char*>(out);
        return transferAll(length, [&](std::size_t done) {
                   return ::pread(fd_, at + done, length - done, static_cast<off_t>(offset + done));
               }) == length;
    }
    bool write(std::uint64_t offset, const void* in, std::size_t length)
    {
        const auto* at = static_cast<const char*>(in);
        return transferAll(length, [&](std::size_t done) {
                   return ::pwrite(fd_, at + done, length - done, static_cast<off_t>(offset + done));
               }) == length;
    }
    std::optional<std::uint32_t> link(const RecordFileHead& head, std::uint32_t place) const
    {
        std::uint8_t b[4];
        if (!read(kLinkTable + std::uint64_t{place} * 4, b, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24);
    }
    bool setLink(std::uint32_t place, std::uint32_t value)
    {
        const std::uint8_t b[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        return write(kLinkTable + std::uint64_t{place} * 4, b, 4);
    }

private:
    int fd_;
};

void put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
}

std::array<std::uint8_t, kHeadSize> encodeHead(const RecordFileHead& h)
{
    std::array<std::uint8_t, kHeadSize> b{};
    b[kMagic] = 's';
    b[kListMode] = h.listMode;
    put16(&b[kRecordSize], h.recordSize);
    put32(&b[kCapacity], h.capacity);
    put32(&b[kHead], h.head);
    put32(&b[kCount], h.count);
    return b;
}

std::optional<RecordFileHead> decodeHead(const std::array<std::uint8_t, kHeadSize>& b)
{
    if (b[kMagic] != 's' || b[kListMode] > 1)
        return std::nullopt;
    RecordFileHead h;
    h.listMode = b[kListMode];
    h.recordSize = get16(&b[kRecordSize]);
    h.capacity = get32(&b[kCapacity]);
    h.head = get32(&b[kHead]);
    h.count = get32(&b[kCount]);
    return h;
}

bool writeHead(FileIo& io, const RecordFileHead& head)
{
    const auto bytes = encodeHead(head);
    return io.write(0, bytes.data(), bytes.size());
}

// A new file: the head, the ring's link table (entry 0 = capacity - 1, entry i = i - 1) and
// room for every place.
bool createRecordFile(const ConfinedFolder& folder, const std::filesystem::path& path, const RecordFileHead& head)
{
    std::string bytes(static_cast<std::size_t>(kLinkTable + head.linkTableSize()), '\0');
    const auto encoded = encodeHead(head);
    std::copy(encoded.begin(), encoded.end(), bytes.begin());
    auto* table = reinterpret_cast<std::uint8_t*>(bytes.data() + kLinkTable);
    for (std::uint32_t i = 0; i < head.capacity; ++i)
        put32(table + std::uint64_t{i} * 4, i == 0 ? head.capacity - 1 : i - 1);
    if (!folder.replaceWhole(path, bytes))
        return false;
    const UniqueFd fd = folder.openFile(path, O_RDWR);
    return fd && ::ftruncate(fd.get(), static_cast<off_t>(head.fileSize())) == 0;
}

constexpr std::uint32_t kLinksReadWhole = 1u << 20; // places

// The place of record n: from the head, n links on; every step inside the places.
std::optional<std::uint32_t> placeOf(const FileIo& io, const RecordFileHead& head, std::uint32_t n)
{
    if (n >= head.records() || head.head >= head.capacity)
        return std::nullopt;
    std::uint32_t place = head.head;
    // A long walk reads the link table once instead of one read per step.
    std::vector<std::uint8_t> table;
    if (n > 16 && head.capacity <= kLinksReadWhole) {
        table.resize(std::size_t{head.capacity} * 4);
        if (!io.read(kLinkTable, table.data(), table.size()))
            return std::nullopt;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto next = table.empty() ? io.link(head, place) : std::optional<std::uint32_t>(get32(&table[std::size_t{place} * 4]));
        if (!next || *next >= head.capacity)
            return std::nullopt;
        place = *next;
    }
    return place;
}

std::optional<std::uint32_t> firstFreePlace(const FileIo& io, const RecordFileHead& head)
{
    std::vector<std::uint8_t> chunk(4096);
    for (std::uint32_t start = 0; start < head.capacity;) {
        const std::uint32_t n = std::min<std::uint32_t>(1024, head.capacity - start);
        if (!io.read(kLinkTable + std::uint64_t{start} * 4, chunk.data(), n * 4))
            return std::nullopt;
        for (std::uint32_t i = 0; i < n; ++i)
            if (get32(&chunk[i * 4]) == kFreePlace)
                return start + i;
        start += n;
    }
    return std::nullopt;
}

// The record bytes at `source` in the variable memory; nullopt when they would leave it.
std::optional<std::vector<std::uint8_t>> recordFromMemory(const VarBank& memory, std::uint16_t source, std::uint16_t size)
{
    std::vector<std::uint8_t> record(size);
    if (!memory.readBytes(source, record))
        return std::nullopt;
    return record;
}

} // namespace

int RecordFiles::open(const std::filesystem::path& projectDir, const std::filesystem::path& path, std::uint16_t recordSize,
                      std::uint32_t capacity)
{
    if (capacity == 0 || recordSize == 0 || recordSize > kMaxRecordSize)
        return 0;
    for (int i = 0; i < kHandles; ++i)
        if (handles_[static_cast<std::size_t>(i)].open && handles_[static_cast<std::size_t>(i)].path == path)
            return i + 1;
    int free = 0;
    for (int i = kHandles; i >= 1; --i)
        if (!handles_[static_cast<std::size_t>(i - 1)].open)
            free = i;
    if (free == 0)
        return 0;

    RecordFileHead wanted;
    wanted.recordSize = recordSize;
    wanted.capacity = capacity;
    wanted.head = capacity;
    if (wanted.fileSize() > kMaxFileSize)
        return 0;
    const ConfinedFolder folder(projectDir);
    if (folder.kindOf(path) == FileFault::missing) {
        if (!MakeFolders(projectDir, path) || !createRecordFile(folder, path, wanted))
            return 0;
    }
    FileIo io(projectDir, path);
    std::array<std::uint8_t, kHeadSize> bytes{};
    if (!io.ok() || !io.read(0, bytes.data(), bytes.size()))
        return 0;
    const auto head = decodeHead(bytes);
    const auto size = io.size();
    if (!head || head->recordSize != recordSize || head->capacity != capacity || !size || *size < head->fileSize() ||
        head->head > capacity)
        return 0;
    Handle& h = handles_[static_cast<std::size_t>(free - 1)];
    h.open = true;
    h.projectDir = projectDir;
    h.path = path;
    h.head = *head;
    return free;
}

int RecordFiles::close(int handle)
{
    if (handle < 1 || handle > kHandles)
        return 0;
    handles_[static_cast<std::size_t>(handle - 1)] = Handle{};
    return handle;
}

void RecordFiles::closeAll()
{
    for (Handle& h : handles_)
        h = Handle{};
}

RecordFiles::Handle* RecordFiles::openHandle(int handle)
{
    if (handle < 1 || handle > kHandles || !handles_[static_cast<std::size_t>(handle - 1)].open)
        return nullptr;
    return &handles_[static_cast<std::size_t>(handle - 1)];
}

bool RecordFiles::append(int handle, const VarBank& memory, std::uint16_t source, bool overwrite)
{
    Handle* h = openHandle(handle);
    const auto record = h ? recordFromMemory(memory, source, h->head.recordSize) : std::nullopt;
    if (!record)
        return false;
    FileIo io(h->projectDir, h->path);
    if (!io.ok())
        return false;
    RecordFileHead next = h->head;
    std::uint32_t place = 0;
    if (next.listMode == 0) {
        if (next.count >= next.capacity && !overwrite)
            return false;
        next.head = next.head >= next.capacity - 1 ? 0 : next.head + 1;
        if (next.count != 0xFFFFFFFF)
            ++next.count;
        place = next.head;
    } else {
        std::optional<std::uint32_t> chosen;
        if (next.count < next.capacity) {
            chosen = firstFreePlace(io, next);
            if (chosen)
                ++next.count;
        } else if (overwrite) {
            chosen = placeOf(io, next, next.records() - 1);
        }
        if (!chosen)
            return false;
        place = *chosen;
        if (!io.setLink(place, next.head))
            return false;
        next.head = place;
    }
    if (!io.write(next.placeOffset(place), record->data(), record->size()) || !writeHead(io, next))
        return false;
    h->head = next;
    return true;
}

bool RecordFiles::read(int handle, VarBank& memory, std::uint16_t destination, std::uint32_t n)
{
    Handle* h = openHandle(handle);
    if (!h || !isValidVarRange(destination, h->head.recordSize))
        return false;
    FileIo io(h->projectDir, h->path);
    const auto place = io.ok() ? placeOf(io, h->head, n) : std::nullopt;
    std::vector<std::uint8_t> record(h->head.recordSize);
    if (!place || !io.read(h->head.placeOffset(*place), record.data(), record.size()))
        return false;
    return memory.writeBytes(destination, record);
}

bool RecordFiles::rewrite(int handle, const VarBank& memory, std::uint16_t source, std::uint32_t n)
{
    Handle* h = openHandle(handle);
    const auto record = h ? recordFromMemory(memory, source, h->head.recordSize) : std::nullopt;
    if (!record)
        return false;
    FileIo io(h->projectDir, h->path);
    const auto place = io.ok() ? placeOf(io, h->head, n) : std::nullopt;
    return place && io.write(h->head.placeOffset(*place), record->data(), record->size());
}

bool RecordFiles::remove(int handle, std::uint32_t n)
{
    Handle* h = openHandle(handle);
    if (!h)
        return false;
    FileIo io(h->projectDir, h->path);
    if (!io.ok())
        return false;
    RecordFileHead next = h->head;
    const auto place = placeOf(io, next, n);
    if (!place)
        return false;
    if (n > 0) {
        if (n + 1 < next.records()) {
            const auto before = placeOf(io, next, n - 1);
            const auto after = placeOf(io, next, n + 1);
            if (!before || !after || !io.setLink(*before, *after))
                return false;
        }
    } else if (next.count == 1) {
        next.head = 0;
    } else {
        const auto second = placeOf(io, next, 1);
        if (!second)
            return false;
        next.head = *second;
    }
    if (!io.setLink(*place, kFreePlace))
        return false;
    if (next.listMode == 0 && next.count < next.capacity) {
        for (std::uint32_t p = next.count; p < next.capacity; ++p)
            if (!io.setLink(p, kFreePlace))
                return false;
    }
    next.count = next.records() - 1;
    next.listMode = 1;
    if (!writeHead(io, next))
        return false;
    h->head = next;
    return true;
}

std::uint32_t RecordFiles::count(int handle) const
{
    if (handle < 1 || handle > kHandles || !handles_[static_cast<std::size_t>(handle - 1)].open)
        return 0;
    return handles_[static_cast<std::size_t>(handle - 1)].head.records();
}

} // namespace qv::sim
