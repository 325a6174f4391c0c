// The user's 8051 code in the simulator, through the real run-mode view: its refresh waits
// for the view's paint (or goes on when the view is hidden, closed or the run stops), its
// timer-0 period reaches the view's timer, its text reaches the project's serial port 1, its
// picture lands on the run canvas, and a press on the view plays the key click once.
#include "app/bindings/simulator/simulator_wiring.h"
#include "model/app/emulator_flags.h"
#include "model/params/block_bytes.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "platform/serial/com_resolver.h"
#include "tests/app/run_view_fixture.h"
#include "tests/platform/serial_pty_fixture.h"
#include "tests/sim/panel_services_fixture.h"
#include "tests/sim/sound_fixture.h"

#include "platform/sound/mixer_player.h"
#include "tests/fixtures/disk_audio.h"

#include <QImage>

#include <cstdlib>
#include <fstream>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kDone = sim::test::kDoneAddress;

// Three refresh waits, each followed by its count; the period of timer 0; "hello" on port 1;
// a 10 x 10 picture at the canvas's corner.
constexpr const char* kProgram = R"(
void main(void)
{
    unsigned char i;
    const char *text = "hello";
    P1(40); CALL(3);
    for (i = 1; i <= 3; i++) {
        M8(0x2000) = i;
        CmdAdr1 = 1; CALL(1);
        M8(0x2001) = i;
    }
    while (*text) { CmdAdr1 = *text++; CALL(5); }
    M16(0x2100) = 0; M16(0x2102) = 0; M16(0x2104) = 10; M16(0x2106) = 10;
    M8(0x2108) = 'P'; M8(0x2109) = '.'; M8(0x210A) = 'B'; M8(0x210B) = 'M'; M8(0x210C) = 'P'; M8(0x210D) = 0;
    P1(0x2100); CmdAdr1 = 11; CALL(97);
    M8(0x2002) = CmdAdr1;
    DONE();
}
)";

class SimulatorUserCode : public RunViewFixture {
protected:
    void SetUp() override
    {
        const char* map = std::getenv(kComMapEnv);
        oldComMap = map ? std::optional<std::string>(map) : std::nullopt;
        mapComPorts({{1, peer.path()}}); // the project's port 1 opens on the pseudo-terminal
        MC8051StopRequest = 0;
        RunViewFixture::SetUp();
        ASSERT_FALSE(HasFailure());
        sound = std::make_unique<sim::SoundService>(soundPlayer());
        wiring = std::make_unique<SimulatorWiring>(*app, *runtime, soundPlayer(), *sound);
        ASSERT_NO_FATAL_FAILURE(showSimulator());
    }
    void TearDown() override
    {
        runtime->StopUserCode();
        simView.reset(); // leaves the link before the link goes
        wiring.reset();
        sound.reset();
        RunViewFixture::TearDown();
        oldComMap ? (void)::setenv(kComMapEnv, oldComMap->c_str(), 1) : (void)::unsetenv(kComMapEnv);
    }
    virtual SoundPlayer& soundPlayer() { return player; }
    fs::path projectDir() const { return app->m_strProjectDir; }
    // Builds `source` as the project's user code and starts the simulation.
    void startUserCode(const std::string& source)
    {
        std::string hex;
        const fs::path headers = headerDir.path();
        ASSERT_NO_FATAL_FAILURE(sim::test::compileToIntelHex(std::string(sim::test::kProgramPrelude) + source, hex, &headers));
        fs::create_directories(projectDir() / "MC8051");
        std::ofstream(projectDir() / "MC8051" / "MC8051.hex") << hex;
        app->m_bLoadSavedVars = 1;
        app->RebuildSimulation();
        ASSERT_TRUE(runtime->HasUserCodeThread());
    }
    void writePicture()
    {
        const fs::path folder = app->BaseDir() / "images" / fs::path(u8"其它工具软件") / fs::path(u8"Tessolin软件") / "Pic";
        fs::create_directories(folder);
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        ASSERT_TRUE(red.save(QString::fromStdString((folder / "P.BMP").string()), "BMP"));
    }
    int live(int address) const { return app->m_VarMemRun.readByte(address).value_or(-1); }
    ColorRef canvasPixel(int x, int y)
    {
        ColorRef c = kInvalidColor;
        wiring->ViewLink().DrawOnRunCanvas([&](Surface& s) { c = s.getPixel(x, y); });
        return c;
    }

