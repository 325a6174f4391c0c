// Text on the Surface: TextOut and DrawText with the layouts the painters use.
#include "platform/surface/font_engine.h"
#include "platform/surface/surface.h"

#include <algorithm>

namespace qv {
namespace {

bool isWide(char32_t c)
{
    return c >= 0x2E80;
}

bool isLineBreak(char32_t c)
{
    return c == U'\r' || c == U'\n';
}

struct Layout {
    FontEngine& engine;
    const LogFont& font;
    bool expandTabs = false;

    int advance(char32_t c)
    {
        if (c == U'\t') {
            const int space = engine.glyph(font, U' ').advance;
            return expandTabs ? 8 * space : space;
        }
        if (c < 0x20)
            return 0;
        return engine.glyph(font, c).advance;
    }

    std::int64_t width(std::u32string_view line)
    {
        std::int64_t w = 0;
        for (char32_t c : line)
            w += advance(c);
        return w;
    }
};

std::vector<std::u32string_view> splitParagraphs(std::u32string_view text)
{
    std::vector<std::u32string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i]))
            continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
            ++i;
        start = i + 1;
    }
    out.push_back(text.substr(start));
    return out;
}

// Breaks one paragraph into lines no wider than `maxWidth`: after spaces and between
// two-byte characters; a word wider than the line is cut between characters only when
// `breakWords` (the edit-control rule), otherwise it overhangs.
void wrapParagraph(std::u32string_view para, int maxWidth, bool breakWords, Layout& lay,
                   std::vector<std::u32string_view>& lines)
{
    std::size_t start = 0;
    while (start < para.size()) {
        int w = 0;
        std::size_t i = start;
        std::size_t lastBreak = std::u32string_view::npos; // line may end before index lastBreak
        for (; i < para.size(); ++i) {
            const char32_t c = para[i];
            if (i > start && (c == U' ' || isWide(c) || isWide(para[i - 1])))
                lastBreak = i;
            const int a = lay.advance(c);
            if (w + a > maxWidth && i > start && c != U' ')
                break;
            w += a;
        }
        if (i >= para.size()) {
            lines.push_back(para.substr(start));
            break;
        }
        std::size_t end = i;
        if (lastBreak != std::u32string_view::npos && lastBreak > start) {
            end = lastBreak;
        } else if (!breakWords) {
            // Keep the whole word on this line.
            while (end < para.size() && para[end] != U' ' && !isWide(para[end]))
                ++end;
        }
        std::size_t lineEnd = end;
        while (lineEnd > start && para[lineEnd - 1] == U' ')
            --lineEnd;
        lines.push_back(para.substr(start, lineEnd - start));
        start = end;
        while (start < para.size() && para[start] == U' ')
            ++start;
    }
    if (para.empty())
        lines.push_back(para);
}

std::int64_t centreOffset(std::int64_t space, std::int64_t used)
{
    return (space - used) >> 1; // arithmetic shift: rounds toward minus infinity like the platform
}

} // namespace

Size Surface::textExtent(std::string_view gbk) const
{
    FontEngine& engine = FontEngine::forThisThread();
    Layout lay{engine, font_};
    const std::u32string text = decodeGbk(gbk);
    return {saturateToInt(lay.width(text)), engine.metrics(font_).cellHeight};
}

