#include "compiler/items/button_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/screen/control_regions.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/paint/controls/button_painter.h"
#include "model/document/draw_doc.h"
#include "model/paint/paint_dispatch.h"

#include <algorithm>
#include <array>
#include <string>

namespace qv::items {

using namespace qv::image;
namespace bb = blocks::button;

namespace {

constexpr std::uint8_t kActionScreen = 228, kActionSubWindow = 229, kActionKey = 230, kActionNone = 244;

struct NamedAction {
    const char* text;   // GBK
    std::uint8_t code;
    std::uint8_t argument;
};

// Fixed function texts; the digit and letter keys are built from their character.
constexpr std::array<NamedAction, 26> kNamedActions{{
    {"键盘\"-\"", kActionKey, 10},        {"键盘\".\"", kActionKey, 11},
    {"键盘\"后退\"", kActionKey, 12},     {"键盘\"清除\"", kActionKey, 13},
    {"键盘\"确定\"", kActionKey, 14},     {"键盘\"取消\"", kActionKey, 15},
    {"键盘\"Enter\"", kActionKey, 16},    {"键盘\"Capslk\"", kActionKey, 17},
    {"键盘\"Shift\"", kActionKey, 18},    {"键盘\"空格\"", kActionKey, 19},
    {"键盘\"`或~\"", kActionKey, 30},     {"键盘\"=或+\"", kActionKey, 31},
    {"键盘\"[或{\"", kActionKey, 32},     {"键盘\"]或}\"", kActionKey, 33},
    {"键盘\"\\或|\"", kActionKey, 34},    {"键盘\";或:\"", kActionKey, 35},
    {"键盘\"'或\"\"", kActionKey, 36},    {"键盘\",或<\"", kActionKey, 37},
    {"键盘\"/或?\"", kActionKey, 38},     {"键盘\"PingYinSwitch\"", kActionKey, 46},
    {"触摸屏校准", 231, 0},               {"系统登陆", 232, 0},
    {"系统注销", 233, 0},                 {"系统保存", 234, 0},
    {"操作变量", 235, 0},                 {"", kActionNone, 0},
}};

bool endsWith(std::string_view s, std::string_view tail)
{
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::optional<std::uint8_t> windowNumber(const std::vector<compile::WindowSource>& list, std::string_view name)
{
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& w) { return w.fileName == name; });
    if (it == list.end())
        return std::nullopt;
    return static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(it - list.begin(), 0xFF));
}

// The state's plain fill when the panel keys the button over its region; nullopt: no fill.
struct StateFill {
    std::optional<ColorRef> colour;
    bool noPicture = false;
};

StateFill stateFill(const CDrawObj& o, int state)
{
    const bb::StateFields& f = bb::kStates[static_cast<std::size_t>(state - 1)];
    const bool picture = o.Param(f.usePicture) != 0;
    const bool noFace = o.Param(f.noFace) != 0;
    StateFill s;
    if (picture && o.Param(f.pictureTransparent) != 0)
        s.colour = static_cast<ColorRef>(o.Param(f.transparentColor));
    else if (!picture && (o.Param(f.faceStyle) == 0 || noFace))
        s.colour = 0;
    s.noPicture = o.Param(f.noBorder) != 0 && noFace && o.m_strName.empty();
    return s;
}

} // namespace

std::pair<std::uint8_t, std::uint8_t> buttonAction(std::string_view text, const compile::CompileInput& project)
{
    if (endsWith(text, ".drw"))
        if (auto n = windowNumber(project.screens, text))
            return {kActionScreen, *n};
    if (endsWith(text, ".dlg"))
        if (auto n = windowNumber(project.subWindows, text))
            return {kActionSubWindow, *n};
    const std::string_view prefix = "键盘\"";
    if (text.size() == prefix.size() + 2 && text.substr(0, prefix.size()) == prefix && text.back() == '"') {
        const char c = text[prefix.size()];
        if (c >= '0' && c <= '9')
            return {kActionKey, static_cast<std::uint8_t>(c - '0')};
        if (c >= 'A' && c <= 'Z')
            return {kActionKey, static_cast<std::uint8_t>(c)};
    }
    for (const NamedAction& a : kNamedActions)
        if (*a.text != '\0' && text == a.text)
            return {a.code, a.argument};
    return {kActionNone, 0};
}

