#pragma once
// CDlgHmiVarManager: the modal dialog over the project's variable table. The logic is
// HmiVarManager's; this class shows the list, runs the small dialogs through VarManagerAsk
// (tests script it) and selects the row each operation names.
#include "config/manager/hmi_var_manager.h"

#include <QDialog>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace qv {

// What the manager asks the user; the Qt implementation runs the small dialogs.
class VarManagerAsk {
public:
    virtual ~VarManagerAsk() = default;
    virtual std::optional<HmiVarInput> EditVar(QWidget* parent, const HmiVarInput& input, bool adding) = 0;
    virtual std::optional<std::string> Password(QWidget* parent) = 0;
    virtual std::optional<std::string> VarName(QWidget* parent) = 0;
    virtual std::optional<std::filesystem::path> BackupFile(QWidget* parent, bool forExport) = 0;
    virtual void Message(QWidget* parent, const std::string& textGbk, bool error) = 0;
    // The address adjustment behind its progress dialog; true when the table holds it.
    virtual bool AdjustAddresses(QWidget* parent, CEditorApp& app) = 0;
};

std::unique_ptr<VarManagerAsk> MakeQtVarManagerAsk();

class CDlgHmiVarManager : public QDialog {
public:
    enum class Button { Add, Delete, Clear, Modify, Adjust, Special, Import, Export, MoveUp, MoveDown, Cut, Paste, Find };

    // `ask` nullptr: the Qt dialogs.
    CDlgHmiVarManager(CEditorApp& app, QWidget* parent = nullptr, std::unique_ptr<VarManagerAsk> ask = nullptr);
    ~CDlgHmiVarManager() override;

    void FillList();
    int SelectedRow() const;
    void SelectRow(int row);

    // The special variables page (its own owner binds it); the button is disabled without it.
    void SetSpecialVarsEditor(std::function<void(QWidget*)> editor);

    QTableWidget* list() const { return m_list; }
    QPushButton* button(Button b) const { return m_buttons.at(b); }
    QLineEdit* promRamStartEdit() const { return m_promStart; }
    QLineEdit* promRamLengthEdit() const { return m_promLength; }
    QLabel* headerPlaceLabel() const { return m_headerPlace; }
    HmiVarManager& manager() { return m_manager; }

    void done(int result) override;

private:
    void OnButton(Button b);
    void Show(const VarEditOutcome& out);
    void UpdateButtons();

    CEditorApp& m_app;
    HmiVarManager m_manager;
    std::unique_ptr<VarManagerAsk> m_ask;
    std::function<void(QWidget*)> m_specialVars;
    QTableWidget* m_list;
    QLineEdit* m_promStart;
    QLineEdit* m_promLength;
    QCheckBox* m_noAdjust;
    QLabel* m_headerPlace;
    std::map<Button, QPushButton*> m_buttons;
    bool m_closing = false;
};

} // namespace qv
