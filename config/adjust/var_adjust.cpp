#include "config/adjust/var_adjust.h"

#include "model/app/editor_app.h"
#include "model/params/var_refs.h"
#include "model/project/file_copies.h"
#include "model/project/project_texts.h"
#include "model/vars/hmi_var_table.h"
#include "platform/files/stored_path.h"
#include "config/adjust/var_layout.h"

#include <set>
#include <system_error>

namespace qv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTooLarge = "HMI变量需要的存储空间超过64K字节，变量地址没有调整。需要的字节数：";
constexpr std::string_view kTableChanged = "变量表在地址调整期间被修改，变量地址没有调整";
constexpr std::string_view kWindowUnread = "无法读取窗口文件，它的控件占用的变量空间没有计入地址调整：";

void addObjects(const ObjectList& objects, std::vector<VarAdjustInput::ObjectBlock>& out)
{
    for (const auto& obj : objects)
        out.push_back({obj->Kind(), obj->m_Params});
}

bool sameRows(const HmiVarTable& a, const HmiVarTable& b)
{
    return a.name == b.name && a.type == b.type && a.address == b.address;
}

} // namespace

std::optional<VarAdjustInput> TakeVarAdjustInput(CEditorApp& app)
{
    CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return std::nullopt;
    VarAdjustInput in;
    in.table = project->m_varTable;
    std::set<const CDrawDoc*> open;
    if (app.m_pWindowTemplate)
        for (const auto& doc : app.m_pWindowTemplate->Documents()) {
            addObjects(doc->m_objects, in.objects);
            open.insert(doc.get());
        }
    const fs::path windowFolder = app.m_strProjectDir / std::string(project::text::kWindowFolder);
    for (const ObjectList* names : {&project->m_screenNames, &project->m_subWindowNames})
        for (const auto& entry : *names) {
            const CDrawDoc* doc = app.FindWindowDocByFileName(entry->m_strName);
            if (doc && open.count(doc))
                continue;
            const auto file = resolveStoredPath(windowFolder, entry->m_strName);
            if (file && entryExists(*file))
                in.closedWindows.push_back({entry->m_strName, *file});
        }
    return in;
}

VarAdjustResult ComputeVarAdjust(const VarAdjustInput& input, ReportQueue& reports)
{
    VarAdjustResult result;
    const HmiVarTable& table = input.table;
    const std::size_t n = table.size();
    std::vector<unsigned> sizes(n, 1);
    const VarWidthResolver widthOf = [&](std::int32_t row) {
        const auto extent = varExtentOf(table, row);
        return extent ? extent->width : 0;
    };
    for (const auto& obj : input.objects)
        collectVarSizes(obj.kind, obj.params, sizes, widthOf);
    for (const auto& closed : input.closedWindows) {
        CDrawDoc doc;
        DocumentError error;
        if (!doc.OnOpenDocument(closed.file, &error)) {
            result.unreadWindows.push_back(std::string(kWindowUnread) + closed.nameGbk + " " + error.messageGbk);
            continue;
        }
        for (const auto& obj : doc.m_objects)
            collectVarSizes(obj->Kind(), obj->m_Params, sizes, widthOf);
    }

    const std::vector<std::uint64_t> wide(sizes.begin(), sizes.end());
    int shown = -1;
    const VarLayout layout = LayOutVarAddresses(table.type, wide, [&](int percent) {
        if (percent != shown)
            reports.setProgress(shown = percent);
    });
    result.end = layout.end;
    result.fits = layout.end <= kVarMemoryBytes;
    result.addresses.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        result.addresses.push_back(std::to_string(layout.addresses[i]));
        if (i < table.address.size() && result.addresses[i] != table.address[i])
            result.changed = true;
    }
    return result;
}

bool ApplyVarAdjust(CEditorApp& app, const VarAdjustInput& input, const VarAdjustResult& result)
{
    for (const auto& line : result.unreadWindows)
        app.m_reports.appendText(line + "\r\n");
    CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return false;
    if (!sameRows(project->m_varTable, input.table) || !project->m_varTable.IsParallel()) {
        app.Prompt().ShowMessage(kTableChanged, UiPrompts::Icon::Warning);
        return false;
    }
    if (!result.fits) {
        app.Prompt().ShowMessage(std::string(kTooLarge) + std::to_string(result.end), UiPrompts::Icon::Error);
        return false;
    }
    if (!result.changed)
        return true;
    project->m_varTable.address = result.addresses;
    project->SetModifiedFlag();
    const bool saved = project->DoFileSave();
    const bool fixed = app.OnHmiVarsChanged(static_cast<int>(result.addresses.size()));
    app.WriteSysVarHeader();
    return saved && fixed;
}

VarAdjustJob::~VarAdjustJob()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool VarAdjustJob::Start(CEditorApp& app, ReportQueue& reports, std::string* errorGbk)
{
    m_input = TakeVarAdjustInput(app);
    if (!m_input) {
        if (errorGbk)
            *errorGbk = "没有打开的工程";
        return false;
    }
    m_done = false;
    try {
        m_worker = std::thread([this, &reports] {
            m_result = ComputeVarAdjust(*m_input, reports);
            m_done.store(true, std::memory_order_release);
            reports.setProgress(100); // wakes the drain that sees Done()
        });
    } catch (const std::system_error&) {
        m_input.reset();
        if (errorGbk)
            *errorGbk = kVarAdjustNoThread;
        return false;
    }
    return true;
}

bool VarAdjustJob::Finish(CEditorApp& app)
{
    if (!m_worker.joinable() || !m_input)
        return false;
    m_worker.join();
    const bool ok = ApplyVarAdjust(app, *m_input, m_result);
    m_input.reset();
    return ok;
}

bool AdjustVarAddresses(CEditorApp& app)
{
    VarAdjustJob job;
    std::string error;
    if (!job.Start(app, app.m_reports, &error)) {
        if (app.ProjectDoc())
            app.Prompt().ShowMessage(error, UiPrompts::Icon::Error);
        return false;
    }
    const bool ok = job.Finish(app);
    app.m_reports.setProgress(0);
    return ok;
}

} // namespace qv
