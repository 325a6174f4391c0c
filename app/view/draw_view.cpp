#include "app/view/draw_view.h"

#include "app/layout/view_keys.h"
#include "app/drawing_tools/edit_tool.h"
#include "app/drawing_tools/tool_shapes.h"
#include "model/document/touch_block.h"
#include "app/view/view_context_menu.h"
#include "app/view/view_geometry.h"
#include "app/view/view_paint_state.h"
#include "model/app/editor_app.h"
#include "model/app/emulator_flags.h"
#include "model/document/draw_doc.h"
#include "model/project/resolution_range.h"
#include "platform/picture/surface_image.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace qv {
namespace {

constexpr ColorRef kRunCanvasColor = rgb(0, 0, 255);

unsigned keyFlagsOf(const QMouseEvent* event)
{
    unsigned flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= kMkLButton;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= kMkControl;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= kMkShift;
    return flags;
}

Qt::CursorShape cursorShapeOf(HandleCursor cursor)
{
    switch (cursor) {
    case HandleCursor::SizeNS: return Qt::SizeVerCursor;
    case HandleCursor::SizeNESW: return Qt::SizeBDiagCursor;
    case HandleCursor::SizeWE: return Qt::SizeHorCursor;
    case HandleCursor::SizeNWSE: return Qt::SizeFDiagCursor;
    case HandleCursor::SizeAll: return Qt::SizeAllCursor;
    }
    return Qt::ArrowCursor;
}

// The virtual key codes the editing keys are known by.
int virtualKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    case Qt::Key_D: return 68;
    default: return 0;
    }
}

int deviceFloor(double v) { return static_cast<int>(std::floor(v)); }
int deviceCeil(double v) { return static_cast<int>(std::ceil(v)); }

} // namespace

CDrawView::CDrawView(CEditorApp& app, CDrawDoc* doc, bool runMode, QWidget* parent)
    : QAbstractScrollArea(parent), m_bRunMode(runMode ? 1 : 0), m_app(app), m_pDocument(doc)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // Every paint covers its whole rectangle from the kept surface: nothing to erase.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::ArrowCursor);

    if (m_pDocument != nullptr) {
        m_pDocument->AddView(this);
        SetScrollExtent(m_pDocument->m_sizeDoc);
        // The first snapshot is what the first undo goes back to (once per document).
        if (m_pDocument->m_nUndoDepth < 0)
            m_pDocument->TakeUndoSnapshot();
        RebaseObjects(*m_pDocument, PageMargins());
    }

    m_caretTimer = new QTimer(this);
    m_caretTimer->setInterval(kCaretIntervalMs);
    connect(m_caretTimer, &QTimer::timeout, this, [this] { OnCaretTimer(); });
    m_caretTimer->start();
}

CDrawView::~CDrawView()
{
    if (m_hooks.closing)
        m_hooks.closing();
    if (m_app.m_pFocusView == this)
        m_app.m_pFocusView = nullptr;
    if (m_app.m_pRunBackDC == &m_runCanvas)
        m_app.m_pRunBackDC = nullptr;
    DetachDocument();
}

void CDrawView::DetachDocument()
{
    if (m_pDocument == nullptr)
        return;
    if (HasCapture())
        CEditTool::AbandonDrag(*this); // the drag cannot end in a view that has no document
    m_pDocument->RemoveView(this);
    m_pDocument = nullptr;
    m_selList.clear();
    m_rubberBand.reset();
    m_bCapture = false;
    viewport()->update();
}

// ---- coordinates -------------------------------------------------------------------------

Point CDrawView::ScrollOffset() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

Size CDrawView::ClientSize() const
{
    const double dpr = devicePixelRatioF();
    return {deviceCeil(viewport()->width() * dpr), deviceCeil(viewport()->height() * dpr)};
}

Point CDrawView::ClientPointOf(const QMouseEvent* event) const
{
    const double dpr = devicePixelRatioF();
    return {deviceFloor(event->position().x() * dpr), deviceFloor(event->position().y() * dpr)};
}

