// A record file of the user code: its head and link table as a stranger's project holds them,
// then a run of reads, appends, rewrites and deletes over it. The input's first bytes are the
// run (one byte per call), the rest the file; a file whose head claims up to 1 MiB is
// extended to that size as a hole, so the walks meet tables the input only begins.
#include "fuzz/fuzz_folder.h"
#include "fuzz/fuzz_target.h"
#include "model/vars/var_bank.h"
#include "sim/disk/record_file.h"

#include <fstream>
#include <memory>
#include <vector>

namespace qv::fuzz {
namespace {

constexpr std::size_t kCalls = 8;
constexpr std::uint64_t kLargestHole = 1u << 20;

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; }

std::vector<std::uint8_t> recordAt(const VarBank& memory, std::uint16_t address, std::uint16_t size)
{
    std::vector<std::uint8_t> bytes(size);
    memory.readBytes(address, bytes);
    return bytes;
}

} // namespace

void RunOne(const std::uint8_t* data, std::size_t size)
{
    static ScratchCleanup cleanup;
    if (size < kCalls + sim::recfile::kHeadSize)
        return;
    const auto project = scratchFolder();
    const auto path = project / "UsbDisk" / "LOG.DAT";
    std::filesystem::remove_all(project / "UsbDisk");
    std::filesystem::create_directories(path.parent_path());
    const std::uint8_t* file = data + kCalls;
    const std::size_t fileSize = size - kCalls;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file), static_cast<std::streamsize>(fileSize));

    sim::RecordFileHead claimed;
    claimed.recordSize = static_cast<std::uint16_t>(file[2] | file[3] << 8);
    claimed.capacity = le32(file + 4);
    if (claimed.fileSize() > fileSize && claimed.fileSize() <= kLargestHole)
        std::filesystem::resize_file(path, claimed.fileSize());

    auto memory = std::make_unique<VarBank>();
    for (int i = 0; i < 0x4000; ++i)
        memory->writeByte(0x100 + i, static_cast<std::uint8_t>(i * 7 + 1));
    sim::RecordFiles files;
    const int h = files.open(project, path, claimed.recordSize, claimed.capacity);
    if (h == 0)
        return;
    require(claimed.capacity > 0 && files.count(h) <= claimed.capacity, "count past the capacity");
    constexpr std::uint16_t kSource = 0x100, kDestination = 0x8000;
    for (std::size_t i = 0; i < kCalls; ++i) {
        const std::uint8_t call = data[i];
        const std::uint32_t count = files.count(h);
        // Low six bits: n from the newest, or (bit 5) from the oldest.
        const std::uint32_t k = call & 31;
        const std::uint32_t n = (call & 32) ? (count > k ? count - 1 - k : k) : k;
        switch (call >> 6) {
        case 0:
            files.read(h, *memory, kDestination, n);
            break;
        case 1:
            if (files.append(h, *memory, kSource, (call & 1) != 0)) {
                require(files.count(h) >= 1 && files.count(h) >= count, "an append lost a record");
                // The newest record needs no link: it reads back as written whatever the table holds.
                require(files.read(h, *memory, kDestination, 0) &&
                            recordAt(*memory, kDestination, claimed.recordSize) ==
                                recordAt(*memory, kSource, claimed.recordSize),
                        "the newest record is not the one appended");
            }
            break;
        case 2:
            files.rewrite(h, *memory, kSource, n);
            break;
        default:
            if (files.remove(h, n))
                require(files.count(h) + 1 == count, "a delete did not take one record");
            break;
        }
        require(!files.read(h, *memory, kDestination, files.count(h)), "a record past the last was read");
    }
    // Another run sees what this one wrote.
    const std::uint32_t count = files.count(h);
    sim::RecordFiles again;
    const int h2 = again.open(project, path, claimed.recordSize, claimed.capacity);
    require(h2 != 0 && again.count(h2) == count, "the head written back is not the one kept");
}

} // namespace qv::fuzz
