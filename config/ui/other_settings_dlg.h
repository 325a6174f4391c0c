#pragma once
// The dialogs of a port's "其它设置...." button: CDlgOtherSet (request timing, slave-address
// options, the Modbus slave's start addresses) and CDlgHmiVarCopySet (the HMI variable copy
// between panels). Each checks its fields on OK and stays open on a refusal.
#include "config/settings/other_settings.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qv {

class CDlgOtherSet : public QDialog {
public:
    CDlgOtherSet(int protocolNumber, int port, const settings_page::OtherSettings& values, QWidget* parent = nullptr);

    settings_page::OtherSettings Values() const;
    void accept() override;

    // The message of a refused OK; by default a warning box.
    std::function<void(const QString&)> showMessage;
    // "高级设置....": the port's mapping table; by default nothing.
    std::function<void()> onAdvanced;

    QLineEdit* field(int f) const { return m_edits[static_cast<std::size_t>(f)]; }
    QCheckBox* noCommCheck() const { return m_noComm; }
    QCheckBox* dynamicCheck() const { return m_dynamic; }
    QPushButton* advancedButton() const { return m_advanced; }
    QGroupBox* timeGroup() const { return m_timeGroup; }

private:
    void ApplyView();

    int m_protocol;
    std::array<QLineEdit*, settings_page::OtherFieldCount> m_edits{};
    std::array<QLabel*, settings_page::OtherFieldCount> m_labels{};
    QCheckBox* m_noComm;
    QCheckBox* m_dynamic;
    QPushButton* m_advanced;
    QGroupBox* m_timeGroup;
};

class CDlgHmiVarCopySet : public QDialog {
public:
    // `firstFreeVarByte`: the copy byte count without a custom range.
    CDlgHmiVarCopySet(const settings_page::CopySettings& values, int firstFreeVarByte, QWidget* parent = nullptr);

    settings_page::CopySettings Values() const;
    void accept() override;

    std::function<void(const QString&)> showMessage;

    QLineEdit* field(int f) const { return m_edits[static_cast<std::size_t>(f)]; }
    QCheckBox* independentCheck() const { return m_independent; }
    QCheckBox* customRangeCheck() const { return m_custom; }

private:
    void ApplyRangeRule();

    int m_firstFreeVarByte;
    std::array<QLineEdit*, settings_page::CopyFieldCount> m_edits{};
    QCheckBox* m_independent;
    QCheckBox* m_custom;
};

} // namespace qv
