#pragma once
// Synthetic programming images, a made-up check table and a simulated panel in upgrade mode
// for the FPGA programming tests.
#include "device/commands/panel_commands.h"
#include "device/fpga/fpga_checks.h"
#include "device/jtag/jtag_link.h"
#include "tests/device/fpga_image_builder.h"
#include "tests/device/sim_link_fixture.h"

namespace qv::device::test {

// A made-up check table: three variant vectors, a dual-key vector and one conflict rule
// that fires on security byte 0 bit 7.
inline fpga::CheckData testChecks()
{
    auto data = fpga::ParseCheckData("variant1 000102030405060708090a0b0c0d0e0f\n"
                                     "variant2 101112131415161718191a1b1c1d1e1f\n"
                                     "variant3 202122232425262728292a2b2c2d2e2f\n"
                                     "dualkey 303132333435363738393a3b3c3d3e3f\n"
                                     "conflict 33 0 0x80 0x80\n");
    return *data;
}

// The link's moves as written out here (target, from, clocks, TMS; from 0: any state), in the
// order the link looks them up; the move-table test walks each through the standard TAP.
inline constexpr jtag::JtagMove kTapMoves[] = {
    {1, 0, 5, 0x1F}, {2, 1, 1, 0x00}, {2, 5, 2, 0x01}, {2, 6, 2, 0x01}, {2, 7, 3, 0x03}, {2, 8, 3, 0x03},
    {2, 11, 3, 0x03}, {3, 1, 4, 0x02}, {3, 2, 4, 0x02}, {3, 7, 5, 0x07}, {3, 8, 5, 0x07}, {4, 1, 5, 0x06},
    {4, 2, 5, 0x06}, {4, 7, 6, 0x0F}, {4, 8, 6, 0x0F}, {4, 9, 4, 0x03}, {7, 2, 4, 0x05}, {7, 5, 1, 0x00},
    {8, 6, 1, 0x00}, {9, 5, 1, 0x01}, {9, 6, 1, 0x01}, {11, 8, 5, 0x0E},
};

inline std::optional<jtag::JtagMove> tapMove(std::uint8_t target, std::uint8_t from)
{
    for (const jtag::JtagMove& m : kTapMoves)
        if (m.target == target && (m.from == 0 || m.from == from))
            return m;
    return std::nullopt;
}

// A 64-byte packet as it must go out: command, three parameter bytes, the data length, the data.
inline jtag::JtagPacket jtagPacket(std::uint8_t c, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3,
                                   std::span<const std::uint8_t> data, std::size_t n)
{
    jtag::JtagPacket p;
    p.bytes[0] = c;
    p.bytes[1] = b1;
    p.bytes[2] = b2;
    p.bytes[3] = b3;
    p.bytes[4] = static_cast<std::uint8_t>(n);
    for (std::size_t i = 0; i < n && i < data.size(); ++i)
        p.bytes[5 + i] = data[i];
    return p;
}

// A panel of `kind` switched into upgrade mode, with its JTAG link.
struct JtagBench {
    explicit JtagBench(usb::UsbKind kind, virtual_panel::SimFpgaSettings fpga = {})
    {
        auto s = settingsOfKind(kind);
        s.fpga = std::move(fpga);
        panel = host.add(s);
        connection = PanelConnection::open(host, candidateOf(host, kind));
        EXPECT_TRUE(StartFirmwareUpgrade(connection->framing()));
        opened = panel->transferCount();
        link = std::make_unique<jtag::JtagLink>(connection->framing());
        link->setTrace([this](const jtag::JtagPacket& p, std::uint8_t state) {
            packets.push_back(p);
            states.push_back(state);
        });
    }
    std::vector<virtual_panel::SimTransfer> wire() const
    {
        auto all = panel->transfers();
        return {all.begin() + static_cast<std::ptrdiff_t>(opened), all.end()};
    }

    virtual_panel::SimUsbHost host;
    std::shared_ptr<virtual_panel::SimPanel> panel;
    std::unique_ptr<PanelConnection> connection;
    std::unique_ptr<jtag::JtagLink> link;
    std::size_t opened = 0;
    std::vector<jtag::JtagPacket> packets;
    std::vector<std::uint8_t> states;
};

} // namespace qv::device::test
