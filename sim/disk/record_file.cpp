#include "sim/disk/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <vector>

#include "model/vars/var_bank.h"
#include "platform/files/confined_folder.h"
#include "sim/disk/drive_path.h"
#include "sim/disk/transfer.h"

namespace qv::sim {
namespace {

using namespace recfile;

// Whole reads and writes at an offset of a descriptor.
bool readAt(int fd, std::uint64_t offset, void* out, std::size_t length)
{
    auto* at = static_cast<char*>(out);
    return transferAll(length, [&](std::size_t done) {
               return ::pread(fd, at + done, length - done, static_cast<off_t>(offset + done));
           }) == length;
}
bool writeAt(int fd, std::uint64_t offset, const void* in, std::size_t length)
{
    const auto* at = static_cast<const char*>(in);
    return transferAll(length, [&](std::size_t done) {
               return ::pwrite(fd, at + done, length - done, static_cast<off_t>(offset + done));
           }) == length;
}

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
    int fd() const { return fd_; }
    std::optional<std::uint64_t> size() const
    {
        struct stat st{};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0)
            return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }
    bool read(std::uint64_t offset, void* out, std::size_t length) const { return readAt(fd_, offset, out, length); }
    bool write(std::uint64_t offset, const void* in, std::size_t length) { return writeAt(fd_, offset, in, length); }
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

constexpr std::uint32_t kLinkPiece = 16384; // links per read or write of the table: 64 KiB

// Writes links [first, end) of the table a piece at a time, so the table of the largest file
// never sits in memory whole.
template <typename LinkOf>
bool writeLinks(int fd, std::uint32_t first, std::uint32_t end, LinkOf linkOf)
{
    std::vector<std::uint8_t> piece;
    for (std::uint32_t at = first; at < end;) {
        const std::uint32_t n = std::min(kLinkPiece, end - at);
        piece.resize(std::size_t{n} * 4);
        for (std::uint32_t i = 0; i < n; ++i)
            put32(&piece[std::size_t{i} * 4], linkOf(at + i));
        if (!writeAt(fd, kLinkTable + std::uint64_t{at} * 4, piece.data(), piece.size()))
            return false;
        at += n;
    }
    return true;
}

// A new file: the head, the ring's link table, room for every place; made under a temporary
// name inside the project folder and renamed once whole.
bool createRecordFile(const ConfinedFolder& folder, const std::filesystem::path& path, const RecordFileHead& head)
{
    auto replacement = folder.beginReplace(path);
    return replacement && writeNewRecordFile(replacement->fd(), head) && replacement->commit();
}

// The place `steps` links older than `place`. A ring's links are the ones it was made with
// (nothing but a delete changes a link, and a delete makes the file a list), so its walk is
// arithmetic; a list's links are read a window at a time, ending at the place asked for, as
// a list made from a ring runs down through neighbouring places.
class LinkWalk {
public:
    LinkWalk(const FileIo& io, const RecordFileHead& head) : io_(io), head_(head) {}

    std::optional<std::uint32_t> back(std::uint32_t place, std::uint32_t steps)
    {
        if (place >= head_.capacity)
            return std::nullopt;
        if (head_.listMode == 0) {
            steps %= head_.capacity;
            return place >= steps ? place - steps : place + (head_.capacity - steps);
        }
        for (std::uint32_t i = 0; i < steps; ++i) {
            const auto next = link(place);
            if (!next || *next >= head_.capacity)
                return std::nullopt;
            place = *next;
        }
        return place;
    }

private:
    std::optional<std::uint32_t> link(std::uint32_t place)
    {
        if (place < first_ || place - first_ >= links_.size() / 4) {
            first_ = place >= kLinkPiece ? place + 1 - kLinkPiece : 0;
            links_.resize(std::size_t{std::min(kLinkPiece, head_.capacity - first_)} * 4);
            if (!io_.read(kLinkTable + std::uint64_t{first_} * 4, links_.data(), links_.size())) {
                links_.clear();
                return std::nullopt;
            }
        }
        return get32(&links_[std::size_t{place - first_} * 4]);
    }