Point CDrawView::ClientToDocPoint(Point p) const
{
    const Point s = ScrollOffset();
    return {p.x + s.x, p.y + s.y};
}

Point CDrawView::DocToClientPoint(Point p) const
{
    const Point s = ScrollOffset();
    return {p.x - s.x, p.y - s.y};
}

Rect CDrawView::ClientToDocRect(const Rect& r) const
{
    const Point s = ScrollOffset();
    return r.offset(s.x, s.y);
}

Rect CDrawView::DocToClientRect(const Rect& r) const
{
    const Point s = ScrollOffset();
    return r.normalized().offset(-s.x, -s.y);
}

Point CDrawView::GetInitialPosition() const { return ClientToDocPoint({10, 10}); }

Point CDrawView::PageMargins() const { return {m_app.m_nMarginX.load(), m_app.m_nMarginY.load()}; }

Rect CDrawView::WindowAreaRect() const
{
    return m_pDocument != nullptr ? WindowArea(*m_pDocument, PageMargins()) : Rect{};
}

bool CDrawView::IsInWindowArea(Point docPoint) const { return qv::IsInWindowArea(WindowAreaRect(), docPoint); }

Rect CDrawView::ClampRectToWindow(const Rect& r) const { return qv::ClampRectToWindow(r, WindowAreaRect()); }

Rect CDrawView::KeepRectInWindow(const Rect& r, const Rect& sizeFrom) const
{
    return qv::KeepRectInWindow(r, sizeFrom, WindowAreaRect());
}

// ---- scrolling ---------------------------------------------------------------------------

void CDrawView::SetScrollExtent(Size extent)
{
    m_extent = extent;
    UpdateScrollBars();
    viewport()->update();
}

void CDrawView::UpdateScrollBars()
{
    const Size client = ClientSize();
    const auto setUp = [](QScrollBar* bar, int extent, int page) {
        bar->setRange(0, std::max(0, extent - page));
        bar->setPageStep(std::max(1, page));
        bar->setSingleStep(std::max(1, page / 10));
    };
    setUp(horizontalScrollBar(), m_extent.cx, client.cx);
    setUp(verticalScrollBar(), m_extent.cy, client.cy);
}

void CDrawView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CDrawView::scrollContentsBy(int, int) { viewport()->update(); }

// ---- invalidation ------------------------------------------------------------------------

void CDrawView::InvalidateClientRect(const Rect& clientRect)
{
    const Size client = ClientSize();
    const Rect r = clientRect.normalized().intersected({0, 0, client.cx, client.cy});
    if (r.isEmpty())
        return;
    const double dpr = devicePixelRatioF();
    const int l = deviceFloor(r.left / dpr), t = deviceFloor(r.top / dpr);
    viewport()->update(QRect(l, t, deviceCeil(r.right / dpr) - l, deviceCeil(r.bottom / dpr) - t));
}

Rect CDrawView::ObjectPaintArea(const CDrawObj& obj, bool handles) const
{
    const std::int64_t wx = obj.m_penInfo.widthX, wy = obj.m_penInfo.widthY;
    int pen = obj.m_bHasPen ? static_cast<int>(std::max(wx, wy)) : 0;
    // A line's ends sit half of each width in from the box's corners (out from them for a
    // negative width), so in a box thinner than the pen they lie outside it and the pen
    // reaches half a pen further: a whole pen's band.
    if (obj.m_bHasPen && obj.Kind() == ShapeKind::Line)
        pen = saturateToInt(2 * std::max(std::abs(wx), std::abs(wy)));
    const bool number = obj.IsControl() && m_app.m_bShowCtrlNumbers.load() != 0;
    Rect area = ObjectRepaintRect(obj.m_rcPosition, handles, pen, number);
    if (handles) {
        // A handle may lie outside the position (a small round rectangle's corner handle sits
        // up and left of it): each 7x7 handle and the pixel around it count too.
        for (int h = 1, count = obj.CountHandles(); h <= count; ++h) {
            const Point c = obj.HandlePoint(h);
            const Rect r = Rect::saturated(std::int64_t{c.x} - 4, std::int64_t{c.y} - 4, std::int64_t{c.x} + 5,
                                           std::int64_t{c.y} + 5);
            area = Rect{std::min(area.left, r.left), std::min(area.top, r.top), std::max(area.right, r.right),
                        std::max(area.bottom, r.bottom)};
        }
    }
    return area;
}

