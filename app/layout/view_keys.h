#pragma once
// The keys of an editing view: the arrows move the selection by one pixel (with Ctrl the
// edge on the arrow's side grows out by one), Delete clears the selection. Ctrl is read from
// the key event itself, never kept between key presses.
namespace qv {

class CDrawView;

namespace layout {

// `key` is the virtual key code (37..40 arrows, 46 Delete). True when the key was one of
// these and the view acted on it.
bool OnViewKeyDown(CDrawView& view, int key, bool ctrl);

} // namespace layout
} // namespace qv
