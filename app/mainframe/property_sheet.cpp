#include "app/mainframe/property_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qv {

CMyPropertySheet::CMyPropertySheet(const QString& title, QWidget* parent, int selectPage)
    : QDialog(parent), tabs_(new QTabWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)),
      selectPage_(selectPage)
{
    setWindowTitle(title);
    buttons_->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(u8"确定"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(u8"取消"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(tabs_);
    box->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CMyPropertySheet::AddPage(QWidget* page, const QString& title) { tabs_->addTab(page, title); }

void CMyPropertySheet::showEvent(QShowEvent* event)
{
    // A page number past the last page opens the first one.
    tabs_->setCurrentIndex(selectPage_ >= 0 && selectPage_ < tabs_->count() ? selectPage_ : 0);
    QDialog::showEvent(event);
}

} // namespace qv
