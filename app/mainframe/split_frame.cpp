#include "app/mainframe/split_frame.h"

#include "platform/qt/qtext.h"

#include <QCloseEvent>
#include <QLabel>

namespace qv {
namespace {

constexpr Qt::WindowFlags kFrameFlags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                        | Qt::WindowMinMaxButtonsHint;

QWidget* placeholderFor(const DocumentWindowInfo& info)
{
    auto* label = new QLabel(toQString(info.title));
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

} // namespace

CSplitFrame::CSplitFrame(DocumentWindowInfo info, QWidget* view, QWidget* parent)
    : QMdiSubWindow(parent, kFrameFlags), info_(std::move(info))
{
    setWidget(view != nullptr ? view : placeholderFor(info_));
    setWindowTitle(toQString(info_.title));
    setAttribute(Qt::WA_DeleteOnClose);
}

void CSplitFrame::UpdateInfo(DocumentWindowInfo info)
{
    const bool retitled = info.title != info_.title;
    info_ = std::move(info);
    if (retitled)
        setWindowTitle(toQString(info_.title));
}

void CSplitFrame::SetCaptionVisible(bool visible)
{
    if (visible == captionVisible_)
        return;
    captionVisible_ = visible;
    const bool maximized = isMaximized();
    setWindowFlags(visible ? kFrameFlags : (kFrameFlags | Qt::FramelessWindowHint));
    if (maximized)
        showMaximized();
    else
        show();
}

bool CSplitFrame::event(QEvent* event)
{
    const bool handled = QMdiSubWindow::event(event);
    // Moving into the area adds a system menu to frames with minimise and maximise buttons,
    // and with it a close button (in the menu bar once maximised) that could close nothing.
    // Set again inside the area, the flags are taken as they are.
    if (event->type() == QEvent::ParentChange && parentWidget() != nullptr
        && windowFlags().testFlag(Qt::WindowSystemMenuHint))
        setWindowFlags(windowFlags() & ~Qt::WindowSystemMenuHint);
    return handled;
}

void CSplitFrame::CloseByProgram()
{
    closing_ = true;
    close();
}

void CSplitFrame::closeEvent(QCloseEvent* event)
{
    if (!closing_) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace qv
