#pragma once
// A simulated panel of one kind for the panel-link benchmarks (transfers counted, not kept),
// the device a scan finds for it, and the benchmark arguments and labels of the three kinds.
#include "device/virtual_panel/sim_usb_host.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace qv::device::bench {

struct BenchPanel {
    std::shared_ptr<virtual_panel::SimPanel> panel;
    usb::UsbCandidate device;
};

inline BenchPanel addBenchPanel(virtual_panel::SimUsbHost& host, usb::UsbKind kind,
                                void (*adjust)(virtual_panel::SimPanelSettings&) = nullptr)
{
    virtual_panel::SimPanelSettings settings;
    settings.kind = kind;
    settings.name = "bench";
    if (kind == usb::UsbKind::EzUsb)
        settings.id = {0x04B4, 0x8613};
    if (adjust)
        adjust(settings);
    BenchPanel b;
    b.panel = host.add(settings);
    b.panel->setRecording(false);
    const usb::UsbId ez{0x04B4, 0x8613};
    b.device = (kind == usb::UsbKind::EzUsb ? host.vendorDevices(std::span(&ez, 1))
                : kind == usb::UsbKind::Hid ? host.hidDevices({0x5345, 0x1256})
                                            : host.usbDisks()).at(0);
    return b;
}

inline const char* kindLabel(usb::UsbKind kind)
{
    return kind == usb::UsbKind::EzUsb ? "ezusb" : kind == usb::UsbKind::Hid ? "hid" : "disk";
}

// ->Apply(eachKind): one run per kind, the kind as range(0).
inline void eachKind(::benchmark::internal::Benchmark* b)
{
    for (const usb::UsbKind kind : {usb::UsbKind::EzUsb, usb::UsbKind::Hid, usb::UsbKind::Disk})
        b->Arg(static_cast<int>(kind));
}

} // namespace qv::device::bench
