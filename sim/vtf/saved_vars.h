#pragma once
// The simulated panel's saved variable ranges, kept across simulation runs in the project's
// "\NandFlash\VarToFlash.vtf" (layout in vtf_layout.h). Slot 0 is the project's non-volatile
// range, slots 1..30 belong to the user's 8051 program. Callers pass the project folder and
// the banks; every function returns false with the file unchanged when it cannot do its work.
// The three functions are serialised, so the run-mode timer and the emulator thread never
// lose each other's slot claims.
#include <cstdint>
#include <filesystem>
#include <optional>

namespace qv {

class VarBank;

// Host path of the file (existing letter case kept); nullopt without a usable project folder.
std::optional<std::filesystem::path> SavedVarsFilePath(const std::filesystem::path& projectDir);

// Saves live[address .. address + length - 1] into `slot` (0..30). A free slot is claimed for
// this address and length with a new data area at the end of the file (the file and its
// "NandFlash" folder are created when missing); a claimed slot takes only its own address
// and length. Refused when address + length > 0xFFFF. An unchanged range is not rewritten.
bool SaveVarToFlash(const std::filesystem::path& projectDir, int slot, std::int64_t address, std::int64_t length,
                    const VarBank& live);

// Copies an in-use slot's saved bytes into `displayed` at the slot's address, then the same
// bytes into `live`. False for a free or damaged slot, a missing or short file; no memory changes then.
bool LoadVarToFlash(const std::filesystem::path& projectDir, int slot, VarBank& displayed, VarBank& live);

// Frees `slot` (0..30); its saved bytes stay in the file and are never reused. True when the
// file is absent or the slot already free; false for another slot number or a short header.
bool ClearVarToFlashSlot(const std::filesystem::path& projectDir, int slot);

} // namespace qv
