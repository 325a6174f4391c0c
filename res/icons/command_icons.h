#pragma once
// Icons of the commands: the desktop's icon theme where it has a standard icon, else our own
// 16 x 16 drawing. Keys are the icon names of the command table.
#include <QIcon>

namespace qv::res {

// A null icon for an unknown key.
QIcon commandIcon(const char* key);

// Our own drawing only (the screenshot and tests use it to stay independent of the theme).
QIcon drawnIcon(const char* key);

bool hasIcon(const char* key);

} // namespace qv::res
