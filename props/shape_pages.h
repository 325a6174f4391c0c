#pragma once
// Page models of the plain shapes' appearance pages and of the position page, with their
// load (object -> page) and commit (page -> object) rules.
#include "model/params/blocks/shape_block.h"
#include "model/shape/draw_obj.h"
#include "props/block_fields.h"
#include "props/window_frame.h"

#include <filesystem>
#include <string>

namespace qv {

// Line and fill page ("线宽:", "线条色", "线型:", "不填充", "填充色"). A rectangle keeps its
// values in the block; every other shape in its pen and brush.
struct RectPage {
    std::uint32_t lineWidth = 0;  // 0..100
    std::uint32_t lineColor = 0;
    std::uint32_t lineType = 0;   // "普通", "3D" (rectangle only)
    std::uint32_t noFill = 0;
    std::uint32_t fillColor = 0;
    bool showFill = true;
    bool showLineType = false;
    static constexpr std::uint32_t kMaxLineWidth = 100;
};

inline constexpr BlockField<RectPage> kRectangleBlockFields[] = {
    {&RectPage::lineWidth, blocks::rectangle::kBorderWidth}, {&RectPage::lineColor, blocks::rectangle::kBorderColor},
    {&RectPage::lineType, blocks::rectangle::kBorder3d},     {&RectPage::noFill, blocks::rectangle::kTransparent},
    {&RectPage::fillColor, blocks::rectangle::kFillColor}};

inline constexpr const char8_t* kLineTypes[] = {u8"普通", u8"3D"};

RectPage LoadRectPage(const CDrawObj& obj);
void CommitRectPage(const RectPage& page, CDrawObj& obj);

// Picture page: the picture's host path, its transparency and its own size in pixels as the
// page's preview found it (0 while unknown).
struct PicturePage {
    std::filesystem::path path;
    std::filesystem::path loadedPath;  // what the page was opened with; unchanged: no copy
    std::uint32_t transparent = 0;
    std::uint32_t transparentColor = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// Text page: the text (GBK), transparency, text and background colours, font.
struct TextPage {
    std::string text;
    std::uint32_t transparent = 0;
    std::uint32_t textColor = 0;
    std::uint32_t backColor = 0;
    LogFont font;
};

TextPage LoadTextPage(const CDrawObj& obj);
void CommitTextPage(const TextPage& page, CDrawObj& obj);

// Position page ("位置"): edges in window-frame coordinates, lock, picture-size option.
struct PositionPage {
    Rect position;
    std::uint32_t locked = 0;
    std::uint32_t originalSize = 0;
    bool showOriginalSize = false;
};

// A line keeps its direction; every other shape is normalised first.
PositionPage LoadPositionPage(const CDrawObj& obj, const WindowFrame& frame, bool showOriginalSize);

} // namespace qv
