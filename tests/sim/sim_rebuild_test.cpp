// The simulation rebuild with the run time installed: start values of the controls, sample
// curves, strings, the PLC requests of every window's controls, the shown windows, the PLC
// block at start, and the user code restarted with one runner thread.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <fstream>

#include "model/app/emulator_flags.h"
#include "model/params/block_bytes.h"
#include "model/params/blocks/button_block.h"
#include "model/params/blocks/progress_bar_block.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "sim/runtime/sim_runtime.h"
#include "tests/model/vars_fixture.h"
#include "config/plcmap/driver_file.h"

namespace qv::sim {
namespace {

class SimRebuild : public qv::test::ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        runtime = std::make_unique<SimRuntime>(*app);
        app->SetSimulationServices(runtime.get());
        screen = addWindow("s0.drw");
    }
    void TearDown() override
    {
        app->SetSimulationServices(nullptr);
        runtime.reset();
    }
    CDrawObj& add(CDrawDoc& doc, ShapeKind kind, Rect position)
    {
        auto obj = std::make_unique<CDrawRect>(position);
        obj->SetKind(kind);
        return *doc.AddObject(std::move(obj));
    }
    int row(const char* address, const char* type, const char* name, const char* initial = "0")
    {
        table().AppendRow(address, type, name, initial, "");
        return static_cast<int>(table().size()) - 1;
    }
    std::int64_t live(int address, int type) { return app->m_VarMemRun.readTyped(address, type).value(); }
    void setSystemInitial(SystemVar var, const char* value)
    {
        table().initValue[static_cast<std::size_t>(project->SettingI32(4 + 4 * static_cast<int>(var)))] = value;
    }

    std::unique_ptr<SimRuntime> runtime;
    CDrawDoc* screen = nullptr;
};

TEST_F(SimRebuild, ShownWindowsFollowTheSystemVariables)
{
    addWindow("s1.drw");
    addWindow("w0.dlg", true);
    struct Case {
        const char* screen;
        const char* child;
        std::string shownScreen, shownSub;
    } cases[] = {
        {"1", "255", "s1.drw", ""},
        {"0", "0", "s0.drw", "w0.dlg"},
        {"7", "9", "", ""},
    };
    for (const Case& c : cases) {
        setSystemInitial(SystemVar::HuaMian, c.screen);
        setSystemInitial(SystemVar::ChildWindow, c.child);
        app->RebuildSimulation();
        EXPECT_EQ(app->m_strSimScreen, c.shownScreen) << c.screen;
        EXPECT_EQ(app->m_strSimSubWindow, c.shownSub) << c.child;
        EXPECT_EQ(app->m_nSerialOption.load(), 1);
        EXPECT_EQ(app->m_AutoRefresh.load(), 1);
    }
}

TEST_F(SimRebuild, MovePositionsBecomeValuesAndInitialValues)
{
    const int move = row("400", "signed int", "m_Move");
    CDrawObj& number = add(*screen, ShapeKind::RealTimeNumber, {38 + 10, 38 + 20, 100, 100});
    number.m_Params[106] = 1;
    blockWriteI32(number.m_Params, 108, move);
    CDrawDoc* sub = addWindow("w0.dlg", true);
    sub->m_ptWindowOrigin = {5, 6};
    const int move2 = row("404", "signed int", "m_Move2");
    CDrawObj& text = add(*sub, ShapeKind::Character, {38 + 5 + 1, 38 + 6 + 2, 100, 100});
    text.m_Params[48] = 1;
    blockWriteI32(text.m_Params, 52, move2);
    CDrawObj& off = add(*screen, ShapeKind::DynamicPicture, {0, 0, 10, 10}); // move option off: nothing written
    blockWriteI32(off.m_Params, 80, move);

    app->RebuildSimulation();
    EXPECT_EQ(live(400, 4), (20 << 16) + 10);
    EXPECT_EQ(app->m_VarMem.readTyped(400, 4).value(), (20 << 16) + 10);
    EXPECT_EQ(table().initValue[static_cast<std::size_t>(move)], std::to_string((20 << 16) + 10));
    EXPECT_EQ(live(404, 4), (2 << 16) + 1);
}

