#pragma once
// Number fields of the settings dialogs: digits only while typing, read back as ints, and a
// refused field shown with its message (or the range prompt) and focused.
#include "config/settings/other_settings.h"

#include <functional>
#include <span>

class QLineEdit;
class QString;
class QWidget;

namespace qv {

QLineEdit* NumberEdit(QWidget* parent);
// -1 for a field that holds no number, so it fails every range.
int NumberOf(const QLineEdit* edit);
void ShowNumbers(std::span<QLineEdit* const> edits, const int* values);
void ReadNumbers(std::span<QLineEdit* const> edits, int* values);
// Shows why OK was refused and puts the focus on the field.
void ShowFieldRefusal(const settings_page::FieldRefusal& refusal, QLineEdit* field,
                      const std::function<void(const QString&)>& showMessage);
// The message seam's default: a warning box over `parent` titled with its window title.
std::function<void(const QString&)> WarningBoxOver(QWidget* parent);

} // namespace qv
