#include "model/project/lock_all.h"

#include "model/app/doc_manager.h"
#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"

namespace qv {

bool SetAllObjectsLocked(CEditorApp& app, bool locked)
{
    if (!app.m_pWindowTemplate)
        return false;
    const std::int32_t flag = locked ? 1 : 0;
    bool any = false;
    for (const auto& doc : app.m_pWindowTemplate->Documents()) {
        bool changed = false;
        for (const auto& obj : doc->m_objects) {
            changed = changed || obj->m_bLocked != flag;
            obj->m_bLocked = flag;
        }
        if (!changed)
            continue;
        doc->SnapshotAndSetModified();
        doc->UpdateAllViews(nullptr);
        any = true;
    }
    return any;
}

} // namespace qv
