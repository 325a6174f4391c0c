#pragma once
// The one table of commands: what menus, toolbars, the palette and shortcuts offer. Ids are
// the resource command ids; they repeat across owners (32816 is both the project tree's
// "新建画面" and the View menu's drawing bar), so a command is keyed by owner and id.
#include "app/commands/command_rules.h"
#include "model/tree/tree_menus.h"

#include <span>

namespace qv::cmd {

enum class Owner : unsigned char { App, MainFrame, View, ProjectTree };

struct CommandKey {
    Owner owner;
    int id;
    friend bool operator==(const CommandKey&, const CommandKey&) = default;
    friend auto operator<=>(const CommandKey&, const CommandKey&) = default;
};

struct CommandDef {
    CommandKey key;
    const char8_t* text;                // menu text, UTF-8 (the program's own wording)
    const char* shortcut = nullptr;     // portable key sequence text, or nullptr
    const char* icon = nullptr;         // key of the icon table in res/, or nullptr
    StateRule enabled = nullptr;        // nullptr: always enabled
    StateRule checked = nullptr;        // nullptr: not a check item

    // A named command stands for its key wherever a key is asked for.
    constexpr operator CommandKey() const { return key; }
};

// A drawing or control tool: greyed by `Enabled`, marked while it is the tool in use.
template <CommandKey Key, StateRule Enabled = rule::tool>
constexpr CommandDef toolCommand(const char8_t* text, const char* icon)
{
    return {Key, text, nullptr, icon, Enabled, rule::toolCurrent<Enabled, Key.id>};
}

// Every command, named once: its owner and id beside its text, then shortcut, icon, enable
// rule and check rule. Menus, toolbars, context menus and bindings use these names. The ids
// are the resource command ids, which the stored toolbar state keeps: they never change.

// Application commands: the project as a whole.
inline constexpr CommandDef About{{Owner::App, 57664}, u8"关于", nullptr, "about"};
inline constexpr CommandDef FileNewProject{{Owner::App, 32825}, u8"新建工程", nullptr, "new", rule::notCompiling};
inline constexpr CommandDef FileOpenProject{{Owner::App, 32826}, u8"打开工程", nullptr, "open", rule::notCompiling};
inline constexpr CommandDef ProjectNew{{Owner::App, 32819}, u8"新建工程", "Ctrl+N", "new", rule::notBusy};
inline constexpr CommandDef ProjectOpen{{Owner::App, 32820}, u8"打开工程", "Ctrl+O", "open", rule::notBusy};
inline constexpr CommandDef ProjectClose{{Owner::App, 32821}, u8"关闭工程", nullptr, nullptr, rule::notBusy};
inline constexpr CommandDef ProjectSave{{Owner::App, 32822}, u8"保存工程", "Ctrl+S", "save", rule::anyModified};
inline constexpr CommandDef ProjectSaveAs{{Owner::App, 32823}, u8"工程另存为", nullptr, nullptr, rule::notCompilingNorRunMode};
inline constexpr CommandDef SystemSettings{{Owner::App, 32865}, u8"系统参数设置", nullptr, "settings", rule::notCompilingNorRunMode};
inline constexpr CommandDef HmiVariables{{Owner::App, 32893}, u8"HMI变量", nullptr, nullptr, rule::notCompilingNorRunMode};
// The project tree's "工程属性" runs this one too: its id is the tree's.
inline constexpr CommandDef ProjectProperties{{Owner::App, tree_cmd::ProjectProperties}, u8"工程属性", nullptr, nullptr, rule::notCompilingNorRunMode};
inline constexpr CommandDef SerialDebug{{Owner::App, 32894}, u8"调试Velmora单片机协议", nullptr, nullptr, rule::notCompiling};
inline constexpr CommandDef LockProject{{Owner::App, 32910}, u8"锁定工程", nullptr, nullptr, rule::notBusy};
inline constexpr CommandDef UnlockProject{{Owner::App, 32911}, u8"解锁工程", nullptr, nullptr, rule::notBusy};
inline constexpr CommandDef CompileProject{{Owner::App, 32828}, u8"编译工程", nullptr, "compile", rule::notBusy};
inline constexpr CommandDef DownloadProject{{Owner::App, 32798}, u8"下载工程到系统区", nullptr, "download", rule::notBusy};
inline constexpr CommandDef AbortCompile{{Owner::App, 32912}, u8"中止编译和下载", nullptr, "abort", rule::busy};
inline constexpr CommandDef DownloadPictures{{Owner::App, 32925}, u8"下载图片到用户区", nullptr, nullptr, rule::notDownloading};
inline constexpr CommandDef FullScreenSimulation{{Owner::App, 32797}, u8"全屏仿真(Shift+Esc退出全屏)", nullptr, nullptr, rule::notCompiling};
inline constexpr CommandDef ShowCtrlNumbers{{Owner::App, 32922}, u8"控件编号", nullptr, nullptr, nullptr, rule::showCtrlNumbers};
inline constexpr CommandDef SyncClock{{Owner::App, 32919}, u8"同步PC和下位机时钟", nullptr, nullptr, rule::notBusy};
inline constexpr CommandDef FpgaUpdate{{Owner::App, 32920}, u8"升级VGA驱动", nullptr, nullptr, rule::notBusyNorRunMode};
inline constexpr CommandDef ClearFlash{{Owner::App, 32921}, u8"清除FLASH内的工程", nullptr, nullptr, rule::notBusyNorRunMode};
inline constexpr CommandDef BuzzerTest{{Owner::App, 32923}, u8"测试蜂鸣器"};
inline constexpr CommandDef Exit{{Owner::App, 57665}, u8"退出", nullptr, "exit", rule::notBusy};
inline constexpr CommandDef RecentFile{{Owner::App, 57616}, u8"最近文件", nullptr, nullptr, rule::notBusy};

// Main window: bars, full screen and the palette's file walk.
inline constexpr CommandDef ViewStandardBar{{Owner::MainFrame, 59392}, u8"标准工具栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Standard>};
inline constexpr CommandDef ViewStatusBar{{Owner::MainFrame, 59393}, u8"状态栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Status>};
inline constexpr CommandDef ViewDrawingBar{{Owner::MainFrame, 32816}, u8"绘图栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Drawing>};
inline constexpr CommandDef ViewProjectBar{{Owner::MainFrame, 32838}, u8"工程栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Project>};
inline constexpr CommandDef ViewOutputBar{{Owner::MainFrame, 32858}, u8"输出栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Output>};
inline constexpr CommandDef ViewControlsBar{{Owner::MainFrame, 32859}, u8"控件栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Controls>};
inline constexpr CommandDef ViewLayoutBar{{Owner::MainFrame, 32860}, u8"布局栏", nullptr, nullptr, nullptr, rule::barShown<Bar::Layout>};
inline constexpr CommandDef FullScreen{{Owner::MainFrame, 32795}, u8"全屏显示(Shift+Esc退出全屏)", nullptr, "fullscreen", rule::notCompiling};
inline constexpr CommandDef FullScreenToggle{{Owner::MainFrame, 32890}, u8"退出全屏状态", nullptr, "leave-fullscreen", rule::notCompiling};
inline constexpr CommandDef NextFile{{Owner::MainFrame, 32891}, u8"下一文件", nullptr, "next-file", rule::nextFile};
inline constexpr CommandDef PrevFile{{Owner::MainFrame, 32892}, u8"上一文件", nullptr, "prev-file", rule::prevFile};
// The frame's Shift+Esc, not a resource command.
inline constexpr CommandDef LeaveFullScreen{{Owner::MainFrame, 1}, u8"退出全屏", "Shift+Esc", nullptr, rule::fullScreen};

// Editing view: edit commands.
inline constexpr CommandDef Undo{{Owner::View, 57643}, u8"撤消", "Ctrl+Z", "undo", rule::canUndo};
inline constexpr CommandDef Redo{{Owner::View, 57644}, u8"重做", "Ctrl+Y", "redo", rule::canRedo};
inline constexpr CommandDef Cut{{Owner::View, 57635}, u8"剪切", "Ctrl+X", "cut", rule::hasSelection};
inline constexpr CommandDef Copy{{Owner::View, 57634}, u8"复制", "Ctrl+C", "copy", rule::hasSelection};
inline constexpr CommandDef Paste{{Owner::View, 57637}, u8"粘贴", "Ctrl+V", "paste", rule::canPaste};
inline constexpr CommandDef Clear{{Owner::View, 57632}, u8"清除", "Del", "clear", rule::hasSelection};
inline constexpr CommandDef SelectAll{{Owner::View, 57642}, u8"全选", "Ctrl+A", nullptr, rule::canSelectAll};
inline constexpr CommandDef Properties{{Owner::View, 32783}, u8"属性", nullptr, nullptr, rule::hasSelection};
inline constexpr CommandDef LockSelection{{Owner::View, 32908}, u8"锁定选中", nullptr, nullptr, rule::hasSelection};
inline constexpr CommandDef UnlockSelection{{Owner::View, 32909}, u8"解锁选中", nullptr, nullptr, rule::hasSelection};

// Editing view: drawing tools (drawing bar) and control tools (controls bar).
inline constexpr CommandDef ToolSelect = toolCommand<CommandKey{Owner::View, 32774}, rule::selectTool>(u8"选择", "select");
inline constexpr CommandDef ToolLine = toolCommand<CommandKey{Owner::View, 32773}>(u8"直线", "line");
inline constexpr CommandDef ToolRect = toolCommand<CommandKey{Owner::View, 32775}>(u8"直角矩形", "rect");
inline constexpr CommandDef ToolRoundRect = toolCommand<CommandKey{Owner::View, 32776}>(u8"圆角矩形", "round-rect");
inline constexpr CommandDef ToolEllipse = toolCommand<CommandKey{Owner::View, 32777}>(u8"椭圆", "ellipse");
inline constexpr CommandDef ToolCircle = toolCommand<CommandKey{Owner::View, 32778}>(u8"正圆", "circle");
inline constexpr CommandDef ToolPicture = toolCommand<CommandKey{Owner::View, 32793}>(u8"图片", "picture");
inline constexpr CommandDef ToolText = toolCommand<CommandKey{Owner::View, 32834}>(u8"文字", "text");
inline constexpr CommandDef ToolPipeJoint = toolCommand<CommandKey{Owner::View, 32883}>(u8"管道接口", "pipe-joint");
inline constexpr CommandDef ToolPipe = toolCommand<CommandKey{Owner::View, 32882}>(u8"管道", "pipe");
inline constexpr CommandDef ToolScale = toolCommand<CommandKey{Owner::View, 32881}>(u8"刻度", "scale");
inline constexpr CommandDef ToolNeedle = toolCommand<CommandKey{Owner::View, 32879}>(u8"表针", "needle");
inline constexpr CommandDef ToolButton = toolCommand<CommandKey{Owner::View, 32839}>(u8"操作按钮", "button");
inline constexpr CommandDef ToolDynamicPicture = toolCommand<CommandKey{Owner::View, 32840}>(u8"动态图片", "dynamic-picture");
inline constexpr CommandDef ToolNumber = toolCommand<CommandKey{Owner::View, 32841}>(u8"实时数据", "number");
inline constexpr CommandDef ToolNumericInput = toolCommand<CommandKey{Owner::View, 32868}, rule::numericInputTool>(u8"数字输入框", "numeric-input");
inline constexpr CommandDef ToolCurve = toolCommand<CommandKey{Owner::View, 32873}>(u8"曲线", "curve");
inline constexpr CommandDef ToolLight = toolCommand<CommandKey{Owner::View, 32877}>(u8"信号灯", "light");
inline constexpr CommandDef ToolBitSwitch = toolCommand<CommandKey{Owner::View, 32875}>(u8"位开关", "bit-switch");
inline constexpr CommandDef ToolRadio = toolCommand<CommandKey{Owner::View, 32876}>(u8"单选按钮", "radio");
inline constexpr CommandDef ToolProgress = toolCommand<CommandKey{Owner::View, 32874}>(u8"进度条", "progress");
inline constexpr CommandDef ToolTable = toolCommand<CommandKey{Owner::View, 32895}>(u8"表格", "table");
inline constexpr CommandDef ToolCharacter = toolCommand<CommandKey{Owner::View, 32906}>(u8"字符", "character");
inline constexpr CommandDef ToolArea = toolCommand<CommandKey{Owner::View, 32907}>(u8"区域控制", "area");
// The window's paper colour (the document's own command, on the drawing menu).
inline constexpr CommandDef BackgroundColor{{Owner::View, 32794}, u8"背景", nullptr, nullptr, rule::tool};

// Editing view: layout commands (layout bar).
inline constexpr CommandDef StackBackward{{Owner::View, 32788}, u8"后移一层", nullptr, "backward", rule::oneSelected};
inline constexpr CommandDef StackForward{{Owner::View, 32787}, u8"前移一层", nullptr, "forward", rule::oneSelected};
inline constexpr CommandDef StackToBack{{Owner::View, 32786}, u8"移至底层", nullptr, "to-back", rule::oneSelected};
inline constexpr CommandDef StackToFront{{Owner::View, 32785}, u8"移至顶层", nullptr, "to-front", rule::oneSelected};
inline constexpr CommandDef AlignLeft{{Owner::View, 32799}, u8"靠左", nullptr, "align-left", rule::severalSelected};
inline constexpr CommandDef AlignRight{{Owner::View, 32801}, u8"靠右", nullptr, "align-right", rule::severalSelected};
inline constexpr CommandDef AlignTop{{Owner::View, 32800}, u8"顶端对齐", nullptr, "align-top", rule::severalSelected};
inline constexpr CommandDef AlignBottom{{Owner::View, 32802}, u8"底端对齐", nullptr, "align-bottom", rule::severalSelected};
inline constexpr CommandDef AlignOnVerticalLine{{Owner::View, 32804}, u8"垂直中心线上对齐", nullptr, "align-vcenter", rule::severalSelected};
inline constexpr CommandDef AlignOnHorizontalLine{{Owner::View, 32803}, u8"水平中心线上对齐", nullptr, "align-hcenter", rule::severalSelected};
inline constexpr CommandDef SameWidth{{Owner::View, 32807}, u8"等宽度", nullptr, "same-width", rule::severalSelected};
inline constexpr CommandDef SameHeight{{Owner::View, 32808}, u8"等高度", nullptr, "same-height", rule::severalSelected};
inline constexpr CommandDef SameSize{{Owner::View, 32809}, u8"等宽高", nullptr, "same-size", rule::severalSelected};
inline constexpr CommandDef CentreInWindowH{{Owner::View, 32810}, u8"水平", nullptr, "center-h", rule::hasSelection};
inline constexpr CommandDef CentreInWindowV{{Owner::View, 32811}, u8"垂直", nullptr, "center-v", rule::hasSelection};
inline constexpr CommandDef CellLeft{{Owner::View, 32897}, u8"左对齐于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellRight{{Owner::View, 32898}, u8"右对齐于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellTop{{Owner::View, 32899}, u8"上对齐于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellBottom{{Owner::View, 32900}, u8"下对齐于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellCentreX{{Owner::View, 32901}, u8"垂直中心对齐于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellCentreY{{Owner::View, 32902}, u8"水平中心对齐于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellSameWidth{{Owner::View, 32903}, u8"等宽于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef CellSameHeight{{Owner::View, 32904}, u8"等高于单元格", nullptr, nullptr, rule::tableSelected};
inline constexpr CommandDef SaveAsBitmap{{Owner::View, 32886}, u8"生成位图", nullptr, nullptr, rule::hasSelection};
inline constexpr CommandDef VoiceAssistant{{Owner::View, 32916}, u8"语音助手", nullptr, nullptr, rule::tool};
inline constexpr CommandDef Calculator{{Owner::View, 32917}, u8"计算器"};
inline constexpr CommandDef RecipeManager{{Owner::View, 32926}, u8"配方管理", nullptr, nullptr, rule::tool};

// Project tree: the screens folder's commands (their ids are the tree's).
inline constexpr CommandDef TreeNewScreen{{Owner::ProjectTree, tree_cmd::NewScreen}, u8"新建画面...", nullptr, nullptr, rule::notCompiling};
inline constexpr CommandDef TreeDeleteScreen{{Owner::ProjectTree, tree_cmd::DeleteScreen}, u8"删除画面..."};
inline constexpr CommandDef TreeImportScreen{{Owner::ProjectTree, tree_cmd::ImportScreen}, u8"导入画面...", nullptr, nullptr, rule::notCompiling};
inline constexpr CommandDef TreeScreenProperties{{Owner::ProjectTree, tree_cmd::ScreenProperties}, u8"画面属性..."};

// Every command above, in table order.
std::span<const CommandDef> commandTable();

// nullptr when the table has no such command.
const CommandDef* findCommand(CommandKey key);

bool isEnabled(const CommandDef& def, const ShellState& state);
bool isCheckable(const CommandDef& def);
bool isChecked(const CommandDef& def, const ShellState& state);

} // namespace qv::cmd
