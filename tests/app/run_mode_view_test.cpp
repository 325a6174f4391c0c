// The simulator's run-mode view with real mouse events: controls of the shown screen react,
// the port writer hears each change before the bank holds it, the key click plays once per
// press, a touch controller's pen packets press the view at the panel point, and timer 0
// follows the period the user code asks for.
#include "model/params/block_bytes.h"
#include "model/document/touch_block.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "sim/runtime/var_write.h"
#include "app/view/run_view_link.h"
#include "tests/app/run_view_fixture.h"
#include "tests/platform/serial_pty_fixture.h"
#include "tests/sim/plc_peer_bytes.h"
#include "config/settings/protocol_numbers.h"

#include <cstring>
#include <thread>

namespace qv::test {
namespace {

class Recorder : public sim::PortWriter {
public:
    explicit Recorder(const VarBank& bank) : bank_(bank) {}
    void OnVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t>) override
    {
        seen.push_back({address, length, bank_.readByte(address).value_or(0)});
    }
    struct Seen {
        std::int64_t address;
        std::uint32_t length;
        std::uint8_t before;
    };
    std::vector<Seen> seen;

private:
    const VarBank& bank_;
};

class RunModeView : public RunViewFixture {
protected:
    void SetUp() override
    {
        RunViewFixture::SetUp();
        ASSERT_FALSE(HasFailure());
        recorder = std::make_unique<Recorder>(app->m_VarMemRun);
        runtime->SetPortWriter(recorder.get());
        runtime->keyClick = [this] { ++clicks; };
        ASSERT_NO_FATAL_FAILURE(showSimulator());
    }
    // A bit switch on the screen setting bit 0 of byte 900 (panel rectangle 100..200 x 100..150).
    CDrawObj& bitSwitch()
    {
        auto obj = std::make_unique<CDrawRect>(Rect{138, 138, 238, 188});
        obj->SetKind(ShapeKind::BitSwitch);
        blockWriteI32(obj->m_Params, 20, 900);
        return *doc->AddObject(std::move(obj));
    }
    void clickSim(Point p) { QTest::mouseClick(simView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y)); }

    std::unique_ptr<Recorder> recorder;
    int clicks = 0;
};

TEST_F(RunModeView, RealClicksReachTheShownScreen)
{
    bitSwitch();
    ASSERT_EQ(app->m_strSimScreen, "win0.drw");
    clickSim({150, 150});
    EXPECT_EQ(app->m_VarMemRun.readByte(900), 1);
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(recorder->seen[0].length, sim::kBitChange | 0u);
    EXPECT_EQ(recorder->seen[0].before, 0); // announced before the store
    const auto keySound = SystemVarAddress(*app, SystemVar::KeySound, 1);
    EXPECT_EQ(clicks, keySound && app->m_VarMem.readByte(*keySound).value_or(0) != 0 ? 1 : 0);

    clickSim({600, 400}); // outside: nothing changes
    EXPECT_EQ(recorder->seen.size(), 1u);
}

// Calibrated so that raw = panel point (scale 1, offset 0); then pen up and pen down at a
// panel point inside the bit switch.
std::vector<std::uint8_t> calibratedPenPackets(TouchCalibration& block)
{
    block[touch::kMarker] = 0x88;
    const float one = 1.0f;
    std::memcpy(&block[touch::kScaleX], &one, 4);
    std::memcpy(&block[touch::kScaleY], &one, 4);
    std::vector<std::uint8_t> bytes;
    for (std::uint8_t head : {std::uint8_t{0x81}, std::uint8_t{0x80}}) {
        const int x = 120, y = 110;
        for (std::uint8_t b : {head, std::uint8_t(y >> 7), std::uint8_t(y & 0x7F), std::uint8_t(x >> 7), std::uint8_t(x & 0x7F)})
            bytes.push_back(b);
    }
    return bytes;
}

TEST_F(RunModeView, PenPacketsPressTheViewAtThePanelPoint)
{
    bitSwitch();
    for (std::uint8_t b : calibratedPenPackets(app->ProjectDoc()->m_TouchCalibration))
        simView->OnTouchScreenByte(b);
    EXPECT_EQ(app->m_VarMemRun.readByte(900), 1);
}

