#include "app/windowdialogs/qt_window_dialogs.h"

#include "app/windowdialogs/screen_dialog.h"
#include "app/windowdialogs/sub_window_dialog.h"

#include <QFileDialog>

namespace qv {

bool QtWindowDialogs::EditScreen(ScreenDialogValues& values)
{
    CScreenDlg dialog(values, prompts_, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values = dialog.values();
    return true;
}

bool QtWindowDialogs::EditSubWindow(SubWindowDialogValues& values)
{
    CSubWindowDlg dialog(values, prompts_, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values = dialog.values();
    return true;
}

std::optional<std::filesystem::path> QtWindowDialogs::ChooseWindowFile(WindowKind kind)
{
    const bool screen = kind == WindowKind::Screen;
    QFileDialog dialog(parent_);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(screen ? QString::fromUtf8(u8"画面(*.drw)") : QString::fromUtf8(u8"子窗口(*.dlg)"));
    dialog.setDefaultSuffix(screen ? QStringLiteral("drw") : QStringLiteral("dlg"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

} // namespace qv
