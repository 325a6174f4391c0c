#include "app/startup/qt_prompt.h"

#include "app/startup/message_box.h"

#include <QColorDialog>

namespace qv {

void QtPrompt::ShowMessage(std::string_view textGbk, Icon icon)
{
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                   QMessageBox::Critical};
    showMessageBox(parent_, textGbk, kIcons[static_cast<int>(icon)]);
}

bool QtPrompt::AskYesNo(std::string_view textGbk)
{
    return showMessageBox(parent_, textGbk, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::uint32_t> QtPrompt::ChooseColor(std::uint32_t initial)
{
    if (nonInteractive())
        return std::nullopt;
    // Colours are 0x00BBGGRR.
    const QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, parent_);
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<std::uint32_t>(chosen.red()) | (static_cast<std::uint32_t>(chosen.green()) << 8) |
           (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

} // namespace qv
