#include "compiler/compile/compile_worker.h"

#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"
#include "tests/fixtures/sparse_file.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

using compile::WindowSource;

void putU32(std::array<std::uint8_t, 1024>& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = std::uint8_t(v >> (8 * i));
}

// Start map offsets of the eleven system window numbers.
constexpr std::uint32_t kSystemWindowBytes[] = {0x070, 0x071, 0x072, 0x073, 0x074, 0x075,
                                                0x076, 0x077, 0x0C0, 0x0EC, 0x0ED};

TEST(CompileWorker, ProjectWithoutWindowsWalksToTheEnd)
{
    CompileFixture f;
    const auto outcome = f.compile();
    ASSERT_TRUE(outcome.ok) << f.takeLog();
    const std::string image = f.readImage();
    EXPECT_EQ(outcome.imageBytes, image.size());

    const WalkedImage w = walkImage(image);
    EXPECT_EQ(w.error, "");
    EXPECT_EQ(w.windowCount, 0);
    EXPECT_EQ(startMapU16(image, 0x000), 0x8184);
    EXPECT_EQ(startMapU8(image, 0x0C1), 3);
    EXPECT_EQ(startMapU8(image, 0x0C2), 2);
    for (std::uint32_t at : kSystemWindowBytes)
        EXPECT_EQ(startMapU8(image, at), 0xFF) << std::hex << at;
    EXPECT_EQ(startMapU32(image, 0x010), 0x24u);
    EXPECT_EQ(startMapU32(image, 0x008), 0x200u) << "end of the window table, page-rounded";
    EXPECT_EQ(startMapU32(image, 0x130), 0u) << "no PLC block";
    EXPECT_EQ(startMapU32(image, 0x134), 0u) << "no user code";
    EXPECT_EQ(fileU32(image, 0), 0u) << "cursor table stays zero without a window compiler";

    // The variable memory: the first E bytes of the bank, page-rounded.
    EXPECT_EQ(w.variableMemoryAt, 0x200000u);
    EXPECT_EQ(w.variableMemoryLength, 512u);
    EXPECT_EQ(startMapU32(image, 0x024), 40u);
    EXPECT_EQ(static_cast<std::uint8_t>(image[0x200000]), 0xA0);
    EXPECT_EQ(static_cast<std::uint8_t>(image[0x200000 + 39]), 0xA0 + 39);
    EXPECT_EQ(image[0x200000 + 40], 0);

    // SRAM: 2E + window RAM (36) + both ports' buffers (protocols 1 and 8): 80 + 36 + 256.
    EXPECT_EQ(startMapU32(image, 0x02C), 372u);
    EXPECT_EQ(f.takeLog(), "链接生成NandFlash.Zip\r\n"
                           "编译工程成功(编译时间:0分0秒)\r\n"
                           "SRAM占用372Byte，SDRAM占用47.41KByte，NandFlash占用2.00MByte\r\n");
    EXPECT_EQ(f.flags.compiling.load(), 0);
    EXPECT_TRUE(f.closeBoxEnabled());
    EXPECT_EQ(f.lastProgress(), 0);
}

struct GeometryRow {
    std::uint8_t flashCode;
    std::uint8_t colourDepth;
    std::uint32_t pageMask, blockSize, blockMask;
};

