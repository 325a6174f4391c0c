#pragma once
// The drawing state the painters carry: pens, brushes, fonts and the text-layout flags,
// with the numeric values the parameter blocks and project files store.
#include "platform/surface/color.h"

#include <array>
#include <cstdint>
#include <string>

namespace qv {

enum PenStyle : int {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
};

enum BrushStyle : int {
    BS_SOLID = 0,
    BS_NULL = 1,
    BS_HATCHED = 2,
};

enum BkMode : int {
    TRANSPARENT = 1,
    OPAQUE = 2,
};

// DrawText format flags.
enum : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_EDITCONTROL = 0x2000,
};

// TextOut reference point.
enum : unsigned {
    TA_LEFT = 0,
    TA_TOP = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

struct Pen {
    int style = PS_SOLID;
    int width = 1;      // 0 and 1 are the one-pixel cosmetic pen
    ColorRef color = 0;
    bool isNull() const { return style == PS_NULL; }
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
    int style = BS_SOLID;
    ColorRef color = 0x00FFFFFF;
    bool isNull() const { return style == BS_NULL; }
    friend bool operator==(const Brush&, const Brush&) = default;
};

inline constexpr Pen kNullPen{PS_NULL, 0, 0};
inline constexpr Brush kNullBrush{BS_NULL, 0};

// The font description the project files hold (the 60-byte LOGFONT); the face name is GBK,
// zero-terminated within its 32 bytes. All zero by default, like the stored record.
struct LogFont {
    std::int32_t lfHeight = 0;     // 0: the default 16-pixel cell
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    std::array<char, 32> lfFaceName{};

    std::string faceName() const;                 // bytes up to the first zero
    void setFaceName(const std::string& gbk);     // cut to 31 bytes on a character boundary
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

} // namespace qv
