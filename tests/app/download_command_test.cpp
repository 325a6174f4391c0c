// The download as a new user gives it: the real main window, a simulated panel named in
// QV_SIM_PANELS, a project compiled and then downloaded from the menu or by Ctrl+D.
#include "app/compile/compile_runner.h"
#include "app/mainframe/docking_bars.h"
#include "app/view/draw_view.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "device/list/ezusb_ids.h"
#include "device/list/program_host.h"
#include "device/virtual_panel/sim_usb_host.h"
#include "device/ui/download_option_dlg.h"
#include "platform/files/atomic_file.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/small_project.h"
#include "tests/device/download_rig.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace qv::test {
namespace {

namespace fs = std::filesystem;
using cmd::Owner;

QString utf8(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

class DownloadOnTheWindow : public EditorWindowFixture<> {
protected:
    explicit DownloadOnTheWindow(const char* panels = "hid,name=p,width=320,height=240,major=3,minor=2")
    {
        for (const char* support : {"UsbDisk", "SDCard", "FDisk", "MC8051"})
            fs::create_directories(dir.path() / "images" / support);
        // The program reads the panels of this case before its window is built, and no list
        // of vendor-driver ids is there.
        ::setenv(device::virtual_panel::kSimPanelsEnv, panels, 1);
        ::unsetenv(device::kEzUsbIdsEnv);
        fs::create_directories(dir.path() / "config");
        ::setenv("XDG_CONFIG_HOME", (dir.path() / "config").c_str(), 1);
        device::ResetProgramUsbHost();
        showMainWindow(1024, 700);
        host = dynamic_cast<device::virtual_panel::SimUsbHost*>(&device::ProgramUsbHost());
    }
    ~DownloadOnTheWindow() override
    {
        closeMainWindow();
        ::unsetenv(device::virtual_panel::kSimPanelsEnv);
        device::ResetProgramUsbHost();
    }

    // Presses OK in the next modal dialog of type Dialog once it shows.
    template <class Dialog>
    void acceptWhenShown()
    {
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
                d->accept();
        });
    }
    bool outputHas(const char8_t* text) { return frame->outputBar()->text().contains(utf8(text)); }

    // Opens the project `hmi` and compiles it from the menu, the confirmation accepted. Call
    // under ASSERT_NO_FATAL_FAILURE.
    void openAndCompile(const fs::path& hmi)
    {
        ASSERT_TRUE(app->OpenProjectFile(hmi));
        frame->RefreshCommands();
        acceptWhenShown<CDlgCompileConfirm>();
        ASSERT_TRUE(frame->commands().trigger(cmd::CompileProject));
        ASSERT_TRUE(waitFor([&] { return app->m_bCompiling.load() == 0 && outputHas(u8"编译工程成功"); }, 300000))
            << frame->outputBar()->text().toStdString();
        frame->findChild<CCompileRunner*>()->WaitForWorker();
    }

    // Compiles the project `hmi` from the menu and has the panel report what the image asks
    // for (version, resolution, colour depth, FLASH type); returns the image. Call under
    // ASSERT_NO_FATAL_FAILURE.
    void compileForThePanel(const fs::path& hmi, std::vector<std::uint8_t>* image = nullptr)
    {
        ASSERT_NE(host, nullptr);
        ASSERT_EQ(host->panels().size(), 1u);
        panel = host->panels()[0];
        ASSERT_NO_FATAL_FAILURE(openAndCompile(hmi));
        std::ifstream in(hmi.parent_path() / "NandFlash" / "NandFlash.Zip", std::ios::binary);
        const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_GE(file.size(), image::kHeaderAreaSize);
        panel->setDeviceInfo(device::test::panelOfImage(file));
        if (image)
            *image = file;
    }
    void compileForThePanel() { compileForThePanel(writeSmallProject(dir.path())); }

    // The download command from the menu, its dialog confirmed; true on "下载工程成功".
    bool downloadFromTheMenu()
    {
        frame->RefreshCommands();
        acceptWhenShown<CDlgDownloadOption>();
        EXPECT_TRUE(frame->commands().trigger(cmd::DownloadProject));
        EXPECT_TRUE(waitFor([&] { return outputHas(u8"下载工程成功") || outputHas(u8"下载失败"); }, 120000))
            << frame->outputBar()->text().toStdString();
        EXPECT_TRUE(waitFor([&] { return app->m_bDownloading.load() == 0; }, 120000));
        return outputHas(u8"下载工程成功");
    }

    device::virtual_panel::SimUsbHost* host = nullptr;
    std::shared_ptr<device::virtual_panel::SimPanel> panel;
};

// Counts the download option dialogs that show.
class DialogCounter : public QObject {
public:
    DialogCounter() { qApp->installEventFilter(this); }
    ~DialogCounter() override { qApp->removeEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<CDlgDownloadOption*>(watched))
            ++shown;
        return false;
    }
};