TEST(CompileWorker, StartMapGeometryForEveryFlashCodeAndColourDepth)
{
    const GeometryRow rows[] = {
        {0, 1, 0x1FF, 0x4000, 0xFFFFC000},  {1, 0, 0x7FF, 0x20000, 0xFFFE0000},
        {2, 2, 0x7FF, 0x20000, 0xFFFE0000}, {3, 3, 0x7FF, 0x20000, 0xFFFE0000},
        {4, 1, 0x7FF, 0x20000, 0xFFFE0000}, {5, 1, 0x1FF, 0x4000, 0xFFFFC000},
        {6, 0, 0x1FF, 0x4000, 0xFFFFC000},  {7, 2, 0x1FF, 0x4000, 0xFFFFC000},
        {8, 3, 0x1FF, 0x4000, 0xFFFFC000},  {9, 1, 0x1FF, 0x4000, 0xFFFFC000},
    };
    for (const GeometryRow& r : rows) {
        SCOPED_TRACE(testing::Message() << "FLASH code " << int(r.flashCode));
        CompileFixture f;
        f.input.settings[70] = r.flashCode;
        f.input.settings[71] = r.colourDepth;
        f.input.screens = windowsNamed({"a.drw"});
        ASSERT_TRUE(f.compile().ok) << f.takeLog();
        const std::string image = f.readImage();
        const WalkedImage w = walkImage(image);
        EXPECT_EQ(w.error, "");
        EXPECT_EQ(startMapU32(image, 0x034), r.pageMask);
        EXPECT_EQ(startMapU32(image, 0x030), r.blockSize);
        EXPECT_EQ(startMapU32(image, 0x0F4), r.blockMask);
        EXPECT_EQ(startMapU8(image, 0x0BA), r.flashCode);
        EXPECT_EQ(startMapU8(image, 0x0BB), r.colourDepth);
        EXPECT_EQ(startMapU32(image, 0x008), r.pageMask + 1) << "0x2C bytes of table, page-rounded";
        EXPECT_EQ(image.size() % (r.pageMask + 1), 0u);
        EXPECT_EQ(w.variableMemoryLength, r.pageMask + 1);
    }
}

TEST(CompileWorker, StartMapCarriesTheProjectSettings)
{
    CompileFixture f;
    auto& s = f.input.settings;
    struct Copy {
        std::uint32_t settingsAt, mapAt, width, value;
    };
    const Copy copies[] = {
        {68, 0x0B8, 1, 2},        {69, 0x0B9, 1, 0x5A},     {144, 0x0F0, 4, 0x11223344}, {212, 0x0F8, 4, 7},
        {220, 0x100, 4, 321},     {136, 0x104, 4, 0x100},   {140, 0x108, 4, 0x40},       {228, 0x110, 4, 9},
        {232, 0x114, 4, 10},      {236, 0x118, 4, 11},      {264, 0x11C, 4, 1},          {268, 0x120, 4, 12},
        {272, 0x124, 4, 13},      {276, 0x128, 1, 0x77},    {284, 0x129, 1, 0x66},       {280, 0x12A, 2, 0xBEEF},
        {288, 0x12C, 2, 0x1234},  {290, 0x12E, 2, 0x5678},
    };
    for (const Copy& c : copies)
        for (std::uint32_t i = 0; i < c.width; ++i)
            s[c.settingsAt + i] = std::uint8_t(c.value >> (8 * i));
    s[84] = 2;                                   // three update-check layers
    putU32(s, 112, 2);                           // port 1: touch screen, no buffer
    putU32(s, 116, 1000);
    putU32(s, 120, 3);                           // port 2: Modbus master
    putU32(s, 124, 256);
    putU32(s, 128, 1), putU32(s, 148, 2), putU32(s, 156, 1);   // port 1 framing
    putU32(s, 132, 3), putU32(s, 152, 1), putU32(s, 160, 0);   // port 2 framing
    f.input.serialParameters = {1, 19200, 5, 17, 38400, 6, 7, 2, 9600, 4800};
    f.input.runBlock[41] = 1;
    f.input.systemVariableAddresses[15] = -1;

    ASSERT_TRUE(f.compile().ok) << f.takeLog();
    const std::string image = f.readImage();
    for (const Copy& c : copies) {
        SCOPED_TRACE(testing::Message() << "settings +" << c.settingsAt);
        const std::uint32_t mask = c.width == 4 ? 0xFFFFFFFF : (1u << (8 * c.width)) - 1;
        EXPECT_EQ(startMapU32(image, c.mapAt) & mask, c.value);
    }
    EXPECT_EQ(startMapU32(image, 0x0CC), 3u);
    EXPECT_EQ(startMapU32(image, 0x0D4), 2u);
    EXPECT_EQ(startMapU32(image, 0x0D8), 1000u);
    EXPECT_EQ(startMapU32(image, 0x0DC), 3u);
    EXPECT_EQ(startMapU32(image, 0x0E0), 256u);
    EXPECT_EQ(startMapU32(image, 0x0E8), 0x03100121u);
    EXPECT_EQ(startMapU8(image, 0x002), 5);
    EXPECT_EQ(startMapU8(image, 0x003), 17);
    EXPECT_EQ(startMapU32(image, 0x028), 38400u);
    EXPECT_EQ(startMapU32(image, 0x040), 4800u);
    EXPECT_EQ(startMapU16(image, 0x03C), 800);
    EXPECT_EQ(startMapU16(image, 0x03E), 480);
    EXPECT_EQ(startMapU8(image, 0x044), 0x88);
    EXPECT_EQ(startMapU8(image, 0x044 + 41), 1);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(startMapU32(image, 0x078 + 4 * i), std::uint32_t(2 * i));
    EXPECT_EQ(startMapU32(image, 0x078 + 60), 0xFFFFFFFFu);
    EXPECT_EQ(startMapU32(image, 0x02C), 80u + 36 + 256) << "only port 2's buffer counts";
}

