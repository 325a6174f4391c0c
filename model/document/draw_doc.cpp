#include "model/document/draw_doc.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "model/document/document_environment.h"
#include "model/document/ui_prompts.h"
#include "model/project/resolution_range.h"
#include "model/params/block_bytes.h"
#include "model/vars/system_vars.h"
#include "platform/files/stored_path.h"

namespace qv {

// ---- variable table and serial parameters -------------------------------------------------

bool HmiVarTable::IsParallel() const
{
    const std::size_t n = name.size();
    return address.size() == n && type.size() == n && initValue.size() == n && description.size() == n;
}

void HmiVarTable::AppendRow(std::string addr, std::string typ, std::string nam, std::string init, std::string desc)
{
    address.push_back(std::move(addr));
    type.push_back(std::move(typ));
    name.push_back(std::move(nam));
    initValue.push_back(std::move(init));
    description.push_back(std::move(desc));
}

void HmiVarTable::EraseRow(std::size_t row)
{
    for (auto* column : {&address, &type, &name, &initValue, &description})
        if (row < column->size())
            column->erase(column->begin() + static_cast<std::ptrdiff_t>(row));
}

void HmiVarTable::Clear()
{
    for (auto* column : {&address, &type, &name, &initValue, &description})
        column->clear();
}

std::int32_t& SerialParams::operator[](std::size_t i)
{
    std::int32_t* const fields[kCount] = {&com1, &baud1, &param1, &station1, &panelBaud1,
                                          &param2, &station2, &com2, &baud2, &panelBaud2};
    return *fields[i < kCount ? i : 0];
}

// ---- construction ----------------------------------------------------------------------

namespace {

// ProjectSettings slots a new document gets (the PLC link parameters of both ports).
struct SettingDefault {
    std::size_t offset;
    std::int32_t value;
};
constexpr SettingDefault kConstructorSettings[] = {
    {settings::kPlcLink1, 2}, {settings::kPlcLink1 + 4, 6}, {settings::kPlcLink1 + 8, 200},
    {settings::kPlcLink2, 2}, {settings::kPlcLink2 + 4, 6}, {settings::kPlcLink2 + 8, 200},
};

// Slots a new project gets besides the system-variable indices (the others stay zero).
constexpr SettingDefault kNewProjectSettings[] = {
    {settings::kProtocol1, 1},   {settings::kProtocolParam1, 128},
    {settings::kProtocol2, 8},   {settings::kProtocolParam2, 128},
};
constexpr std::size_t kNewProjectByte71 = 71;

constexpr std::uint8_t kTouchCalibratedMarker = 0x88;
constexpr Point kNormalMargins{38, 38};

} // namespace

CDrawDoc::CDrawDoc()
{
    DocumentEnvironment& env = documentEnvironment();
    const Point margins = env.PageMargins();
    m_nMarginX = margins.x;
    m_nMarginY = margins.y;
    const Size res = env.ProjectResolution();
    m_nWindowWidth = res.cx;
    m_nWindowHeight = res.cy;
    for (const auto& s : kConstructorSettings)
        SetSettingI32(s.offset, s.value);
    m_TouchCalibration[0] = kTouchCalibratedMarker;
    UpdateViewExtents();
}

CDrawDoc::~CDrawDoc() = default;

std::int32_t CDrawDoc::SettingI32(std::size_t offset) const
{
    return offset > kProjectSettingsSize ? 0 : blockReadI32(m_ProjectSettings, static_cast<int>(offset));
}

void CDrawDoc::SetSettingI32(std::size_t offset, std::int32_t value)
{
    if (offset <= kProjectSettingsSize)
        blockWriteI32(m_ProjectSettings, static_cast<int>(offset), value);
}

void CDrawDoc::InitSystemVariables()
{
    const auto rows = systemVarRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SystemVarRow& r = rows[i];
        m_varTable.AppendRow(std::string(r.address), std::string(r.type), std::string(r.name), std::string(r.initial),
                             std::string(r.description));
        SetSettingI32(static_cast<std::size_t>(r.settingsSlot), static_cast<std::int32_t>(i));
    }
    m_nFormatWord = kFormatWordNewProject;
    for (const auto& s : kNewProjectSettings)
        SetSettingI32(s.offset, s.value);
    m_ProjectSettings[kNewProjectByte71] = 1;
    documentEnvironment().WriteSysVarHeader();
}

// ---- objects ----------------------------------------------------------------------------

CDrawObj* CDrawDoc::AddObject(std::unique_ptr<CDrawObj> obj)
{
    obj->m_pOwnerDoc = this;
    m_objects.push_back(std::move(obj));
    return m_objects.back().get();
}