void CDrawView::InvalidateObject(CDrawObj* obj)
{
    if (obj == nullptr)
        return;
    const Point s = ScrollOffset();
    InvalidateClientRect(ObjectPaintArea(*obj, IsActive() && IsSelected(obj)).offset(-s.x, -s.y));
}

void CDrawView::InvalidateSelection()
{
    for (CDrawObj* obj : m_selList)
        InvalidateObject(obj);
}

void CDrawView::OnUpdate(DocumentView*, int hint, CDrawObj* obj)
{
    switch (hint) {
    case 0: viewport()->update(); break;
    case 1: InvalidateObject(obj); break;
    case 2:
        if (obj != nullptr)
            InvalidateObject(obj);
        else
            InvalidateSelection();
        break;
    case 3:
        if (obj != nullptr) {
            InvalidateObject(obj);
            RemoveFromSelection(obj);
        }
        break;
    default: break; // 4: embedded objects, which this program does not hold
    }
}

// ---- selection ---------------------------------------------------------------------------

bool CDrawView::IsSelected(const CDrawObj* obj) const
{
    return obj != nullptr && std::find(m_selList.begin(), m_selList.end(), obj) != m_selList.end();
}

void CDrawView::SelectShape(CDrawObj* obj, bool add)
{
    if (!add) {
        InvalidateSelection();
        m_selList.clear();
    }
    if (obj != nullptr && !IsSelected(obj)) {
        m_selList.push_back(obj);
        InvalidateObject(obj);
    }
    NotifySelectionChanged();
}

void CDrawView::Deselect(CDrawObj* obj)
{
    RemoveFromSelection(obj);
    CRectTool::ForgetObject(obj); // the drag that made it must not reach it any more
}

void CDrawView::DeselectShape(CDrawObj* obj)
{
    if (!IsSelected(obj))
        return;
    InvalidateObject(obj);
    RemoveFromSelection(obj);
    NotifySelectionChanged();
}

void CDrawView::RemoveFromSelection(CDrawObj* obj) { std::erase(m_selList, obj); }

void CDrawView::SelectInRect(const Rect& clientRect, bool add)
{
    if (!add)
        SelectShape(nullptr);
    if (m_pDocument == nullptr)
        return;
    const Rect docRect = ClientToDocRect(clientRect);
    for (auto& obj : m_pDocument->m_objects)
        if (obj->IsInsideRect(docRect))
            SelectShape(obj.get(), true);
}

void CDrawView::NotifySelectionChanged()
{
    if (m_hooks.selectionChanged)
        m_hooks.selectionChanged();
}

// ---- tool state --------------------------------------------------------------------------

void CDrawView::SetToolCursor(Qt::CursorShape shape)
{
    if (viewport()->cursor().shape() != shape)
        viewport()->setCursor(shape);
}

void CDrawView::SetToolCursor(HandleCursor cursor) { SetToolCursor(cursorShapeOf(cursor)); }

void CDrawView::SetRubberBand(std::optional<Rect> clientRect)
{
    if (clientRect)
        clientRect = clientRect->normalized();
    if (clientRect == m_rubberBand)
        return;
    // Only the outlines change: repaint the old one and the new one.
    const auto invalidateOutline = [this](const Rect& r) {
        InvalidateClientRect({r.left - 1, r.top - 1, r.right + 1, r.top + 1});
        InvalidateClientRect({r.left - 1, r.bottom - 1, r.right + 1, r.bottom + 1});
        InvalidateClientRect({r.left - 1, r.top - 1, r.left + 1, r.bottom + 1});
        InvalidateClientRect({r.right - 1, r.top - 1, r.right + 1, r.bottom + 1});
    };
    if (m_rubberBand)
        invalidateOutline(*m_rubberBand);
    m_rubberBand = clientRect;
    if (m_rubberBand)
        invalidateOutline(*m_rubberBand);
}

