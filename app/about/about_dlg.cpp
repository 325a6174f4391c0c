#include "app/about/about_dlg.h"

#include "compiler/image/image_layout.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qv {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(u8"关于 Quorvane"));
    auto* layout = new QVBoxLayout(this);
    version_ = new QLabel(versionText(), this);
    version_->setObjectName(QString::fromUtf8(u8"version"));
    layout->addWidget(version_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString CAboutDlg::versionText()
{
    return QString::fromUtf8(u8"Quorvane V%1.%2 版").arg(int{image::kVersionMajor}).arg(int{image::kVersionMinor});
}

QString CAboutDlg::shownVersion() const { return version_->text(); }

} // namespace qv

namespace qv {
void OnAppAbout(QWidget* parent)
{
    CAboutDlg dlg(parent);
    dlg.exec();
}
} // namespace qv
