// "升级固件" on the offscreen platform: the list, the worker's messages, and what acts while
// the worker runs.
#include "device/fpga/fpga_data_file.h"
#include "device/ui/fpga_update_dlg.h"
#include "tests/app/qt_app.h"
#include "tests/device/fpga_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <system_error>

namespace qv::device::test {
namespace {

constexpr int kFailSafeMs = 120000; // the waits below end on the worker's signal

void writeFile(const std::filesystem::path& p, const Bytes& bytes)
{
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
}

// Holds the erase poll's first wait until the test opens it.
struct GateClock final : WaitClock {
    void sleepFor(std::chrono::milliseconds) override
    {
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
    }
    void waitEntered()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return entered; });
    }
    void release()
    {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool open = false;
};

struct DialogBench {
    explicit DialogBench(usb::UsbKind kind = usb::UsbKind::EzUsb, virtual_panel::SimFpgaSettings fpga = {})
    {
        qv::test::qtApp();
        auto s = settingsOfKind(kind);
        s.fpga = std::move(fpga);
        panel = host.add(s);
        list.Rebuild(kind == usb::UsbKind::EzUsb ? std::vector{candidateOf(host, kind)} : std::vector<usb::UsbCandidate>{},
                     kind == usb::UsbKind::Hid ? std::vector{candidateOf(host, kind)} : std::vector<usb::UsbCandidate>{},
                     {});
    }
    FpgaUpdateServices services(WaitClock& clock)
    {
        FpgaUpdateServices s;
        s.host = &host;
        s.list = &list;
        s.baseDir = base.path();
        s.clock = &clock;
        s.messageBox = [this](const std::string& text) { boxes.push_back(text); };
        s.resultDialog = [this](bool ok) { results.push_back(ok); };
        return s;
    }
    std::filesystem::path fpgaDir() const { return base.path() / "images" / "hex" / "fpga"; }

    qv::test::TempDir base;
    virtual_panel::SimUsbHost host;
    std::shared_ptr<virtual_panel::SimPanel> panel;
    UsbDeviceList list;
    std::vector<std::string> boxes;
    std::vector<bool> results;
};

QStringList listed(const CDlgFpgaUpdate& d)
{
    QStringList names;
    for (int i = 0; i < d.fileCombo()->count(); ++i)
        names << d.fileCombo()->itemText(i);
    names.sort();
    return names;
}

void expectIdle(const CDlgFpgaUpdate& d)
{
    EXPECT_FALSE(d.running());
    EXPECT_TRUE(d.startButton()->isEnabled());
    EXPECT_TRUE(d.fileCombo()->isEnabled());
    EXPECT_FALSE(d.abortButton()->isEnabled());
    EXPECT_EQ(d.progressBar()->value(), 0);
}

TEST(CDlgFpgaUpdate, ListsLowerCaseDatAndVgaFilesOnly)
{
    DialogBench bench;
    for (const char* name : {"a.dat", "b.vga", "C.DAT", "notes.txt"})
        writeFile(bench.fpgaDir() / name, {1});
    std::filesystem::create_directories(bench.fpgaDir() / "d.dat");
    SteadyWaitClock clock;
    CDlgFpgaUpdate dialog(bench.services(clock));
    EXPECT_EQ(listed(dialog), (QStringList{QStringLiteral("a.dat"), QStringLiteral("b.vga")}));
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(u8"升级固件"));
}

