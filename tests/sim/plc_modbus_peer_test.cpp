// The Modbus RTU master and slave links against libmodbus over pseudo-terminals: two pty pairs
// joined by a copier thread stand in for the cable, the port under test opens one terminal
// through the COM map and libmodbus the other. The tick runs on a fake clock; the test waits
// for the replies the monitor thread parses.
#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <sys/eventfd.h>

#include <atomic>
#include <thread>

#include "sim/plc/com_port_io.h"
#include "sim/plc/mc8051_plc_requests.h"
#include "sim/plc/serial_dispatch.h"
#include "tests/platform/serial_pty_fixture.h"
#include "tests/sim/panel_services_fixture.h"
#include "tests/sim/plc_fixture.h"
#include "config/settings/protocol_numbers.h"

namespace qv::test {
namespace {

using namespace qv::sim::plc;
namespace proto = qv::protocol;
using namespace std::chrono_literals;

// Copies bytes both ways between the far ends of two pty pairs until stopped.
class PtyCable {
public:
    PtyCable() : stop_(::eventfd(0, EFD_CLOEXEC)), thread_([this] { run(); }) {}
    ~PtyCable()
    {
        const std::uint64_t one = 1;
        (void)::write(stop_, &one, sizeof one);
        thread_.join();
        ::close(stop_);
    }
    const std::string& portSide() const { return a_.path(); }
    const std::string& peerSide() const { return b_.path(); }

private:
    void run()
    {
        for (;;) {
            pollfd fds[3] = {{a_.peer(), POLLIN, 0}, {b_.peer(), POLLIN, 0}, {stop_, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0)
                continue;
            if (fds[2].revents)
                return;
            copy(fds[0], a_, b_);
            copy(fds[1], b_, a_);
        }
    }
    static void copy(const pollfd& from, const PtyPeer& in, const PtyPeer& out)
    {
        if (!(from.revents & POLLIN))
            return;
        unsigned char buf[512];
        const ssize_t n = ::read(in.peer(), buf, sizeof buf);
        if (n > 0)
            out.send(std::vector<unsigned char>(buf, buf + n));
    }
    PtyPeer a_, b_;
    int stop_;
    std::thread thread_;
};

// Hands the port's bytes to the links and wakes the test.
class LinkOwner : public CComPortOwner {
public:
    explicit LinkOwner(PlcLinks& links) : links_(links) {}
    void OnPortByte(unsigned char byte, int com) override
    {
        DispatchSerialByte(links_, nullptr, {}, byte, com);
        { std::lock_guard g(m); ++bytes; }
        cv.notify_all();
    }
    bool waitFor(const std::function<bool()>& done)
    {
        std::unique_lock lock(m);
        return cv.wait_for(lock, 10s, done);
    }
    std::mutex m;
    std::condition_variable cv;
    int bytes = 0;

private:
    PlcLinks& links_;
};

constexpr int kCom = 7;

struct ModbusPeer {
    explicit ModbusPeer(const std::string& path) : ctx(modbus_new_rtu(path.c_str(), 19200, 'N', 8, 1))
    {
        modbus_set_slave(ctx, 1);
        if (modbus_connect(ctx) != 0)
            throw std::runtime_error("libmodbus cannot open the cable");
    }
    ~ModbusPeer()
    {
        modbus_close(ctx);
        modbus_free(ctx);
    }
    modbus_t* ctx;
};

// libmodbus serving a mapping as station 1 until stopped.
struct ModbusServer : ModbusPeer {
    explicit ModbusServer(const std::string& path)
        : ModbusPeer(path), mapping(modbus_mapping_new(200, 0, 100, 100)), thread([this] { run(); })
    {
    }
    ~ModbusServer()
    {
        stop = true;
        thread.join();
        modbus_mapping_free(mapping);
    }
    void run()
    {
        // The indication time-out only lets the loop look at the stop flag.
        modbus_set_indication_timeout(ctx, 0, 20000);
        if (std::getenv("QV_MODBUS_DEBUG"))
            modbus_set_debug(ctx, TRUE);
        std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop) {
            const int rc = modbus_receive(ctx, query);
            {
                std::lock_guard g(m);
                if (rc > 0)
                    modbus_reply(ctx, query, rc, mapping);
                if (rc >= 0)
                    ++received;
            }
            if (rc >= 0)
                cv.notify_all();
        }
    }
    std::uint16_t reg(int i)
    {
        std::lock_guard g(m);
        return mapping->tab_registers[i];
    }
    std::uint8_t coil(int i)
    {
        std::lock_guard g(m);
        return mapping->tab_bits[i];
    }
    // Waits until `count` requests (any station) were taken off the line.
    bool waitReceived(int count)
    {
        std::unique_lock lock(m);
        return cv.wait_for(lock, 10s, [&] { return received >= count; });
    }
    std::mutex m;
    std::condition_variable cv;
    int received = 0;
    modbus_mapping_t* mapping;
    std::atomic<bool> stop{false};
    std::thread thread;
};

struct LinkOverCable {
    explicit LinkOverCable(int protocol) : rig(protocol)
    {
        mapComPorts({{kCom, cable.portSide()}});
        rig.settings.com = {kCom, kCom + 1};
        rig.settings.connected = {true, false};
        rig.apply();
        links.setSettings(rig.settings);
        EXPECT_TRUE(port.InitPort(&owner, kCom, 19200, 'N', 8, 1, CommEvent::RxChar, 4096)) << port.LastErrorText();
        port.StartMonitoring();
        io.setPort(1, &port);
    }
    ~LinkOverCable()
    {
        io.setPort(1, nullptr);
        port.ClosePort();
    }
    PtyCable cable;
    PlcRig rig;
    ComPortIo io;
    PlcLinks links{rig.block, *rig.live, *rig.shown, io, rig.io};
    LinkOwner owner{links};
    CComPort port;
};

TEST(ModbusPeer, MasterPollsAndWritesALibmodbusSlave)
{
    LinkOverCable link(proto::ModbusMaster);
    ModbusServer server(link.cable.peerSide());
    {
        std::lock_guard g(server.m);
        for (int i = 0; i < 4; ++i)
            server.mapping->tab_registers[i] = static_cast<std::uint16_t>(0x1111 * (i + 1));
        server.mapping->tab_input_registers[10] = 0xAAAA;
        server.mapping->tab_input_registers[11] = 0xBBBB;
        for (int i = 0; i < 16; ++i)
            server.mapping->tab_bits[100 + i] = (i % 3) == 0;
    }
    auto writeOnly = plcRecord(3, 50, 1, 400);
    writeOnly.flags = 1;
    link.links.setSettings(link.rig.settings);
    link.links.rebuild([&] {
        link.rig.block.reset();
        std::string rows(4 * kRecordSize, '\0');
        const PlcMapRecord records[] = {plcRecord(3, 0, 4, 100), plcRecord(4, 10, 2, 200), plcRecord(1, 100, 16, 300), writeOnly};
        for (std::size_t i = 0; i < 4; ++i)
            plcmap::EncodeRecord(records[i], rows, i * kRecordSize);
        link.rig.block.appendRows(rows, 1);
        link.rig.block.setCurrent(1, 0);
    });
    std::int64_t now = 0;
    auto tick = [&] { link.links.tick(now += 5, 0); };
    auto awaitReply = [&] {
        tick();
        ASSERT_TRUE(link.owner.waitFor([&] { return link.links.pollState(1) != Sent; }));
    };
    link.rig.live->write(400, 2, 0x5150);
    for (int record = 0; record < 3; ++record) {
        awaitReply();
        tick();
    }
    EXPECT_EQ(link.rig.live->read(100, 8), 0x4444333322221111u);
    EXPECT_EQ(link.rig.live->read(200, 4), 0xBBBBAAAAu);
    EXPECT_EQ(link.rig.live->read(300, 2), 0x9249u); // every third coil from 100

    // The write-only record goes to the slot and out; then three run-time changes, in order.
    tick();                                        // record 4 moves into the slot
    tick();                                        // done with it
    ASSERT_TRUE(link.links.isSlotBusy(1));
    awaitReply();
    EXPECT_EQ(server.reg(50), 0x5150);
    link.rig.live->writeByte(101, 0x77);
    link.links.onVarWrite(101, 1, std::vector<std::uint8_t>{0x77}, 0);             // function 6
    link.rig.live->writeByte(301, 0x08);
    link.links.onVarWrite(301, 0x80000003u, std::vector<std::uint8_t>{0x08}, 0);   // coil 111, function 5
    link.rig.live->write(104, 4, 0x0A0B0C0Du);
    link.links.onVarWrite(104, 4, std::vector<std::uint8_t>{0x0D, 0x0C, 0x0B, 0x0A}, 0); // function 16
    for (int i = 0; i < 3; ++i)
        awaitReply();
    EXPECT_FALSE(link.links.isSlotBusy(1));
    EXPECT_EQ(server.reg(0), 0x7711);
    EXPECT_EQ(server.coil(111), 1);
    EXPECT_EQ(server.reg(2), 0x0C0D);
    EXPECT_EQ(server.reg(3), 0x0A0B);
}

// The user's program writes a register through its write request; the request stays busy
// until the slave's echo, and a port whose protocol is no Modbus master takes none.
TEST(ModbusPeer, UserProgramWriteReachesALibmodbusSlave)
{
    LinkOverCable link(proto::ModbusMaster); // port 2 stays free
    ModbusServer server(link.cable.peerSide());
    const auto requests = MakePlcRequests(link.links);
    sim::test::PanelFixture f(link.rig.live.get());
    f.services.state().context.plc = requests.get();
    ASSERT_NO_FATAL_FAILURE(f.load(R"(
void main(void)
{
    M16(0x0100) = 0x5150;
    CmdAdr1 = 1; CmdAdr2 = 1; CmdAdr3 = 1; P2(20); P3(0x0100); CALL(80);
    M8(0x2000) = CmdAdr1;
    CmdAdr1 = 1; CALL(81); M8(0x2001) = CmdAdr1;
    CmdAdr1 = 2; CmdAdr2 = 1; CmdAdr3 = 1; P2(21); P3(0x0100); CALL(80);
    M8(0x2002) = CmdAdr1;
    M8(0x20F0) = 0xA5;
    while (M8(0x2100) == 0) {}
    CmdAdr1 = 1; CALL(81); M8(0x2003) = CmdAdr1;
    M8(0x20F0) = 0x5A;
    while (1) {}
}
)"));
    ASSERT_TRUE(f.runUntilDone());
    EXPECT_EQ(link.rig.live->byteAt(0x2000), 1);
    EXPECT_EQ(link.rig.live->byteAt(0x2001), 1); // queued, not yet sent
    EXPECT_EQ(link.rig.live->byteAt(0x2002), 0); // port 2 is no Modbus master

    link.links.tick(5, 0);
    ASSERT_TRUE(link.owner.waitFor([&] { return !link.links.isSlotBusy(1); }));
    ASSERT_TRUE(server.waitReceived(1));
    EXPECT_EQ(server.reg(20), 0x5150);
    EXPECT_EQ(server.reg(21), 0);

    link.rig.live->setByteAt(0x2100, 1);
    ASSERT_TRUE(f.runOnUntil(0x5A));
    EXPECT_EQ(link.rig.live->byteAt(0x2003), 0); // free after the echo
}

TEST(ModbusPeer, SilentPeerOpensTheNoResponseWindowAndAnAnswerClosesIt)
{
    LinkOverCable link(proto::ModbusMaster);
    link.links.rebuild([&] {
        link.rig.block.reset();
        std::string rows(kRecordSize, '\0');
        plcmap::EncodeRecord(plcRecord(3, 0, 1, 100, 20), rows, 0);
        link.rig.block.appendRows(rows, 1);
        link.rig.block.setCurrent(1, 0);
    });
    // Nobody listens yet: three polls time out.
    std::int64_t now = 0;
    for (int poll = 0; poll < 3; ++poll) {
        link.links.tick(now += 5, 0);
        link.links.tick(now += 100, 0); // 20 units: timed out
    }
    EXPECT_EQ(link.rig.io.windows, (std::vector<int>{1}));
    // libmodbus answers the waiting requests and the next one; the first answer counts.
    ModbusServer server(link.cable.peerSide());
    link.links.tick(now += 5, 0);
    ASSERT_TRUE(link.owner.waitFor([&] { return link.links.pollState(1) != Sent; }));
    link.links.tick(now += 5, 0);
    EXPECT_EQ(link.rig.io.windows, (std::vector<int>{1, -1}));
}

TEST(ModbusPeer, SlaveAnswersALibmodbusMasterThroughTheBases)
{
    LinkOverCable link(proto::ModbusSlave);
    link.rig.settings.ports[0].deviceAddress = 1;
    link.rig.settings.slaveRegisterBase = 100;
    link.rig.settings.slaveHmiBase = 200;
    link.links.setSettings(link.rig.settings);
    ModbusPeer master(link.cable.peerSide());
    // Answers come whenever a busy machine gets to them: the time-out only guards a hang.
    modbus_set_response_timeout(master.ctx, 30, 0);

    link.rig.live->write(204, 2, 0x1234);
    std::uint16_t regs[2] = {};
    ASSERT_EQ(modbus_read_registers(master.ctx, 102, 1, regs), 1);
    EXPECT_EQ(regs[0], 0x1234);
    ASSERT_EQ(modbus_write_register(master.ctx, 101, 0xABCD), 1);
    EXPECT_EQ(link.rig.live->read(202, 2), 0xABCDu);
    const std::uint16_t two[2] = {0x0102, 0x0304};
    ASSERT_EQ(modbus_write_registers(master.ctx, 100, 2, two), 2);
    EXPECT_EQ(link.rig.live->read(200, 4), 0x03040102u);

    // Requests the slave leaves unanswered: the master gives up after a shorter wait, which
    // no answer can beat because none is sent.
    const auto before = link.rig.live->snapshot();
    modbus_set_response_timeout(master.ctx, 0, 500000);
    EXPECT_EQ(modbus_read_registers(master.ctx, 99, 1, regs), -1);          // below the base
    EXPECT_EQ(modbus_write_registers(master.ctx, 0x7FFF, 2, two), -1);      // leaves the bank
    modbus_flush(master.ctx);
    EXPECT_TRUE(before == link.rig.live->snapshot());
    // ... and they left nothing on the line: the next request gets its own answer.
    modbus_set_response_timeout(master.ctx, 30, 0);
    ASSERT_EQ(modbus_read_registers(master.ctx, 102, 1, regs), 1);
    EXPECT_EQ(regs[0], 0x1234);
}

} // namespace
} // namespace qv::test
