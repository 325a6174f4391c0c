// The tool's dialog offscreen: the folder scan, the list buttons, the preview caption, the
// lock, and a picture download to the simulated panel over UDP on 127.0.0.1.
#include "device/simpanel/sim_udp_panel.h"
#include "platform/qt/qtext.h"
#include "platform/surface/bmp_file.h"
#include "platform/surface/surface.h"
#include "tests/fixtures/temp_dir.h"
#include "tool/picture/folder_scan.h"
#include "tool/ui/tessolin_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <fstream>
#include <gtest/gtest.h>

namespace qv::tool {
namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "test_tool_ui";
    static char* argv[] = {name, nullptr};
    static QApplication a(argc, argv);
    return a;
}

TEST(FolderScan, ListsByTheCaseOfTheExtension)
{
    const std::vector<std::pair<std::string, bool>> cases{{"a.bmp", true},  {"a.Bmp", false}, {"a.JPEG", true},
                                                          {"a.jpeg", true}, {"a.Jpg", false}, {"a.gif", true},
                                                          {"a.png", false}, {"GIF", true}};
    for (const auto& [name, listed] : cases)
        EXPECT_EQ(isListedPictureName(name), listed) << name;
}

struct DialogFixture : ::testing::Test {
    test::TempDir folder;
    void SetUp() override
    {
        app();
        ::setenv("QV_NONINTERACTIVE", "1", 1);
        std::filesystem::create_directories(folder / "Pic");
        Surface s(2, 1, rgb(255, 0, 0));
        ASSERT_TRUE(SaveBitmapFile(s, s.bounds(), folder / "Pic" / "red.bmp"));
        std::ofstream(folder / "Pic" / "skip.Bmp") << "x";
    }
    TessolinServices services() { return {folder.path(), nullptr, 0, {}}; }
};

TEST_F(DialogFixture, ListsButtonsPreviewAndDuplicates)
{
    CTessolinDlg dlg(services());
    ASSERT_EQ(dlg.pictureList()->count(), 1);
    EXPECT_TRUE(dlg.previewGroup()->title().contains(QStringLiteral("width(")));
    EXPECT_TRUE(dlg.previewGroup()->title().contains(toQString("BMP位图格式图片")));
    EXPECT_FALSE(dlg.button(1023)->isEnabled());
    dlg.button(1021)->click();
    dlg.button(1021)->click();
    EXPECT_EQ(dlg.downloadList()->count(), 2);
    EXPECT_TRUE(dlg.button(1024)->isEnabled());
    dlg.downloadList()->setCurrentRow(1);
    dlg.button(1023)->click();
    dlg.button(1023)->click();
    EXPECT_EQ(dlg.downloadList()->count(), 0);
    EXPECT_FALSE(dlg.button(1023)->isEnabled());
    EXPECT_FALSE(dlg.button(1024)->isEnabled());
    for (int hidden : {1026, 1041, 1135, 1136, 1139, 1143})
        EXPECT_TRUE(dlg.button(hidden)->isHidden()) << hidden;
}

TEST_F(DialogFixture, LockedDialogRefusesEveryClose)
{
    CTessolinDlg dlg(services());
    dlg.show();
    dlg.lockControls();
    EXPECT_TRUE(dlg.button(1137)->isEnabled());
    EXPECT_FALSE(dlg.button(1027)->isEnabled());
    dlg.reject();
    dlg.done(QDialog::Accepted);
    QCloseEvent close;
    QApplication::sendEvent(&dlg, &close);
    EXPECT_FALSE(close.isAccepted());
    EXPECT_TRUE(dlg.isVisible());
    dlg.unlockControls();
    dlg.reject();
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(DialogFixture, DownloadsTheListToTheSimulatedPanelOverUdp)
{
    device::sim::SimPanelSettings settings;
    settings.kind = usb::UsbKind::EzUsb;
    auto panel = std::make_shared<device::sim::SimPanel>(settings);
    device::sim::SimUdpPanel peer(panel);
    CTessolinDlg dlg(services());
    dlg.setPanelAddress({{127, 0, 0, 1}, peer.port()}, 0);
    dlg.button(1022)->click();
    QEventLoop loop;
    QObject::connect(&dlg, &CTessolinDlg::downloadEnded, &loop, &QEventLoop::quit);
    std::vector<QString> messages;
    QObject::connect(&dlg, &CTessolinDlg::messageShown, [&](const QString& t) { messages.push_back(t); });
    dlg.onDownloadPictures();
    if (dlg.busy())
        loop.exec();
    EXPECT_FALSE(dlg.busy());
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), toQString("图片下载完毕!!!"));
    const auto record = panel->readNand(0x20000, 8);
    EXPECT_EQ(record[0], 0x82);
    EXPECT_EQ(record[2], 0xF8); // red, high byte
    EXPECT_TRUE(std::filesystem::exists(folder / "pic.h"));
}

} // namespace
} // namespace qv::tool
