#include "compiler/items/area_item.h"

#include "compiler/compile/compile_texts.h"
#include "compiler/image/le_bytes.h"
#include "compiler/items/item_support.h"
#include "compiler/items/font_tables.h"
#include "compiler/items/state_picture_items.h"
#include "compiler/tiles/pixel_stream.h"
#include "model/document/draw_doc.h"
#include "model/params/blocks/area_block.h"
#include "model/paint/control_font_registry.h"
#include "platform/files/stored_path.h"
#include "platform/surface/surface.h"

#include <array>
#include <cstdlib>

namespace qv::items {
namespace {

using namespace qv::image;

constexpr const char* kName = "区域控制";
// A cell higher than this would make tables of hundreds of megabytes; no panel font is.
constexpr const char* kFontTooLarge = "控件的字体太大";
constexpr int kMaxCellHeight = 255;
constexpr std::uint8_t kItemType = 12;
constexpr std::uint32_t kHeadSize = 12;
constexpr std::uint32_t kEditFormSize = 48;
constexpr std::uint8_t kEditForm = blocks::area::kCandidateBar;
constexpr std::uint8_t kHalfShared = 0x40, kFullShared = 0x80;
constexpr std::int32_t kHalfFontKey = 2, kFullFontKey = 4;
constexpr int kHalfWidthGlyphs = 128;
constexpr std::array<const char*, 4> kArrowPictures{"images\\sys\\up0.bmp", "images\\sys\\up1.bmp",
                                                    "images\\sys\\down0.bmp", "images\\sys\\down1.bmp"};

std::uint8_t windowIndex(const compile::CompileInput& in, const std::string& name)
{
    for (std::size_t i = 0; i < in.screens.size(); ++i)
        if (in.screens[i].fileName == name)
            return static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < in.subWindows.size(); ++i)
        if (in.subWindows[i].fileName == name)
            return static_cast<std::uint8_t>(i);
    return 0xFF;
}

std::uint16_t panelColor(ColorRef c)
{
    const std::uint16_t v = tiles::toRgb565(c);
    return v == 0xFFFF ? 0xFFFE : v;   // 0xFFFF is the panel's key
}

void writeArrowPictures(screen::ItemCompileArgs& a, Surface& dc, const Rect& cell, std::uint32_t at)
{
    for (std::size_t i = 0; i < kArrowPictures.size(); ++i) {
        if (!a.paint.loadPicture)
            return;
        const auto path = resolveStoredPath(a.paint.baseDir.empty() ? std::filesystem::current_path() : a.paint.baseDir,
                                            kArrowPictures[i]);
        const PicturePtr picture = path ? a.paint.loadPicture(*path) : nullptr;
        if (!picture)
            continue;   // a missing arrow leaves its length 0
        drawPicture(dc, *picture, cell);
        // The arrows are not counted among the start map's pictures.
        const auto length = writeRectPixels(a, dc, cell);
        if (!length)
            return;
        putU32(a.ctx.header().bytes(), at + 24 + 4 * static_cast<std::uint32_t>(i),
               *length);
    }
}

void compileEditForm(screen::ItemCompileArgs& a, ControlFontRegistry& fonts, std::uint32_t at)
{
    CDrawObj& o = a.control;
    const std::int64_t height = o.m_logfont.lfHeight == 0 ? 16 : std::llabs(std::int64_t{o.m_logfont.lfHeight});
    const int h = static_cast<int>(std::min<std::int64_t>(height, kMaxCellHeight + 1));
    const int fullWidth = (h + 1) & ~1;
    const int halfWidth = (h + 1) / 2;
    const GlyphCell half = glyphCell(a.ctx, halfWidth, h);
    const GlyphCell full = glyphCell(a.ctx, fullWidth, h);

    auto b = a.ctx.header().bytes();
    for (std::uint32_t off = 24; off < 40; off += 4)
        putU32(b, at + off, 0);
    putU16(b, at + 40, panelColor(static_cast<ColorRef>(o.Param(blocks::area::kTextColor))));
    putU16(b, at + 42, panelColor(static_cast<ColorRef>(o.Param(blocks::area::kBackColor))));
    putU16(b, at + 12, static_cast<std::uint16_t>(fullWidth));
    putU16(b, at + 14, static_cast<std::uint16_t>(h));
    putU16(b, at + 44, static_cast<std::uint16_t>(half.slot));
    putU16(b, at + 46, static_cast<std::uint16_t>(full.slot));

    Surface dc = glyphSurface(o.m_logfont, full);
    std::uint8_t shared = 0;
    const auto halfShared = sharedOrWrittenTable(a, fonts, dc, kHalfFontKey, half, kHalfWidthGlyphs,
                                                 [](int g) { return std::string(1, static_cast<char>(g)); }, at + 16);
    if (!halfShared)
        return;
    shared |= *halfShared ? kHalfShared : 0;
    const auto fullShared =
        sharedOrWrittenTable(a, fonts, dc, kFullFontKey, full, kFullWidthGlyphs, fullWidthGlyph, at + 20);
    if (!fullShared)
        return;
    shared |= *fullShared ? kFullShared : 0;
    putU8(b, at + 3, shared);
    writeArrowPictures(a, dc, Rect{0, 0, fullWidth, h}, at);
}

} // namespace

void CompileAreaControl(screen::ItemCompileArgs& a, ControlFontRegistry& fonts)
{
    CDrawObj& o = a.control;
    o.m_rcPosition = o.m_rcPosition.normalized();
    const Rect& r = o.m_rcPosition;
    if (!sizeAtLeast(r, 6, 36)) {
        refuseControl(a, controlError(kName, kTooSmall));
        return;
    }
    if (!checkPlacement(a, r, kName))
        return;
    const std::uint8_t code = o.Param(blocks::area::kBehaviour);
    if (code == kEditForm && o.m_logfont.lfHeight != 0 &&
        std::llabs(std::int64_t{o.m_logfont.lfHeight}) > kMaxCellHeight) {
        refuseControl(a, controlError(kName, kFontTooLarge));
        return;
    }
    const auto at = a.ctx.reserveHeader(code == kEditForm ? kEditFormSize : kHeadSize);
    if (!at)
        return;
    putItemHead(a, *at, kItemType);
    putU8(a.ctx.header().bytes(), *at + 2, code);
    std::uint8_t argument = 0;
    if (code == blocks::area::kRightClickMenu)
        argument = windowIndex(a.ctx.input(), o.m_strName);
    else if (code == blocks::area::kDragsWindow)
        argument = o.Param(blocks::area::kMouseDetect) != 0 ? 1 : 0;
    putU8(a.ctx.header().bytes(), *at + 3, argument);
    if (code == kEditForm)
        compileEditForm(a, fonts, *at);
}

void installAreaControlItem(screen::ItemCompilerTable& table, ControlFontRegistry& fonts)
{
    table.install(ShapeKind::AreaControl, [&fonts](screen::ItemCompileArgs& a) { CompileAreaControl(a, fonts); });
}

} // namespace qv::items
