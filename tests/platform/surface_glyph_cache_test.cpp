// The per-thread glyph cache: fonts that draw alike share glyphs, and the cache stays under
// its cap whatever a file asks for.
#include "platform/surface/font_engine.h"
#include "platform/surface/surface.h"
#include "platform/text/gbk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

namespace qv {
namespace {

LogFont fontOfHeight(int h)
{
    LogFont f;
    f.lfHeight = h;
    f.lfWeight = 400;
    f.lfCharSet = 134;
    f.setFaceName("宋体");
    return f;
}

bool samePixels(const Surface& a, const Surface& b)
{
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.bits(), a.bits() + std::size_t(a.width()) * a.height(), b.bits());
}

// Runs on a thread of its own, so the cache starts empty.
template <class F>
void onFreshThread(F f)
{
    std::thread t(f);
    t.join();
}

TEST(GlyphCache, HeightsPastTheLargestCellShareOneSetOfGlyphs)
{
    onFreshThread([] {
        FontEngine& engine = FontEngine::forThisThread();
        const std::string text = "控件ABC";
        Surface first(700, 700), again(700, 700);
        first.selectFont(fontOfHeight(513));
        first.textOut(0, 0, text);
        const std::size_t held = engine.cachedGlyphBytes();
        EXPECT_GT(held, 0u);
        for (int h = 514; h <= 659; ++h) {
            again.selectFont(fontOfHeight(h % 2 ? h : -h));
            again.textOut(0, 0, text);
        }
        EXPECT_EQ(engine.cachedGlyphBytes(), held) << "every height past 512 draws the glyphs already held";
        EXPECT_TRUE(samePixels(again, first));
    });
}

TEST(GlyphCache, ManyLargeTextShapesKeepTheCacheUnderItsCap)
{
    onFreshThread([] {
        FontEngine& engine = FontEngine::forThisThread();
        Surface before(600, 600), after(600, 600);
        before.selectFont(fontOfHeight(520));
        after.selectFont(fontOfHeight(520));
        before.textOut(0, 0, "一丁");

        // 60 shapes of large text, each with characters of its own.
        Surface s(400, 400);
        for (int shape = 0; shape < 60; ++shape) {
            s.selectFont(fontOfHeight(513 + shape * 2));
            std::string utf8;
            for (int i = 0; i < 3; ++i) {
                const char32_t c = static_cast<char32_t>(0x4E10 + shape * 3 + i);
                utf8 += std::string{static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                                    static_cast<char>(0x80 | (c & 0x3F))};
            }
            s.textOut(-100, -50, utf8ToGbk(utf8).value_or("?"));
            ASSERT_LE(engine.cachedGlyphBytes(), FontEngine::glyphCacheCap()) << "shape " << shape;
        }
        // What was dropped draws again exactly as before.
        after.textOut(0, 0, "一丁");
        EXPECT_TRUE(samePixels(before, after));
    });
}

} // namespace
} // namespace qv
