#include "model/tree/project_tree_commands.h"

#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/params/kind_defaults.h"
#include "model/params/user_picture.h"
#include "model/project/file_copies.h"
#include "model/project/project_title.h"
#include "model/tree/system_windows.h"
#include "model/tree/tree_menus.h"
#include "model/vars/hmi_vars.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <algorithm>
#include <system_error>

namespace qv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDialogPicture = "images\\sys\\Dialog.bmp";
constexpr std::string_view kUserPicturePrefix = "\\UserPicture\\";

bool sameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

std::string quoted(std::string_view word, std::string_view name, std::string_view tail)
{
    return std::string(word) + "“" + CapNameForMessage(name) + "”" + std::string(tail);
}

// Loads a window file into a scratch document, so a broken file is refused before anything
// is copied or listed.
bool loadScratch(const fs::path& file, CDrawDoc& doc, std::string& error)
{
    std::string bytes;
    if (!readWholeFile(file, bytes, &error))
        return false;
    DocumentError docError;
    const std::string label = utf8ToGbk(file.filename().string()).value_or(std::string());
    if (!doc.LoadFromBytes(bytes, label, &docError)) {
        error = docError.messageGbk;
        return false;
    }
    return true;
}

} // namespace

ProjectTreeCommands::ProjectTreeCommands(CEditorApp& app, ProjectTreeModel& model, WindowDialogs& dialogs,
                                         ProjectTreeHost& host)
    : app_(app), model_(model), dialogs_(&dialogs), host_(host)
{
    app_.SetNewProjectSteps(this);
}

ProjectTreeCommands::~ProjectTreeCommands()
{
    if (app_.GetNewProjectSteps() == this)
        app_.SetNewProjectSteps(nullptr);
}

bool ProjectTreeCommands::Ready() const
{
    return app_.ProjectDoc() != nullptr && app_.m_pWindowTemplate != nullptr && app_.m_bCompiling.load() == 0;
}

void ProjectTreeCommands::Message(std::string_view textGbk) const { app_.Prompt().ShowMessage(textGbk, UiPrompts::Icon::Warning); }

std::optional<fs::path> ProjectTreeCommands::WindowFile(std::string_view fileNameGbk) const
{
    return resolveStoredPath(app_.m_strProjectDir / "window", fileNameGbk);
}

bool ProjectTreeCommands::WindowFileExists(std::string_view fileNameGbk) const
{
    const auto file = WindowFile(fileNameGbk);
    return file && entryExists(*file);
}

CDrawDoc* ProjectTreeCommands::OpenedWindowDocument(const std::string& fileNameGbk) const
{
    return app_.m_pWindowTemplate ? app_.m_pWindowTemplate->FindByTitle(fileNameGbk) : nullptr;
}

CDrawDoc* ProjectTreeCommands::OpenWindowDocument(const std::string& fileNameGbk)
{
    if (CDrawDoc* open = OpenedWindowDocument(fileNameGbk))
        return open;
    const auto file = WindowFile(fileNameGbk);
    if (!file) {
        Message(quoted("不能打开窗口文件", fileNameGbk, ""));
        return nullptr;
    }
    DocumentError error;
    CDrawDoc* doc = app_.m_pWindowTemplate->OpenDocumentFile(*file, &error);
    if (!doc)
        Message(error.messageGbk);
    return doc;
}

std::optional<std::string> ProjectTreeCommands::NameTaken(WindowKind kind, const std::string& fileNameGbk,
                                                          std::string_view suffix) const
{
    if (model_.FindWindow(kind, fileNameGbk) >= 0)
        return quoted(KindWord(kind), fileNameGbk, suffix);
    // A file left in the window folder (a deleted window's, say) is never overwritten.
    if (WindowFileExists(fileNameGbk))
        return quoted("工程的window目录中已有文件", fileNameGbk, ",请换一个名字");
    return std::nullopt;
}

void ProjectTreeCommands::AddWindow(WindowKind kind, const std::string& fileNameGbk)
{
    model_.Select(model_.AppendWindow(kind, fileNameGbk));
    CDrawDoc* project = app_.ProjectDoc();
    if (kind == WindowKind::Screen)
        project->AddScreenName(fileNameGbk);
    else
        project->AddSubWindowName(fileNameGbk);
}

// ---- open -------------------------------------------------------------------------------