TEST(CompileWorker, WindowTableAndSystemWindowNumbersFollowTheNameLists)
{
    CompileFixture f;
    f.input.screens = windowsNamed({"主画面.drw", "系统设置.drw"});
    f.input.subWindows = windowsNamed({"数字键盘.dlg", "弹出窗口.dlg", "系统键盘.dlg"});
    ScriptedScreenCompiler screens;
    screens.recordBytes = {10, 20, 30, 40, 50};
    ASSERT_TRUE(f.compile(&screens).ok) << f.takeLog();
    const std::string image = f.readImage();
    const WalkedImage w = walkImage(image);
    ASSERT_EQ(w.error, "");
    ASSERT_EQ(w.windowCount, 5);

    const std::uint32_t lengths[] = {12, 20, 32, 40, 52};   // each record ends 4-aligned
    std::uint32_t at = 0x24 + 8 * 5;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w.windows[i].offset, at);
        EXPECT_EQ(w.windows[i].length, lengths[i]);
        EXPECT_EQ(static_cast<std::uint8_t>(image[at]), i + 1);
        at += lengths[i];
    }
    EXPECT_EQ(startMapU8(image, 0x071), 1) << "系统设置.drw is screen 1";
    EXPECT_EQ(startMapU8(image, 0x070), 0) << "数字键盘.dlg is sub-window 0";
    EXPECT_EQ(startMapU8(image, 0x0C0), 2) << "系统键盘.dlg is sub-window 2";
    EXPECT_EQ(startMapU8(image, 0x072), 0xFF);
    EXPECT_EQ(startMapU32(image, 0x018), 2u);
    EXPECT_EQ(startMapU32(image, 0x01C), 3u);
    EXPECT_EQ(startMapU32(image, 0x014), 0x4Cu + 20) << "largest screen record";
    EXPECT_EQ(startMapU32(image, 0x0BC), 40u) << "largest ordinary sub-window record";
    EXPECT_EQ(startMapU32(image, 0x00C), 0x4Cu + 20 + 40 + 52) << "plus the largest system sub-window";
    const std::string log = f.takeLog();
    EXPECT_NE(log.find("编译文件主画面.drw\r\n编译文件系统设置.drw\r\n编译文件数字键盘.dlg\r\n"), std::string::npos);
}

TEST(CompileWorker, AbortMidwayLeavesNoImageNotEvenAnOldOne)
{
    CompileFixture f;
    f.input.screens = windowsNamed({"a.drw", "b.drw", "c.drw"});
    ASSERT_TRUE(f.compile().ok);
    ASSERT_TRUE(f.imageExists());
    f.takeLog();

    ScriptedScreenCompiler screens;
    screens.flags = &f.flags;
    screens.abortAtWindow = 1;
    EXPECT_FALSE(f.compile(&screens).ok);
    EXPECT_EQ(screens.compiled.size(), 2u) << "the abort flag is tested between windows";
    EXPECT_FALSE(f.imageExists());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.imagePath().parent_path()), {}), 0)
        << "no temporary file left behind";
    const std::string log = f.takeLog();
    EXPECT_NE(log.find("用户执行取消编译!!!\r\n"), std::string::npos);
    EXPECT_EQ(f.messageBoxes(), std::vector<std::string>{"取消编译成功!!!"});
    EXPECT_EQ(f.flags.compiling.load(), 0);
    EXPECT_TRUE(f.closeBoxEnabled());
}

