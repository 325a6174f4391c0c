// The application's variable services on a real project: rebuild of the memory, screen and
// sub-window switching, login, clock, saving settings, find-or-add and the used memory.
#include "model/params/blocks/character_block.h"
#include "model/params/blocks/curve_block.h"
#include "model/params/block_bytes.h"
#include "model/params/var_refs.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "platform/text/gbk.h"
#include "tests/model/vars_fixture.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace qv {
namespace {

namespace fs = std::filesystem;
using test::ProjectFixture;

class VarServices : public ProjectFixture {};

TEST_F(VarServices, RebuildWritesEveryUsableRowAndSkipsTheRest)
{
    table().AppendRow("65532", "unsigned int", "m_Edge", "16909060", "");
    table().AppendRow("65533", "unsigned int", "m_Past", "1", "");
    table().AppendRow("x", "unsigned char", "m_NoAddress", "1", "");
    table().AppendRow("200", "float", "m_NoType", "1", "");
    table().AppendRow("100", "signed short", "m_After", "-2", "");

    const RebuildReport report = RebuildSimulationMemory(*app);
    EXPECT_EQ(report.skipped.size(), 3u);
    EXPECT_EQ(app->m_VarMemRun.read(0xFFFC, 4), 0x01020304u);
    EXPECT_EQ(app->m_VarMemRun.read(0xFFFD - 1, 1), 4u);
    EXPECT_EQ(app->m_VarMemRun.readTyped(100, 2), -2);
    EXPECT_EQ(app->m_VarMemRun.read(2, 2), 2012u);
    EXPECT_EQ(app->m_VarMemRun.readByte(1), 255);
    EXPECT_EQ(app->m_VarMemRun.readTyped(24, 5), 96103725);
    EXPECT_EQ(app->m_VarMem.snapshot(), app->m_VarMemRun.snapshot());
}

TEST_F(VarServices, RebuildClearsBothBanksAndRederivesEveryWindowsReferences)
{
    app->m_VarMem.write(5000, 4, 0xDEADBEEF);
    app->m_VarMemRun.write(6000, 4, 0xDEADBEEF);
    table().AppendRow("40", "unsigned short", "m_Value", "7", "");
    CDrawDoc* screen = addWindow("a.drw");
    auto obj = std::make_unique<CDrawRect>(Rect{0, 0, 10, 10});
    obj->SetKind(ShapeKind::ProgressBar);
    blockWriteI32(obj->m_Params, 28, 16);
    blockWriteI32(obj->m_Params, 32, 999);  // stale cached address
    blockWriteI32(obj->m_Params, 56, -1);
    CDrawObj* bar = screen->AddObject(std::move(obj));

    RebuildSimulationMemory(*app);
    EXPECT_EQ(app->m_VarMem.read(5000, 4), 0u);
    EXPECT_EQ(app->m_VarMemRun.read(6000, 4), 0u);
    EXPECT_EQ(blockReadI32(bar->m_Params, 32), 40);
    EXPECT_EQ(bar->m_Params[36], 3);
    EXPECT_EQ(blockReadI32(bar->m_Params, 68), -1);
    EXPECT_EQ(app->m_strSimScreen, "a.drw");
}

TEST_F(VarServices, ScreenNumbersBeyondTheListAreIgnored)
{
    addWindow("a.drw");
    addWindow("b.drw");
    const struct {
        std::uint8_t value;
        const char* screen;
    } steps[] = {{1, "b.drw"}, {2, "b.drw"}, {255, "b.drw"}, {0, "a.drw"}};
    for (const auto& s : steps) {
        app->m_strSimSubWindow = "sub.dlg";
        app->m_VarMemRun.writeByte(0, s.value);
        OnScreenVarChanged(*app);
        EXPECT_EQ(app->m_strSimScreen, s.screen) << int(s.value);
    }
    // Switching clears the shown sub-window; staying does not.
    app->m_strSimSubWindow = "sub.dlg";
    OnScreenVarChanged(*app);
    EXPECT_EQ(app->m_strSimSubWindow, "sub.dlg");
}

TEST_F(VarServices, ScreenVariableOutsideTheBankIsNotRead)
{
    addWindow("a.drw");
    addWindow("b.drw");
    app->m_strSimScreen = "a.drw";
    for (const char* address : {"65536", "-1", "4294967296", "junk"}) {
        table().address[0] = address;
        OnScreenVarChanged(*app);
        EXPECT_EQ(app->m_strSimScreen, "a.drw") << address;
    }
    project->SetSettingI32(4, 99);  // index beyond the table
    OnScreenVarChanged(*app);
    EXPECT_EQ(app->m_strSimScreen, "a.drw");
}

TEST_F(VarServices, SubWindowSwitching)
{
    const std::string keypad = test::gbkText(u8"数字键盘.dlg");
    addWindow("s1.dlg", true);
    addWindow(keypad, true);
    addWindow("s3.dlg", true)->SetSettingI32(80, 1);
    project->AddSubWindowName("closed.dlg");
    const struct {
        std::uint8_t value;
        const char* shown;
    } steps[] = {{0, "s1.dlg"}, {1, "s1.dlg"}, {2, "s1.dlg"}, {3, "s1.dlg"}, {9, "s1.dlg"}, {255, ""}};
    for (const auto& s : steps) {
        app->m_VarMemRun.writeByte(1, s.value);
        OnSubWindowVarChanged(*app);
        EXPECT_EQ(app->m_strSimSubWindow, s.shown) << int(s.value);
    }
}

TEST_F(VarServices, Login)
{
    const struct {
        std::uint8_t level;
        std::int64_t password;
        int result;
        int loggedIn;
    } cases[] = {
        {0, 1, 0, 0}, {4, 1, 0, 0}, {1, 1, -1, 0}, {1, 40719382, 0, 1}, {2, 40719382, -1, 1},
        {2, 58260417, 0, 2}, {3, 96103725, 0, 3},
    };
    for (const auto& c : cases) {
        app->m_VarMem.writeByte(13, c.level);
        EXPECT_EQ(CheckUserPassword(*app, c.password), c.result) << int(c.level) << " " << c.password;
        EXPECT_EQ(project->m_nUserLevel, c.loggedIn);
    }
    table().address[12] = "65536";  // m_CurrentUser outside the bank: nothing to check
    EXPECT_EQ(CheckUserPassword(*app, 1), 0);
}

class FixedWallClock : public WallClock {
public:
    std::int64_t localSeconds() const override { return now; }
    std::int64_t now = 1325419200;  // 2012-01-01 12:00:00, a Sunday
};

TEST_F(VarServices, ClockFollowsThePanelTimeTheCodeSets)
{
    FixedWallClock pc;
    PanelClock clock(pc);
    WriteClockVariables(*app, clock.now());
    EXPECT_EQ(app->m_VarMemRun.read(2, 2), 2012u);
    EXPECT_EQ(app->m_VarMemRun.readByte(4), 1);
    EXPECT_EQ(app->m_VarMemRun.readByte(6), 0);  // Sunday
    EXPECT_EQ(app->m_VarMemRun.readByte(7), 12);

    // The running code sets 2013-03-04 05:06:07.
    app->m_VarMemRun.write(2, 2, 2013);
    for (const auto& [address, value] : {std::pair{4, 3}, {5, 4}, {7, 5}, {8, 6}, {9, 7}})
        app->m_VarMemRun.writeByte(address, static_cast<std::uint8_t>(value));
    EXPECT_FALSE(OnClockVariableWritten(*app, clock, 10));  // the back light is no clock variable
    EXPECT_TRUE(OnClockVariableWritten(*app, clock, 9));
    EXPECT_EQ(clock.now(), (PanelTime{2013, 3, 4, 5, 6, 7, 1}));

    pc.now += 60;  // the PC's clock runs on; the panel keeps its offset
    EXPECT_EQ(clock.now().minute, 7);

    const std::int64_t offset = clock.offsetSeconds();
    app->m_VarMemRun.writeByte(4, 13);
    EXPECT_FALSE(OnClockVariableWritten(*app, clock, 4));
    EXPECT_EQ(clock.offsetSeconds(), offset);
}

TEST_F(VarServices, SaveSettingsAsInitialNeverReadsPastTheBank)
{
    app->m_VarMem.writeByte(10, 100);
    app->m_VarMem.write(16, 4, 12345678);
    app->m_VarMem.write(0xFFFC, 4, 0xFFFFFFFF);
    table().address[14] = "65534";  // m_AdvancedUser: 4 bytes would leave the bank
    table().address[15] = "65532";
    SaveSystemVariablesAsInitial(*app);
    EXPECT_EQ(table().initValue[9], "100");
    EXPECT_EQ(table().initValue[13], "12345678");
    EXPECT_EQ(table().initValue[14], "58260417");
    EXPECT_EQ(table().initValue[15], "4294967295");
    EXPECT_TRUE(fs::exists(dir / "p.hmi"));
}

TEST_F(VarServices, FindOrAddSavesOnlyWhenItCreates)
{
    bool created = false;
    EXPECT_EQ(FindOrAddHmiVar(*app, "unsigned char", "m_New", "0", "", &created), 16);
    EXPECT_TRUE(created);
    EXPECT_EQ(table().address[16], "28");
    ASSERT_TRUE(fs::exists(dir / "p.hmi"));
    fs::remove(dir / "p.hmi");
    EXPECT_EQ(FindOrAddHmiVar(*app, "unsigned char", "m_New", "0", "", &created), 16);
    EXPECT_FALSE(created);
    EXPECT_FALSE(fs::exists(dir / "p.hmi"));
}

TEST_F(VarServices, UsedMemoryCoversCurveBuffersAndStrings)
{
    EXPECT_EQ(GetVariableMemorySize(*app), 56);
    const int curveVar = FindOrAddHmiVar(*app, "unsigned short", "m_Curve", "0", "");
    CDrawDoc* screen = addWindow("a.drw");
    auto curve = std::make_unique<CDrawRect>(Rect{});
    curve->SetKind(ShapeKind::Curve);
    blockWriteI32(curve->m_Params, blocks::curve::kPointCount.offset, 20);
    blockWriteI32(curve->m_Params, blocks::curve::kCurveCount.offset, 1);
    blockWriteI32(curve->m_Params, blocks::curve::kRecordBase, curveVar);
    screen->AddObject(std::move(curve));
    EXPECT_EQ(GetVariableMemorySize(*app), 2 * (28 + 2 * 20));

    const int stringVar = FindOrAddHmiVar(*app, "signed char", "m_Text", "0", "");
    EXPECT_EQ(table().address[static_cast<std::size_t>(stringVar)], "68");
    auto text = std::make_unique<CDrawRect>(Rect{});
    text->SetKind(ShapeKind::Character);
    blockWriteI32(text->m_Params, blocks::character::kStringIndex.offset, stringVar);
    blockWriteI32(text->m_Params, blocks::character::kStringLength.offset, 50);
    addWindow("s.dlg", true)->AddObject(std::move(text));
    EXPECT_EQ(GetVariableMemorySize(*app), 2 * (68 + 50));
}

TEST_F(VarServices, FullMemoryIsRefusedWithAMessage)
{
    table().AppendRow("65532", "unsigned int", "m_Top", "0", "");
    const std::size_t rows = table().size();
    EXPECT_EQ(FindOrAddHmiVar(*app, "unsigned char", "m_More", "0", ""), -1);
    EXPECT_EQ(table().size(), rows);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].find("m_More"), std::string::npos);
}