    PtyPeer peer;
    std::optional<std::string> oldComMap;
    TempDir headerDir;
    RecordingPlayer player;
    std::unique_ptr<sim::SoundService> sound;
    std::unique_ptr<SimulatorWiring> wiring;
};

TEST_F(SimulatorUserCode, ServicesReachTheViewThePortAndTheCanvas)
{
    ASSERT_NO_FATAL_FAILURE(writePicture());
    simView->viewport()->setUpdatesEnabled(false); // the first refresh cannot be served yet
    ASSERT_NO_FATAL_FAILURE(startUserCode(kProgram));
    EXPECT_TRUE(waitFor([&] { return MC8051RepaintWait.load() == 1; }));
    EXPECT_EQ(live(0x2000), 1);
    EXPECT_EQ(live(0x2001), 0); // waiting for the paint

    simView->viewport()->setUpdatesEnabled(true);
    simView->viewport()->update();
    EXPECT_TRUE(waitFor([&] { return live(kDone) == 0xA5; }));
    EXPECT_EQ(live(0x2001), 3);
    EXPECT_GE(app->m_VarMem.readByte(0x2000).value_or(0), 3); // the paint showed the live bank
    EXPECT_TRUE(waitFor([&] { return driver->Timer0()->interval() == 40; }));

    const std::vector<unsigned char> text = peer.receive(5, std::chrono::minutes(1));
    EXPECT_EQ(std::string(text.begin(), text.end()), "hello");
    EXPECT_EQ(live(0x2002), 1);
    EXPECT_EQ(canvasPixel(5, 5), rgb(255, 0, 0));
}

TEST_F(SimulatorUserCode, WaitingCodeGoesOnWithoutAPaintingView)
{
    enum class End { Hide, Close, Stop };
    for (const End end : {End::Hide, End::Close, End::Stop}) {
        SCOPED_TRACE(static_cast<int>(end));
        if (!simView) {
            ASSERT_NO_FATAL_FAILURE(showSimulator());
        } else if (!simView->isVisible()) {
            simView->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(simView.get()));
        }
        simView->viewport()->setUpdatesEnabled(false);
        ASSERT_NO_FATAL_FAILURE(startUserCode(kProgram));
        EXPECT_TRUE(waitFor([&] { return MC8051RepaintWait.load() == 1; }));
        switch (end) {
        case End::Hide: simView->hide(); break;
        case End::Close: simView.reset(); break;
        case End::Stop:
            runtime->StopUserCode(); // returns: the waiting program is let go and joined
            EXPECT_EQ(MC8051Running.load(), 0);
            EXPECT_EQ(live(0x2001), 0);
            continue;
        }
        EXPECT_TRUE(waitFor([&] { return live(kDone) == 0xA5; }));
        EXPECT_EQ(live(0x2001), 3);
        runtime->StopUserCode();
    }
}