TEST(CompileWorker, AFailingCompilerReportsItsMessageAndLeavesNoImage)
{
    CompileFixture f;
    f.input.subWindows = windowsNamed({"a.dlg", "b.dlg"});
    ScriptedScreenCompiler screens;
    screens.failAtWindow = 0;
    screens.failMessage = "控件变量无效\r\n";
    EXPECT_FALSE(f.compile(&screens).ok);
    EXPECT_FALSE(f.imageExists());
    EXPECT_NE(f.takeLog().find("控件变量无效\r\n"), std::string::npos);
    EXPECT_EQ(f.messageBoxes(), std::vector<std::string>{"控件变量无效\r\n"});
}

struct Refusal {
    const char* name;
    std::function<void(CompileFixture&, ScriptedScreenCompiler&)> arrange;
    std::string line;
};

TEST(CompileWorker, ProjectsTheImageCannotHoldAreRefusedWithAMessage)
{
    const Refusal cases[] = {
        {"FLASH size code outside the table",
         [](CompileFixture& f, ScriptedScreenCompiler&) { f.input.settings[70] = 10; },
         "FLASH容量设置错误，编译工程失败\r\n"},
        {"a width past the project range",
         [](CompileFixture& f, ScriptedScreenCompiler&) { f.input.width = 60000; },
         "工程分辨率超出范围60000X480 (1..8192)，编译工程失败\r\n"},
        {"a zero height",
         [](CompileFixture& f, ScriptedScreenCompiler&) { f.input.height = 0; },
         "工程分辨率超出范围800X0 (1..8192)，编译工程失败\r\n"},
        {"256 windows: window numbers are bytes",
         [](CompileFixture& f, ScriptedScreenCompiler&) {
             f.input.screens.assign(200, WindowSource{"s.drw", true, 0});
             f.input.subWindows.assign(56, WindowSource{"d.dlg", true, 0});
         },
         "工程中画面和子窗口总数超过255个，编译工程失败\r\n"},
        {"a window whose document is missing",
         [](CompileFixture& f, ScriptedScreenCompiler&) {
             f.input.screens = windowsNamed({"a.drw"});
             f.input.subWindows = {WindowSource{"丢失窗口.dlg", false, 0}};
         },
         "找不到窗口文件丢失窗口.dlg，编译工程失败\r\n"},
        {"a record over 64 KiB: item offsets are u16",
         [](CompileFixture& f, ScriptedScreenCompiler& s) {
             f.input.screens = windowsNamed({"big.drw"});
             s.recordBytes = {0x10001};
         },
         "big.drw的控件数据超过64K字节，编译工程失败\r\n"},
        {"records that would reach into the start map",
         [](CompileFixture& f, ScriptedScreenCompiler& s) {
             f.input.screens.assign(40, WindowSource{"s.drw", true, 0});
             s.recordBytes.assign(40, 0xFFF0);
         },
         "工程中画面或控件数量太多，编译工程失败\r\n"},
        {"a PLC protocol block shorter than its record count",
         [](CompileFixture& f, ScriptedScreenCompiler&) {
             f.input.plcProtocolBlock.assign(48 + 16 * 2, 0);
             f.input.plcProtocolBlock[0] = 0xFF; // 255 records claimed, two present
         },
         "PLC通讯协议数据不完整，编译工程失败\r\n"},
        {"a window compiler that throws",
         [](CompileFixture& f, ScriptedScreenCompiler& s) {
             f.input.screens = windowsNamed({"a.drw", "b.drw"});
             s.throwAtWindow = 1;
         },
         "编译器内部错误，编译工程失败(item table index)\r\n"},
        {"a broken user-code file",
         [](CompileFixture& f, ScriptedScreenCompiler&) { writeUserCode(f.dir.path(), ":0100000012EE\r\n:00000001FF\r\n"); },
         "*.Hex文件失败(校验和错误,第1行)!\r\nMC8051单片机代码有误，编译工程失败\r\n"},
        {"a terabyte user-code file",
         [](CompileFixture& f, ScriptedScreenCompiler&) { makeSparseFile(f.dir.path() / "MC8051" / "MC8051.hex"); },
         "无法读取MC8051.hex文件(file too large"},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        CompileFixture f;
        ASSERT_TRUE(f.compile().ok) << "an older image exists";
        f.takeLog();
        ScriptedScreenCompiler screens;
        c.arrange(f, screens);
        EXPECT_FALSE(f.compile(&screens).ok);
        EXPECT_FALSE(f.imageExists());
        const std::string log = f.takeLog();
        EXPECT_NE(log.find(c.line), std::string::npos) << log;
        EXPECT_EQ(log.find("编译工程成功"), std::string::npos);
        EXPECT_EQ(f.flags.compiling.load(), 0);
        EXPECT_TRUE(f.closeBoxEnabled());
    }
}

