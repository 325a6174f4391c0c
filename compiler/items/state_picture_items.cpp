#include "compiler/items/state_picture_items.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/paint/controls/state_picture_painters.h"
#include "model/params/blocks/state_picture_block.h"
#include "platform/surface/surface.h"

#include <algorithm>
#include <array>
#include <optional>

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

constexpr ColorRef kRadioPlainFill = 0x000000FF;   // red: the drawn circle alone stays visible

namespace lamp = blocks::lamp;
namespace bs = blocks::bit_switch;
namespace ind = blocks::indicator;
namespace radio = blocks::radio;

using StatePainter = void (*)(CDrawObj&, const PaintSurfaces&, const PaintContext&, int);

// The write-enable reference of a member that has one.
template <class Kind>
struct WriteFields {
    ParamField<std::int32_t, Kind> on, index, address, bit;
};

// Where each member keeps what the compile reads.
template <class Kind>
struct StateMember {
    template <class T>
    using Field = ParamField<T, Kind>;
    const char* name;
    std::uint8_t itemType;
    std::uint32_t recordSize;
    Field<std::int32_t> mainIndex, mainAddress;
    Field<std::uint8_t> hideOn;
    Field<std::int32_t> hideIndex, hideAddress, hideBit;
    std::optional<WriteFields<Kind>> write;
    Field<std::int32_t> transparent[2], key[2];
    std::optional<Field<std::int32_t>> picturesOn;  // radio: the pictures replace the drawn circle
    std::optional<std::array<Field<std::int32_t>, 2>> textColor;
    int minSide, minArea;
    StatePainter paint;
    // Record offsets of the fields every member has.
    std::uint32_t hideBitAt, hideAddressAt, redrawAt, regionAt, lengthAt, secondAt;
};

constexpr StateMember<LampBlockTag> kBitSwitch{"位开关", 9, 44, lamp::kBitIndex, lamp::kBitAddress,
                                               bs::kHideOption, bs::kHideIndex, bs::kHideAddress, bs::kHideBit,
                                               WriteFields<LampBlockTag>{bs::kWriteEnableOption, bs::kWriteIndex,
                                                                         bs::kWriteAddress, bs::kWriteBit},
                                               {lamp::kOnTransparent, lamp::kOffTransparent}, {lamp::kOnKey, lamp::kOffKey},
                                               std::nullopt, std::array{bs::kOnCaptionColor, bs::kOffCaptionColor},
                                               6, 36, &PaintBitSwitch,
                                               20, 22, 24, 26, 28, 32};
constexpr StateMember<LampBlockTag> kIndicator{"指示灯", 8, 32, lamp::kBitIndex, lamp::kBitAddress,
                                               ind::kHideOption, ind::kHideIndex, ind::kHideAddress, ind::kHideBit,
                                               std::nullopt,
                                               {lamp::kOnTransparent, lamp::kOffTransparent}, {lamp::kOnKey, lamp::kOffKey},
                                               std::nullopt, std::array{ind::kOnCaptionColor, ind::kOffCaptionColor},
                                               3, 6, &PaintIndicator,
                                               16, 18, 20, 22, 24, 28};
constexpr StateMember<RadioBlockTag> kRadio{"单选按钮", 10, 44, radio::kValueIndex, radio::kValueAddress,
                                            radio::kHideOption, radio::kHideIndex, radio::kHideAddress, radio::kHideBit,
                                            WriteFields<RadioBlockTag>{radio::kWriteEnableOption, radio::kWriteIndex,
                                                                       radio::kWriteAddress, radio::kWriteBit},
                                            {radio::kSelectedTransparent, radio::kUnselectedTransparent},
                                            {radio::kSelectedKey, radio::kUnselectedKey},
                                            radio::kPictureMode, std::nullopt,
                                            6, 36, &PaintRadioButton,
                                            20, 22, 24, 26, 28, 32};

template <class Kind>
std::optional<std::string> checkMember(const StateMember<Kind>& m, const CDrawObj& o)
{
    if (o.Param(m.mainAddress) < 0 || o.Param(m.mainIndex) < 0)
        return controlError(m.name, kLacksBasicVar);
    if (o.Param(m.hideOn) != 0 && (o.Param(m.hideAddress) < 0 || o.Param(m.hideIndex) < 0))
        return controlError(m.name, kLacksHideVar);
    if (m.write && o.Param(m.write->on) != 0 && (o.Param(m.write->address) < 0 || o.Param(m.write->index) < 0))
        return controlError(m.name, kLacksWriteVar);
    if (!sizeAtLeast(o.m_rcPosition, m.minSide, m.minArea))
        return controlError(m.name, kTooSmall);
    return std::nullopt;
}