void ProjectTreeCommands::Open(const TreeItemRef& ref)
{
    CDrawDoc* project = app_.ProjectDoc();
    if (!project || app_.m_bCompiling.load() != 0 || !model_.Exists(ref))
        return;
    if (ref.kind == TreeItemKind::Simulator && host_.FocusViewIsRunMode())
        return;
    if (ref.kind == TreeItemKind::ScreensFolder || ref.kind == TreeItemKind::SubWindowsFolder)
        return;
    MC8051StopRequest = 1;
    host_.CloseSound();

    if (ref.kind == TreeItemKind::Root) {
        host_.ActivateDocument(*project);
        ShowProjectFileTitle(app_);
        return;
    }

    const std::string name = model_.ItemName(ref);
    if (ref.kind == TreeItemKind::Simulator)
        app_.m_bLoadSavedVars = 1;
    app_.RebuildSimulation();
    CDrawDoc* doc = app_.FindDocByTitle(name);
    if (!doc && ref.kind != TreeItemKind::Simulator)
        doc = OpenWindowDocument(name);
    if (doc)
        host_.ActivateDocument(*doc);
}

bool ProjectTreeCommands::Run(int command)
{
    switch (command) {
    case tree_cmd::NewScreen: NewScreen(); return true;
    case tree_cmd::NewSubWindow: NewSubWindow(); return true;
    case tree_cmd::ImportScreen: ImportWindow(WindowKind::Screen); return true;
    case tree_cmd::ImportSubWindow: ImportWindow(WindowKind::SubWindow); return true;
    case tree_cmd::ImportSpecialSubWindows: ImportSpecialSubWindows(); return true;
    case tree_cmd::ScreenProperties: WindowProperties(WindowKind::Screen); return true;
    case tree_cmd::SubWindowProperties: WindowProperties(WindowKind::SubWindow); return true;
    case tree_cmd::DeleteScreen: DeleteWindow(WindowKind::Screen); return true;
    case tree_cmd::DeleteSubWindow: DeleteWindow(WindowKind::SubWindow); return true;
    case tree_cmd::ProjectProperties:
        if (app_.m_bCompiling.load() == 0)
            host_.ProjectProperties();
        return true;
    default: return false;
    }
}

// ---- new --------------------------------------------------------------------------------

std::optional<std::string> ProjectTreeCommands::NewNameRefusal(WindowKind kind, const std::string& stemGbk) const
{
    if (auto why = CheckWindowName(stemGbk))
        return why;
    return NameTaken(kind, stemGbk + std::string(ExtensionOf(kind)), "已存在!!!");
}

void ProjectTreeCommands::CreateWindow(WindowKind kind, const std::string& fileName, Point origin, int width, int height,
                                       const std::function<void(CDrawDoc&)>& fill)
{
    CDrawDoc* doc = app_.m_pWindowTemplate->OpenNewDocument(fileName);
    doc->m_ptWindowOrigin = origin;
    doc->m_nWindowWidth = width;
    doc->m_nWindowHeight = height;
    if (fill)
        fill(*doc);
    // Listed only once its file stands.
    if (!doc->SaveToWindowFolder()) {
        app_.m_pWindowTemplate->CloseDocument(doc);
        return;
    }
    AddWindow(kind, fileName);
}

void ProjectTreeCommands::NewScreen()
{
    if (!Ready())
        return;
    ScreenDialogValues values{"WindowName", static_cast<unsigned>(app_.m_nResWidth), static_cast<unsigned>(app_.m_nResHeight)};
    for (;;) {
        if (!dialogs_->EditScreen(values))
            return;
        if (auto why = NewNameRefusal(WindowKind::Screen, values.name)) {
            Message(*why);
            continue;
        }
        break;
    }
    CreateWindow(WindowKind::Screen, values.name + std::string(kScreenExtension), {0, 0}, app_.m_nResWidth,
                 app_.m_nResHeight, nullptr);
}

