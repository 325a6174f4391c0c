// The picture tool: block writes over UDP to the simulated panel on 127.0.0.1, beside the
// throughput of waiting in 1 ms polls (one 1280-byte datagram per poll at best), and the
// conversion of a picture into its flash record.
#include <benchmark/benchmark.h>

#include "device/virtual_panel/sim_udp_panel.h"
#include "picture_tool/link/udp_tool_link.h"
#include "picture_tool/picture/picture_record.h"

namespace {

using namespace qv;
using namespace qv::picture_tool;

// What a sender that looks for the answer once a millisecond can reach at most.
constexpr double kPollingBytesPerSecond = 1280.0 * 1000.0;

void BM_UdpBlockWrite(benchmark::State& state)
{
    const auto block = static_cast<std::size_t>(state.range(0));
    device::virtual_panel::SimPanelSettings s;
    s.kind = usb::UsbKind::EzUsb;
    auto panel = std::make_shared<device::virtual_panel::SimPanel>(s);
    panel->setRecording(false);
    device::virtual_panel::SimUdpPanel peer(panel);
    std::atomic<bool> abort{false};
    TransferContext context{&abort, {}};
    auto link = UdpToolLink::open({{127, 0, 0, 1}, peer.port()}, 0, context);
    if (!link) {
        state.SkipWithError("no UDP link");
        return;
    }
    const std::vector<std::uint8_t> data(block, 0x5A);
    std::uint32_t address = 0x20000;
    for (auto _ : state) {
        std::uint32_t status = 0;
        if (!link->writeBlock(data, address, status) || status != 0) {
            state.SkipWithError("block write failed");
            break;
        }
        address = 0x20000 + (address + static_cast<std::uint32_t>(block)) % (16u << 20);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block));
    state.counters["polling_MBps"] = kPollingBytesPerSecond / 1e6;
}
BENCHMARK(BM_UdpBlockWrite)->Arg(16 << 10)->Arg(128 << 10)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PictureRecord(benchmark::State& state)
{
    const auto g = *flashGeometry(static_cast<int>(state.range(0)));
    Surface picture(800, 480, rgb(0, 0, 0));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, rgb(x & 0xFF, y & 0xFF, (x + y) & 0xFF));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto record = pictureRecord(picture, g, WhiteRule::Keep);
        bytes = record.size();
        benchmark::DoNotOptimize(record.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_PictureRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
