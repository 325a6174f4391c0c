// Downloading "PicZiku.zip" to the simulated panel over its USB pipes.
#include "device/virtual_panel/sim_panel.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"
#include "picture_tool/download/packed_download.h"
#include "picture_tool/link/usb_tool_link.h"
#include "picture_tool/packed/packed_file.h"
#include "picture_tool/picture/picture_record.h"

#include <gtest/gtest.h>

namespace qv::picture_tool {
namespace {

struct Messages final : DownloadReport {
    std::vector<std::string> said;
    void status(int) override {}
    void progress(int) override {}
    void message(const std::string& m) override { said.push_back(m); }
};

struct PackedRun {
    std::shared_ptr<device::virtual_panel::SimPanel> panel;
    Messages report;
    bool ok = false;
    PackedRun(const std::vector<std::uint8_t>& bytes, int panelType)
    {
        device::virtual_panel::SimPanelSettings s;
        s.kind = usb::UsbKind::EzUsb;
        const auto g = *flashGeometry(panelType);
        s.nand = {g.page - 1, g.capacity, g.block, g.blockMask()};
        panel = std::make_shared<device::virtual_panel::SimPanel>(s);
        test::TempDir dir;
        EXPECT_TRUE(writeFileAtomically(dir / "PicZiku.zip", std::string(bytes.begin(), bytes.end())));
        std::atomic<bool> abort{false};
        TransferContext context{&abort, {}};
        auto raw = panel->connect();
        UsbToolLink link(std::move(raw.pipes), context);
        ok = downloadPacked({dir / "PicZiku.zip", panelType, 0, 1}, link, context, report);
    }
    bool wroteBlocks() const
    {
        for (const auto& t : panel->transfers())
            if (t.out && t.pipe == 1 && !t.bytes.empty() && t.bytes[0] == 0x01)
                return true;
        return false;
    }
};

std::vector<std::uint8_t> packedFile(int type)
{
    static const Surface s(2, 1, rgb(255, 255, 255));
    PackInput in;
    in.pictures = {&s};
    in.fonts = {{2, std::vector<std::uint8_t>(1000, 7)}};
    return buildPackedFile(in, *flashGeometry(type));
}

TEST(PackedDownload, FlashMatchesTheFile)
{
    const auto file = packedFile(0);
    PackedRun run(file, 0);
    ASSERT_TRUE(run.ok) << (run.report.said.empty() ? "" : run.report.said.back());
    EXPECT_EQ(run.panel->readNand(0x20000, 1024), std::vector<std::uint8_t>(file.begin() + 0x40000, file.begin() + 0x40400));
    const auto dir = run.panel->readNand(0, 0x4000);
    EXPECT_EQ(dir[2] | dir[3] << 8, 0x20000 >> 10);
    EXPECT_EQ(dir[0x4000 - 1], 0xA5);
    EXPECT_EQ(dir[0x4000 - 2], 1);
    const auto fonts = run.panel->readNand(0x4000, 0x4000);
    const std::uint32_t fontAt = fonts[16] | fonts[17] << 8 | fonts[18] << 16 | static_cast<std::uint32_t>(fonts[19]) << 24;
    EXPECT_EQ(fontAt, 0x20000u + 1024);
    EXPECT_EQ(run.panel->readNand(fontAt, 1000), std::vector<std::uint8_t>(1000, 7));
}

TEST(PackedDownload, RefusalsComeBeforeAnyWrite)
{
    auto broken = packedFile(0);
    broken[0x20000 + 12 * 2 + 10] = 0x10; // a font past the end
    const std::vector<std::tuple<const char*, std::vector<std::uint8_t>, int, std::string>> cases{
        {"made for 64 MiB, panel of 128 MiB", packedFile(0), 1,
         "下载的压缩文件FLASH型号与目标VGA板上FLASH型号不对应，请重新压缩后再下载! !"},
        {"font past the end", broken, 0, "PicZiku.zip文件出错"},
        {"short file", std::vector<std::uint8_t>(100, 0), 0, "请先生成PicZiku.zip文件"},
    };
    for (const auto& [what, bytes, type, message] : cases) {
        PackedRun run(bytes, type);
        EXPECT_FALSE(run.ok) << what;
        EXPECT_FALSE(run.wroteBlocks()) << what;
        ASSERT_FALSE(run.report.said.empty()) << what;
        EXPECT_EQ(run.report.said.back(), message) << what;
    }
}

TEST(LcdConfig, TypeIsColumn26OfLine2)
{
    test::TempDir dir;
    ASSERT_TRUE(writeFileAtomically(dir / "LcdConfig.h", "// x\r\n#define LCD_CONFIG_TYPE  3\r\n"));
    EXPECT_EQ(readLcdType(dir / "LcdConfig.h"), 3);
    ASSERT_TRUE(writeFileAtomically(dir / "short.h", "// x\r\n#define\r\n"));
    EXPECT_FALSE(readLcdType(dir / "short.h"));
    EXPECT_FALSE(readLcdType(dir / "missing.h"));
}

} // namespace
} // namespace qv::picture_tool
