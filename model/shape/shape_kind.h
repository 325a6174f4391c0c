#pragma once
// Kind codes: the integer that makes a shape object a rectangle, a button, a curve...
// One table says, per code, what it is and whether it is a control (painted above every
// shape, hit-tested first).
#include <array>
#include <ostream>
#include <string_view>

namespace qv {

// The kinds; m_nKind (and the file) holds the code, the enumerator's value.
enum class ShapeKind : int {
    Rectangle = 0,
    RoundRect = 1,
    Ellipse = 2,
    Line = 3,
    Circle = 4,
    Picture = 5,
    Text = 6,
    Button = 7,
    DynamicPicture = 8,
    RealTimeNumber = 9,
    NumericInput = 10,
    Curve = 11,
    Indicator = 12,
    PipeJoint = 13,
    Pipe = 14,
    Scale = 15,
    Reserved16 = 16,
    Reserved17 = 17,
    Reserved18 = 18,
    Reserved19 = 19,
    BitSwitch = 20,
    Reserved21 = 21,
    RadioButton = 22,
    ProgressBar = 23,
    Table = 24,
    Character = 25,
    AreaControl = 26,
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

// The stored code of a kind, and the kind of a stored code (which may be outside the table).
constexpr int KindCode(ShapeKind kind) { return static_cast<int>(kind); }
constexpr ShapeKind KindFromCode(int code) { return static_cast<ShapeKind>(code); }

constexpr bool IsKnownKind(ShapeKind kind) { return KindCode(kind) >= 0 && KindCode(kind) < kKindCount; }
constexpr bool IsControlKind(ShapeKind kind) { return IsKnownKind(kind) && kShapeKinds[KindCode(kind)].control; }

// For logs and test messages: the code, and the name of a known kind.
inline std::ostream& operator<<(std::ostream& os, ShapeKind kind)
{
    os << KindCode(kind);
    if (IsKnownKind(kind))
        os << " (" << kShapeKinds[KindCode(kind)].name << ')';
    return os;
}

} // namespace qv
