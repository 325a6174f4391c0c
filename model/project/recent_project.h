#pragma once
// Opening a project named by the recent-file list, on the road of "打开工程": the save prompt
// of the open project, then the open project replaced only once the file is known to load.
#include <filesystem>

namespace qv {

class CEditorApp;

enum class RecentOpen {
    Opened,
    Kept,   // the user cancelled, or it is the open project: nothing changed
    Gone,   // no such file (the user was told, naming it)
    Failed, // it does not load (the user was told why); the open project stays
};

RecentOpen OpenRecentProject(CEditorApp& app, const std::filesystem::path& file);

// Closes the open project and opens `file`, once `file` is known to load.
bool ReplaceOpenProject(CEditorApp& app, const std::filesystem::path& file);

} // namespace qv