void ProjectTreeCommands::NewSubWindow()
{
    if (!Ready())
        return;
    const int resW = app_.m_nResWidth;
    const int resH = app_.m_nResHeight;
    SubWindowDialogValues v;
    v.name = "DialogName";
    v.width = static_cast<unsigned>(resW / 2);
    v.height = static_cast<unsigned>(resH / 2);
    v.x = static_cast<unsigned>(resW / 4);
    v.y = static_cast<unsigned>(resH / 4);
    v.centred = 1;
    v.resWidth = resW;
    v.resHeight = resH;

    std::int64_t x = 0, y = 0;
    for (;;) {
        if (!dialogs_->EditSubWindow(v))
            return;
        if (auto why = NewNameRefusal(WindowKind::SubWindow, v.name)) {
            Message(*why);
            continue;
        }
        x = v.centred ? CentredOrigin(resW, v.width) : std::int64_t{v.x};
        y = v.centred ? CentredOrigin(resH, v.height) : std::int64_t{v.y};
        if (auto why = CheckSubWindowPlacement(x, y, v.width, v.height, resW, resH)) {
            Message(*why);
            return;
        }
        break;
    }

    CreateWindow(WindowKind::SubWindow, v.name + std::string(kSubWindowExtension), {static_cast<int>(x), static_cast<int>(y)},
                 static_cast<int>(v.width), static_cast<int>(v.height), [&](CDrawDoc& doc) {
                     doc.m_ProjectSettings[window_settings::kModelessByte] = v.modeless ? 1 : 0;
                     doc.SetSettingI32(window_settings::kCentred, v.centred ? 1 : 0);
                     doc.SetSettingI32(window_settings::kThirdLayer, v.thirdLayer ? 1 : 0);
                     // The window's background: a picture covering it, the standard dialog face.
                     const int left = app_.m_nMarginX.load() + doc.m_ptWindowOrigin.x;
                     const int top = app_.m_nMarginY.load() + doc.m_ptWindowOrigin.y;
                     auto face = std::make_unique<CDrawRect>(Rect{left, top, left + doc.m_nWindowWidth, top + doc.m_nWindowHeight});
                     face->SetKind(ShapeKind::Picture);
                     face->m_strFiles.push_back(CopyUserPicture(app_, kDialogPicture));
                     SetKindDefaults(*doc.AddObject(std::move(face)), app_);
                 });
}

// ---- import -----------------------------------------------------------------------------

void ProjectTreeCommands::CopyPicturesOf(const CDrawDoc& doc, const fs::path& sourceProject)
{
    for (const auto& obj : doc.m_objects)
        for (const std::string& stored : obj->m_strFiles) {
            if (stored.size() <= kUserPicturePrefix.size()
                || !gbkEqualsNoCase(std::string_view(stored).substr(0, kUserPicturePrefix.size()), kUserPicturePrefix))
                continue;
            const auto source = resolveStoredPath(sourceProject, stored);
            if (source && entryExists(*source))
                copyUserPictureFile(app_.m_strProjectDir, *source);
        }
}

void ProjectTreeCommands::ImportWindow(WindowKind kind)
{
    if (!Ready())
        return;
    const auto chosen = dialogs_->ChooseWindowFile(kind);
    if (!chosen)
        return;
    const auto name = utf8ToGbk(chosen->filename().string());
    if (!name) {
        Message("文件名含有GBK不能表示的字符，不能导入");
        return;
    }
    const std::string_view ext = ExtensionOf(kind);
    if (name->size() <= ext.size() || name->substr(name->size() - ext.size()) != ext) {
        Message(quoted("请选择", std::string("*").append(ext), "文件"));
        return;
    }
    if (auto why = CheckWindowName(StemOfWindowName(*name, kind))) {
        Message(*why);
        return;
    }
    if (model_.FindWindow(kind, *name) >= 0) {
        Message(quoted(KindWord(kind), *name, "已存在!!!"));
        return;
    }

    CDrawDoc scratch;
    std::string error;
    if (!loadScratch(*chosen, scratch, error)) {
        Message(error);
        return;
    }
    if (kind == WindowKind::SubWindow) {
        const Point o = scratch.m_ptWindowOrigin;
        if (auto why = CheckSubWindowPlacement(o.x, o.y, scratch.m_nWindowWidth, scratch.m_nWindowHeight,
                                               app_.m_nResWidth, app_.m_nResHeight)) {
            Message(*why);
            return;
        }
    }

    const auto dest = WindowFile(*name);
    if (!dest) {
        Message(quoted("不能导入", *name, ""));
        return;
    }
    if (!sameFile(*chosen, *dest)) {
        if (entryExists(*dest)) {
            Message(quoted("工程的window目录中已有文件", *name, ",不能导入"));
            return;
        }
        std::string bytes;
        std::error_code ec;
        fs::create_directories(dest->parent_path(), ec);
        if (!readWholeFile(*chosen, bytes, &error) || !writeFileAtomically(*dest, bytes, &error)) {
            Message(quoted("导入失败", *name, error));
            return;
        }
        // Pictures live in the source project's "UserPicture" beside its "window" folder.
        CopyPicturesOf(scratch, chosen->parent_path().parent_path());
    }
    AddWindow(kind, *name);
    OpenWindowDocument(*name);
}

