// The tool's dialog offscreen: the folder scan, the list buttons, the preview caption, the
// lock, a picture download to the simulated panel over UDP on 127.0.0.1, what stands behind
// the hidden buttons (fonts, packing, the packed download, the instruction test) over the
// simulated panel's USB pipes, and the program's one-copy rule.
#include "device/virtual_panel/sim_udp_panel.h"
#include "device/virtual_panel/sim_usb_host.h"
#include "platform/files/atomic_file.h"
#include "platform/process/instance_lock.h"
#include "tests/fixtures/child_process.h"
#include "picture_tool/fonts/font_download.h"
#include "picture_tool/ui/instr_sim_dlg.h"
#include "platform/qt/qtext.h"
#include "platform/surface/bmp_file.h"
#include "platform/surface/surface.h"
#include "tests/fixtures/temp_dir.h"
#include "tests/platform/serial_pty_fixture.h"
#include "picture_tool/picture/folder_scan.h"
#include "picture_tool/ui/tessolin_about_dlg.h"
#include "picture_tool/ui/tessolin_dlg.h"
#include "picture_tool/ui/tessolin_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

#include "tests/app/modal_driver.h"
#include "tests/app/qt_app.h"

namespace qv::picture_tool {
namespace {

QApplication& app()
{
    return test::qtApp();
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
        ::setenv("QV_EZUSB_IDS", "5345:1256", 1); // the simulated panels' ids
        std::filesystem::create_directories(folder / "Pic");
        Surface s(2, 1, rgb(255, 0, 0));
        ASSERT_TRUE(SaveBitmapFile(s, s.bounds(), folder / "Pic" / "red.bmp"));
        std::ofstream(folder / "Pic" / "skip.Bmp") << "x";
    }
    TessolinServices services(usb::UsbHost* host = nullptr) { return {folder.path(), host, 0, {}, {}}; }
};

// A dialog over a simulated panel on USB that records its messages and runs a command to
// its end.
struct UsbDialog {
    device::virtual_panel::SimUsbHost host;
    std::shared_ptr<device::virtual_panel::SimPanel> panel;
    std::unique_ptr<CTessolinDlg> dlg;
    std::vector<std::string> messages;
    explicit UsbDialog(DialogFixture& f, int flashType = 0)
    {
        device::virtual_panel::SimPanelSettings s;
        s.kind = usb::UsbKind::EzUsb;
        s.toolFlashType = static_cast<std::uint8_t>(flashType);
        // A two-chip type has no layout of its own: its panel keeps the one-chip NAND.
        const auto g = flashGeometry(flashType).value_or(*flashGeometry(0));
        s.nand = {g.page - 1, g.capacity, g.block, g.blockMask()};
        panel = host.add(s);
        dlg = std::make_unique<CTessolinDlg>(f.services(&host));
        dlg->setTransport(0);
        QObject::connect(dlg.get(), &CTessolinDlg::messageShown,
                         [this](const QString& t) { messages.push_back(fromQString(t).value_or("?")); });
    }
    // Clicks `id` and waits for the command's end.
    void run(int id)
    {
        QEventLoop loop;
        QObject::connect(dlg.get(), &CTessolinDlg::downloadEnded, &loop, &QEventLoop::quit);
        dlg->button(id)->click();
        if (dlg->busy())
            loop.exec();
        EXPECT_FALSE(dlg->busy());
    }
    std::size_t blockWrites() const
    {
        std::size_t n = 0;
        for (const auto& t : panel->transfers())
            n += t.out && t.pipe == 1 && t.bytes.size() == 9 && t.bytes[0] == 0x01;
        return n;
    }
    std::string last() const { return messages.empty() ? std::string() : messages.back(); }
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
    auto* progress = dlg.findChild<QProgressBar*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->value(), 0) << "no download has started";
    // It fits a 1366 x 768 screen with the window manager's title bar and panel.
    EXPECT_LE(dlg.sizeHint().width(), 1366 - 16);
    EXPECT_LE(dlg.sizeHint().height(), 768 - 60);
}

TEST_F(DialogFixture, MessageBoxesSpeakTheEditorsLanguage)
{
    prepareTessolinApplication(*qApp);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tessolin"), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QString::fromUtf8(u8"确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8(u8"取消"));
}

