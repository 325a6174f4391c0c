#include "gen/base/sample_projects.h"

#include "compiler/headers/var_header_files.h"
#include "model/app/editor_app.h"
#include "model/params/blocks/number_block.h"
#include "model/paint/shape_painters.h"
#include "model/params/block_bytes.h"
#include "model/params/kind_defaults.h"
#include "model/params/var_refs.h"
#include "model/vars/hmi_var_table.h"
#include "model/tree/project_tree_commands.h"
#include "model/tree/system_windows.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <algorithm>
#include <functional>
#include <system_error>
#include <vector>

namespace qv::gen {

namespace fs = std::filesystem;

namespace {

// One shape of a sample window, in window coordinates (the margins and the window's origin
// are added when it is placed).
struct ShapeDef {
    ShapeKind kind;
    Rect rect;
    ColorRef pen;
    ColorRef brush;
    const char* text = nullptr;     // text shapes (GBK)
    const char* picture = nullptr;  // picture shapes: a stored path below the base folder
    int fontHeight = 16;
};

// A control, made as the drawing tool makes one (its kind's defaults), then given what the
// sample's texts promise: a button's text and the window it switches to, or the variable a
// number shows or a bit switch turns.
struct ControlDef {
    ShapeKind kind;
    Rect rect;
    const char* label = nullptr;     // button text (GBK)
    const char* action = nullptr;    // button: the window it opens (GBK file name)
    const char* variable = nullptr;  // number, bit switch: the variable (GBK name)
    int digits = 0;                  // number: its digits; it takes 0 up to the largest of them
};

struct WindowDef {
    const char* fileName;  // GBK, ".drw" or ".dlg"
    Point origin;          // sub-windows only
    Size size;             // {0, 0}: the project's resolution
    std::vector<ShapeDef> shapes;
    std::vector<ControlDef> controls = {};  // drawn over the shapes
};

struct VariableDef {
    const char* type;
    const char* name;
    const char* initial;
    const char* description;
};

struct ProjectDef {
    const char8_t* folder;  // below the base folder, UTF-8
    const char* name;       // GBK
    Size resolution;
    std::vector<VariableDef> variables;
    std::vector<WindowDef> windows;  // the first is the new project's "win0.drw"
};

constexpr ColorRef kBlack = rgb(0, 0, 0);
constexpr ColorRef kWhite = rgb(255, 255, 255);

ShapeDef text(Rect r, const char* gbk, ColorRef colour, int height = 16)
{
    return {ShapeKind::Text, r, colour, kWhite, gbk, nullptr, height};
}

ControlDef button(Rect r, const char* label, const char* window) { return {ShapeKind::Button, r, label, window}; }
ControlDef number(Rect r, const char* variable, int digits)
{
    return {ShapeKind::RealTimeNumber, r, nullptr, nullptr, variable, digits};
}
ControlDef bitSwitch(Rect r, const char* variable) { return {ShapeKind::BitSwitch, r, nullptr, nullptr, variable}; }

const std::vector<ProjectDef>& projects()
{
    static const std::vector<ProjectDef> defs = {
        {u8"例子",
         "示例工程",
         {800, 480},
         {{"unsigned short", "温度", "25", "炉内温度"},
          {"unsigned short", "压力", "101", "管道压力"},
          {"unsigned char", "水泵", "0", "水泵开关"}},
         {{"win0.drw",
           {},
           {},
           {{ShapeKind::Rectangle, {0, 0, 800, 60}, rgb(30, 70, 140), rgb(30, 70, 140)},
            text({20, 16, 420, 48}, "示例工程：锅炉监控", kWhite, 24),
            {ShapeKind::RoundRect, {40, 100, 360, 300}, rgb(30, 70, 140), rgb(230, 238, 250)},
            text({60, 120, 190, 150}, "温度", kBlack),
            text({60, 170, 190, 200}, "压力", kBlack),
            {ShapeKind::Ellipse, {480, 110, 700, 290}, rgb(120, 120, 120), rgb(200, 200, 200)},
            {ShapeKind::Line, {360, 200, 480, 200}, rgb(30, 70, 140), kWhite},
            {ShapeKind::Picture, {460, 340, 524, 404}, kBlack, kWhite, nullptr, "images\\sys\\PICGROUP001.jpg"},
            text({40, 420, 420, 450}, "点击画面切换到参数设置", rgb(90, 90, 90)),
            text({540, 350, 620, 380}, "水泵", kBlack)},
           {number({200, 116, 340, 152}, "温度", 4), number({200, 166, 340, 202}, "压力", 4),
            bitSwitch({620, 340, 684, 404}, "水泵"), button({440, 414, 600, 454}, "参数设置", "参数.drw")}},
          {"参数.drw",
           {},
           {},
           {{ShapeKind::Rectangle, {0, 0, 800, 60}, rgb(30, 70, 140), rgb(30, 70, 140)},
            text({20, 16, 420, 48}, "参数设置", kWhite, 24),
            {ShapeKind::Rectangle, {40, 100, 760, 420}, rgb(30, 70, 140), kWhite},
            text({80, 140, 240, 170}, "温度", kBlack),
            text({80, 200, 240, 230}, "压力", kBlack)},
           {number({260, 136, 400, 172}, "温度", 4), number({260, 196, 400, 232}, "压力", 4),
            button({600, 430, 760, 470}, "返回", "win0.drw")}},
          {"提示.dlg",
           {280, 160},
           {240, 160},
           {{ShapeKind::Picture, {0, 0, 240, 160}, kBlack, kWhite, nullptr, "images\\sys\\Dialog.bmp"},
            text({20, 60, 220, 90}, "水泵已启动", kBlack)}}}},
        {u8"Examples",
         "银行ATM取款机",
         {640, 480},
         {{"unsigned int", "余额", "5000", "账户余额"},
          {"unsigned int", "取款金额", "0", "本次取款金额"},
          {"unsigned int", "密码", "0", "输入的密码"}},
         {{"win0.drw",
           {},
           {},
           {{ShapeKind::Rectangle, {0, 0, 640, 480}, rgb(0, 90, 60), rgb(0, 90, 60)},
            text({170, 60, 470, 100}, "欢迎使用ATM取款机", kWhite, 32),
            text({250, 250, 400, 280}, "点击插卡", kWhite, 24)},
           {button({220, 300, 420, 360}, "请插卡", "输入密码.drw")}},
          {"输入密码.drw",
           {},
           {},
           {{ShapeKind::Rectangle, {0, 0, 640, 480}, rgb(0, 90, 60), rgb(0, 90, 60)},
            text({200, 60, 440, 100}, "请输入密码", kWhite, 32)},
           {number({200, 150, 440, 200}, "密码", 6), button({220, 300, 420, 360}, "确认", "取款.drw")}},
          {"取款.drw",
           {},
           {},
           {{ShapeKind::Rectangle, {0, 0, 640, 480}, rgb(0, 90, 60), rgb(0, 90, 60)},
            text({240, 40, 400, 80}, "请选择金额", kWhite, 32),
            {ShapeKind::RoundRect, {40, 140, 240, 200}, kWhite, rgb(0, 140, 90)},
            text({100, 158, 220, 184}, "100元", kWhite, 24),
            {ShapeKind::RoundRect, {400, 140, 600, 200}, kWhite, rgb(0, 140, 90)},
            text({460, 158, 580, 184}, "500元", kWhite, 24)},
           {button({40, 260, 240, 320}, "查询余额", "余额.dlg"), button({400, 260, 600, 320}, "退卡", "win0.drw")}},
          {"余额.dlg",
           {200, 160},
           {240, 160},
           {{ShapeKind::Picture, {0, 0, 240, 160}, kBlack, kWhite, nullptr, "images\\sys\\Dialog.bmp"},
            text({30, 40, 210, 70}, "您的余额", kBlack)},
           {number({40, 80, 200, 116}, "余额", 6)}}}},
    };
    return defs;
}

class NewProjectAnswer : public CancellingProjectDialogs {
public:
    explicit NewProjectAnswer(NewProjectChoice c) : choice_(std::move(c)) {}
    std::optional<NewProjectChoice> NewProject(const fs::path&) override { return choice_; }

private:
    NewProjectChoice choice_;
};

// The generator has no user: the tree's dialogs are never shown, and any message is kept
// for the error.
class NoWindowDialogs : public WindowDialogs {
public:
    bool EditScreen(ScreenDialogValues&) override { return false; }
    bool EditSubWindow(SubWindowDialogValues&) override { return false; }
    std::optional<fs::path> ChooseWindowFile(WindowKind) override { return std::nullopt; }
};

class KeptMessages : public UiPrompts {
public:
    void ShowMessage(std::string_view textGbk, Icon) override { text.append(text.empty() ? "" : "; ").append(textGbk); }
    bool AskYesNo(std::string_view) override { return false; }
    std::optional<std::uint32_t> ChooseColor(std::uint32_t) override { return std::nullopt; }
    std::string text;  // GBK
};

// Every shipped sample lists the special sub-windows, as any new project does.
bool hasSpecialSubWindows(const CDrawDoc& project)
{
    for (std::string_view special : kUndeletableSubWindows)
        if (std::none_of(project.m_subWindowNames.begin(), project.m_subWindowNames.end(),
                         [&](const auto& entry) { return entry->m_strName == special; }))
            return false;
    return true;
}

std::unique_ptr<CDrawObj> makeShape(CEditorApp& app, const ShapeDef& def, Point at)
{
    const Rect r{def.rect.left + at.x, def.rect.top + at.y, def.rect.right + at.x, def.rect.bottom + at.y};
    auto obj = std::make_unique<CDrawRect>(r);
    obj->SetKind(def.kind);
    obj->m_penInfo = {PS_INSIDEFRAME, def.kind == ShapeKind::Line ? 3 : 2, 0, def.pen};
    obj->m_brushInfo = {BS_SOLID, def.brush, 0};
    // A rectangle paints from its block: fill and border as the pen and brush say, flat.
    if (def.kind == ShapeKind::Rectangle) {
        obj->SetParam(blocks::rectangle::kBorderWidth, obj->m_penInfo.widthX);
        obj->SetParam(blocks::rectangle::kBorderColor, static_cast<std::int32_t>(def.pen));
        obj->SetParam(blocks::rectangle::kFillColor, static_cast<std::int32_t>(def.brush));
    }
    if (def.kind == ShapeKind::Text) {
        obj->m_strName = def.text;
        obj->m_bTransparent = 1;
        obj->m_bHasBrush = 0;
        obj->m_logfont.lfHeight = def.fontHeight;
        obj->m_logfont.lfWidth = def.fontHeight / 2;
    }
    if (def.picture) {
        if (auto stored = app.CopyUserPicture(*resolveStoredPath(app.BaseDir(), def.picture)))
            obj->m_strFiles.push_back(*stored);
    }
    return obj;
}

// Adds the control to `doc` with its kind's defaults, as the drawing tool does, then gives it
// the sample's text, action or variable.
bool addControl(CEditorApp& app, CDrawDoc& doc, const ControlDef& def, Point at, std::string* error)
{
    const Rect r{def.rect.left + at.x, def.rect.top + at.y, def.rect.right + at.x, def.rect.bottom + at.y};
    auto made = std::make_unique<CDrawRect>(r);
    made->SetKind(def.kind);
    CDrawObj* obj = doc.AddObject(std::move(made));
    if (!SetKindDefaults(*obj, app).refused.empty()) {
        *error = doc.GetTitle() + ": a control's variables could not be added";
        return false;
    }
    if (def.label)
        obj->m_strName = def.label;
    if (def.action) {
        // The button's action is the text of its fourth string, after the three state pictures.
        constexpr std::size_t kActionEntry = 3;
        if (obj->m_strFiles.size() <= kActionEntry) {
            *error = doc.GetTitle() + ": a button without its action entry";
            return false;
        }
        obj->m_strFiles[kActionEntry] = def.action;
    }
    // The samples' numbers are whole values (the defaults show two decimals) of a few digits,
    // and take every value those digits show (a new control's limits are 0 and 0).
    if (def.kind == ShapeKind::RealTimeNumber) {
        obj->SetParam(blocks::number::kDecimals, 0);
        obj->SetParam(blocks::number::kDigits, def.digits);
        std::int32_t largest = 0;
        for (int i = 0; i < def.digits; ++i)
            largest = largest * 10 + 9;
        obj->SetParam(blocks::number::kMinimum, 0);
        obj->SetParam(blocks::number::kMaximum, largest);
    }
    if (def.variable) {
        const HmiVarTable& table = app.ProjectDoc()->m_varTable;
        const auto row = findVarRow(table, def.variable);
        const auto refs = fixedVarRefs(def.kind);
        if (!row || refs.empty()) {
            *error = doc.GetTitle() + ": a control's variable is missing";
            return false;
        }
        std::span<std::uint8_t> block(obj->m_Params);
        blockWriteI32(block, refs.front().index, *row);
        refreshVarRefs(def.kind, block, [&table](std::int32_t i) { return varBindingOf(table, i); });
    }
    return true;
}

bool buildProject(const fs::path& base, const ProjectDef& def, std::string* error)
{
    const fs::path location = base / fs::path(def.folder);
    const fs::path folder = location / *gbkToUtf8(def.name);
    std::error_code ec;
    fs::remove_all(folder, ec);

    CEditorApp app(base);
    KeptMessages messages;
    app.SetPrompt(&messages);
    app.InitDocTemplates();
    NewProjectAnswer answer({location, def.name, def.resolution.cx, def.resolution.cy});
    app.SetProjectDialogs(&answer);
    // The project tree attached as in the program, so the new project takes its steps.
    ProjectTreeModel tree(&app);
    NoWindowDialogs windowDialogs;
    ProjectTreeHost treeHost;
    ProjectTreeCommands treeCommands(app, tree, windowDialogs, treeHost);
    if (!app.OnFileNewProject()) {
        *error = folder.string() + ": the project could not be made: " + gbkToUtf8Lossy(messages.text);
        return false;
    }
    if (!hasSpecialSubWindows(*app.ProjectDoc())) {
        std::string output;
        app.m_reports.drain([&](Report& r) {
            if (const auto* line = std::get_if<ReportText>(&r))
                output += line->gbk;
        });
        *error = folder.string() + ": the special sub-windows were not imported (run qv_gen_special_windows on " +
                 "this folder first): " + gbkToUtf8Lossy(output);
        return false;
    }
    for (const VariableDef& v : def.variables)
        if (FindOrAddHmiVar(app, v.type, v.name, v.initial, v.description) < 0) {
            *error = folder.string() + ": a variable could not be added";
            return false;
        }

    CDrawDoc* project = app.ProjectDoc();
    const Point margins{app.m_nMarginX.load(), app.m_nMarginY.load()};
    for (const WindowDef& w : def.windows) {
        const std::string name = w.fileName;
        const bool subWindow = name.ends_with(".dlg");
        CDrawDoc* doc = app.FindWindowDocByFileName(name);
        if (!doc) {
            doc = app.m_pWindowTemplate->OpenNewDocument(name);
            doc->m_ptWindowOrigin = w.origin;
            if (w.size.cx > 0) {
                doc->m_nWindowWidth = w.size.cx;
                doc->m_nWindowHeight = w.size.cy;
            }
            if (!doc->SaveToWindowFolder()) {
                *error = name + ": cannot be saved";
                return false;
            }
            if (!(subWindow ? project->AddSubWindowName(name) : project->AddScreenName(name))) {
                *error = folder.string() + ": the project file could not be saved";
                return false;
            }
        }
        const Point at{margins.x + doc->m_ptWindowOrigin.x, margins.y + doc->m_ptWindowOrigin.y};
        for (const ShapeDef& s : w.shapes)
            doc->AddObject(makeShape(app, s, at));
        for (const ControlDef& c : w.controls)
            if (!addControl(app, *doc, c, at, error))
                return false;
        doc->SetModifiedFlag();
    }
    if (!app.SaveAllDocumentsAndResetUndo()) {
        *error = folder.string() + ": a document could not be saved";
        return false;
    }
    app.CloseAllDocuments();
    // No placeholder inside a project folder (the download would send it from FDisk): the
    // empty folders are left out of the tree and made again where they are needed.
    // The generator's own run must not leave a "latest.txt" in the shipped base folder.
    fs::remove(base / CEditorApp::kLatestFileName, ec);
    return true;
}

} // namespace

bool writeSampleProjects(const fs::path& base, std::string* error)
{
    // The samples carry the user code's headers ("SysVar.h", "HmiVar.h", "HmiVarStruct.h")
    // as every project the program makes does.
    InstallVarHeaderWriters();
    for (const ProjectDef& def : projects())
        if (!buildProject(base, def, error))
            return false;
    return true;
}

} // namespace qv::gen
