#pragma once
// Loading the settings page from the open project and storing an accepted page back: the
// rules, a changed resolution rescaling every window, then the project saved.
#include "vars/settings/com_set_page.h"

namespace qv {
class CEditorApp;
}

namespace qv::settings_page {

// The page of the open project; false without a project document.
bool LoadFromProject(const CEditorApp& app, ComSetPage& page);

// The first free byte of the variable memory, which the copy protocol copies by default.
int FirstFreeVarByte(const CEditorApp& app);

// Applies an accepted page. A refusal stores nothing; otherwise a changed resolution rescales
// the windows, the project document is saved and its views repainted.
CommitResult ApplyToProject(CEditorApp& app, const ComSetPage& page);

} // namespace qv::settings_page
