// The run-mode timers' work on a fake clock: idle return, timed curve sampling, timer 0's
// period and pending count, the once-a-second save and clock update.
#include <gtest/gtest.h>

#include "model/params/block_bytes.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "sim/runtime/run_timers.h"
#include "sim/vtf/saved_vars.h"
#include "tests/model/vars_fixture.h"

namespace qv::sim {
namespace {

class FakeClock : public MonotonicClock {
public:
    std::int64_t nowMs() const override { return now; }
    std::int64_t now = 1000;
};

class RunTimersTest : public qv::test::ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        runtime = std::make_unique<SimRuntime>(*app, clock);
        app->SetSimulationServices(runtime.get());
        addWindow("s0.drw");
        addWindow("s1.drw");
        app->RebuildSimulation();
        timers = std::make_unique<RunTimers>(*app, clock);
    }
    void TearDown() override { app->SetSimulationServices(nullptr); }

    FakeClock clock;
    std::unique_ptr<SimRuntime> runtime;
    std::unique_ptr<RunTimers> timers;
};

TEST_F(RunTimersTest, IdleReturnAfterTheIdleTime)
{
    project->SetSettingI32(settings::kIdleReturnOn, 1);
    project->SetSettingI32(settings::kIdleReturnSeconds, 10);
    project->SetSettingI32(settings::kIdleReturnScreen, 1);
    ASSERT_EQ(app->m_strSimScreen, "s0.drw");
    clock.now += 9999;
    timers->Timer1Tick();
    EXPECT_EQ(app->m_strSimScreen, "s0.drw");
    timers->InputSeen();
    clock.now += 9999; // input restarted the count
    timers->Timer1Tick();
    EXPECT_EQ(app->m_strSimScreen, "s0.drw");
    clock.now += 1;
    EXPECT_TRUE(timers->Timer1Tick());
    EXPECT_EQ(app->m_strSimScreen, "s1.drw");
    EXPECT_EQ(app->m_VarMem.readByte(*SystemVarAddress(*app, SystemVar::HuaMian, 1)), 1);
}

TEST_F(RunTimersTest, Timer0PeriodAndPendingCount)
{
    std::uint8_t ie = 0x82;
    timers->interruptEnable = [&] { return ie; };
    EXPECT_EQ(timers->Timer0Tick(), std::nullopt);
    EXPECT_EQ(timers->Timer0Tick(), std::nullopt);
    EXPECT_EQ(app->m_nTimer0Pending.load(), 2);
    ie = 0x80; // EA without ET0
    timers->Timer0Tick();
    EXPECT_EQ(app->m_nTimer0Pending.load(), 0);

    ie = 0x82;
    timers->Timer0Tick();
    app->m_nTimer0Request = 20; // the code asks for 20 ms
    EXPECT_EQ(timers->Timer0Tick(), 20);
    EXPECT_EQ(app->m_nTimer0Pending.load(), 0);
    EXPECT_EQ(timers->Timer0Tick(), std::nullopt);
    app->m_nTimer0Request = 0;
    EXPECT_EQ(timers->Timer0Tick(), RunTimers::kTimer0FastestMs);
}

TEST_F(RunTimersTest, SamplingFollowsElapsedMilliseconds)
{
    table().AppendRow("1000", "unsigned char", "m_S", "0", "");
    CDrawDoc* screen = app->FindDocByTitle("s0.drw");
    auto obj = std::make_unique<CDrawRect>(Rect{0, 0, 50, 50});
    obj->SetKind(ShapeKind::Curve);
    CDrawObj& curve = *screen->AddObject(std::move(obj));
    blockWriteI32(curve.m_Params, 76, 3);
    blockWriteI32(curve.m_Params, 80, 1);
    blockWriteI32(curve.m_Params, 84, static_cast<int>(table().size()) - 1);
    blockWriteI32(curve.m_Params, 880, 1);
    blockWriteI32(curve.m_Params, 884, 1000);
    app->RebuildSimulation();
    app->m_VarMemRun.writeByte(1000, 7);

    timers->Timer1Tick(); // the first tick measures from here
    clock.now += 700;      // a late tick still counts its real time
    timers->Timer1Tick();
    EXPECT_EQ(app->m_VarMemRun.readByte(1001), 0);
    clock.now += 300;
    timers->Timer1Tick();
    EXPECT_EQ(app->m_VarMemRun.readByte(1001), 7);
    EXPECT_EQ(blockReadI32(curve.m_Params, 888), 0);
}

TEST_F(RunTimersTest, SecondTimerSavesSlotZeroAndTheClock)
{
    project->SetSettingI32(settings::kPromRamStart, 200);
    project->SetSettingI32(settings::kPromRamLength, 4);
    app->m_VarMemRun.write(200, 4, 0x01020304);
    EXPECT_TRUE(timers->Timer2Tick());
    app->m_VarMemRun.write(200, 4, 0);
    app->m_VarMem.write(200, 4, 0);
    EXPECT_TRUE(LoadVarToFlash(dir.path(), 0, app->m_VarMem, app->m_VarMemRun));
    EXPECT_EQ(app->m_VarMemRun.read(200, 4), 0x01020304u);

    const auto second = SystemVarAddress(*app, SystemVar::ClockYear, 2);
    ASSERT_TRUE(second);
    app->m_VarMemRun.write(*second, 2, 0);
    app->m_strSimScreen = "系统设置.drw";
    EXPECT_FALSE(timers->Timer2Tick());
    EXPECT_EQ(app->m_VarMemRun.read(*second, 2), 0u);
    app->m_strSimScreen = "s0.drw";
    timers->Timer2Tick();
    EXPECT_NE(app->m_VarMemRun.read(*second, 2), 0u);
}

} // namespace
} // namespace qv::sim
