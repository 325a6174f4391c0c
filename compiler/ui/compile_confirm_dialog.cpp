#include "compiler/ui/compile_confirm_dialog.h"

#include "compiler/image/nand_geometry.h"
#include "platform/qt/qtext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QComboBox* comboOf(std::span<const char* const> textsGbk)
{
    auto* combo = new QComboBox;
    for (const char* t : textsGbk)
        combo->addItem(qv::toQString(t));
    return combo;
}

void select(QComboBox* combo, std::uint8_t value)
{
    combo->setCurrentIndex(value < combo->count() ? value : -1);
}

std::uint8_t selected(const QComboBox* combo, std::uint8_t loaded)
{
    return combo->currentIndex() >= 0 ? static_cast<std::uint8_t>(combo->currentIndex()) : loaded;
}

} // namespace

CDlgCompileConfirm::CDlgCompileConfirm(QWidget* parent) : QDialog(parent)
{
    using namespace qv::compile;
    setWindowTitle(QString::fromUtf8(u8"编译确认"));

    std::vector<const char*> flashTexts;
    for (const auto& c : qv::image::flashSizeChoices())
        flashTexts.push_back(c.comboText);

    colourDepth_ = comboOf(colourDepthTexts());
    flashSize_ = comboOf(flashTexts);
    mouseMode_ = comboOf(mouseModeTexts());
    updateLayers_ = comboOf(updateLayerTexts());
    buzzer_ = new QSpinBox;
    buzzer_->setRange(kMinBuzzerCoefficient, kMaxBuzzerCoefficient);
    testButton_ = new QPushButton(QString::fromUtf8(u8"测试获取"));
    rotated_ = new QCheckBox(QString::fromUtf8(u8"LCD逆时针旋转90度使用"));

    auto* buzzerRow = new QHBoxLayout;
    buzzerRow->addWidget(buzzer_, 1);
    buzzerRow->addWidget(testButton_);

    auto* group = new QGroupBox(QString::fromUtf8(u8"设置下位机目标硬件（嵌入式HMI产品）参数"));
    auto* form = new QFormLayout(group);
    form->addRow(QString::fromUtf8(u8"颜色深度:"), colourDepth_);
    form->addRow(QString::fromUtf8(u8"FLASH容量:"), flashSize_);
    form->addRow(QString::fromUtf8(u8"鼠标模式:"), mouseMode_);
    form->addRow(QString::fromUtf8(u8"更新检测层数:"), updateLayers_);
    form->addRow(QString::fromUtf8(u8"蜂鸣器频率系数:"), buzzerRow);
    form->addRow(rotated_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(testButton_, &QPushButton::clicked, this, &CDlgCompileConfirm::runBuzzerTest);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(u8"编译工程需要花费一定的时间!!!")));
    auto* hint = new QLabel(QString::fromUtf8(u8"如果不想下载工程到下位机去验证硬件，可以先使用PC机的仿真功能进行工程的验证。"));
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addWidget(group);
    layout->addWidget(buttons);

    setOptions(CompileOptions{});
}

void CDlgCompileConfirm::setOptions(const qv::compile::CompileOptions& o)
{
    loaded_ = o;
    select(colourDepth_, o.colourDepthCode);
    select(flashSize_, o.flashSizeCode);
    select(mouseMode_, o.mouseMode);
    select(updateLayers_, o.updateCheckLayers);
    buzzer_->setValue(o.buzzerCoefficient);
    rotated_->setChecked(o.lcdRotated != 0);
}

qv::compile::CompileOptions CDlgCompileConfirm::options() const
{
    qv::compile::CompileOptions o;
    o.colourDepthCode = selected(colourDepth_, loaded_.colourDepthCode);
    o.flashSizeCode = selected(flashSize_, loaded_.flashSizeCode);
    o.mouseMode = selected(mouseMode_, loaded_.mouseMode);
    o.updateCheckLayers = selected(updateLayers_, loaded_.updateCheckLayers);
    o.buzzerCoefficient = buzzer_->value();
    o.lcdRotated = rotated_->isChecked() ? 1 : 0;
    return o;
}

void CDlgCompileConfirm::runBuzzerTest()
{
    if (!buzzerTest_)
        return;
    if (auto coefficient = buzzerTest_())
        buzzer_->setValue(*coefficient);
}
