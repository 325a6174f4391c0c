#pragma once
// A simulated panel of one kind with an open connection to it, and the wire forms the
// tests expect, written out from the command tables.
#include "device/link/panel_connection.h"
#include "device/virtual_panel/sim_usb_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv::device::test {

using Bytes = std::vector<std::uint8_t>;

inline const char* kindName(usb::UsbKind k)
{
    switch (k) {
    case usb::UsbKind::EzUsb: return "EzUsb";
    case usb::UsbKind::Hid: return "Hid";
    case usb::UsbKind::Disk: return "Disk";
    }
    return "?";
}

inline virtual_panel::SimPanelSettings settingsOfKind(usb::UsbKind kind, std::string name = "p")
{
    virtual_panel::SimPanelSettings s;
    s.kind = kind;
    s.name = std::move(name);
    if (kind == usb::UsbKind::EzUsb)
        s.id = {0x04B4, 0x8613};
    return s;
}

inline usb::UsbCandidate candidateOf(virtual_panel::SimUsbHost& host, usb::UsbKind kind)
{
    const usb::UsbId ez{0x04B4, 0x8613};
    auto list = kind == usb::UsbKind::EzUsb ? host.vendorDevices(std::span(&ez, 1))
                : kind == usb::UsbKind::Hid ? host.hidDevices({0x5345, 0x1256})
                                            : host.usbDisks();
    EXPECT_EQ(list.size(), 1u);
    return list.at(0);
}

struct SimLink {
    explicit SimLink(usb::UsbKind kind)
    {
        panel = host.add(settingsOfKind(kind));
        connection = PanelConnection::open(host, candidateOf(host, kind));
        opened = panel->transferCount(); // a disk's signature read at the open
    }
    // The transfers since the connection opened.
    std::vector<virtual_panel::SimTransfer> wire() const
    {
        auto all = panel->transfers();
        return {all.begin() + static_cast<std::ptrdiff_t>(opened), all.end()};
    }
    PanelFraming& link() { return connection->framing(); }

    virtual_panel::SimUsbHost host;
    std::shared_ptr<virtual_panel::SimPanel> panel;
    std::unique_ptr<PanelConnection> connection;
    std::size_t opened = 0;
};

// The command frame as each kind sends it: the bare bytes (vendor driver), a 65-byte report
// with id 0 and the marker, or a 64-byte block with the marker.
inline Bytes commandFrame(usb::UsbKind kind, const Bytes& command)
{
    if (kind == usb::UsbKind::EzUsb)
        return command;
    const std::size_t at = kind == usb::UsbKind::Hid ? 1 : 0;
    Bytes frame(kind == usb::UsbKind::Hid ? 65 : 64, 0);
    std::copy(command.begin(), command.end(), frame.begin() + static_cast<std::ptrdiff_t>(at));
    const char marker[] = "usb-hid";
    std::copy(marker, marker + 7, frame.begin() + 10);
    return frame;
}

inline Bytes writeCdb(std::size_t length)
{
    return {0x2A, 0, 0, 0, 0, 100, 0, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length), 0, 0, 0};
}

inline Bytes mailboxReadCdb()
{
    return {0x28, 0, 0, 0, 0, 100, 0, 0, 64, 0, 0, 0};
}

// Checks one transfer as the command of `kind`.
inline void expectCommand(usb::UsbKind kind, const virtual_panel::SimTransfer& t, const Bytes& command)
{
    EXPECT_TRUE(t.out);
    EXPECT_EQ(t.bytes, commandFrame(kind, command));
    if (kind == usb::UsbKind::EzUsb) {
        EXPECT_EQ(t.pipe, 1);
    }
    if (kind == usb::UsbKind::Disk) {
        EXPECT_EQ(t.cdb, writeCdb(64));
    }
}

// Checks one transfer as a reply read of `kind` (`n` bytes on the vendor driver).
inline void expectReplyRead(usb::UsbKind kind, const virtual_panel::SimTransfer& t, std::size_t n)
{
    EXPECT_FALSE(t.out);
    if (kind == usb::UsbKind::EzUsb) {
        EXPECT_EQ(t.pipe, 0);
        EXPECT_EQ(t.bytes.size(), n);
    }
    if (kind == usb::UsbKind::Hid) {
        EXPECT_EQ(t.bytes.size(), 64u); // the report without its id
    }
    if (kind == usb::UsbKind::Disk) {
        EXPECT_EQ(t.cdb, mailboxReadCdb());
    }
}

inline constexpr usb::UsbKind kAllKinds[] = {usb::UsbKind::EzUsb, usb::UsbKind::Hid, usb::UsbKind::Disk};

} // namespace qv::device::test