// ---- activity and timers -----------------------------------------------------------------

void CDrawView::SetActive(bool active)
{
    const int state = active ? 1 : 0;
    if (state == m_bIsActive)
        return;
    // Handles show only in the active view: repaint the selection before and after.
    InvalidateSelection();
    m_bIsActive = state;
    InvalidateSelection();
}

void CDrawView::FollowSubWindowActivation()
{
    if (m_followingActivation)
        return;
    m_followingActivation = true;
    QMdiSubWindow* sub = nullptr;
    for (QWidget* w = parentWidget(); w != nullptr && sub == nullptr; w = w->parentWidget())
        sub = qobject_cast<QMdiSubWindow*>(w);
    QMdiArea* area = sub != nullptr ? sub->mdiArea() : nullptr;
    if (area == nullptr) {
        SetActive(true); // a view of its own is the active one
        return;
    }
    connect(area, &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* w) { SetActive(w == sub); });
    SetActive(area->activeSubWindow() == sub);
}

void CDrawView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    FollowSubWindowActivation();
    if (m_hooks.shownChanged)
        m_hooks.shownChanged(true);
}

void CDrawView::hideEvent(QHideEvent* event)
{
    QAbstractScrollArea::hideEvent(event);
    if (m_hooks.shownChanged)
        m_hooks.shownChanged(false);
}

void CDrawView::focusInEvent(QFocusEvent* event)
{
    // The serial touch-screen parser moves the pointer over the view that has the focus.
    m_app.m_pFocusView = this;
    QAbstractScrollArea::focusInEvent(event);
}

void CDrawView::OnCaretTimer()
{
    if (!IsActive())
        return;
    if (m_hooks.caretTick)
        m_hooks.caretTick();
}

// ---- keys --------------------------------------------------------------------------------

void CDrawView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_hooks.escapePressed) {
        m_hooks.escapePressed();
        return;
    }
    const int key = virtualKeyOf(event->key());
    // Ctrl comes with this key's own event: no flag outlives a key press.
    if (key != 0 && m_pDocument != nullptr && !IsRunMode() && IsActive()) {
        layout::OnViewKeyDown(*this, key, (event->modifiers() & Qt::ControlModifier) != 0);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// ---- mouse -------------------------------------------------------------------------------

bool CDrawView::AcceptsToolInput() const
{
    return m_pDocument != nullptr && !IsRunMode() && m_pDocument->m_bIsProjectDoc == 0 && IsActive()
           && m_app.m_bCompiling.load() == 0;
}

void CDrawView::mousePressEvent(QMouseEvent* event)
{
    if (IsRunMode() && event->button() == Qt::RightButton && IsActive() && m_app.m_bCompiling.load() == 0)
        ForwardRunMouse(RunMouse::RightDown, event);
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (IsRunMode()) {
        CEditTool::s_nCurShape = kSelectionShape;
        ForwardRunMouse(RunMouse::Down, event);
        return;
    }
    if (!AcceptsToolInput())
        return;
    if (CEditTool* tool = CEditTool::GetToolForShape(CEditTool::s_nCurShape))
        tool->OnLButtonDown(*this, keyFlagsOf(event), ClientPointOf(event));
}

void CDrawView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    if (IsRunMode()) {
        ForwardRunMouse(RunMouse::Up, event);
        return;
    }
    if (!AcceptsToolInput()) {
        // A compile that started during the drag ends it here.
        CEditTool::AbandonDrag(*this);
        return;
    }
    if (CEditTool* tool = CEditTool::GetToolForShape(CEditTool::s_nCurShape))
        tool->OnLButtonUp(*this, keyFlagsOf(event), ClientPointOf(event));
}

void CDrawView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && IsRunMode()) {
        ForwardRunMouse(RunMouse::DoubleClick, event);
        return;
    }
    if (event->button() != Qt::LeftButton || !AcceptsToolInput())
        return;
    if (CEditTool* tool = CEditTool::GetToolForShape(CEditTool::s_nCurShape))
        tool->OnLButtonDblClk(*this, keyFlagsOf(event), ClientPointOf(event));
}

