#include "app/mainframe/palette_bar.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace qv {

CPaletteBar::CPaletteBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("paletteBar"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(2, 2, 2, 2);
    box->setSpacing(2);
    title_ = new QLabel(QString::fromUtf8(u8"常用工具"), this);
    title_->setAutoFillBackground(true);
    title_->setBackgroundRole(QPalette::Highlight);
    title_->setForegroundRole(QPalette::HighlightedText);
    box->addWidget(title_);
    grid_ = new QGridLayout;
    grid_->setSpacing(1);
    box->addLayout(grid_);
    setWindowTitle(title_->text());
}

void CPaletteBar::SetActions(const QList<QAction*>& actions)
{
    qDeleteAll(buttons_);
    buttons_.clear();
    for (QAction* act : actions) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(act);
        button->setAutoRaise(true);
        buttons_.append(button);
    }
    SetPaletteColumns(columns_);
}

void CPaletteBar::SetPaletteColumns(int columns)
{
    columns_ = std::max(columns, 1);
    for (QToolButton* b : buttons_)
        grid_->removeWidget(b);
    for (int i = 0; i < buttons_.size(); ++i)
        grid_->addWidget(buttons_[i], i / columns_, i % columns_);
    adjustSize();
}

void CPaletteBar::mousePressEvent(QMouseEvent* event)
{
    dragOffset_ = event->position().toPoint();
    event->accept();
}

void CPaletteBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || parentWidget() == nullptr)
        return;
    QPoint to = mapToParent(event->position().toPoint() - dragOffset_);
    const QRect area = parentWidget()->rect();
    to.setX(std::clamp(to.x(), 0, std::max(0, area.width() - width())));
    to.setY(std::clamp(to.y(), 0, std::max(0, area.height() - height())));
    move(to);
    event->accept();
}

} // namespace qv
