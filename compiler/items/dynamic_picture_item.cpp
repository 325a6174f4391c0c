#include "compiler/items/dynamic_picture_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/items/state_picture_items.h"
#include "model/params/blocks/dynamic_picture_block.h"
#include "model/document/draw_doc.h"
#include "platform/files/stored_path.h"
#include "platform/surface/surface.h"

#include <limits>

namespace qv::items {
namespace {

using namespace qv::image;

constexpr const char* kName = "动态图片";
constexpr const char* kBadPicture = "控件的图片选择有问题";
constexpr std::uint32_t kUserAreaRecordSize = 60;
constexpr std::uint32_t kFrameTableAt = 32;

namespace block = blocks::dynamic_picture;

std::optional<std::string> check(const CDrawObj& o)
{
    if (o.Param(block::kFrameAddress) < 0 || (o.Param(block::kPlayMode) == 0 && o.Param(block::kFrameIndex) < 0))
        return controlError(kName, kLacksBasicVar);
    const bool hideMissing = o.Param(block::kHideOption) != 0 &&
                             (o.Param(block::kHideAddress) < 0 || o.Param(block::kHideIndex) < 0);
    const bool moveMissing = o.Param(block::kMoveOption) != 0 &&
                             (o.Param(block::kMoveAddress) < 0 || o.Param(block::kMoveIndex) < 0);
    if (hideMissing || moveMissing)
        return controlError(kName, kLacksHideVar);
    const Rect& r = o.m_rcPosition;
    if (r.width() <= 0 || r.height() <= 0 || std::int64_t{r.width()} * r.height() <= 5)
        return controlError(kName, kTooSmall);
    return std::nullopt;
}

PicturePtr loadFrame(screen::ItemCompileArgs& a, const std::string& stored)
{
    if (!a.paint.loadPicture)
        return nullptr;
    const auto path = resolveStoredPath(a.paint.projectDir, stored);
    return path ? a.paint.loadPicture(*path) : nullptr;
}

} // namespace

void CompileDynamicPicture(screen::ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    o.m_rcPosition = o.m_rcPosition.normalized();
    // The frame number's address as the table has it now; a row that is gone refuses the
    // control below instead of sending the panel to address -1.
    if (a.paint.lookupVar && o.Param(block::kFrameIndex) >= 0) {
        const VarBinding v = a.paint.lookupVar(o.Param(block::kFrameIndex));
        o.SetParam(block::kFrameAddress, v.address);
        if (v.type)
            o.SetParam(block::kFrameType, *v.type);
    }
    if (auto refused = check(o)) {
        refuseControl(a, *refused);
        return;
    }
    if (!checkPlacement(a, o.m_rcPosition, kName))
        return;
    const bool userArea = o.Param(block::kUserArea) != 0;
    // Pictures in the user area are looked up on the panel: only the first is compiled.
    const std::size_t frames = userArea ? 1 : o.m_strFiles.size();
    if (frames > std::numeric_limits<std::uint16_t>::max()) {
        refuseControl(a, controlError(kName, kBadPicture));
        return;
    }
    const auto size = userArea ? kUserAreaRecordSize : kFrameTableAt + 4 * static_cast<std::uint32_t>(frames);
    const auto at = a.ctx.reserveHeader(size);
    if (!at)
        return;
    putItemHead(a, *at, 4);

    const bool keyed = (a.info.redrawFlags & screen::redraw::ValueBackground) != 0;
    const bool transparent = o.Param(block::kTransparent) != 0;
    const auto key = static_cast<ColorRef>(o.Param(block::kKey));
    const Rect r = o.m_rcPosition;
    for (std::size_t i = 0; i < frames; ++i) {
        if (a.ctx.aborted())
            return;
        const PicturePtr picture = i < o.m_strFiles.size() ? loadFrame(a, o.m_strFiles[i]) : nullptr;
        if (!picture) {
            refuseControl(a, controlError(kName, kBadPicture));
            return;
        }
        screen::PooledSurface held = workCanvas(a, true);
        Surface& first = held.get();
        if (transparent && !keyed)
            drawPictureKeyed(first, *picture, r, key);
        else
            drawPicture(first, *picture, r);
        if (keyed)
            keyPixels(first, r, key);
        const auto length = writeRectPicture(a, first, r);
        if (!length)
            return;
        putU32(a.ctx.header().bytes(), *at + kFrameTableAt + 4 * static_cast<std::uint32_t>(i),
               *length);
    }

    auto b = a.ctx.header().bytes();
    const std::int32_t hideBit = o.Param(block::kHideBit);
    std::uint8_t options = userArea ? 0x01 : 0x00;
    if (o.Param(block::kByFileName) != 0)
        options |= static_cast<std::uint8_t>(0x02 | (o.Param(block::kFrameType) & 0x0F) << 4);
    putU8(b, *at + 2, o.Param(block::kPlayMode));
    putU8(b, *at + 3, o.Param(block::kInitialCountdown));
    putU8(b, *at + 12, static_cast<std::uint8_t>(a.info.redrawFlags & 0xFF));
    putU8(b, *at + 13, 0);
    putU16(b, *at + 14, static_cast<std::uint16_t>(a.info.regionItem));
    putU16(b, *at + 16, static_cast<std::uint16_t>(frames));
    putU16(b, *at + 18, 0);
    putU32(b, *at + 20, static_cast<std::uint32_t>(o.Param(block::kFrameAddress)));
    putU8(b, *at + 24, static_cast<std::uint8_t>(hideBit & 7));
    putU8(b, *at + 25, options);
    putU16(b, *at + 26, static_cast<std::uint16_t>((o.Param(block::kHideAddress) & 0xFFFF) + (hideBit >> 3)));
    putU32(b, *at + 28, static_cast<std::uint32_t>(o.Param(block::kMoveAddress)));
}

} // namespace qv::items
