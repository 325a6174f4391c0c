#pragma once
// "画面": the name of a screen; its size is the project's and only shown. OK refuses a name
// that could not be a window file, with the reason, and keeps the dialog open.
#include "model/tree/window_dialogs.h"

#include <QDialog>

class QLineEdit;

namespace qv {

class UiPrompts;

class CScreenDlg : public QDialog {
public:
    CScreenDlg(const ScreenDialogValues& values, UiPrompts& prompts, QWidget* parent = nullptr);

    const ScreenDialogValues& values() const { return values_; }
    QLineEdit* nameEdit() const { return name_; }

    void accept() override;

private:
    ScreenDialogValues values_;
    UiPrompts& prompts_;
    QLineEdit* name_;
};

// The typed name in GBK when it can name a window; else the reason is shown and nullopt.
std::optional<std::string> takeWindowName(const QString& typed, UiPrompts& prompts);

} // namespace qv
