#pragma once
// The mouse work of an editing view: one selection tool and one creation tool per tool
// shape. A tool command only stores the current shape; the view hands every mouse event of
// an editing view to the tool of that shape. The drag state is shared by all tools (only one
// view has the mouse at a time).
#include "model/shape/shape_kind.h"
#include "platform/surface/geometry.h"

#include <string>
#include <vector>

namespace qv {

class CDrawView;
class CDrawObj;

// Key flags of a mouse event, taken from that event's own modifiers (never from a flag
// kept between key presses, which sticks when the focus leaves while Ctrl is held).
enum KeyFlags : unsigned {
    kMkLButton = 0x0001,
    kMkShift = 0x0004,
    kMkControl = 0x0008,
};

class CEditTool {
public:
    explicit CEditTool(int shape);
    virtual ~CEditTool();
    CEditTool(const CEditTool&) = delete;
    CEditTool& operator=(const CEditTool&) = delete;

    virtual void OnLButtonDown(CDrawView& view, unsigned flags, Point point);
    virtual void OnLButtonDblClk(CDrawView& view, unsigned flags, Point point);
    virtual void OnLButtonUp(CDrawView& view, unsigned flags, Point point);
    virtual void OnMouseMove(CDrawView& view, unsigned flags, Point point);
    virtual void OnProperties(CDrawView& view);
    virtual void OnCancelTool();

    // The first tool of the list with that shape, else nullptr.
    static CEditTool* GetToolForShape(int shape);

    // The view refused the release (a compile began during the drag): the drag ends here.
    // An object the press created goes again; moves and resizes already shown are kept and
    // recorded as a change, so they can be undone and are saved.
    static void AbandonDrag(CDrawView& view);

    int m_nShape;

    static std::vector<CEditTool*> s_toolList;
    static int s_nCurShape;        // the current tool shape
    static int s_bChanged;         // a drag moved or resized an object
    static Point s_ptDown;         // client point of the last button down
    static unsigned s_nDownFlags;  // its key flags
    static Point s_ptLast;         // the last client point seen
};

class CPointerTool : public CEditTool {
public:
    enum Mode { None = 0, NetSelect = 1, Move = 2, Size = 3 };

    CPointerTool();

    void OnLButtonDown(CDrawView& view, unsigned flags, Point point) override;
    void OnLButtonDblClk(CDrawView& view, unsigned flags, Point point) override;
    void OnLButtonUp(CDrawView& view, unsigned flags, Point point) override;
    void OnMouseMove(CDrawView& view, unsigned flags, Point point) override;
    void OnProperties(CDrawView& view) override;

    static int s_nMode;
    static int s_nSizingHandle;    // 1..9 while a handle is dragged, else 0
    static Point s_ptLastDoc;      // last document point of a move or size drag
};

class CRectTool : public CEditTool {
public:
    explicit CRectTool(int shape);

    void OnLButtonDown(CDrawView& view, unsigned flags, Point point) override;
    void OnLButtonUp(CDrawView& view, unsigned flags, Point point) override;
    void OnMouseMove(CDrawView& view, unsigned flags, Point point) override;

    // The stored picture name the next picture object gets (set by the picture command).
    static std::string s_strNewPicture;
    // The object the current drag created (nullptr when the press made none).
    static CDrawObj* s_pNewObject;
    // The object leaves its document (deleted, undone, reloaded): the drag forgets it.
    static void ForgetObject(const CDrawObj* obj);
};

// A drag smaller than this makes no object: the product |dx| x |dy| for boxes, the squared
// length for lines (a horizontal or vertical line has no area, but it has a length).
inline constexpr long long kMinCreateDrag = 20;
bool IsTooSmallToCreate(ShapeKind kind, Point down, Point up);

// The selection tool (the tool of shape 0).
CPointerTool& PointerTool();

} // namespace qv
