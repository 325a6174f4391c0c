#pragma once
// "编译确认": confirms the six compile options before each compile. The opener sets the
// options, runs the dialog and reads them back after OK.
#include "compiler/compile/compile_options.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QPushButton;

class CDlgCompileConfirm : public QDialog {
    Q_OBJECT
public:
    explicit CDlgCompileConfirm(QWidget* parent = nullptr);

    void setOptions(const qv::compile::CompileOptions& options);
    // The options as shown; a combo whose stored value was outside its list and that the
    // user left alone keeps that value (the compile then refuses it with its message).
    qv::compile::CompileOptions options() const;

    // "测试获取": runs the device scan and the buzzer test; the coefficient it ends with
    // (if any) goes into the field.
    void setBuzzerTest(std::function<std::optional<int>()> test) { buzzerTest_ = std::move(test); }

    QComboBox* colourDepthCombo() const { return colourDepth_; }
    QComboBox* flashSizeCombo() const { return flashSize_; }
    QComboBox* mouseModeCombo() const { return mouseMode_; }
    QComboBox* updateLayersCombo() const { return updateLayers_; }
    QSpinBox* buzzerSpin() const { return buzzer_; }
    QCheckBox* rotatedCheck() const { return rotated_; }
    QPushButton* buzzerTestButton() const { return testButton_; }

private:
    void runBuzzerTest();

    QComboBox* colourDepth_ = nullptr;
    QComboBox* flashSize_ = nullptr;
    QComboBox* mouseMode_ = nullptr;
    QComboBox* updateLayers_ = nullptr;
    QSpinBox* buzzer_ = nullptr;
    QCheckBox* rotated_ = nullptr;
    QPushButton* testButton_ = nullptr;
    qv::compile::CompileOptions loaded_;
    std::function<std::optional<int>()> buzzerTest_;
};
