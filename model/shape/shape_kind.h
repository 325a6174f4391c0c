#pragma once
// Kind codes: the integer that makes a shape object a rectangle, a button, a curve...
// One table says, per code, what it is and whether it is a control (painted above every
// shape, hit-tested first).
#include <array>
#include <string_view>

namespace qv {

// Plain ints, as m_nKind holds them.
inline constexpr int kKindRectangle = 0;
inline constexpr int kKindRoundRect = 1;
inline constexpr int kKindEllipse = 2;
inline constexpr int kKindLine = 3;
inline constexpr int kKindCircle = 4;
inline constexpr int kKindPicture = 5;
inline constexpr int kKindText = 6;
inline constexpr int kKindButton = 7;
inline constexpr int kKindDynamicPicture = 8;
inline constexpr int kKindRealTimeNumber = 9;
inline constexpr int kKindNumericInput = 10;
inline constexpr int kKindCurve = 11;
inline constexpr int kKindIndicator = 12;
inline constexpr int kKindPipeJoint = 13;
inline constexpr int kKindPipe = 14;
inline constexpr int kKindScale = 15;
inline constexpr int kKindReserved16 = 16;
inline constexpr int kKindReserved17 = 17;
inline constexpr int kKindReserved18 = 18;
inline constexpr int kKindReserved19 = 19;
inline constexpr int kKindBitSwitch = 20;
inline constexpr int kKindReserved21 = 21;
inline constexpr int kKindRadioButton = 22;
inline constexpr int kKindProgressBar = 23;
inline constexpr int kKindTable = 24;
inline constexpr int kKindCharacter = 25;
inline constexpr int kKindAreaControl = 26;

constexpr int kKindCount = 27;

struct ShapeKindInfo {
    std::string_view name; // for logs and tests
    bool control;          // painted in pass 1, hit-tested before shapes
    bool reserved;         // no painter and no defaults
};

inline constexpr std::array<ShapeKindInfo, kKindCount> kShapeKinds = {{
    {"rectangle", false, false},        {"round rectangle", false, false},
    {"ellipse", false, false},          {"line", false, false},
    {"circle", false, false},           {"picture", false, false},
    {"text", false, false},             {"button", true, false},
    {"dynamic picture", true, false},   {"real-time number", true, false},
    {"numeric input", true, false},     {"curve", true, false},
    {"indicator light", true, false},   {"pipe joint", false, false},
    {"pipe", false, false},             {"scale", false, false},
    {"reserved", true, true},           {"reserved", true, true},
    {"reserved", true, true},           {"reserved", true, true},
    {"bit switch", true, false},        {"reserved", true, true},
    {"radio button", true, false},      {"progress bar", true, false},
    {"table", false, false},            {"character control", true, false},
    {"area control", true, false},
}};

constexpr bool IsKnownKind(int kind) { return kind >= 0 && kind < kKindCount; }
constexpr bool IsControlKind(int kind) { return IsKnownKind(kind) && kShapeKinds[kind].control; }

} // namespace qv
