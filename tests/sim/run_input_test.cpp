// Run-mode input on a fixture project: button operations, bit switches, radio buttons, the
// numeric keypad, permission refusal, login and logout, window switching; a recording port
// writer sees every change before the bank holds it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "model/params/block_bytes.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "sim/runtime/keypad_entry.h"
#include "sim/runtime/run_input.h"
#include "sim/runtime/var_write.h"
#include "tests/model/vars_fixture.h"

namespace qv::sim {
namespace {

struct Change {
    std::int64_t address;
    std::uint32_t length;
    std::vector<std::uint8_t> data;
    std::uint64_t bankBefore;
};

class RecordingWriter : public PortWriter {
public:
    explicit RecordingWriter(const VarBank& bank) : bank_(bank) {}
    void OnVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data) override
    {
        changes.push_back({address, length, {data.begin(), data.end()}, bank_.read(address, 1).value_or(0)});
    }
    std::vector<Change> changes;

private:
    const VarBank& bank_;
};

class RunInputTest : public qv::test::ProjectFixture {
protected:
    void SetUp() override
    {
        ProjectFixture::SetUp();
        screen = addWindow("s0.drw");
        addWindow("s1.drw");
        addWindow("w0.dlg", true);
        table().AppendRow("500", "unsigned char", "m_A", "0", "");
        table().AppendRow("502", "unsigned short", "m_B", "0", "");
        app->RebuildSimulation();
        writer = std::make_unique<RecordingWriter>(app->m_VarMemRun);
        in = std::make_unique<RunInput>(*app);
        in->writer = writer.get();
        in->keyClick = [this] { ++clicks; };
    }
    CDrawObj& add(ShapeKind kind)
    {
        auto obj = std::make_unique<CDrawRect>(Rect{100, 100, 200, 150});
        obj->SetKind(kind);
        return *screen->AddObject(std::move(obj));
    }
    CDrawObj& button(const std::string& function)
    {
        CDrawObj& b = add(ShapeKind::Button);
        b.m_strFiles = {"", "", "", function};
        b.m_Params[121] = 1;
        b.m_Params[120] = 1;
        blockWriteI32(b.m_Params, 164, -1);
        return b;
    }
    // A cleared screen with a number on it that takes input into variable 502.
    CDrawObj& numberEntry(int type, int decimals, int floatMode, int minimum, int maximum, int noRangeCheck)
    {
        screen->m_objects.clear();
        CDrawObj& n = add(ShapeKind::RealTimeNumber);
        n.m_Params[36] = 1;
        blockWriteI32(n.m_Params, 72, decimals);
        n.m_Params[76] = static_cast<std::uint8_t>(type);
        blockWriteI32(n.m_Params, 80, 502);
        blockWriteI32(n.m_Params, 200, minimum);
        blockWriteI32(n.m_Params, 204, maximum);
        blockWriteI32(n.m_Params, 396, floatMode);
        blockWriteI32(n.m_Params, 400, noRangeCheck);
        return n;
    }
    void pressKeys(const std::vector<const char*>& keys)
    {
        for (const char* key : keys)
            ExecuteButtonFunction(button(std::string("键盘\"") + key + "\""), *in);
    }
    void click(CDrawObj& obj, Point p = {150, 120})
    {
        OnRunLButtonDown(obj, p, *in);
        OnRunLButtonUp(obj, p, *in);
    }
    std::int64_t live(int address, int width) { return static_cast<std::int64_t>(app->m_VarMemRun.read(address, width).value()); }
    std::int64_t sysAddress(SystemVar v) { return *SystemVarAddress(*app, v, 1); }

