#pragma once
// Controls that show one picture of a list by a variable: the bit switch (kind 20) and the
// indicator light (kind 12) with an ON or OFF picture and caption, the radio button (kind
// 22) with a selected or unselected picture or a drawn circle, and the dynamic picture
// (kind 8) with the frame a variable or a fixed number names.
#include "model/paint/paint_context.h"
#include "model/shape/draw_obj.h"

namespace qv {

// `state`: -1 takes the state from the bound variable; 0 forces ON (selected), 1 forces OFF
// (unselected); the compiler renders both state pictures this way.
void PaintBitSwitch(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state);
void PaintIndicator(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state);
void PaintRadioButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, int state);

// The paint entry's forms: the state from the variable.
void PaintBitSwitch(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintIndicator(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintRadioButton(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

void PaintDynamicPicture(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

// Parameter-block offsets.
struct LampFields {
    int hideOption;     // byte
    int writeEnable;    // 32-bit; kNoLampField when the kind has none
    int onCaptionColor, offCaptionColor, hideBit;
};
inline constexpr int kNoLampField = -1;
namespace lamp_block {
// Shared by the bit switch and the indicator light.
inline constexpr int kOnTransparent = 0, kOffTransparent = 4, kOnKey = 8, kOffKey = 12, kBitNumber = 25;
inline constexpr LampFields kBitSwitch{30, 52, 68, 72, 160};
inline constexpr LampFields kIndicator{27, kNoLampField, 48, 52, 100};
} // namespace lamp_block
namespace radio_block {
inline constexpr int kOwnValue = 4, kHideOption = 15, kSelectedTransparent = 24, kUnselectedTransparent = 28,
                     kSelectedKey = 32, kUnselectedKey = 36, kPictureMode = 60, kWriteEnable = 64, kHideBit = 160;
}
namespace dynamic_picture_block {
inline constexpr int kTransparent = 0, kKey = 4, kFrameSource = 44, kFixedFrame = 72, kMoveOption = 76,
                     kHideOption = 77, kHideBit = 168, kUserArea = 200;
}

} // namespace qv
