#pragma once
// What every control item compiler shares: the refusal of a control, the work surface with the
// window's shapes under the control, the panel's coordinates of a rectangle and the picture of
// one rectangle in the image's page stream.
#include "compiler/screen/item_compilers.h"
#include "compiler/screen/surface_pool.h"
#include "compiler/tiles/page_stream.h"
#include "platform/surface/surface.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv::items {

// The compile stops at this control with `messageGbk` (the line end is added).
void refuseControl(screen::ItemCompileArgs& a, std::string_view messageGbk);

// Width and height at least `minSide` and an area of at least `minArea`.
bool sizeAtLeast(const Rect& r, int minSide, std::int64_t minArea);

// The control lies where a work canvas can hold it (a damaged window file may claim any
// rectangle); refuses the control with "编译出错!!"<kind>"控件的位置或大小无效" when not.
bool checkPlacement(screen::ItemCompileArgs& a, const Rect& r, std::string_view kindNameGbk);

// The byte address of bit `bit` counted from `address` (address + bit / 8, as the panel reads
// it), kept to 16 bits.
std::uint16_t bitByteAddress(std::int32_t address, std::int32_t bit);

// The control's rectangle and the pixel row and column past it: all of a work canvas that
// is cleared, drawn on and read back.
Rect controlArea(const screen::ItemCompileArgs& a);

// A canvas just reaching past the control, its control area filled with the window's paper
// colour (pixels outside it are left as they were and never read); with `shapes` the
// window's shapes and static kinds are under the control as the background picture shows them.
screen::PooledSurface workCanvas(const screen::ItemCompileArgs& a, bool shapes);

// A second work surface as large as `canvas`, its control area in the window's paper colour.
screen::PooledSurface paperLike(const screen::ItemCompileArgs& a, const Surface& canvas);

// The window's shapes and static kinds painted once onto `target` as it stands; `work` is
// the shapes' work surface, of the target's size, which they clear where they use it.
void paintShapesOnce(CDrawDoc& doc, Surface& target, Surface& work, const PaintContext& paint);

// The window's shapes and static kinds painted on its paper over all of `target`.
void paintWindowShapes(CDrawDoc& doc, Surface& target, const PaintContext& paint);

// The rectangle's left and top on the panel (minus the window's page margins).
std::int16_t panelX(const screen::ItemCompileArgs& a, int x);
std::int16_t panelY(const screen::ItemCompileArgs& a, int y);

// A fresh page stream at the image's end.
tiles::PageStream streamAtImageEnd(compile::CompileContext& ctx);

// Appends the stream to the image; a full disk fails the compile.
bool appendStream(compile::CompileContext& ctx, const tiles::PageStream& s);

// The pixels of `r` in the image: 0x82, the rectangle's pixels, 0x82 up to the page end.
// Returns its byte length, or nullopt when the compile stopped (abort or disk).
std::optional<std::uint32_t> writeRectPixels(screen::ItemCompileArgs& a, const Surface& s, const Rect& r);
// The same, counted as one picture of the start map.
std::optional<std::uint32_t> writeRectPicture(screen::ItemCompileArgs& a, const Surface& s, const Rect& r);

// Maps a keyed picture before conversion: `fill` becomes the key colour, and a drawn pixel that
// would read as the key colour becomes the substitute colour.
void keyPixels(Surface& s, const Rect& r, ColorRef fill);

// The header bytes of the compile.
inline std::span<std::uint8_t> headerBytes(screen::ItemCompileArgs& a) { return a.ctx.header().bytes(); }

} // namespace qv::items
