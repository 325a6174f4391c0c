#pragma once
// The display sizes a project may have, in pixels, for width and height alike.
namespace qv {

inline constexpr int kMinResolution = 1;
inline constexpr int kMaxResolution = 8192;

} // namespace qv
