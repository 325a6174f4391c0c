#pragma once
// Window managers cut a title that does not fit beside the title bar's buttons ("设…择"), and
// a button narrower than its text lets the text run past its edge: the panel dialogs are
// made wide enough for both.
class QDialog;

namespace qv {

// Gives `dialog` a minimum width that holds its title with room for the title bar's buttons,
// and every push button in it a minimum width that holds its text with an em either side.
void fitTitleAndButtons(QDialog& dialog);

} // namespace qv