TEST_F(VarServices, WindowIndexByFileName)
{
    addWindow("a.drw");
    addWindow("b.drw");
    addWindow("s.dlg", true);
    EXPECT_EQ(FindWindowIndex(*app, "b.drw"), 1);
    EXPECT_EQ(FindWindowIndex(*app, "s.dlg"), 0);
    EXPECT_EQ(FindWindowIndex(*app, "none.drw"), 0xFF);
}

// An edit's rebuild request: at once without a deferral; with one, a burst rebuilds once
// when the deferral runs, a full rebuild meanwhile takes its place, and a deferral that is
// taken away runs what was pending first. A byte the rebuild clears shows whether it ran.
TEST_F(VarServices, RebuildRequestsOfABurstRebuildOnce)
{
    const auto mark = [&] { app->m_VarMemRun.writeByte(6000, 0x5A); };
    const auto rebuilt = [&] { return app->m_VarMemRun.readByte(6000) == 0; };

    mark();
    app->RequestSimulationRebuild();
    EXPECT_TRUE(rebuilt()) << "no deferral: at once";

    std::vector<std::function<void()>> deferred;
    app->SetRebuildDeferral([&](std::function<void()> run) { deferred.push_back(std::move(run)); });
    mark();
    for (int i = 0; i < 3; ++i)
        app->RequestSimulationRebuild();
    EXPECT_FALSE(rebuilt());
    ASSERT_EQ(deferred.size(), 1u);
    deferred.front()();
    EXPECT_TRUE(rebuilt());

    app->RequestSimulationRebuild();
    ASSERT_EQ(deferred.size(), 2u);
    app->RebuildSimulation();
    mark();
    deferred.back()();
    EXPECT_FALSE(rebuilt()) << "the full rebuild served the request";
    app->RequestSimulationRebuild();
    EXPECT_EQ(deferred.size(), 3u) << "a new burst asks again";

    mark();
    app->SetRebuildDeferral(nullptr);
    EXPECT_TRUE(rebuilt()) << "pending when the deferral went";
    deferred.back()();
}

} // namespace
} // namespace qv
