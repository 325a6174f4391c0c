#include "sim/runtime/touch_controller.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "model/document/touch_block.h"

namespace qv::sim {
namespace {

constexpr std::uint8_t kPenUp = 0x80;
constexpr std::uint8_t kPenDown = 0x81;
constexpr std::uint8_t kCalibrated = 0x88;
constexpr std::size_t kPacketSize = 5;
constexpr int kPoints = 4;

std::uint16_t getU16(const TouchCalibration& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void putU16(TouchCalibration& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
float getFloat(const TouchCalibration& b, std::size_t at)
{
    std::uint32_t bits = getU16(b, at) | (static_cast<std::uint32_t>(getU16(b, at + 2)) << 16);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
void putFloat(TouchCalibration& b, std::size_t at, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    putU16(b, at, static_cast<std::uint16_t>(bits & 0xFFFF));
    putU16(b, at + 2, static_cast<std::uint16_t>(bits >> 16));
}

// A float to a 16-bit field, defined for every input (NaN and far values included).
std::int16_t toS16(double v)
{
    if (!std::isfinite(v))
        return 0;
    const double t = std::trunc(v);
    const auto wide = static_cast<std::int64_t>(std::clamp(t, -2147483648.0, 2147483647.0));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(wide & 0xFFFF));
}

} // namespace

TouchController::TouchController(TouchCalibration& block, int width, int height)
    : b_(block), width_(width), height_(height)
{
}

void TouchController::finishCalibration()
{
    using namespace touch;
    const double dx = static_cast<double>(getU16(b_, kRawX + 6)) - getU16(b_, kRawX);
    const double dy = static_cast<double>(getU16(b_, kRawY + 6)) - getU16(b_, kRawY);
    b_[kStep] = 0;
    b_[kPenState] = 0;
    if (dx == 0 || dy == 0) {
        // Equal corner points give no scale: the calibration starts again at the first target.
        if (repaint)
            repaint();
        return;
    }
    const float scaleX = static_cast<float>((width_ - width_ / 5) / dx);
    const float scaleY = static_cast<float>((height_ - height_ / 5) / dy);
    putFloat(b_, kScaleX, scaleX);
    putFloat(b_, kScaleY, scaleY);
    putU16(b_, kOffsetX, static_cast<std::uint16_t>(toS16(width_ / 10 - getU16(b_, kRawX) * static_cast<double>(scaleX))));
    putU16(b_, kOffsetY, static_cast<std::uint16_t>(toS16(height_ / 10 - getU16(b_, kRawY) * static_cast<double>(scaleY))));
    b_[kMarker] = kCalibrated;
    b_[kCalibrating] = 0;
    if (repaint)
        repaint();
    if (saveProject)
        saveProject();
}

std::optional<PenEvent> TouchController::OnByte(std::uint8_t byte)
{
    using namespace touch;
    std::uint8_t& pos = b_[kPacketPos];
    if (byte == kPenUp || byte == kPenDown) {
        b_[kPacket] = byte;
        pos = 1;
        return std::nullopt;
    }
    // A position or step from a loaded block may be anything: bounded before indexing.
    if ((byte & 0x80) != 0 || pos == 0 || pos >= kPacketSize) {
        pos = 0;
        return std::nullopt;
    }
    b_[kPacket + pos] = byte;
    if (++pos < kPacketSize)
        return std::nullopt;
    pos = 0;
    if (b_[kStep] >= kPoints)
        b_[kStep] = 0;
    const std::size_t step = b_[kStep];
    const bool down = b_[kPacket] == kPenDown;
    putU16(b_, kRawY + 2 * step, static_cast<std::uint16_t>(b_[kPacket + 1] << 7 | b_[kPacket + 2]));
    putU16(b_, kRawX + 2 * step, static_cast<std::uint16_t>(b_[kPacket + 3] << 7 | b_[kPacket + 4]));

    if (b_[kCalibrating] == 1) {
        if (down)
            return std::nullopt;
        b_[kStep] = static_cast<std::uint8_t>(step + 1);
        if (step + 1 == kPoints)
            finishCalibration();
        else if (repaint)
            repaint();
        return std::nullopt;
    }
    b_[kStep] = 0;
    if (b_[kMarker] != kCalibrated)
        return std::nullopt;
    const double x = getFloat(b_, kScaleX) * static_cast<double>(getU16(b_, kRawX + 2 * step)) +
                     static_cast<std::int16_t>(getU16(b_, kOffsetX));
    const double y = getFloat(b_, kScaleY) * static_cast<double>(getU16(b_, kRawY + 2 * step)) +
                     static_cast<std::int16_t>(getU16(b_, kOffsetY));
    const std::int16_t sx = toS16(x), sy = toS16(y);
    putU16(b_, kScreenX, static_cast<std::uint16_t>(sx));
    putU16(b_, kScreenY, static_cast<std::uint16_t>(sy));
    b_[kPenState] = down ? 1 : 0;
    return PenEvent{down, {sx, sy}};
}

} // namespace qv::sim
