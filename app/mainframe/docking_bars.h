#pragma once
// The two docking bars of the main window: the project bar "工程管理栏" (left), which hosts
// the project tree, and the output bar "输出" (bottom), which hosts the log every long
// operation writes into. Dock widgets give the sizing edge, the float and close buttons
// and docking on any side; the bars keep a 32-pixel minimum.
#include <QDockWidget>
#include <QPlainTextEdit>
#include <string_view>

class QTreeWidget;

namespace qv {

class CSizingBar : public QDockWidget {
public:
    CSizingBar(const QString& title, const QString& objectName, QSize defaultSize, QWidget* parent);
    QSize defaultSize() const { return defaultSize_; }
    void ShowBar(bool show) { setVisible(show); }

protected:
    void setContent(QWidget* content);

private:
    QSize defaultSize_;
};

// The project bar: a tree with the root "工程" until the project tree takes its place.
class CProjectBar : public CSizingBar {
public:
    explicit CProjectBar(QWidget* parent);
    // Replaces the placeholder by the real tree; the bar takes ownership.
    void SetTreeWidget(QWidget* tree);
    QWidget* treeWidget() const { return widget(); }
};

// The log: selectable and scrollable, but it takes no typing and has no context menu.
class COutputEdit : public QPlainTextEdit {
public:
    explicit COutputEdit(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

class COutputBar : public CSizingBar {
public:
    // The log keeps this many lines; older ones are dropped so a long run cannot exhaust memory.
    static constexpr int kMaxLines = 50000;

    explicit COutputBar(QWidget* parent);

    // Appends at the end and scrolls there. Callers pass whole lines ending "\r\n".
    // GUI thread only: workers post through the report queue.
    void AppendText(std::string_view gbk);
    void AppendText(const QString& text);
    void ClearText();
    QString text() const;

    COutputEdit* edit() const { return edit_; }

private:
    COutputEdit* edit_;
};

} // namespace qv
