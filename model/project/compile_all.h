#pragma once
// Look-up of a window's view by its document title. The compile itself walks the windows
// once, on its worker, over the copies the compile snapshot took of them (compiler/compile).
#include <string>

namespace qv {

class DocumentView;

// The first view of the first window document titled `title`, or nullptr.
DocumentView* FindViewByDocTitle(const std::string& title);

} // namespace qv
