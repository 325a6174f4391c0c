#pragma once
// The variable manager's logic, without its dialog: add, modify, delete, clear, move, cut
// and paste rows of the project's variable table. Every change is saved at once; changes
// that move or re-address rows have every window's references fixed and saved, and the user
// code's headers rewritten. A refused change leaves the table as it was.
#include "config/manager/var_input_rules.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class CEditorApp;
struct HmiVarTable;

// What an operation did: a message for the user when refused (GBK; empty when none), the
// row the list selects afterwards (-1: keep the selection) and whether the table changed.
struct VarEditOutcome {
    bool changed = false;
    std::string messageGbk;
    int select = -1;
};

// The buttons a selected row allows.
struct VarButtonStates {
    bool remove = false;
    bool moveUp = false;
    bool moveDown = false;
    bool cut = false;
    bool paste = false;
};

class HmiVarManager {
public:
    explicit HmiVarManager(CEditorApp& app) : m_app(app) {}

    // The project's table, or nullptr without an open project.
    const HmiVarTable* Table() const;
    // 0: no row cut (row 0 is a system row and is never cut).
    int CutRow() const { return m_nCutRow; }
    VarButtonStates ButtonsFor(int selected) const;

    // The variable dialog's fields for adding and for modifying `row`.
    HmiVarInput NewVarInput() const;
    std::optional<HmiVarInput> RowInput(int row) const;

    // The new rows go to the end of the used memory (in the 64 KiB memory), so they never
    // overlap another variable even when the adjustment is switched off; batch copies are
    // named name_1, name_2 ... with the initial value counting up; copies whose name exists
    // or that no longer fit are left out and named in the message.
    VarEditOutcome Add(const HmiVarInput& input);
    // The address stays; name, type, initial value and description change. The 16 system
    // rows keep their name and type.
    VarEditOutcome Modify(int row, const HmiVarInput& input);
    VarEditOutcome Delete(int row);
    // Removes every user row when `password` is the manager's password.
    VarEditOutcome Clear(std::string_view password);
    VarEditOutcome MoveUp(int row);
    VarEditOutcome MoveDown(int row);
    VarEditOutcome Cut(int row);
    // The cut row moves to directly below `row`.
    VarEditOutcome Paste(int row);
    // The last row named `name` exactly, or nullopt.
    std::optional<int> Find(std::string_view name) const;

    // The manager closes: the no-adjustment flag is stored and the project saved. True when
    // the addresses should now be adjusted (the flag is clear).
    bool Close(bool noAutoAdjust);
    bool NoAutoAdjust() const;
    std::int32_t PromRamStart() const;
    std::int32_t PromRamLength() const;
    // "头文件位置： <folder> 文件夹下的SysVar.h和HmiVar.h" (GBK).
    std::string HeaderPlaceText() const;

private:
    // Saves the project, runs the window fix-up, saves every window and rewrites the headers.
    void Commit(bool (CEditorApp::*fixUp)(int), int row);
    HmiVarTable* MutableTable() const;

    CEditorApp& m_app;
    int m_nCutRow = 0;
};

} // namespace qv
