#pragma once
// The user's folders, from the XDG variables with the usual fall-backs; tests point them
// at temporary folders.
#include <filesystem>

namespace qv {

std::filesystem::path userRuntimeDir(); // $XDG_RUNTIME_DIR, else the cache folder; created
std::filesystem::path userConfigDir();  // $XDG_CONFIG_HOME, else ~/.config; created
std::filesystem::path userCacheDir();   // $XDG_CACHE_HOME, else ~/.cache; created

} // namespace qv
