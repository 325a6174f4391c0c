#include "compiler/items/number_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/font_tables.h"
#include "compiler/items/item_support.h"
#include "compiler/items/number_glyphs.h"
#include "compiler/screen/control_regions.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/params/blocks/number_block.h"
#include "model/paint/gradient.h"
#include "platform/files/stored_path.h"

#include <algorithm>
#include <array>

namespace qv::items {

using namespace qv::image;

namespace {

namespace nb = blocks::number;

constexpr std::array<const char*, kNumberGlyphCount> kGlyphs{"0", "1", "2", "3", "4", "5", "6",
                                                           "7", "8", "9", "-", "+", " ", "."};
constexpr int kPointGlyph = 13;

ColorRef keySafe(ColorRef c)
{
    return (c & tiles::kKeyMask) == tiles::kKeyColor ? tiles::kSubstituteColor : c;
}

ColorRef highlightOf(ColorRef c)
{
    return rgb(255 - redOf(c), 255 - greenOf(c), 255 - blueOf(c));
}

std::uint16_t fontColour565(ColorRef c)
{
    const std::uint16_t v = tiles::toRgb565(c);
    return v == 0xFFFF ? 0xFFFE : v;   // 0xFFFF is the panel's transparent key
}

// The first failing check's message (GBK), or nullptr.
const char* checkReferences(const CDrawObj& o)
{
    const auto unbound = [&](nb::Field<std::int32_t> address, nb::Field<std::int32_t> index) {
        return o.Param(address) < 0 || o.Param(index) < 0;
    };
    if (unbound(nb::kValueAddress, nb::kValueIndex))
        return "编译出错!!\"实时数值\"控件的基本控制属性缺乏HMI变量";
    if (o.Param(nb::kHideOn) != 0 && unbound(nb::kHideAddress, nb::kHideIndex))
        return "编译出错!!\"实时数值\"控件的隐藏控制属性缺乏HMI变量";
    if (o.Param(nb::kWriteOn) != 0 && unbound(nb::kWriteAddress, nb::kWriteIndex))
        return "编译出错!!\"实时数值\"控件的写入控制属性缺乏HMI变量";
    if (o.Param(nb::kMoveOn) != 0 && unbound(nb::kMoveAddress, nb::kMoveIndex))
        return "编译出错!!\"实时数值\"控件的移动控制属性缺乏HMI变量";
    if ((o.Param(nb::kFontVarOn) != 0 && unbound(nb::kFontVarAddress, nb::kFontVarIndex)) ||
        (o.Param(nb::kBackVarOn) != 0 && unbound(nb::kBackVarAddress, nb::kBackVarIndex)))
        return "编译出错!!\"实时数值\"控件的颜色控制属性缺乏HMI变量";
    return nullptr;
}

void drawFrame(screen::ItemCompileArgs& a, Surface& canvas, const Rect& r, bool keyed)
{
    CDrawObj& o = a.control;
    const int width = o.Param(nb::kBorderWidth);
    ColorRef border = static_cast<ColorRef>(o.Param(nb::kBorderColor));
    if (keyed) {
        border = keySafe(border);
        o.SetParam(nb::kBorderColor, static_cast<std::int32_t>(border));
    }
    const bool transparent = o.Param(nb::kTransparent) != 0;
    canvas.selectPen(width == 0 ? kNullPen : Pen{PS_INSIDEFRAME, width, border});
    if (transparent)
        canvas.selectBrush(keyed ? Brush{BS_SOLID, tiles::kKeyColor} : kNullBrush);
    else
        canvas.selectBrush(Brush{BS_SOLID, static_cast<ColorRef>(o.Param(nb::kBackColor))});
    canvas.rectangle(r);
    if (o.Param(nb::kBorderType) != 1)
        return;
    const ColorRef light = keyed ? keySafe(highlightOf(border)) : highlightOf(border);
    Rect ring = r;
    for (int i = 0; i < std::min(width, 0x3F) && !ring.isEmpty(); ++i) {
        canvas.draw3dRect(ring, border, light);
        ring = ring.deflated(1);
    }
}

struct GlyphCells {
    int width, height, pointWidth;
};

// Renders glyph i into `cell` at its origin; false when a picture glyph cannot be loaded.
bool renderGlyph(screen::ItemCompileArgs& a, int i, const GlyphCells& c, Surface& cell, bool pictures)
{
    CDrawObj& o = a.control;
    const int w = i == kPointGlyph ? c.pointWidth : c.width;
    const Rect dst{0, 0, w, c.height};
    if (pictures) {
        if (o.m_strFiles.size() != kNumberGlyphCount || !a.paint.loadPicture)
            return true;   // reads what the cell holds, as the editor does
        const auto file = resolveStoredPath(a.paint.projectDir, o.m_strFiles[static_cast<std::size_t>(i)]);
        const PicturePtr picture = file ? a.paint.loadPicture(*file) : nullptr;
        if (!picture)
            return false;
        drawPicture(cell, *picture, dst);
        if (o.Param(nb::kPictureTransparent) != 0) {
            const auto key = static_cast<ColorRef>(o.Param(nb::kPictureKey));
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < w; ++x) {
                    const ColorRef p = cell.getPixel(x, y);
                    cell.setPixel(x, y, p == key ? tiles::kKeyColor : p == tiles::kKeyColor ? tiles::kSubstituteColor : p);
                }
        }
        return true;
    }
    cell.fillRect(dst, 0);
    cell.textOut(0, 0, kGlyphs[static_cast<std::size_t>(i)]);
    return true;
}

// The glyph table in the image; false when the compile stopped or a picture was missing.
bool writeGlyphs(screen::ItemCompileArgs& a, const GlyphCells& c, std::uint32_t& tableBytes, std::uint32_t& slotBytes)
{
    CDrawObj& o = a.control;
    const bool pictures = o.Param(nb::kPictureFont) != 0;
    const bool turned = o.Param(nb::kTurned) != 0;
    const auto dataBytes = [&](int w) {
        const std::int64_t px = std::int64_t{w} * c.height;
        return static_cast<std::uint32_t>(pictures ? px * 2 : (px + 7) / 8);
    };
    // A decimal point wider than the digits still fits its slot.
    const std::uint32_t pageMask = a.ctx.geometry().pageMask;
    slotBytes = glyphSlotSize(std::max(dataBytes(c.width), dataBytes(c.pointWidth)), pageMask);
    GlyphTable table(kNumberGlyphCount, slotBytes, pageMask);
    tableBytes = static_cast<std::uint32_t>(table.bytes().size());

    const int side = std::max({c.width, c.pointWidth, c.height, 1});
    Surface cell(side, side, 0);
    Surface turnedCell(side, side, 0);
    if (!pictures) {
        cell.selectFont(o.m_logfont);
        cell.setBkColor(0);
        cell.setTextColor(0x00FFFFFF);
    }
    for (int i = 0; i < kNumberGlyphCount; ++i) {
        if (a.ctx.aborted())
            return false;
        if (!renderGlyph(a, i, c, cell, pictures)) {
            // Stopping silently would leave an item entry that shares its offset with the next.
            refuseControl(a, "编译出错!!\"实时数值\"控件的数字图片无法打开");
            return false;
        }
        int w = i == kPointGlyph ? c.pointWidth : c.width;
        int h = c.height;
        const Surface* source = &cell;
        if (turned) {
            CopyRotated90(turnedCell, 0, 0, 0, w, cell, 0, 0, w, h);
            std::swap(w, h);
            source = &turnedCell;
        }
        if (pictures)
            table.putRgb565(i, *source, w, h, a.rotated);
        else
            table.putBits(i, *source, w, h, a.rotated);
    }
    tiles::PageStream stream = streamAtImageEnd(a.ctx);
    for (std::uint8_t b : table.bytes())
        stream.putRaw(b);
    if (!appendStream(a.ctx, stream))
        return false;
    a.ctx.addPictures(1);
    return true;
}

} // namespace

