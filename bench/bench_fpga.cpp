// The FPGA upgrade's programming run against the simulated panel's JTAG target, per kind of
// panel: USB transfers and JTAG packets per programmed row (a row is programmed, verified and
// locked), and the host's CPU time per row. The erase poll's waits are skipped.
#include <benchmark/benchmark.h>

#include "device/commands/panel_commands.h"
#include "device/fpga/fpga_program.h"
#include "bench/sim_panel_bench.h"
#include "device/link/panel_connection.h"
#include "tests/device/fpga_image_builder.h"

#include <ctime>

namespace {

using namespace qv;
using namespace qv::device;

constexpr std::uint16_t kRows = 128;
constexpr std::uint8_t kSegments = 2;

class NoWait final : public WaitClock {
public:
    void sleepFor(std::chrono::milliseconds) override {}
};

void BM_FpgaProgramRows(benchmark::State& state)
{
    const auto kind = static_cast<usb::UsbKind>(state.range(0));
    test::ImageShape shape;
    shape.rows = kRows;
    shape.segments = kSegments;
    const test::BuiltImage image = test::buildImage(shape);
    const auto checks = fpga::ParseCheckData("conflicts none\n");
    if (!checks) {
        state.SkipWithError("check data");
        return;
    }
    NoWait wait;
    std::size_t transfers = 0, packets = 0;
    std::clock_t cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        virtual_panel::SimUsbHost host;
        const bench::BenchPanel b = bench::addBenchPanel(host, kind);
        const auto& panel = b.panel;
        auto connection = PanelConnection::open(host, b.device);
        if (!connection || !StartFirmwareUpgrade(connection->framing())) {
            state.SkipWithError("no panel");
            return;
        }
        const std::size_t before = panel->transferCount();
        jtag::JtagLink link(connection->framing());
        link.setTrace([&packets](const jtag::JtagPacket&, std::uint8_t) { ++packets; });
        fpga::FpgaHooks hooks;
        hooks.clock = &wait;
        hooks.checks = &*checks;
        state.ResumeTiming();
        const std::clock_t start = std::clock();
        if (fpga::FpgaRunProgram(link, image.bytes, hooks) != 0)
            state.SkipWithError("programming failed");
        cpu += std::clock() - start;
        transfers += panel->transferCount() - before;
    }
    const double rows = static_cast<double>(state.iterations()) * kRows;
    state.counters["usb_transfers_per_row"] = static_cast<double>(transfers) / rows;
    state.counters["jtag_packets_per_row"] = static_cast<double>(packets) / rows;
    state.counters["cpu_ms_per_row"] = 1000.0 * static_cast<double>(cpu) / CLOCKS_PER_SEC / rows;
    state.SetLabel(bench::kindLabel(kind));
}

BENCHMARK(BM_FpgaProgramRows)
    ->Apply(bench::eachKind)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
