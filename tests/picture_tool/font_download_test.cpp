// Font choice, placement near the top of the flash and the font directory.
#include "device/virtual_panel/sim_panel.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"
#include "picture_tool/fonts/font_download.h"
#include "picture_tool/link/usb_tool_link.h"
#include "picture_tool/runs/usb_runs.h"

#include <gtest/gtest.h>

namespace qv::picture_tool {
namespace {

struct Quiet final : DownloadReport {
    std::vector<std::string> said;
    void status(int) override {}
    void progress(int) override {}
    void message(const std::string& m) override { said.push_back(m); }
};

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(FontChoice, BoxesChooseTheirSlotsAndBytes)
{
    const FontSelection mouse = chooseFonts({1138});
    EXPECT_TRUE(mouse.chosen[22] && mouse.chosen[2] && mouse.chosen[3]);
    EXPECT_EQ(mouse.total, 332288u);
    EXPECT_FALSE(chooseFonts({}).confirmed);
    EXPECT_EQ(chooseFonts({1106, 1138}).total, 266240u + 66048u);
}

struct FontRun {
    std::shared_ptr<device::virtual_panel::SimPanel> panel;
    Quiet report;
    bool ok = false;
    FontRun(int type, const FontSelection& sel, const test::TempDir& dir, std::set<std::uint32_t> bad = {})
    {
        const auto g = *flashGeometry(type);
        device::virtual_panel::SimPanelSettings s;
        s.kind = usb::UsbKind::EzUsb;
        s.nand = {g.page - 1, g.capacity, g.block, g.blockMask()};
        s.badBlocks = std::move(bad);
        panel = std::make_shared<device::virtual_panel::SimPanel>(s);
        std::atomic<bool> abort{false};
        TransferContext context{&abort, {}};
        auto raw = panel->connect();
        UsbToolLink link(std::move(raw.pipes), context);
        ok = downloadFonts(sel, dir.path(), g, link, context, report);
    }
};

TEST(FontDownload, PairIsPlacedBelowTheReservedTopWithItsDirectory)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "zk");
    ASSERT_TRUE(writeFileAtomically(fontPath(dir.path(), 2), std::string(1000, 'a')));
    ASSERT_TRUE(writeFileAtomically(fontPath(dir.path(), 3), std::string(10, 'b')));
    const std::uint32_t start = 0x4000000 - 266240 - 0x200000;
    for (const auto& [type, bad, dirAt] : std::vector<std::tuple<int, std::set<std::uint32_t>, std::uint32_t>>{
             {0, {}, 0x4000}, {1, {}, 0x20000}, {0, {1}, 3 * 0x4000}}) {
        FontRun run(type, chooseFonts({1106}), dir, bad);
        ASSERT_TRUE(run.ok) << type;
        const auto g = *flashGeometry(type);
        const auto directory = run.panel->readNand(dirAt, 16 * 8);
        const std::uint32_t first = type == 0 ? start : 0x8000000 - 266240 - 0x200000;
        EXPECT_EQ(le32(directory, 16), first);
        EXPECT_EQ(le32(directory, 24), first + g.roundToPages(1000));
        EXPECT_EQ(run.panel->readNand(first, 1000), std::vector<std::uint8_t>(1000, 'a'));
    }
}

TEST(FontDownload, UserFontGoesWithoutItsPrefixInWholePagesAndMissingFilesAreNamed)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "zk");
    std::string user = {8, 0, 16, 0};
    user += std::string(1000, 'u');
    ASSERT_TRUE(writeFileAtomically(fontPath(dir.path(), 30), user));
    FontSelection sel;
    sel.chosen[30] = true;
    sel.chosen[31] = true; // no file
    sel.total = 4096;
    FontRun run(1, sel, dir);
    ASSERT_TRUE(run.ok);
    std::size_t sent = 0;
    for (const auto& t : run.panel->transfers())
        if (t.out && t.pipe == 1 && t.bytes.size() == 9 && le32(t.bytes, 1) != 0x20000)
            sent = le32(t.bytes, 5);
    EXPECT_EQ(sent, 2048u);
    const auto directory = run.panel->readNand(0x20000, 59 * 8);
    EXPECT_EQ(directory[30 * 8 + 4], 8);
    EXPECT_EQ(directory[30 * 8 + 6], 16);
    EXPECT_EQ(run.panel->readNand(le32(directory, 30 * 8), 4), std::vector<std::uint8_t>(4, 'u'));
    EXPECT_TRUE(std::any_of(run.report.said.begin(), run.report.said.end(),
                            [](const std::string& m) { return m.find("31.zk") != std::string::npos; }));
}

TEST(FontMaker, EachRunPutsAPrefixInFrontAndAMissingFileStaysMissing)
{
    test::TempDir dir;
    const auto file = dir / "30.zk";
    ASSERT_TRUE(writeFileAtomically(file, "abc"));
    EXPECT_EQ(addFontPrefix(file, 8, 16), "创建成功!!!");
    EXPECT_EQ(addFontPrefix(file, 0x102, 3), "创建成功!!!");
    std::string bytes;
    ASSERT_TRUE(readWholeFile(file, bytes));
    EXPECT_EQ(bytes, std::string("\x02\x01\x03\x00" "\x08\x00\x10\x00" "abc", 11));
    EXPECT_EQ(addFontPrefix(dir / "31.zk", 8, 16), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "31.zk"));
}

TEST(FontDownload, PanelsThatCannotTakeFontsAreRefusedBeforeAnyWrite)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "zk");
    ASSERT_TRUE(writeFileAtomically(fontPath(dir.path(), 2), std::string(100, 'a')));
    struct Case {
        const char* what;
        std::uint8_t type;
        int busy;
        std::string message;
    };
    const std::vector<Case> cases{
        {"two-chip board", 7, 0, "Flash配置不支持!!!"},
        {"type out of range", 12, 0, "读取Flash型号失败"},
        {"busy panel", 0, 1, "请再试一次! !"},
    };
    for (const Case& c : cases) {
        device::virtual_panel::SimPanelSettings s;
        s.kind = usb::UsbKind::EzUsb;
        s.toolFlashType = c.type;
        s.busyReplies = c.busy;
        auto panel = std::make_shared<device::virtual_panel::SimPanel>(s);
        std::atomic<bool> abort{false};
        TransferContext context{&abort, {}};
        UsbToolLink link(panel->connect().pipes, context);
        Quiet report;
        EXPECT_FALSE(runFontDownload(link, chooseFonts({1106}), dir.path(), context, report)) << c.what;
        ASSERT_FALSE(report.said.empty()) << c.what;
        EXPECT_EQ(report.said.back(), c.message) << c.what;
        for (const auto& t : panel->transfers())
            EXPECT_FALSE(t.out && t.pipe == 3) << c.what << ": data went to the panel";
    }
}

} // namespace
} // namespace qv::picture_tool
