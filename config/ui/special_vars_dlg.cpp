#include "config/ui/special_vars_dlg.h"

#include "model/app/editor_app.h"
#include "platform/qt/qtext.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qv {

namespace {

QString u8q(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

QSpinBox* rangeSpin(QWidget* parent, int max, int value)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(0, max);
    spin->setValue(value);
    return spin;
}

} // namespace

CDlgSysVarGuanLianSet::CDlgSysVarGuanLianSet(const HmiVarTable& table, const special_vars::SpecialVarsPage& page,
                                             QWidget* parent)
    : QDialog(parent), m_page(page)
{
    setWindowTitle(u8q(u8"定义HMI系统特殊变量"));
    auto* tabs = new QTabWidget(this);
    auto* body = new QWidget(tabs);
    tabs->addTab(body, u8q(u8"特殊变量"));

    // The bindings are shown, not edited: the combos stay disabled.
    auto* roles = new QGridLayout;
    const auto roleSlots = special_vars::RoleSlots();
    for (std::size_t i = 0; i < special_vars::kRoleCount; ++i) {
        const special_vars::RoleChoices choices = special_vars::ChoicesFor(table, page.roles[i]);
        auto* combo = new QComboBox(body);
        for (const std::string& entry : choices.entries)
            combo->addItem(toQString(entry));
        combo->setCurrentIndex(choices.selected);
        combo->setEnabled(false);
        m_roles[i] = combo;
        const int row = static_cast<int>(i % 8);
        const int column = static_cast<int>(i / 8) * 2;
        roles->addWidget(new QLabel(toQString(roleSlots[i].label), body), row, column);
        roles->addWidget(combo, row, column + 1);
    }

    m_promStart = rangeSpin(body, special_vars::kAddressMax, page.promStart);
    m_promLength = rangeSpin(body, special_vars::kPromRamLengthMax, page.promLength);
    m_outputPort = rangeSpin(body, special_vars::kAddressMax, page.outputPortAddress);
    auto* prom = new QGroupBox(QStringLiteral("PROM_RAM"), body);
    auto* promForm = new QFormLayout(prom);
    promForm->addRow(u8q(u8"起始地址:"), m_promStart);
    promForm->addRow(u8q(u8"长度(字节):"), m_promLength);
    auto* port = new QGroupBox(u8q(u8"输出口变量"), body);
    auto* portForm = new QFormLayout(port);
    portForm->addRow(u8q(u8"变量地址:"), m_outputPort);
    m_manage = new QPushButton(u8q(u8"管理变量"), body);
    m_manage->hide();

    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->addLayout(roles);
    bodyLayout->addWidget(prom);
    bodyLayout->addWidget(port);
    bodyLayout->addWidget(m_manage);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

special_vars::SpecialVarsPage CDlgSysVarGuanLianSet::Page() const
{
    special_vars::SpecialVarsPage page = m_page;
    page.promStart = m_promStart->value();
    page.promLength = m_promLength->value();
    page.outputPortAddress = m_outputPort->value();
    return page;
}

void EditSpecialVars(CEditorApp& app, QWidget* parent, const special_vars::ClearSavedSlot& clearSlot)
{
    CDrawDoc* doc = app.ProjectDoc();
    if (!doc)
        return;
    CDlgSysVarGuanLianSet dlg(doc->m_varTable, special_vars::LoadPage(doc->m_ProjectSettings), parent);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const special_vars::CommitOutcome out = special_vars::ApplyToProject(app, dlg.Page(), clearSlot);
    for (const std::string& refusal : {out.fieldError, out.rangeRefusal})
        if (!refusal.empty())
            QMessageBox::warning(parent, dlg.windowTitle(), toQString(refusal));
    if (out.nonVolatileNotice)
        QMessageBox::information(parent, dlg.windowTitle(), toQString(special_vars::kNonVolatileNotice));
}

std::function<void(QWidget*)> SpecialVarsEditor(CEditorApp& app, special_vars::ClearSavedSlot clearSlot)
{
    return [&app, clearSlot = std::move(clearSlot)](QWidget* parent) { EditSpecialVars(app, parent, clearSlot); };
}

} // namespace qv
