#include "device/ui/buzzer_test_dlg.h"

#include "device/ui/dialog_fit.h"
#include "platform/qt/range_prompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CDlgBuzzerTest::CDlgBuzzerTest(std::function<void(int)> beep, QWidget* parent)
    : QDialog(parent), beep_(std::move(beep))
{
    setWindowTitle(QString::fromUtf8(u8"获得最佳的蜂明器频率系数"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(u8"输入频率系数（最小1，最大1000）：")));
    edit_ = new QLineEdit(QString::number(m_nCoefficient));
    edit_->setObjectName(QStringLiteral("1580"));
    layout->addWidget(edit_);
    beepButton_ = new QPushButton(QString::fromUtf8(u8"用输入的频率系数让工控机上的蜂鸣器鸣叫一声"));
    beepButton_->setObjectName(QStringLiteral("1581"));
    layout->addWidget(beepButton_);
    connect(beepButton_, &QPushButton::clicked, this, &CDlgBuzzerTest::OnBeep);
    qv::fitTitleAndButtons(*this);
}

void CDlgBuzzerTest::OnBeep()
{
    bool ok = false;
    const int value = edit_->text().trimmed().toInt(&ok);
    if (!ok) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(u8"请输入一个整数。"));
        edit_->setFocus();
        return;
    }
    if (value < kMinCoefficient || value > kMaxCoefficient) {
        QMessageBox::warning(this, windowTitle(), qv::RangePromptText(kMinCoefficient, kMaxCoefficient));
        edit_->setFocus();
        return;
    }
    m_nCoefficient = value;
    if (beep_)
        beep_(m_nCoefficient);
}
