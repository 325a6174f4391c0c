#pragma once
// The frame of every document window: opened maximised, without a close box or system
// menu (documents close with the project, never one by one from their frame).
#include <QMdiSubWindow>
#include <string>

namespace qv {

struct DocumentWindowInfo {
    std::string title;          // GBK document title ("win0.drw", "模拟LCD/VGA显示屏")
    bool isProject = false;     // the project document
    bool runMode = false;       // the simulator document's run-mode view
    const void* document = nullptr; // the model document it shows (identity only)
};

class CSplitFrame : public QMdiSubWindow {
public:
    // `view` becomes the frame's widget; nullptr gives a placeholder showing the title.
    CSplitFrame(DocumentWindowInfo info, QWidget* view, QWidget* parent = nullptr);

    const DocumentWindowInfo& info() const { return info_; }
    // Takes the document's current title and flags.
    void UpdateInfo(DocumentWindowInfo info);

    // Full screen strips the caption and border; leaving gives them back.
    void SetCaptionVisible(bool visible);
    bool captionVisible() const { return captionVisible_; }

    // Only the program closes a document window (when its document closes).
    void CloseByProgram();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    DocumentWindowInfo info_;
    bool captionVisible_ = true;
    bool closing_ = false;
};

} // namespace qv