void ProjectTreeCommands::FitSubWindowToScreen(CDrawDoc& doc)
{
    const int resW = app_.m_nResWidth;
    const int resH = app_.m_nResHeight;
    const int oldW = doc.m_nWindowWidth;
    const int oldH = doc.m_nWindowHeight;
    const Point oldOrigin = doc.m_ptWindowOrigin;
    if (oldW <= 0 || oldH <= 0 || resW <= 0 || resH <= 0)
        return;
    if (!CheckSubWindowPlacement(oldOrigin.x, oldOrigin.y, oldW, oldH, resW, resH))
        return;
    // Too large: shrink keeping the proportions; then centre it.
    std::int64_t w = oldW, h = oldH;
    if (w > resW || h > resH) {
        if (w * resH > h * resW) {
            h = std::max<std::int64_t>(1, h * resW / w);
            w = resW;
        } else {
            w = std::max<std::int64_t>(1, w * resH / h);
            h = resH;
        }
    }
    const Point origin{static_cast<int>(CentredOrigin(resW, w)), static_cast<int>(CentredOrigin(resH, h))};
    doc.RescaleObjects(oldW, oldH, static_cast<int>(w), static_cast<int>(h), oldOrigin.x - origin.x, oldOrigin.y - origin.y);
    doc.m_ptWindowOrigin = origin;
    doc.m_nWindowWidth = static_cast<int>(w);
    doc.m_nWindowHeight = static_cast<int>(h);
    doc.UpdateAllViews(nullptr);
    doc.SaveToWindowFolder();
}

void ProjectTreeCommands::ImportSpecialSubWindows()
{
    if (!Ready())
        return;
    std::string report;
    for (const std::string& line : ImportSpecialWindowFiles())
        report.append(report.empty() ? "" : "\r\n").append(line);
    if (!report.empty())
        Message(report);
}

void ProjectTreeCommands::NewProjectCreated()
{
    if (!Ready())
        return;
    for (const std::string& line : ImportSpecialWindowFiles())
        app_.m_reports.appendText(line + "\r\n");
}

std::vector<std::string> ProjectTreeCommands::ImportSpecialWindowFiles()
{
    const auto folder = resolveStoredPath(app_.BaseDir(), kSpecialWindowFolder);
    std::vector<std::string> report;
    auto note = [&report](std::string line) { report.push_back(std::move(line)); };

    for (std::string_view special : kUndeletableSubWindows) {
        const std::string name(special);
        if (model_.FindWindow(WindowKind::SubWindow, name) >= 0) {
            note(quoted("特殊子窗口", name, "已存在!!!"));
            continue;
        }
        const auto source = folder ? resolveStoredPath(*folder, name) : std::nullopt;
        const auto dest = WindowFile(name);
        CDrawDoc scratch;
        std::string bytes, error;
        if (!source || !dest || !loadScratch(*source, scratch, error) || !readWholeFile(*source, bytes, &error)) {
            note(quoted("找不到特殊子窗口文件", name, error.empty() ? "" : "：" + error));
            continue;
        }
        // A file of that name left in the folder may be a deleted window's only copy: the
        // same bytes are taken as they are, different ones are kept and the import skipped.
        std::string existing;
        const bool present = entryExists(*dest);
        if (present && (!readRegularFile(*dest, existing) || existing != bytes)) {
            note(quoted("工程的window目录中已有文件", name, ",未导入该特殊子窗口"));
            continue;
        }
        std::error_code ec;
        fs::create_directories(dest->parent_path(), ec);
        if (!present && !writeFileAtomically(*dest, bytes, &error)) {
            note(quoted("导入失败", name, error));
            continue;
        }
        AddWindow(WindowKind::SubWindow, name);
        if (CDrawDoc* doc = OpenWindowDocument(name))
            FitSubWindowToScreen(*doc);
    }

    // Their pictures; files the project already has are kept.
    if (folder) {
        std::error_code ec;
        for (fs::directory_iterator it(*folder / "images", ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec))
                copyUserPictureFile(app_.m_strProjectDir, it->path());
    }
    return report;
}