TEST_F(DownloadOnTheWindow, CompiledProjectDownloadsFromTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(compileForThePanel());
    ASSERT_TRUE(downloadFromTheMenu()) << frame->outputBar()->text().toStdString();
    EXPECT_TRUE(outputHas(u8"下位机硬件版本:V3.2"));
    EXPECT_TRUE(outputHas(u8"下载阶段七...."));

    // The panel's start map, and the header and table it names.
    const auto flashMap = panel->readNand(0, image::kStartMapSize);
    EXPECT_EQ(image::getU16(flashMap, image::sm::Magic), image::kStartMapMagic);
    EXPECT_EQ(image::getU16(flashMap, image::sm::Width), 320);
    const auto table = panel->readNand(image::getU32(flashMap, image::sm::BlockTableAddr), 16);
    EXPECT_EQ(image::getU32(table, 0), 0xA55AA55Au);
    const auto header = panel->readNand(image::getU32(flashMap, image::sm::HeaderFlashAddr), 0x24);
    EXPECT_EQ(image::getU16(header, image::kWindowCountOffset), 3);
}

// The shipped sample project, compiled once: downloaded from the menu to the program's panel,
// then to a panel of each kind; every time the flash read back from the start map holds every
// piece of the image where the patched fields say.
TEST_F(DownloadOnTheWindow, SampleProjectDownloadsToEveryKind)
{
    const fs::path copy = dir.path() / "sample";
    fs::copy(sourceDir() / "base" / fs::path(u8"例子") / fs::path(u8"示例工程"), copy, fs::copy_options::recursive);
    std::vector<std::uint8_t> file;
    ASSERT_NO_FATAL_FAILURE(compileForThePanel(copy / fs::path(u8"示例工程.hmi"), &file));
    const device::test::ExpectedFlash expected = device::test::expectedOfImage(file);
    ASSERT_FALSE(expected.checks.empty());

    // The menu's download takes the project's FDisk folder as it is, sorted by name: a file
    // the user put there, and no placeholder of the repository's.
    ASSERT_TRUE(writeFileAtomically(copy / "FDisk" / "b.txt", "user file"));
    device::test::ExpectedFlash withFiles = expected;
    std::vector<fs::path> fdisk;
    for (const auto& entry : fs::directory_iterator(copy / "FDisk"))
        fdisk.push_back(entry.path());
    ASSERT_EQ(fdisk.size(), 1u);
    std::sort(fdisk.begin(), fdisk.end());
    for (const fs::path& f : fdisk) {
        std::ifstream in(f, std::ios::binary);
        withFiles.files.emplace_back(f.filename().string(), std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in), {}});
    }
    ASSERT_TRUE(downloadFromTheMenu()) << frame->outputBar()->text().toStdString();
    for (const char8_t* line : {u8"下载阶段一....", u8"下载阶段七....", u8"下载工程成功"})
        EXPECT_TRUE(outputHas(line)) << reinterpret_cast<const char*>(line);
    device::test::walkFlash(*panel, withFiles);

    for (const usb::UsbKind kind : device::test::kAllKinds) {
        SCOPED_TRACE(device::test::kindName(kind));
        device::test::DownloadRig rig(kind);
        rig.installCompiled(file);
        ASSERT_TRUE(rig.runProject()) << rig.log();
        device::test::walkFlash(*rig.panel, rig.expected);
    }
}

// Simulated panels report the program's version unless an entry gives another.
TEST(SimPanelsOfTheReadme, ReportTheProgramsVersionUnlessToldOtherwise)
{
    const auto panels = device::virtual_panel::parseSimPanels("hid;ezusb;disk");
    ASSERT_TRUE(panels.has_value());
    ASSERT_EQ(panels->size(), 3u);
    for (const auto& [settings, refuse] : *panels) {
        EXPECT_EQ(settings.info.hardwareMajor, image::kVersionMajor);
        EXPECT_EQ(settings.info.hardwareMinor, image::kVersionMinor);
        EXPECT_EQ(refuse, usb::OpenFailure::None);
    }
    const auto older = device::virtual_panel::parseSimPanels("hid,major=2,minor=1");
    ASSERT_TRUE(older.has_value());
    EXPECT_EQ(older->front().first.info.hardwareMajor, 2);
    EXPECT_EQ(older->front().first.info.hardwareMinor, 1);
}

// The README's line as written: QV_SIM_PANELS="hid;ezusb;disk", no file of vendor-driver ids.
// The shipped sample downloads from the menu to each panel; the vendor-driver one is listed
// because it is named there.
class ReadmePanelsOnTheWindow : public DownloadOnTheWindow {
protected:
    ReadmePanelsOnTheWindow() : DownloadOnTheWindow("hid;ezusb;disk") {}
};

