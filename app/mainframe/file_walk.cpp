#include "app/mainframe/file_walk.h"

#include <algorithm>

namespace qv {

std::optional<std::string> nextFileTitle(bool activeIsProject, const std::string& activeTitle,
                                         const ProjectWindowLists& lists)
{
    const auto& s = lists.screens;
    const auto& w = lists.subWindows;
    const auto firstSubOrSimulator = [&] { return w.empty() ? std::string(kSimulatorTitle) : w.front(); };
    if (activeIsProject)
        return s.empty() ? firstSubOrSimulator() : s.front();
    if (auto it = std::find(s.begin(), s.end(), activeTitle); it != s.end())
        return std::next(it) != s.end() ? *std::next(it) : firstSubOrSimulator();
    if (auto it = std::find(w.begin(), w.end(), activeTitle); it != w.end())
        return std::next(it) != w.end() ? *std::next(it) : std::string(kSimulatorTitle);
    return std::nullopt;
}

std::optional<std::string> prevFileTitle(const std::string& activeTitle, const ProjectWindowLists& lists)
{
    std::vector<std::string> sequence = lists.screens;
    sequence.insert(sequence.end(), lists.subWindows.begin(), lists.subWindows.end());
    auto it = std::find(sequence.begin(), sequence.end(), activeTitle);
    if (it == sequence.end()) // the simulator: back to the last window, if any
        return sequence.empty() ? std::nullopt : std::optional(sequence.back());
    if (it == sequence.begin())
        return std::nullopt;
    return *std::prev(it);
}

} // namespace qv
