#pragma once
// The palette "常用工具": a small tool window shown only in full screen with the next-file,
// previous-file and leave-full-screen buttons. It is a child overlay of the main window
// (top-level tool windows cannot be placed on every Linux desktop) and can be dragged by
// its title.
#include <QFrame>
#include <QList>

class QAction;
class QGridLayout;
class QLabel;
class QToolButton;

namespace qv {

class CPaletteBar : public QFrame {
public:
    explicit CPaletteBar(QWidget* parent);

    void SetActions(const QList<QAction*>& actions);
    // Lays the buttons out in rows of `columns` (at least 1).
    void SetPaletteColumns(int columns);
    int columns() const { return columns_; }
    QList<QToolButton*> buttons() const { return buttons_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QLabel* title_;
    QGridLayout* grid_;
    QList<QToolButton*> buttons_;
    int columns_ = 6;
    QPoint dragOffset_;
};

} // namespace qv
