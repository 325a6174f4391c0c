#include "compiler/items/character_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/font_tables.h"
#include "compiler/items/item_support.h"
#include "compiler/items/state_picture_items.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"

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

// Parameter-block offsets.
namespace block {
constexpr int kFontColor = 0, kBackColor = 4, kTransparent = 8, kCellWidth = 16, kCellHeight = 20, kCharSpacing = 24,
              kLineSpacing = 28, kMaxChars = 32, kStringIndex = 36, kStringAddress = 40, kMoveOn = 48,
              kMoveIndex = 52, kMoveAddress = 56, kHideOn = 64, kHideIndex = 68, kHideAddress = 72, kShowCursor = 80,
              kCursorWidth = 84, kCursorColor = 88, kPasswordLevel = 96, kDigits = 100, kDecimalPoint = 104,
              kMinus = 108, kEnglish = 112, kChinese = 120, kAutoSense = 128, kKeyboardWrite = 132,
              kPasswordStyle = 136, kHashPassword = 140, kClickKeyboard = 148, kDoubleClickKeyboard = 152,
              kFontColorOn = 156, kFontColorIndex = 160, kFontColorAddress = 164, kBackColorOn = 172,
              kBackColorIndex = 176, kBackColorAddress = 180, kWriteOn = 188, kWriteIndex = 192,
              kWriteAddress = 196, kKeyboardX = 204, kKeyboardY = 208, kClickIndex = 212, kClickOn = 216,
              kClickValue = 217, kClickAddress = 220, kVerticalCentre = 224, kHideBit = 324, kWriteBit = 352,
              kConvertOn = 356, kConvertHex = 360, kConvertIndex = 364, kConvertAddress = 368, kConvertType = 372,
              kConvertZeroFill = 376, kConvertMin = 380, kConvertMax = 384, kCase = 388;
}

bool on(const CDrawObj& o, int offset) { return o.ParamI32(offset) != 0; }

// A switched-on reference whose index or address is missing.
bool missing(const CDrawObj& o, bool switchedOn, int index, int address)
{
    return switchedOn && (o.ParamI32(index) < 0 || o.ParamI32(address) < 0);
}

