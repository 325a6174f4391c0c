#include "props/ui/address_group_widget.h"

#include "platform/qt/qtext.h"
#include "props/ui/page_binder.h"
#include "props/ui/page_seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace qv {
namespace {

QString u8text(const char8_t* s) { return QString::fromUtf8(s); }

void fillCombo(QComboBox* combo, const std::vector<std::string>& items, int selection)
{
    const QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(toQString(item));
    combo->setCurrentIndex(selection);
}

bool parseUnsigned(const QLineEdit* edit, std::uint32_t& out)
{
    bool ok = false;
    const qulonglong v = edit->text().trimmed().toULongLong(&ok);
    if (ok && v <= 0xFFFFFFFFull)
        out = static_cast<std::uint32_t>(v);
    return ok;
}

void markOutOfRange(QLineEdit* edit, std::uint32_t high)
{
    std::uint32_t v = 0;
    const bool bad = !parseUnsigned(edit, v) || v > high;
    edit->setStyleSheet(bad ? QStringLiteral("background: #ffd0d0") : QString());
}

} // namespace

AddressGroupWidget::AddressGroupWidget(AddressGroup& model, const SheetSources& sources, const GroupTexts& texts,
                                       QWidget* parent)
    : QGroupBox(u8text(texts.caption), parent), m_model(model), m_work(model), m_sources(sources),
      m_target(new QComboBox(this)), m_stationLabel(new QLabel(u8text(u8"站号:"), this)),
      m_station(new QLineEdit(QString::number(model.state.station), this)),
      m_typeLabel(new QLabel(u8text(u8"地址:"), this)), m_elementType(new QComboBox(this)),
      m_number(new QLineEdit(QString::number(model.state.elementNumber), this)),
      m_allowOther(new QCheckBox(u8text(u8"允许连接至其它HMI变量"), this)),
      m_variableLabel(new QLabel(u8text(u8"地址:"), this)), m_variable(new QComboBox(this)),
      m_targetLabel(new QLabel(u8text(u8"连接目标:"), this))
{
    auto* grid = new QGridLayout(this);
    int row = 0;
    if (texts.use) {
        m_use = new QCheckBox(u8text(texts.use), this);
        m_use->setChecked(model.use != 0);
        grid->addWidget(m_use, row++, 0, 1, 3);
        connect(m_use, &QCheckBox::toggled, this, [this](bool on) {
            if (on != (m_work.use != 0))
                m_work.use = on ? 1 : 0;
            userChanged();
        });
    }
    grid->addWidget(m_targetLabel, row, 0);
    grid->addWidget(m_target, row++, 1, 1, 2);
    grid->addWidget(m_stationLabel, row, 0);
    grid->addWidget(m_station, row++, 1);
    grid->addWidget(m_typeLabel, row, 0);
    grid->addWidget(m_elementType, row, 1);
    grid->addWidget(m_number, row++, 2);
    grid->addWidget(m_allowOther, row++, 0, 1, 3);
    grid->addWidget(m_variableLabel, row, 0);
    grid->addWidget(m_variable, row++, 1, 1, 2);
    if (texts.bitEdit) {
        m_bitLabel = new QLabel(u8text(u8"位:"), this);
        m_bit = new QLineEdit(QString::number(model.state.bit), this);
        grid->addWidget(m_bitLabel, row, 0);
        grid->addWidget(m_bit, row++, 1);
        connect(m_bit, &QLineEdit::textChanged, this, [this] { userChanged(); });
    }
    m_allowOther->setChecked(model.state.allowOther != 0);
    for (QComboBox* combo : {m_target, m_elementType, m_variable})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    connect(m_target, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_updating || i < 0)
            return;
        m_work.state.linkTarget = i;
        userChanged();
    });
    connect(m_elementType, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_updating || i < 0)
            return;
        m_work.state.elementType = i;
        userChanged();
    });
    connect(m_variable, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (m_updating)
            return;
        // Only a list of the project's variables chooses one; the hidden name is no choice.
        if (m_work.state.linkTarget == 0 || m_work.state.allowOther != 0)
            m_work.state.varIndex = i;
        userChanged();
    });
    connect(m_allowOther, &QCheckBox::toggled, this, [this](bool on) {
        if (on != (m_work.state.allowOther != 0))
            m_work.state.allowOther = on ? 1 : 0;
        userChanged();
    });
    for (QLineEdit* edit : {m_station, m_number})
        connect(edit, &QLineEdit::textChanged, this, [this] { userChanged(); });
    refresh();
}

void AddressGroupWidget::userChanged()
{
    if (m_updating)
        return;
    m_touched = true;
    refresh();
    emit changed();
}

void AddressGroupWidget::setActive(bool active)
{
    m_active = active;
    refresh();
}

void AddressGroupWidget::refresh()
{
    m_updating = true;
    LinkGroupState& s = m_work.state;
    // Out-of-range numbers are marked here and refused on OK, not prompted per keystroke.
    parseUnsigned(m_station, s.station);
    parseUnsigned(m_number, s.elementNumber);
    markOutOfRange(m_station, kMaxStation);
    markOutOfRange(m_number, kMaxElementNumber);
    if (m_bit) {
        parseUnsigned(m_bit, s.bit);
        markOutOfRange(m_bit, kMaxBit);
    }

    const LinkFill fill = FillGroup(m_work, m_sources.linkContext());
    if (!fill.refusal.empty() && m_touched) {
        ShowPageMessage(this, toQString(fill.refusal));
        m_number->setText(QStringLiteral("0"));
    }
    fillCombo(m_target, fill.targets, fill.targetSelection);
    fillCombo(m_elementType, fill.elementTypes, fill.elementTypeSelection);
    fillCombo(m_variable, fill.variables, fill.variableSelection);
    m_variable->setEnabled(fill.variableEnabled);

    const bool shown = m_active && (!m_use || m_work.use != 0);
    const bool plc = shown && s.linkTarget != 0;
    for (QWidget* w : std::initializer_list<QWidget*>{m_targetLabel, m_target, m_variableLabel, m_variable})
        w->setVisible(shown);
    for (QWidget* w : std::initializer_list<QWidget*>{m_stationLabel, m_station, m_typeLabel, m_elementType, m_number,
                                                      m_allowOther})
        w->setVisible(plc);
    if (m_bit) {
        m_bitLabel->setVisible(shown);
        m_bit->setVisible(shown);
        if (fill.bitDerived)
            m_bit->setText(QString::number(s.bit));
        m_bit->setEnabled(s.linkTarget == 0 || fill.bitInWord);
    }
    m_updating = false;
}

bool AddressGroupWidget::Validate()
{
    if (!m_touched || !m_active || (m_use && m_work.use == 0))
        return true;
    struct Field {
        QLineEdit* edit;
        std::uint32_t high;
        bool checked;
    } const fields[] = {
        {m_station, kMaxStation, m_work.state.linkTarget != 0},
        {m_number, kMaxElementNumber, m_work.state.linkTarget != 0},
        {m_bit, kMaxBit, m_bit && m_bit->isEnabled()},
    };
    for (const Field& f : fields) {
        if (!f.edit || !f.checked || CheckUnsignedText(this, f.edit->text(), 0, f.high))
            continue;
        f.edit->setFocus();
        return false;
    }
    return true;
}

void AddressGroupWidget::Apply()
{
    if (!m_touched)
        return;
    m_model = m_work;
    m_model.changed = true;
}

} // namespace qv
