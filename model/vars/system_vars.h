#pragma once
// The 16 system variables every project starts with (rows 0..15 of the variable table), and
// the ProjectSettings slot that keeps each one's row index.
#include <cstdint>
#include <span>
#include <string_view>

namespace qv {

enum class SystemVar : int {
    HuaMian, ChildWindow, ClockYear, ClockMonth, ClockDay, ClockWeek, ClockHour, ClockMinute,
    ClockSecond, BackLight, BackLightDly, KeySound, CurrentUser, JuniorUser, AdvancedUser, SuperUser,
};
inline constexpr int kSystemVarCount = 16;

struct SystemVarRow {
    SystemVar id;
    std::string_view address;      // decimal text, as stored
    std::string_view type;
    std::string_view name;
    std::string_view initial;      // decimal text
    std::string_view description;  // GBK
    int settingsSlot;              // byte offset in ProjectSettings of the row's index
};

// In row order; systemVarRows()[i].id == SystemVar(i).
std::span<const SystemVarRow> systemVarRows();
const SystemVarRow& systemVarRow(SystemVar id);

} // namespace qv
