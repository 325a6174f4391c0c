#pragma once
// Rules every per-kind painter shares: pens and brushes from the stored records, the state
// guard, the 3-D ring rule, the picture rule and the unbound-control placeholder.
#include "model/paint/paint_context.h"
#include "model/shape/draw_obj.h"

#include <optional>
#include <string_view>

namespace qv {

// Pens and brushes as the platform would create them from the stored records; nullopt for
// a style it cannot create (the object's paint then draws nothing).
std::optional<Pen> penFromRecord(const LogPen& p);
std::optional<Brush> brushFromRecord(const LogBrush& b);

// Restores the surface's pen, brush, font, colours, modes and clip when it goes.
class SurfaceStateGuard {
public:
    explicit SurfaceStateGuard(Surface& s);
    ~SurfaceStateGuard();
    SurfaceStateGuard(const SurfaceStateGuard&) = delete;
    SurfaceStateGuard& operator=(const SurfaceStateGuard&) = delete;

private:
    Surface& s_;
    Pen pen_;
    Brush brush_;
    LogFont font_;
    ColorRef text_, bk_;
    int mode_;
    unsigned align_;
    Rect clip_;
};

// Widest border a painter draws; wider values from a file are held to it.
inline constexpr int kMaxBorderRings = 4096;

// A border of `width` nested one-pixel rings, outermost first: colour on the top and left,
// its inverse on the bottom and right. The ring count stops where the (normalised) box runs
// out and at kMaxBorderRings, so a width or rectangle read from a file costs nothing and
// overflows nothing.
void DrawRings3d(Surface& dc, const Rect& r, int width, ColorRef color);

// A picture by its stored name (relative to the project folder), or nullptr when the name is
// missing, cannot be resolved, found or decoded, or has no pixels.
PicturePtr LoadStoredPicture(const PaintContext& ctx, std::string_view storedName);

// The picture rule: the stored name (relative to the project folder, "\UserPicture\a.bmp")
// stretched over `r`. With `transparent`, composed in work surface 1 (cleared to the key
// first, so nothing stale shows through) and copied with the key colour left out; without a
// work surface, drawn straight with the key left out (same pixels, nothing allocated). A
// picture that cannot be found or decoded draws nothing. Returns whether a picture was drawn.
bool PaintPictureByRule(const PaintContext& ctx, const PaintSurfaces& dcs, std::string_view storedName, const Rect& r,
                        bool transparent, ColorRef key);

// The placeholder of a control whose required variable is not bound: a white box with
// "无效控件" in the object's font (normalises the object's position, as the editor expects).
void DrawInvalid(CDrawObj& obj, Surface& dc);

// The text shown by DrawInvalid (GBK).
std::string_view InvalidControlText();

} // namespace qv
