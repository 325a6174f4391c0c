#include "picture_tool/ui/font_maker_dlg.h"

#include "platform/qt/qtext.h"
#include "picture_tool/fonts/font_download.h"
#include "picture_tool/packed/packed_file.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

namespace qv::picture_tool {

CFontMakerDlg::CFontMakerDlg(std::filesystem::path folder, QWidget* parent) : QDialog(parent), folder_(std::move(folder))
{
    setWindowTitle(toQString("点阵字库生成器"));
    showMessage = [this](const QString& t) {
        if (qEnvironmentVariableIsEmpty("QV_NONINTERACTIVE"))
            QMessageBox::information(this, windowTitle(), t);
    };
    auto* grid = new QGridLayout(this);
    auto* kind = new QComboBox(this);
    kind->addItems({toQString("中文字库"), toQString("英文字库")});
    width_ = new QLineEdit(this);
    height_ = new QLineEdit(this);
    files_ = new QListWidget(this);
    for (int slot = kFirstOwnFont; slot < kFontSlots; ++slot)
        files_->addItem(QString::number(slot) + QStringLiteral(".zk"));
    files_->setCurrentRow(0);
    make_ = new QPushButton(toQString("生成字库"), this);
    grid->addWidget(kind, 0, 0, 1, 2);
    grid->addWidget(new QLabel(toQString("宽度"), this), 1, 0);
    grid->addWidget(width_, 1, 1);
    grid->addWidget(new QLabel(toQString("高度"), this), 2, 0);
    grid->addWidget(height_, 2, 1);
    grid->addWidget(files_, 3, 0, 1, 2);
    grid->addWidget(new QPushButton(toQString("选择字体"), this), 4, 0);
    grid->addWidget(make_, 4, 1);
    grid->addWidget(new QProgressBar(this), 5, 0, 1, 2);
    connect(make_, &QPushButton::clicked, this, [this] { make(); });
}

void CFontMakerDlg::make()
{
    const auto* item = files_->currentItem();
    if (!item)
        return;
    bool okWidth = false, okHeight = false;
    const uint w = width_->text().trimmed().toUInt(&okWidth), h = height_->text().trimmed().toUInt(&okHeight);
    // The prefix holds 16 bits each.
    if (!okWidth || !okHeight || w > 0xFFFF || h > 0xFFFF) {
        showMessage(toQString("宽度和高度必须在0到65535之间!!"));
        return;
    }
    const std::string said = addFontPrefix(folder_ / "zk" / item->text().toStdString(), static_cast<std::uint16_t>(w),
                                           static_cast<std::uint16_t>(h));
    if (!said.empty())
        showMessage(toQString(said));
}

} // namespace qv::picture_tool
