#pragma once
// The appearance pages that are a plain list of fields (table, pipe, pipe joint, scale,
// numeric input box): each page is a table of rows, each row one control bound to one
// member of the page model. The page builds its controls from the rows and writes back
// only the members whose control was changed, so stored values the controls cannot show
// (a flag of 7, an out-of-list choice) stay as they were.
#include "props/appearance_pages.h"
#include "props/ui/property_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <functional>
#include <span>
#include <vector>

namespace qv {

enum class FormControl { Color, Check, Combo, Unsigned, Font };

template <class Page>
struct FormRow {
    FormControl control;
    const char8_t* text;
    std::uint32_t Page::*member;                 // the font row: its text colour
    std::span<const char8_t* const> choices{};   // combo
    std::uint32_t low = 0, high = 0xFFFFFFFFu;   // unsigned edit
    LogFont Page::*font = nullptr;               // font row
};

template <class Page>
class FormPage : public PropertyPage {
public:
    FormPage(Page& model, std::span<const FormRow<Page>> rows, QWidget* parent = nullptr)
        : PropertyPage(QString::fromUtf8(u8"外观"), parent), m_model(model), m_rows(rows)
    {
        auto* form = new QFormLayout(this);
        for (const FormRow<Page>& row : rows)
            addRow(*form, row);
    }

    bool Validate() override
    {
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (m_rows[i].control != FormControl::Unsigned)
                continue;
            auto* edit = static_cast<QLineEdit*>(m_controls[i]);
            bool ok = false;
            const qulonglong value = edit->text().toULongLong(&ok);
            if (!ok || value < m_rows[i].low || value > m_rows[i].high) {
                ShowRangePrompt(this, m_rows[i].low, m_rows[i].high, QString::fromUtf8(m_rows[i].text));
                edit->setFocus();
                return false;
            }
        }
        return true;
    }

    void Apply() override
    {
        for (const std::function<void()>& apply : m_apply)
            apply();
    }

    QWidget* control(std::size_t row) const { return m_controls.at(row); }

private:
    void addRow(QFormLayout& form, const FormRow<Page>& row)
    {
        const QString text = QString::fromUtf8(row.text);
        std::uint32_t* member = row.member ? &(m_model.*row.member) : nullptr;
        switch (row.control) {
        case FormControl::Color: {
            auto* button = new ColorButton(text, *member, this);
            form.addRow(button);
            m_apply.push_back([button, member] { *member = button->color(); });
            m_controls.push_back(button);
            break;
        }
        case FormControl::Check: {
            auto* check = new QCheckBox(text, this);
            check->setChecked(*member != 0);
            form.addRow(check);
            m_apply.push_back([check, member] {
                if (check->isChecked() != (*member != 0))
                    *member = check->isChecked() ? 1 : 0;
            });
            m_controls.push_back(check);
            break;
        }
        case FormControl::Combo: {
            auto* combo = new QComboBox(this);
            for (const char8_t* choice : row.choices)
                combo->addItem(QString::fromUtf8(choice));
            combo->setCurrentIndex(*member < row.choices.size() ? static_cast<int>(*member) : -1);
            form.addRow(text, combo);
            m_apply.push_back([combo, member] {
                if (combo->currentIndex() >= 0 && static_cast<std::uint32_t>(combo->currentIndex()) != *member)
                    *member = static_cast<std::uint32_t>(combo->currentIndex());
            });
            m_controls.push_back(combo);
            break;
        }
        case FormControl::Unsigned: {
            auto* edit = new QLineEdit(QString::number(*member), this);
            // Digits only: a letter never reaches the range check or the stored value.
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), edit));
            form.addRow(text, edit);
            m_apply.push_back([edit, member] { *member = static_cast<std::uint32_t>(edit->text().toULongLong()); });
            m_controls.push_back(edit);
            break;
        }
        case FormControl::Font: {
            auto* button = new QPushButton(text, this);
            LogFont* font = &(m_model.*row.font);
            auto chosen = std::make_shared<std::pair<LogFont, ColorRef>>(*font, *member);
            connect(button, &QPushButton::clicked, this, [this, chosen] {
                bool ok = false;
                const QFont picked = QFontDialog::getFont(&ok, toQFont(chosen->first), this);
                if (ok)
                    chosen->first = fromQFont(picked, chosen->first);
            });
            form.addRow(button);
            m_apply.push_back([chosen, font, member] {
                *font = chosen->first;
                *member = chosen->second;
            });
            m_controls.push_back(button);
            break;
        }
        }
    }

    Page& m_model;
    std::span<const FormRow<Page>> m_rows;
    std::vector<QWidget*> m_controls;
    std::vector<std::function<void()>> m_apply;
};

// The rows of each page, in the order the page shows them.
std::span<const FormRow<TablePage>> TablePageRows();
std::span<const FormRow<PipePage>> PipePageRows();
std::span<const FormRow<PipeJointPage>> PipeJointPageRows();
std::span<const FormRow<ScalePage>> ScalePageRows();
std::span<const FormRow<NumericInputPage>> NumericInputPageRows();

} // namespace qv
