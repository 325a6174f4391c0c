// The command table: keys, layouts and the enable/check rules as one table of states.
#include "app/commands/command_table.h"
#include "app/commands/menu_layout.h"
#include "app/mainframe/toolbar_layout.h"
#include "res/icons/command_icons.h"
#include "tests/app/mainframe_fixture.h"

#include <gtest/gtest.h>
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
    bool fullScreenEnabled;   // 32795
    bool nextFileEnabled;     // 32891
    bool prevFileEnabled;     // 32892
    bool exitEnabled;         // 57665
    bool abortEnabled;        // 32912
    bool compileEnabled;      // 32828
    bool saveAsEnabled;       // 32823
    bool drawingBarChecked;   // 32816
    bool outputBarChecked;    // 32858
    bool numbersChecked;      // 32922
    bool lineToolEnabled;     // 32773
    bool copyEnabled;         // 57634
    bool simulateEnabled;     // 32797
    bool voiceEnabled;        // 32916
    bool calculatorEnabled;   // 32917
    bool backgroundEnabled;   // 32794
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
    auto enabled = [&](Owner o, int id) { return isEnabled(*findCommand({o, id}), c.state); };
    auto checked = [&](Owner o, int id) { return isChecked(*findCommand({o, id}), c.state); };
    EXPECT_EQ(enabled(Owner::MainFrame, 32795), c.fullScreenEnabled);
    EXPECT_EQ(enabled(Owner::MainFrame, 32891), c.nextFileEnabled);
    EXPECT_EQ(enabled(Owner::MainFrame, 32892), c.prevFileEnabled);
    EXPECT_EQ(enabled(Owner::App, 57665), c.exitEnabled);
    EXPECT_EQ(enabled(Owner::App, 32912), c.abortEnabled);
    EXPECT_EQ(enabled(Owner::App, 32828), c.compileEnabled);
    EXPECT_EQ(enabled(Owner::App, 32823), c.saveAsEnabled);
    EXPECT_EQ(checked(Owner::MainFrame, 32816), c.drawingBarChecked);
    EXPECT_EQ(checked(Owner::MainFrame, 32858), c.outputBarChecked);
    EXPECT_EQ(checked(Owner::App, 32922), c.numbersChecked);
    EXPECT_EQ(enabled(Owner::View, 32773), c.lineToolEnabled);
    EXPECT_EQ(enabled(Owner::View, 57634), c.copyEnabled);
    EXPECT_EQ(enabled(Owner::App, 32797), c.simulateEnabled);
    EXPECT_EQ(enabled(Owner::View, 32916), c.voiceEnabled);
    EXPECT_EQ(enabled(Owner::View, 32917), c.calculatorEnabled);
    EXPECT_EQ(enabled(Owner::View, 32794), c.backgroundEnabled);
    // Leaving full screen is never greyed while the window is full screen.
    ShellState full = c.state;
    full.fullScreen = true;
    EXPECT_TRUE(isEnabled(*findCommand({Owner::MainFrame, id::LeaveFullScreen}), full));
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
