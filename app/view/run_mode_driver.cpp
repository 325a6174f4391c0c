#include "app/view/run_mode_driver.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"

namespace qv {
namespace {

Qt::CursorShape cursorShapeOf(sim::RunCursor c)
{
    switch (c) {
    case sim::RunCursor::Hand: return Qt::PointingHandCursor;
    case sim::RunCursor::IBeam: return Qt::IBeamCursor;
    case sim::RunCursor::SizeAll: return Qt::SizeAllCursor;
    }
    return Qt::ArrowCursor;
}

QTimer* startWakeTimer(QObject* owner, int ms, std::function<void()> work)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(ms);
    QObject::connect(timer, &QTimer::timeout, owner, std::move(work));
    timer->start();
    return timer;
}

} // namespace

RunModeDriver::RunModeDriver(CEditorApp& app, CDrawView& view, const sim::MonotonicClock& clock)
    : QObject(&view), app_(app), view_(view)
{
    input_ = std::make_unique<sim::RunInput>(app);
    input_->setCursor = [this](sim::RunCursor c) { view_.SetToolCursor(cursorShapeOf(c)); };
    // Every object the press reaches asks for the click; it plays once per press.
    input_->keyClick = [this] {
        if (std::exchange(clickedThisPress_, true))
            return;
        if (sim::SimRuntime* runtime = Runtime(); runtime && runtime->keyClick)
            runtime->keyClick();
    };
    routing_ = std::make_unique<sim::RunRouting>(*input_);
    timers_ = std::make_unique<sim::RunTimers>(app, clock);
    routing_->onInput = [this] { timers_->InputSeen(); };
    timers_->interruptEnable = [this] { return Runtime() ? Runtime()->InterruptEnable() : std::uint8_t{0}; };

    CDrawView::Hooks hooks = view.GetHooks();
    hooks.runMouse = [this](RunMouse what, Point p) { OnMouse(what, p); };
    hooks.caretTick = [this] { timers_->Timer3Tick(); };
    hooks.touchByte = [this](std::uint8_t byte) { OnTouchScreenByte(byte); };
    // The user code's link to the view: its repaints, the canvas, the view's coming and going.
    link_ = Runtime() ? dynamic_cast<RunViewLink*>(Runtime()->GetViewLink()) : nullptr;
    if (link_) {
        link_->Attach(view);
        // The link may go first (it is a QObject: the pointer then reads null).
        hooks.runPainted = [this] {
            if (link_)
                link_->PaintDone(view_);
        };
        hooks.shownChanged = [this](bool shown) {
            if (link_)
                link_->SetShown(view_, shown);
        };
        hooks.closing = [this] {
            if (link_)
                link_->Detach(view_);
        };
    }
    view.SetHooks(std::move(hooks));

    timer0_ = startWakeTimer(this, sim::RunTimers::kTimer0StartMs, [this] { Tick0(); });
    startWakeTimer(this, sim::RunTimers::kAnimateMs, [this] { Tick1(); });
    startWakeTimer(this, sim::RunTimers::kSaveMs, [this] { Tick2(); });
    startWakeTimer(this, sim::RunTimers::kPollMs, [this] { Tick5(); });
}

RunModeDriver::~RunModeDriver() = default;

sim::SimRuntime* RunModeDriver::Runtime() const
{
    return dynamic_cast<sim::SimRuntime*>(app_.GetSimulationServices());
}

void RunModeDriver::OnMouse(RunMouse what, Point p)
{
    sim::SimRuntime* runtime = Runtime();
    input_->writer = runtime ? runtime->GetPortWriter() : nullptr;
    switch (what) {
    case RunMouse::Down:
        clickedThisPress_ = false;
        routing_->ButtonDown(p);
        break;
    case RunMouse::Up: routing_->ButtonUp(p); break;
    case RunMouse::Move:
        view_.SetToolCursor(Qt::ArrowCursor); // a control under the pointer asks for its own
        routing_->MouseMove(p);
        break;
    case RunMouse::DoubleClick: routing_->DoubleClick(p); break;
    case RunMouse::RightDown: routing_->RightButtonDown(p); break;
    }
    if (app_.m_bSimRepaint.exchange(0) != 0)
        view_.viewport()->update();
}

void RunModeDriver::Tick0()
{
    if (!view_.IsActive())
        return;
    if (const auto period = timers_->Timer0Tick())
        timer0_->start(*period);
}

void RunModeDriver::Tick1()
{
    if (view_.IsActive() && timers_->Timer1Tick())
        view_.viewport()->update();
}

void RunModeDriver::Tick2()
{
    if (view_.IsActive() && timers_->Timer2Tick())
        view_.viewport()->update();
}

void RunModeDriver::Tick5()
{
    if (view_.IsActive())
        timers_->Timer5Tick();
}

void RunModeDriver::OnTouchScreenByte(std::uint8_t byte)
{
    CDrawDoc* project = app_.ProjectDoc();
    if (!project)
        return;
    sim::TouchController touch(project->m_TouchCalibration, app_.m_nResWidth, app_.m_nResHeight);
    touch.repaint = [this] { view_.viewport()->update(); };
    touch.saveProject = [project] { project->DoFileSave(); };
    const auto pen = touch.OnByte(byte);
    if (!pen)
        return;
    // The panel point on the view: the screen starts at the margins, the view shows the
    // document from its scroll position.
    const Point doc{pen->panel.x + app_.m_nMarginX.load(), pen->panel.y + app_.m_nMarginY.load()};
    const Point client = view_.DocToClientPoint(doc);
    const qreal dpr = view_.devicePixelRatioF();
    const QPointF local(client.x / dpr, client.y / dpr);
    const QPointF global = view_.viewport()->mapToGlobal(local);
    QMouseEvent event(pen->down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                      pen->down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view_.viewport(), &event);
}

} // namespace qv