// The bytes come from the project's serial port 1 set to the touch protocol: the port's
// monitor thread hands them on, the view gets them on the GUI thread.
TEST_F(RunModeView, PenPacketsFromTheProjectsSerialPortPressTheView)
{
    bitSwitch();
    CDrawDoc* project = app->ProjectDoc();
    const auto bytes = calibratedPenPackets(project->m_TouchCalibration);
    RunViewLink link(*app);
    link.Attach(*simView);
    runtime->SetTouchSink(&link);
    project->SetSettingI32(settings::kProtocol1, protocol::ResistiveTouch);
    // No COM port was listed when the project opened: port 1 is down until it is mapped.
    ASSERT_FALSE(project->IsSerialPortConnected(0));
    PtyPeer peer;
    mapComPorts({{project->m_serial.com1, peer.path()}});
    project->ConnectSerialPort1();
    ASSERT_TRUE(project->IsSerialPortConnected(0));
    runtime->PollPlcPorts(); // the links take the connected port

    peer.send({bytes.begin(), bytes.end()});
    EXPECT_TRUE(waitFor([&] { return app->m_VarMemRun.readByte(900).value_or(0) == 1; }, 20000));

    project->DisconnectSerialPort1(); // joins the monitor thread
    qv::test::mapNoComPorts();
    runtime->SetTouchSink(nullptr);
    link.Detach(*simView);
}

TEST_F(RunModeView, TimerZeroTakesTheCodesPeriod)
{
    app->m_nTimer0Request = 0; // a 0 ms period runs at the fastest allowed instead
    EXPECT_TRUE(waitFor([&] { return driver->Timer0()->interval() == sim::RunTimers::kTimer0FastestMs; }));
    app->m_nTimer0Request = 30;
    EXPECT_TRUE(waitFor([&] { return driver->Timer0()->interval() == 30; }));
}

TEST_F(RunModeView, PanelWriteOfTheScreenNumberSwitchesOnTheGuiThread)
{
    CDrawDoc* project = app->ProjectDoc();
    {
        CDrawDoc second;
        second.m_nWindowWidth = 800;
        second.m_nWindowHeight = 480;
        DocumentError error;
        ASSERT_TRUE(second.OnSaveDocument(dir.path() / "demo" / "window" / "win1.drw", &error)) << error.messageGbk;
    }
    project->AddScreenName("win1.drw");
    const auto address = SystemVarAddress(*app, SystemVar::HuaMian, 1);
    ASSERT_TRUE(address);
    struct Case {
        int port;
        std::uint8_t screen;
        const char* shown;
    };
    // Port 2 also shows what it writes; the switch must still happen.
    for (const Case c : {Case{1, 1, "win1.drw"}, Case{2, 0, "win0.drw"}}) {
        SCOPED_TRACE(c.port);
        const std::string before = app->m_strSimScreen;
        project->SetSettingI32(c.port == 1 ? settings::kProtocol1 : settings::kProtocol2, protocol::PanelBinary);
        (c.port == 1 ? project->m_serial.station1 : project->m_serial.station2) = 5;
        (c.port == 1 ? project->m_bPort1Connected : project->m_bPort2Connected) = 1;
        app->PollPlcPorts();
        const int com = c.port == 1 ? project->m_serial.com1 : project->m_serial.com2;
        // The port's monitor thread: the bytes, then nothing of the GUI's before the join.
        std::thread monitor([&] {
            for (std::uint8_t b : sim::plc::peer::panel(0, 5, static_cast<std::uint32_t>(*address), {c.screen}, 1))
                app->OnSerialByte(b, com);
        });
        monitor.join();
        EXPECT_EQ(app->m_VarMemRun.readByte(*address), c.screen);
        EXPECT_EQ(app->m_strSimScreen, before); // not switched on the monitor thread
        EXPECT_TRUE(waitFor([&] { return app->m_strSimScreen == c.shown; }));
    }
}

} // namespace
} // namespace qv::test
