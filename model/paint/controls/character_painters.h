#pragma once
// The character control (kind 25): a GBK string from the variable memory laid out cell by
// cell with wrapping, character classes shown or masked, the input caret and the click that
// places it; and the area control (kind 26): an outline in the editor, in run mode a copy of
// the screen's background or the pinyin candidate bar of the system keyboard.
#include "model/paint/paint_context.h"
#include "model/params/blocks/area_block.h"
#include "model/params/blocks/character_block.h"
#include "model/shape/draw_obj.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

void PaintCharacter(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
// Kind 26 as the paint entry draws it (the object's pen and brush are selected).
void PaintArea(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
// The pinyin candidate bar over `r` (area option 4 in run mode).
void PaintAreaControl(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx, const Rect& r);

// How a number becomes the text of a character control or an input box.
struct InputTextFormat {
    int typeCode = 4;         // 0..5: width 1, 2 or 4, signed or not
    bool hex = false;
    bool zeroFill = false;    // hexadecimal: keep the leading zero digits
    int letterCase = 0;       // 0 upper, 1 lower, else upper while Caps Lock or Shift is on
    bool capsOrShift = false;
};

// The value a text stands for, widened by the type like a variable read: a signed decimal
// integer, or up to the last 8 hexadecimal digits; the empty text is all ones at the type's
// width.
std::int32_t ParseInputText(std::string_view text, const InputTextFormat& f);

// The text to store for `value` (read by its type) in a buffer of `size` bytes: `current`
// itself when it already parses to the value, empty for all ones, else the value in decimal
// or hexadecimal, at most size - 1 bytes. nullopt when nothing should be written (the text is
// kept, or the buffer has no room at all).
std::optional<std::string> FormatInputValue(std::int32_t value, std::string_view current, const InputTextFormat& f,
                                            std::int32_t size);

} // namespace qv
