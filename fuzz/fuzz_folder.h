#pragma once
// A folder of this process's own for targets whose reader takes a file, not bytes.
#include <filesystem>
#include <string>
#include <unistd.h>

namespace qv::fuzz {

inline const std::filesystem::path& scratchFolder()
{
    static const std::filesystem::path dir = [] {
        const auto d = std::filesystem::temp_directory_path() / ("qv-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// Removes the scratch folder when the run ends.
struct ScratchCleanup {
    ~ScratchCleanup()
    {
        std::error_code ec;
        std::filesystem::remove_all(scratchFolder(), ec);
    }
};

} // namespace qv::fuzz