TEST_F(SimulatorUserCode, PressPlaysTheKeyClickOnce)
{
    fs::create_directories(app->BaseDir() / "images" / "Sound");
    std::ofstream(app->BaseDir() / "images" / "Sound" / fs::path(u8"蜂鸣器.wav")) << "RIFF";
    for (int i = 0; i < 2; ++i) { // two controls under the press
        auto obj = std::make_unique<CDrawRect>(Rect{138, 138, 238, 188});
        obj->SetKind(ShapeKind::BitSwitch);
        blockWriteI32(obj->m_Params, 20, 900);
        doc->AddObject(std::move(obj));
    }
    const auto keySound = SystemVarAddress(*app, SystemVar::KeySound, 1);
    ASSERT_TRUE(keySound);
    struct Case {
        std::uint8_t keySound;
        std::size_t clicks;
    };
    for (const Case c : {Case{1, 1}, Case{0, 0}}) {
        SCOPED_TRACE(c.keySound);
        player.clicks.clear();
        app->m_VarMem.writeByte(*keySound, c.keySound);
        app->m_VarMemRun.writeByte(*keySound, c.keySound);
        QTest::mousePress(simView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
        QTest::mouseRelease(simView->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
        ASSERT_EQ(player.clicks.size(), c.clicks);
        if (c.clicks) {
            EXPECT_EQ(player.clicks[0].filename(), fs::path(u8"蜂鸣器.wav"));
        }
    }
}

// The program's sound through the program's own sound device, with SDL's disk driver.
class SimulatorUserCodeSound : public SimulatorUserCode {
protected:
    SoundPlayer& soundPlayer() override { return *mixer; }
    DiskAudio audio; // before the player: the driver is chosen when it opens
    std::unique_ptr<MixerSoundPlayer> mixer = std::make_unique<MixerSoundPlayer>();
};

TEST_F(SimulatorUserCodeSound, ProgramsWaveIsHeard)
{
    fs::create_directories(projectDir() / "UsbDisk");
    WriteBytes(projectDir() / "UsbDisk" / "TONE.WAV", MakeToneWave(0.3));
    ASSERT_NO_FATAL_FAILURE(startUserCode(R"(
void main(void)
{
    const char *name = "U:\\tone.wav";
    unsigned int i = 0;
    while (name[i]) { M8(0x2200 + i) = name[i]; i++; }
    M8(0x2200 + i) = 0;
    P1(0x2200); CmdAdr1 = 1; CALL(65);
    M8(0x2003) = CmdAdr1;
    do { CmdAdr1 = 3; CALL(65); } while (CmdAdr1 < 100);
    DONE();
}
)"));
    EXPECT_TRUE(waitFor([&] { return live(kDone) == 0xA5; }, 60000));
    EXPECT_EQ(live(0x2003), 1);
    runtime->StopUserCode();
    wiring.reset();
    sound.reset();
    mixer.reset(); // closes the device and its file
    EXPECT_GT(LoudestSample(audio.raw()), 1000);
}

// As a new user: the program picks the voice library on its USB disk and speaks "12"; the
// waves of both characters, tones here, reach SDL's disk driver.
TEST_F(SimulatorUserCodeSound, ProgramsSpeechIsHeard)
{
    const int firstDigit = sim::kYykHanziEntries + 1;
    ASSERT_NO_FATAL_FAILURE(WriteLibrary(projectDir() / "UsbDisk" / "SOUND.YYK", [&](int n) {
        return n == firstDigit || n == firstDigit + 1 ? MakeToneWave(0.2, 22050, 300.0 * (n - firstDigit + 1)) : EntryWave(n);
    }));
    ASSERT_NO_FATAL_FAILURE(startUserCode(R"(
void copy(unsigned int to, const char *text)
{
    while (*text) M8(to++) = *text++;
    M8(to) = 0;
}
void main(void)
{
    copy(0x2200, "u:\\sound.yyk");
    copy(0x2300, "12");
    P1(0x2200); CmdAdr1 = 7; CALL(65);
    M8(0x2003) = CmdAdr1;
    P1(0x2300); CmdAdr1 = 5; CALL(65);
    M8(0x2004) = CmdAdr1;
    do { CmdAdr1 = 3; CALL(65); } while (CmdAdr1 < 100);
    DONE();
}
)"));
    EXPECT_TRUE(waitFor([&] { return live(kDone) == 0xA5; }, 60000));
    EXPECT_EQ(live(0x2003), 1);
    EXPECT_EQ(live(0x2004), 1);
    runtime->StopUserCode();
    wiring.reset();
    sound.reset();
    mixer.reset(); // closes the device and its file
    EXPECT_GT(LoudestSample(audio.raw()), 1000);
    EXPECT_TRUE(fs::exists(projectDir() / "temp" / "UsbDiskTemp" / "1"));
    EXPECT_TRUE(fs::exists(projectDir() / "temp" / "UsbDiskTemp" / "2"));
}

} // namespace
} // namespace qv::test
