#include "model/tree/system_windows.h"

#include <algorithm>

namespace qv {

bool IsUndeletableSubWindow(std::string_view fileNameGbk)
{
    return std::find(kUndeletableSubWindows.begin(), kUndeletableSubWindows.end(), fileNameGbk)
        != kUndeletableSubWindows.end();
}

} // namespace qv
