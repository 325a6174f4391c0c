#include "picture_tool/ui/tessolin_about_dlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace qv::picture_tool {

CTessolinAboutDlg::CTessolinAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(u8"关于 Tessolin"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* icon = new QLabel(this);
    const QIcon programIcon = QApplication::windowIcon();
    const QIcon shown = programIcon.isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : programIcon;
    icon->setPixmap(shown.pixmap(32, 32));
    row->addWidget(icon);
    row->addWidget(new QLabel(QString::fromUtf8(u8"Tessolin 1.0 版"), this));
    layout->addLayout(row);
    auto* ok = new QPushButton(QString::fromUtf8(u8"确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

} // namespace qv::picture_tool