std::unique_ptr<CDrawObj> CDrawDoc::RemoveObject(CDrawObj* obj)
{
    auto it = std::find_if(m_objects.begin(), m_objects.end(), [&](const auto& o) { return o.get() == obj; });
    if (it == m_objects.end())
        return nullptr;
    for (auto* view : m_views)
        view->Deselect(obj);
    std::unique_ptr<CDrawObj> taken = std::move(*it);
    m_objects.erase(it);
    return taken;
}

CDrawObj* CDrawDoc::FindObjectAt(Point p) const
{
    const auto one = [](std::int32_t v) { return v == std::numeric_limits<std::int32_t>::max() ? v : v + 1; };
    const Rect probe{p.x, p.y, one(p.x), one(p.y)};
    // Controls win over shapes drawn above them; topmost first within each group.
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it)
        if ((*it)->IsControl() && (*it)->Overlaps(probe))
            return it->get();
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it)
        if ((*it)->Overlaps(probe))
            return it->get();
    return nullptr;
}

// ---- views ------------------------------------------------------------------------------

void CDrawDoc::AddView(DocumentView* view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CDrawDoc::RemoveView(DocumentView* view) { std::erase(m_views, view); }

void CDrawDoc::UpdateAllViews(DocumentView* sender, int hint, CDrawObj* obj)
{
    for (auto* view : m_views)
        if (view != sender)
            view->OnUpdate(sender, hint, obj);
}

void CDrawDoc::UpdateViewExtents()
{
    // Held to the project range, so a resolution set elsewhere never overflows the doubling.
    const Size res = documentEnvironment().ProjectResolution();
    m_sizeDoc = {2 * std::clamp(res.cx, 0, kMaxProjectResolution), 2 * std::clamp(res.cy, 0, kMaxProjectResolution)};
    for (auto* view : m_views)
        view->SetScrollExtent(m_sizeDoc);
}

void CDrawDoc::FitViewsToDesktop()
{
    DocumentEnvironment& env = documentEnvironment();
    if (env.ProjectResolution() == env.DesktopSize()) {
        m_sizeDoc = {0, 0};
        env.SetPageMargins({0, 0});
    }
    for (auto* view : m_views)
        view->SetScrollExtent(m_sizeDoc);
}

void CDrawDoc::RestoreViewMargins()
{
    documentEnvironment().SetPageMargins(kNormalMargins);
    UpdateViewExtents();
}

// ---- name lists -------------------------------------------------------------------------

namespace {

ObjectList::iterator findName(ObjectList& list, std::string_view name)
{
    // Exact byte compare: GBK names differ by case only where the user typed them so.
    return std::find_if(list.begin(), list.end(), [&](const auto& e) { return e->m_strName == name; });
}

int indexOfName(const ObjectList& list, std::string_view name)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->m_strName == name)
            return static_cast<int>(i);
    return -1;
}

} // namespace

bool CDrawDoc::SaveNameListEdit()
{
    if (DoFileSave())
        return true;
    // Kept in memory and marked, so closing asks to save it again.
    SetModifiedFlag();
    return false;
}

bool CDrawDoc::AddScreenName(std::string_view fileNameGbk)
{
    auto entry = std::make_unique<CDrawObj>(std::string(fileNameGbk));
    entry->m_pOwnerDoc = this;
    m_screenNames.push_back(std::move(entry));
    return SaveNameListEdit();
}

bool CDrawDoc::AddSubWindowName(std::string_view fileNameGbk)
{
    auto entry = std::make_unique<CDrawObj>(std::string(fileNameGbk));
    entry->m_pOwnerDoc = this;
    m_subWindowNames.push_back(std::move(entry));
    return SaveNameListEdit();
}

bool CDrawDoc::RemoveScreenName(std::string_view fileNameGbk)
{
    if (auto it = findName(m_screenNames, fileNameGbk); it != m_screenNames.end())
        m_screenNames.erase(it);
    return SaveNameListEdit();
}

bool CDrawDoc::RemoveSubWindowName(std::string_view fileNameGbk)
{
    if (auto it = findName(m_subWindowNames, fileNameGbk); it != m_subWindowNames.end())
        m_subWindowNames.erase(it);
    return SaveNameListEdit();
}

