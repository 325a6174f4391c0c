#pragma once
// The main window's status bar: pane 0 carries the messages and, over them, the progress
// control of a running worker; panes 1 to 3 show serial port 1, serial port 2 and the
// cursor position.
#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace qv {

class CProgStatusBar : public QStatusBar {
public:
    enum Pane { Message = 0, SerialPort1 = 1, SerialPort2 = 2, CursorPosition = 3, PaneCount = 4 };

    explicit CProgStatusBar(QWidget* parent = nullptr);

    // Non-zero shows the progress control over pane 0 at that position (clamped to 0..100;
    // the pane text is cleared when the control appears); zero hides it and brings the idle
    // prompt back. Returns the previous position. GUI thread only.
    int OnSetProgress(int percent);

    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const;
    void ShowIdlePrompt();

    QProgressBar* progress() const { return progress_; }

private:
    QLabel* panes_[PaneCount];
    QProgressBar* progress_;
};

} // namespace qv
