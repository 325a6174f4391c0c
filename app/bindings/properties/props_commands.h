#pragma once
// Opens the object property sheets from the selection tool's double click and the
// properties command: installs the tools' properties handler for the application.
#include <QWidget>

namespace qv {

class CEditorApp;

// `parent` owns the sheets while they run (nullptr: the active window).
void installPropertySheets(CEditorApp& app, QWidget* parent = nullptr);

} // namespace qv
