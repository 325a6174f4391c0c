#pragma once
// Writes the user code's headers into the project folder (each file replaced atomically)
// and installs these writers as the application's header roads.
#include <cstdint>
#include <filesystem>
#include <string>

namespace qv {

struct HmiVarTable;

// "SysVar.h". False with `error` (UTF-8) when it could not be written.
bool WriteSysVarHeaderFile(const std::filesystem::path& projectDir, const HmiVarTable& table,
                           std::int64_t userAddress, std::string* error);
// "HmiVar.h", then "HmiVarStruct.h" (not tried when the first failed).
bool WriteHmiVarHeaderFiles(const std::filesystem::path& projectDir, const HmiVarTable& table, std::string* error);

// Makes CEditorApp's WriteSysVarHeader / WriteHmiVarHeader write these files.
void InstallVarHeaderWriters();

} // namespace qv
