// The command table: keys, layouts and the enable/check rules as one table of states.
#include "app/commands/command_table.h"
#include "app/commands/menu_layout.h"
#include "app/mainframe/toolbar_layout.h"
#include "res/icons/command_icons.h"
#include "tests/app/mainframe_fixture.h"

#include <gtest/gtest.h>
#include <map>
#include <string_view>
#include <utility>
#include <vector>
#include <set>

namespace qv::cmd {
namespace {

TEST(CommandTable, KeysAreUniquePerOwnerAndIdsRepeatAcrossOwners)
{
    std::set<CommandKey> keys;
    for (const CommandDef& def : commandTable())
        EXPECT_TRUE(keys.insert(def.key).second) << "duplicate id " << def.key.id;

    const CommandDef* drawingBar = findCommand({Owner::MainFrame, 32816});
    const CommandDef* newScreen = findCommand({Owner::ProjectTree, 32816});
    ASSERT_NE(drawingBar, nullptr);
    ASSERT_NE(newScreen, nullptr);
    EXPECT_TRUE(std::u8string(drawingBar->text) == u8"绘图栏");
    EXPECT_TRUE(std::u8string(newScreen->text) == u8"新建画面...");
    EXPECT_EQ(findCommand({Owner::View, 32816}), nullptr);
}

// The ids are the resource command ids: the menus and the toolbar state a user's settings
// keep name commands by them, so no id may move, nor two commands trade ids. The table holds
// these and no others.
TEST(CommandTable, IdsStayTheResourceIds)
{
    const std::map<Owner, std::vector<std::pair<int, std::u8string_view>>> pinned = {
        {Owner::App, {
            {57664, u8"关于"}, {32825, u8"新建工程"}, {32826, u8"打开工程"}, {32819, u8"新建工程"},
            {32820, u8"打开工程"}, {32821, u8"关闭工程"}, {32822, u8"保存工程"}, {32823, u8"工程另存为"},
            {32865, u8"系统参数设置"}, {32893, u8"HMI变量"}, {32914, u8"工程属性"},
            {32894, u8"调试Velmora单片机协议"}, {32910, u8"锁定工程"}, {32911, u8"解锁工程"},
            {32828, u8"编译工程"}, {32798, u8"下载工程到系统区"}, {32912, u8"中止编译和下载"},
            {32925, u8"下载图片到用户区"}, {32797, u8"全屏仿真(Shift+Esc退出全屏)"}, {32922, u8"控件编号"},
            {32919, u8"同步PC和下位机时钟"}, {32920, u8"升级VGA驱动"}, {32921, u8"清除FLASH内的工程"},
            {32923, u8"测试蜂鸣器"}, {57665, u8"退出"}, {57616, u8"最近文件"},
        }},
        {Owner::MainFrame, {
            {59392, u8"标准工具栏"}, {59393, u8"状态栏"}, {32816, u8"绘图栏"}, {32838, u8"工程栏"},
            {32858, u8"输出栏"}, {32859, u8"控件栏"}, {32860, u8"布局栏"},
            {32795, u8"全屏显示(Shift+Esc退出全屏)"}, {32890, u8"退出全屏状态"}, {32891, u8"下一文件"},
            {32892, u8"上一文件"}, {1, u8"退出全屏"},
        }},
        {Owner::View, {
            {57643, u8"撤消"}, {57644, u8"重做"}, {57635, u8"剪切"}, {57634, u8"复制"}, {57637, u8"粘贴"},
            {57632, u8"清除"}, {57642, u8"全选"}, {32783, u8"属性"}, {32908, u8"锁定选中"},
            {32909, u8"解锁选中"}, {32774, u8"选择"}, {32773, u8"直线"}, {32775, u8"直角矩形"},
            {32776, u8"圆角矩形"}, {32777, u8"椭圆"}, {32778, u8"正圆"}, {32793, u8"图片"}, {32834, u8"文字"},
            {32883, u8"管道接口"}, {32882, u8"管道"}, {32881, u8"刻度"}, {32879, u8"表针"},
            {32839, u8"操作按钮"}, {32840, u8"动态图片"}, {32841, u8"实时数据"}, {32868, u8"数字输入框"},
            {32873, u8"曲线"}, {32877, u8"信号灯"}, {32875, u8"位开关"}, {32876, u8"单选按钮"},
            {32874, u8"进度条"}, {32895, u8"表格"}, {32906, u8"字符"}, {32907, u8"区域控制"}, {32794, u8"背景"},
            {32788, u8"后移一层"}, {32787, u8"前移一层"}, {32786, u8"移至底层"}, {32785, u8"移至顶层"},
            {32799, u8"靠左"}, {32801, u8"靠右"}, {32800, u8"顶端对齐"}, {32802, u8"底端对齐"},
            {32804, u8"垂直中心线上对齐"}, {32803, u8"水平中心线上对齐"}, {32807, u8"等宽度"},
            {32808, u8"等高度"}, {32809, u8"等宽高"}, {32810, u8"水平"}, {32811, u8"垂直"},
            {32897, u8"左对齐于单元格"}, {32898, u8"右对齐于单元格"}, {32899, u8"上对齐于单元格"},
            {32900, u8"下对齐于单元格"}, {32901, u8"垂直中心对齐于单元格"}, {32902, u8"水平中心对齐于单元格"},
            {32903, u8"等宽于单元格"}, {32904, u8"等高于单元格"}, {32886, u8"生成位图"}, {32916, u8"语音助手"},
            {32917, u8"计算器"}, {32926, u8"配方管理"},
        }},
        {Owner::ProjectTree, {
            {32816, u8"新建画面..."}, {32817, u8"删除画面..."}, {32872, u8"导入画面..."},
            {32818, u8"画面属性..."},
        }},
    };
    std::size_t count = 0;
    for (const auto& [owner, commands] : pinned)
        for (const auto& [id, text] : commands) {
            SCOPED_TRACE(testing::Message() << "id " << id << " of owner " << static_cast<int>(owner));
            const CommandDef* def = findCommand({owner, id});
            ASSERT_NE(def, nullptr);
            EXPECT_TRUE(std::u8string_view(def->text) == text);
            ++count;
        }
    EXPECT_EQ(commandTable().size(), count);
}

TEST(CommandTable, EveryMenuToolbarAndIconEntryExists)
{
    qv::test::guiApp(); // icons are pixmaps
    std::vector<std::span<const MenuEntry>> layouts;
    for (MenuBarId bar : {MenuBarId::NoDocument, MenuBarId::Document})
        for (const MenuDef& menu : menuBar(bar))
            layouts.push_back(menu.entries);
    for (const ToolbarDef& bar : dockedToolbars())
        layouts.push_back(bar.buttons);
    layouts.push_back(paletteToolbar().buttons);
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        const std::span<const MenuEntry> entries = layouts[i]; // the list grows below
        for (const MenuEntry& e : entries) {
            if (e.submenu != nullptr)
                layouts.push_back(e.submenu->entries);
            else if (e.id != 0) {
                EXPECT_NE(findCommand({e.owner, e.id}), nullptr) << "missing command " << e.id;
            }
        }
    }

