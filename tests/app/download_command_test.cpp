// The download as a new user gives it: the real main window, a simulated panel named in
// QV_SIM_PANELS, the small project compiled and then downloaded from the menu or by Ctrl+D.
#include "app/compile/compile_runner.h"
#include "app/mainframe/docking_bars.h"
#include "app/view/draw_view.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/ui/compile_confirm_dialog.h"
#include "device/list/program_host.h"
#include "device/simpanel/sim_usb_host.h"
#include "device/ui/download_option_dlg.h"
#include "tests/app/editor_window_fixture.h"
#include "tests/app/small_project.h"
#include "tests/device/sim_link_fixture.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <fstream>

namespace qv::test {
namespace {

namespace fs = std::filesystem;
using cmd::Owner;

QString utf8(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

class DownloadOnTheWindow : public EditorWindowFixture<> {
protected:
    DownloadOnTheWindow()
    {
        for (const char* support : {"UsbDisk", "SDCard", "FDisk", "MC8051"})
            fs::create_directories(dir.path() / "images" / support);
        // The panels must be named before the program's host is first used.
        ::setenv(device::sim::kSimPanelsEnv, "hid,name=p,width=320,height=240,major=3,minor=2", 1);
        showMainWindow(1024, 700);
        host = dynamic_cast<device::sim::SimUsbHost*>(&device::ProgramUsbHost());
    }
    ~DownloadOnTheWindow() override { closeMainWindow(); }

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

    // Compiles the small project from the menu and has the panel report the colour depth and
    // FLASH type it was compiled for. Call under ASSERT_NO_FATAL_FAILURE.
    void compileForThePanel()
    {
        ASSERT_NE(host, nullptr);
        ASSERT_EQ(host->panels().size(), 1u);
        panel = host->panels()[0];
        ASSERT_TRUE(app->OpenProjectFile(writeSmallProject(dir.path())));
        frame->RefreshCommands();
        acceptWhenShown<CDlgCompileConfirm>();
        ASSERT_TRUE(frame->commands().trigger({Owner::App, cmd::id::CompileProject}));
        ASSERT_TRUE(waitFor([&] { return app->m_bCompiling.load() == 0 && outputHas(u8"编译工程成功"); }, 120000));
        frame->findChild<CCompileRunner*>()->WaitForWorker();
        std::vector<std::uint8_t> map(image::kStartMapSize);
        std::ifstream(dir.path() / "demo" / "NandFlash" / "NandFlash.Zip", std::ios::binary)
            .seekg(image::kStartMapOffset)
            .read(reinterpret_cast<char*>(map.data()), static_cast<std::streamsize>(map.size()));
        device::DeviceInfo info = panel->settings().info;
        info.colourDepthCode = map[0x0BB];
        info.nandType = map[0x0BA];
        panel->setDeviceInfo(info);
    }

    device::sim::SimUsbHost* host = nullptr;
    std::shared_ptr<device::sim::SimPanel> panel;
};

TEST_F(DownloadOnTheWindow, CompiledProjectDownloadsFromTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(compileForThePanel());
    frame->RefreshCommands();
    acceptWhenShown<CDlgDownloadOption>();
    ASSERT_TRUE(frame->commands().trigger({Owner::App, 32798}));
    ASSERT_TRUE(waitFor([&] { return outputHas(u8"下载工程成功") || outputHas(u8"下载失败"); }, 120000))
        << frame->outputBar()->text().toStdString();
    EXPECT_TRUE(outputHas(u8"下位机硬件版本:V3.2"));
    EXPECT_TRUE(outputHas(u8"下载阶段七...."));
    ASSERT_TRUE(outputHas(u8"下载工程成功")) << frame->outputBar()->text().toStdString();
    ASSERT_TRUE(waitFor([&] { return app->m_bDownloading.load() == 0; }));

    // The panel's start map, and the header and table it names.
    const auto flashMap = panel->readNand(0, image::kStartMapSize);
    EXPECT_EQ(image::getU16(flashMap, image::sm::Magic), image::kStartMapMagic);
    EXPECT_EQ(image::getU16(flashMap, image::sm::Width), 320);
    const auto table = panel->readNand(image::getU32(flashMap, image::sm::BlockTableAddr), 16);
    EXPECT_EQ(image::getU32(table, 0), 0xA55AA55Au);
    const auto header = panel->readNand(image::getU32(flashMap, image::sm::HeaderFlashAddr), 0x24);
    EXPECT_EQ(image::getU16(header, image::kWindowCountOffset), 3);
}

} // namespace
} // namespace qv::test
