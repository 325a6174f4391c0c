// The full project download of a 32 MiB image to the simulated panel, per kind of panel:
// transfers per MiB of image beside the framing's minimum (every piece one command, its
// data in the kind's pieces, one result word), and the host's CPU time per MiB.
#include <benchmark/benchmark.h>

#include "bench/sim_panel_bench.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "device/download/download_options.h"
#include "device/download/project_download.h"
#include "device/link/panel_framing.h"

#include <ctime>
#include <fstream>
#include <stdlib.h>

namespace {

using namespace qv;
using namespace qv::device;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::uint32_t kFrames = 30; // one dynamic picture of 30 frames of 1 MiB

class NoWait final : public WaitClock {
public:
    void sleepFor(std::chrono::milliseconds) override {}
};

// Header area, 512 bytes of cursors, the frames and 512 bytes of variable memory.
std::filesystem::path writeImage()
{
    char folder[] = "/tmp/qv-bench-download-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(folder);
    std::vector<std::uint8_t> header(image::kHeaderAreaSize, 0);
    image::putU32(header, 0, 512);
    image::putU16(header, image::kWindowCountOffset, 1);
    const std::uint32_t record = image::windowTableEnd(1), itemAt = 6, itemSize = 32 + 4 * kFrames;
    image::putU32(header, image::kWindowTableOffset, record);
    image::putU32(header, image::kWindowTableOffset + 4, itemAt + itemSize);
    image::putU16(header, record + 2, 1);
    image::putU16(header, record + 4, itemAt);
    header[record + itemAt] = 4;
    image::putU32(header, record + itemAt + 16, kFrames);
    for (std::uint32_t i = 0; i < kFrames; ++i)
        image::putU32(header, record + itemAt + 32 + 4 * i, kMiB);
    auto map = std::span(header).subspan(image::kStartMapOffset);
    image::putU16(map, image::sm::Magic, image::kStartMapMagic);
    image::putU32(map, image::sm::HeaderBytesUsed, 512);
    image::putU32(map, image::sm::VarExtent, 100);
    image::putU32(map, image::sm::BlockSize, 0x4000);
    image::putU32(map, image::sm::PageMask, 0x1FF);
    image::putU32(map, image::sm::BlockMask, 0xFFFFC000);
    image::putU16(map, image::sm::Width, 800);
    image::putU16(map, image::sm::Height, 480);
    for (unsigned slot = 0; slot < 16; ++slot)
        image::putU32(map, image::sm::SysVarAddrs + 4 * slot, 0xFFFFFFFF);
    map[0x0BB] = 1;
    map[image::sm::VersionMajor] = 3;
    map[image::sm::VersionMinor] = 2;
    std::filesystem::create_directories(dir / "NandFlash");
    std::ofstream out(dir / "NandFlash" / "NandFlash.Zip", std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
    const std::vector<char> bytes(kMiB, static_cast<char>(0x5A));
    out.write(bytes.data(), 512);
    for (std::uint32_t i = 0; i < kFrames; ++i)
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.write(bytes.data(), 512);
    return dir;
}

void BM_DownloadProject(benchmark::State& state)
{
    const auto kind = static_cast<usb::UsbKind>(state.range(0));
    static const std::filesystem::path project = writeImage();
    const double imageMiB = static_cast<double>(std::filesystem::file_size(project / "NandFlash" / "NandFlash.Zip")) / kMiB;
    NoWait wait;
    ReportQueue reports;
    std::atomic<int> compiling{0}, downloading{0}, abort{0}, total{0}, done{0};
    DownloadFlags flags{compiling, downloading, abort, total, done};
    std::size_t transfers = 0;
    std::clock_t cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        virtual_panel::SimUsbHost host;
        const bench::BenchPanel b = bench::addBenchPanel(host, kind, [](virtual_panel::SimPanelSettings& s) {
            s.info.hardwareMajor = 3;
            s.info.hardwareMinor = 2;
        });
        const auto& panel = b.panel;
        DownloadJob job;
        job.host = &host;
        job.device = b.device;
        job.info = panel->settings().info;
        job.projectDir = project;
        job.options = encodeDownloadOptions({});
        job.wait = &wait;
        job.reports = &reports;
        state.ResumeTiming();
        const std::clock_t start = std::clock();
        if (!DownloadProjectThread(job, flags))
            state.SkipWithError("download failed");
        cpu += std::clock() - start;
        transfers += panel->transferCount();
        reports.drain([](Report&) {});
    }
    const double iterations = static_cast<double>(state.iterations());
    const double piece = kind == usb::UsbKind::Disk ? static_cast<double>(kDiskChunkSize) : static_cast<double>(kPacketSize);
    state.counters["transfers_per_MiB"] = static_cast<double>(transfers) / iterations / imageMiB;
    // What is sent: the image less the unused header area, plus the parameter block,
    // directory, table and start map page; each piece one command and one result word.
    const double sent = (imageMiB - 2.0) * kMiB + 512 + 2048 + 2 * 0x4000 + 512;
    state.counters["framing_minimum_per_MiB"] = (sent / piece + 2.0 * (kFrames + 8)) / imageMiB;
    state.counters["cpu_ms_per_MiB"] = 1000.0 * static_cast<double>(cpu) / CLOCKS_PER_SEC / iterations / imageMiB;
    state.SetLabel(bench::kindLabel(kind));
}

BENCHMARK(BM_DownloadProject)
    ->Apply(bench::eachKind)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
