#include "app/windowdialogs/screen_dialog.h"

#include "model/document/ui_prompts.h"
#include "platform/qt/qtext.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qv {

std::optional<std::string> takeWindowName(const QString& typed, UiPrompts& prompts)
{
    const auto gbk = fromQString(typed);
    if (!gbk) {
        prompts.ShowMessage("名字中含有GBK不能表示的字符!", UiPrompts::Icon::Warning);
        return std::nullopt;
    }
    if (auto why = CheckWindowName(*gbk)) {
        prompts.ShowMessage(*why, UiPrompts::Icon::Warning);
        return std::nullopt;
    }
    return gbk;
}

CScreenDlg::CScreenDlg(const ScreenDialogValues& values, UiPrompts& prompts, QWidget* parent)
    : QDialog(parent), values_(values), prompts_(prompts), name_(new QLineEdit(toQString(values.name), this))
{
    setWindowTitle(QString::fromUtf8(u8"画面"));
    name_->setObjectName(QStringLiteral("name"));
    auto* width = new QLineEdit(QString::number(values.width), this);
    auto* height = new QLineEdit(QString::number(values.height), this);
    width->setObjectName(QStringLiteral("width"));
    height->setObjectName(QStringLiteral("height"));
    width->setReadOnly(true);
    height->setReadOnly(true);

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(u8"画面名字："), name_);
    form->addRow(QString::fromUtf8(u8"画面宽度："), width);
    form->addRow(QString::fromUtf8(u8"画面高度："), height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScreenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CScreenDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    name_->selectAll();
}

void CScreenDlg::accept()
{
    const auto name = takeWindowName(name_->text(), prompts_);
    if (!name)
        return;
    values_.name = *name;
    QDialog::accept();
}

} // namespace qv
