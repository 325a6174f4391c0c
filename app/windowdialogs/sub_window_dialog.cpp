#include "app/windowdialogs/sub_window_dialog.h"

#include "app/windowdialogs/screen_dialog.h"
#include "model/document/ui_prompts.h"
#include "platform/qt/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qv {

namespace {

constexpr int kMaxPixels = 100000;

QSpinBox* pixelBox(unsigned value, const char* objectName, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, kMaxPixels);
    box->setValue(static_cast<int>(std::min<unsigned>(value, kMaxPixels)));
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

QCheckBox* checkBox(const char8_t* text, int checked, const char* objectName, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromUtf8(text), parent);
    box->setChecked(checked != 0);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

} // namespace

CSubWindowDlg::CSubWindowDlg(const SubWindowDialogValues& values, UiPrompts& prompts, QWidget* parent)
    : QDialog(parent), values_(values), prompts_(prompts)
{
    setWindowTitle(QString::fromUtf8(u8"子窗口"));
    // A system sub-window is always shown in the third layer.
    if (values_.system)
        values_.thirdLayer = 1;

    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("type"));
    type_->addItems({QString::fromUtf8(u8"普通窗口"), QString::fromUtf8(u8"系统键盘.dlg"), QString::fromUtf8(u8"数字键盘.dlg")});
    typeLabel_ = new QLabel(QString::fromUtf8(u8"窗口类型:"), this);
    name_ = new QLineEdit(toQString(values_.name), this);
    name_->setObjectName(QStringLiteral("name"));
    width_ = pixelBox(values_.width, "width", this);
    height_ = pixelBox(values_.height, "height", this);
    x_ = pixelBox(values_.x, "x", this);
    y_ = pixelBox(values_.y, "y", this);
    modeless_ = checkBox(u8"设置为非模态型子窗口", values_.modeless, "modeless", this);
    centred_ = checkBox(u8"子窗口居中于画面", values_.centred, "centred", this);
    thirdLayer_ = checkBox(u8"设置为在第三层显示", values_.thirdLayer, "thirdLayer", this);
    thirdLayer_->setEnabled(!values_.system);
    thirdLayer_->hide();

    auto* grid = new QGridLayout;
    auto row = [&](int r, const char8_t* label, QWidget* field) {
        auto* l = new QLabel(QString::fromUtf8(label), this);
        grid->addWidget(l, r, 0);
        grid->addWidget(field, r, 1);
        ordinaryOnly_.push_back(l);
        ordinaryOnly_.push_back(field);
    };
    grid->addWidget(typeLabel_, 0, 0);
    grid->addWidget(type_, 0, 1);
    row(1, u8"子窗口名字：", name_);
    row(2, u8"子窗口宽度:", width_);
    row(3, u8"子窗口高度:", height_);
    row(4, u8"左上角X坐标:", x_);
    row(5, u8"左上角Y坐标:", y_);
    for (QCheckBox* box : {modeless_, centred_}) {
        grid->addWidget(box, grid->rowCount(), 0, 1, 2);
        ordinaryOnly_.push_back(box);
    }
    grid->addWidget(thirdLayer_, grid->rowCount(), 0, 1, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSubWindowDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSubWindowDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    values_.typeIndex = 0;
    type_->setCurrentIndex(0);
    if (values_.showType == 0) {
        type_->hide();
        typeLabel_->hide();
    }
    connect(type_, &QComboBox::currentIndexChanged, this, &CSubWindowDlg::OnTypeChosen);
    name_->selectAll();
}

void CSubWindowDlg::OnTypeChosen(int index)
{
    values_.typeIndex = index;
    for (QWidget* w : ordinaryOnly_)
        w->setVisible(index == 0);
}

void CSubWindowDlg::accept()
{
    values_.typeText = fromQString(type_->currentText()).value_or(std::string());
    if (values_.typeIndex == 0) {
        const auto name = takeWindowName(name_->text(), prompts_);
        if (!name)
            return;
        const bool centred = centred_->isChecked();
        const std::int64_t w = width_->value();
        const std::int64_t h = height_->value();
        const std::int64_t x = centred ? CentredOrigin(values_.resWidth, w) : x_->value();
        const std::int64_t y = centred ? CentredOrigin(values_.resHeight, h) : y_->value();
        if (values_.resWidth > 0 && values_.resHeight > 0) {
            if (auto why = CheckSubWindowPlacement(x, y, w, h, values_.resWidth, values_.resHeight)) {
                prompts_.ShowMessage(*why, UiPrompts::Icon::Warning);
                return;
            }
        }
        values_.name = *name;
        values_.width = static_cast<unsigned>(w);
        values_.height = static_cast<unsigned>(h);
        values_.x = static_cast<unsigned>(x_->value());
        values_.y = static_cast<unsigned>(y_->value());
        values_.modeless = modeless_->isChecked() ? 1 : 0;
        values_.centred = centred ? 1 : 0;
    }
    values_.thirdLayer = values_.system || thirdLayer_->isChecked() ? 1 : 0;
    QDialog::accept();
}

} // namespace qv
