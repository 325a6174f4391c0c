#include "compiler/items/state_picture_items.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/paint/controls/state_picture_painters.h"
#include "platform/surface/surface.h"

#include <algorithm>

namespace qv::items {

using namespace qv::image;
using screen::ItemCompileArgs;

std::string controlError(const char* name, const char* what)
{
    return std::string("编译出错!!\"") + name + "\"" + what;
}

bool streamControlPicture(ItemCompileArgs& a, const Surface& s, const Rect& r, bool keyed, std::optional<ColorRef> fill,
                          tiles::PageStream& out)
{
    // The mapping works on a copy, so the state painted next still sees the unmapped pixels.
    const Rect local{0, 0, r.width(), r.height()};
    Surface picture(std::max(r.width(), 1), std::max(r.height(), 1));
    picture.bitBlt(0, 0, r.width(), r.height(), s, r.left, r.top);
    if (keyed)
        keyPixels(picture, local, fill.value_or(kInvalidColor));   // no fill: no pixel becomes the key
    out.putRaw(tiles::kPageStartByte);
    a.ctx.addPictures(1);
    return tiles::writePixelsRGB565(out, picture, local, a.rotated, [&a] { return a.ctx.aborted(); });
}

void putItemHead(ItemCompileArgs& a, std::uint32_t at, std::uint8_t type)
{
    auto b = a.ctx.header().bytes();
    const Rect& r = a.control.m_rcPosition;
    putU8(b, at + 0, type);
    putU8(b, at + 1, 2);
    putU16(b, at + 4, static_cast<std::uint16_t>(panelX(a, r.left)));
    putU16(b, at + 6, static_cast<std::uint16_t>(panelY(a, r.top)));
    putU16(b, at + 8, static_cast<std::uint16_t>(r.width()));
    putU16(b, at + 10, static_cast<std::uint16_t>(r.height()));
}

namespace {

constexpr int kNone = -1;
constexpr ColorRef kRadioPlainFill = 0x000000FF;   // red: the drawn circle alone stays visible

using StatePainter = void (*)(CDrawObj&, const PaintSurfaces&, const PaintContext&, int);

// Where each member keeps what the compile reads; kNone: the member has no such field.
struct StateMember {
    const char* name;
    std::uint8_t itemType;
    std::uint32_t recordSize;
    int mainIndex, mainAddress;
    int hideOn, hideIndex, hideAddress, hideBit;
    int writeOn, writeIndex, writeAddress, writeBit;
    int transparent[2], key[2];
    int picturesOn;              // radio: the pictures replace the drawn circle
    int textColor[2];
    int minSide, minArea;
    StatePainter paint;
    // Record offsets of the fields every member has.
    std::uint32_t hideBitAt, hideAddressAt, redrawAt, regionAt, lengthAt, secondAt;
};

constexpr StateMember kBitSwitch{"位开关", 9, 44, 16, 20, 30, 36, 48, 160, 52, 56, 60, 188,
                                 {0, 4}, {8, 12}, kNone, {68, 72}, 6, 36, &PaintBitSwitch,
                                 20, 22, 24, 26, 28, 32};
constexpr StateMember kIndicator{"指示灯", 8, 32, 16, 20, 27, 32, 44, 100, kNone, kNone, kNone, kNone,
                                 {0, 4}, {8, 12}, kNone, {48, 52}, 3, 6, &PaintIndicator,
                                 16, 18, 20, 22, 24, 28};
constexpr StateMember kRadio{"单选按钮", 10, 44, 0, 8, 15, 44, 56, 160, 64, 68, 72, 188,
                             {24, 28}, {32, 36}, 60, {kNone, kNone}, 6, 36, &PaintRadioButton,
                             20, 22, 24, 26, 28, 32};

std::optional<std::string> checkMember(const StateMember& m, const CDrawObj& o)
{
    if (o.ParamI32(m.mainAddress) < 0 || o.ParamI32(m.mainIndex) < 0)
        return controlError(m.name, kLacksBasicVar);
    if (o.ParamU8(m.hideOn) != 0 && (o.ParamI32(m.hideAddress) < 0 || o.ParamI32(m.hideIndex) < 0))
        return controlError(m.name, kLacksHideVar);
    if (m.writeOn != kNone && o.ParamI32(m.writeOn) != 0 &&
        (o.ParamI32(m.writeAddress) < 0 || o.ParamI32(m.writeIndex) < 0))
        return controlError(m.name, kLacksWriteVar);
    if (!sizeAtLeast(o.m_rcPosition, m.minSide, m.minArea))
        return controlError(m.name, kTooSmall);
    return std::nullopt;
}

std::optional<ColorRef> stateFill(const StateMember& m, const CDrawObj& o, int state)
{
    if (m.picturesOn != kNone && o.ParamI32(m.picturesOn) == 0)
        return kRadioPlainFill;
    if (o.ParamI32(m.transparent[state]) != 0)
        return static_cast<ColorRef>(o.ParamI32(m.key[state]));
    return std::nullopt;
}

bool writeEnablePresent(const StateMember& m, const CDrawObj& o)
{
    if (m.writeOn == kNone || o.ParamI32(m.writeOn) == 0)
        return false;
    const std::int32_t address = o.ParamI32(m.writeAddress);
    return address >= 0 && address <= 0xFFFF;
}

// The fields only one member has.
void putMemberFields(const StateMember& m, ItemCompileArgs& a, std::uint32_t at)
{
    auto b = a.ctx.header().bytes();
    const CDrawObj& o = a.control;
    if (m.itemType == kRadio.itemType) {
        putU8(b, at + 2, o.ParamU8(12));
        putU8(b, at + 3, o.ParamU8(13));
        putU32(b, at + 12, static_cast<std::uint32_t>(o.ParamI32(4)));
        putU32(b, at + 16, static_cast<std::uint32_t>(o.ParamI32(8)));
        putU8(b, at + 40, o.ParamU8(100));
        putU8(b, at + 41, o.ParamU8(132));
        putU16(b, at + 42, static_cast<std::uint16_t>(o.ParamI32(128)));
        return;
    }
    const std::int32_t bit = o.ParamU8(25);
    putU8(b, at + 2, o.ParamU8(24));
    putU8(b, at + 3, static_cast<std::uint8_t>(bit & 7));
    if (m.itemType == kIndicator.itemType) {
        putU32(b, at + 12, bitByteAddress(o.ParamI32(20), bit));
        return;
    }
    putU8(b, at + 12, o.ParamU8(26));
    putU8(b, at + 13, o.ParamU8(27));
    putU32(b, at + 16, bitByteAddress(o.ParamI32(20), bit));
    const std::int32_t otherBit = o.ParamI32(132);
    putU8(b, at + 40, o.ParamU8(96));
    putU8(b, at + 41, static_cast<std::uint8_t>(otherBit & 7));
    putU16(b, at + 42, static_cast<std::uint16_t>(bitByteAddress(o.ParamI32(124), otherBit)));
}

void compileStateMember(const StateMember& m, ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    o.m_rcPosition = o.m_rcPosition.normalized();
    if (auto refused = checkMember(m, o)) {
        refuseControl(a, *refused);
        return;
    }
    if (!checkPlacement(a, o.m_rcPosition, m.name))
        return;
    const auto at = a.ctx.reserveHeader(m.recordSize);
    if (!at)
        return;

    screen::PooledSurface heldFirst = workCanvas(a, true);
    Surface& first = heldFirst.get();
    screen::PooledSurface heldSecond(first.width(), first.height(), controlArea(a), 0x00FFFFFF);
    Surface& second = heldSecond.get();
    const Rect r = o.m_rcPosition;
    Surface saved(std::max(r.width(), 1), std::max(r.height(), 1));
    saved.bitBlt(0, 0, r.width(), r.height(), first, r.left, r.top);

    const bool keyed = (a.info.redrawFlags & screen::redraw::ValueBackground) != 0;
    tiles::PageStream stream(a.ctx.file().size(), a.ctx.geometry().pageMask);
    std::uint64_t secondOffset = 0;
    for (int state = 0; state < 2; ++state) {
        std::optional<ColorRef> fill;
        if (!keyed) {
            first.bitBlt(r.left, r.top, r.width(), r.height(), saved, 0, 0);
        } else if ((fill = stateFill(m, o, state))) {
            first.fillRect(r, *fill);
            // Text in the fill colour would vanish into the key on the panel.
            const int text = m.textColor[state];
            if (text != kNone && static_cast<ColorRef>(o.ParamI32(text)) == *fill)
                o.SetParamI32(text, o.ParamI32(text) ^ 1);
        }
        m.paint(o, PaintSurfaces{first, &second, nullptr}, a.paint, state);
        if (state == 1)
            secondOffset = stream.position() - stream.startPosition();
        if (!streamControlPicture(a, first, r, keyed, fill, stream))
            return;
    }
    if (!stream.bytes().empty())
        stream.padToPage();
    if (!appendStream(a.ctx, stream))
        return;

    auto b = a.ctx.header().bytes();
    putItemHead(a, *at, m.itemType);
    putMemberFields(m, a, *at);
    const std::int32_t hideBit = o.ParamI32(m.hideBit);
    putU8(b, *at + m.hideBitAt, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, *at + m.hideAddressAt, static_cast<std::uint16_t>(bitByteAddress(o.ParamI32(m.hideAddress), hideBit)));
    const bool writeEnable = writeEnablePresent(m, o);
    putU8(b, *at + m.redrawAt, static_cast<std::uint8_t>((a.info.redrawFlags & 0xFF) | (writeEnable ? 0x20 : 0)));
    putU16(b, *at + m.regionAt, static_cast<std::uint16_t>(a.info.regionItem));
    putU32(b, *at + m.lengthAt, static_cast<std::uint32_t>(stream.bytes().size()));
    putU32(b, *at + m.secondAt, static_cast<std::uint32_t>(secondOffset));
    if (writeEnable) {
        const std::int32_t bit = o.ParamI32(m.writeBit);
        putU8(b, *at + 36, static_cast<std::uint8_t>(bit & 7));
        putU16(b, *at + 38, static_cast<std::uint16_t>(bitByteAddress(o.ParamI32(m.writeAddress), bit)));
    }
}

} // namespace

void CompileBitSwitch(ItemCompileArgs& a) { compileStateMember(kBitSwitch, a); }
void CompileIndicator(ItemCompileArgs& a) { compileStateMember(kIndicator, a); }
void CompileRadioButton(ItemCompileArgs& a) { compileStateMember(kRadio, a); }

void installStatePictureItems(screen::ItemCompilerTable& table)
{
    table.install(ShapeKind::BitSwitch, &CompileBitSwitch);
    table.install(ShapeKind::Indicator, &CompileIndicator);
    table.install(ShapeKind::RadioButton, &CompileRadioButton);
}

} // namespace qv::items