// ---- properties and rename --------------------------------------------------------------

std::optional<std::string> ProjectTreeCommands::RenameRefusal(WindowKind kind, const std::string& oldName,
                                                              const std::string& newName) const
{
    // The run time finds these by name: a new name would take their role away.
    if (kind == WindowKind::SubWindow && IsUndeletableSubWindow(oldName))
        return "禁止修改<" + oldName + ">的名字";
    if (model_.FindWindow(kind, newName) >= 0)
        return quoted(KindWord(kind), newName, "已存在,修改名字失败");
    if (!WindowFile(oldName) || !WindowFile(newName))
        return quoted(KindWord(kind), newName, "不能作为文件名,修改名字失败");
    // Never replace a file already in the folder: it may be a deleted window's only copy.
    if (WindowFileExists(newName))
        return quoted("工程的window目录中已有文件", newName, ",修改名字失败");
    return std::nullopt;
}

bool ProjectTreeCommands::RenameWindowFile(WindowKind kind, int index, const std::string& oldName, const std::string& newName)
{
    const auto oldFile = WindowFile(oldName);
    const auto newFile = WindowFile(newName);
    if (!oldFile || !newFile || entryExists(*newFile))
        return false;
    // Unsaved edits go into the file before it moves.
    CDrawDoc* open = OpenedWindowDocument(oldName);
    if (open && (open->IsModified() || !entryExists(*oldFile)) && !open->SaveToWindowFolder())
        return false;
    std::error_code ec;
    fs::rename(*oldFile, *newFile, ec);
    if (ec) {
        Message(quoted(KindWord(kind), oldName, "修改名字失败：") + utf8ToGbk(ec.message()).value_or(""));
        return false;
    }
    // The project file must list the new name before anything else follows the move; when
    // it cannot be saved the file goes back, so the project never names a missing file.
    if (!app_.ProjectDoc()->RenameWindow(oldName, newName)) {
        std::error_code back;
        fs::rename(*newFile, *oldFile, back);
        if (back)
            Message(quoted(KindWord(kind), oldName, "的文件现名为") + "“" + newName + "”：" +
                    utf8ToGbk(back.message()).value_or(""));
        return false;
    }
    if (open)
        app_.m_pWindowTemplate->CloseDocument(open);
    model_.RenameWindow(kind, index, newName);
    OpenWindowDocument(newName);
    model_.Select({kind == WindowKind::Screen ? TreeItemKind::Screen : TreeItemKind::SubWindow, index});
    return true;
}

void ProjectTreeCommands::WindowProperties(WindowKind kind)
{
    const TreeItemRef sel = model_.Selected();
    if (!Ready() || !IsWindowItem(sel.kind) || WindowKindOf(sel.kind) != kind || !model_.Exists(sel))
        return;
    if (kind == WindowKind::Screen)
        ScreenProperties(sel.index);
    else
        SubWindowProperties(sel.index);
}

void ProjectTreeCommands::ScreenProperties(int index)
{
    const std::string oldName = model_.Windows(WindowKind::Screen)[static_cast<std::size_t>(index)];
    ScreenDialogValues values{StemOfWindowName(oldName, WindowKind::Screen), static_cast<unsigned>(app_.m_nResWidth),
                              static_cast<unsigned>(app_.m_nResHeight)};
    for (;;) {
        if (!dialogs_->EditScreen(values))
            return;
        if (auto why = CheckWindowName(values.name)) {
            Message(*why);
            continue;
        }
        const std::string newName = values.name + std::string(kScreenExtension);
        if (newName == oldName)
            return;
        if (auto why = RenameRefusal(WindowKind::Screen, oldName, newName)) {
            Message(*why);
            continue;
        }
        RenameWindowFile(WindowKind::Screen, index, oldName, newName);
        return;
    }
}

