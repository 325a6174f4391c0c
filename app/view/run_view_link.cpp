#include "app/view/run_view_link.h"

#include <QMetaObject>

#include "app/view/draw_view.h"
#include "model/app/editor_app.h"

namespace qv {

RunViewLink::RunViewLink(CEditorApp& app, EmulatorPaintGate& gate) : app_(app), gate_(gate) {}

RunViewLink::~RunViewLink()
{
    shown_ = false;
    gate_.viewGone();
}

void RunViewLink::Attach(CDrawView& view)
{
    {
        std::lock_guard lock(canvasLock_);
        canvasView_ = &view;
    }
    view_ = &view;
    shown_ = view.isVisible();
}

void RunViewLink::Detach(CDrawView& view)
{
    if (view_ != &view && canvasView_ != &view)
        return;
    {
        std::lock_guard lock(canvasLock_); // waits for a picture being drawn
        canvasView_ = nullptr;
    }
    view_ = nullptr;
    shown_ = false;
    gate_.viewGone();
}

void RunViewLink::SetShown(CDrawView& view, bool shown)
{
    if (view_ != &view)
        return;
    shown_ = shown;
    if (!shown)
        gate_.viewGone();
}

void RunViewLink::PaintDone(CDrawView& view)
{
    if (view_ == &view)
        gate_.paintDone();
}

void RunViewLink::setAutoRefresh(bool on) { app_.m_AutoRefresh = on ? 1 : 0; }

bool RunViewLink::requestRunModePaint()
{
    if (!shown_.load())
        return false;
    QMetaObject::invokeMethod(this, [this] { RepaintForProgram(); }, Qt::QueuedConnection);
    return true;
}

void RunViewLink::RepaintForProgram()
{
    // A view covered by other windows gets no paint: the program need not wait for one.
    if (!view_ || !view_->isVisible() || view_->viewport()->visibleRegion().isEmpty()) {
        gate_.viewGone();
        return;
    }
    view_->viewport()->update();
}

void RunViewLink::setTimer0Period(int milliseconds) { app_.m_nTimer0Request = milliseconds; }

void RunViewLink::touchByte(std::uint8_t byte)
{
    QMetaObject::invokeMethod(
        this,
        [this, byte] {
            if (view_)
                view_->OnTouchScreenByte(byte);
        },
        Qt::QueuedConnection);
}

bool RunViewLink::DrawOnRunCanvas(const std::function<void(Surface&)>& draw)
{
    std::lock_guard lock(canvasLock_);
    return canvasView_ != nullptr && canvasView_->DrawOnRunCanvas(draw);
}

} // namespace qv
