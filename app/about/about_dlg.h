#pragma once
// The about box (帮助 > 关于): names the program and its version.
#include <QDialog>

class QLabel;

namespace qv {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // "Quorvane V3.2 版": the same version the compiler writes into every image.
    static QString versionText();
    QString shownVersion() const;

private:
    QLabel* version_ = nullptr;
};

} // namespace qv

namespace qv {
// Command 帮助 > 关于: the modal about box.
void OnAppAbout(QWidget* parent);
} // namespace qv
