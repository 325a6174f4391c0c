#pragma once
// Named offsets of the project document's 44-byte touch-screen block (marker, pen state,
// packet position, calibration step, raw points, scale and offset, packet, calibration flag).
#include <cstddef>

namespace qv::touch {

inline constexpr std::size_t kMarker = 0;        // 0x88 once calibrated
inline constexpr std::size_t kPenState = 1;
inline constexpr std::size_t kPacketPos = 2;
inline constexpr std::size_t kStep = 3;          // calibration step 0..3
inline constexpr std::size_t kRawX = 4;          // four u16
inline constexpr std::size_t kRawY = 12;         // four u16
inline constexpr std::size_t kScreenX = 20;      // s16
inline constexpr std::size_t kScreenY = 22;      // s16
inline constexpr std::size_t kScaleX = 24;       // float
inline constexpr std::size_t kScaleY = 28;       // float
inline constexpr std::size_t kOffsetX = 32;      // s16
inline constexpr std::size_t kOffsetY = 34;      // s16
inline constexpr std::size_t kPacket = 36;       // five bytes
inline constexpr std::size_t kCalibrating = 41;  // 1 while calibrating

} // namespace qv::touch
