#include "props/character_batch.h"

#include "model/app/editor_app.h"
#include "model/document/document_view.h"
#include "model/document/draw_doc.h"
#include "model/params/block_bytes.h"
#include "model/shape/shape_kind.h"
#include "props/address_group.h"
#include "props/data_control_pages.h"
#include "props/window_frame.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace qv {
namespace {

void addSelected(CDrawDoc* doc, std::vector<CDrawObj*>& out)
{
    if (!doc || doc->Views().empty())
        return;
    for (CDrawObj* obj : doc->Views().front()->SelectedShapes())
        if (obj && obj->Kind() == ShapeKind::Character && std::find(out.begin(), out.end(), obj) == out.end())
            out.push_back(obj);
}

// The cached address and type of a colour group's reference lie right after its index.
constexpr int kRefAddressAfterIndex = 4, kRefTypeAfterIndex = 8;

void copyField(const CDrawObj& from, CDrawObj& to, int offset, int width = 4)
{
    if (offset >= 0)
        blockWriteU(to.m_Params, offset, width, blockReadU(from.m_Params, offset, width));
}

// The whole group: use, reference, link target, element type, station, element number,
// allow-other and width code, so the target's colour page shows the model's link.
void copyGroup(const CDrawObj& from, CDrawObj& to, CommonGroup group)
{
    const GroupLayout* g = CommonGroupLayout(group, ShapeKind::Character);
    if (!g)
        return;
    copyField(from, to, g->use, g->useWidth);
    for (int offset : {g->index, g->index + kRefAddressAfterIndex, g->index + kRefTypeAfterIndex, g->target,
                       g->elementType, g->station, g->elementNumber, g->allowOther, g->widthCode})
        copyField(from, to, offset);
}

int sum(int a, int b)
{
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{a} + b, INT32_MIN, INT32_MAX));
}

// A field of the character's appearance page, where its table stores it.
void copyShapeField(const CDrawObj& from, CDrawObj& to, std::uint32_t CharacterShapePage::*member)
{
    for (const BlockField<CharacterShapePage>& f : kCharacterShapeFields)
        if (f.member == member)
            copyField(from, to, f.offset, f.width);
}

} // namespace

std::vector<CDrawObj*> CharacterBatchTargets(CEditorApp& app, CDrawObj& model, bool wholeProject)
{
    std::vector<CDrawObj*> out;
    const CDrawDoc* project = app.ProjectDoc();
    if (wholeProject && project) {
        for (const auto* names : {&project->m_screenNames, &project->m_subWindowNames})
            for (const auto& entry : *names)
                addSelected(app.FindDocByTitle(entry->m_strName), out);
    } else {
        addSelected(model.m_pOwnerDoc, out);
    }
    return out;
}

void ApplyCharacterBatch(CEditorApp& app, CDrawObj& model, const CharacterBatchOptions& o)
{
    if (!o.any())
        return;
    const CDrawObj source = model;  // the model is among the targets
    const Rect size = source.m_rcPosition.normalized();
    std::vector<CDrawDoc*> windows;
    for (CDrawObj* t : CharacterBatchTargets(app, model, o.wholeProject != 0)) {
        const WindowFrame frame = WindowFrameOf(app.m_nMarginX.load(), app.m_nMarginY.load(), t->m_pOwnerDoc);
        if (o.sameFont)
            t->m_logfont = source.m_logfont;
        if (o.sameForeColor) {
            copyShapeField(source, *t, &CharacterShapePage::fontColor);
            copyGroup(source, *t, CommonGroup::FontColor);
        }
        if (o.sameBackColor) {
            copyShapeField(source, *t, &CharacterShapePage::backColor);
            copyShapeField(source, *t, &CharacterShapePage::backTransparent);
            copyGroup(source, *t, CommonGroup::BackColor);
        }
        if (o.sameHeight) {
            Rect r = t->m_rcPosition.normalized();
            r.bottom = sum(r.top, size.height());
            t->m_rcPosition = ClampToWindow(r, frame);
        }
        if (o.sameWidth) {
            Rect r = t->m_rcPosition.normalized();
            r.right = sum(r.left, size.width());
            t->m_rcPosition = ClampToWindow(r, frame);
        }
        if (o.sameMaxChars)
            copyShapeField(source, *t, &CharacterShapePage::maxChars);
        if (CDrawDoc* owner = t->m_pOwnerDoc) {
            owner->UpdateAllViews(nullptr, 0, t);
            if (std::find(windows.begin(), windows.end(), owner) == windows.end())
                windows.push_back(owner);
        }
    }
    for (CDrawDoc* w : windows)
        w->SnapshotAndSetModified();
    app.RequestSimulationRebuild();
}

} // namespace qv