TEST_F(ReadmePanelsOnTheWindow, TheSampleDownloadsFromTheMenuToEachKind)
{
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(host->panels().size(), 3u);
    ASSERT_FALSE(fs::exists(device::EzUsbIdsFilePath()));
    const fs::path copy = dir.path() / "sample";
    fs::copy(sourceDir() / "base" / fs::path(u8"例子") / fs::path(u8"示例工程"), copy, fs::copy_options::recursive);
    ASSERT_NO_FATAL_FAILURE(openAndCompile(copy / fs::path(u8"示例工程.hmi")));
    // A project without an FDisk folder downloads as one with an empty one.
    fs::remove_all(copy / "FDisk");

    for (const usb::UsbKind kind : device::test::kAllKinds) {
        SCOPED_TRACE(device::test::kindName(kind));
        frame->outputBar()->ClearText();
        frame->RefreshCommands();
        // The options dialog lists the panels it finds; this kind's entry is chosen there.
        bool listed = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<CDlgDownloadOption*>(QApplication::activeModalWidget());
            if (d == nullptr)
                return;
            const UsbDeviceList::Snapshot s = app->m_UsbDevices.Get();
            for (int i = 0; i < static_cast<int>(s.devices.size()); ++i)
                if (s.kindAt(i) == kind) {
                    d->deviceCombo()->setCurrentIndex(i);
                    listed = true;
                }
            if (listed)
                d->accept();
            else
                d->reject();
        });
        ASSERT_TRUE(frame->commands().trigger(cmd::DownloadProject));
        ASSERT_TRUE(listed);
        ASSERT_TRUE(waitFor([&] { return outputHas(u8"下载工程成功") || outputHas(u8"下载失败"); }, 120000))
            << frame->outputBar()->text().toStdString();
        ASSERT_TRUE(waitFor([&] { return app->m_bDownloading.load() == 0; }, 120000));
        EXPECT_TRUE(outputHas(u8"下载工程成功")) << frame->outputBar()->text().toStdString();
        EXPECT_TRUE(outputHas(u8"下位机硬件版本:V3.2"));
    }
}

// Ctrl+D in an editing view: the options dialog confirms itself, the HID panel is asked in
// the HID form, and a second Ctrl+D while the worker runs starts nothing. The command brings
// the project window to the front, so each press comes after a click back into the screen
// being edited, as a user gives it.
TEST_F(DownloadOnTheWindow, CtrlDInAnEditingViewDownloadsOnce)
{
    ASSERT_NO_FATAL_FAILURE(compileForThePanel());
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    auto* window = frame->FindDocumentWindow("win0.drw");
    ASSERT_NE(window, nullptr);
    auto* view = dynamic_cast<CDrawView*>(window->widget());
    ASSERT_NE(view, nullptr);
    DialogCounter dialogs;
    const auto pressCtrlD = [&] {
        frame->ActivateDocumentWindow(window);
        view->setFocus();
        EXPECT_TRUE(waitFor([&] { return view->IsActive() && QApplication::focusWidget() == view; }));
        QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    };

    // Busy query and device information (a command and a reply each), then the worker's
    // FLASH test (the same): the command after it holds until the test lets it go, on every
    // way out of the test. A held command never reached the panel, so no answer of it is
    // left behind for the next download's queries.
    const std::size_t first = panel->transferCount();
    const std::size_t hung = first + 2 + 2 + 2;
    panel->injectFault(hung, device::virtual_panel::SimFault::Hang);
    const std::unique_ptr<device::virtual_panel::SimPanel, void (*)(device::virtual_panel::SimPanel*)> letGo(
        panel.get(), [](device::virtual_panel::SimPanel* p) { p->releaseHang(); });
    pressCtrlD();
    EXPECT_EQ(dialogs.shown, 1);
    ASSERT_TRUE(waitFor([&] { return panel->hanging(); }, 120000));
    const auto wire = panel->transfers();
    ASSERT_EQ(wire.size(), hung);
    device::test::expectCommand(usb::UsbKind::Hid, wire[first], {2});
    device::test::expectCommand(usb::UsbKind::Hid, wire[first + 2], {11});
    device::test::expectCommand(usb::UsbKind::Hid, wire[first + 4], {0x31});
    EXPECT_EQ(panel->events().ignoredCommands, 0);
    EXPECT_TRUE(outputHas(u8"下位机硬件版本:V3.2"));

    const std::size_t held = panel->transferCount();
    pressCtrlD();
    EXPECT_EQ(dialogs.shown, 1) << "no second command while the worker runs";
    EXPECT_EQ(panel->transferCount(), held) << "the panel is not asked again";
    panel->releaseHang();
    ASSERT_TRUE(waitFor([&] { return app->m_bDownloading.load() == 0 && outputHas(u8"下载失败"); }, 120000))
        << frame->outputBar()->text().toStdString();
    EXPECT_FALSE(outputHas(u8"下载工程成功"));
    EXPECT_TRUE(panel->transfers().at(hung).out);

    // Once the worker has ended Ctrl+D downloads again.
    pressCtrlD();
    EXPECT_EQ(dialogs.shown, 2);
    ASSERT_TRUE(waitFor([&] { return app->m_bDownloading.load() == 0 && outputHas(u8"下载工程成功"); }, 120000))
        << frame->outputBar()->text().toStdString();
    EXPECT_EQ(image::getU16(panel->readNand(0, image::kStartMapSize), image::sm::Magic), image::kStartMapMagic);
}

} // namespace
} // namespace qv::test