void CDrawView::mouseMoveEvent(QMouseEvent* event)
{
    if (!IsActive())
        return;
    const Point point = ClientPointOf(event);
    if (m_hooks.cursorPosition && m_pDocument != nullptr) {
        const Point doc = ClientToDocPoint(point);
        m_hooks.cursorPosition({doc.x - m_pDocument->m_nMarginX, doc.y - m_pDocument->m_nMarginY});
    }
    if (IsRunMode()) {
        CEditTool::s_nCurShape = kSelectionShape;
        ForwardRunMouse(RunMouse::Move, event);
        return;
    }
    if (!AcceptsToolInput())
        return;
    if (CEditTool* tool = CEditTool::GetToolForShape(CEditTool::s_nCurShape))
        tool->OnMouseMove(*this, keyFlagsOf(event), point);
}

void CDrawView::ForwardRunMouse(RunMouse what, const QMouseEvent* event)
{
    if (m_hooks.runMouse && m_pDocument != nullptr)
        m_hooks.runMouse(what, ClientToDocPoint(ClientPointOf(event)));
}

void CDrawView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu(this);
    if (menu == nullptr)
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? viewport()->mapToGlobal(QPoint(5, 5))
                                                                      : event->globalPos();
    menu->exec(at);
    delete menu;
}

QMenu* CDrawView::CreateContextMenu(QWidget* parent)
{
    if (IsRunMode() || m_app.m_bCompiling.load() != 0)
        return nullptr;
    return BuildViewContextMenu(parent, m_hooks.commandEnabled, m_hooks.runCommand);
}

// ---- painting ----------------------------------------------------------------------------

std::vector<CDrawDoc*> CDrawView::DocumentsToDraw() const
{
    std::vector<CDrawDoc*> docs;
    if (IsRunMode()) {
        CDrawDoc* screen = m_app.FindCurrentScreenDoc();
        docs.push_back(screen != nullptr ? screen : m_pDocument);
        for (CDrawDoc* over : {m_app.FindCurrentSubWindowDoc(), m_app.FindSystemSubWindowDoc()})
            docs.push_back(over);
    } else {
        docs.push_back(m_pDocument);
    }
    std::erase(docs, nullptr);
    return docs;
}

bool CDrawView::DrawOnRunCanvas(const std::function<void(Surface&)>& draw)
{
    std::lock_guard lock(m_runCanvasLock);
    if (m_runCanvas.width() == 0 || m_runCanvas.height() == 0)
        return false;
    draw(m_runCanvas);
    return true;
}

void CDrawView::PrepareRunCanvas()
{
    // The run background covers what the painters reach: the device at the page margins.
    const Size resolution{std::clamp(m_app.m_nResWidth, 0, kMaxProjectResolution),
                          std::clamp(m_app.m_nResHeight, 0, kMaxProjectResolution)};
    const Size size = PaintBufferSize(resolution, PageMargins(), {});
    if (size.cx != m_runCanvas.width() || size.cy != m_runCanvas.height())
        m_runCanvas.reset(size.cx, size.cy, kRunCanvasColor);
    m_app.m_pRunBackDC = &m_runCanvas;
}