std::optional<std::string> check(const CDrawObj& o)
{
    const bool clickOn = o.ParamU8(block::kClickOn) != 0;
    if (o.ParamI32(block::kStringAddress) < 0 || o.ParamI32(block::kStringIndex) < 0 ||
        missing(o, clickOn, block::kClickIndex, block::kClickAddress) ||
        missing(o, on(o, block::kConvertOn), block::kConvertIndex, block::kConvertAddress))
        return controlError(kName, kLacksBasicVar);
    if (missing(o, on(o, block::kHideOn), block::kHideIndex, block::kHideAddress))
        return controlError(kName, kLacksHideVar);
    if (missing(o, on(o, block::kWriteOn), block::kWriteIndex, block::kWriteAddress))
        return controlError(kName, kLacksWriteVar);
    if (missing(o, on(o, block::kMoveOn), block::kMoveIndex, block::kMoveAddress))
        return controlError(kName, kLacksMoveVar);
    if (missing(o, on(o, block::kFontColorOn), block::kFontColorIndex, block::kFontColorAddress) ||
        missing(o, on(o, block::kBackColorOn), block::kBackColorIndex, block::kBackColorAddress))
        return controlError(kName, kLacksColourVar);
    if (!sizeAtLeast(o.m_rcPosition, 6, 36))
        return controlError(kName, kTooSmall);
    const int w = o.ParamI32(block::kCellWidth), h = o.ParamI32(block::kCellHeight);
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
    putU8(b, at + 2, o.ParamU8(block::kPasswordLevel));
    const bool clickOn = o.ParamU8(block::kClickOn) != 0;
    const std::int32_t writeAddress = o.ParamI32(block::kWriteAddress);
    const bool writeEnable = on(o, block::kWriteOn) && writeAddress >= 0 && writeAddress <= 0xFFFF;
    putU8(b, at + 3,
          bitIf(clickOn && o.ParamI32(block::kClickIndex) >= 0 && o.ParamI32(block::kClickAddress) >= 0, 0) |
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
              bitIf(on(o, block::kFontColorOn), 6) | bitIf(on(o, block::kBackColorOn), 7)));
    putU16(b, at + 14, static_cast<std::uint16_t>(a.info.regionItem));
    putU16(b, at + 16, static_cast<std::uint16_t>(o.ParamI32(block::kCellWidth)));
    putU16(b, at + 18, static_cast<std::uint16_t>(o.ParamI32(block::kCellHeight)));

    std::uint32_t fontColour = tiles::toRgb565(static_cast<ColorRef>(o.ParamI32(block::kFontColor)));
    if (fontColour == 0xFFFF)
        fontColour = 0xFFFE;   // 0xFFFF is the panel's key
    putU32(b, at + 28, on(o, block::kFontColorOn) ? static_cast<std::uint32_t>(o.ParamI32(block::kFontColorAddress))
                                                   : fontColour);
    putU32(b, at + 32, on(o, block::kBackColorOn) ? static_cast<std::uint32_t>(o.ParamI32(block::kBackColorAddress))
                                                   : tiles::toRgb565(static_cast<ColorRef>(o.ParamI32(block::kBackColor))));
    putU32(b, at + 36, static_cast<std::uint32_t>(o.ParamI32(block::kStringAddress)));
    const std::int32_t hideBit = o.ParamI32(block::kHideBit);
    putU8(b, at + 40, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, at + 42, bitByteAddress(o.ParamI32(block::kHideAddress) & 0xFFFF, hideBit));
    putU32(b, at + 44, static_cast<std::uint32_t>(o.ParamI32(block::kMoveAddress)));
    putU16(b, at + 48, static_cast<std::uint16_t>(o.ParamI32(block::kMaxChars)));
    putU8(b, at + 50, static_cast<std::uint8_t>(o.ParamI32(block::kCharSpacing)));
    putU8(b, at + 51, static_cast<std::uint8_t>(o.ParamI32(block::kLineSpacing)));
    putU16(b, at + 52, static_cast<std::uint16_t>(o.ParamI32(block::kCursorWidth)));
    putU16(b, at + 54, tiles::toRgb565(static_cast<ColorRef>(o.ParamI32(block::kCursorColor))));
    if (writeEnable) {
        const std::int32_t writeBit = o.ParamI32(block::kWriteBit);
        putU8(b, at + 60, static_cast<std::uint8_t>(writeBit & 7));
        putU16(b, at + 62, bitByteAddress(writeAddress, writeBit));
    }

    const bool convert = on(o, block::kConvertOn);
    if (convert || on(o, block::kClickKeyboard) || on(o, block::kDoubleClickKeyboard) || clickOn) {
        putU16(b, at + 64, static_cast<std::uint16_t>(o.ParamI32(block::kKeyboardX)));
        putU16(b, at + 66, static_cast<std::uint16_t>(o.ParamI32(block::kKeyboardY)));
        putU16(b, at + 68, static_cast<std::uint16_t>(o.ParamI32(block::kClickAddress)));
        putU8(b, at + 70, o.ParamU8(block::kClickValue));
    }
    if (convert) {
        putU8(b, at + 71,
              static_cast<std::uint8_t>(1 | bitIf(on(o, block::kConvertHex), 1) | bitIf(on(o, block::kConvertZeroFill), 2) |
                                        (o.ParamU8(block::kConvertType) & 7) << 3 | (o.ParamU8(block::kCase) & 3) << 6));
        putU32(b, at + 72, static_cast<std::uint32_t>(o.ParamI32(block::kConvertMin)));
        putU32(b, at + 76, static_cast<std::uint32_t>(o.ParamI32(block::kConvertMax)));
        putU16(b, at + 80, static_cast<std::uint16_t>(o.ParamI32(block::kConvertAddress)));
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

    const int w = o.ParamI32(block::kCellWidth), h = o.ParamI32(block::kCellHeight);
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
