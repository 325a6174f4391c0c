#pragma once
// "获得最佳的蜂明器频率系数": sends the typed coefficient to the panel's buzzer (one the
// label's 1..1000 refuses is not sent); stays open for further trials. After it closes,
// m_nCoefficient is the last coefficient tried, which "测试获取" takes.
#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

class CDlgBuzzerTest : public QDialog {
    Q_OBJECT
public:
    // `beep` sends one trial to the panel chosen before the dialog opened.
    explicit CDlgBuzzerTest(std::function<void(int)> beep, QWidget* parent = nullptr);

    void OnBeep(); // button 1581
    int m_nCoefficient = 10;
    static constexpr int kMinCoefficient = 1, kMaxCoefficient = 1000;

    QLineEdit* coefficientEdit() const { return edit_; } // control 1580
    QPushButton* beepButton() const { return beepButton_; }

private:
    std::function<void(int)> beep_;
    QLineEdit* edit_ = nullptr;
    QPushButton* beepButton_ = nullptr;
};
