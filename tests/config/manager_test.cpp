// The variable manager's edits: what enters the table, what is refused with the table and
// the project file untouched, and how rows move with every window's references following.
#include "model/vars/system_vars.h"
#include "tests/config/manager_fixture.h"
#include "config/manager/hmi_var_manager.h"

namespace qv::test {
namespace {

class VarManagerTest : public VarProjectTest {
protected:
    HmiVarManager manager{*app};

    HmiVarInput input(std::string name, std::string type = "unsigned char", std::string init = "0")
    {
        HmiVarInput in = manager.NewVarInput();
        in.name = std::move(name);
        in.type = std::move(type);
        in.initValue = std::move(init);
        return in;
    }
    std::vector<std::string> rowTexts(std::size_t row)
    {
        return {table().address[row], table().type[row], table().name[row], table().initValue[row],
                table().description[row]};
    }
};

TEST_F(VarManagerTest, BatchAddPlacesCopiesAfterTheUsedMemoryAndSavesOnce)
{
    HmiVarInput in = input("m_Temp", "unsigned short", "10");
    in.addSeveral = true;
    in.count = 3;
    const VarEditOutcome out = manager.Add(in);
    ASSERT_TRUE(out.changed);
    EXPECT_TRUE(out.messageGbk.empty());
    ASSERT_EQ(table().size(), 19u);
    EXPECT_EQ(rowTexts(16), (std::vector<std::string>{"28", "unsigned short", "m_Temp", "10", "AD采样值"}));
    EXPECT_EQ(rowTexts(17), (std::vector<std::string>{"30", "unsigned short", "m_Temp_1", "11", "AD采样值"}));
    EXPECT_EQ(rowTexts(18), (std::vector<std::string>{"32", "unsigned short", "m_Temp_2", "12", "AD采样值"}));
    EXPECT_EQ(out.select, 18);
    EXPECT_TRUE(sameTable(load(hmi())->m_varTable, table()));
    EXPECT_EQ(g_managerHeaderWrites, 1);
}

TEST_F(VarManagerTest, BatchSkipsCopiesWhoseNameExistsOrValueLeavesTheType)
{
    ASSERT_TRUE(manager.Add(input("m_Temp_1")).changed);
    HmiVarInput in = input("m_Temp", "signed char", "125");
    in.addSeveral = true;
    in.count = 4;
    const VarEditOutcome out = manager.Add(in);
    ASSERT_TRUE(out.changed);
    std::vector<std::string> names(table().name.begin() + 16, table().name.end());
    EXPECT_EQ(names, (std::vector<std::string>{"m_Temp_1", "m_Temp", "m_Temp_2"}));
    const std::string msg = gbkToUtf8Lossy(out.messageGbk);
    EXPECT_NE(msg.find("m_Temp_1"), std::string::npos) << msg;
    EXPECT_NE(msg.find("m_Temp_3"), std::string::npos) << msg; // 128 is no signed char
}

TEST_F(VarManagerTest, RefusedInputLeavesTableAndFileAlone)
{
    ASSERT_TRUE(manager.Add(input("m_A")).changed);
    const HmiVarTable before = table();
    const std::string file = readText(hmi());
    const int writes = g_managerHeaderWrites;
    auto batch = [&](int count) {
        HmiVarInput in = input("m_B");
        in.addSeveral = true;
        in.count = count;
        return in;
    };
    struct Case {
        HmiVarInput in;
        std::string message;
    };
    const Case cases[] = {
        {input("m_A"), "添加失败!存在相同的变量名字"},
        {input("m_HuaMian"), "添加失败!存在相同的变量名字"},
        {input(""), "添加失败!变量名字不能为空"},
        {input("m A"), "添加失败!变量名字不能含有空格、制表符或换行符"},
        {input("m_B", "short"), "添加失败!变量类型无效：short"},
        {input("m_B", "unsigned char", "1.5"), "添加失败!初始值必须是十进制整数：1.5"},
        {input("m_B", "unsigned char", "256"), "添加失败!初始值超出变量类型的范围：256"},
        {input("m_B", "signed short", "-32769"), "添加失败!初始值超出变量类型的范围：-32769"},
        {input("m_\xFF"), "添加失败!变量名字含有GBK编码不能表示的文字"},
        {batch(0), "添加失败!变量个数必须在1～30000之间"},
        {batch(30001), "添加失败!变量个数必须在1～30000之间"},
    };
    for (const Case& c : cases) {
        const VarEditOutcome out = manager.Add(c.in);
        EXPECT_FALSE(out.changed) << gbkToUtf8Lossy(c.message);
        EXPECT_EQ(out.messageGbk, c.message) << gbkToUtf8Lossy(out.messageGbk);
    }
    EXPECT_TRUE(sameTable(table(), before));
    EXPECT_EQ(readText(hmi()), file);
    EXPECT_EQ(g_managerHeaderWrites, writes);
}

TEST_F(VarManagerTest, AFullMemoryRefusesTheVariable)
{
    table().AppendRow("65532", "unsigned int", "m_Last", "0", "");
    const VarEditOutcome out = manager.Add(input("m_New"));
    EXPECT_FALSE(out.changed);
    EXPECT_EQ(out.messageGbk, std::string_view("添加失败!HMI变量存储区（64K字节）已满"));
    EXPECT_EQ(table().size(), 17u);
}

TEST_F(VarManagerTest, ModifyKeepsTheAddressAndChecksItsAlignment)
{
    // The row keeps its address; the new type must fit it.
    const struct {
        const char* address;
        const char* type;
        const char* refusal; // nullptr: taken
    } alignments[] = {
        {"29", "unsigned short", "修改失败!short类型的变量的地址必须是2的倍数"},
        {"29", "signed int", "修改失败!int类型的变量的地址必须是4的倍数"},
        {"30", "unsigned int", "修改失败!int类型的变量的地址必须是4的倍数"},
        {"30", "signed short", nullptr},
        {"32", "signed int", nullptr},
        {"29", "signed char", nullptr},
    };
    table().AppendRow("29", "unsigned char", "m_Odd", "0", "");
    for (const auto& a : alignments) {
        SCOPED_TRACE(std::string(a.address) + " " + a.type);
        table().address[16] = a.address;
        table().type[16] = "unsigned char";
        const VarEditOutcome out = manager.Modify(16, input("m_Odd", a.type));
        EXPECT_EQ(out.messageGbk, std::string_view(a.refusal ? a.refusal : ""));
        EXPECT_EQ(out.changed, a.refusal == nullptr);
        EXPECT_EQ(rowTexts(16)[0], a.address);
        EXPECT_EQ(rowTexts(16)[1], a.refusal ? "unsigned char" : a.type);
    }
    table().address[16] = "29";
    table().type[16] = "unsigned char";
    EXPECT_EQ(manager.Modify(16, input("m_HuaMian")).messageGbk, std::string_view("修改失败!存在相同的变量名字"));
    // The system rows keep the names and types the run time and the user code know them by.
    EXPECT_EQ(manager.Modify(0, input("m_Screen")).messageGbk, std::string_view("修改失败!系统变量的名字和类型不能修改"));
    EXPECT_EQ(rowTexts(16)[1], "unsigned char");

    HmiVarInput in = input("m_Odd", "signed char", "-3");
    in.description = "first\r\nsecond\nthird";
    const VarEditOutcome out = manager.Modify(16, in);
    ASSERT_TRUE(out.changed) << gbkToUtf8Lossy(out.messageGbk);
    EXPECT_EQ(rowTexts(16), (std::vector<std::string>{"29", "signed char", "m_Odd", "-3", "first second third"}));
    HmiVarInput sys = *manager.RowInput(9);
    sys.initValue = "100";
    EXPECT_TRUE(manager.Modify(9, sys).changed);
    EXPECT_EQ(load(hmi())->m_varTable.initValue[9], "100");
}

TEST_F(VarManagerTest, DeleteRenumbersEveryWindowOpenOrClosed)
{
    addUserRows(4); // rows 16..19
    CDrawDoc* open = addWindow("open.drw");
    open->AddObject(numberBoundTo(19));
    const fs::path closed = closedWindowWith("closed.drw", numberBoundTo(18));

    EXPECT_EQ(manager.Delete(15).messageGbk, std::string_view("不能删除系统变量"));
    const VarEditOutcome out = manager.Delete(17);
    ASSERT_TRUE(out.changed);
    EXPECT_EQ(out.select, 16);
    EXPECT_EQ(table().size(), 19u);
    EXPECT_EQ(boundRow(*open->m_objects.front()), 18);
    EXPECT_EQ(boundRow(*load(closed)->m_objects.front()), 17);
    EXPECT_EQ(load(hmi())->m_varTable.name[17], "u18");
    EXPECT_EQ(g_managerHeaderWrites, 1);
}

TEST_F(VarManagerTest, ClearNeedsThePasswordAndKeepsTheSystemRows)
{
    addUserRows(3);
    EXPECT_EQ(manager.Clear("12345").messageGbk, std::string_view("密码错误!!!"));
    EXPECT_EQ(table().size(), 19u);
    EXPECT_TRUE(manager.Clear("70615283946").changed);
    EXPECT_TRUE(sameTable(table(), systemRowsTable()));
    EXPECT_TRUE(sameTable(load(hmi())->m_varTable, systemRowsTable()));
}

TEST_F(VarManagerTest, CutAndPasteLandsBelowTheSelectedRow)
{
    addUserRows(12); // rows 16..27
    CDrawDoc* window = addWindow("w.drw");
    window->AddObject(numberBoundTo(20));

    EXPECT_EQ(manager.Cut(3).messageGbk, std::string_view("不能剪贴系统变量"));
    EXPECT_EQ(manager.CutRow(), 0);
    manager.Cut(20);
    EXPECT_FALSE(manager.Paste(19).changed); // already directly below row 19
    EXPECT_EQ(manager.CutRow(), 0);
    EXPECT_EQ(table().name[20], "u20");

    manager.Cut(20);
    const VarEditOutcome down = manager.Paste(25);
    ASSERT_TRUE(down.changed);
    EXPECT_EQ(down.select, 25);
    EXPECT_EQ(table().name[24], "u25");
    EXPECT_EQ(table().name[25], "u20");
    EXPECT_EQ(boundRow(*window->m_objects.front()), 25);
    EXPECT_EQ(manager.CutRow(), 0);

    manager.Cut(25);
    const VarEditOutcome up = manager.Paste(15); // below the last system row
    ASSERT_TRUE(up.changed);
    EXPECT_EQ(table().name[16], "u20");
    EXPECT_EQ(boundRow(*window->m_objects.front()), 16);
}

TEST_F(VarManagerTest, MovesStayOutOfTheSystemRows)
{
    addUserRows(3); // rows 16..18
    CDrawDoc* window = addWindow("w.drw");
    window->AddObject(numberBoundTo(17));
    struct Case {
        int row;
        VarButtonStates buttons;
    };
    manager.Cut(17);
    const Case cases[] = {
        {14, {false, false, false, false, false}},
        {15, {false, false, false, false, true}},
        {16, {true, false, true, true, true}},
        {17, {true, true, true, true, true}},
        {18, {true, true, false, true, true}},
    };
    for (const Case& c : cases) {
        const VarButtonStates s = manager.ButtonsFor(c.row);
        EXPECT_EQ((std::array{s.remove, s.moveUp, s.moveDown, s.cut, s.paste}),
                  (std::array{c.buttons.remove, c.buttons.moveUp, c.buttons.moveDown, c.buttons.cut, c.buttons.paste}))
            << c.row;
    }
    EXPECT_FALSE(manager.MoveUp(16).changed);
    EXPECT_FALSE(manager.MoveDown(18).changed);
    EXPECT_FALSE(manager.MoveDown(15).changed);
    EXPECT_EQ(manager.MoveUp(17).select, 16);
    EXPECT_EQ(manager.CutRow(), 0);
    EXPECT_EQ(table().name[16], "u17");
    EXPECT_EQ(boundRow(*window->m_objects.front()), 16);
    EXPECT_EQ(manager.MoveDown(16).select, 17);
    EXPECT_EQ(boundRow(*window->m_objects.front()), 17);
    EXPECT_EQ(load(hmi())->m_varTable.name[17], "u17");
}

TEST_F(VarManagerTest, FindTakesTheLastExactMatchAndCloseStoresTheFlag)
{
    addUserRows(2);
    EXPECT_EQ(manager.Find("u17"), 17);
    EXPECT_EQ(manager.Find("U17"), std::nullopt);
    EXPECT_EQ(manager.Find("m_HuaMian"), 0);

    EXPECT_FALSE(manager.Close(true));
    EXPECT_EQ(load(hmi())->SettingI32(settings::kNoAutoAddressAdjust), 1);
    EXPECT_TRUE(manager.NoAutoAdjust());
    EXPECT_TRUE(manager.Close(false));
    EXPECT_EQ(load(hmi())->SettingI32(settings::kNoAutoAddressAdjust), 0);
    EXPECT_TRUE(manager.HeaderPlaceText().ends_with("> 文件夹下的SysVar.h和HmiVar.h"));
}

} // namespace
} // namespace qv::test
