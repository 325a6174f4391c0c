#include "props/property_edit.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/params/object_var_refs.h"

namespace qv {

SheetContext SheetContextFor(CEditorApp& app, const CDrawObj& obj)
{
    SheetContext context;
    context.frame = WindowFrameOf(app.m_nMarginX.load(), app.m_nMarginY.load(), obj.m_pOwnerDoc);
    context.projectDir = app.m_strProjectDir;
    context.copyPicture = [&app](const std::filesystem::path& source) { return app.CopyUserPicture(source); };
    return context;
}

namespace {

bool runSheet(CEditorApp& app, CDrawObj& obj, const KindSheet& sheet, const PropertyEditHooks& hooks)
{
    const SheetContext context = SheetContextFor(app, obj);
    SheetValues values = LoadSheet(obj, context);
    if (!hooks.runSheet || !hooks.runSheet(sheet, values))
        return false;

    CommitSheet(values, obj, context);
    // The pages change only indices; the cached address and type follow from them. Without
    // a project there is no table to follow, and the cached values stay.
    if (const CDrawDoc* project = app.ProjectDoc())
        refreshVarRefs(obj.m_nKind, obj.m_Params, resolverFor(&project->m_varTable));
    CDrawDoc* owner = obj.m_pOwnerDoc;
    if (owner)
        owner->UpdateAllViews(nullptr, 0, &obj);
    if (sheet.rebuildSimulation)
        app.RebuildSimulation();
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
    const KindSheet& sheet = KindSheetOf(obj.m_nKind);
    bool changed = false;
    switch (RouteEdit(obj.m_nKind, selectedCount)) {
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
