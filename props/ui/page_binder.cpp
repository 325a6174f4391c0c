#include "props/ui/page_binder.h"

#include "platform/picture/picture.h"
#include "platform/picture/surface_image.h"
#include "platform/qt/qtext.h"
#include "props/ui/page_seams.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <memory>

#include <limits>

namespace qv {

bool CheckUnsignedText(QWidget* parent, const QString& text, std::uint32_t low, std::uint32_t high, std::uint32_t* value)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    const qulonglong v = trimmed.toULongLong(&ok);
    if (!ok || trimmed.startsWith(u'+')) {
        ShowPageMessage(parent, QString::fromUtf8(u8"请填入一个正整数。"));
        return false;
    }
    if (v < low || v > high) {
        ShowRangePrompt(parent, low, high);
        return false;
    }
    if (value)
        *value = static_cast<std::uint32_t>(v);
    return true;
}

bool CheckSignedText(QWidget* parent, const QString& text, std::int32_t* value)
{
    bool ok = false;
    const long long v = text.trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
        ShowPageMessage(parent, QString::fromUtf8(u8"请键入一个整数。"));
        return false;
    }
    if (value)
        *value = static_cast<std::int32_t>(v);
    return true;
}

QCheckBox* PageBinder::check(const QString& text, std::uint32_t& member)
{
    auto* box = new QCheckBox(text, m_page);
    box->setChecked(member != 0);
    m_apply.push_back([box, &member] {
        if (box->isChecked() != (member != 0))
            member = box->isChecked() ? 1 : 0;
    });
    return box;
}

QComboBox* PageBinder::combo(std::span<const char8_t* const> choices, std::uint32_t& member)
{
    auto* box = new QComboBox(m_page);
    for (const char8_t* choice : choices)
        box->addItem(QString::fromUtf8(choice));
    return bindIndex(box, member);
}

QComboBox* PageBinder::bindIndex(QComboBox* box, std::uint32_t& member)
{
    box->setCurrentIndex(member < static_cast<std::uint32_t>(box->count()) ? static_cast<int>(member) : -1);
    m_apply.push_back([box, &member] {
        if (box->currentIndex() >= 0 && static_cast<std::uint32_t>(box->currentIndex()) != member)
            member = static_cast<std::uint32_t>(box->currentIndex());
    });
    return box;
}

ColorButton* PageBinder::color(const QString& text, std::uint32_t& member)
{
    auto* button = new ColorButton(text, member, m_page);
    m_apply.push_back([button, &member] { member = button->color(); });
    return button;
}

QLineEdit* PageBinder::unsignedEdit(std::uint32_t& member, std::uint32_t low, std::uint32_t high)
{
    const QString shown = QString::number(member);
    auto* edit = new QLineEdit(shown, m_page);
    m_validate.push_back([this, edit, shown, low, high] {
        if (edit->text() == shown || CheckUnsignedText(m_page, edit->text(), low, high))
            return true;
        edit->setFocus();
        return false;
    });
    m_apply.push_back([edit, shown, &member] {
        if (edit->text() != shown)
            member = static_cast<std::uint32_t>(edit->text().trimmed().toULongLong());
    });
    return edit;
}

QLineEdit* PageBinder::signedEdit(std::uint32_t& member)
{
    const QString shown = QString::number(static_cast<std::int32_t>(member));
    auto* edit = new QLineEdit(shown, m_page);
    m_validate.push_back([this, edit, shown] {
        if (edit->text() == shown || CheckSignedText(m_page, edit->text()))
            return true;
        edit->setFocus();
        return false;
    });
    m_apply.push_back([edit, shown, &member] {
        if (edit->text() != shown)
            member = static_cast<std::uint32_t>(static_cast<std::int32_t>(edit->text().trimmed().toLongLong()));
    });
    return edit;
}

