#include "platform/surface/font_engine.h"

#include "platform/surface/font_files.h"
#include "platform/text/gbk.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <unordered_map>

namespace qv {
namespace {

// Heights and widths come from project files: keep them to what a panel can show.
constexpr int kMaxCell = 512;
constexpr int kDefaultCell = 16;

// Simulated italic: x' = x + 0.2 y, the platform's usual slant.
constexpr FT_Fixed kItalicShear = 0x3333;

// The cell and width a font is drawn at: every height past kMaxCell draws at kMaxCell.
int drawnCell(const LogFont& f)
{
    const long long raw = std::llabs(static_cast<long long>(f.lfHeight));
    return raw == 0 ? kDefaultCell : static_cast<int>(std::min<long long>(raw, kMaxCell));
}

int drawnWidth(const LogFont& f) { return std::clamp(f.lfWidth, 0, kMaxCell); }

bool isBold(const LogFont& f) { return f.lfWeight >= 600; }

// Fonts that draw alike share one key, so a file cannot grow the cache with heights that
// all draw the same.
std::string fontKey(const LogFont& f)
{
    const int values[] = {drawnCell(f), drawnWidth(f), isBold(f) ? 1 : 0, f.lfItalic ? 1 : 0};
    std::string k(reinterpret_cast<const char*>(values), sizeof values);
    k += f.faceName();
    return k;
}

// Glyphs kept per thread, least recently used dropped first.
constexpr std::size_t kGlyphCacheCap = 16u << 20;
constexpr std::size_t kGlyphOverhead = sizeof(GlyphBitmap) + 64;
// Font instances are small; past this many they are all dropped and made again on demand.
constexpr std::size_t kMaxInstances = 256;

struct Sizing {
    FT_Face face = nullptr;
    int ppemX = 0;
    int ppemY = 0;
    int baseline = 0;
    bool syntheticBold = false;
    bool fullWidthCjk = false; // ideographs and kana take exactly one em
};

} // namespace

struct FontEngine::Impl {
    FT_Library library = nullptr;
    std::map<std::pair<std::string, int>, FT_Face> faces; // nullptr: could not be opened

    struct Instance {
        std::uint64_t id = 0;
        int cell = kDefaultCell;
        bool italic = false;
        Sizing primary;
        Sizing fallback;    // the CJK face, for characters the primary lacks
    };
    std::unordered_map<std::string, Instance> instances;
    std::uint64_t nextInstanceId = 0; // never reused, so glyphs of dropped instances just age out

    struct CachedGlyph {
        std::uint64_t key;
        GlyphBitmap bitmap;
    };
    std::list<CachedGlyph> recent; // most recently used first
    std::unordered_map<std::uint64_t, std::list<CachedGlyph>::iterator> glyphs;
    std::size_t glyphBytes = 0;

    static std::size_t costOf(const GlyphBitmap& g) { return g.ink.capacity() + kGlyphOverhead; }

    const GlyphBitmap* findGlyph(std::uint64_t key)
    {
        const auto it = glyphs.find(key);
        if (it == glyphs.end())
            return nullptr;
        recent.splice(recent.begin(), recent, it->second);
        return &it->second->bitmap;
    }

    const GlyphBitmap& storeGlyph(std::uint64_t key, GlyphBitmap g)
    {
        glyphBytes += costOf(g);
        recent.push_front(CachedGlyph{key, std::move(g)});
        glyphs[key] = recent.begin();
        while (glyphBytes > kGlyphCacheCap && recent.size() > 1) {
            glyphBytes -= costOf(recent.back().bitmap);
            glyphs.erase(recent.back().key);
            recent.pop_back();
        }
        return recent.front().bitmap;
    }

    FT_Face openFace(const FontFile& file)
    {
        auto key = std::make_pair(std::string(file.path), file.faceIndex);
        auto it = faces.find(key);
        if (it != faces.end())
            return it->second;
        FT_Face face = nullptr;
        if (!library || FT_New_Face(library, file.path, file.faceIndex, &face) != 0)
            face = nullptr;
        faces.emplace(key, face);
        return face;
    }

    Sizing sizeFor(const FaceChoice& choice, bool bold, int cell, int lfWidth)
    {
        Sizing s;
        const bool useBoldFile = bold && !choice.syntheticBold;
        s.face = openFace(useBoldFile ? choice.bold : choice.regular);
        s.syntheticBold = bold && choice.syntheticBold;
        if (!s.face)
            return s;
        if (choice.role == FaceRole::Cjk) {
            s.fullWidthCjk = true;
            s.ppemY = cell;
            s.baseline = (cell * 7 + 4) / 8;
        } else {
            const int span = std::max(1, static_cast<int>(s.face->ascender - s.face->descender));
            s.ppemY = std::max(1, (cell * s.face->units_per_EM + span / 2) / span);
            s.baseline = (s.face->ascender * s.ppemY + s.face->units_per_EM / 2) / s.face->units_per_EM;
        }
        // lfWidth is the average (half-width) character width: twice it is the em width.
        s.ppemX = lfWidth > 0 ? std::clamp(2 * lfWidth * s.ppemY / cell, 1, 2 * kMaxCell) : s.ppemY;
        return s;
    }

    // The font asked for last and its instance: text asks once per character, and a key
    // made and hashed each time would cost more than the glyph look-up itself.
    LogFont lastFont;
    Instance* lastInstance = nullptr;

    Instance& instance(const LogFont& font)
    {
        if (lastInstance != nullptr && font == lastFont)
            return *lastInstance;
        Instance& in = findOrMakeInstance(font);
        lastFont = font;
        lastInstance = &in;
        return in;
    }

