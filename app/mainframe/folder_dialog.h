#pragma once
// The folder picker of the project's save-as command, on Qt's folder dialog. DoModal gives
// 1 with the chosen folder, 2 when cancelled, -1 when the choice is no local folder.
#include <QString>

class QFileDialog;
class QWidget;

namespace qv {

class CFolderDialog {
public:
    enum Result { NoFolder = -1, Ok = 1, Cancel = 2 };

    CFolderDialog(const QString& title, const QString& initialFolder = {}, QWidget* owner = nullptr);

    void SetInitialFolder(const QString& path) { initial_ = path; }
    int DoModal();
    QString GetFolderPath() const { return chosen_; }

    // The dialog while DoModal runs (tests drive it), else nullptr.
    QFileDialog* dialog() const { return dialog_; }

private:
    QString title_;
    QString initial_;
    QWidget* owner_;
    QString chosen_;
    QFileDialog* dialog_ = nullptr;
};

} // namespace qv
