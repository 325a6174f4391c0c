#pragma once
// The sounds of images/Sound: short tones the download and the simulator play.
#include <filesystem>
#include <string>

namespace qv::gen {

bool writeBaseSounds(const std::filesystem::path& base, std::string* error);

} // namespace qv::gen
