// The user code a simulation start runs: with the panel's services of the run time, reaching
// the view link (refresh, timer 0), the PLC requests (by default the links', which take a
// write only on a connected Modbus master port) and the bytes the project's ports receive.
#include <gtest/gtest.h>

#include <fstream>
#include <condition_variable>
#include <mutex>

#include "model/app/emulator_flags.h"
#include "sim/runtime/sim_runtime.h"
#include "config/settings/protocol_numbers.h"
#include "tests/model/vars_fixture.h"
#include "tests/sim/panel_services_fixture.h"
#include "tests/sim/plc_peer_bytes.h"
#include "tests/platform/serial_pty_fixture.h"

namespace qv::sim {
namespace {

using test::FakeView;

// Tells the test each time the program asks for a repaint; it is never shown, so the program
// goes on at once.
class SignallingView : public FakeView {
public:
    bool requestRunModePaint() override
    {
        const bool shown = FakeView::requestRunModePaint();
        {
            std::lock_guard lock(mutex_);
        }
        asked_.notify_all();
        return shown;
    }
    bool waitForRequests(int count)
    {
        std::unique_lock lock(mutex_);
        return asked_.wait_for(lock, std::chrono::minutes(2), [&] { return paintRequests.load() >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable asked_;
};

class RecordingPlc : public Mc8051PlcRequests {
public:
    struct Write {
        int link;
        std::uint8_t station, count;
        std::uint16_t registerAddress, memoryAddress;
    };
    bool QueueSerialWrite(int link, std::uint8_t station, std::uint8_t count, std::uint16_t registerAddress,
                          std::uint16_t memoryAddress) override
    {
        std::lock_guard lock(mutex);
        writes.push_back({link, station, count, registerAddress, memoryAddress});
        return true;
    }
    bool IsSerialRequestBusy(int) override { return true; }
    std::mutex mutex;
    std::vector<Write> writes;
};

class SimUserCode : public qv::test::ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        MC8051StopRequest = 0;
        runtime = std::make_unique<SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
        view.shown = false; // nothing paints: the refresh does not wait
        runtime->SetViewLink(&view);
    }
    void TearDown() override
    {
        runtime->StopUserCode();
        app->SetSimulationServices(nullptr);
        runtime.reset();
    }
    // Both serial ports connected, port 1 a Modbus master; the links take it on their tick.
    void connectPorts()
    {
        project->SetSettingI32(settings::kProtocol1, protocol::ModbusMaster);
        project->m_bPort1Connected = 1;
        project->m_bPort2Connected = 1;
        app->PollPlcPorts();
    }
    // Builds the program as the project's user code and starts the simulation.
    void start(const std::string& body)
    {
        std::string hex;
        const std::filesystem::path headers = headerDir.path();
        ASSERT_NO_FATAL_FAILURE(test::compileToIntelHex(std::string(test::kProgramPrelude) + body, hex, &headers));
        std::filesystem::create_directories(dir / "MC8051");
        std::ofstream(dir / "MC8051" / "MC8051.hex") << hex;
        app->m_bLoadSavedVars = 1;
        app->RebuildSimulation();
        ASSERT_TRUE(runtime->HasUserCodeThread());
    }
    qv::test::TempDir headerDir;
    SignallingView view;
    std::unique_ptr<SimRuntime> runtime;
};

constexpr const char* kProgram = R"(
void main(void)
{
    CmdAdr1 = 1; CALL(1);
    P1(35); CALL(3);
    CmdAdr1 = 1; CmdAdr2 = 7; CmdAdr3 = 2; P2(0x100); P3(0x2100); CALL(80);
    M8(0x2000) = CmdAdr1;
    CmdAdr1 = 2; CALL(81);
    M8(0x2001) = CmdAdr1;
    CmdAdr1 = 1; CALL(1); /* the end: a second repaint request */
    DONE();
}
)";

TEST_F(SimUserCode, StartedCodeReachesTheViewAndThePlcRequests)
{
    // `recording`: a seam of its own answers; otherwise the links do, refusing the write
    // unless port 1 is a connected Modbus master; the program asks whether link 2 is busy,
    // which holds no write.
    struct Case {
        bool recording;
        bool modbusMaster;
        std::uint8_t queued, busy;
    };
    for (const Case c : {Case{false, false, 0, 0}, Case{true, false, 1, 1}, Case{false, true, 1, 0}}) {
        SCOPED_TRACE(testing::Message() << c.recording << c.modbusMaster);
        RecordingPlc plc;
        runtime->SetPlcRequests(c.recording ? &plc : nullptr);
        if (c.modbusMaster)
            connectPorts();
        view.paintRequests = 0;
        ASSERT_NO_FATAL_FAILURE(start(kProgram));
        ASSERT_TRUE(view.waitForRequests(2));
        runtime->StopUserCode(); // joins the thread: what it wrote is seen from here on
        EXPECT_EQ(view.paintRequests.load(), 2);
        EXPECT_EQ(view.autoRefresh.load(), 1);
        EXPECT_EQ(view.period.load(), 35);
        EXPECT_EQ(app->m_VarMemRun.readByte(0x2000), c.queued);
        EXPECT_EQ(app->m_VarMemRun.readByte(0x2001), c.busy);
        if (c.recording) {
            ASSERT_EQ(plc.writes.size(), 1u);
            EXPECT_EQ(plc.writes[0].link, 1);
            EXPECT_EQ(plc.writes[0].station, 7);
            EXPECT_EQ(plc.writes[0].count, 2);
            EXPECT_EQ(plc.writes[0].registerAddress, 0x100);
            EXPECT_EQ(plc.writes[0].memoryAddress, 0x2100);
        }
        runtime->SetPlcRequests(nullptr);
    }
}

TEST_F(SimUserCode, PortBytesReachTheRunningProgramsSerialInterrupt)
{
    connectPorts();
    ASSERT_NO_FATAL_FAILURE(start(std::string(test::kSerialRecorder) + R"(
void main(void)
{
    count = 0;
    EA = 1; ES = 1;
    CmdAdr1 = 1; CALL(1); /* ready for the bytes */
    while (count < 2) {}
    ES = 0;
    CmdAdr1 = 1; CALL(1);
    DONE();
}
)"));
    // The run's start empties the ring: the bytes go once the program has asked for its paint.
    ASSERT_TRUE(view.waitForRequests(1));
    const SerialParams& serial = project->m_serial;
    app->OnSerialByte('h', serial.com1);
    app->OnSerialByte('i', serial.com2);
    ASSERT_TRUE(view.waitForRequests(2));
    runtime->StopUserCode();
    EXPECT_EQ(app->m_VarMemRun.readByte(0x3000), 1) << "COMNUM";
    EXPECT_EQ(app->m_VarMemRun.readByte(0x3001), 'h') << "SBUF";
    EXPECT_EQ(app->m_VarMemRun.readByte(0x3002), 2) << "COMNUM";
    EXPECT_EQ(app->m_VarMemRun.readByte(0x3003), 'i') << "SBUF";
}

TEST_F(SimUserCode, ARequestAfterTheProjectClosedReachesNoneOfItsPorts)
{
    // Port 1 a connected Modbus slave on a pseudo-terminal: a request arriving on it is
    // answered at once, from the monitor thread, without a tick that would take the settings
    // again.
    qv::test::PtyPeer peer;
    const int com = project->m_serial.com1;
    qv::test::mapComPorts({{com, peer.path()}});
    qv::test::RecordingOwner owner;
    ASSERT_TRUE(project->m_ComPort1.InitPort(&owner, com, 9600, 'N', 8, 1, CommEvent::RxChar, 4096));
    ASSERT_TRUE(project->m_ComPort1.StartMonitoring());
    project->SetSettingI32(settings::kProtocol1, protocol::ModbusSlave);
    project->m_serial.station1 = 1;
    project->m_bPort1Connected = 1;
    app->PollPlcPorts();
    const auto request = plc::peer::withCrc({1, 3, 0, 0, 0, 1});
    // While the project is open the request reaches its port: the answer comes out there.
    for (std::uint8_t b : request)
        app->OnSerialByte(b, com);
    const auto answer = peer.receive(7, std::chrono::seconds(30));
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_EQ(std::vector<unsigned char>(answer.begin(), answer.begin() + 3), (std::vector<unsigned char>{1, 3, 2}));

    app->CloseAllDocuments(); // the project's ports are gone with it, their queues written out
    for (std::uint8_t b : request)
        app->OnSerialByte(b, com); // a dangling port would be written here
    // A port's writes go out from its own thread: a second answer is given time to arrive (a
    // slower machine only makes this look less, never fail wrongly; ASan sees a freed port).
    EXPECT_TRUE(peer.receive(1, std::chrono::milliseconds(500)).empty()) << "no second answer";
}

} // namespace
} // namespace qv::sim