// A right click anywhere on the dialog (here on the preview's frame) opens its window menu;
// the about entry, command 16, shows the about box with its texts.
TEST_F(DialogFixture, RightClickOffersTheAboutBox)
{
    CTessolinDlg dlg(services());
    dlg.show();
    QWidget* where = dlg.previewGroup();
    const QPoint at(5, 5);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, where->mapToGlobal(at));
    QApplication::sendEvent(where, &click);
    QMenu* menu = dlg.systemMenu();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
    QAction* about = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == QString::fromUtf8(u8"关于 Tessolin(&A)..."))
            about = a;
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->data().toInt(), 16);

    QStringList texts;
    QString caption;
    test::whenModal<CTessolinAboutDlg>([&](CTessolinAboutDlg& box) {
        caption = box.windowTitle();
        for (const QLabel* label : box.findChildren<QLabel*>())
            if (!label->text().isEmpty())
                texts << label->text();
        for (QPushButton* b : box.findChildren<QPushButton*>())
            if (b->text() == QString::fromUtf8(u8"确定"))
                b->click();
    });
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(about).center());
    EXPECT_EQ(caption, QString::fromUtf8(u8"关于 Tessolin"));
    EXPECT_EQ(texts, QStringList{QString::fromUtf8(u8"Tessolin 1.0 版")});
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(dlg.isVisible());
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
    device::virtual_panel::SimPanelSettings settings;
    settings.kind = usb::UsbKind::EzUsb;
    auto panel = std::make_shared<device::virtual_panel::SimPanel>(settings);
    device::virtual_panel::SimUdpPanel peer(panel);
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

TEST_F(DialogFixture, HiddenFontButtonDownloadsTheChosenFontsOverUsb)
{
    std::filesystem::create_directories(folder / "zk");
    ASSERT_TRUE(writeFileAtomically(fontPath(folder.path(), 2), std::string(1000, 'a')));
    ASSERT_TRUE(writeFileAtomically(fontPath(folder.path(), 3), std::string(10, 'b')));
    UsbDialog d(*this);
    ASSERT_TRUE(d.dlg->button(1026)->isHidden());
    int asked = 0;
    d.dlg->chooseFontBoxes = [&](const FontSelection&, bool mass) -> std::optional<std::set<int>> {
        EXPECT_FALSE(mass);
        return ++asked == 1 ? std::nullopt : std::optional<std::set<int>>({1106});
    };
    d.run(1026); // cancelled: nothing goes to the panel
    EXPECT_EQ(d.panel->transferCount(), 0u);
    EXPECT_TRUE(d.messages.empty());
    d.dlg->setTransport(1); // the font download goes over USB whatever the picture transport
    d.run(1026);
    EXPECT_EQ(d.last(), "字库下载完毕,共占用Flash空间1536字节");
    EXPECT_TRUE(d.dlg->fontSelection().chosen[2]);
    const std::uint32_t first = 0x4000000 - 266240 - 0x200000;
    const auto directory = d.panel->readNand(0x4000, 24);
    EXPECT_EQ(directory[16] | directory[17] << 8 | directory[18] << 16 | directory[19] << 24, static_cast<int>(first));
    EXPECT_EQ(d.panel->readNand(first, 1000), std::vector<std::uint8_t>(1000, 'a'));
    EXPECT_EQ(d.panel->events().releases, 1);
}

TEST_F(DialogFixture, HiddenPackButtonsPackAndDownloadTheFile)
{
    std::filesystem::create_directories(folder / "zk");
    ASSERT_TRUE(writeFileAtomically(fontPath(folder.path(), 2), std::string(1000, 'a')));
    ASSERT_TRUE(writeFileAtomically(fontPath(folder.path(), 3), std::string(10, 'b')));
    ASSERT_TRUE(writeFileAtomically(folder / "LcdConfig.h", "// x\r\n#define LCD_CONFIG_TYPE  3\r\n"));
    UsbDialog d(*this);
    d.dlg->chooseFontBoxes = [](const FontSelection&, bool mass) -> std::optional<std::set<int>> {
        EXPECT_TRUE(mass);
        return std::set<int>{1106};
    };
    d.run(1135); // nothing listed and fonts chosen: fonts only
    EXPECT_EQ(d.messages.front(), "生成的PicZiku.zip文件中只有字库没有图片哦!!!");
    d.dlg->button(1021)->click();
    d.messages.clear();
    d.run(1135);
    ASSERT_EQ(d.messages.size(), 2u);
    EXPECT_EQ(d.messages[0], "生成的PicZiku.zip文件中包含了图片和字库");
    EXPECT_EQ(d.messages[1], "压缩完毕!!!");
    EXPECT_EQ(std::filesystem::file_size(folder / "PicZiku.zip"), 0x40000u + 1024 + 1024 + 512);
    EXPECT_TRUE(std::filesystem::exists(folder / "pic.h"));
    EXPECT_EQ(d.panel->transferCount(), 0u);

    d.run(1136);
    EXPECT_EQ(d.last(), "下载完毕!!!");
    EXPECT_EQ(d.panel->readNand(0x20000, 3), (std::vector<std::uint8_t>{0x82, 0x00, 0xF8}));
    EXPECT_EQ(d.panel->readNand(0, 0x4000)[0x4000 - 2], 3); // the LCD type of "LcdConfig.h"
}

