// The PLC links' speed. Bytes per second along the road every received byte of a project port
// takes (`DispatchSerialByte`: the program's ring, then the port's parser), per protocol; each
// reply is asked for by the tick as in a run, and the ticks of a poll are timed with it. Then
// the communication tick with a full record area of 4,000 records: every tick walking past
// records of other screens, and every tick sending or timing out one record.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/vars/var_bank.h"
#include "sim/plc/plc_links.h"
#include "sim/plc/serial_dispatch.h"
#include "sim/serial/serial_rx_ring.h"
#include "tests/sim/plc_peer_bytes.h"
#include "config/settings/protocol_numbers.h"

namespace {

using namespace qv::sim::plc;
using namespace qv::sim::plc::peer;
namespace proto = qv::protocol;

constexpr int kCom = 1;
constexpr std::uint16_t kHmi = 100;

struct CountingPorts : PlcPortIo, PlcEvents {
    void send(int, std::span<const std::uint8_t>, bool) override { ++frames; }
    long frames = 0;
};

PlcMapRecord record(std::uint8_t type, std::uint16_t number, std::uint16_t count, std::uint8_t screen = 0xFF,
                    std::uint16_t timeout5 = 200)
{
    PlcMapRecord r;
    r.station = 1;
    r.elementType = type;
    r.elementNumber = number;
    r.count = count;
    r.hmiAddress = kHmi;
    r.screen = screen;
    r.port = 1;
    r.timeout5 = timeout5;
    return r;
}

struct Bench {
    explicit Bench(int protocol)
    {
        PlcSettings s;
        s.ports[0] = {protocol, 256, 1};
        s.com = {kCom, kCom + 1};
        s.connected = {true, false};
        links.setSettings(s);
    }
    void load(const std::vector<PlcMapRecord>& records)
    {
        links.rebuild([&] {
            block.reset();
            std::string rows(records.size() * kRecordSize, '\0');
            for (std::size_t i = 0; i < records.size(); ++i)
                qv::plcmap::EncodeRecord(records[i], rows, i * kRecordSize);
            block.appendRows(rows, 1);
            block.setCurrent(1, 0);
        });
    }
    void tick() { links.tick(now += 5, 0); }
    void feed(const Bytes& bytes)
    {
        for (const std::uint8_t b : bytes)
            DispatchSerialByte(links, ring.get(), EmulatorGate{}, b, kCom);
    }

    PlcProtocolBlock block;
    std::unique_ptr<qv::VarBank> live = std::make_unique<qv::VarBank>();
    std::unique_ptr<qv::VarBank> shown = std::make_unique<qv::VarBank>();
    CountingPorts ports;
    PlcLinks links{block, *live, *shown, ports, ports};
    std::unique_ptr<qv::sim::SerialRxRing> ring = std::make_unique<qv::sim::SerialRxRing>();
    std::int64_t now = 0;
};

// One poll of a protocol: the record asked for, the peer's bytes between ticks, and the first
// byte the reply stores at the record (checked once, so a wrong script cannot time nothing).
struct Poll {
    const char* name;
    int protocol;
    std::vector<PlcMapRecord> records; // empty: the peer asks (slave, panel protocol)
    std::vector<Bytes> replies;        // a tick before each
    std::uint8_t stored;
};

std::vector<Poll> polls()
{
    Bytes registers{1, 3, 16};
    for (int i = 0; i < 16; ++i)
        registers.push_back(static_cast<std::uint8_t>(0x20 + i));
    Bytes slaveWrite{1, 16, 0, 50, 0, 8, 16}; // eight registers from the base
    for (int i = 0; i < 16; ++i)
        slaveWrite.push_back(static_cast<std::uint8_t>(0x20 + i));
    Bytes panelData(16);
    for (std::size_t i = 0; i < panelData.size(); ++i)
        panelData[i] = static_cast<std::uint8_t>(0x40 + i);
    return {
        {"modbus_master", proto::ModbusMaster, {record(3, 0, 8)}, {withCrc(registers)}, 0x21},
        {"fx", proto::MitsubishiFx, {record(4, 0, 4)}, {fx("3412785634127856")}, 0x34},
        {"ppi", proto::SiemensPpi, {record(6, 0, 1)}, {{0xE5}, ppiReply(6, {1, 2, 3, 4})}, 4},
        {"delta", proto::DeltaDvp, {record(5, 235, 1)}, {delta({1, 3, 4, 1, 2, 3, 4})}, 4},
        {"fatek", proto::FatekFb, {record(4, 10, 4)}, {fatek("01460" "1234567812345678")}, 0x34},
        {"omron", proto::OmronCj, {record(3, 100, 4)},
         {omron("@01FA00" + std::string(20, '0') + "0101" + "0000" + "1234567812345678")}, 0x34},
        {"modbus_slave", proto::ModbusSlave, {}, {withCrc(slaveWrite)}, 0x21},
        {"panel", proto::PanelBinary, {}, {panel(0, 1, kHmi, panelData, 16)}, 0x40},
    };
}

void BM_SerialBytes(benchmark::State& state, const Poll& poll)
{
    Bench b(poll.protocol);
    if (poll.protocol == proto::ModbusSlave) {
        PlcSettings s = b.links.settings();
        s.slaveRegisterBase = 50;
        s.slaveHmiBase = kHmi;
        b.links.setSettings(s);
    }
    b.load(poll.records);
    const auto once = [&] {
        for (const Bytes& reply : poll.replies) {
            b.tick();
            b.feed(reply);
        }
        b.tick(); // the poll is done: on to the next record
    };
    once();
    if (b.live->readByte(kHmi) != poll.stored) {
        state.SkipWithError("the scripted reply was not stored");
        return;
    }
    std::size_t bytes = 0;
    for (const Bytes& reply : poll.replies)
        bytes += reply.size();
    for (auto _ : state) {
        once();
        b.ring->clear(); // the program would take them
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// 4,000 records; `shown`: all on the shown screen with a time-out of one unit, so every tick
// sends one or times it out; else all on another screen, so every tick walks all of them.
void BM_TickWith4000Records(benchmark::State& state)
{
    const bool shown = state.range(0) != 0;
    Bench b(proto::ModbusMaster);
    b.load(std::vector<PlcMapRecord>(kMaxRecords, record(3, 0, 1, shown ? 0 : 4, 1)));
    for (auto _ : state)
        b.tick();
    state.counters["frames_per_tick"] =
        benchmark::Counter(static_cast<double>(b.ports.frames) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_TickWith4000Records)->ArgName("shown")->Arg(0)->Arg(1);

[[maybe_unused]] const bool registered = [] {
    static const std::vector<Poll> all = polls();
    for (const Poll& p : all)
        benchmark::RegisterBenchmark((std::string("BM_SerialBytes/") + p.name).c_str(),
                                     [&p](benchmark::State& s) { BM_SerialBytes(s, p); });
    return true;
}();

} // namespace
