// Block writes through each kind's framing to the simulated panel: transfers per MiB beside
// the framing's minimum (64-byte packets on the vendor driver and HID, 0xFC00-byte chunks on
// the disk, one command and one result read per block; the panel may rely on these sizes),
// and the host's CPU time per MiB (the reported time: one iteration writes 1 MiB).
#include <benchmark/benchmark.h>

#include "device/commands/panel_commands.h"
#include "device/link/panel_connection.h"
#include "device/simpanel/sim_usb_host.h"

#include <vector>

namespace {

using namespace qv;
using namespace qv::device;

constexpr std::size_t kMiB = 1 << 20;
constexpr std::size_t kBlock = 0x4000; // one NAND block per write, as the download writes

void BM_UsbWriteBlock(benchmark::State& state)
{
    const auto kind = static_cast<usb::UsbKind>(state.range(0));
    sim::SimUsbHost host;
    sim::SimPanelSettings settings;
    settings.kind = kind;
    settings.name = "bench";
    if (kind == usb::UsbKind::EzUsb)
        settings.id = {0x04B4, 0x8613};
    auto panel = host.add(settings);
    panel->setRecording(false);
    const usb::UsbId ez{0x04B4, 0x8613};
    const auto found = kind == usb::UsbKind::EzUsb ? host.vendorDevices(std::span(&ez, 1))
                       : kind == usb::UsbKind::Hid ? host.hidDevices({0x5345, 0x1256})
                                                   : host.usbDisks();
    auto connection = PanelConnection::open(host, found.at(0));
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
    state.SetLabel(kind == usb::UsbKind::EzUsb ? "ezusb" : kind == usb::UsbKind::Hid ? "hid" : "disk");
}

BENCHMARK(BM_UsbWriteBlock)
    ->Arg(static_cast<int>(usb::UsbKind::EzUsb))
    ->Arg(static_cast<int>(usb::UsbKind::Hid))
    ->Arg(static_cast<int>(usb::UsbKind::Disk))
    ->Unit(benchmark::kMillisecond);

} // namespace
