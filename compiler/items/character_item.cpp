#include "compiler/items/character_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/font_tables.h"
#include "compiler/items/item_support.h"
#include "compiler/items/state_picture_items.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/params/blocks/character_block.h"

#include <array>
#include <optional>

namespace qv::items {
namespace {

using namespace qv::image;

constexpr const char* kName = "字符";
constexpr const char* kLacksMoveVar = "控件的移动控制属性缺乏HMI变量";
constexpr const char* kLacksColourVar = "控件的颜色控制属性缺乏HMI变量";
// A cell higher or wider than this would make a full-width table of hundreds of megabytes.
constexpr const char* kFontTooLarge = "控件的字体太大";
constexpr int kMaxCellSide = 255;
constexpr std::uint8_t kItemType = 13;
constexpr std::uint32_t kItemSize = 84;
constexpr std::int32_t kDigitsFontKey = 1, kAsciiFontKey = 2, kFullFontKey = 4;
constexpr int kAsciiGlyphs = 128;
constexpr char kDigitGlyphs[] = "0123456789-.*";
constexpr int kDigitGlyphCount = sizeof kDigitGlyphs - 1;

namespace block = blocks::character;

bool on(const CDrawObj& o, block::Field<std::int32_t> f) { return o.Param(f) != 0; }

// A switched-on reference whose index or address is missing.
bool missing(const CDrawObj& o, bool switchedOn, block::Field<std::int32_t> index, block::Field<std::int32_t> address)
{
    return switchedOn && (o.Param(index) < 0 || o.Param(address) < 0);
}

std::optional<std::string> check(const CDrawObj& o)
{
    const bool clickOn = o.Param(block::kClickOn) != 0;
    if (o.Param(block::kStringAddress) < 0 || o.Param(block::kStringIndex) < 0 ||
        missing(o, clickOn, block::kClickIndex, block::kClickAddress) ||
        missing(o, on(o, block::kConvertOn), block::kConvertIndex, block::kConvertAddress))
        return controlError(kName, kLacksBasicVar);
    if (missing(o, on(o, block::kHideOn), block::kHideIndex, block::kHideAddress))
        return controlError(kName, kLacksHideVar);
    if (missing(o, on(o, block::kWriteOn), block::kWriteIndex, block::kWriteAddress))
        return controlError(kName, kLacksWriteVar);
    if (missing(o, on(o, block::kMoveOn), block::kMoveIndex, block::kMoveAddress))
        return controlError(kName, kLacksMoveVar);
    if (missing(o, on(o, block::kFontVarOn), block::kFontVarIndex, block::kFontVarAddress) ||
        missing(o, on(o, block::kBackVarOn), block::kBackVarIndex, block::kBackVarAddress))
        return controlError(kName, kLacksColourVar);
    if (!sizeAtLeast(o.m_rcPosition, 6, 36))
        return controlError(kName, kTooSmall);
    const int w = o.Param(block::kCellWidth), h = o.Param(block::kCellHeight);
    if (w < 0 || h < 0 || w > kMaxCellSide || h > kMaxCellSide)
        return controlError(kName, kFontTooLarge);
    return std::nullopt;
}

std::uint8_t bitIf(bool set, int bit) { return set ? static_cast<std::uint8_t>(1u << bit) : 0; }

// The fields that need no rendering: 0..19, 28..55, 60..63 and 64..81.
void putFields(screen::ItemCompileArgs& a, std::uint32_t at)
{
    const CDrawObj& o = a.control;
    auto b = a.ctx.header().bytes();
    putItemHead(a, at, kItemType);
    putU8(b, at + 2, o.Param(block::kPasswordLevel));
    const bool clickOn = o.Param(block::kClickOn) != 0;
    const std::int32_t writeAddress = o.Param(block::kWriteAddress);
    const bool writeEnable = on(o, block::kWriteOn) && writeAddress >= 0 && writeAddress <= 0xFFFF;
    putU8(b, at + 3,
          bitIf(clickOn && o.Param(block::kClickIndex) >= 0 && o.Param(block::kClickAddress) >= 0, 0) |
              bitIf(on(o, block::kTransparent), 1) | bitIf(on(o, block::kDigits), 2) |
              bitIf(on(o, block::kDecimalPoint), 3) | bitIf(on(o, block::kMinus), 4) |
              bitIf(on(o, block::kEnglish), 5) | bitIf(on(o, block::kChinese), 6) | bitIf(writeEnable, 7));
    putU8(b, at + 12, static_cast<std::uint8_t>((a.info.redrawFlags & 0xFF) | bitIf(on(o, block::kVerticalCentre), 5)));
    putU8(b, at + 13,
          static_cast<std::uint8_t>(
              (a.info.redrawFlags >> 8) | bitIf(on(o, block::kKeyboardWrite), 0) |
              bitIf(on(o, block::kDoubleClickKeyboard), 1) | bitIf(on(o, block::kClickKeyboard), 2) |
              bitIf(on(o, block::kShowCursor), 3) | bitIf(on(o, block::kAutoSense), 4) |
              bitIf(on(o, block::kPasswordStyle) || on(o, block::kHashPassword), 5) |
              bitIf(on(o, block::kFontVarOn), 6) | bitIf(on(o, block::kBackVarOn), 7)));
    putU16(b, at + 14, static_cast<std::uint16_t>(a.info.regionItem));
    putU16(b, at + 16, static_cast<std::uint16_t>(o.Param(block::kCellWidth)));
    putU16(b, at + 18, static_cast<std::uint16_t>(o.Param(block::kCellHeight)));

    std::uint32_t fontColour = tiles::toRgb565(static_cast<ColorRef>(o.Param(block::kFontColor)));
    if (fontColour == 0xFFFF)
        fontColour = 0xFFFE;   // 0xFFFF is the panel's key
    putU32(b, at + 28, on(o, block::kFontVarOn) ? static_cast<std::uint32_t>(o.Param(block::kFontVarAddress))
                                                   : fontColour);
    putU32(b, at + 32, on(o, block::kBackVarOn) ? static_cast<std::uint32_t>(o.Param(block::kBackVarAddress))
                                                   : tiles::toRgb565(static_cast<ColorRef>(o.Param(block::kBackColor))));
    putU32(b, at + 36, static_cast<std::uint32_t>(o.Param(block::kStringAddress)));
    const std::int32_t hideBit = o.Param(block::kHideBit);
    putU8(b, at + 40, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, at + 42, bitByteAddress(o.Param(block::kHideAddress) & 0xFFFF, hideBit));
    putU32(b, at + 44, static_cast<std::uint32_t>(o.Param(block::kMoveAddress)));
    putU16(b, at + 48, static_cast<std::uint16_t>(o.Param(block::kStringLength)));
    putU8(b, at + 50, static_cast<std::uint8_t>(o.Param(block::kCharSpacing)));
    putU8(b, at + 51, static_cast<std::uint8_t>(o.Param(block::kLineSpacing)));
    putU16(b, at + 52, static_cast<std::uint16_t>(o.Param(block::kCursorWidth)));
    putU16(b, at + 54, tiles::toRgb565(static_cast<ColorRef>(o.Param(block::kCursorColor))));
    if (writeEnable) {
        const std::int32_t writeBit = o.Param(block::kWriteBit);
        putU8(b, at + 60, static_cast<std::uint8_t>(writeBit & 7));
        putU16(b, at + 62, bitByteAddress(writeAddress, writeBit));
    }

    const bool convert = on(o, block::kConvertOn);
    if (convert || on(o, block::kClickKeyboard) || on(o, block::kDoubleClickKeyboard) || clickOn) {
        putU16(b, at + 64, static_cast<std::uint16_t>(o.Param(block::kKeyboardX)));
        putU16(b, at + 66, static_cast<std::uint16_t>(o.Param(block::kKeyboardY)));
        putU16(b, at + 68, static_cast<std::uint16_t>(o.Param(block::kClickAddress)));
        putU8(b, at + 70, o.Param(block::kClickValue));
    }
    if (convert) {
        putU8(b, at + 71,
              static_cast<std::uint8_t>(1 | bitIf(on(o, block::kConvertHex), 1) | bitIf(on(o, block::kConvertZeroFill), 2) |
                                        (o.Param(block::kConvertType) & 7) << 3 | (o.Param(lowByte(block::kCase)) & 3) << 6));
        putU32(b, at + 72, static_cast<std::uint32_t>(o.Param(block::kConvertMin)));
        putU32(b, at + 76, static_cast<std::uint32_t>(o.Param(block::kConvertMax)));
        putU16(b, at + 80, static_cast<std::uint16_t>(o.Param(block::kConvertAddress)));
    }
}

} // namespace

void CompileCharacter(screen::ItemCompileArgs& a, ControlFontRegistry& fonts)
{
    CDrawObj& o = a.control;
    o.m_rcPosition = o.m_rcPosition.normalized();
    if (auto refused = check(o))
        return refuseControl(a, *refused);
    if (!checkPlacement(a, o.m_rcPosition, kName))
        return;
    const auto at = a.ctx.reserveHeader(kItemSize);
    if (!at)
        return;
    putFields(a, *at);

    const int w = o.Param(block::kCellWidth), h = o.Param(block::kCellHeight);
    const GlyphCell half = glyphCell(a.ctx, w / 2, h);
    const GlyphCell full = glyphCell(a.ctx, w, h);
    Surface dc = glyphSurface(o.m_logfont, full);
    auto b = a.ctx.header().bytes();
    std::uint8_t shared = 0;

    const bool ascii = on(o, block::kEnglish);
    const char passwordGlyph = on(o, block::kHashPassword) ? '#' : '*';
    const auto halfShared = sharedOrWrittenTable(
        a, fonts, dc, ascii ? kAsciiFontKey : kDigitsFontKey, half, ascii ? kAsciiGlyphs : kDigitGlyphCount,
        [ascii, passwordGlyph](int g) {
            if (ascii)
                return std::string(1, static_cast<char>(g));
            return std::string(1, g == kDigitGlyphCount - 1 ? passwordGlyph : kDigitGlyphs[g]);
        },
        *at + 20);
    if (!halfShared)
        return;
    shared |= *halfShared ? 0x40 : 0;
    putU16(b, *at + 56, static_cast<std::uint16_t>(half.slot));

    if (on(o, block::kChinese)) {
        const auto fullShared =
            sharedOrWrittenTable(a, fonts, dc, kFullFontKey, full, kFullWidthGlyphs, fullWidthGlyph, *at + 24);
        if (!fullShared)
            return;
        shared |= *fullShared ? 0x80 : 0;
        putU16(b, *at + 58, static_cast<std::uint16_t>(full.slot));
    }
    putU8(b, *at + 12, static_cast<std::uint8_t>(b[*at + 12] | shared));
}

} // namespace qv::items
