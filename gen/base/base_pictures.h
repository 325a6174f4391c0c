#pragma once
// The system pictures every project can copy in (images/sys) and the simulator's cursors
// (images/cur), drawn with our own Surface.
#include <filesystem>
#include <string>

namespace qv::gen {

// Writes every picture under `base`; false with `error` set when one cannot be written.
bool writeBasePictures(const std::filesystem::path& base, std::string* error);

} // namespace qv::gen
