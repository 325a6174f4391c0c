// The command table: keys, layouts and the enable/check rules as one table of states.
#include "app/commands/command_table.h"
#include "app/commands/menu_layout.h"
#include "app/mainframe/toolbar_layout.h"
#include "res/icons/command_icons.h"
#include "tests/app/mainframe_fixture.h"

#include <gtest/gtest.h>
#include <map>
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
// keep name commands by them, so no id may move. The table holds these and no others.
TEST(CommandTable, IdsStayTheResourceIds)
{
    const std::map<Owner, std::set<int>> pinned = {
        {Owner::App, {
            57664, 32825, 32826, 32819, 32820, 32821, 32822, 32823, 32865, 32893, 32914, 32894, 32910,
            32911, 32828, 32798, 32912, 32925, 32797, 32922, 32919, 32920, 32921, 32923, 57665, 57616}},
        {Owner::MainFrame, {
            59392, 59393, 32816, 32838, 32858, 32859, 32860, 32795, 32890, 32891, 32892, 1}},
        {Owner::View, {
            57643, 57644, 57635, 57634, 57637, 57632, 57642, 32783, 32908, 32909, 32774, 32773, 32775,
            32776, 32777, 32778, 32793, 32834, 32883, 32882, 32881, 32879, 32839, 32840, 32841, 32868,
            32873, 32877, 32875, 32876, 32874, 32895, 32906, 32907, 32794, 32788, 32787, 32786, 32785,
            32799, 32801, 32800, 32802, 32804, 32803, 32807, 32808, 32809, 32810, 32811, 32897, 32898,
            32899, 32900, 32901, 32902, 32903, 32904, 32886, 32916, 32917, 32926}},
        {Owner::ProjectTree, {
            32816, 32817, 32872, 32818}},
    };
    std::size_t count = 0;
    for (const auto& [owner, ids] : pinned)
        for (int id : ids) {
            EXPECT_NE(findCommand({owner, id}), nullptr) << "id " << id << " of owner " << static_cast<int>(owner);
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