TEST(CompileWorker, TheLargestWindowCountStillCompiles)
{
    CompileFixture f;
    f.input.screens.assign(1, WindowSource{"系统设置.drw", true, 0});
    f.input.subWindows.assign(254, WindowSource{"d.dlg", true, 0});
    f.input.subWindows.back().fileName = "保存确认.dlg";
    ASSERT_TRUE(f.compile().ok) << f.takeLog();
    const std::string image = f.readImage();
    EXPECT_EQ(walkImage(image).windowCount, 255);
    EXPECT_EQ(startMapU8(image, 0x077), 253) << "the last sub-window's number";
}

// Counts pictures and fonts the way item compilers will, to show the counters restart.
class CountingScreenCompiler : public compile::ScreenCompiler {
public:
    void compileCursors(compile::CompileContext& ctx) override { ctx.addPictures(4); }
    void compileWindow(compile::CompileContext& ctx, const WindowSource&, compile::WindowKind) override
    {
        ctx.addPictures(3);
        ctx.addControlFont();
        if (auto at = ctx.reserveHeader(8))
            ctx.header().bytes()[*at] = 1;
        ctx.file().appendFill(0x82, 100);
        ctx.file().padToPage(ctx.geometry().pageMask, 0x82);
    }
};

TEST(CompileWorker, TheSameProjectCompilesToTheSameBytes)
{
    CompileFixture f;
    f.input.screens = windowsNamed({"a.drw", "b.drw"});
    f.input.plcProtocolBlock.assign(48 + 16 * 2, 0x33);
    f.input.plcProtocolBlock[0] = 2, f.input.plcProtocolBlock[1] = 0;
    writeUserCode(f.dir.path(), ":0400000001020304F2\r\n:00000001FF\r\n");
    CountingScreenCompiler screens;
    ASSERT_TRUE(f.compile(&screens).ok) << f.takeLog();
    const std::string first = f.readImage();
    f.clock += std::chrono::seconds(3);
    ASSERT_TRUE(f.compile(&screens).ok);
    EXPECT_EQ(f.readImage(), first);
    EXPECT_EQ(startMapU32(first, 0x0C4), 4u + 2 * 3) << "picture count restarts with every compile";
    EXPECT_EQ(startMapU32(first, 0x0C8), 2u);
}