template <class Kind>
std::optional<ColorRef> stateFill(const StateMember<Kind>& m, const CDrawObj& o, int state)
{
    if (m.picturesOn && o.Param(*m.picturesOn) == 0)
        return kRadioPlainFill;
    if (o.Param(m.transparent[state]) != 0)
        return static_cast<ColorRef>(o.Param(m.key[state]));
    return std::nullopt;
}

template <class Kind>
bool writeEnablePresent(const StateMember<Kind>& m, const CDrawObj& o)
{
    if (!m.write || o.Param(m.write->on) == 0)
        return false;
    const std::int32_t address = o.Param(m.write->address);
    return address >= 0 && address <= 0xFFFF;
}

// The fields only one member has.
void putMemberFields(const StateMember<RadioBlockTag>&, ItemCompileArgs& a, std::uint32_t at)
{
    auto b = a.ctx.header().bytes();
    const CDrawObj& o = a.control;
    putU8(b, at + 2, o.Param(radio::kValueType));
    putU8(b, at + 3, o.Param(radio::kUserLevel));
    putU32(b, at + 12, static_cast<std::uint32_t>(o.Param(radio::kOwnValue)));
    putU32(b, at + 16, static_cast<std::uint32_t>(o.Param(radio::kValueAddress)));
    putU8(b, at + 40, static_cast<std::uint8_t>(o.Param(radio::kDifferentWrite)));
    putU8(b, at + 41, o.Param(radio::kSecondType));
    putU16(b, at + 42, static_cast<std::uint16_t>(o.Param(radio::kSecondAddress)));
}

void putMemberFields(const StateMember<LampBlockTag>& m, ItemCompileArgs& a, std::uint32_t at)
{
    auto b = a.ctx.header().bytes();
    const CDrawObj& o = a.control;
    const std::int32_t bit = o.Param(lamp::kBitNumber);
    putU8(b, at + 2, o.Param(lamp::kBitType));
    putU8(b, at + 3, static_cast<std::uint8_t>(bit & 7));
    if (m.itemType == kIndicator.itemType) {
        putU32(b, at + 12, bitByteAddress(o.Param(lamp::kBitAddress), bit));
        return;
    }
    putU8(b, at + 12, o.Param(bs::kFunction));
    putU8(b, at + 13, o.Param(bs::kUserLevel));
    putU32(b, at + 16, bitByteAddress(o.Param(lamp::kBitAddress), bit));
    const std::int32_t otherBit = o.Param(bs::kSecondBit);
    putU8(b, at + 40, static_cast<std::uint8_t>(o.Param(bs::kDifferentWrite)));
    putU8(b, at + 41, static_cast<std::uint8_t>(otherBit & 7));
    putU16(b, at + 42, static_cast<std::uint16_t>(bitByteAddress(o.Param(bs::kSecondAddress), otherBit)));
}

template <class Kind>
void compileStateMember(const StateMember<Kind>& m, ItemCompileArgs& a)
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
            if (m.textColor) {
                const auto text = (*m.textColor)[static_cast<std::size_t>(state)];
                if (static_cast<ColorRef>(o.Param(text)) == *fill)
                    o.SetParam(text, o.Param(text) ^ 1);
            }
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
    const std::int32_t hideBit = o.Param(m.hideBit);
    putU8(b, *at + m.hideBitAt, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, *at + m.hideAddressAt, static_cast<std::uint16_t>(bitByteAddress(o.Param(m.hideAddress), hideBit)));
    const bool writeEnable = writeEnablePresent(m, o);
    putU8(b, *at + m.redrawAt, static_cast<std::uint8_t>((a.info.redrawFlags & 0xFF) | (writeEnable ? 0x20 : 0)));
    putU16(b, *at + m.regionAt, static_cast<std::uint16_t>(a.info.regionItem));
    putU32(b, *at + m.lengthAt, static_cast<std::uint32_t>(stream.bytes().size()));
    putU32(b, *at + m.secondAt, static_cast<std::uint32_t>(secondOffset));
    if (writeEnable) {
        const std::int32_t bit = o.Param(m.write->bit);
        putU8(b, *at + 36, static_cast<std::uint8_t>(bit & 7));
        putU16(b, *at + 38, static_cast<std::uint16_t>(bitByteAddress(o.Param(m.write->address), bit)));
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
