#include "device/ui/dialog_fit.h"

#include <QDialog>
#include <QFontMetrics>
#include <QPushButton>
#include <algorithm>

namespace qv {

namespace {
// Room for the title bar's icon and buttons, in lines of the dialog's font.
constexpr int kTitleBarButtonLines = 8;
} // namespace

void fitTitleAndButtons(QDialog& dialog)
{
    const QFontMetrics metrics(dialog.font());
    const int title = metrics.horizontalAdvance(dialog.windowTitle()) + kTitleBarButtonLines * metrics.height();
    dialog.setMinimumWidth(std::max(dialog.minimumWidth(), title));
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const QFontMetrics own(button->font());
        const int text = own.horizontalAdvance(button->text()) + 2 * own.horizontalAdvance(QLatin1Char('M'));
        button->setMinimumWidth(std::max(button->minimumWidth(), text));
    }
}

} // namespace qv
