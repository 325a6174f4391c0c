#include "compiler/items/curve_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/items/state_picture_items.h"
#include "compiler/screen/control_regions.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/params/blocks/curve_block.h"
#include "model/paint/paint_dispatch.h"

#include <optional>
#include <vector>

namespace qv::items {
namespace {

using namespace qv::image;
namespace cb = blocks::curve;

constexpr const char* kName = "曲线";
constexpr const char* kBadCount = "控件的曲线数量无效";
constexpr std::uint8_t kItemType = 6;
constexpr std::uint32_t kHeadSize = 56, kEntrySize = 12;
constexpr std::uint32_t kNoPicture = 0xFFFFFFFFu;
enum PictureKind : std::uint8_t { kColourPicture = 0, kNone = 1, kMask = 2 };

struct CurveEntry {
    std::uint32_t address;
    std::uint16_t colour;
    std::uint8_t option;
    std::uint8_t type;
    std::uint16_t optionWord;
};

std::optional<std::string> check(const CDrawObj& o)
{
    if (o.Param(cb::kHideOption) != 0 && (o.Param(cb::kHideAddress) < 0 || o.Param(cb::kHideIndex) < 0))
        return controlError(kName, kLacksHideVar);
    if (!sizeAtLeast(o.m_rcPosition, 6, 36))
        return controlError(kName, kTooSmall);
    const std::int32_t n = o.Param(cb::kCurveCount);
    if (n < 0 || n > cb::kMaxRecords)
        return controlError(kName, kBadCount);
    return std::nullopt;
}

// Each curve's variable as the project's table has it now; nullopt when one is unbound.
std::optional<std::vector<CurveEntry>> curveEntries(const screen::ItemCompileArgs& a)
{
    const CDrawObj& o = a.control;
    std::vector<CurveEntry> entries;
    for (int i = 0; i < o.Param(cb::kCurveCount); ++i) {
        const cb::Record f = cb::record(i);
        const std::int32_t index = o.Param(f.index);
        if (index < 0 || !a.paint.lookupVar)
            return std::nullopt;
        const VarBinding v = a.paint.lookupVar(index);
        if (v.address < 0)
            return std::nullopt;
        entries.push_back({static_cast<std::uint32_t>(v.address),
                           tiles::toRgb565(static_cast<ColorRef>(o.Param(f.color))),
                           o.Param(f.style),
                           v.type.value_or(o.Param(f.type)),
                           o.Param(f.lineWidth)});
    }
    return entries;
}

// The chart's pixels that show its background, one bit a pixel (1: exactly the background
// colour), eight to a byte from bit 7; a last group of fewer than eight sits in the low bits.
std::optional<std::uint32_t> writeMask(screen::ItemCompileArgs& a, const Surface& s, const Rect& r, ColorRef background)
{
    tiles::PageStream stream = streamAtImageEnd(a.ctx);
    stream.putRaw(tiles::kPageStartByte);
    std::uint8_t acc = 0;
    int bits = 0;
    const auto pixel = [&](int x, int y) {
        acc = static_cast<std::uint8_t>(acc << 1 | (s.getPixel(x, y) == background ? 1 : 0));
        if (++bits == 8) {
            stream.put(acc);
            acc = 0;
            bits = 0;
        }
    };
    if (a.rotated) {
        for (int x = r.right - 1; x >= r.left; --x)
            for (int y = r.bottom - 1; y >= r.top; --y)
                pixel(x, y);
    } else {
        for (int y = r.bottom - 1; y >= r.top; --y)
            for (int x = r.left; x < r.right; ++x)
                pixel(x, y);
    }
    if (bits > 0)
        stream.put(acc);
    stream.padToPage();
    if (!appendStream(a.ctx, stream))
        return std::nullopt;
    a.ctx.addPictures(1);
    return static_cast<std::uint32_t>(stream.bytes().size());
}

ColorRef keySafe(ColorRef c) { return (c & tiles::kKeyMask) == tiles::kKeyColor ? tiles::kSubstituteColor : c; }

} // namespace

void CompileCurve(screen::ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    o.m_rcPosition = o.m_rcPosition.normalized();
    const Rect& r = o.m_rcPosition;
    if (auto refused = check(o))
        return refuseControl(a, *refused);
    if (!checkPlacement(a, r, kName))
        return;
    const auto entries = curveEntries(a);
    if (!entries)
        return refuseControl(a, controlError(kName, kLacksBasicVar));
    const auto n = static_cast<std::uint32_t>(entries->size());
    const auto at = a.ctx.reserveHeader(kHeadSize + kEntrySize * n);
    if (!at)
        return;

    // The panel draws the value-dependent background itself: the chart goes over the key
    // colour, and label and grid colours that would read as the key are changed for good.
    const bool keyed = (a.info.redrawFlags & screen::redraw::ValueBackground) != 0;
    screen::PooledSurface held = workCanvas(a, !keyed);
    Surface& canvas = held.get();
    if (keyed) {
        canvas.fillRect(controlArea(a), tiles::kKeyColor);
        for (const cb::Field<std::int32_t> colour : {cb::kLabelColor, cb::kGridColor})
            o.SetParam(colour, static_cast<std::int32_t>(keySafe(static_cast<ColorRef>(o.Param(colour)))));
    }
    screen::PooledSurface work = paperLike(a, canvas);
    PaintObject(o, PaintSurfaces{canvas, &work.get(), nullptr}, 1, a.paint);

    const bool transparent = o.Param(cb::kTransparent) != 0;
    const bool bare = o.Param(cb::kNoLabels) != 0 && o.Param(cb::kNoGrid) != 0;
    std::uint32_t picture = kNoPicture;
    std::uint8_t kind = kColourPicture;
    if (transparent && !(keyed && bare)) {
        const auto length = writeRectPicture(a, canvas, r);
        if (!length)
            return;
        picture = *length;
    } else if (!transparent && bare) {
        kind = kNone;
    } else if (!transparent) {
        kind = kMask;
        const auto length = writeMask(a, canvas, r, static_cast<ColorRef>(o.Param(cb::kBackColor)) & 0x00FFFFFF);
        if (!length)
            return;
        picture = *length;
    }

    auto b = a.ctx.header().bytes();
    putItemHead(a, *at, kItemType);
    putU8(b, *at + 2, static_cast<std::uint8_t>(n));
    putU8(b, *at + 3, static_cast<std::uint8_t>(o.Param(cb::kCurveType)));
    putU32(b, *at + 12, picture);
    // The plot area the painter has just stored.
    putU16(b, *at + 16, static_cast<std::uint16_t>(panelX(a, static_cast<std::int16_t>(o.Param(cb::kPlotLeft)))));
    putU16(b, *at + 18, static_cast<std::uint16_t>(panelY(a, static_cast<std::int16_t>(o.Param(cb::kPlotBottom)))));
    putU16(b, *at + 20, o.Param(cb::kPlotWidth));
    putU16(b, *at + 22, o.Param(cb::kPlotHeight));
    putU32(b, *at + 24, static_cast<std::uint32_t>(o.Param(cb::kTopValue)));
    putU32(b, *at + 28, static_cast<std::uint32_t>(o.Param(cb::kBottomValue)));
    putU32(b, *at + 32, static_cast<std::uint32_t>(o.Param(cb::kPointCount)));
    const std::int32_t hideBit = o.Param(cb::kHideBit);
    putU8(b, *at + 36, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, *at + 38, bitByteAddress(o.Param(cb::kHideAddress), hideBit));
    putU8(b, *at + 40, static_cast<std::uint8_t>(a.info.redrawFlags & 0xFF));
    putU8(b, *at + 41, static_cast<std::uint8_t>(o.Param(cb::kShiftDirection)));
    putU16(b, *at + 42, static_cast<std::uint16_t>(a.info.regionItem));
    const auto interval = static_cast<std::uint16_t>(o.Param(cb::kSamplePeriod) / 50);
    putU16(b, *at + 44, interval);
    putU16(b, *at + 46, interval);
    putU8(b, *at + 48, kind);
    putU8(b, *at + 49, o.Param(cb::kStopOutOfRangeWord) != 0 ? 1 : 0);
    for (std::uint32_t i = 0; i < n; ++i) {
        const CurveEntry& e = (*entries)[i];
        const std::uint32_t entry = *at + kHeadSize + kEntrySize * i;
        putU32(b, entry + 0, e.address);
        putU32(b, entry + 4, e.colour);
        putU8(b, entry + 8, e.option);
        putU8(b, entry + 9, e.type);
        putU16(b, entry + 10, e.optionWord);
    }
    putU16(b, *at + 52, tiles::toRgb565(static_cast<ColorRef>(o.Param(cb::kBackColor))));
    putU16(b, *at + 54, tiles::toRgb565(static_cast<ColorRef>(o.Param(cb::kGridColor))));
}

} // namespace qv::items