    Instance& findOrMakeInstance(const LogFont& font)
    {
        const std::string key = fontKey(font);
        auto it = instances.find(key);
        if (it != instances.end())
            return it->second;
        if (instances.size() >= kMaxInstances)
            instances.clear(); // lastInstance is replaced by the caller before any further use
        Instance in;
        in.id = nextInstanceId++;
        in.cell = std::max(1, drawnCell(font));
        in.italic = font.lfItalic != 0;
        const bool bold = isBold(font);
        const int lfWidth = drawnWidth(font);
        in.primary = sizeFor(chooseFace(font.faceName()), bold, in.cell, lfWidth);
        in.fallback = sizeFor(cjkFace(), bold, in.cell, lfWidth);
        return instances.emplace(key, in).first->second;
    }

    bool render(const Sizing& s, bool italic, int cell, char32_t cp, GlyphBitmap& out)
    {
        if (!s.face)
            return false;
        const FT_UInt index = FT_Get_Char_Index(s.face, cp);
        if (index == 0)
            return false;
        if (FT_Set_Pixel_Sizes(s.face, static_cast<FT_UInt>(s.ppemX), static_cast<FT_UInt>(s.ppemY)) != 0)
            return false;
        FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME;
        if (italic) {
            FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
            FT_Set_Transform(s.face, &shear, nullptr);
            flags |= FT_LOAD_NO_BITMAP; // strikes cannot be slanted
        } else {
            FT_Set_Transform(s.face, nullptr, nullptr);
        }
        if (FT_Load_Glyph(s.face, index, flags) != 0)
            return false;
        const FT_GlyphSlot g = s.face->glyph;
        if (g->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(g, FT_RENDER_MODE_MONO) != 0)
            return false;
        const FT_Bitmap& bm = g->bitmap;
        const int bold = s.syntheticBold ? 1 : 0;
        out.advance = static_cast<int>((g->advance.x + 32) >> 6) + bold;
        if (s.fullWidthCjk && cp >= 0x2E80)
            out.advance = s.ppemX;
        // Keep the ink that falls inside the cell rows and, upright, inside the advance.
        const int inkTop = s.baseline - g->bitmap_top;
        const int row0 = std::max(0, -inkTop);
        const int row1 = std::min(static_cast<int>(bm.rows), cell - inkTop);
        const int w = static_cast<int>(bm.width) + bold;
        out.left = g->bitmap_left;
        out.top = inkTop + row0;
        out.width = w;
        out.rows = std::max(0, row1 - row0);
        out.ink.assign(static_cast<std::size_t>(out.width) * out.rows, 0);
        for (int r = 0; r < out.rows; ++r) {
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(row0 + r) * bm.pitch;
            for (int c = 0; c < static_cast<int>(bm.width); ++c) {
                if (src[c >> 3] & (0x80 >> (c & 7))) {
                    out.ink[static_cast<std::size_t>(r) * w + c] = 1;
                    if (bold)
                        out.ink[static_cast<std::size_t>(r) * w + c + 1] = 1;
                }
            }
        }
        if (!italic) {
            // Cut horizontally to the character's own advance.
            for (int r = 0; r < out.rows; ++r)
                for (int c = 0; c < w; ++c)
                    if (out.left + c < 0 || out.left + c >= out.advance)
                        out.ink[static_cast<std::size_t>(r) * w + c] = 0;
        }
        return true;
    }
};

FontEngine::FontEngine() : impl_(new Impl)
{
    if (FT_Init_FreeType(&impl_->library) != 0)
        impl_->library = nullptr;
}

FontEngine::~FontEngine()
{
    for (auto& [key, face] : impl_->faces)
        if (face)
            FT_Done_Face(face);
    if (impl_->library)
        FT_Done_FreeType(impl_->library);
    delete impl_;
}

FontEngine& FontEngine::forThisThread()
{
    thread_local FontEngine engine;
    return engine;
}

FontMetrics FontEngine::metrics(const LogFont& font)
{
    const Impl::Instance& in = impl_->instance(font);
    FontMetrics m;
    m.cellHeight = in.cell;
    m.baseline = in.primary.face ? in.primary.baseline : in.fallback.baseline;
    return m;
}

const GlyphBitmap& FontEngine::glyph(const LogFont& font, char32_t codepoint)
{
    const Impl::Instance& in = impl_->instance(font);
    const std::uint64_t key = (in.id << 32) | codepoint;
    if (const GlyphBitmap* hit = impl_->findGlyph(key))
        return *hit;
    GlyphBitmap g;
    if (!impl_->render(in.primary, in.italic, in.cell, codepoint, g)) {
        // The fallback face draws in the primary's cell, on the primary's baseline.
        Sizing fb = in.fallback;
        if (in.primary.face)
            fb.baseline = in.primary.baseline;
        if (!impl_->render(fb, in.italic, in.cell, codepoint, g)) {
            g = GlyphBitmap{};
            g.advance = codepoint < 0x80 ? in.cell / 2 : in.cell;
        }
    }
    return impl_->storeGlyph(key, std::move(g));
}

std::size_t FontEngine::cachedGlyphBytes() const { return impl_->glyphBytes; }

std::size_t FontEngine::glyphCacheCap() { return kGlyphCacheCap; }

std::u32string decodeGbk(std::string_view gbk)
{
    std::u32string out;
    bool ascii = true;
    for (unsigned char c : gbk)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        out.assign(gbk.begin(), gbk.end());
        return out;
    }
    const std::string utf8 = gbkToUtf8Lossy(gbk);
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > utf8.size())
            len = 1;
        char32_t cp = len == 1 ? (c < 0x80 ? c : 0xFFFD) : (c & (0x7F >> len));
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

} // namespace qv