TEST(CDlgFpgaUpdate, FileProblemsStopTheWorkerWithTheDialogAsItWas)
{
    struct Case {
        const char* name;
        std::optional<Bytes> file;
        std::string box;
    };
    Bytes noMagic(2048, 0);
    const Case cases[] = {
        {"short", Bytes(100, 0), "文件错误1!"},
        {"no magic", noMagic, "文件错误2!!"},
        {"gone", std::nullopt, "找不到文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogBench bench;
        writeFile(bench.fpgaDir() / "a.dat", c.file.value_or(Bytes{1}));
        SteadyWaitClock clock;
        CDlgFpgaUpdate dialog(bench.services(clock));
        dialog.show();
        if (!c.file)
            std::filesystem::remove(bench.fpgaDir() / "a.dat");
        QSignalSpy finished(&dialog, &CDlgFpgaUpdate::workerFinished);
        QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
        ASSERT_TRUE(finished.wait(kFailSafeMs));
        EXPECT_EQ(bench.boxes, std::vector<std::string>{c.box});
        EXPECT_TRUE(bench.results.empty());
        expectIdle(dialog);
        EXPECT_FALSE(bench.panel->claimed()) << "the connection is closed";
        EXPECT_EQ(bench.panel->events().upgrades, 0);
    }
}

// No thread for the worker: the message, the controls as they were, the panel let go and
// left out of upgrade mode.
TEST(CDlgFpgaUpdate, AWorkerThatCannotStartLeavesTheDialogAsItWas)
{
    DialogBench bench;
    writeFile(bench.fpgaDir() / "a.dat", fpga::EncodeDataFile(buildImage({}).bytes));
    SteadyWaitClock clock;
    auto services = bench.services(clock);
    services.startWorker = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    CDlgFpgaUpdate dialog(std::move(services));
    dialog.show();
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    EXPECT_EQ(bench.boxes, std::vector<std::string>{"计算机内存不足!!!"});
    expectIdle(dialog);
    EXPECT_FALSE(bench.panel->claimed()) << "the connection is closed";
    EXPECT_EQ(bench.panel->events().upgrades, 0);
    EXPECT_TRUE(dialog.close());
}

TEST(CDlgFpgaUpdate, WhileTheWorkerRunsOnlyAbortActs)
{
    virtual_panel::SimFpgaSettings fpga;
    fpga.eraseBusyPolls = 1000;
    DialogBench bench(usb::UsbKind::Hid, fpga);
    writeFile(bench.fpgaDir() / "a.dat", fpga::EncodeDataFile(buildImage({}).bytes));
    // Without check data the run would stop before the erase.
    std::ofstream(bench.fpgaDir() / "fpga_checks.txt") << "conflicts none\n";
    GateClock clock;
    CDlgFpgaUpdate dialog(bench.services(clock));
    dialog.show();
    QSignalSpy finished(&dialog, &CDlgFpgaUpdate::workerFinished);
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    clock.waitEntered(); // the worker sits in the erase poll

    EXPECT_TRUE(dialog.running());
    EXPECT_FALSE(dialog.startButton()->isEnabled());
    EXPECT_FALSE(dialog.fileCombo()->isEnabled());
    EXPECT_TRUE(dialog.abortButton()->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());

    QTest::mouseClick(dialog.abortButton(), Qt::LeftButton);
    clock.release();
    ASSERT_TRUE(finished.wait(kFailSafeMs));
    EXPECT_EQ(bench.results, std::vector<bool>{false});
    EXPECT_EQ(bench.boxes, std::vector<std::string>{"编程失败。退出161"});
    expectIdle(dialog);
    EXPECT_TRUE(dialog.close());
}

TEST(CDlgFpgaUpdate, AGoodRunEndsWithTheSuccessDialogAndMessage)
{
    DialogBench bench(usb::UsbKind::EzUsb);
    writeFile(bench.fpgaDir() / "b.vga", fpga::EncodeDataFile(buildImage({}).bytes));
    std::ofstream(bench.fpgaDir() / "fpga_checks.txt") << "conflicts none\n";
    SteadyWaitClock clock; // the erase poll waits 500 ms twice
    CDlgFpgaUpdate dialog(bench.services(clock));
    dialog.show();
    QSignalSpy finished(&dialog, &CDlgFpgaUpdate::workerFinished);
    QTest::mouseClick(dialog.startButton(), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(kFailSafeMs));
    EXPECT_EQ(bench.results, std::vector<bool>{true});
    EXPECT_EQ(bench.boxes, std::vector<std::string>{"编程成功!!!!"});
    EXPECT_EQ(bench.panel->jtagTarget()->rows().size(), 2u);
    expectIdle(dialog);
}

} // namespace
} // namespace qv::device::test
