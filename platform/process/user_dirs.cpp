#include "platform/process/user_dirs.h"

#include <cstdlib>
#include <system_error>

namespace qv {
namespace {

std::filesystem::path fromEnv(const char* var, const char* homeRelative)
{
    const char* v = std::getenv(var);
    std::filesystem::path p;
    if (v && *v) {
        p = v;
    } else {
        const char* home = std::getenv("HOME");
        p = std::filesystem::path(home && *home ? home : "/tmp") / homeRelative;
    }
    std::error_code ec;
    std::filesystem::create_directories(p, ec);
    return p;
}

} // namespace

std::filesystem::path userConfigDir() { return fromEnv("XDG_CONFIG_HOME", ".config"); }
std::filesystem::path userCacheDir() { return fromEnv("XDG_CACHE_HOME", ".cache"); }

std::filesystem::path userRuntimeDir()
{
    const char* v = std::getenv("XDG_RUNTIME_DIR");
    if (v && *v) {
        std::error_code ec;
        if (std::filesystem::is_directory(v, ec))
            return v;
    }
    return userCacheDir();
}

} // namespace qv
