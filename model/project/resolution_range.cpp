#include "model/project/resolution_range.h"

#include "model/project/file_copies.h"

#include <fmt/format.h>

namespace qv {

std::string ProjectResolutionRefusal(const std::filesystem::path& file, long long width, long long height)
{
    std::string m = "打开文件“";
    m += pathForMessage(file);
    m += "”失败：工程分辨率";
    m += fmt::format("{}X{}", width, height);
    m += "超出范围";
    m += fmt::format("{}..{}", kMinProjectResolution, kMaxProjectResolution);
    return m;
}

} // namespace qv
