#include "props/property_edit.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/object_var_refs.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/hmi_vars.h"
#include "props/control_sheets.h"
#include "props/data_control_sheets.h"

namespace qv {

SheetContext SheetContextFor(CEditorApp& app, const CDrawObj& obj)
{
    SheetContext context;
    context.frame = WindowFrameOf(app.m_nMarginX.load(), app.m_nMarginY.load(), obj.m_pOwnerDoc);
    context.projectDir = app.m_strProjectDir;
    context.copyPicture = [&app](const std::filesystem::path& source) { return app.CopyUserPicture(source); };
    context.baseDir = app.BaseDir();
    if (const CDrawDoc* owner = obj.m_pOwnerDoc)
        context.windowTitle = owner->GetTitle();
    if (const CDrawDoc* project = app.ProjectDoc()) {
        context.protocol1 = project->SettingI32(settings::kProtocol1);
        context.protocol2 = project->SettingI32(settings::kProtocol2);
        context.varNames = project->m_varTable.name;
        context.varTable = project->m_varTable;
        for (const auto& entry : project->m_screenNames)
            context.screens.push_back(entry->m_strName);
        for (const auto& entry : project->m_subWindowNames)
            context.subWindows.push_back(entry->m_strName);
    }
    return context;
}

bool ConfirmSheet(CEditorApp& app, SheetValues& values, const SheetContext& context)
{
    if (const std::string refusal = CheckSheet(values, context); !refusal.empty()) {
        app.Prompt().ShowMessage(refusal, UiPrompts::Icon::Warning);
        return false;
    }
    if (!CopyNewFrames(values, context))
        return false;
    std::vector<HiddenVarRequest> requests = HiddenVarsNeeded(values, context);
    CDrawDoc* project = app.ProjectDoc();
    if (requests.empty() || !project)
        return requests.empty();
    HmiVarTable& table = project->m_varTable;
    const std::size_t rowsBefore = table.size();
    for (HiddenVarRequest& r : requests) {
        const AddVarOutcome outcome = FindOrAddVarRow(app, table, r.type, r.name, kHiddenVarInitial, kHiddenVarDescription);
        if (outcome.row < 0) {
            while (table.size() > rowsBefore)
                table.EraseRow(table.size() - 1);
            app.Prompt().ShowMessage(outcome.errorGbk, UiPrompts::Icon::Error);
            return false;
        }
        r.group->state.varIndex = outcome.row;
    }
    if (table.size() != rowsBefore) {
        project->DoFileSave();
        app.WriteSysVarHeader();
    }
    return true;
}

namespace {

bool runSheet(CEditorApp& app, CDrawObj& obj, const KindSheet& sheet, const PropertyEditHooks& hooks)
{
    const SheetContext context = SheetContextFor(app, obj);
    SheetValues values = LoadSheet(obj, context);
    const std::function<bool()> confirm = [&] { return ConfirmSheet(app, values, context); };
    if (!hooks.runSheet || !hooks.runSheet(sheet, values, confirm))
        return false;

    CommitSheet(values, obj, context);
    // The pages change only indices; the cached address and type follow from them. Without
    // a project there is no table to follow, and the cached values stay.
    if (const CDrawDoc* project = app.ProjectDoc())
        refreshVarRefs(obj.Kind(), obj.m_Params, resolverFor(&project->m_varTable));
    CDrawDoc* owner = obj.m_pOwnerDoc;
    if (owner)
        owner->UpdateAllViews(nullptr, 0, &obj);
    if (sheet.rebuildSimulation)
        app.RequestSimulationRebuild();
    if (owner)
        owner->SnapshotAndSetModified();
    return true;
}

bool autoAdjustSwitchedOn(const CEditorApp& app)
{
    const CDrawDoc* project = app.ProjectDoc();
    return project && project->SettingI32(settings::kNoAutoAddressAdjust) == 0;
}

} // namespace

bool EditObjectProperties(CEditorApp& app, CDrawObj& obj, int selectedCount, const PropertyEditHooks& hooks)
{
    const KindSheet& sheet = KindSheetOf(obj.Kind());
    bool changed = false;
    switch (RouteEdit(obj.Kind(), selectedCount)) {
    case EditRoute::Nothing: return false;
    case EditRoute::CharacterBatch:
        if (hooks.editCharacterBatch)
            hooks.editCharacterBatch(obj);
        break;
    case EditRoute::Sheet: changed = runSheet(app, obj, sheet, hooks); break;
    }
    // Every per-kind sheet, OK or Cancel, may have added hidden variables or changed what a
    // control needs of the memory, so the addresses are laid out again.
    if (sheet.family == SheetFamily::PerKind && autoAdjustSwitchedOn(app) && hooks.adjustAddresses)
        hooks.adjustAddresses();
    return changed;
}

} // namespace qv