TEST_F(DialogFixture, PackedFileForAnotherFlashIsRefusedBeforeAnyWrite)
{
    UsbDialog d(*this, 1);
    d.dlg->chooseFontBoxes = [](const FontSelection&, bool) { return std::optional<std::set<int>>(std::set<int>{}); };
    d.dlg->button(1021)->click();
    d.run(1135); // packed for the choice in force: type 0
    d.run(1136);
    EXPECT_EQ(d.last(), "下载的压缩文件FLASH型号与目标VGA板上FLASH型号不对应，请重新压缩后再下载! !");
    EXPECT_EQ(d.blockWrites(), 0u);
}

// The capacity choice follows the type the panel reports to a picture download, over either
// transport; a type without a layout is named and nothing is written.
TEST_F(DialogFixture, CapacityChoiceFollowsTheTypeThePanelReports)
{
    struct Case {
        int transport; // 0 USB, 1 network
        int reported;
        int choice;
        const char* last;
    };
    const Case cases[] = {
        {0, 1, 1, "图片下载完毕!!!"},
        {0, 2, 2, "图片下载完毕!!!"},
        {0, 9, 9, "Flash配置不支持!!!"},
        {1, 4, 4, "图片下载完毕!!!"},
        {1, 9, 0, "读取Flash型号失败! !"}, // refused over the network: the choice stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "transport " << c.transport << ", type " << c.reported);
        UsbDialog d(*this, c.reported);
        std::unique_ptr<device::virtual_panel::SimUdpPanel> peer;
        if (c.transport == 1) {
            peer = std::make_unique<device::virtual_panel::SimUdpPanel>(d.panel);
            d.dlg->setPanelAddress({{127, 0, 0, 1}, peer->port()}, 0);
            d.dlg->setTransport(1);
        }
        ASSERT_EQ(d.dlg->flashChoice()->currentIndex(), 0);
        d.dlg->button(1021)->click();
        d.run(1027);
        EXPECT_EQ(d.dlg->flashChoice()->currentIndex(), c.choice);
        EXPECT_FALSE(d.dlg->flashChoice()->isEnabled()); // the user never picks it
        EXPECT_EQ(d.last(), c.last);
        const auto g = flashGeometry(c.reported);
        if (g)
            EXPECT_EQ(d.panel->readNand(g->baseOffset, 3), (std::vector<std::uint8_t>{0x82, 0x00, 0xF8}));
        else
            EXPECT_EQ(d.blockWrites(), 0u);
    }
}

// Packing takes the capacity choice; once a picture download has heard the panel, the packed
// file is made for that panel's flash and goes down whole.
TEST_F(DialogFixture, PackedFileAfterAPictureDownloadMatchesThePanel)
{
    ASSERT_TRUE(writeFileAtomically(folder / "LcdConfig.h", "// x\r\n#define LCD_CONFIG_TYPE  3\r\n"));
    UsbDialog d(*this, 1);
    d.dlg->chooseFontBoxes = [](const FontSelection&, bool) { return std::optional<std::set<int>>(std::set<int>{}); };
    d.dlg->button(1021)->click();
    d.run(1027);
    ASSERT_EQ(d.last(), "图片下载完毕!!!");
    d.run(1135);
    d.run(1136);
    EXPECT_EQ(d.last(), "下载完毕!!!");
    // The packed directory (the LCD type of "LcdConfig.h" at its end) replaced the picture
    // download's one-block directory at the same place, in the 128 KiB blocks of type 1.
    const std::uint32_t block = flashGeometry(1)->block;
    EXPECT_EQ(d.panel->readNand(block - 2, 2), (std::vector<std::uint8_t>{3, 0xA5}));
}

TEST_F(DialogFixture, APictureThatCannotBeDecodedIsNamedAndNothingIsSent)
{
    std::ofstream(folder / "Pic" / "broken.jpg") << "not a picture";
    UsbDialog d(*this);
    d.dlg->button(1022)->click();
    ASSERT_EQ(d.dlg->downloadList()->count(), 2);
    d.run(1027);
    EXPECT_NE(d.last().find("broken.jpg"), std::string::npos) << d.last();
    EXPECT_EQ(d.panel->transferCount(), 0u);
}

