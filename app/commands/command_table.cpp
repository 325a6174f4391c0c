#include "app/commands/command_table.h"

#include <algorithm>
#include <array>

namespace qv::cmd {
namespace {

using namespace rule;
constexpr Owner A = Owner::App;
constexpr Owner F = Owner::MainFrame;
constexpr Owner V = Owner::View;
constexpr Owner T = Owner::ProjectTree;

// owner, id, text, shortcut, icon, enabled, checked
const CommandDef kCommands[] = {
    // Application commands: the project as a whole.
    {{A, 57664}, u8"关于", nullptr, "about", nullptr, nullptr},
    {{A, 32825}, u8"新建工程", nullptr, "new", notCompiling, nullptr},
    {{A, 32826}, u8"打开工程", nullptr, "open", notCompiling, nullptr},
    {{A, 32819}, u8"新建工程", "Ctrl+N", "new", notBusy, nullptr},
    {{A, 32820}, u8"打开工程", "Ctrl+O", "open", notBusy, nullptr},
    {{A, 32821}, u8"关闭工程", nullptr, nullptr, notBusy, nullptr},
    {{A, 32822}, u8"保存工程", "Ctrl+S", "save", anyModified, nullptr},
    {{A, 32823}, u8"工程另存为", nullptr, nullptr, notCompilingNorRunMode, nullptr},
    {{A, 32865}, u8"系统参数设置", nullptr, "settings", notCompilingNorRunMode, nullptr},
    {{A, 32893}, u8"HMI变量", nullptr, nullptr, notCompilingNorRunMode, nullptr},
    {{A, 32914}, u8"工程属性", nullptr, nullptr, notCompilingNorRunMode, nullptr},
    {{A, 32894}, u8"调试Velmora单片机协议", nullptr, nullptr, notCompiling, nullptr},
    {{A, 32910}, u8"锁定工程", nullptr, nullptr, notBusy, nullptr},
    {{A, 32911}, u8"解锁工程", nullptr, nullptr, notBusy, nullptr},
    {{A, 32828}, u8"编译工程", nullptr, "compile", notBusy, nullptr},
    {{A, 32798}, u8"下载工程到系统区", nullptr, "download", notBusy, nullptr},
    {{A, 32912}, u8"中止编译和下载", nullptr, "abort", busy, nullptr},
    {{A, 32925}, u8"下载图片到用户区", nullptr, nullptr, notDownloading, nullptr},
    {{A, 32797}, u8"全屏仿真(Shift+Esc退出全屏)", nullptr, nullptr, notCompiling, nullptr},
    {{A, 32922}, u8"控件编号", nullptr, nullptr, nullptr, showCtrlNumbers},
    {{A, 32919}, u8"同步PC和下位机时钟", nullptr, nullptr, notBusy, nullptr},
    {{A, 32920}, u8"升级VGA驱动", nullptr, nullptr, notBusyNorRunMode, nullptr},
    {{A, 32921}, u8"清除FLASH内的工程", nullptr, nullptr, notBusyNorRunMode, nullptr},
    {{A, 32923}, u8"测试蜂鸣器", nullptr, nullptr, nullptr, nullptr},
    {{A, 57665}, u8"退出", nullptr, "exit", notBusy, nullptr},
    {{A, 57616}, u8"最近文件", nullptr, nullptr, notBusy, nullptr},

    // Main window: bars, full screen and the palette's file walk.
    {{F, 59392}, u8"标准工具栏", nullptr, nullptr, nullptr, barShown<Bar::Standard>},
    {{F, 59393}, u8"状态栏", nullptr, nullptr, nullptr, barShown<Bar::Status>},
    {{F, 32816}, u8"绘图栏", nullptr, nullptr, nullptr, barShown<Bar::Drawing>},
    {{F, 32838}, u8"工程栏", nullptr, nullptr, nullptr, barShown<Bar::Project>},
    {{F, 32858}, u8"输出栏", nullptr, nullptr, nullptr, barShown<Bar::Output>},
    {{F, 32859}, u8"控件栏", nullptr, nullptr, nullptr, barShown<Bar::Controls>},
    {{F, 32860}, u8"布局栏", nullptr, nullptr, nullptr, barShown<Bar::Layout>},
    {{F, 32795}, u8"全屏显示(Shift+Esc退出全屏)", nullptr, "fullscreen", notCompiling, nullptr},
    {{F, 32890}, u8"退出全屏状态", nullptr, "leave-fullscreen", notCompiling, nullptr},
    {{F, 32891}, u8"下一文件", nullptr, "next-file", nextFile, nullptr},
    {{F, 32892}, u8"上一文件", nullptr, "prev-file", prevFile, nullptr},
    {{F, id::LeaveFullScreen}, u8"退出全屏", "Shift+Esc", nullptr, fullScreen, nullptr},

    // Editing view: edit commands.
    {{V, 57643}, u8"撤消", "Ctrl+Z", "undo", canUndo, nullptr},
    {{V, 57644}, u8"重做", "Ctrl+Y", "redo", canRedo, nullptr},
    {{V, 57635}, u8"剪切", "Ctrl+X", "cut", hasSelection, nullptr},
    {{V, 57634}, u8"复制", "Ctrl+C", "copy", hasSelection, nullptr},
    {{V, 57637}, u8"粘贴", "Ctrl+V", "paste", canPaste, nullptr},
    {{V, 57632}, u8"清除", "Del", "clear", hasSelection, nullptr},
    {{V, 57642}, u8"全选", "Ctrl+A", nullptr, canSelectAll, nullptr},
    {{V, 32783}, u8"属性", nullptr, nullptr, hasSelection, nullptr},
    {{V, 32908}, u8"锁定选中", nullptr, nullptr, hasSelection, nullptr},
    {{V, 32909}, u8"解锁选中", nullptr, nullptr, hasSelection, nullptr},

    // Editing view: drawing tools (drawing bar) and control tools (controls bar).
    {{V, 32774}, u8"选择", nullptr, "select", selectTool, toolCurrent<selectTool, 32774>},
    {{V, 32773}, u8"直线", nullptr, "line", tool, toolCurrent<tool, 32773>},
    {{V, 32775}, u8"直角矩形", nullptr, "rect", tool, toolCurrent<tool, 32775>},
    {{V, 32776}, u8"圆角矩形", nullptr, "round-rect", tool, toolCurrent<tool, 32776>},
    {{V, 32777}, u8"椭圆", nullptr, "ellipse", tool, toolCurrent<tool, 32777>},
    {{V, 32778}, u8"正圆", nullptr, "circle", tool, toolCurrent<tool, 32778>},
    {{V, 32793}, u8"图片", nullptr, "picture", tool, toolCurrent<tool, 32793>},
    {{V, 32834}, u8"文字", nullptr, "text", tool, toolCurrent<tool, 32834>},
    {{V, 32883}, u8"管道接口", nullptr, "pipe-joint", tool, toolCurrent<tool, 32883>},
    {{V, 32882}, u8"管道", nullptr, "pipe", tool, toolCurrent<tool, 32882>},
    {{V, 32881}, u8"刻度", nullptr, "scale", tool, toolCurrent<tool, 32881>},
    {{V, 32879}, u8"表针", nullptr, "needle", tool, toolCurrent<tool, 32879>},
    {{V, 32839}, u8"操作按钮", nullptr, "button", tool, toolCurrent<tool, 32839>},
    {{V, 32840}, u8"动态图片", nullptr, "dynamic-picture", tool, toolCurrent<tool, 32840>},
    {{V, 32841}, u8"实时数据", nullptr, "number", tool, toolCurrent<tool, 32841>},
    {{V, 32868}, u8"数字输入框", nullptr, "numeric-input", numericInputTool, toolCurrent<numericInputTool, 32868>},
    {{V, 32873}, u8"曲线", nullptr, "curve", tool, toolCurrent<tool, 32873>},
    {{V, 32877}, u8"信号灯", nullptr, "light", tool, toolCurrent<tool, 32877>},
    {{V, 32875}, u8"位开关", nullptr, "bit-switch", tool, toolCurrent<tool, 32875>},
    {{V, 32876}, u8"单选按钮", nullptr, "radio", tool, toolCurrent<tool, 32876>},
    {{V, 32874}, u8"进度条", nullptr, "progress", tool, toolCurrent<tool, 32874>},
    {{V, 32895}, u8"表格", nullptr, "table", tool, toolCurrent<tool, 32895>},
    {{V, 32906}, u8"字符", nullptr, "character", tool, toolCurrent<tool, 32906>},
    {{V, 32907}, u8"区域控制", nullptr, "area", tool, toolCurrent<tool, 32907>},
    // The window's paper colour (the document's own command, on the drawing menu).
    {{V, id::BackgroundColor}, u8"背景", nullptr, nullptr, tool, nullptr},

    // Editing view: layout commands (layout bar).
    {{V, 32788}, u8"后移一层", nullptr, "backward", oneSelected, nullptr},
    {{V, 32787}, u8"前移一层", nullptr, "forward", oneSelected, nullptr},
    {{V, 32786}, u8"移至底层", nullptr, "to-back", oneSelected, nullptr},
    {{V, 32785}, u8"移至顶层", nullptr, "to-front", oneSelected, nullptr},
    {{V, 32799}, u8"靠左", nullptr, "align-left", severalSelected, nullptr},
    {{V, 32801}, u8"靠右", nullptr, "align-right", severalSelected, nullptr},
    {{V, 32800}, u8"顶端对齐", nullptr, "align-top", severalSelected, nullptr},
    {{V, 32802}, u8"底端对齐", nullptr, "align-bottom", severalSelected, nullptr},
    {{V, 32804}, u8"垂直中心线上对齐", nullptr, "align-vcenter", severalSelected, nullptr},
    {{V, 32803}, u8"水平中心线上对齐", nullptr, "align-hcenter", severalSelected, nullptr},
    {{V, 32807}, u8"等宽度", nullptr, "same-width", severalSelected, nullptr},
    {{V, 32808}, u8"等高度", nullptr, "same-height", severalSelected, nullptr},
    {{V, 32809}, u8"等宽高", nullptr, "same-size", severalSelected, nullptr},
    {{V, 32810}, u8"水平", nullptr, "center-h", hasSelection, nullptr},
    {{V, 32811}, u8"垂直", nullptr, "center-v", hasSelection, nullptr},
    {{V, 32897}, u8"左对齐于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32898}, u8"右对齐于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32899}, u8"上对齐于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32900}, u8"下对齐于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32901}, u8"垂直中心对齐于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32902}, u8"水平中心对齐于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32903}, u8"等宽于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32904}, u8"等高于单元格", nullptr, nullptr, tableSelected, nullptr},
    {{V, 32886}, u8"生成位图", nullptr, nullptr, hasSelection, nullptr},
    {{V, 32916}, u8"语音助手", nullptr, nullptr, tool, nullptr},
    {{V, 32917}, u8"计算器", nullptr, nullptr, nullptr, nullptr},
    {{V, 32926}, u8"配方管理", nullptr, nullptr, tool, nullptr},