void CDrawView::RenderFrame(const Rect& dirtyDoc)
{
    if (IsRunMode() && m_app.m_AutoRefresh.load() != 0) {
        // The simulator paints what the live bank holds now.
        m_app.SyncScreenVariables();
        m_app.m_VarMem.copyFrom(m_app.m_VarMemRun);
    }
    const Size resolution{m_app.m_nResWidth, m_app.m_nResHeight};
    QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    Size desktop{};
    if (screen != nullptr) {
        const double dpr = screen->devicePixelRatio();
        desktop = {deviceCeil(screen->size().width() * dpr), deviceCeil(screen->size().height() * dpr)};
    }
    const Point margins = PageMargins();
    m_surfaces.EnsureSize(PaintBufferSize(resolution, margins, desktop));

    ViewFrame frame;
    frame.documents = DocumentsToDraw();
    for (CDrawDoc* doc : frame.documents)
        RebaseObjects(*doc, margins);
    std::unique_lock canvasLock(m_runCanvasLock, std::defer_lock);
    if (IsRunMode()) {
        canvasLock.lock();
        PrepareRunCanvas();
    }

    const Point scroll = ScrollOffset();
    const Size client = ClientSize();
    frame.dirty = dirtyDoc;
    frame.clientInDoc = Rect{0, 0, client.cx, client.cy}.offset(scroll.x, scroll.y);
    frame.device = DeviceRect(margins, resolution);
    frame.resolution = resolution;
    frame.drawScreen = m_pDocument != nullptr && (IsRunMode() || m_pDocument->m_bIsProjectDoc == 0);
    const CDrawDoc* project = m_app.ProjectDoc();
    if (IsRunMode() && project != nullptr && project->m_TouchCalibration[touch::kCalibrating] == 1)
        frame.calibrationStep = project->m_TouchCalibration[touch::kStep];

    PaintFeedback feedback;
    FillPaintContext(m_app, IsRunMode(), margins, frame.context, &feedback);
    // The paint asks per object whether it is selected: a sorted copy of the selection keeps
    // that cheap when everything is selected.
    std::vector<const CDrawObj*> selected(m_selList.begin(), m_selList.end());
    std::sort(selected.begin(), selected.end(), std::less<>());
    const auto showsHandles = [&selected](const CDrawObj& obj) {
        return std::binary_search(selected.begin(), selected.end(), &obj, std::less<>());
    };
    if (!IsRunMode() && IsActive())
        frame.isSelected = showsHandles;
    // A part of the view is repainted (a drag, a changed object): objects whose paint area
    // lies elsewhere cannot change it. The same area is what InvalidateObject repaints.
    if (!IsRunMode() && dirtyDoc.intersected(m_surfaces.paint.bounds()) != m_surfaces.paint.bounds())
        frame.reaches = [this, dirtyDoc, &showsHandles](const CDrawObj& obj) {
            const bool handles = IsActive() && showsHandles(obj);
            return !ObjectPaintArea(obj, handles).intersected(dirtyDoc).isEmpty();
        };
    if (m_rubberBand)
        frame.rubberBand = m_rubberBand->offset(scroll.x, scroll.y);

    PaintViewFrame(m_surfaces, frame);
    if (canvasLock.owns_lock())
        canvasLock.unlock();
    ApplyPaintFeedback(m_app, feedback);
    MC8051RepaintWait = 0;
    if (IsRunMode() && m_hooks.runPainted)
        m_hooks.runPainted();
}

void CDrawView::paintEvent(QPaintEvent* event)
{
    const double dpr = devicePixelRatioF();
    const QRect logical = event->rect();
    const Rect dirtyClient{deviceFloor(logical.left() * dpr), deviceFloor(logical.top() * dpr),
                           deviceCeil((logical.right() + 1) * dpr), deviceCeil((logical.bottom() + 1) * dpr)};
    const Point scroll = ScrollOffset();
    const Rect dirtyDoc = dirtyClient.offset(scroll.x, scroll.y);
    RenderFrame(dirtyDoc);

    QPainter painter(viewport());
    const Rect source = dirtyDoc.intersected(m_surfaces.paint.bounds());
    // What the kept surface does not hold is surround; the rest is copied from it.
    const auto targetOf = [&](const Rect& doc) {
        return QRectF((doc.left - scroll.x) / dpr, (doc.top - scroll.y) / dpr, doc.width() / dpr, doc.height() / dpr);
    };
    for (const Rect& part : RectsAround(dirtyDoc, source))
        if (!part.isEmpty())
            painter.fillRect(targetOf(part), QColor(redOf(kSurroundColor), greenOf(kSurroundColor), blueOf(kSurroundColor)));
    if (source.isEmpty())
        return;
    QImage image = wrapSurface(m_surfaces.paint);
    image.setDevicePixelRatio(dpr);
    painter.drawImage(targetOf(source), image, QRectF(source.left, source.top, source.width(), source.height()));
}

} // namespace qv
