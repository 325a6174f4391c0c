#pragma once
// Binds a page's controls to members of its page model: each control shows its member,
// is checked by Validate and written back by Apply only when the user changed it, so a
// stored value the control cannot show (a flag of 7, an out-of-list choice, a number past
// the field's range) stays as it was.
#include "props/control_pages.h"
#include "props/ui/property_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>
#include <span>
#include <vector>

namespace qv {

class PageBinder {
public:
    explicit PageBinder(QWidget* page) : m_page(page) {}

    QCheckBox* check(const QString& text, std::uint32_t& member);
    QComboBox* combo(std::span<const char8_t* const> choices, std::uint32_t& member);
    ColorButton* color(const QString& text, std::uint32_t& member);
    // Decimal edits: unsigned within [low, high], or a signed 32-bit integer.
    QLineEdit* unsignedEdit(std::uint32_t& member, std::uint32_t low = 0, std::uint32_t high = 0xFFFFFFFFu);
    QLineEdit* signedEdit(std::uint32_t& member);
    // A radio group over `choices`; a stored value outside them checks none.
    QWidget* radios(const QString& caption, std::span<const char8_t* const> choices, std::uint32_t& member);
    // A text the user types (GBK in the model): refused when GBK cannot hold it.
    QLineEdit* text(TextSlot& slot);
    // A variable combo over the project's names (GBK); an index outside the table selects none.
    QComboBox* variable(const std::vector<std::string>& names, std::uint32_t& member);
    // A multi-line text (GBK in the model), refused like `text` when GBK cannot hold it.
    QPlainTextEdit* multiText(TextSlot& slot);
    // A picture path with its choose button and, when given, a preview of its own (a
    // picture that cannot be read leaves only its own preview empty).
    QWidget* picture(PictureSlot& slot, const QString& buttonText, QLabel* preview = nullptr);
    // A font button; with `color` the colour dialog follows the font dialog.
    QPushButton* font(const QString& text, LogFont& member, std::uint32_t* color = nullptr);

    // False when an edited field holds no acceptable value: the user told why, the field
    // focused.
    bool Validate() const;
    void Apply() const;

private:
    // The combo's item of `member`, written back when the user picks another; none selected
    // for an index past the items.
    QComboBox* bindIndex(QComboBox* box, std::uint32_t& member);
    // An edit of `slot`'s text, whose text `read` gives.
    template <class Edit>
    Edit* bindText(TextSlot& slot, QString (Edit::*read)() const);

    QWidget* m_page;
    std::vector<std::function<bool()>> m_validate;
    std::vector<std::function<void()>> m_apply;
};

// The framework's prompts for a decimal field; true when `text` is acceptable.
bool CheckUnsignedText(QWidget* parent, const QString& text, std::uint32_t low, std::uint32_t high,
                       std::uint32_t* value = nullptr);
bool CheckSignedText(QWidget* parent, const QString& text, std::int32_t* value = nullptr);

} // namespace qv
