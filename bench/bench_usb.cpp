// Block writes through each kind's framing to the simulated panel: transfers per MiB beside
// the framing's minimum (64-byte packets on the vendor driver and HID, 0xFC00-byte chunks on
// the disk, one command and one result read per block; the panel may rely on these sizes),
// and the host's CPU time per MiB (the reported time: one iteration writes 1 MiB).
#include <benchmark/benchmark.h>

#include "bench/sim_panel_bench.h"
#include "device/commands/panel_commands.h"
#include "device/link/panel_connection.h"

#include <vector>

namespace {

using namespace qv;
using namespace qv::device;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kBlock = 0x4000; // one NAND block per write, as the download writes

void BM_UsbWriteBlock(benchmark::State& state)
{
    const auto kind = static_cast<usb::UsbKind>(state.range(0));
    virtual_panel::SimUsbHost host;
    const bench::BenchPanel b = bench::addBenchPanel(host, kind);
    const auto& panel = b.panel;
    auto connection = PanelConnection::open(host, b.device);
    const std::vector<std::uint8_t> block(kBlock, 0xA5);
    const std::size_t before = panel->transferCount();
    for (auto _ : state) {
        for (std::size_t at = 0; at < kMiB; at += kBlock) {
            std::uint32_t result = 0;
            if (UsbWriteBlock(connection->framing(), block, 0x200000 + static_cast<std::uint32_t>(at), {}, result) != 0)
                state.SkipWithError("block write failed");
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    const std::size_t piece = connection->framing().dataPieceSize();
    const double minimum = (kMiB / kBlock) * (2.0 + static_cast<double>((kBlock + piece - 1) / piece));
    state.counters["transfers_per_MiB"] = static_cast<double>(panel->transferCount() - before) / iterations;
    state.counters["framing_minimum_per_MiB"] = minimum;
    state.SetLabel(bench::kindLabel(kind));
}

BENCHMARK(BM_UsbWriteBlock)
    ->Apply(bench::eachKind)
    ->Unit(benchmark::kMillisecond);

} // namespace
