#pragma once
// The application's services over the project's HMI variables: address look-up, the used
// memory, find-or-add by name, the simulator's system variables (screen and sub-window
// switching, clock, login, saving settings) and the memory part of the simulation rebuild.
#include "model/vars/hmi_var_table.h"
#include "model/vars/panel_clock.h"
#include "model/vars/var_bank.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class CEditorApp;

class CDrawDoc;

// Every open window document named in the project's screen list, then its sub-window list.
void forEachOpenProjectWindow(const CEditorApp& app, const std::function<void(CDrawDoc&)>& fn);

enum class SystemVar : int;

// Address of a system variable the project binds, when `width` bytes there lie in the memory.
std::optional<std::int64_t> SystemVarAddress(const CEditorApp& app, SystemVar id, int width);

// Address and type code of a row of the project's table: index outside the table gives
// address -1 and type 0; a type text that is none of the six leaves `type` unchanged.
void GetVariableAddress(const CEditorApp& app, int row, std::int32_t& address, std::uint8_t& type);

// Twice the end of the used memory: the variable table (4 bytes per variable), the curve
// buffers and the character strings of every open window.
std::int64_t GetVariableMemorySize(const CEditorApp& app);

// findOrAddVarRow on `table` with the application's used memory, which is only worked out
// when no row is named `name`.
AddVarOutcome FindOrAddVarRow(const CEditorApp& app, HmiVarTable& table, std::string_view type, std::string_view name,
                              std::string_view initial, std::string_view description);

// The row named `name`, else a new row at the end of the used memory (the project document
// is then saved at once). -1, with the table unchanged and the reason shown, when the
// memory is full or no project is open.
int FindOrAddHmiVar(CEditorApp& app, std::string_view type, std::string_view name, std::string_view initial,
                    std::string_view description, bool* created = nullptr, std::string* errorGbk = nullptr);

// Position of the first screen named `fileName`, else of the first sub-window, else 0xFF.
std::uint8_t FindWindowIndex(const CEditorApp& app, std::string_view fileName);

// m_HuaMian / m_ChildWindow of m_VarMemRun chose another screen / sub-window. Numbers
// beyond the project's lists are ignored.
void OnScreenVarChanged(CEditorApp& app);
void OnSubWindowVarChanged(CEditorApp& app);

// The ten system sub-windows, which m_ChildWindow never opens.
bool IsSystemSubWindow(std::string_view fileName);

// Login with the level in m_CurrentUser: 0 when accepted or nothing to check, -1 when the
// password differs from the level's password row.
int CheckUserPassword(CEditorApp& app, std::int64_t password);

// Writes the panel time into the clock variables of m_VarMemRun.
void WriteClockVariables(CEditorApp& app, const PanelTime& time);

// The running code wrote `address`: when it is one of the date and time variables, the
// panel clock takes the time the clock variables now hold. The PC's clock is never set.
// False when the address is no clock variable or the time is not a real one.
bool OnClockVariableWritten(CEditorApp& app, PanelClock& clock, std::int64_t address);

// Back light, its delay, the key sound and the three passwords of m_VarMem become the rows'
// initial values; then the project document is saved.
void SaveSystemVariablesAsInitial(CEditorApp& app);

// What a rebuild could not write: one GBK line per row that was skipped.
struct RebuildReport {
    std::vector<std::string> skipped;
};

// Initial values of every row written into `bank` by type; rows whose address, type or
// value cannot be used are skipped and reported, the others are written.
RebuildReport writeInitialValues(const HmiVarTable& table, VarBank& bank);

// What the rebuild's walk over the objects does beside re-deriving their variable
// references: `before` sees an object as it was, `after` once its references are re-derived.
struct RebuildObjectSteps {
    std::function<void(CDrawObj&)> before;
    std::function<void(CDrawObj&)> after;
};

// The memory part of the simulation rebuild: both banks cleared, the initial values
// written, the references of every object of every window re-derived (with `steps` beside,
// in the same walk), m_VarMemRun copied into m_VarMem, the simulator's screen and sub-window
// taken from m_HuaMian and m_ChildWindow. `beforeCopy` runs once the walk is done, before the copy.
RebuildReport RebuildSimulationMemory(CEditorApp& app, const std::function<void()>& beforeCopy = {},
                                      const RebuildObjectSteps& steps = {});

} // namespace qv