void ProjectTreeCommands::SubWindowProperties(int index)
{
    const std::string oldName = model_.Windows(WindowKind::SubWindow)[static_cast<std::size_t>(index)];
    CDrawDoc* doc = OpenWindowDocument(oldName);
    if (!doc)
        return;
    const int resW = app_.m_nResWidth;
    const int resH = app_.m_nResHeight;
    SubWindowDialogValues v;
    v.system = IsSystemSubWindow(oldName) ? 1 : 0;
    v.name = StemOfWindowName(oldName, WindowKind::SubWindow);
    v.width = static_cast<unsigned>(std::max(0, doc->m_nWindowWidth));
    v.height = static_cast<unsigned>(std::max(0, doc->m_nWindowHeight));
    v.x = static_cast<unsigned>(std::max(0, doc->m_ptWindowOrigin.x));
    v.y = static_cast<unsigned>(std::max(0, doc->m_ptWindowOrigin.y));
    v.modeless = doc->m_ProjectSettings[window_settings::kModelessByte] != 0 ? 1 : 0;
    v.centred = doc->SettingI32(window_settings::kCentred) != 0 ? 1 : 0;
    v.thirdLayer = v.system || doc->SettingI32(window_settings::kThirdLayer) != 0 ? 1 : 0;
    v.resWidth = resW;
    v.resHeight = resH;

    std::string newName;
    std::int64_t x = 0, y = 0;
    for (;;) {
        if (!dialogs_->EditSubWindow(v))
            return;
        if (auto why = CheckWindowName(v.name)) {
            Message(*why);
            continue;
        }
        newName = v.name + std::string(kSubWindowExtension);
        if (newName != oldName) {
            if (auto why = RenameRefusal(WindowKind::SubWindow, oldName, newName)) {
                Message(*why);
                continue;
            }
        }
        doc->SetSettingI32(window_settings::kThirdLayer, v.thirdLayer ? 1 : 0);
        x = v.centred ? CentredOrigin(resW, v.width) : std::int64_t{v.x};
        y = v.centred ? CentredOrigin(resH, v.height) : std::int64_t{v.y};
        if (auto why = CheckSubWindowPlacement(x, y, v.width, v.height, resW, resH)) {
            doc->SetModifiedFlag();
            Message(*why);
            return;
        }
        break;
    }

    const Point oldOrigin = doc->m_ptWindowOrigin;
    const Point origin{static_cast<int>(x), static_cast<int>(y)};
    if (doc->m_nWindowWidth > 0 && doc->m_nWindowHeight > 0)
        doc->RescaleObjects(doc->m_nWindowWidth, doc->m_nWindowHeight, static_cast<int>(v.width), static_cast<int>(v.height),
                            oldOrigin.x - origin.x, oldOrigin.y - origin.y);
    doc->m_ptWindowOrigin = origin;
    doc->m_nWindowWidth = static_cast<int>(v.width);
    doc->m_nWindowHeight = static_cast<int>(v.height);
    doc->SetSettingI32(window_settings::kCentred, v.centred ? 1 : 0);
    doc->m_ProjectSettings[window_settings::kModelessByte] = v.modeless ? 1 : 0;
    doc->UpdateAllViews(nullptr);
    if (!doc->SaveToWindowFolder())
        return;

    if (newName != oldName)
        RenameWindowFile(WindowKind::SubWindow, index, oldName, newName);
}

// ---- delete -----------------------------------------------------------------------------

void ProjectTreeCommands::DeleteWindow(WindowKind kind)
{
    const TreeItemRef sel = model_.Selected();
    if (!Ready() || !IsWindowItem(sel.kind) || WindowKindOf(sel.kind) != kind || !model_.Exists(sel))
        return;
    const std::string name = model_.ItemName(sel);
    if (kind == WindowKind::SubWindow && IsUndeletableSubWindow(name)) {
        Message("禁止删除<" + name + ">");
        return;
    }
    // The file stays in the window folder; edits not yet saved go into it first.
    if (CDrawDoc* open = OpenedWindowDocument(name)) {
        if (open->IsModified() && !open->SaveToWindowFolder())
            return;
        app_.m_pWindowTemplate->CloseDocument(open);
    }
    model_.RemoveWindow(kind, sel.index);
    CDrawDoc* project = app_.ProjectDoc();
    if (kind == WindowKind::Screen)
        project->RemoveScreenName(name);
    else
        project->RemoveSubWindowName(name);
}

} // namespace qv