TEST_F(SimRebuild, SampleCurvesAndStrings)
{
    struct Case {
        const char* what;
        int maximum, minimum, samples;
        const char* address;
        std::vector<std::int64_t> expected; // the first elements
    } cases[] = {
        {"triangle", 20, 0, 8, "1000", {4, 8, 12, 16, 20, 20, 16, 12}},
        {"flat (step 0)", 3, 0, 4, "1000", {0, 0, 0, 0}},
        {"last element past 0xFFFC", 20, 0, 4, "65530", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        table().Clear();
        project->InitSystemVariables();
        const int series = row(c.address, "signed short", "m_Series");
        screen->m_objects.clear();
        CDrawObj& curve = add(*screen, ShapeKind::Curve, {0, 0, 50, 50});
        blockWriteI32(curve.m_Params, 36, c.maximum);
        blockWriteI32(curve.m_Params, 48, c.minimum);
        blockWriteI32(curve.m_Params, 76, c.samples);
        blockWriteI32(curve.m_Params, 80, 2);
        blockWriteI32(curve.m_Params, 84, series);
        blockWriteI32(curve.m_Params, 96, -1);
        app->RebuildSimulation();
        const int base = std::atoi(c.address);
        for (std::size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_EQ(live(base + 2 * static_cast<int>(k), 2), c.expected[k]) << k;
    }

    struct Text {
        std::string text;
        int capacity;
        std::vector<std::uint8_t> stored; // bytes at the string address
    } texts[] = {
        {"ab", 8, {'a', 'b', 0}},
        {"a" + qv::test::gbkText(u8"淺") + "b", 3, {'a', 0, 0}},  // a two-byte character is not split
        {"a" + qv::test::gbkText(u8"淺") + "b", 4, {'a', 0x9C, 0x5C, 0}},
        {"abc", 0, {0, 0}},                                      // no room: nothing written
    };
    const int stringRow = row("3000", "unsigned char", "m_Text");
    for (const Text& t : texts) {
        screen->m_objects.clear();
        CDrawObj& str = add(*screen, ShapeKind::Character, {0, 0, 50, 50});
        str.m_strName = t.text;
        blockWriteI32(str.m_Params, 32, t.capacity);
        blockWriteI32(str.m_Params, 36, stringRow); // the rebuild derives the address at +40
        app->RebuildSimulation();
        std::vector<std::uint8_t> got(t.stored.size());
        app->m_VarMemRun.readBytes(3000, got);
        EXPECT_EQ(got, t.stored) << t.capacity;
    }
}

// The samples are written once every window's start state is: a move position written by a
// later window's control is what an earlier window's curve starts from.
TEST_F(SimRebuild, SampleCurvesStartFromEveryWindowsMovePositions)
{
    const int move = row("1000", "signed int", "m_Move");
    const int series = row("1000", "signed short", "m_Series");
    CDrawObj& curve = add(*screen, ShapeKind::Curve, {0, 0, 50, 50});
    blockWriteI32(curve.m_Params, 36, 1000); // top
    blockWriteI32(curve.m_Params, 48, 0);    // bottom: step 200
    blockWriteI32(curve.m_Params, 76, 2);
    blockWriteI32(curve.m_Params, 80, 2);
    blockWriteI32(curve.m_Params, 84, series);
    blockWriteI32(curve.m_Params, 96, -1);
    CDrawDoc* sub = addWindow("w0.dlg", true);
    CDrawObj& number = add(*sub, ShapeKind::RealTimeNumber, {38 + 10, 38 + 20, 100, 100});
    number.m_Params[106] = 1;
    blockWriteI32(number.m_Params, 108, move);

    app->RebuildSimulation();
    EXPECT_EQ(live(1000, 2), 10 + 200);
    EXPECT_EQ(live(1002, 2), 10 + 400);
}

// Every window's linked controls register their requests; each rebuild starts from empty tables.
TEST_F(SimRebuild, LinkedControlsOfEveryWindowFillTheRequestTablesAfresh)
{
    namespace bb = blocks::button;
    namespace pb = blocks::progress_bar;
    project->SetSettingI32(settings::kProtocol1, 3);
    const auto link = [](CDrawObj& obj, auto fields, std::int32_t element) {
        blockWriteI32(obj.m_Params, fields.target().offset, 1);
        blockWriteI32(obj.m_Params, fields.elementType().offset, 3);
        blockWriteI32(obj.m_Params, fields.elementNumber().offset, element);
    };
    CDrawObj& button = add(*screen, ShapeKind::Button, {0, 0, 10, 10});
    blockWriteI32(button.m_Params, bb::kValueIndex.offset, row("100", "unsigned short", "m_Button"));
    link(button, bb::kValueLink, 40);
    CDrawDoc* sub = addWindow("w0.dlg", true);
    CDrawObj& bar = add(*sub, ShapeKind::ProgressBar, {0, 0, 10, 10});
    blockWriteI32(bar.m_Params, pb::kValueIndex.offset, row("102", "unsigned short", "m_Bar"));
    link(bar, pb::kValueLink, 41);

    for (int rebuild = 0; rebuild < 2; ++rebuild) {
        SCOPED_TRACE(rebuild);
        app->RebuildSimulation();
        const auto& tables = runtime->RequestTables();
        ASSERT_EQ(tables[0].count(), 2);
        EXPECT_EQ(tables[1].count(), 0);
        EXPECT_EQ(tables[0].record(0).hmiAddress, 100);
        EXPECT_EQ(tables[0].record(0).elementNumber, 40);
        EXPECT_EQ(tables[0].record(1).hmiAddress, 102);
        EXPECT_EQ(tables[0].record(1).elementNumber, 41);
    }
    sub->m_objects.clear();
    app->RebuildSimulation();
    EXPECT_EQ(runtime->RequestTables()[0].count(), 1);
}

TEST_F(SimRebuild, StartLoadsDriversAndTheCompileTakesTheBlock)
{
    project->SetSettingI32(settings::kProtocol1, 3);
    std::filesystem::create_directory(dir / "NandFlash");
    std::vector<plcmap::MappingRecord> rows(3);
    std::ofstream(dir / "NandFlash" / "ModbusMasterCom1.mod", std::ios::binary)
        << plcmap::EncodeDriverFile("Modbus", rows);
    app->RebuildSimulation(); // no start request: drivers stay as they are
    EXPECT_EQ(runtime->Block().count(), 0);
    app->m_bLoadSavedVars = 1;
    app->RebuildSimulation();
    EXPECT_EQ(app->m_bLoadSavedVars.load(), 0);
    EXPECT_EQ(runtime->Block().count(), 3);
    EXPECT_EQ(app->m_nTimer0Period.load(), 50);
    EXPECT_EQ(app->ProtocolBlockImage().size(), 0x30u + 3 * 16u);
}

int threadCount()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (const dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

TEST_F(SimRebuild, SecondStartReplacesTheRunningUserCode)
{
    std::filesystem::create_directories(dir / "MC8051");
    std::ofstream(dir / "MC8051" / "loop.c") << "void main(void) { for (;;) { } }\n";
    const std::string command =
        "cd '" + (dir / "MC8051").string() + "' && sdcc -mmcs51 --iram-size 128 loop.c > sdcc.log 2>&1 && cp loop.ihx MC8051.hex";
    ASSERT_EQ(std::system(command.c_str()), 0) << "sdcc must be installed (scripts/setup-deps.sh)";

    app->m_bLoadSavedVars = 1;
    app->RebuildSimulation();
    ASSERT_TRUE(runtime->HasUserCodeThread());
    EXPECT_EQ(MC8051Running.load(), 1);
    // Counted once the first runner exists (a sanitizer may start a helper thread with it).
    const int running = threadCount();

    app->m_bLoadSavedVars = 1;
    app->RebuildSimulation(); // the endless loop is stopped and joined before the new start
    EXPECT_EQ(MC8051Running.load(), 1);
    EXPECT_EQ(threadCount(), running);

    runtime->StopUserCode();
    EXPECT_EQ(MC8051Running.load(), 0);
    EXPECT_EQ(threadCount(), running - 1);
}

TEST_F(SimRebuild, RunStartsLoggedOutAndCalibratesWhenTheProjectAsks)
{
    struct Case {
        std::int32_t calibrationSetting;
        std::uint8_t requestBefore;
        std::uint8_t requestAfter;
    };
    const Case cases[] = {{0, 1, 0}, {0, 0, 0}, {1, 0, 1}, {1, 1, 1}, {7, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "setting " << c.calibrationSetting << ", request " << int(c.requestBefore));
        project->SetSettingI32(settings::kNoPowerUpCalibration, c.calibrationSetting);
        project->m_nUserLevel = 3;
        for (std::size_t i = 1; i <= 3; ++i)
            project->m_TouchCalibration[i] = 0x81;
        project->m_TouchCalibration[41] = c.requestBefore;
        app->RebuildSimulation();
        EXPECT_EQ(project->m_TouchCalibration[41], c.requestAfter);
        EXPECT_EQ(project->m_nUserLevel, 0);
        for (std::size_t i = 1; i <= 3; ++i)
            EXPECT_EQ(project->m_TouchCalibration[i], 0) << i;
    }
}

TEST_F(SimRebuild, TextKeyboardLatchesStartOff)
{
    for (std::atomic<int>* latch : {&app->m_bCapsLock, &app->m_bInsertMode, &app->m_bShiftLatch, &app->m_bPinyinMode})
        *latch = 1;
    app->m_szPinyin[0] = 'n';
    app->m_szPinyin[1] = 'i';
    app->m_nPinyinPage = 2;
    app->RebuildSimulation();
    for (std::atomic<int>* latch : {&app->m_bCapsLock, &app->m_bInsertMode, &app->m_bShiftLatch, &app->m_bPinyinMode})
        EXPECT_EQ(latch->load(), 0);
    EXPECT_EQ(app->m_szPinyin[0], 0);
    EXPECT_EQ(app->m_nPinyinPage, 0);
}

TEST_F(SimRebuild, NoCodeMeansNoThread)
{
    std::filesystem::create_directories(dir / "MC8051");
    std::ofstream(dir / "MC8051" / "MC8051.hex") << ":00000001FF\n";
    app->m_bLoadSavedVars = 1;
    app->RebuildSimulation();
    EXPECT_FALSE(runtime->HasUserCodeThread());
    EXPECT_EQ(MC8051Running.load(), 0);
}

} // namespace
} // namespace qv::sim