TEST(CompileWorker, AppendedBlocksHoldThePlcTableAndTheWholeUserCode)
{
    CompileFixture f;
    f.input.plcProtocolBlock.assign(48 + 16 * 3 + 20, 0);   // the loader's buffer may be longer
    for (std::size_t i = 0; i < 48 + 16 * 3; ++i)
        f.input.plcProtocolBlock[i] = std::uint8_t(i * 7);
    f.input.plcProtocolBlock[0] = 3, f.input.plcProtocolBlock[1] = 0;

    // 507 code bytes: E = 508, so head + code is 520 bytes and crosses the 512-byte page.
    std::string hex;
    for (int a = 0; a < 507; a += 16) {
        const int n = std::min(16, 507 - a);
        std::uint8_t sum = std::uint8_t(n + (a >> 8) + (a & 0xFF));
        char line[64];
        std::snprintf(line, sizeof line, ":%02X%04X00", n, a);
        hex += line;
        for (int i = 0; i < n; ++i) {
            const std::uint8_t b = std::uint8_t(a + i + 1);
            std::snprintf(line, sizeof line, "%02X", b);
            hex += line;
            sum = std::uint8_t(sum + b);
        }
        std::snprintf(line, sizeof line, "%02X\r\n", std::uint8_t(-sum));
        hex += line;
    }
    writeUserCode(f.dir.path(), hex + ":00000001FF\r\n");

    ASSERT_TRUE(f.compile().ok) << f.takeLog();
    const std::string image = f.readImage();
    const WalkedImage w = walkImage(image);
    ASSERT_EQ(w.error, "");
    EXPECT_EQ(startMapU32(image, 0x130), 48u + 16 * 3);
    EXPECT_EQ(w.plcBlockLength, 512u);
    EXPECT_EQ(image.substr(w.plcBlockAt, 48 + 16 * 3),
              std::string(f.input.plcProtocolBlock.begin(), f.input.plcProtocolBlock.begin() + 48 + 16 * 3));
    EXPECT_EQ(image[w.plcBlockAt + 48 + 16 * 3], 0);

    EXPECT_EQ(startMapU32(image, 0x134), 508u);
    EXPECT_EQ(w.userCodeHead[0], 1u);
    EXPECT_EQ(w.userCodeHead[1], 12u);
    EXPECT_EQ(w.userCodeHead[2], 512u) << "(E + 4) & ~3, as the download's chain carries it";
    EXPECT_EQ(w.userCodeLength, 1024u) << "12 + 508 bytes, page-rounded: no code byte dropped";
    for (int i : {0, 100, 506})
        EXPECT_EQ(static_cast<std::uint8_t>(image[w.userCodeAt + 12 + i]), std::uint8_t(i + 1)) << i;
    EXPECT_EQ(static_cast<std::uint8_t>(image[w.userCodeAt + 12 + 507]), 0xFF);
}

TEST(CompileWorker, ElapsedTimeIsMinutesAndSecondsOfAMonotonicClock)
{
    CompileFixture f;
    f.services.now = [&] { return f.clock + std::chrono::seconds(75); };
    ASSERT_TRUE(f.compile().ok);
    EXPECT_NE(f.takeLog().find("编译工程成功(编译时间:1分15秒)\r\n"), std::string::npos);
}

TEST(CompileWorker, RunsOnAThreadOfItsOwn)
{
    CompileFixture f;
    f.input.screens = windowsNamed({"a.drw"});
    compile::CompileThread thread;
    f.flags.compiling.store(1);
    ASSERT_TRUE(thread.start(f.input, f.services));
    thread.join();
    ASSERT_TRUE(thread.outcome().has_value());
    EXPECT_TRUE(thread.outcome()->ok);
    EXPECT_EQ(f.flags.compiling.load(), 0);
    EXPECT_EQ(walkImage(f.readImage()).error, "");
}

TEST(CompileWorker, AnExceptionOnTheThreadIsAFailedCompileNotTheEndOfTheProgram)
{
    CompileFixture f;
    ASSERT_TRUE(f.compile().ok) << "an older image exists";
    f.input.screens = windowsNamed({"a.drw"});
    ScriptedScreenCompiler screens;
    screens.throwAtWindow = 0;
    f.services.screens = &screens;
    compile::CompileThread thread;
    ASSERT_TRUE(thread.start(f.input, f.services));
    thread.join();
    ASSERT_TRUE(thread.outcome().has_value());
    EXPECT_FALSE(thread.outcome()->ok);
    EXPECT_FALSE(f.imageExists());
    f.drain();
    EXPECT_EQ(f.flags.compiling.load(), 0);
    EXPECT_TRUE(f.closeBoxEnabled());
    EXPECT_EQ(f.messageBoxes().size(), 1u);
}

} // namespace
} // namespace qv::test
