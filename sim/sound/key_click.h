#pragma once
// The key click of a run-mode press: "images\Sound\蜂鸣器.wav" of the program's folder, on the
// sound device's click channel, when the system variable m_KeySound is bound and set.
#include "model/vars/var_bank.h"
#include "platform/sound/sound_player.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace qv::sim {

// Plays the click when `keySoundAddress` (m_KeySound's byte address, -1 unbound) lies in
// 1..0xFFFE and its byte in the displayed bank is not 0; true when it was started. The view
// calls it once per press in run mode.
bool PlayKeyClick(SoundPlayer& player, const std::filesystem::path& baseFolder, std::int64_t keySoundAddress, const VarBank& displayed);

std::optional<std::filesystem::path> KeyClickFile(const std::filesystem::path& baseFolder);

} // namespace qv::sim
