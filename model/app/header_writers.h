#pragma once
// The C headers of the user's 8051 code ("SysVar.h", "HmiVar.h", "HmiVarStruct.h") are made
// by the compiler library, which the model does not link. Whoever links it installs its
// writers here (the application at start-up, tests that want real files); until then the
// header roads of CEditorApp still delete the stale user-code files but write no header.
#include <cstdint>
#include <filesystem>
#include <string>

namespace qv {

struct HmiVarTable;
class CEditorApp;

struct HeaderWriters {
    // Each writes its file(s) into `projectDir`; false with `error` (UTF-8) when one could
    // not be written (the old file is then left as it was).
    bool (*writeSysVar)(const std::filesystem::path& projectDir, const HmiVarTable& table, std::int64_t userAddress,
                        std::string* error) = nullptr;
    bool (*writeHmiVar)(const std::filesystem::path& projectDir, const HmiVarTable& table,
                        std::string* error) = nullptr;
};

// Installed once before any project opens; not thread-safe against concurrent writes.
void SetHeaderWriters(const HeaderWriters& writers);
const HeaderWriters& GetHeaderWriters();

// What every change of the variable table does to the project folder: deletes the compiled
// user code "\MC8051\MC8051.HEX" (and, with `deleteSavedVars`, "\NandFlash\VarToFlash.vtf"),
// whose addresses no longer match, then writes "SysVar.h" and the HmiVar headers. Nothing
// happens without an open project. A header that cannot be written is named in the output.
void WriteVariableHeaders(CEditorApp& app, bool deleteSavedVars);

} // namespace qv