void Surface::drawTextLine(std::int64_t x, std::int64_t top, std::u32string_view line, const Rect* clip)
{
    FontEngine& engine = FontEngine::forThisThread();
    const FontMetrics m = engine.metrics(font_);
    Layout lay{engine, font_};
    const Rect savedClip = clip_;
    if (clip)
        clip_ = clip_.intersected(*clip);
    // Positions come from files and may lie anywhere in (or past) the int range: they are
    // worked out in 64 bits and only what meets the clip reaches the pixels. The line's
    // width only matters to the background box and the rules.
    const bool ruled = font_.lfUnderline || font_.lfStrikeOut;
    const std::int64_t lineWidth = bkMode_ == OPAQUE || ruled ? lay.width(line) : 0;
    if (bkMode_ == OPAQUE)
        fillRect(Rect::saturated(x, top, x + lineWidth, top + m.cellHeight), bkColor_);
    const std::uint32_t ink = toPixel(textColor_);
    std::int64_t pen = x;
    for (char32_t c : line) {
        if (c < 0x20) {
            pen += lay.advance(c);
        } else {
            // Only the glyph rows and columns inside the clip are visited.
            const GlyphBitmap& g = engine.glyph(font_, c);
            const std::int64_t gx = pen + g.left, gy = top + g.top;
            const int r0 = static_cast<int>(std::clamp<std::int64_t>(clip_.top - gy, 0, g.rows));
            const int r1 = static_cast<int>(std::clamp<std::int64_t>(clip_.bottom - gy, 0, g.rows));
            const int c0 = static_cast<int>(std::clamp<std::int64_t>(clip_.left - gx, 0, g.width));
            const int c1 = static_cast<int>(std::clamp<std::int64_t>(clip_.right - gx, 0, g.width));
            // Rows and columns are already inside the clip: the pixels are written directly.
            for (int r = r0; r < r1; ++r) {
                const std::uint8_t* row = g.ink.data() + static_cast<std::size_t>(r) * g.width;
                std::uint32_t* out = pixels_.data() + static_cast<std::size_t>(gy + r) * width_ + (gx + c0);
                for (int col = c0; col < c1; ++col, ++out)
                    if (row[col])
                        *out = ink;
            }
            pen += g.advance;
        }
    }
    const auto rule = [&](std::int64_t y) {
        if (y >= clip_.top && y < clip_.bottom)
            fillSpan(static_cast<int>(y), saturateToInt(x), saturateToInt(x + lineWidth - 1), ink);
    };
    if (font_.lfUnderline)
        rule(top + std::min(m.baseline + 1, m.cellHeight - 1));
    if (font_.lfStrikeOut)
        rule(top + m.baseline - m.cellHeight / 4);
    clip_ = savedClip;
}

void Surface::textOut(int x, int y, std::string_view gbk)
{
    FontEngine& engine = FontEngine::forThisThread();
    const FontMetrics m = engine.metrics(font_);
    std::u32string text = decodeGbk(gbk);
    Layout lay{engine, font_};
    const std::int64_t w = lay.width(text);
    std::int64_t left = x, top = y;
    const unsigned horiz = textAlign_ & 6u;
    if (horiz == TA_CENTER)
        left -= w / 2;
    else if (horiz == TA_RIGHT)
        left -= w;
    if ((textAlign_ & TA_BASELINE) == TA_BASELINE)
        top -= m.baseline;
    else if (textAlign_ & TA_BOTTOM)
        top -= m.cellHeight;
    drawTextLine(left, top, text, nullptr);
}

int Surface::drawText(std::string_view gbk, Rect& r, unsigned format)
{
    FontEngine& engine = FontEngine::forThisThread();
    const FontMetrics m = engine.metrics(font_);
    Layout lay{engine, font_, (format & DT_EXPANDTABS) != 0};
    const std::u32string text = decodeGbk(gbk);

    std::vector<std::u32string_view> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(text);
    } else {
        for (std::u32string_view para : splitParagraphs(text)) {
            if (format & DT_WORDBREAK)
                wrapParagraph(para, std::max(0, r.width()), (format & DT_EDITCONTROL) != 0, lay, lines);
            else
                lines.push_back(para);
        }
    }
    const int h = m.cellHeight;
    const std::int64_t total = std::int64_t{h} * static_cast<std::int64_t>(lines.size());

    if (format & DT_CALCRECT) {
        std::int64_t widest = 0;
        for (auto line : lines)
            widest = std::max(widest, lay.width(line));
        r.right = saturateToInt(r.left + widest);
        r.bottom = saturateToInt(r.top + total);
        return saturateToInt(total);
    }

    std::int64_t y = r.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = r.top + centreOffset(r.height64(), h);
        else if (format & DT_BOTTOM)
            y = r.bottom - h;
    }
    const Rect clip = r.normalized();
    const bool clipped = (format & DT_NOCLIP) == 0;
    for (std::size_t i = 0; i < lines.size(); ++i, y += h) {
        // An edit control never shows a partly visible last line (the first line always shows).
        if ((format & DT_EDITCONTROL) && i > 0 && y + h > r.bottom)
            break;
        if (clipped && y >= clip.bottom)
            break;
        std::u32string_view line = lines[i];
        std::int64_t x = r.left;
        if (format & DT_CENTER)
            x = r.left + centreOffset(r.width64(), lay.width(line));
        else if (format & DT_RIGHT)
            x = r.right - lay.width(line);
        drawTextLine(x, y, line, clipped ? &clip : nullptr);
    }
    return saturateToInt(total);
}

} // namespace qv
