#include "platform/picture/wmf_player.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <cstdint>
#include <vector>

namespace qv {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kHeaderSize = 18;
constexpr int kMaxObjects = 4096;
constexpr std::size_t kMaxSavedStates = 64; // SaveDC nesting kept; real pictures use a few levels
constexpr int kMaxNaturalSide = 4096;

// Record function codes the Surface can play.
enum Function : std::uint16_t {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kRestoreDc = 0x0127,
    kSetBkColor = 0x0201,
    kSetBkMode = 0x0102,
    kSetTextColor = 0x0209,
    kSetTextAlign = 0x012E,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kMoveTo = 0x0214,
    kLineTo = 0x0213,
    kRectangle = 0x041B,
    kEllipse = 0x0418,
    kRoundRect = 0x061C,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kSetPixel = 0x041F,
    kTextOut = 0x0521,
    kCreatePen = 0x02FA,
    kCreateBrush = 0x02FC,
    kCreateFont = 0x02FB,
    kSelectObject = 0x012D,
    kDeleteObject = 0x01F0,
};

// Records that create an object the Surface cannot use still take a slot in the table.
constexpr std::uint16_t kOtherObjectCreators[] = {0x00F7 /*palette*/, 0x01F9 /*pattern brush*/,
                                                  0x0142 /*DIB pattern brush*/, 0x06FF /*region*/};

class Reader {
public:
    explicit Reader(std::string_view b) : b_(b) {}
    bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    std::uint16_t u16(std::size_t at) const
    {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(b_[at]) | (static_cast<unsigned char>(b_[at + 1]) << 8));
    }
    std::int16_t i16(std::size_t at) const { return static_cast<std::int16_t>(u16(at)); }
    std::uint32_t u32(std::size_t at) const { return u16(at) | (static_cast<std::uint32_t>(u16(at + 2)) << 16); }
    std::string_view bytes(std::size_t at, std::size_t n) const { return b_.substr(at, n); }
    std::size_t size() const { return b_.size(); }

private:
    std::string_view b_;
};

struct Layout {
    std::size_t recordsAt = 0;
    bool placeable = false;
    int bboxLeft = 0, bboxTop = 0, bboxRight = 0, bboxBottom = 0, inch = 0;
    int objectCount = 0;
};