    // Project tree: the screens folder's commands.
    {{T, 32816}, u8"新建画面...", nullptr, nullptr, notCompiling, nullptr},
    {{T, 32817}, u8"删除画面...", nullptr, nullptr, nullptr, nullptr},
    {{T, 32872}, u8"导入画面...", nullptr, nullptr, notCompiling, nullptr},
    {{T, 32818}, u8"画面属性...", nullptr, nullptr, nullptr, nullptr},
};

// Sorted view of the table for look-ups by key.
const std::array<const CommandDef*, std::size(kCommands)>& sortedByKey()
{
    static const auto sorted = [] {
        std::array<const CommandDef*, std::size(kCommands)> out{};
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = &kCommands[i];
        std::sort(out.begin(), out.end(), [](auto* a, auto* b) { return a->key < b->key; });
        return out;
    }();
    return sorted;
}

} // namespace

std::span<const CommandDef> commandTable() { return kCommands; }

const CommandDef* findCommand(CommandKey key)
{
    const auto& sorted = sortedByKey();
    auto it = std::lower_bound(sorted.begin(), sorted.end(), key,
                               [](const CommandDef* s, const CommandKey& k) { return s->key < k; });
    return it != sorted.end() && (*it)->key == key ? *it : nullptr;
}

bool isEnabled(const CommandDef& def, const ShellState& state)
{
    return def.enabled == nullptr || def.enabled(state);
}

bool isCheckable(const CommandDef& def) { return def.checked != nullptr; }

bool isChecked(const CommandDef& def, const ShellState& state)
{
    return def.checked != nullptr && def.checked(state);
}

} // namespace qv::cmd
