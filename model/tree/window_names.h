#pragma once
// The rules every screen and sub-window name and placement must pass before a file is made:
// a window's name becomes a file in the project's "window" folder, so it must stay a plain
// file name there, and a sub-window must lie inside the project's screen.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

enum class WindowKind { Screen, SubWindow };

inline constexpr std::string_view kScreenExtension = ".drw";
inline constexpr std::string_view kSubWindowExtension = ".dlg";

std::string_view ExtensionOf(WindowKind kind);

// "画面" or "子窗口", the word the messages use.
std::string_view KindWord(WindowKind kind);

// The tree text of the window at `number` in its folder: "%d:" and the file name.
std::string WindowItemText(int number, std::string_view fileNameGbk);

// The name the rest of the program uses: the text after the first ':' (the whole text when
// there is none). ':' never occurs inside a GBK double-byte character.
std::string WindowNameOfItemText(std::string_view itemTextGbk);

// The name without its extension, for the dialogs.
std::string StemOfWindowName(std::string_view fileNameGbk, WindowKind kind);

// A name as messages show it: at most `maxChars` characters, cut ones ending in "…".
std::string CapNameForMessage(std::string_view nameGbk, std::size_t maxChars = 40);

// Longest name (as UTF-8, without its four-byte extension) a window file can carry.
constexpr std::size_t kMaxWindowNameUtf8Bytes = 250;

// Why the typed name (without extension, GBK) cannot name a window, or nullopt when it can:
// empty, holding a path separator, ':' or "..", a control character, or too long.
std::optional<std::string> CheckWindowName(std::string_view nameGbk);

// Why a sub-window of this size at this corner does not fit a screen of resW x resH, or
// nullopt when it fits. Sizes are what the dialog holds (unsigned), so sums cannot wrap.
std::optional<std::string> CheckSubWindowPlacement(std::int64_t x, std::int64_t y, std::int64_t width,
                                                   std::int64_t height, int resWidth, int resHeight);

// The corner that centres a window of this size in the screen (the same shift as the panel).
std::int64_t CentredOrigin(int screenSize, std::int64_t windowSize);

} // namespace qv
