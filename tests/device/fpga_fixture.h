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

// A panel of `kind` switched into upgrade mode, with its JTAG link.
struct JtagBench {
    explicit JtagBench(usb::UsbKind kind, sim::SimFpgaSettings fpga = {})
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
    std::vector<sim::SimTransfer> wire() const
    {
        auto all = panel->transfers();
        return {all.begin() + static_cast<std::ptrdiff_t>(opened), all.end()};
    }

    sim::SimUsbHost host;
    std::shared_ptr<sim::SimPanel> panel;
    std::unique_ptr<PanelConnection> connection;
    std::unique_ptr<jtag::JtagLink> link;
    std::size_t opened = 0;
    std::vector<jtag::JtagPacket> packets;
    std::vector<std::uint8_t> states;
};

} // namespace qv::device::test
