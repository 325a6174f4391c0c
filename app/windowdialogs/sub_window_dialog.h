#pragma once
// "子窗口": name, size, corner, modeless, centring and third-layer options of a sub-window.
// OK refuses a bad name and a window that would not fit the screen, with the reason, and
// keeps the dialog open. The window-type list is shown only when the caller asks for it.
#include "model/tree/window_dialogs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace qv {

class UiPrompts;

class CSubWindowDlg : public QDialog {
public:
    CSubWindowDlg(const SubWindowDialogValues& values, UiPrompts& prompts, QWidget* parent = nullptr);

    const SubWindowDialogValues& values() const { return values_; }

    void accept() override;

private:
    void OnTypeChosen(int index);

    SubWindowDialogValues values_;
    UiPrompts& prompts_;
    QComboBox* type_;
    QLabel* typeLabel_;
    QLineEdit* name_;
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* x_;
    QSpinBox* y_;
    QCheckBox* modeless_;
    QCheckBox* centred_;
    QCheckBox* thirdLayer_;
    // The controls the window type hides: every one but the list.
    std::vector<QWidget*> ordinaryOnly_;
};

} // namespace qv
