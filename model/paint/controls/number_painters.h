#pragma once
// The real-time number (kind 9): a variable's value as text, integer or floating point,
// in the object's font or as one picture per character, horizontal or turned to read
// bottom to top, over a bordered background; and the numeric input box (kind 10) of the
// simulator's keypad, showing the typed text or the limits of the control being edited.
#include "model/paint/paint_context.h"
#include "model/params/blocks/number_block.h"
#include "model/params/blocks/numeric_input_block.h"
#include "model/shape/draw_obj.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

void PaintRealTimeData(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);
void PaintNumericInput(CDrawObj& obj, const PaintSurfaces& dcs, const PaintContext& ctx);

// The number stored at `address` with the byte order `order` (0..3 float, 4..7 double;
// another value reads as order 0), through the context's checked reads; nullopt when a byte
// lies outside the memory.
std::optional<double> ReadFloatValue(const PaintContext& ctx, std::int64_t address, int order);

// The value text of a real-time number ("0.05", "+12", "###"), or nullopt when the value
// cannot be read.
std::optional<std::string> RealTimeValueText(const CDrawObj& obj, const PaintContext& ctx);

// One character's cell along a line: `offset` pixels from the line's start in reading order
// (the left edge, or the bottom edge of a turned line), `length` pixels long.
struct NumberCell {
    std::size_t charIndex;
    std::int64_t offset;
    int length;
};

// Places the characters on a line of `lineLength` pixels by the alignment (start, centre,
// end; another value is start): every character is `pitch` long except '.', which is
// `dotWidth`; only characters that fit whole are placed. Centred text that is too long
// loses its leading characters.
std::vector<NumberCell> LayoutNumberLine(std::span<const std::string_view> chars, int pitch, int dotWidth, int alignment,
                                         std::int64_t lineLength);

// The text a numeric input box shows outside the simulator.
std::string NumericInputSample(bool password);

} // namespace qv