TEST_F(DialogFixture, HiddenInstructionButtonOpensTheTestWithTheBaudChoice)
{
    test::mapComPorts({});
    UsbDialog d(*this);
    int opened = 0;
    d.dlg->runInstructions = [&](CInstrSimDlg& instr) {
        ++opened;
        EXPECT_EQ(instr.baud(), 19200);
        EXPECT_EQ(instr.portCombo()->currentText(), QStringLiteral("EZUSB-0"));
    };
    d.dlg->button(1041)->click();
    EXPECT_EQ(opened, 1);
    qv::test::mapNoComPorts();
}

TEST_F(DialogFixture, AbortActsWhileTheDialogIsLockedUnderARunningDownload)
{
    UsbDialog d(*this);
    d.dlg->show();
    d.dlg->button(1021)->click();
    // 'X' and its reply, 'Y' and its reply, 'Z', 0x02 and its reply, the write command: the
    // first data piece hangs until the test lets it go.
    d.panel->injectFault(8, device::virtual_panel::SimFault::Hang);
    QEventLoop loop;
    QObject::connect(d.dlg.get(), &CTessolinDlg::downloadEnded, &loop, &QEventLoop::quit);
    d.dlg->button(1027)->click();
    ASSERT_TRUE(d.dlg->busy());
    for (int i = 0; i < 6000 && !d.panel->hanging(); ++i)
        QTest::qWait(5);
    ASSERT_TRUE(d.panel->hanging());
    QCloseEvent close;
    QApplication::sendEvent(d.dlg.get(), &close);
    EXPECT_FALSE(close.isAccepted());
    d.dlg->reject();
    EXPECT_TRUE(d.dlg->isVisible());
    EXPECT_FALSE(d.dlg->button(1086)->isEnabled());
    ASSERT_TRUE(d.dlg->button(1137)->isEnabled());
    d.dlg->button(1137)->click();
    d.panel->releaseHang();
    if (d.dlg->busy())
        loop.exec();
    EXPECT_EQ(d.last(), "用户终止下载");
    EXPECT_TRUE(d.dlg->button(1086)->isEnabled());
    d.dlg->reject();
    EXPECT_FALSE(d.dlg->isVisible());
}

TEST(TessolinProgram, SecondCopyShowsItsMessageAndEnds)
{
    InstanceLock first("Tessolin");
    ASSERT_TRUE(first.acquired());
    test::TempDir dir;
    test::ChildProcess second(QV_TESSOLIN_BINARY, dir.path(), {{"QT_QPA_PLATFORM", "offscreen"}, {"QV_NONINTERACTIVE", "1"}},
                              dir / "out.log");
    EXPECT_EQ(second.waitForExit(std::chrono::seconds(60)).value_or(-1), 255);
    EXPECT_NE(second.output().find(reinterpret_cast<const char*>(u8"Tessolin.exe正在运行，不必重新点击启动!!!")),
              std::string::npos)
        << second.output();
    EXPECT_TRUE(first.acquired());
}

TEST(TessolinProgram, StartedInTheShippedFolderDownloadsTheSamplePicture)
{
    test::TempDir dir;
    const auto folder = dir / "Tessolin";
    std::filesystem::copy(std::filesystem::path(QV_SOURCE_DIR) / std::filesystem::path(u8"base/images/其它工具软件/Tessolin软件"),
                          folder, std::filesystem::copy_options::recursive);
    test::ChildProcess run(QV_TESSOLIN_BINARY, folder,
                           {{"QT_QPA_PLATFORM", "offscreen"},
                            {"QV_NONINTERACTIVE", "1"},
                            {"QV_SIM_PANELS", "ezusb"},
                            {"QV_EZUSB_IDS", "04b4:8613"},
                            {"QV_TESSOLIN_DOWNLOAD_ALL", "1"}},
                           dir / "out.log");
    EXPECT_EQ(run.waitForExit(std::chrono::seconds(60)).value_or(-1), 0) << run.output();
    EXPECT_NE(run.output().find(reinterpret_cast<const char*>(u8"图片下载完毕!!!")), std::string::npos) << run.output();
    std::string picH;
    ASSERT_TRUE(readWholeFile(folder / "pic.h", picH));
    EXPECT_NE(picH.find("#define        "), std::string::npos);
}

} // namespace
} // namespace qv::picture_tool
