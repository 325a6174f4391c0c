#pragma once
// The button's action list: what a button on a given window can do (open a screen or
// sub-window, operate a variable, a system action, a keyboard key). Texts are GBK.
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// `windowTitle` is the file name of the window the edited button lies on.
std::vector<std::string> ButtonActionsFor(std::string_view windowTitle, const std::vector<std::string>& screens,
                                          const std::vector<std::string>& subWindows);

} // namespace qv
