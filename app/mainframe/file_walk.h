#pragma once
// The order in which the palette's next/previous-file commands walk a project's windows:
// the project document, the screens, the sub-windows, then the simulator document, which
// ends the walk (no wrap-around). Titles are GBK file names ("win0.drw").
#include <optional>
#include <string>
#include <vector>

namespace qv {

inline constexpr const char* kSimulatorTitle = "模拟LCD/VGA显示屏";

struct ProjectWindowLists {
    std::vector<std::string> screens;
    std::vector<std::string> subWindows;
};

// The title of the window after the active one; nullopt when the walk has ended (the
// simulator document, or a title the project does not list).
std::optional<std::string> nextFileTitle(bool activeIsProject, const std::string& activeTitle,
                                         const ProjectWindowLists& lists);

// The window before the active one. nullopt means "the project document" (the first
// screen's predecessor); the project document itself has no predecessor (also nullopt,
// the caller does nothing there).
std::optional<std::string> prevFileTitle(const std::string& activeTitle,
                                         const ProjectWindowLists& lists);

} // namespace qv
