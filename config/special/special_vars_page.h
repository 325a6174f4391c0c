#pragma once
// The special-variables page as data: the sixteen system-role bindings (shown, never changed),
// the non-volatile PROM_RAM range and the output-port variable address, loaded from and
// committed to the project settings.
#include "model/document/draw_doc.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {
class CEditorApp;
}

namespace qv::special_vars {

inline constexpr std::size_t kRoleCount = 16;

// One system role: where its variable index lives and the page's label (GBK).
struct RoleSlot {
    std::size_t offset;
    std::string_view label;
};
std::span<const RoleSlot, kRoleCount> RoleSlots();

// The output-port variable address has no other owner in the settings block.
inline constexpr std::size_t kOutputPortAddress = 224;

// Field ranges of the page and the rules of the non-volatile range.
inline constexpr int kAddressMax = 65535;
inline constexpr int kPromRamLengthMax = 10000;
inline constexpr int kSystemAreaLast = 27;
inline constexpr int kPromRamEndMax = 12000;
inline constexpr int kNoVariable = -1;

// Shown after accepting whenever the project keeps a non-volatile range.
inline constexpr std::string_view kNonVolatileNotice = "注意，你使用了非易失存储器功能";

struct SpecialVarsPage {
    std::array<std::int32_t, kRoleCount> roles{};
    int promStart = 0;
    int promLength = 0;
    int outputPortAddress = 0;
};

SpecialVarsPage LoadPage(const ProjectSettings& settings);

// A role's combo: every variable name in table order, then "不使用". `selected` is the entry
// shown; -1 (nothing shown) for an index the table does not hold, which is kept as stored.
struct RoleChoices {
    std::vector<std::string> entries;
    int selected = -1;
};
RoleChoices ChoicesFor(const HmiVarTable& table, std::int32_t slotValue);

// What accepting the page did. Messages (GBK) are shown in order.
struct CommitOutcome {
    std::string fieldError;        // a field out of its range: nothing was stored
    std::string rangeRefusal;      // the range was refused; everything else was stored
    bool rangeChanged = false;     // slot 0 of the saved variables must be cleared
    bool nonVolatileNotice = false;
};

// Applies the page to `settings`. A field out of range refuses the whole page and leaves the
// settings as they were.
CommitOutcome CommitPage(const SpecialVarsPage& page, ProjectSettings& settings);

// Clears one slot of the simulator's saved-variables file; true on success.
using ClearSavedSlot = std::function<bool(int slot)>;

// Commits to the project document; on success clears saved slot 0 when the range changed,
// saves the project and refreshes its views. Without a project nothing happens.
CommitOutcome ApplyToProject(CEditorApp& app, const SpecialVarsPage& page, const ClearSavedSlot& clearSlot);

} // namespace qv::special_vars
