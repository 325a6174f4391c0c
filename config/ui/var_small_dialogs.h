#pragma once
// The small dialogs of the variable manager: one variable (CHmiVarDlg), the password prompt
// (CDlgPassword) and the name prompt of find (CDlgVarName).
#include "config/manager/var_input_rules.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace qv {

class CHmiVarDlg : public QDialog {
public:
    CHmiVarDlg(const HmiVarInput& input, bool showAddSeveral, QWidget* parent = nullptr);
    // The fields as GBK; nullopt (after a message naming the field) when one holds text GBK
    // cannot hold.
    std::optional<HmiVarInput> Input() const;

    QLineEdit* nameEdit() const { return m_name; }
    QComboBox* typeCombo() const { return m_type; }
    QLabel* rangeLabel() const { return m_range; }
    QLineEdit* initEdit() const { return m_init; }
    QPlainTextEdit* descriptionEdit() const { return m_description; }
    QSpinBox* countSpin() const { return m_count; }
    QCheckBox* severalCheck() const { return m_several; }

    void accept() override;

private:
    void ShowRange();

    HmiVarInput m_base;
    bool m_showAddSeveral;
    QLineEdit* m_name;
    QComboBox* m_type;
    QLabel* m_range;
    QLineEdit* m_init;
    QPlainTextEdit* m_description;
    QSpinBox* m_count;
    QCheckBox* m_several;
};

class CDlgPassword : public QDialog {
public:
    explicit CDlgPassword(QWidget* parent = nullptr);
    std::string Password() const;
    QLineEdit* passwordEdit() const { return m_edit; }

private:
    QLineEdit* m_edit;
};

class CDlgVarName : public QDialog {
public:
    explicit CDlgVarName(QWidget* parent = nullptr);
    // nullopt when GBK cannot hold the text (no variable can be named so).
    std::optional<std::string> Name() const;
    QLineEdit* nameEdit() const { return m_edit; }

private:
    QLineEdit* m_edit;
};

} // namespace qv
