#include "app/mainframe/prog_status_bar.h"

#include "model/document/online_link.h"
#include "platform/qt/qtext.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

namespace qv {
namespace {

const char8_t kIdlePrompt[] = u8"就绪";

QLabel* makePane(QWidget* parent, const QString& text, int minWidth)
{
    auto* label = new QLabel(text, parent);
    label->setMinimumWidth(minWidth);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

} // namespace

CProgStatusBar::CProgStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    // Pane 0: the message text with the progress control laid over it in the same cell.
    auto* pane0 = new QWidget(this);
    auto* grid = new QGridLayout(pane0);
    grid->setContentsMargins(0, 0, 0, 0);
    panes_[Message] = makePane(pane0, QString::fromUtf8(kIdlePrompt), 0);
    panes_[Message]->setFrameStyle(QFrame::NoFrame);
    progress_ = new QProgressBar(pane0);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(true);
    progress_->setVisible(false);
    grid->addWidget(panes_[Message], 0, 0);
    grid->addWidget(progress_, 0, 0);
    addWidget(pane0, 1);

    panes_[SerialPort1] = makePane(this, toQString(SerialPortIdleText(1)), 110);
    panes_[SerialPort2] = makePane(this, toQString(SerialPortIdleText(2)), 110);
    panes_[CursorPosition] = makePane(this, QString(), 110);
    for (int p = SerialPort1; p < PaneCount; ++p)
        addPermanentWidget(panes_[p]);
}

int CProgStatusBar::OnSetProgress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    const int previous = progress_->value();
    const bool shown = !progress_->isHidden();
    if (percent != 0) {
        if (!shown) {
            panes_[Message]->clear();
            progress_->setVisible(true);
        }
        progress_->setValue(percent);
        return previous;
    }
    if (shown) {
        panes_[Message]->clear();
        progress_->setVisible(false);
    }
    progress_->setValue(0);
    ShowIdlePrompt();
    return previous;
}

void CProgStatusBar::SetPaneText(int pane, const QString& text)
{
    if (pane >= 0 && pane < PaneCount)
        panes_[pane]->setText(text);
}

QString CProgStatusBar::PaneText(int pane) const
{
    return pane >= 0 && pane < PaneCount ? panes_[pane]->text() : QString();
}

void CProgStatusBar::ShowIdlePrompt()
{
    panes_[Message]->setText(QString::fromUtf8(kIdlePrompt));
}

} // namespace qv