std::optional<Layout> readLayout(const Reader& r)
{
    Layout l;
    std::size_t at = 0;
    if (r.has(0, 4) && r.u32(0) == kPlaceableKey) {
        if (!r.has(0, kPlaceableSize))
            return std::nullopt;
        l.placeable = true;
        l.bboxLeft = r.i16(6);
        l.bboxTop = r.i16(8);
        l.bboxRight = r.i16(10);
        l.bboxBottom = r.i16(12);
        l.inch = r.u16(14);
        at = kPlaceableSize;
    }
    if (!r.has(at, kHeaderSize))
        return std::nullopt;
    const std::uint16_t type = r.u16(at);
    const std::uint16_t headerWords = r.u16(at + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return std::nullopt;
    l.objectCount = std::min<int>(r.u16(at + 10), kMaxObjects);
    l.recordsAt = at + kHeaderSize;
    return l;
}

struct Object {
    enum Kind { None, PenObj, BrushObj, FontObj } kind = None;
    Pen pen;
    Brush brush;
    LogFont font;
};

struct DcState {
    Pen pen;
    Brush brush;
    LogFont font;
    ColorRef text = 0, bk = 0x00FFFFFF;
    int bkMode = OPAQUE;
    unsigned align = 0;
    int orgX = 0, orgY = 0, extX = 1, extY = 1;
};

class Player {
public:
    Player(const Reader& r, const Layout& l, Surface& s, const Rect& dst) : r_(r), layout_(l), s_(s), dst_(dst)
    {
        objects_.resize(static_cast<std::size_t>(l.objectCount));
        if (l.placeable) {
            st_.orgX = l.bboxLeft;
            st_.orgY = l.bboxTop;
            st_.extX = l.bboxRight - l.bboxLeft;
            st_.extY = l.bboxBottom - l.bboxTop;
        } else {
            st_.extX = dst.width();
            st_.extY = dst.height();
        }
        if (st_.extX == 0)
            st_.extX = 1;
        if (st_.extY == 0)
            st_.extY = 1;
    }

    void run()
    {
        const Rect savedClip = s_.clipRect();
        s_.setClipRect(s_.clipRect().intersected(dst_.normalized()));
        const Pen oldPen = s_.selectPen(Pen{});
        const Brush oldBrush = s_.selectBrush(Brush{});
        const LogFont oldFont = s_.selectFont(LogFont{});
        const ColorRef oldText = s_.setTextColor(0), oldBk = s_.setBkColor(0x00FFFFFF);
        const int oldMode = s_.setBkMode(OPAQUE);
        const unsigned oldAlign = s_.setTextAlign(0);

        std::size_t at = layout_.recordsAt;
        while (r_.has(at, 6)) {
            const std::uint64_t words = r_.u32(at);
            if (words < 3 || words * 2 > r_.size() - at)
                break;                   // a record that claims more than is there ends play
            const std::uint16_t fn = r_.u16(at + 4);
            if (fn == kEof)
                break;
            play(fn, at + 6, static_cast<std::size_t>(words * 2 - 6));
            at += static_cast<std::size_t>(words * 2);
        }

        s_.selectPen(oldPen);
        s_.selectBrush(oldBrush);
        s_.selectFont(oldFont);
        s_.setTextColor(oldText);
        s_.setBkColor(oldBk);
        s_.setBkMode(oldMode);
        s_.setTextAlign(oldAlign);
        s_.setClipRect(savedClip);
    }

private:
    int mapX(int x) const
    {
        return saturateToInt(dst_.left + std::int64_t{x - st_.orgX} * dst_.width64() / st_.extX);
    }
    int mapY(int y) const
    {
        return saturateToInt(dst_.top + std::int64_t{y - st_.orgY} * dst_.height64() / st_.extY);
    }
    int mapW(int w) const
    {
        return saturateToInt(std::abs(std::int64_t{w} * dst_.width64() / st_.extX));
    }
    int mapH(int h) const
    {
        return saturateToInt(std::abs(std::int64_t{h} * dst_.height64() / st_.extY));
    }

    void apply()
    {
        s_.selectPen(st_.pen);
        s_.selectBrush(st_.brush);
        s_.selectFont(st_.font);
        s_.setTextColor(st_.text);
        s_.setBkColor(st_.bk);
        s_.setBkMode(st_.bkMode);
        s_.setTextAlign(st_.align);
    }

    void addObject(const Object& o)
    {
        for (auto& slot : objects_)
            if (!slot.has_value()) {
                slot = o;
                return;
            }
    }

    std::vector<Point> points(std::size_t p, std::size_t n)
    {
        if (n < 2)
            return {};
        const std::size_t count = r_.u16(p);
        if (count * 4 + 2 > n)
            return {};
        std::vector<Point> pts(count);
        for (std::size_t i = 0; i < count; ++i)
            pts[i] = {mapX(r_.i16(p + 2 + 4 * i)), mapY(r_.i16(p + 4 + 4 * i))};
        return pts;
    }

    Rect rectParams(std::size_t p) const // bottom, right, top, left
    {
        return {mapX(r_.i16(p + 6)), mapY(r_.i16(p + 4)), mapX(r_.i16(p + 2)), mapY(r_.i16(p))};
    }

    void play(std::uint16_t fn, std::size_t p, std::size_t n)
    {
        switch (fn) {
        case kSaveDc:
            // A file can repeat SaveDC millions of times; deeper saves are not kept, and
            // the restores that match them leave the state as it is.
            if (saved_.size() < kMaxSavedStates)
                saved_.push_back(st_);
            else
                ++unsavedDepth_;
            return;
        case kRestoreDc:
            if (unsavedDepth_ > 0) {
                --unsavedDepth_;
            } else if (!saved_.empty()) {
                st_ = saved_.back();
                saved_.pop_back();
            }
            return;
        case kSetBkColor: if (n >= 4) st_.bk = r_.u32(p) & 0x00FFFFFF; return;
        case kSetBkMode: if (n >= 2) st_.bkMode = r_.u16(p) == TRANSPARENT ? TRANSPARENT : OPAQUE; return;
        case kSetTextColor: if (n >= 4) st_.text = r_.u32(p) & 0x00FFFFFF; return;
        case kSetTextAlign: if (n >= 2) st_.align = r_.u16(p); return;
        case kSetWindowOrg:
            if (n >= 4) {
                st_.orgY = r_.i16(p);
                st_.orgX = r_.i16(p + 2);
            }
            return;
        case kSetWindowExt:
            if (n >= 4 && r_.i16(p) != 0 && r_.i16(p + 2) != 0) {
                st_.extY = r_.i16(p);
                st_.extX = r_.i16(p + 2);
            }
            return;
        case kCreatePen:
            if (n >= 10) {
                Object o;
                o.kind = Object::PenObj;
                o.pen = {r_.u16(p) & 0xF, std::max(1, mapW(r_.i16(p + 2))), r_.u32(p + 6) & 0x00FFFFFF};
                if (r_.i16(p + 2) <= 1)
                    o.pen.width = 1;
                addObject(o);
            } else {
                addObject({});
            }
            return;
        case kCreateBrush:
            if (n >= 6) {
                Object o;
                o.kind = Object::BrushObj;
                o.brush = {r_.u16(p) == BS_NULL ? BS_NULL : BS_SOLID, r_.u32(p + 2) & 0x00FFFFFF};
                addObject(o);
            } else {
                addObject({});
            }
            return;
        case kCreateFont:
            if (n >= 18) {
                Object o;
                o.kind = Object::FontObj;
                o.font.lfHeight = mapH(r_.i16(p));
                o.font.lfWidth = mapW(r_.i16(p + 2));
                o.font.lfWeight = r_.i16(p + 8);
                o.font.lfItalic = static_cast<std::uint8_t>(r_.bytes(p + 10, 1)[0]);
                o.font.lfUnderline = static_cast<std::uint8_t>(r_.bytes(p + 11, 1)[0]);
                o.font.lfStrikeOut = static_cast<std::uint8_t>(r_.bytes(p + 12, 1)[0]);
                o.font.lfCharSet = static_cast<std::uint8_t>(r_.bytes(p + 13, 1)[0]);
                const std::string_view face = r_.bytes(p + 18, std::min<std::size_t>(n - 18, 32));
                o.font.setFaceName(std::string(face.substr(0, face.find('\0'))));
                addObject(o);
            } else {
                addObject({});
            }
            return;
        case kSelectObject:
            if (n >= 2) {
                const std::size_t i = r_.u16(p);
                if (i < objects_.size() && objects_[i]) {
                    const Object& o = *objects_[i];
                    if (o.kind == Object::PenObj) st_.pen = o.pen;
                    if (o.kind == Object::BrushObj) st_.brush = o.brush;
                    if (o.kind == Object::FontObj) st_.font = o.font;
                }
            }
            return;
        case kDeleteObject:
            if (n >= 2 && r_.u16(p) < objects_.size())
                objects_[r_.u16(p)].reset();
            return;
        default: break;
        }
        if (std::find(std::begin(kOtherObjectCreators), std::end(kOtherObjectCreators), fn) != std::end(kOtherObjectCreators)) {
            addObject({});
            return;
        }
        apply();
        switch (fn) {
        case kMoveTo: if (n >= 4) s_.moveTo(mapX(r_.i16(p + 2)), mapY(r_.i16(p))); return;
        case kLineTo: if (n >= 4) s_.lineTo(mapX(r_.i16(p + 2)), mapY(r_.i16(p))); return;
        case kRectangle: if (n >= 8) s_.rectangle(rectParams(p)); return;
        case kEllipse: if (n >= 8) s_.ellipse(rectParams(p)); return;
        case kRoundRect: if (n >= 12) s_.roundRect(rectParams(p + 4), mapW(r_.i16(p + 2)), mapH(r_.i16(p))); return;
        case kPolygon: s_.polygon(points(p, n)); return;
        case kPolyline: {
            const auto pts = points(p, n);
            s_.polyline(pts.data(), static_cast<int>(pts.size()));
            return;
        }
        case kSetPixel: if (n >= 8) s_.setPixel(mapX(r_.i16(p + 6)), mapY(r_.i16(p + 4)), r_.u32(p) & 0x00FFFFFF); return;
        case kTextOut:
            if (n >= 2) {
                const std::size_t len = r_.u16(p);
                const std::size_t padded = (len + 1) & ~std::size_t{1};
                if (2 + padded + 4 <= n)
                    s_.textOut(mapX(r_.i16(p + 2 + padded + 2)), mapY(r_.i16(p + 2 + padded)), r_.bytes(p + 2, len));
            }
            return;
        default: return; // not a drawing call the Surface has: skipped
        }
    }

    const Reader& r_;
    const Layout& layout_;
    Surface& s_;
    Rect dst_;
    DcState st_;
    std::vector<DcState> saved_;
    std::size_t unsavedDepth_ = 0; // saves beyond kMaxSavedStates, not kept
    std::vector<std::optional<Object>> objects_;
};

// The first window extent of a metafile without a placeable header.
std::optional<Size> firstWindowExtent(const Reader& r, const Layout& l)
{
    std::size_t at = l.recordsAt;
    while (r.has(at, 6)) {
        const std::uint64_t words = r.u32(at);
        if (words < 3 || words * 2 > r.size() - at)
            return std::nullopt;
        const std::uint16_t fn = r.u16(at + 4);
        if (fn == kEof)
            break;
        if (fn == kSetWindowExt && words * 2 >= 10)
            return Size{std::abs(r.i16(at + 8)), std::abs(r.i16(at + 6))};
        at += static_cast<std::size_t>(words * 2);
    }
    return std::nullopt;
}

} // namespace

bool looksLikeWmf(std::string_view bytes)
{
    return readLayout(Reader(bytes)).has_value();
}

std::optional<Size> wmfNaturalSize(std::string_view bytes)
{
    const Reader r(bytes);
    const auto l = readLayout(r);
    if (!l)
        return std::nullopt;
    Size s;
    if (l->placeable && l->inch > 0) {
        s.cx = static_cast<int>(std::abs(static_cast<std::int64_t>(l->bboxRight - l->bboxLeft)) * 96 / l->inch);
        s.cy = static_cast<int>(std::abs(static_cast<std::int64_t>(l->bboxBottom - l->bboxTop)) * 96 / l->inch);
    } else if (auto ext = firstWindowExtent(r, *l)) {
        s = *ext;
    } else {
        return std::nullopt;
    }
    if (s.cx <= 0 || s.cy <= 0 || s.cx > kMaxNaturalSide || s.cy > kMaxNaturalSide)
        return std::nullopt;
    return s;
}

bool playWmf(std::string_view bytes, Surface& target, const Rect& dst)
{
    const Reader r(bytes);
    const auto l = readLayout(r);
    if (!l)
        return false;
    Player(r, *l, target, dst).run();
    return true;
}

} // namespace qv
