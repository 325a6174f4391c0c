// Record files at the largest sizes the 1 GiB cap allows: the time to read the oldest record
// of a 200 M-place file, full as a ring and as a list after one delete, and the time and peak
// memory of creating the largest file there is (1-byte records, 214 M places).
#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "model/vars/var_bank.h"
#include "sim/disk/record_file.h"
#include "tests/fixtures/child_peak_memory.h"

namespace {

using qv::sim::RecordFileHead;
using qv::sim::RecordFiles;
namespace recfile = qv::sim::recfile;

constexpr std::uint32_t kPlaces = 200'000'000;

struct Scratch {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qv-bench-recfile-" + std::to_string(::getpid()));
    Scratch()
    {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ~Scratch() { std::filesystem::remove_all(dir); }
};

// Writes a head as the file format has it: a ring that has wrapped many times over.
bool makeFull(const std::filesystem::path& path, std::uint32_t head, std::uint32_t appends)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    std::uint8_t bytes[8];
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(head >> (8 * i));
        bytes[4 + i] = static_cast<std::uint8_t>(appends >> (8 * i));
    }
    const bool ok = fd >= 0 && ::pwrite(fd, bytes, 8, recfile::kHead) == 8;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Arg 0: the full ring; arg 1: the same after its newest record is deleted, a list of
// 200 M - 1 records whose oldest lies at the far end of its chain (timed after the first walk,
// whose time it prints).
void BM_RecordFileOldestOfTwoHundredMillion(benchmark::State& state)
{
    const bool list = state.range(0) != 0;
    Scratch scratch;
    const auto path = scratch.dir / "UsbDisk" / "LOG.DAT";
    auto memory = std::make_unique<qv::VarBank>();
    RecordFiles files;
    if (files.open(scratch.dir, path, 1, kPlaces) != 1 || (files.closeAll(), !makeFull(path, 123'456'789, 3 * kPlaces)) ||
        files.open(scratch.dir, path, 1, kPlaces) != 1 || (list && !files.remove(1, 0))) {
        state.SkipWithError("the file could not be made");
        return;
    }
    const std::uint32_t oldest = files.count(1) - 1;
    // A list's first walk to its oldest record follows every link; it leaves marks behind.
    const auto start = std::chrono::steady_clock::now();
    if (list && files.read(1, *memory, 0x200, oldest))
        state.counters["first_walk_s"] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (auto _ : state)
        if (!files.read(1, *memory, 0x200, oldest))
            state.SkipWithError("the oldest record was not read");
}
BENCHMARK(BM_RecordFileOldestOfTwoHundredMillion)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Creation in a child process, whose peak memory is measured from what it held before.
void BM_RecordFileCreateLargest(benchmark::State& state)
{
    std::uint32_t capacity = 1;
    for (std::uint32_t step = 1u << 31; step > 0; step >>= 1) {
        RecordFileHead head;
        head.recordSize = 1;
        head.capacity = capacity + step;
        if (head.capacity > capacity && head.fileSize() <= recfile::kMaxFileSize)
            capacity = head.capacity;
    }
    double growthMiB = 0, seconds = 0;
    for (auto _ : state) {
        Scratch scratch;
        const auto start = std::chrono::steady_clock::now();
        const auto growth = qv::test::childPeakGrowthKiB([&] {
            RecordFiles files;
            return files.open(scratch.dir, scratch.dir / "UsbDisk" / "BIG.DAT", 1, capacity) == 1;
        });
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!growth) {
            state.SkipWithError("the file was not created");
            return;
        }
        growthMiB = double(*growth) / 1024;
    }
    state.counters["places"] = capacity;
    state.counters["peak_growth_MiB"] = growthMiB;
    state.counters["create_s"] = seconds;
}
BENCHMARK(BM_RecordFileCreateLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
