#pragma once
// CDrawView: the one view of every document. Over a screen or sub-window it is the editing
// surface (selection, coordinate mapping, the device screen with its objects, mouse events
// to the current drawing tool); over the simulator document it is the run-mode surface.
//
// Document coordinates are client coordinates plus the scroll position, one unit per
// device pixel, no zoom. Painting is double-buffered through the view's own Surfaces, kept
// between paints in document coordinates; the selection handles and the rubber band are
// view state drawn inside the paint event, never outside it.
#include "app/view/view_painter.h"
#include "model/document/document_view.h"
#include "model/shape/draw_obj.h"

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

class QMenu;
class QTimer;

namespace qv {

class CDrawDoc;
class CEditorApp;

// The mouse events a run-mode view hands to the simulator, in document coordinates.
enum class RunMouse { Down, Up, Move, DoubleClick, RightDown };

class CDrawView : public QAbstractScrollArea, public DocumentView, public ShapeView {
public:
    static constexpr int kCaretIntervalMs = 400;

    // What the view reports to, or asks of, the window around it. Every hook may be empty.
    struct Hooks {
        std::function<void(Point)> cursorPosition;     // document point minus the canvas origin
        std::function<bool(int)> commandEnabled;       // context-menu entries
        std::function<void(int)> runCommand;
        std::function<void()> caretTick;               // the 400 ms work of an active view
        std::function<void()> selectionChanged;
        std::function<void()> escapePressed;           // leave full screen
        std::function<void(RunMouse, Point)> runMouse; // run mode: the simulator's input
        std::function<void(std::uint8_t)> touchByte;   // run mode: the touch controller's stream
        std::function<void()> runPainted;              // run mode: a paint has finished
        std::function<void(bool)> shownChanged;        // the view was shown (true) or hidden
        std::function<void()> closing;                 // the view is being destroyed
    };

    // Attaches to `doc` (which must outlive the view or be detached first) and does the
    // initial update: scroll extent, the first undo snapshot, the rebase to the margins.
    CDrawView(CEditorApp& app, CDrawDoc* doc, bool runMode, QWidget* parent = nullptr);
    ~CDrawView() override;

    CDrawDoc* GetDocument() const { return m_pDocument; }
    CEditorApp& App() const { return m_app; }
    // The document is closing: forget it (the view paints the surround only from now on).
    void DetachDocument();
    void SetHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    const Hooks& GetHooks() const { return m_hooks; }
    // One byte from the touch controller's serial port (GUI thread only; the monitor thread
    // posts it here).
    void OnTouchScreenByte(std::uint8_t byte)
    {
        if (m_hooks.touchByte)
            m_hooks.touchByte(byte);
    }

    // --- DocumentView ------------------------------------------------------------------
    void OnUpdate(DocumentView* sender, int hint, CDrawObj* obj) override;
    void Deselect(CDrawObj* obj) override;
    void SetScrollExtent(Size extent) override;
    bool IsRunMode() const override { return m_bRunMode != 0; }

    // --- ShapeView and coordinates -----------------------------------------------------
    Point DocToClientPoint(Point p) const override;
    Rect ClientToDocRect(const Rect& r) const override;
    Rect ClampRectToWindow(const Rect& r) const override;
    void InvalidateObject(CDrawObj* obj) override;
    Point ClientToDocPoint(Point p) const;
    Rect DocToClientRect(const Rect& r) const;   // normalised

    // --- selection -----------------------------------------------------------------------
    void SelectShape(CDrawObj* obj, bool add = false) override;
    void DeselectShape(CDrawObj* obj);
    // Selects, in list order, every object wholly inside the client rectangle.
    void SelectInRect(const Rect& clientRect, bool add);
    bool IsSelected(const CDrawObj* obj) const;
    void RemoveFromSelection(CDrawObj* obj);
    const std::vector<CDrawObj*>& Selection() const { return m_selList; }
    std::vector<CDrawObj*> SelectedShapes() const override { return m_selList; }

    // --- window area -----------------------------------------------------------------------
    Rect WindowAreaRect() const;
    bool IsInWindowArea(Point docPoint) const;
    Rect KeepRectInWindow(const Rect& r, const Rect& sizeFrom) const;
    // The client point (10, 10) in document coordinates.
    Point GetInitialPosition() const;
    Point PageMargins() const;

    // --- state the tools drive -------------------------------------------------------------
    void SetCapture() { m_bCapture = true; }
    void ReleaseCapture() { m_bCapture = false; }
    bool HasCapture() const { return m_bCapture; }
    void SetToolCursor(Qt::CursorShape shape);
    void SetToolCursor(HandleCursor cursor);
    // The rubber band from the press to `to` (client points); nullopt removes it.
    void SetRubberBand(std::optional<Rect> clientRect);
    std::optional<Rect> RubberBand() const { return m_rubberBand; }

    // --- activity and timers ---------------------------------------------------------------
    void SetActive(bool active);
    bool IsActive() const { return m_bIsActive != 0; }
    // One tick of the 400 ms timer: the caret blink and the PLC poll of an active view.
    void OnCaretTimer();
    QTimer* caretTimer() const { return m_caretTimer; }

    // The context menu of an editing view (nullptr in run mode or while compiling).
    QMenu* CreateContextMenu(QWidget* parent);

    // The kept paint surface (document coordinates), for probes and the bitmap command.
    const Surface& PaintSurface() const { return m_surfaces.paint; }
    // Size of the client area in device pixels.
    Size ClientSize() const;
    // Runs `draw` on the run canvas under its lock (any thread: the user code's picture
    // service draws while the view paints from it); false while the canvas is empty.
    bool DrawOnRunCanvas(const std::function<void(Surface&)>& draw);

    int m_bRunMode = 0;
    int m_bIsActive = 0;
    std::vector<CDrawObj*> m_selList;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Point ScrollOffset() const;
    Point ClientPointOf(const QMouseEvent* event) const;
    void ForwardRunMouse(RunMouse what, const QMouseEvent* event);
    void InvalidateClientRect(const Rect& clientRect);
    // Where the object's paint, number and, with `handles`, its handles may show (document
    // coordinates).
    Rect ObjectPaintArea(const CDrawObj& obj, bool handles) const;
    void InvalidateSelection();
    void UpdateScrollBars();
    void FollowSubWindowActivation();
    // Editing input goes to the tools only when this holds.
    bool AcceptsToolInput() const;
    std::vector<CDrawDoc*> DocumentsToDraw() const;
    void RenderFrame(const Rect& dirtyDoc);
    void PrepareRunCanvas();
    void NotifySelectionChanged();

    CEditorApp& m_app;
    CDrawDoc* m_pDocument;
    Hooks m_hooks;
    Size m_extent;
    ViewSurfaces m_surfaces;
    Surface m_runCanvas;     // under m_runCanvasLock
    std::mutex m_runCanvasLock;
    std::optional<Rect> m_rubberBand;   // client coordinates, normalised
    bool m_bCapture = false;
    bool m_followingActivation = false;
    QTimer* m_caretTimer = nullptr;
};

} // namespace qv
