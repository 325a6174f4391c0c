#pragma once
// The appearance pages that are a plain list of fields (table, pipe, pipe joint, scale,
// numeric input box): each page is a table of rows, each row one control bound to one
// member of the page model. The page builds its controls from the rows (through the pages'
// binder, but for its own digits-only edits) and writes back only the members whose control
// was changed, so stored values the controls cannot show (a flag of 7, an out-of-list
// choice) stay as they were.
#include "props/appearance_pages.h"
#include "props/ui/page_binder.h"

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
        : PropertyPage(QString::fromUtf8(u8"外观"), parent), m_model(model), m_rows(rows), m_binder(this)
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
        m_binder.Apply();
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
        case FormControl::Color: addControl(form, nullptr, m_binder.color(text, *member)); break;
        case FormControl::Check: addControl(form, nullptr, m_binder.check(text, *member)); break;
        case FormControl::Combo: addControl(form, &text, m_binder.combo(row.choices, *member)); break;
        // The font row's member is its text colour, which the page shows but does not change.
        case FormControl::Font: addControl(form, nullptr, m_binder.font(text, m_model.*row.font)); break;
        case FormControl::Unsigned: {
            auto* edit = new QLineEdit(QString::number(*member), this);
            // Digits only: a letter never reaches the range check or the stored value.
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), edit));
            form.addRow(text, edit);
            m_apply.push_back([edit, member] { *member = static_cast<std::uint32_t>(edit->text().toULongLong()); });
            m_controls.push_back(edit);
            break;
        }
        }
    }

    void addControl(QFormLayout& form, const QString* label, QWidget* control)
    {
        if (label)
            form.addRow(*label, control);
        else
            form.addRow(control);
        m_controls.push_back(control);
    }

    Page& m_model;
    std::span<const FormRow<Page>> m_rows;
    PageBinder m_binder;
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
