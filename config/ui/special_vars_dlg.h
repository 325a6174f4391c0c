#pragma once
// The special-variables page (CDlgSysVarGuanLianSet) in its one-page sheet, and the editor the
// variable manager's "修改......" button runs.
#include "config/special/special_vars_page.h"

#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QPushButton;
class QSpinBox;

namespace qv {

class CDlgSysVarGuanLianSet : public QDialog {
public:
    CDlgSysVarGuanLianSet(const HmiVarTable& table, const special_vars::SpecialVarsPage& page, QWidget* parent = nullptr);
    // The page as the user left it (the role bindings exactly as loaded).
    special_vars::SpecialVarsPage Page() const;

    QComboBox* roleCombo(std::size_t i) const { return m_roles[i]; }
    QSpinBox* promStartSpin() const { return m_promStart; }
    QSpinBox* promLengthSpin() const { return m_promLength; }
    QSpinBox* outputPortSpin() const { return m_outputPort; }
    QPushButton* manageButton() const { return m_manage; }

private:
    special_vars::SpecialVarsPage m_page;
    std::array<QComboBox*, special_vars::kRoleCount> m_roles{};
    QSpinBox* m_promStart;
    QSpinBox* m_promLength;
    QSpinBox* m_outputPort;
    QPushButton* m_manage;
};

// Runs the page for the open project and applies it on OK, showing the refusals and the
// non-volatile notice. `clearSlot` frees a slot of the simulator's saved variables.
void EditSpecialVars(CEditorApp& app, QWidget* parent, const special_vars::ClearSavedSlot& clearSlot);

// What CDlgHmiVarManager::SetSpecialVarsEditor takes.
std::function<void(QWidget*)> SpecialVarsEditor(CEditorApp& app, special_vars::ClearSavedSlot clearSlot);

} // namespace qv
