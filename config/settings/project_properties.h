#pragma once
// Loading the settings page from the open project and storing an accepted page back: the
// rules, a changed resolution rescaling every window, then the project saved.
#include "config/settings/com_set_page.h"

#include <string>

namespace qv {
class CDrawDoc;
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

// The connect button of port `index` (0 or 1): the page's COM number and baud go into the
// project document's settings of that port, then its port opens on the page's framing.
// False when the port cannot be opened; `why` (UTF-8) says why.
bool ConnectPagePort(CDrawDoc& doc, const ComSetPage& page, int index, std::string* why);

} // namespace qv::settings_page
