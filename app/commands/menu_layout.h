#pragma once
// The two menu bars as data: 128 while no document is open, 129 with a project open. An
// entry names a command of the table; id 0 is a separator.
#include "app/commands/command_table.h"

#include <span>

namespace qv::cmd {

struct MenuDef;

struct MenuEntry {
    constexpr MenuEntry(const CommandDef& command) : owner(command.key.owner), id(command.key.id) {}
    constexpr MenuEntry(Owner o, int i, const MenuDef* sub = nullptr) : owner(o), id(i), submenu(sub) {}

    Owner owner;
    int id;                      // 0: separator
    const MenuDef* submenu = nullptr; // set: a sub-menu under its own title, id unused
};

struct MenuDef {
    const char8_t* title;        // "" for a command placed directly on the menu bar
    std::span<const MenuEntry> entries;
};

enum class MenuBarId { NoDocument = 128, Document = 129 };

std::span<const MenuDef> menuBar(MenuBarId which);

// The groups both a menu and a toolbar offer, in the same order.
std::span<const MenuEntry> drawingToolCommands();
std::span<const MenuEntry> controlToolCommands();
std::span<const MenuEntry> layoutCommands();

} // namespace qv::cmd