bool CDrawDoc::RenameWindow(std::string_view oldNameGbk, std::string_view newNameGbk)
{
    std::vector<CDrawObj*> renamed;
    for (ObjectList* list : {&m_screenNames, &m_subWindowNames})
        if (auto it = findName(*list, oldNameGbk); it != list->end()) {
            (*it)->m_strName = std::string(newNameGbk);
            renamed.push_back(it->get());
        }
    if (DoFileSave())
        return true;
    // The caller moves the window file back: the list must name it as before.
    for (CDrawObj* entry : renamed)
        entry->m_strName = std::string(oldNameGbk);
    return false;
}

int CDrawDoc::GetWindowIndex(std::string_view nameGbk) const
{
    const int screen = indexOfName(m_screenNames, nameGbk);
    return screen >= 0 ? screen : indexOfName(m_subWindowNames, nameGbk);
}

void CDrawDoc::FillProjectTree(ProjectTreeSink& tree)
{
    DocumentEnvironment& env = documentEnvironment();
    const std::filesystem::path folder = env.ProjectFolder() / "window";
    const std::size_t total = m_screenNames.size() + m_subWindowNames.size();
    std::size_t done = 0;
    auto addAll = [&](const ObjectList& list, void (ProjectTreeSink::*add)(std::string_view)) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string& name = list[i]->m_strName;
            (tree.*add)(std::to_string(i) + ":" + name);
            // A name that would leave the window folder is listed but never opened.
            if (auto file = resolveStoredPath(folder, name))
                env.OpenWindowDocument(*file);
            ++done;
            env.SetProgress(static_cast<int>(100 * done / total));
        }
    };
    addAll(m_screenNames, &ProjectTreeSink::AddScreenItem);
    addAll(m_subWindowNames, &ProjectTreeSink::AddSubWindowItem);
    env.SetProgress(0);
}

bool CDrawDoc::SaveToWindowFolder()
{
    DocumentEnvironment& env = documentEnvironment();
    auto file = resolveStoredPath(env.ProjectFolder() / "window", m_strTitle);
    if (!file || m_strTitle.empty())
        return false;
    const std::string title = m_strTitle;
    DocumentError error;
    if (OnSaveDocument(*file, &error)) {
        m_strTitle = title;
        return true;
    }
    if (auto* prompts = env.Prompts())
        prompts->ShowMessage(error.messageGbk, UiPrompts::Icon::Error);
    return false;
}

// ---- background colour ----------------------------------------------------------------

bool CDrawDoc::CanChangeBackground() const
{
    const bool runMode = !m_views.empty() && m_views.front()->IsRunMode();
    return !documentEnvironment().IsCompiling() && !runMode && !m_bIsProjectDoc;
}

void CDrawDoc::OnBackgroundColor()
{
    if ((!m_views.empty() && m_views.front()->IsRunMode()) || m_bIsProjectDoc)
        return;
    DocumentEnvironment& env = documentEnvironment();
    env.ResetCurrentTool();
    UiPrompts* prompts = env.Prompts();
    if (!prompts)
        return;
    if (auto color = prompts->ChooseColor(m_paperColor)) {
        m_paperColor = *color;
        SnapshotAndSetModified();
        UpdateAllViews(nullptr);
    }
}

// ---- broadcasts -------------------------------------------------------------------------

namespace {

template <class Fn>
void forEachObject(ObjectList& objects, Fn fn)
{
    ObjectVarReferenceOps* ops = documentEnvironment().VarReferenceOps();
    if (!ops)
        return;
    for (auto& obj : objects)
        fn(*ops, *obj);
}

} // namespace

void CDrawDoc::RenumberAfterVarDelete(int row)
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.RenumberAfterVarDelete(o, row); });
}

void CDrawDoc::ClearVarReferences(int)
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.ClearVarReferences(o); });
}

void CDrawDoc::RefreshVarReferences(std::string_view text)
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.RefreshVarReferences(o, text); });
}

void CDrawDoc::RenumberAfterVarSwap(int row)
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.RenumberAfterVarSwap(o, row); });
}

void CDrawDoc::RenumberAfterVarMove(int target)
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.RenumberAfterVarMove(o, target); });
}

void CDrawDoc::UpdateCurveAddressMax()
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.UpdateCurveAddressMax(o); });
}

void CDrawDoc::UpdateStringAddressMax()
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) { ops.UpdateStringAddressMax(o); });
}

void CDrawDoc::RescaleObjects(int oldWidth, int oldHeight, int newWidth, int newHeight, int dx, int dy)
{
    forEachObject(m_objects, [&](ObjectVarReferenceOps& ops, CDrawObj& o) {
        ops.RescaleRect(o, oldWidth, oldHeight, newWidth, newHeight, dx, dy);
    });
}

} // namespace qv