void CompileNumber(screen::ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    if (const char* message = checkReferences(o))
        return refuseControl(a, message);
    const Rect r = o.m_rcPosition.normalized();
    if (!sizeAtLeast(r, 6, 36))
        return refuseControl(a, "编译出错!!\"实时数值\"控件的长宽太小");
    if (!checkPlacement(a, r, "实时数值"))
        return;
    const GlyphCells cells{o.Param(nb::kCellWidth), o.Param(nb::kCellHeight), o.Param(nb::kPointWidth)};
    const auto sideOk = [](int v) { return v >= 0 && v <= kMaxGlyphSide; };
    if (!sideOk(cells.width) || !sideOk(cells.height) || !sideOk(cells.pointWidth))
        return refuseControl(a, "编译出错!!\"实时数值\"控件的字符大小无效");

    const bool keyed = (a.info.redrawFlags & screen::redraw::ValueBackground) != 0;
    screen::PooledSurface heldCanvas = workCanvas(a, true);
    Surface& canvas = heldCanvas.get();
    drawFrame(a, canvas, r, keyed);

    // Background: a colour variable, a picture, the region behind, or a plain colour.
    const int borderWidth = o.Param(nb::kBorderWidth);
    const bool transparent = o.Param(nb::kTransparent) != 0;
    std::uint16_t flags = a.info.redrawFlags;
    std::optional<std::uint32_t> background;
    bool plainBackground = false;
    if (o.Param(nb::kBackVarOn) != 0 && o.Param(nb::kBackVarAddress) >= 0) {
        background = static_cast<std::uint32_t>(o.Param(nb::kBackVarAddress));
        flags |= 0x8000;
    } else {
        if (borderWidth > 0 || (borderWidth == 0 && !keyed && transparent)) {
            background = writeRectPicture(a, canvas, r);
            if (!background)
                return;
        } else if (borderWidth == 0 && keyed) {
            background = 0xFFFFFFFFu;
        } else {
            background = tiles::toRgb565(static_cast<ColorRef>(o.Param(nb::kBackColor)));
            plainBackground = true;
        }
    }

    std::uint32_t tableBytes = 0, slotBytes = 0;
    if (!writeGlyphs(a, cells, tableBytes, slotBytes))
        return;

    const auto item = a.ctx.reserveHeader(kNumberItemSize);
    if (!item)
        return;
    const auto b = headerBytes(a);
    const std::uint32_t at = *item;
    const bool turned = o.Param(nb::kTurned) != 0;
    const bool writable = o.Param(nb::kWritable) != 0;
    if (turned)
        flags |= 0x20;
    if (o.Param(nb::kPictureFont) != 0) {
        flags |= 0x40;
        if (o.Param(nb::kPictureTransparent) != 0)
            flags |= 0x80;
    }
    std::uint32_t fontColour = fontColour565(static_cast<ColorRef>(o.Param(nb::kFontColor)));
    if (o.Param(nb::kFontVarOn) != 0 && o.Param(nb::kFontVarAddress) >= 0) {
        fontColour = static_cast<std::uint32_t>(o.Param(nb::kFontVarAddress));
        flags |= 0x4000;
    }
    const std::int32_t writeAddress = o.Param(nb::kWriteAddress);
    const bool writeEnable = o.Param(nb::kWriteOn) != 0 && writeAddress >= 0 && writeAddress <= 0xFFFF;
    if (writeEnable)
        flags |= 0x2000;

    putU8(b, at + 0, kNumberItemType);
    putU8(b, at + 1, 2);
    putU8(b, at + 2, static_cast<std::uint8_t>((borderWidth & 0x3F) | ((o.Param(nb::kPasswordLevel) & 3) << 6)));
    putU8(b, at + 3, static_cast<std::uint8_t>(o.Param(nb::kDecimals)));
    putU16(b, at + 4, static_cast<std::uint16_t>(panelX(a, r.left)));
    putU16(b, at + 6, static_cast<std::uint16_t>(panelY(a, r.top)));
    putU16(b, at + 8, static_cast<std::uint16_t>(r.width()));
    putU16(b, at + 10, static_cast<std::uint16_t>(r.height()));
    putU16(b, at + 12, flags);
    putU16(b, at + 14, static_cast<std::uint16_t>(a.info.regionItem));
    putU8(b, at + 16, static_cast<std::uint8_t>(o.Param(nb::kFill) + 4 * o.Param(nb::kAlignment)));
    putU8(b, at + 17, static_cast<std::uint8_t>(o.Param(nb::kDigits)));
    putU8(b, at + 18, static_cast<std::uint8_t>((o.Param(nb::kPlusSign) != 0 ? 1 : 0) | (writable ? 2 : 0) | (turned ? 4 : 0)));
    putU8(b, at + 19, o.Param(nb::kValueType));
    if (background)
        putU32(b, at + 20, *background);
    putU16(b, at + 24, static_cast<std::uint16_t>(cells.width));
    putU16(b, at + 26, static_cast<std::uint16_t>(cells.height));
    putU32(b, at + 28, static_cast<std::uint32_t>(o.Param(nb::kValueAddress)));
    putU32(b, at + 32, fontColour);
    putU32(b, at + 36, tableBytes);
    putU32(b, at + 40, slotBytes);
    const std::int32_t hideBit = o.Param(nb::kHideBit);
    putU8(b, at + 44, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, at + 46, bitByteAddress(o.Param(nb::kHideAddress), hideBit));
    putU16(b, at + 48, static_cast<std::uint16_t>(cells.pointWidth));
    putU8(b, at + 50, plainBackground ? 1 : 0);
    if (o.Param(nb::kToFloat) != 0)
        putU8(b, at + 51, static_cast<std::uint8_t>(0x80 + (o.Param(nb::kFloatOrder) & 0x1F) +
                                                     (o.Param(nb::kNoLimit) != 0 ? 0x40 : 0)));
    if (o.Param(nb::kMoveOn) != 0)
        putU32(b, at + 52, static_cast<std::uint32_t>(o.Param(nb::kMoveAddress)));
    if (writeEnable) {
        const std::int32_t bit = o.Param(nb::kWriteBit);
        putU8(b, at + 56, static_cast<std::uint8_t>(bit & 7));
        putU16(b, at + 58, bitByteAddress(writeAddress, bit));
    }
    if (writable) {
        putU16(b, at + 60, static_cast<std::uint16_t>(o.Param(nb::kKeypadX)));
        putU16(b, at + 62, static_cast<std::uint16_t>(o.Param(nb::kKeypadY)));
        putU32(b, at + 64, static_cast<std::uint32_t>(o.Param(nb::kMinimum)));
        putU32(b, at + 68, static_cast<std::uint32_t>(o.Param(nb::kMaximum)));
        putU8(b, at + 72, static_cast<std::uint8_t>(o.Param(nb::kOtherWriteOn) != 0 ? 1 : 0));
        putU8(b, at + 73, o.Param(lowByte(nb::kOtherType)));
        putU16(b, at + 74, static_cast<std::uint16_t>(o.Param(nb::kOtherAddress)));
    }
}

} // namespace qv::items