    for (const CommandDef& def : commandTable()) {
        if (def.icon != nullptr) {
            EXPECT_TRUE(qv::res::hasIcon(def.icon)) << def.icon;
            EXPECT_FALSE(qv::res::drawnIcon(def.icon).isNull()) << def.icon;
        }
    }
}

// One row per program state; the columns say what the View commands, full screen and the
// commands greyed by the busy flags show in that state.
struct StateCase {
    const char* name;
    ShellState state;
    bool fullScreenEnabled;
    bool nextFileEnabled;
    bool prevFileEnabled;
    bool exitEnabled;
    bool abortEnabled;
    bool compileEnabled;
    bool saveAsEnabled;
    bool drawingBarChecked;
    bool outputBarChecked;
    bool numbersChecked;
    bool lineToolEnabled;
    bool copyEnabled;
    bool simulateEnabled;
    bool voiceEnabled;
    bool calculatorEnabled;
    bool backgroundEnabled;
};

ShellState make(auto&&... setters)
{
    ShellState s;
    for (std::size_t i = 0; i < s.barVisible.size(); ++i)
        s.barVisible[i] = true;
    (setters(s), ...);
    return s;
}

const auto compiling = [](ShellState& s) { s.compiling = true; };
const auto downloading = [](ShellState& s) { s.downloading = true; };
const auto window = [](ShellState& s) { s.hasActiveDocument = true; };
const auto project = [](ShellState& s) { s.hasActiveDocument = s.activeIsProject = true; };
const auto simulator = [](ShellState& s) { s.hasActiveDocument = s.activeIsRunMode = true; };
const auto selected = [](ShellState& s) { s.selectionCount = 2; };
const auto noDrawingBar = [](ShellState& s) { s.setBar(Bar::Drawing, false); };
const auto noOutputBar = [](ShellState& s) { s.setBar(Bar::Output, false); };
const auto numbers = [](ShellState& s) { s.showCtrlNumbers = true; };

class CommandRules : public ::testing::TestWithParam<StateCase> {};

TEST_P(CommandRules, MatchTheState)
{
    const StateCase& c = GetParam();
    auto enabled = [&](CommandKey key) { return isEnabled(*findCommand(key), c.state); };
    auto checked = [&](CommandKey key) { return isChecked(*findCommand(key), c.state); };
    EXPECT_EQ(enabled(FullScreen), c.fullScreenEnabled);
    EXPECT_EQ(enabled(NextFile), c.nextFileEnabled);
    EXPECT_EQ(enabled(PrevFile), c.prevFileEnabled);
    EXPECT_EQ(enabled(Exit), c.exitEnabled);
    EXPECT_EQ(enabled(AbortCompile), c.abortEnabled);
    EXPECT_EQ(enabled(CompileProject), c.compileEnabled);
    EXPECT_EQ(enabled(ProjectSaveAs), c.saveAsEnabled);
    EXPECT_EQ(checked(ViewDrawingBar), c.drawingBarChecked);
    EXPECT_EQ(checked(ViewOutputBar), c.outputBarChecked);
    EXPECT_EQ(checked(ShowCtrlNumbers), c.numbersChecked);
    EXPECT_EQ(enabled(ToolLine), c.lineToolEnabled);
    EXPECT_EQ(enabled(Copy), c.copyEnabled);
    EXPECT_EQ(enabled(FullScreenSimulation), c.simulateEnabled);
    EXPECT_EQ(enabled(VoiceAssistant), c.voiceEnabled);
    EXPECT_EQ(enabled(Calculator), c.calculatorEnabled);
    EXPECT_EQ(enabled(BackgroundColor), c.backgroundEnabled);
    // Leaving full screen is never greyed while the window is full screen.
    ShellState full = c.state;
    full.fullScreen = true;
    EXPECT_TRUE(isEnabled(*findCommand(LeaveFullScreen), full));
}

// name                       state                               full next prev exit abrt comp svas draw out  num  line copy sim  voic calc back
INSTANTIATE_TEST_SUITE_P(States, CommandRules, ::testing::Values(
    StateCase{"NoDocument",   make(),                             true, true, true, true, false,true, true, true, true, false,false,false,true, false,true, false},
    StateCase{"Window",       make(window),                       true, true, true, true, false,true, true, true, true, false,true, false,true, true, true, true},
    StateCase{"WindowSel",    make(window, selected),             true, true, true, true, false,true, true, true, true, false,true, true, true, true, true, true},
    StateCase{"Project",      make(project),                      true, true, false,true, false,true, true, true, true, false,false,false,true, false,true, false},
    StateCase{"Simulator",    make(simulator),                    true, false,true, true, false,true, false,true, true, false,false,false,true, false,true, false},
    StateCase{"Compiling",    make(window, selected, compiling),  false,false,false,false,true, false,false,true, true, false,false,false,false,false,true, false},
    StateCase{"Downloading",  make(window, downloading),          true, true, true, false,true, false,true, true, true, false,true, false,true, true, true, true},
    StateCase{"BarsHidden",   make(window, noDrawingBar, noOutputBar, numbers),
                                                                  true, true, true, true, false,true, true, false,false,true, true, false,true, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qv::cmd
