#pragma once
// The caption the project document shows while it is in front for a compile, a download or
// the tree's root item: the whole project file as the host names it.
namespace qv {

class CEditorApp;

// Sets the project document's title to the project file's path ("/" between its parts, the
// file's own name); a path GBK cannot hold keeps the old title.
void ShowProjectFileTitle(CEditorApp& app);

} // namespace qv
