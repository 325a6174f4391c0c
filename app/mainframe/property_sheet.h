#pragma once
// The sheet every settings and object property dialog of the program is shown in: pages
// as tabs, and only OK and Cancel at the bottom right.
#include <QDialog>

class QDialogButtonBox;
class QTabWidget;

namespace qv {

class CMyPropertySheet : public QDialog {
public:
    CMyPropertySheet(const QString& title, QWidget* parent = nullptr, int selectPage = 0);

    void AddPage(QWidget* page, const QString& title);
    int DoModal() { return exec(); }   // QDialog::Accepted (1) for OK, Rejected (0) for Cancel

    QTabWidget* tabs() const { return tabs_; }
    QDialogButtonBox* buttons() const { return buttons_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    int selectPage_;
};

} // namespace qv
