#pragma once
// Kind codes: the integer that makes a shape object a rectangle, a button, a curve...
// One table says, per code, what it is and whether it is a control (painted above every
// shape, hit-tested first).
#include <array>
#include <string_view>

namespace qv {

enum ShapeKind : int {
    kKindRectangle = 0,
    kKindRoundRect = 1,
    kKindEllipse = 2,
    kKindLine = 3,
    kKindCircle = 4,
    kKindPicture = 5,
    kKindText = 6,
    kKindButton = 7,
    kKindDynamicPicture = 8,
    kKindRealTimeNumber = 9,
    kKindNumericInput = 10,
    kKindCurve = 11,
    kKindIndicator = 12,
    kKindPipeJoint = 13,
    kKindPipe = 14,
    kKindScale = 15,
    kKindReserved16 = 16,
    kKindReserved17 = 17,
    kKindReserved18 = 18,
    kKindReserved19 = 19,
    kKindBitSwitch = 20,
    kKindReserved21 = 21,
    kKindRadioButton = 22,
    kKindProgressBar = 23,
    kKindTable = 24,
    kKindCharacter = 25,
    kKindAreaControl = 26,
};

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
