// Bytes from a PLC or a panel-protocol peer into the links' parsers: the first byte picks the
// protocol and the element type of the record in flight, the rest arrive on port 1 with a tick
// every 16 bytes. Only the asked range of the bank may change.
#include <array>
#include <memory>

#include "fuzz/fuzz_target.h"
#include "model/vars/var_bank.h"
#include "sim/plc/plc_links.h"
#include "config/settings/protocol_numbers.h"

namespace qv::fuzz {
namespace {

struct NoPorts : sim::plc::PlcPortIo, sim::plc::PlcEvents {
    void send(int, std::span<const std::uint8_t>, bool) override {}
};

constexpr std::array<int, 8> kProtocols{protocol::ModbusMaster, protocol::MitsubishiFx, protocol::SiemensPpi,
                                        protocol::DeltaDvp,     protocol::FatekFb,      protocol::OmronCj,
                                        protocol::ModbusSlave,  protocol::PanelBinary};
constexpr std::uint16_t kHmi = 0x1000;

} // namespace

void RunOne(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return;
    const int protocol = kProtocols[data[0] % kProtocols.size()];
    auto live = std::make_unique<VarBank>();
    auto shown = std::make_unique<VarBank>();
    sim::plc::PlcProtocolBlock block;
    NoPorts ports;
    sim::plc::PlcLinks links(block, *live, *shown, ports, ports);
    sim::plc::PlcSettings settings;
    settings.ports[0] = {protocol, 256, 1};
    settings.slaveHmiBase = 0xF000;
    links.setSettings(settings);
    plcmap::MappingRecord record;
    record.station = 1;
    record.elementType = static_cast<std::uint8_t>(1 + (data[0] >> 3) % 8);
    record.elementNumber = 200;
    record.count = static_cast<std::uint16_t>(1 + (data[0] >> 6));
    record.hmiAddress = kHmi;
    record.port = 1;
    record.timeout5 = 50;
    links.rebuild([&] {
        std::string row(plcmap::kRecordSize, '\0');
        plcmap::EncodeRecord(record, row, 0);
        block.appendRows(row, 1);
        block.setCurrent(1, 0);
    });
    std::int64_t now = 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (i % 16 == 1)
            links.tick(now += 5, 0);
        links.onByte(1, data[i]);
    }
    // Masters store at most 4 bytes per element at the record; the slave and the panel
    // protocol write wherever their frames say (inside the bank), so only masters are checked.
    if (protocol == protocol::ModbusSlave || protocol == protocol::PanelBinary)
        return;
    const auto bytes = live->snapshot();
    for (std::size_t a = 0; a < bytes.size(); ++a)
        require(bytes[a] == 0 || (a >= kHmi && a < kHmi + 4u * record.count), "a reply wrote outside its record");
}

} // namespace qv::fuzz
