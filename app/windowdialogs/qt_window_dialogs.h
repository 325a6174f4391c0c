#pragma once
// The project tree's dialogs on Qt: the screen and sub-window dialogs, modal, and the
// open-file dialog of the import commands. Messages go through the application's prompts.
#include "model/tree/window_dialogs.h"

class QWidget;

namespace qv {

class UiPrompts;

class QtWindowDialogs : public WindowDialogs {
public:
    QtWindowDialogs(UiPrompts& prompts, QWidget* parent) : prompts_(prompts), parent_(parent) {}

    bool EditScreen(ScreenDialogValues& values) override;
    bool EditSubWindow(SubWindowDialogValues& values) override;
    std::optional<std::filesystem::path> ChooseWindowFile(WindowKind kind) override;

private:
    UiPrompts& prompts_;
    QWidget* parent_;
};

} // namespace qv
