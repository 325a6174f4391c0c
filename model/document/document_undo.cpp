// The ring of 108 undo snapshots. Each snapshot holds full copies of the objects, each of its
// own class with every field (control flag and run state included), and the paper colour.
#include "model/document/draw_doc.h"

namespace qv {

namespace {

constexpr int kLastSlot = CDrawDoc::kUndoSlots - 1;

void copyObjects(const ObjectList& from, ObjectList& to, CDrawDoc* owner)
{
    to.clear();
    to.reserve(from.size());
    for (const auto& obj : from) {
        to.push_back(obj->Clone());
        to.back()->m_pOwnerDoc = owner;
    }
}

} // namespace

void CDrawDoc::TakeUndoSnapshot()
{
    if (m_nSnapshotLock != 0)
        return;
    m_nUndoSlot = (m_nUndoSlot >= kLastSlot) ? 0 : m_nUndoSlot + 1;
    m_nUndoDepth = std::min(m_nUndoDepth + 1, kLastSlot);
    m_nRedoCount = 0;
    copyObjects(m_objects, m_undoRing[static_cast<std::size_t>(m_nUndoSlot)], this);
    m_undoPaper[static_cast<std::size_t>(m_nUndoSlot)] = m_paperColor;
}

void CDrawDoc::RestoreUndoSnapshot()
{
    if (m_nUndoSlot < 0 || m_nUndoSlot > kLastSlot)
        return;
    for (auto* view : m_views)
        for (auto& obj : m_objects)
            view->Deselect(obj.get());
    copyObjects(m_undoRing[static_cast<std::size_t>(m_nUndoSlot)], m_objects, this);
    m_paperColor = m_undoPaper[static_cast<std::size_t>(m_nUndoSlot)];
    // The copies hold the addresses and types of when they were taken; an address
    // adjustment since then moved the variables, so they are looked up again.
    RefreshVarReferences({});
    UpdateAllViews(nullptr);
}

void CDrawDoc::SnapshotAndSetModified()
{
    TakeUndoSnapshot();
    SetModifiedFlag(true);
}

// A document that has never taken a snapshot has depth -1: there is nothing to go back to,
// and stepping would restore an empty slot over the objects.
bool CDrawDoc::CanUndo() const { return m_nUndoDepth > 0; }
bool CDrawDoc::CanRedo() const { return m_nRedoCount > 0; }

bool CDrawDoc::Undo()
{
    if (!CanUndo())
        return false;
    --m_nUndoDepth;
    m_nUndoSlot = (m_nUndoSlot <= 0) ? kLastSlot : m_nUndoSlot - 1;
    ++m_nRedoCount;
    RestoreUndoSnapshot();
    m_nSnapshotLock = 1;
    SnapshotAndSetModified();
    m_nSnapshotLock = 0;
    return true;
}

bool CDrawDoc::Redo()
{
    if (!CanRedo())
        return false;
    --m_nRedoCount;
    ++m_nUndoDepth;
    m_nUndoSlot = (m_nUndoSlot >= kLastSlot) ? 0 : m_nUndoSlot + 1;
    RestoreUndoSnapshot();
    m_nSnapshotLock = 1;
    SnapshotAndSetModified();
    m_nSnapshotLock = 0;
    return true;
}

} // namespace qv
