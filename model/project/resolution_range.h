#pragma once
// The one range of project resolutions, shared by the new-project dialog, project open and the
// compiler: beyond it the views' doubled extents and the work surfaces no longer fit.
#include <filesystem>
#include <string>

namespace qv {

inline constexpr int kMinProjectResolution = 1;
inline constexpr int kMaxProjectResolution = 8192;

constexpr bool IsProjectResolutionInRange(long long value)
{
    return value >= kMinProjectResolution && value <= kMaxProjectResolution;
}

constexpr bool IsProjectResolutionInRange(long long width, long long height)
{
    return IsProjectResolutionInRange(width) && IsProjectResolutionInRange(height);
}

// The message (GBK) that refuses a project file whose resolution is out of range.
std::string ProjectResolutionRefusal(const std::filesystem::path& file, long long width, long long height);

} // namespace qv
