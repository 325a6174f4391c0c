// Walks over every window of the project: the variable fix-ups after the variable table
// changed, the rescale after the resolution changed, and the simulator's sub-window moves.
// A window whose document is not open is loaded, fixed and saved too, so no file keeps
// references that point at other variables.
#include "model/app/editor_app.h"

#include "model/project/file_copies.h"
#include "model/project/project_texts.h"
#include "platform/files/stored_path.h"

#include <algorithm>

namespace qv {

namespace fs = std::filesystem;
namespace txt = project::text;

bool CEditorApp::ForEachProjectWindow(const std::function<void(CDrawDoc&, bool screen)>& fix, WalkSave save)
{
    CDrawDoc* project = ProjectDoc();
    if (!project)
        return true;
    std::vector<std::string> failures;
    const fs::path windowFolder = m_strProjectDir / std::string(txt::kWindowFolder);
    for (const bool screen : {true, false}) {
        for (const auto& entry : screen ? project->m_screenNames : project->m_subWindowNames) {
            const std::string& name = entry->m_strName;
            DocumentError error;
            if (CDrawDoc* open = FindWindowDocByFileName(name)) {
                fix(*open, screen);
                if (save == WalkSave::All && !open->OnSaveDocument(open->GetPathName(), &error))
                    failures.push_back(error.messageGbk);
                continue;
            }
            const auto file = resolveStoredPath(windowFolder, name);
            if (!file || !entryExists(*file))
                continue; // nothing stored that could point at the wrong variable
            CDrawDoc closed;
            if (!closed.OnOpenDocument(*file, &error)) {
                failures.push_back(error.messageGbk);
                continue;
            }
            fix(closed, screen);
            if (!closed.OnSaveDocument(*file, &error))
                failures.push_back(error.messageGbk);
        }
    }
    if (failures.empty())
        return true;
    std::string text(txt::kWindowNotFixed);
    for (const auto& f : failures)
        text += "\n" + f;
    Prompt().ShowMessage(text, UiPrompts::Icon::Error);
    return false;
}

namespace {

// The rule of a deleted row for an index that names it: the row itself is gone, the rows
// after it move up by one.
std::int32_t indexAfterDelete(std::int32_t index, int row)
{
    if (index == row)
        return -1;
    return index > row ? index - 1 : index;
}

} // namespace

bool CEditorApp::OnHmiVarDeleted(int row)
{
    const bool ok = ForEachProjectWindow([row](CDrawDoc& d, bool) { d.RenumberAfterVarDelete(row); }, WalkSave::All);
    if (CDrawDoc* project = ProjectDoc()) {
        // The system variables' indices follow before the rebuild reads them.
        for (std::size_t slot = settings::kSysVarIndexFirst; slot <= settings::kSysVarIndexLast; slot += 4)
            project->SetSettingI32(slot, indexAfterDelete(project->SettingI32(slot), row));
        RebuildSimulation();
        return project->DoFileSave() && ok;
    }
    return ok;
}

bool CEditorApp::OnHmiVarsCleared(int row)
{
    const bool ok = ForEachProjectWindow([row](CDrawDoc& d, bool) { d.ClearVarReferences(row); }, WalkSave::All);
    RebuildSimulation();
    CDrawDoc* project = ProjectDoc();
    return (!project || project->DoFileSave()) && ok;
}

bool CEditorApp::OnHmiVarMoved(int row)
{
    const bool ok = ForEachProjectWindow([row](CDrawDoc& d, bool) { d.RenumberAfterVarSwap(row); }, WalkSave::All);
    RebuildSimulation();
    return ok;
}

bool CEditorApp::OnHmiVarPasted(int row)
{
    const bool ok = ForEachProjectWindow([row](CDrawDoc& d, bool) { d.RenumberAfterVarMove(row); }, WalkSave::All);
    RebuildSimulation();
    return ok;
}

bool CEditorApp::OnHmiVarsChanged(int)
{
    const bool ok = ForEachProjectWindow([](CDrawDoc& d, bool) { d.RefreshVarReferences({}); }, WalkSave::All);
    RebuildSimulation();
    return ok;
}

void CEditorApp::RefreshVariableBindings(std::string_view text)
{
    CDrawDoc* project = ProjectDoc();
    if (!project)
        return;
    for (const ObjectList* list : {&project->m_screenNames, &project->m_subWindowNames})
        for (const auto& entry : *list) {
            if (CDrawDoc* doc = FindWindowDocByFileName(entry->m_strName))
                doc->RefreshVarReferences(text);
            else
                Prompt().ShowMessage(std::string(txt::kRefreshMissingWindow) + " " + entry->m_strName,
                                     UiPrompts::Icon::Error);
        }
}

namespace {

int scaled(int value, int newSize, int oldSize)
{
    return static_cast<int>(std::int64_t{value} * newSize / oldSize);
}

} // namespace

bool CEditorApp::RescaleWindowsToResolution(int oldWidth, int oldHeight, int newWidth, int newHeight)
{
    if (oldWidth <= 0 || oldHeight <= 0 || newWidth <= 0 || newHeight <= 0)
        return false;
    return ForEachProjectWindow(
        [&](CDrawDoc& d, bool screen) {
            if (screen) {
                d.RescaleObjects(oldWidth, oldHeight, newWidth, newHeight, 0, 0);
                d.m_nWindowWidth = newWidth;
                d.m_nWindowHeight = newHeight;
                return;
            }
            const int w = d.m_nWindowWidth;
            const int h = d.m_nWindowHeight;
            const Point from = d.m_ptWindowOrigin;
            if (newWidth < w || newHeight < h) {
                // No longer fits: the window shrinks with the screen.
                const Point to{scaled(from.x, newWidth, oldWidth), scaled(from.y, newHeight, oldHeight)};
                d.RescaleObjects(oldWidth, oldHeight, newWidth, newHeight, from.x - to.x, from.y - to.y);
                d.m_ptWindowOrigin = to;
                d.m_nWindowWidth = scaled(w, newWidth, oldWidth);
                d.m_nWindowHeight = scaled(h, newHeight, oldHeight);
            } else {
                const Point to{(newWidth - w) / 2, (newHeight - h) / 2};
                d.RescaleObjects(w, h, w, h, from.x - to.x, from.y - to.y);
                d.m_ptWindowOrigin = to;
            }
        },
        WalkSave::All);
}

void CEditorApp::MoveSubWindowDoc(const std::string& title, int x, int y)
{
    CDrawDoc* doc = FindDocByTitle(title);
    if (!doc)
        return;
    const int mx = m_nMarginX.load();
    const int my = m_nMarginY.load();
    // Lower bound first, upper bound last: a window wider than the screen sits at the right.
    x = std::min(std::max(x, mx), mx + m_nResWidth - doc->m_nWindowWidth);
    y = std::min(std::max(y, my), my + m_nResHeight - doc->m_nWindowHeight);
    const Point from = doc->m_ptWindowOrigin;
    const Point to{x - mx, y - my};
    m_nSimDragX += to.x - from.x;
    m_nSimDragY += to.y - from.y;
    doc->RescaleObjects(doc->m_nWindowWidth, doc->m_nWindowHeight, doc->m_nWindowWidth, doc->m_nWindowHeight,
                        from.x - to.x, from.y - to.y);
    doc->m_ptWindowOrigin = to;
    doc->SnapshotAndSetModified();
}

} // namespace qv
