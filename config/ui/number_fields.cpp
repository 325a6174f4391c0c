#include "config/ui/number_fields.h"

#include "platform/qt/qtext.h"
#include "platform/qt/range_prompt.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpressionValidator>

namespace qv {

QLineEdit* NumberEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
    return edit;
}

int NumberOf(const QLineEdit* edit)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : -1;
}

void ShowNumbers(std::span<QLineEdit* const> edits, const int* values)
{
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(QString::number(values[i]));
}

void ReadNumbers(std::span<QLineEdit* const> edits, int* values)
{
    for (std::size_t i = 0; i < edits.size(); ++i)
        values[i] = NumberOf(edits[i]);
}

void ShowFieldRefusal(const settings_page::FieldRefusal& refusal, QLineEdit* field,
                      const std::function<void(const QString&)>& showMessage)
{
    showMessage(refusal.messageGbk.empty()
                    ? RangePromptText(refusal.range.low, refusal.range.high, toQString(refusal.range.labelGbk))
                    : toQString(refusal.messageGbk));
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

std::function<void(const QString&)> WarningBoxOver(QWidget* parent)
{
    return [p = QPointer<QWidget>(parent)](const QString& text) {
        QMessageBox::warning(p, p ? p->windowTitle() : QString(), text);
    };
}

} // namespace qv
