#include "app/commands/menu_layout.h"

#include <iterator>

namespace qv::cmd {
namespace {

constexpr MenuEntry Sep{Owner::App, 0};

constexpr MenuEntry kFile128[] = {FileNewProject, FileOpenProject, Sep, RecentFile, Sep, Exit};
constexpr MenuEntry kView128[] = {ViewStandardBar, ViewStatusBar, ViewProjectBar, ViewOutputBar};
constexpr MenuEntry kHelp[] = {About};

constexpr MenuEntry kProject[] = {ProjectNew, ProjectOpen, ProjectClose, ProjectSave, ProjectSaveAs,
                                  Sep, SystemSettings, Sep, RecentFile, Sep, Exit};
constexpr MenuEntry kEdit[] = {Undo, Redo, Sep, Cut, Copy, Paste, Clear, SelectAll, Sep, Properties,
                               LockSelection, UnlockSelection, Sep, LockProject, UnlockProject, Sep,
                               SystemSettings};
constexpr MenuEntry kView129[] = {ViewStandardBar, ViewDrawingBar, ViewControlsBar, ViewLayoutBar,
                                  ViewProjectBar, ViewOutputBar, ViewStatusBar, Sep, FullScreen,
                                  FullScreenSimulation, Sep, ShowCtrlNumbers};
// The drawing toolbar's commands, then the menu's own end: the window's paper colour, which
// has no toolbar button.
constexpr MenuEntry kDrawMenu[] = {ToolSelect, Sep, ToolLine, ToolRect, ToolRoundRect, ToolEllipse,
                                   ToolCircle, ToolPicture, ToolText, Sep, ToolPipeJoint, ToolPipe,
                                   ToolScale, ToolNeedle, Sep, BackgroundColor};
constexpr std::size_t kDrawMenuOnly = 2;
constexpr std::span<const MenuEntry> kDraw = std::span(kDrawMenu).first(std::size(kDrawMenu) - kDrawMenuOnly);
constexpr MenuEntry kControls[] = {ToolButton, ToolDynamicPicture, ToolNumber, ToolNumericInput,
                                   ToolCurve, ToolLight, ToolBitSwitch, ToolRadio, ToolProgress,
                                   ToolTable, ToolCharacter, ToolArea};
constexpr MenuEntry kLayout[] = {StackBackward, StackForward, StackToBack, StackToFront, Sep,
                                 AlignLeft, AlignRight, AlignTop, AlignBottom, AlignOnVerticalLine,
                                 AlignOnHorizontalLine, Sep, SameWidth, SameHeight, SameSize, Sep,
                                 CentreInWindowH, CentreInWindowV};
constexpr MenuEntry kCentreInWindow[] = {CentreInWindowH, CentreInWindowV};
extern const MenuDef kCentreInWindowMenu;
constexpr MenuEntry kCentreSubmenu{Owner::View, -1, &kCentreInWindowMenu};
// The menu also offers the in-cell placements, which have no toolbar buttons; the two
// centring commands sit under their parent item there.
constexpr MenuEntry kLayoutMenu[] = {StackBackward, StackForward, StackToBack, StackToFront, Sep,
                                     AlignLeft, AlignRight, AlignTop, AlignBottom,
                                     AlignOnVerticalLine, AlignOnHorizontalLine, Sep, SameWidth,
                                     SameHeight, SameSize, Sep, kCentreSubmenu, Sep, CellLeft,
                                     CellRight, CellTop, CellBottom, CellCentreX, CellCentreY,
                                     CellSameWidth, CellSameHeight};
constexpr MenuEntry kVariables[] = {HmiVariables};
constexpr MenuEntry kHardware[] = {CompileProject, DownloadProject, AbortCompile, Sep,
                                   DownloadPictures};
constexpr MenuEntry kTools[] = {SerialDebug, SyncClock, FpgaUpdate, ClearFlash, BuzzerTest, Sep,
                                SaveAsBitmap, VoiceAssistant, Calculator, RecipeManager};

const MenuDef kCentreInWindowMenu{u8"居中于窗口", kCentreInWindow};

const MenuDef kMenu128[] = {
    {u8"文件(&F)", kFile128},
    {u8"查看(&V)", kView128},
    {u8"帮助(&H)", kHelp},
};

const MenuDef kMenu129[] = {
    {u8"工程(&P)", kProject},
    {u8"编辑(&E)", kEdit},
    {u8"查看(&V)", kView129},
    {u8"绘图(&D)", kDrawMenu},
    {u8"控件(&C)", kControls},
    {u8"布局(&L)", kLayoutMenu},
    {u8"", kVariables},
    {u8"硬件(&H)", kHardware},
    {u8"工具(&T)", kTools},
    {u8"帮助(&A)", kHelp},
};

} // namespace

std::span<const MenuEntry> drawingToolCommands() { return kDraw; }
std::span<const MenuEntry> controlToolCommands() { return kControls; }
std::span<const MenuEntry> layoutCommands() { return kLayout; }

std::span<const MenuDef> menuBar(MenuBarId which)
{
    if (which == MenuBarId::NoDocument)
        return kMenu128;
    return kMenu129;
}

} // namespace qv::cmd
