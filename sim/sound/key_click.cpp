#include "sim/sound/key_click.h"

#include "platform/files/stored_path.h"

namespace qv::sim {

std::optional<std::filesystem::path> KeyClickFile(const std::filesystem::path& baseFolder)
{
    return resolveStoredPath(baseFolder, "images\\Sound\\蜂鸣器.wav");
}

bool PlayKeyClick(SoundPlayer& player, const std::filesystem::path& baseFolder, std::int64_t keySoundAddress, const VarBank& displayed)
{
    if (keySoundAddress < 1 || keySoundAddress > 0xFFFE || displayed.readByte(keySoundAddress).value_or(0) == 0)
        return false;
    const auto file = KeyClickFile(baseFolder);
    if (!file)
        return false;
    player.PlayClick(*file);
    return true;
}

} // namespace qv::sim
