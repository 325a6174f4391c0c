#pragma once
// The operation button (kind 7): three appearances, one per state (1 pointer away, 2 over,
// 3 pressed), each a picture or a drawn gradient face (rectangular with 3-D rings, or a
// round rectangle), with the caption centred over it.
#include "model/paint/paint_context.h"
#include "model/shape/draw_obj.h"

#include <array>
#include <string_view>

namespace qv {

void PaintButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

namespace button_block {

// The fields of one state's appearance.
struct StateFields {
    int usePicture;          // 32-bit: the appearance is the state's picture
    int pictureTransparent;  // 32-bit: the picture leaves out its transparent colour
    int transparentColor;
    int gradientFrom;        // raised from 0 to 1 and stored back
    int gradientTo;
    int gradientDirection;   // byte: 0 top to bottom, 1 left to right, else no fill
    int borderWidth;
    int borderColor;         // raised from 0 to 1 (round face) and stored back
    int faceStyle;           // byte: 1 rectangular face with 3-D rings, else round rectangle
    int noBorder;
    int noFace;
};

// Index s - 1 for state s.
inline constexpr std::array<StateFields, 3> kStates{{
    {4, 16, 36, 48, 60, 66, 76, 88, 94, 188, 200},
    {8, 20, 32, 44, 56, 64, 72, 84, 92, 192, 204},
    {12, 24, 28, 40, 52, 65, 68, 80, 93, 196, 208},
}};

inline constexpr int kTextColor = 0;
inline constexpr int kLastPaintedState = 120;  // byte, written by the painter
inline constexpr int kState = 121;             // byte: 1, 2 or 3
inline constexpr int kHideOption = 126;        // byte
inline constexpr int kWriteEnableOption = 212;
inline constexpr int kHideBitNumber = 272;
inline constexpr int kRectangularFace = 1;

// Entry of the string array that holds the function text.
inline constexpr std::size_t kFunctionEntry = 3;

} // namespace button_block

// The function text of a button that operates its variable ("操作变量", GBK): only such a
// button needs the operated variable bound.
std::string_view OperateVariableFunction();

} // namespace qv
