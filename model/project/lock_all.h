#pragma once
// "锁定工程" / "解锁工程": the lock flag of every object of every open window document (screens,
// sub-windows and the simulator's; not the project document).
namespace qv {

class CEditorApp;

// A document in which some flag changed takes one undo step, is marked modified and
// repainted; the others keep their state. True when any flag changed.
bool SetAllObjectsLocked(CEditorApp& app, bool locked);

} // namespace qv