    CDrawDoc* screen = nullptr;
    std::unique_ptr<RecordingWriter> writer;
    std::unique_ptr<RunInput> in;
    int clicks = 0;
};

TEST_F(RunInputTest, ButtonOperationsOnPressReleaseEnterLeave)
{
    struct Case {
        const char* what;
        int enable, value; // offsets of the event's enable and value
        std::uint8_t op;   // 0 set, 1 add, 2 subtract
        std::int64_t start, expected;
        std::function<void(RunInput&, CDrawObj&)> act;
    };
    const Case cases[] = {
        {"press sets", 132, 136, 0, 9, 7, [](RunInput& t, CDrawObj& b) { OnRunLButtonDown(b, {150, 120}, t); }},
        {"release adds", 140, 144, 1, 9, 16, [](RunInput& t, CDrawObj& b) { OnRunLButtonUp(b, {150, 120}, t); }},
        {"enter subtracts", 148, 152, 2, 9, 2, [](RunInput& t, CDrawObj& b) { OnRunMouseMove(b, {150, 120}, t); }},
        {"leave sets", 156, 160, 0, 9, 7,
         [](RunInput& t, CDrawObj& b) {
             b.m_Params[120] = 2; // the painter drew it hovered
             OnRunMouseMove(b, {10, 10}, t);
         }},
        {"add wraps at the width", 140, 144, 1, 0xFFFF, 6, [](RunInput& t, CDrawObj& b) { OnRunLButtonUp(b, {150, 120}, t); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        screen->m_objects.clear();
        writer->changes.clear();
        CDrawObj& b = button("操作变量");
        blockWriteI32(b.m_Params, 164, 502);
        b.m_Params[161] = 3; // unsigned short
        b.m_Params[127] = c.op;
        blockWriteI32(b.m_Params, c.enable, 1);
        b.m_Params[static_cast<std::size_t>(c.value)] = 7;
        app->m_VarMemRun.write(502, 2, static_cast<std::uint64_t>(c.start));
        c.act(*in, b);
        EXPECT_EQ(live(502, 2), c.expected);
        ASSERT_EQ(writer->changes.size(), 1u);
        EXPECT_EQ(writer->changes[0].length, 2u);
        EXPECT_EQ(writer->changes[0].bankBefore, static_cast<std::uint64_t>(c.start & 0xFF)); // announced before the store
    }
}

TEST_F(RunInputTest, WriteEnableClearKeepsStateChangeOnly)
{
    CDrawObj& b = button("s1.drw");
    blockWriteI32(b.m_Params, 212, 1);
    blockWriteI32(b.m_Params, 220, 500);
    blockWriteI32(b.m_Params, 300, 9); // bit 1 of byte 501
    click(b);
    EXPECT_EQ(b.ParamU8(121), 2);
    EXPECT_EQ(app->m_strSimScreen, "s0.drw");
    app->m_VarMemRun.writeByte(501, 2);
    click(b);
    EXPECT_EQ(app->m_strSimScreen, "s1.drw");
    EXPECT_EQ(live(sysAddress(SystemVar::HuaMian), 1), 1);
    EXPECT_EQ(live(sysAddress(SystemVar::ChildWindow), 1), 255);
    EXPECT_EQ(clicks, 2); // one key click per press while m_KeySound is on
    app->m_VarMem.writeByte(*SystemVarAddress(*app, SystemVar::KeySound, 1), 0);
    click(b);
    EXPECT_EQ(clicks, 2);
}

TEST_F(RunInputTest, DoubleClickModeRunsOnlyOnDoubleClick)
{
    CDrawObj& b = button("w0.dlg");
    b.m_Params[122] = 1;
    click(b);
    EXPECT_EQ(app->m_strSimSubWindow, "");
    EXPECT_EQ(b.ParamU8(121), 3);
    OnRunLButtonDblClk(b, {150, 120}, *in);
    EXPECT_EQ(app->m_strSimSubWindow, "w0.dlg");
    EXPECT_EQ(b.ParamU8(121), 1);
    EXPECT_EQ(live(sysAddress(SystemVar::ChildWindow), 1), 0);
}

TEST_F(RunInputTest, BitSwitchActionsAnnounceTheBit)
{
    struct Case {
        std::uint8_t action, before, after;
    } cases[] = {{0, 0x00, 0x08}, {1, 0xFF, 0xF7}, {2, 0x08, 0x00}, {3, 0x08, 0x00}, {4, 0x08, 0x08}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.action));
        screen->m_objects.clear();
        writer->changes.clear();
        CDrawObj& s = add(ShapeKind::BitSwitch);
        blockWriteI32(s.m_Params, 20, 500);
        s.m_Params[25] = 11; // byte 501, bit 3
        s.m_Params[26] = c.action;
        app->m_VarMemRun.writeByte(501, c.before);
        click(s);
        EXPECT_EQ(live(501, 1), c.after);
        if (c.action <= 3) {
            ASSERT_EQ(writer->changes.size(), 1u);
            EXPECT_EQ(writer->changes[0].address, 501);
            EXPECT_EQ(writer->changes[0].length, kBitChange | 3u);
        }
    }
}

TEST_F(RunInputTest, RadioWritesOnlyAChange)
{
    CDrawObj& r = add(ShapeKind::RadioButton);
    blockWriteI32(r.m_Params, 4, 5);
    blockWriteI32(r.m_Params, 8, 502);
    r.m_Params[12] = 3;
    click(r);
    EXPECT_EQ(live(502, 2), 5);
    click(r);
    EXPECT_EQ(writer->changes.size(), 1u);
}

TEST_F(RunInputTest, PermissionRefusalLoginAndLogout)
{
    CDrawObj& r = add(ShapeKind::RadioButton);
    blockWriteI32(r.m_Params, 4, 5);
    blockWriteI32(r.m_Params, 8, 502);
    r.m_Params[12] = 3;
    r.m_Params[13] = 2; // advanced users only
    click(r);
    EXPECT_EQ(app->m_strSimSysWindow, "系统登陆.dlg"); // no warning window in the project
    EXPECT_EQ(live(502, 2), 0);
    app->m_strSimSysWindow.clear();
    addWindow("权限警告.dlg", true);
    click(r);
    EXPECT_EQ(app->m_strSimSysWindow, "权限警告.dlg");

    // Login at level 2 with its password (the row's initial value).
    app->m_strSimSysWindow = "系统登陆.dlg";
    const auto level = SystemVarAddress(*app, SystemVar::CurrentUser, 1);
    ASSERT_TRUE(level);
    app->m_VarMem.writeByte(*level, 2);
    const std::string password = "4321";
    table().initValue[static_cast<std::size_t>(project->SettingI32(4 + 4 * int(SystemVar::AdvancedUser)))] = password;
    CDrawObj& ok = button("键盘\"确定\"");
    std::strncpy(app->m_szKeypadText.data(), "1", 33);
    ExecuteButtonFunction(ok, *in);
    EXPECT_EQ(app->m_strSimSysWindow, "密码错误.dlg");
    app->m_strSimSysWindow = "系统登陆.dlg";
    std::strncpy(app->m_szKeypadText.data(), password.c_str(), 33);
    ExecuteButtonFunction(ok, *in);
    EXPECT_EQ(app->m_strSimSysWindow, "");
    EXPECT_EQ(project->m_nUserLevel, 2);
    click(r);
    EXPECT_EQ(live(502, 2), 5);

    CDrawObj& logout = button("系统注销");
    ExecuteButtonFunction(logout, *in); // no confirmation window: out at once
    EXPECT_EQ(project->m_nUserLevel, 0);
    ExecuteButtonFunction(logout, *in);
    EXPECT_EQ(app->m_strSimSysWindow, "已经注销.dlg");
}

TEST_F(RunInputTest, NumericKeypadEntry)
{
    struct Case {
        const char* what;
        std::vector<const char*> keys;
        int decimals, type, minimum, maximum;
        std::int64_t expected; // -1: nothing stored
        int noRangeCheck = 0;
    };
    const Case cases[] = {
        {"one decimal, 5", {"5"}, 1, 3, 0, 1000, 50},
        {"one decimal, 5.25", {"5", ".", "2", "5"}, 1, 3, 0, 1000, 52},
        {"two decimals, 12", {"1", "2"}, 2, 3, 0, 9999, 1200},
        {"point refused without decimals", {"1", ".", "2"}, 0, 3, 0, 1000, 12},
        {"minus only first and signed", {"-", "3"}, 0, 2, -10, 10, 0xFFFD},
        {"minus refused for unsigned", {"-", "3"}, 0, 3, -10, 10, 3},
        {"out of range dropped", {"9", "9"}, 0, 3, 0, 50, -1},
        {"the maximum itself", {"5", "0"}, 0, 3, 0, 50, 50},
        {"one above the maximum", {"5", "1"}, 0, 3, 0, 50, -1},
        {"the minimum itself", {"-", "1", "0"}, 0, 2, -10, 10, 0xFFF6},
        {"one below the minimum", {"-", "1", "1"}, 0, 2, -10, 10, -1},
        {"the scaled maximum itself", {"5", ".", "0"}, 1, 3, 0, 50, 50},
        {"just above the scaled maximum", {"5", ".", "1"}, 1, 3, 0, 50, -1},
        {"no range check", {"9", "9"}, 0, 3, 0, 50, 99, 1},
        {"a hundred decimals dropped", {"1"}, 100, 3, 0, 1000, -1, 1},
        {"backspace and clear", {"7", "8", "后退", "清除", "4"}, 0, 3, 0, 100, 4},
        {"21st digit ignored", {"1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "2"}, 0, 3, 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app->m_VarMemRun.write(502, 2, 0xABCD);
        CDrawObj& n = numberEntry(c.type, c.decimals, 0, c.minimum, c.maximum, c.noRangeCheck);
        click(n);
        ASSERT_EQ(app->m_strSimSysWindow, "数字键盘.dlg");
        EXPECT_EQ(app->m_pInputTarget, &n);
        pressKeys(c.keys);
        if (std::string(c.what) == "21st digit ignored")
            EXPECT_EQ(std::string(app->m_szKeypadText.data()), std::string(20, '1'));
        CDrawObj& ok = button("键盘\"确定\"");
        ExecuteButtonFunction(ok, *in);
        EXPECT_EQ(app->m_strSimSysWindow, "");
        EXPECT_EQ(live(502, 2), c.expected < 0 ? 0xABCD : c.expected);
    }
}

// The process locale as Qt leaves it for a user with a decimal-comma environment.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() : before_(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
            if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',')
                return;
        std::setlocale(LC_ALL, before_.c_str());
        active_ = false;
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, before_.c_str()); }
    bool active() const { return active_; }

