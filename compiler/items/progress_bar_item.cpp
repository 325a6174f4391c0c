#include "compiler/items/progress_bar_item.h"

#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/screen/control_regions.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/paint/controls/curve_bar_table_painters.h"
#include "model/document/draw_doc.h"
#include "model/paint/paint_dispatch.h"
#include "model/params/blocks/progress_bar_block.h"

namespace qv::items {

using namespace qv::image;
namespace pb = blocks::progress_bar;

void CompileProgressBar(screen::ItemCompileArgs& a)
{
    CDrawObj& o = a.control;
    if (o.Param(pb::kValueAddress) < 0 || o.Param(pb::kValueIndex) < 0)
        return refuseControl(a, "编译出错!!\"进度条\"控件的基本控制属性缺乏HMI变量");
    const bool hide = o.Param(pb::kHideOption) != 0;
    if (hide && (o.Param(pb::kHideAddress) < 0 || o.Param(pb::kHideIndex) < 0))
        return refuseControl(a, "编译出错!!\"进度条\"控件的隐藏控制属性缺乏HMI变量");
    const Rect r = o.m_rcPosition.normalized();
    if (!sizeAtLeast(r, 1, 6))
        return refuseControl(a, "编译出错!!\"进度条\"控件的长宽太小");
    if (!checkPlacement(a, r, "进度条"))
        return;

    const bool regionBackground = (a.info.redrawFlags & screen::redraw::ValueBackground) != 0;
    std::optional<std::uint32_t> picture;
    if (regionBackground) {
        picture = 0xFFFFFFFFu;
    } else {
        screen::PooledSurface heldCanvas = workCanvas(a, true);
        Surface& canvas = heldCanvas.get();
        screen::PooledSurface heldWork = paperLike(a, canvas);
        Surface& work = heldWork.get();
        // No second work surface: the painter draws the frame and the empty bar only.
        PaintObject(o, PaintSurfaces{canvas, &work, nullptr}, 1, a.paint);
        picture = writeRectPicture(a, canvas, r);
        if (!picture)
            return;
    }

    const auto item = a.ctx.reserveHeader(kProgressBarItemSize);
    if (!item)
        return;
    const auto b = headerBytes(a);
    const std::uint32_t at = *item;
    const std::int32_t hideBit = o.Param(pb::kHideBit);
    putU8(b, at + 0, kProgressBarItemType);
    putU8(b, at + 1, 2);
    putU8(b, at + 2, o.Param(pb::kValueType));
    putU8(b, at + 3, o.Param(pb::kBarDirection));
    putU16(b, at + 4, static_cast<std::uint16_t>(panelX(a, r.left)));
    putU16(b, at + 6, static_cast<std::uint16_t>(panelY(a, r.top)));
    putU16(b, at + 8, static_cast<std::uint16_t>(r.width()));
    putU16(b, at + 10, static_cast<std::uint16_t>(r.height()));
    putU32(b, at + 12, tiles::toRgb565(static_cast<ColorRef>(o.Param(pb::kBarColor))));
    putU32(b, at + 16, static_cast<std::uint32_t>(o.Param(pb::kValueAddress)));
    if (picture)
        putU32(b, at + 20, *picture);
    putU32(b, at + 24, static_cast<std::uint32_t>(o.Param(pb::kMaximum)));
    putU32(b, at + 28, static_cast<std::uint32_t>(o.Param(pb::kMinimum)));
    putU8(b, at + 32, static_cast<std::uint8_t>(hideBit & 7));
    putU16(b, at + 34, bitByteAddress(o.Param(pb::kHideAddress), hideBit));
    std::uint16_t flags = a.info.redrawFlags;
    if (o.Param(pb::kReverse) != 0)
        flags |= 0x20;
    putU16(b, at + 36, flags);
    putU16(b, at + 38, static_cast<std::uint16_t>(a.info.regionItem));
}

} // namespace qv::items
