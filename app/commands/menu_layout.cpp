#include "app/commands/menu_layout.h"

#include <iterator>

namespace qv::cmd {
namespace {

constexpr Owner A = Owner::App;
constexpr Owner F = Owner::MainFrame;
constexpr Owner V = Owner::View;
constexpr MenuEntry Sep{Owner::App, 0};

constexpr MenuEntry kFile128[] = {{A, 32825}, {A, 32826}, Sep, {A, 57616}, Sep, {A, 57665}};
constexpr MenuEntry kView128[] = {{F, 59392}, {F, 59393}, {F, 32838}, {F, 32858}};
constexpr MenuEntry kHelp[] = {{A, 57664}};

constexpr MenuEntry kProject[] = {{A, 32819}, {A, 32820}, {A, 32821}, {A, 32822}, {A, 32823}, Sep,
                                  {A, 32865}, Sep, {A, 57616}, Sep, {A, 57665}};
constexpr MenuEntry kEdit[] = {{V, 57643}, {V, 57644}, Sep, {V, 57635}, {V, 57634}, {V, 57637},
                               {V, 57632}, {V, 57642}, Sep, {V, 32783}, {V, 32908}, {V, 32909},
                               Sep, {A, 32910}, {A, 32911}, Sep, {A, 32865}};
constexpr MenuEntry kView129[] = {{F, 59392}, {F, 32816}, {F, 32859}, {F, 32860}, {F, 32838},
                                  {F, 32858}, {F, 59393}, Sep, {F, 32795}, {A, 32797}, Sep,
                                  {A, 32922}};
// The drawing toolbar's commands, then the menu's own end: the window's paper colour, which
// has no toolbar button.
constexpr MenuEntry kDrawMenu[] = {{V, 32774}, Sep, {V, 32773}, {V, 32775}, {V, 32776}, {V, 32777},
                                   {V, 32778}, {V, 32793}, {V, 32834}, Sep, {V, 32883}, {V, 32882},
                                   {V, 32881}, {V, 32879}, Sep, {V, 32794}};
constexpr std::size_t kDrawMenuOnly = 2;
constexpr std::span<const MenuEntry> kDraw = std::span(kDrawMenu).first(std::size(kDrawMenu) - kDrawMenuOnly);
constexpr MenuEntry kControls[] = {{V, 32839}, {V, 32840}, {V, 32841}, {V, 32868}, {V, 32873},
                                   {V, 32877}, {V, 32875}, {V, 32876}, {V, 32874}, {V, 32895},
                                   {V, 32906}, {V, 32907}};
constexpr MenuEntry kLayout[] = {{V, 32788}, {V, 32787}, {V, 32786}, {V, 32785}, Sep, {V, 32799},
                                 {V, 32801}, {V, 32800}, {V, 32802}, {V, 32804}, {V, 32803}, Sep,
                                 {V, 32807}, {V, 32808}, {V, 32809}, Sep, {V, 32810}, {V, 32811}};
constexpr MenuEntry kCentreInWindow[] = {{V, 32810}, {V, 32811}};
extern const MenuDef kCentreInWindowMenu;
constexpr MenuEntry kCentreSubmenu{V, -1, &kCentreInWindowMenu};
// The menu also offers the in-cell placements, which have no toolbar buttons; the two
// centring commands sit under their parent item there.
constexpr MenuEntry kLayoutMenu[] = {{V, 32788}, {V, 32787}, {V, 32786}, {V, 32785}, Sep, {V, 32799},
                                     {V, 32801}, {V, 32800}, {V, 32802}, {V, 32804}, {V, 32803}, Sep,
                                     {V, 32807}, {V, 32808}, {V, 32809}, Sep, kCentreSubmenu, Sep,
                                     {V, 32897}, {V, 32898}, {V, 32899}, {V, 32900}, {V, 32901}, {V, 32902},
                                     {V, 32903}, {V, 32904}};
constexpr MenuEntry kVariables[] = {{A, 32893}};
constexpr MenuEntry kHardware[] = {{A, 32828}, {A, 32798}, {A, 32912}, Sep, {A, 32925}};
constexpr MenuEntry kTools[] = {{A, 32894}, {A, 32919}, {A, 32920}, {A, 32921}, {A, 32923}, Sep,
                                {V, 32886}, {V, 32916}, {V, 32917}, {V, 32926}};

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