    const FileIo& io_;
    const RecordFileHead& head_;
    std::vector<std::uint8_t> links_;
    std::uint32_t first_ = 0;
};

// A list's walk leaves a mark every so many records, and the next walk starts at the nearest
// mark before its record: a read costs a few windows once the records before it were walked.
constexpr std::uint32_t kMarkEvery = 4096;
constexpr std::size_t kMostMarks = 65536; // every 4096th of the largest list: 512 KiB

// The place of record n: n links older than the head.
std::optional<std::uint32_t> placeOf(const FileIo& io, const RecordFileHead& head, std::uint32_t n,
                                     std::vector<RecordMark>& marks)
{
    if (n >= head.records())
        return std::nullopt;
    LinkWalk walk(io, head);
    if (head.listMode == 0)
        return walk.back(head.head, n);
    auto at = std::upper_bound(marks.begin(), marks.end(), n, [](std::uint32_t v, const RecordMark& m) { return v < m.n; });
    RecordMark from = at == marks.begin() ? RecordMark{0, head.head} : *std::prev(at);
    while (n - from.n > kMarkEvery) {
        const auto place = walk.back(from.place, kMarkEvery);
        if (!place)
            return std::nullopt;
        from = {from.n + kMarkEvery, *place};
        if (marks.size() < kMostMarks)
            at = std::next(marks.insert(at, from));
    }
    return walk.back(from.place, n - from.n);
}

// Record numbers move when a record is added (`gone` empty: all one older) or deleted (those
// past it one newer); the places stay. A mark past the last record (the oldest's, whose place
// an append to a full list took) goes.
void renumberMarks(std::vector<RecordMark>& marks, std::optional<std::uint32_t> gone, std::uint32_t records)
{
    std::erase_if(marks, [&](RecordMark& m) {
        if (gone && m.n == *gone)
            return true;
        if (!gone)
            ++m.n;
        else if (m.n > *gone)
            --m.n;
        return m.n >= records;
    });
}

// The first free place at or after `from`.
std::optional<std::uint32_t> firstFreePlace(const FileIo& io, const RecordFileHead& head, std::uint32_t from)
{
    std::vector<std::uint8_t> piece;
    for (std::uint32_t start = from; start < head.capacity;) {
        const std::uint32_t n = std::min(kLinkPiece, head.capacity - start);
        piece.resize(std::size_t{n} * 4);
        if (!io.read(kLinkTable + std::uint64_t{start} * 4, piece.data(), piece.size()))
            return std::nullopt;
        for (std::uint32_t i = 0; i < n; ++i)
            if (get32(&piece[std::size_t{i} * 4]) == kFreePlace)
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

bool writeNewRecordFile(int fd, const RecordFileHead& head)
{
    std::array<std::uint8_t, kLinkTable> first{};
    const auto encoded = encodeHead(head);
    std::copy(encoded.begin(), encoded.end(), first.begin());
    return writeAt(fd, 0, first.data(), first.size()) &&
           writeLinks(fd, 0, head.capacity, [&](std::uint32_t place) { return place == 0 ? head.capacity - 1 : place - 1; }) &&
           ::ftruncate(fd, static_cast<off_t>(head.fileSize())) == 0;
}

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
            chosen = firstFreePlace(io, next, h->freeFrom);
            if (chosen)
                ++next.count;
        } else if (overwrite) {
            chosen = placeOf(io, next, next.records() - 1, h->marks);
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
    if (next.listMode == 1) {
        if (place >= h->freeFrom)
            h->freeFrom = place + 1;
        renumberMarks(h->marks, std::nullopt, next.records());
    }
    h->head = next;
    return true;
}

bool RecordFiles::read(int handle, VarBank& memory, std::uint16_t destination, std::uint32_t n)
{
    Handle* h = openHandle(handle);
    if (!h || !isValidVarRange(destination, h->head.recordSize))
        return false;
    FileIo io(h->projectDir, h->path);
    const auto place = io.ok() ? placeOf(io, h->head, n, h->marks) : std::nullopt;
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
    const auto place = io.ok() ? placeOf(io, h->head, n, h->marks) : std::nullopt;
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
    if (n >= next.records())
        return false;
    // One walk finds record n and its neighbours.
    LinkWalk walk(io, next);
    const auto before = n > 0 ? placeOf(io, next, n - 1, h->marks) : std::nullopt;
    const auto place = n == 0 ? walk.back(next.head, 0) : before ? walk.back(*before, 1) : std::nullopt;
    const auto after = place && n + 1 < next.records() ? walk.back(*place, 1) : std::nullopt;
    if (!place || (n + 1 < next.records() && !after))
        return false;
    if (n > 0) {
        if (after && !io.setLink(*before, *after))
            return false;
    } else if (next.count == 1) {
        next.head = 0;
    } else if (after) {
        next.head = *after;
    } else {
        return false; // a ring of one place written twice has no record 1 to become the newest
    }
    if (!io.setLink(*place, kFreePlace))
        return false;
    if (next.listMode == 0 && next.count < next.capacity &&
        !writeLinks(io.fd(), next.count, next.capacity, [](std::uint32_t) { return kFreePlace; }))
        return false;
    next.count = next.records() - 1;
    next.listMode = 1;
    if (!writeHead(io, next))
        return false;
    h->head = next;
    h->freeFrom = std::min(h->freeFrom, *place);
    renumberMarks(h->marks, n, next.records());
    return true;
}

std::uint32_t RecordFiles::count(int handle) const
{
    if (handle < 1 || handle > kHandles || !handles_[static_cast<std::size_t>(handle - 1)].open)
        return 0;
    return handles_[static_cast<std::size_t>(handle - 1)].head.records();
}

} // namespace qv::sim
