#include "compiler/items/numeric_input_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/font_tables.h"
#include "compiler/items/item_support.h"
#include "compiler/items/state_picture_items.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/params/blocks/numeric_input_block.h"

#include <limits>

namespace qv::items {
namespace {

using namespace qv::image;

constexpr const char* kName = "编辑框";
constexpr const char* kBadCell = "控件的字符大小无效";
constexpr std::uint8_t kItemType = 5;
constexpr std::uint32_t kItemSize = 32;
constexpr const char kGlyphs[] = "0123456789-.*";
constexpr int kGlyphCount = sizeof kGlyphs - 1;
// No panel font is larger; a block claiming more is damaged (and its stride must fit 16 bits).
constexpr int kMaxCellSide = 1024;

namespace block = blocks::numeric_input;

} // namespace

void CompileNumericInput(screen::ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    o.m_rcPosition = o.m_rcPosition.normalized();
    const Rect& r = o.m_rcPosition;
    if (!sizeAtLeast(r, 6, 36))
        return refuseControl(a, controlError(kName, kTooSmall));
    if (!checkPlacement(a, r, kName))
        return;
    const int w = o.Param(block::kPitch), h = o.Param(block::kCharHeight);
    const GlyphCell cell = glyphCell(a.ctx, w, h);
    if (w < 0 || h < 0 || w > kMaxCellSide || h > kMaxCellSide || cell.slot > std::numeric_limits<std::uint16_t>::max())
        return refuseControl(a, controlError(kName, kBadCell));
    const auto at = a.ctx.reserveHeader(kItemSize);
    if (!at)
        return;

    const std::uint64_t before = a.ctx.file().size();
    Surface dc = glyphSurface(o.m_logfont, cell);
    if (!writeGlyphTable(a, dc, cell, kGlyphCount, [](int g) { return std::string(1, kGlyphs[g]); }))
        return;

    auto b = a.ctx.header().bytes();
    putItemHead(a, *at, kItemType);
    putU8(b, *at + 2, static_cast<std::uint8_t>(o.Param(block::kPassword) + 4 * o.Param(block::kLeftAligned)));
    putU8(b, *at + 3, static_cast<std::uint8_t>(a.info.redrawFlags & 0xFF));
    putU32(b, *at + 12, tiles::toRgb565(static_cast<ColorRef>(o.Param(block::kTextColor))));
    putU32(b, *at + 16, tiles::toRgb565(static_cast<ColorRef>(o.Param(block::kBackColor))));
    putU16(b, *at + 20, static_cast<std::uint16_t>(w));
    putU16(b, *at + 22, static_cast<std::uint16_t>(h));
    putU32(b, *at + 24, static_cast<std::uint32_t>(a.ctx.file().size() - before));
    putU16(b, *at + 28, static_cast<std::uint16_t>(cell.slot));
    putU8(b, *at + 30, o.Param(block::kMode));
}

} // namespace qv::items