QWidget* PageBinder::radios(const QString& caption, std::span<const char8_t* const> choices, std::uint32_t& member)
{
    auto* box = new QGroupBox(caption, m_page);
    auto* layout = new QHBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(choices[i]), box);
        radio->setChecked(member == i);
        group->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
    }
    m_apply.push_back([group, &member] {
        if (group->checkedId() >= 0 && static_cast<std::uint32_t>(group->checkedId()) != member)
            member = static_cast<std::uint32_t>(group->checkedId());
    });
    return box;
}

template <class Edit>
Edit* PageBinder::bindText(TextSlot& slot, QString (Edit::*read)() const)
{
    const QString shown = toQString(slot.text);
    auto* edit = new Edit(shown, m_page);
    m_validate.push_back([this, edit, shown, read] {
        if ((edit->*read)() == shown || fromQString((edit->*read)()))
            return true;
        ShowPageMessage(m_page, QString::fromUtf8(u8"内容中有无法保存的字符。"));
        edit->setFocus();
        return false;
    });
    m_apply.push_back([edit, shown, read, &slot] {
        if ((edit->*read)() != shown)
            slot.text = fromQString((edit->*read)()).value_or(slot.text);
    });
    return edit;
}

QLineEdit* PageBinder::text(TextSlot& slot) { return bindText(slot, &QLineEdit::text); }

QComboBox* PageBinder::variable(const std::vector<std::string>& names, std::uint32_t& member)
{
    auto* box = new QComboBox(m_page);
    for (const std::string& name : names)
        box->addItem(toQString(name));
    return bindIndex(box, member);
}

QPlainTextEdit* PageBinder::multiText(TextSlot& slot) { return bindText(slot, &QPlainTextEdit::toPlainText); }

namespace {

QString pathText(const std::filesystem::path& p) { return QString::fromStdU16String(p.u16string()); }

void showPreview(QLabel* preview, const std::filesystem::path& path)
{
    if (!preview)
        return;
    std::string error;
    const PicturePtr picture = path.empty() ? nullptr : loadPictureFile(path, &error);
    if (!picture) {
        preview->clear();
        return;
    }
    preview->setPixmap(QPixmap::fromImage(wrapSurface(picture->pixels).copy()));
}

} // namespace

QWidget* PageBinder::picture(PictureSlot& slot, const QString& buttonText, QLabel* preview)
{
    auto* row = new QWidget(m_page);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* edit = new QLineEdit(pathText(slot.path), row);
    edit->setReadOnly(true);
    auto* button = new QPushButton(buttonText, row);
    layout->addWidget(edit);
    layout->addWidget(button);
    auto chosen = std::make_shared<std::filesystem::path>(slot.path);
    if (preview) {
        preview->setScaledContents(true);
        preview->setMinimumSize(48, 48);
    }
    showPreview(preview, slot.path);
    QObject::connect(button, &QPushButton::clicked, row, [this, edit, chosen, preview] {
        const QString file = PickOpenFile(m_page, PictureFileFilter());
        if (file.isEmpty())
            return;
        *chosen = std::filesystem::path(file.toStdU16String());
        edit->setText(file);
        showPreview(preview, *chosen);
    });
    m_apply.push_back([chosen, &slot] { slot.path = *chosen; });
    return row;
}

QPushButton* PageBinder::font(const QString& text, LogFont& member, std::uint32_t* color)
{
    auto* button = new QPushButton(text, m_page);
    auto chosen = std::make_shared<std::pair<LogFont, std::uint32_t>>(member, color ? *color : 0);
    QObject::connect(button, &QPushButton::clicked, button, [this, chosen, color] {
        const std::optional<QFont> picked = PickFont(m_page, toQFont(chosen->first));
        if (!picked)
            return;
        chosen->first = fromQFont(*picked, chosen->first);
        if (color)
            if (const std::optional<ColorRef> c = PickColor(m_page, chosen->second))
                chosen->second = *c;
    });
    m_apply.push_back([chosen, &member, color] {
        member = chosen->first;
        if (color)
            *color = chosen->second;
    });
    return button;
}

bool PageBinder::Validate() const
{
    for (const auto& v : m_validate)
        if (!v())
            return false;
    return true;
}

void PageBinder::Apply() const
{
    for (const auto& a : m_apply)
        a();
}

} // namespace qv