void CompileButton(screen::ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    const bool hide = o.Param(bb::kHideOption) != 0;
    const bool writeSwitch = o.Param(bb::kWriteEnableOption) != 0;
    const std::string_view text = bb::functionText(o.m_strFiles);

    if (hide && (o.Param(bb::kHideAddress) < 0 || o.Param(bb::kHideIndex) < 0))
        return refuseControl(a, "编译出错!!\"操作按纽\"控件的隐藏控制属性缺乏HMI变量");
    if (writeSwitch && (o.Param(bb::kWriteAddress) < 0 || o.Param(bb::kWriteIndex) < 0))
        return refuseControl(a, "编译出错!!\"操作按纽\"控件的写入控制属性缺乏HMI变量");
    if (text == bb::kOperateVariable && (o.Param(bb::kValueAddress) < 0 || o.Param(bb::kValueIndex) < 0))
        return refuseControl(a, "编译出错!!\"操作按纽\"控件的基本控制属性缺乏HMI变量");
    const Rect r = o.m_rcPosition.normalized();
    if (!sizeAtLeast(r, 6, 36))
        return refuseControl(a, "编译出错!!\"操作按钮\"控件的长宽太小");
    if (!checkPlacement(a, r, "操作按钮"))
        return;

    const auto item = a.ctx.reserveHeader(kButtonItemSize);
    if (!item)
        return;
    const auto b = headerBytes(a);

    // The action, addresses and flags as the block holds them before the painter runs.
    const std::uint32_t at = *item;
    const auto [code, argument] = buttonAction(text, a.ctx.input());
    const std::int32_t operatedAddress = o.Param(bb::kValueAddress);
    const std::int32_t hideBit = o.Param(bb::kHideBit);
    const std::int32_t writeAddress = o.Param(bb::kWriteAddress);
    const bool writeEnable = writeSwitch && writeAddress >= 0 && writeAddress <= 0xFFFF;

    std::uint16_t flags = a.info.redrawFlags & 0x1F;
    if (operatedAddress != -1)
        for (std::size_t i = 0; i < bb::kEvents.size(); ++i)
            if (o.Param(bb::kEvents[i].on) != 0)
                flags |= static_cast<std::uint16_t>(0x20 << i);
    flags |= static_cast<std::uint16_t>((o.Param(bb::kOperation) & 3) << 9);
    flags |= static_cast<std::uint16_t>((o.Param(bb::kValueType) & 7) << 12);
    if (writeEnable)
        flags |= 0x8000;

    // The three state pictures, back to back: each opens with 0x82, the page fill comes last.
    const bool keyed = (a.info.redrawFlags & screen::redraw::ValueBackground) != 0;
    std::array<std::uint32_t, 3> offsets{};
    bool firstMissing = false;
    tiles::PageStream stream = streamAtImageEnd(a.ctx);
    const std::uint64_t first = stream.position();
    for (int k = 1; k <= 3; ++k) {
        o.SetParam(bb::kState, static_cast<std::uint8_t>(k));
        screen::PooledSurface heldCanvas = workCanvas(a, !keyed);
        Surface& canvas = heldCanvas.get();
        screen::PooledSurface heldWork = paperLike(a, canvas);
        Surface& work = heldWork.get();
        // The painter's face surface, black as the painter would make it, from the pool.
        screen::PooledSurface heldFace(canvas.width(), canvas.height(), controlArea(a), 0);
        StateFill fill;
        if (keyed) {
            fill = stateFill(o, k);
            if (fill.colour) {
                // The caption must not vanish into the keyed fill.
                if (static_cast<ColorRef>(o.Param(bb::kTextColor)) == *fill.colour)
                    o.SetParam(bb::kTextColor, o.Param(bb::kTextColor) ^ 1);
                canvas.fillRect(controlArea(a), *fill.colour);
            }
        }
        PaintObject(o, PaintSurfaces{canvas, &work, &heldFace.get()}, 1, a.paint);
        const std::size_t s = static_cast<std::size_t>(k - 1);
        if (fill.noPicture) {
            offsets[s] = 0xFFFFFFFFu;
            firstMissing = firstMissing || s == 0;
            continue;
        }
        offsets[s] = static_cast<std::uint32_t>(stream.position() - first);
        if (keyed && fill.colour)
            keyPixels(canvas, r, *fill.colour);
        stream.putRaw(tiles::kPageStartByte);
        a.ctx.addPictures(1);
        if (!tiles::writePixelsRGB565(stream, canvas, r, a.rotated, [&] { return a.ctx.aborted(); })) {
            o.SetParam(bb::kState, 1);
            return;
        }
    }
    o.SetParam(bb::kState, 1);
    stream.padToPage();
    if (!appendStream(a.ctx, stream))
        return;

    putU8(b, at + 0, kButtonItemType);
    putU8(b, at + 1, 2);
    putU8(b, at + 2, code);
    putU8(b, at + 3, argument);
    putU16(b, at + 4, static_cast<std::uint16_t>(panelX(a, r.left)));
    putU16(b, at + 6, static_cast<std::uint16_t>(panelY(a, r.top)));
    putU16(b, at + 8, static_cast<std::uint16_t>(r.width()));
    putU16(b, at + 10, static_cast<std::uint16_t>(r.height()));
    putU8(b, at + 13, o.Param(bb::kDoubleClick));
    putU8(b, at + 14, o.Param(bb::kUserLevel));
    putU8(b, at + 15, o.Param(bb::kHandCursor));
    putU8(b, at + 16, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, at + 18, bitByteAddress(o.Param(bb::kHideAddress), hideBit));
    putU16(b, at + 20, flags);
    putU16(b, at + 22, static_cast<std::uint16_t>(a.info.regionItem));
    const auto length = static_cast<std::uint32_t>(stream.bytes().size());
    putU32(b, at + 24, length | (firstMissing ? 0x80000000u : 0));
    putU32(b, at + 28, offsets[1]);
    putU32(b, at + 32, offsets[2]);
    putU32(b, at + 36, static_cast<std::uint32_t>(operatedAddress));
    for (std::size_t i = 0; i < bb::kEvents.size(); ++i)
        putU8(b, at + 40 + static_cast<std::uint32_t>(i), o.Param(bb::kEvents[i].value));
    if (writeEnable) {
        const std::int32_t bit = o.Param(bb::kWriteBit);
        putU8(b, at + 44, static_cast<std::uint8_t>(bit & 7));
        putU16(b, at + 46, bitByteAddress(writeAddress, bit));
    }
}

} // namespace qv::items
