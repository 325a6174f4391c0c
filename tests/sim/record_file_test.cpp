// Record files at size: a new file's bytes (the ring it starts as, pinned byte for byte), the
// records a long run of appends, deletes and reopenings leaves against a plain model of the
// rules, and the memory that creating the largest file of a record size costs.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

#include "tests/fixtures/child_peak_memory.h"
#include "tests/sim/record_fixture.h"

namespace qv::sim::test {
namespace {

namespace fs = std::filesystem;

void put32(std::string& bytes, std::uint64_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::uint64_t>(i)] = static_cast<char>(v >> (8 * i));
}

// A new file as the format describes it, written out here independently of the code.
std::string newFileBytes(std::uint16_t recordSize, std::uint32_t capacity)
{
    const std::uint64_t table = (std::uint64_t{capacity} * 4 + 511) / 512 * 512;
    std::string bytes(512 + table + std::uint64_t{capacity} * recordSize, '\0');
    bytes[0] = 's';
    bytes[2] = static_cast<char>(recordSize);
    bytes[3] = static_cast<char>(recordSize >> 8);
    put32(bytes, 4, capacity);
    put32(bytes, 8, capacity); // the head of a file with no record
    for (std::uint32_t p = 0; p < capacity; ++p)
        put32(bytes, 512 + std::uint64_t{p} * 4, p == 0 ? capacity - 1 : p - 1);
    return bytes;
}

TEST(RecordFileSize, ANewFileIsTheRingItStartsAsByteForByte)
{
    // Capacities around the table's 512-byte rounding and across the pieces it is written in.
    const struct {
        std::uint16_t recordSize;
        std::uint32_t capacity;
    } cases[] = {{3, 5}, {1, 128}, {2, 129}, {7, 16384}, {1, 16385}, {4, 40000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.recordSize) + " x " + std::to_string(c.capacity));
        RecordFixture f;
        ASSERT_EQ(f.open("LOG.DAT", c.recordSize, c.capacity), 1);
        EXPECT_TRUE(qv::test::fileContents(f.path("LOG.DAT")) == newFileBytes(c.recordSize, c.capacity));
        EXPECT_EQ(std::distance(fs::directory_iterator(f.project / "UsbDisk"), fs::directory_iterator()), 1)
            << "no temporary file left";
    }
}

// The rules without a file: the records newest first.
struct Model {
    std::uint32_t capacity;
    std::deque<std::uint16_t> records;

    bool append(std::uint16_t v, bool overwrite)
    {
        if (records.size() >= capacity) {
            if (!overwrite)
                return false;
            records.pop_back();
        }
        records.push_front(v);
        return true;
    }
};

struct WordRecords : RecordFixture {
    int h = 0;
    Model model;

    explicit WordRecords(std::uint32_t capacity) : model{capacity, {}} { h = open("LOG.DAT", 2, capacity); }
    bool append(std::uint16_t v, bool overwrite)
    {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        memory->writeBytes(0x100, bytes);
        const bool done = files.append(h, *memory, 0x100, overwrite);
        EXPECT_EQ(done, model.append(v, overwrite)) << "append of " << v;
        return done;
    }
    std::optional<std::uint16_t> read(std::uint32_t n)
    {
        std::uint8_t bytes[2] = {};
        memory->writeBytes(0x200, bytes);
        if (!files.read(h, *memory, 0x200, n) || !memory->readBytes(0x200, bytes))
            return std::nullopt;
        return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    }
    void remove(std::uint32_t n)
    {
        ASSERT_TRUE(files.remove(h, n)) << "delete of " << n;
        model.records.erase(model.records.begin() + n);
    }
    // Every record at the ends and around the links' windows, and one past the last.
    void expectModel()
    {
        ASSERT_EQ(files.count(h), model.records.size());
        const std::uint32_t size = static_cast<std::uint32_t>(model.records.size());
        for (std::uint32_t n : {0u, 1u, 2u, 4000u, 4096u, 6000u, 16383u, 16384u, 16385u, size / 2, size - 2, size - 1})
            if (n < size)
                EXPECT_EQ(read(n), model.records[n]) << "record " << n;
        EXPECT_EQ(read(size), std::nullopt);
    }
    std::uint16_t atPlace(std::uint32_t place)
    {
        const std::string bytes = qv::test::fileContents(path("LOG.DAT"));
        RecordFileHead head;
        head.recordSize = 2;
        head.capacity = model.capacity;
        const auto at = head.placeOffset(place);
        return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8);
    }
};