private:
    std::string before_;
    bool active_ = true;
};

TEST_F(RunInputTest, KeypadValuesReadWithAPointInADecimalCommaLocale)
{
    const DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "no de_DE locale here (scripts/setup-deps.sh generates it)";
    struct Case {
        const char* what;
        std::vector<const char*> keys;
        int floatMode, decimals;
        std::uint64_t expected; // the four bytes at the variable
    };
    const Case cases[] = {
        {"float 3.5", {"3", ".", "5"}, 1, 2, 0x40600000},
        {"float -0.25", {"-", "0", ".", "2", "5"}, 1, 2, 0xBE800000},
        {"float 12", {"1", "2"}, 1, 2, 0x41400000},
        {"scaled 5.25", {"5", ".", "2", "5"}, 0, 2, 525},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app->m_VarMemRun.write(502, 4, 0xABCDABCD);
        click(numberEntry(5, c.decimals, c.floatMode, 0, 0, 1)); // unsigned int, no range check
        ASSERT_EQ(app->m_strSimSysWindow, "数字键盘.dlg");
        pressKeys(c.keys);
        ExecuteButtonFunction(button("键盘\"确定\""), *in);
        EXPECT_EQ(live(502, 4), static_cast<std::int64_t>(c.expected));
    }
}

TEST_F(RunInputTest, FloatLayoutsAndCancel)
{
    struct Case {
        int layout;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {0, {0x00, 0x00, 0xC0, 0x3F}},
        {1, {0x00, 0x00, 0x3F, 0xC0}},
        {2, {0x3F, 0xC0, 0x00, 0x00}},
        {3, {0xC0, 0x3F, 0x00, 0x00}},
        {4, {0, 0, 0, 0, 0, 0, 0xF8, 0x3F}},
        {6, {0x3F, 0xF8, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const std::string got = FloatBytes(1.5, c.layout);
        EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.end()), c.bytes) << c.layout;
    }

    app->m_strSimSubWindow = "w0.dlg";
    CDrawObj& cancel = button("键盘\"取消\"");
    ExecuteButtonFunction(cancel, *in);
    EXPECT_EQ(app->m_strSimSubWindow, "");
    EXPECT_EQ(live(sysAddress(SystemVar::ChildWindow), 1), 255);
    EXPECT_EQ(app->m_VarMem.readByte(sysAddress(SystemVar::ChildWindow)), 255);
}

} // namespace
} // namespace qv::sim