TEST(RecordFileSize, RecordsFollowTheRulesThroughAWrappedRingAListAndAReopening)
{
    constexpr std::uint32_t kCapacity = 20000; // the links are read in windows of 16384
    WordRecords f(kCapacity);
    ASSERT_EQ(f.h, 1);
    std::uint16_t next = 1;
    for (std::uint32_t i = 0; i < kCapacity / 2; ++i)
        f.append(next++, false);
    f.expectModel(); // a ring not yet full
    for (std::uint32_t i = 0; i < kCapacity; ++i)
        f.append(next++, true);
    EXPECT_FALSE(f.append(next, false)) << "full";
    // Wrapped: the newest record lies at place 9999, the oldest at 10000.
    EXPECT_EQ(f.atPlace(kCapacity / 2 - 1), f.model.records.front());
    f.expectModel();

    // Deletes turn the ring into a list; the places they free are taken again lowest first.
    f.remove(0);                 // place 9999
    f.remove(kCapacity - 2);     // the oldest, place 10000
    f.remove(kCapacity / 2 + 7); // place 19991
    f.remove(9000);              // place 998
    f.expectModel();
    for (const std::uint32_t place : {998u, 9999u, 10000u, 19991u}) {
        ASSERT_TRUE(f.append(next, false));
        EXPECT_EQ(f.atPlace(place), next++);
    }
    EXPECT_FALSE(f.append(next, false)) << "a full list";
    for (int i = 0; i < 3; ++i)
        f.append(next++, true); // each takes the oldest record's place
    f.expectModel();

    // Another run reads the file as it now is.
    f.files.closeAll();
    ASSERT_EQ(f.open("LOG.DAT", 2, kCapacity), 1);
    f.expectModel(); // a walk leaves a mark every 4096 records
    f.remove(4096);  // the record at a mark
    f.remove(5);
    ASSERT_TRUE(f.append(next++, false));
    f.expectModel();
}

// The largest capacity a record size allows under the 1 GiB cap.
std::uint32_t largestCapacity(std::uint16_t recordSize)
{
    std::uint32_t low = 1, high = 0xFFFFFFFF;
    while (low < high) {
        RecordFileHead head;
        head.recordSize = recordSize;
        head.capacity = low + (high - low + 1) / 2;
        if (head.fileSize() <= recfile::kMaxFileSize)
            low = head.capacity;
        else
            high = head.capacity - 1;
    }
    return low;
}

// The largest file of 60-byte records has a 64 MiB link table (the benchmark makes the
// largest of all, 1-byte records, with an 820 MiB table, which is too much disk for a test).
TEST(RecordFileSize, CreatingTheLargestFileOfARecordSizeHoldsMemoryFlat)
{
    constexpr std::uint16_t kSize = 60;
    const std::uint32_t capacity = largestCapacity(kSize);
    RecordFixture f;
    EXPECT_EQ(f.open("BIG.DAT", kSize, capacity + 1), 0) << "one place more passes the cap";
    const auto growth = qv::test::childPeakGrowthKiB([&] { return f.open("BIG.DAT", kSize, capacity) == 1; });
    ASSERT_TRUE(growth) << "the child did not create the file";
    EXPECT_LT(*growth, 16 * 1024) << "KiB";

    RecordFileHead head;
    head.recordSize = kSize;
    head.capacity = capacity;
    EXPECT_EQ(fs::file_size(f.path("BIG.DAT")), head.fileSize());
    ASSERT_GE(head.linkTableSize(), 64u << 20);
    // The last links of the table, read straight from the file.
    const int fd = ::open(f.path("BIG.DAT").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::uint8_t link[8] = {};
    EXPECT_EQ(::pread(fd, link, 8, static_cast<off_t>(512 + std::uint64_t{capacity - 2} * 4)), 8);
    ::close(fd);
    EXPECT_EQ(link[0] | link[1] << 8 | link[2] << 16 | std::uint32_t{link[3]} << 24, capacity - 3);
    EXPECT_EQ(link[4] | link[5] << 8 | link[6] << 16 | std::uint32_t{link[7]} << 24, capacity - 2);
}

} // namespace
} // namespace qv::sim::test
