#include "compiler/headers/var_header_files.h"

#include "compiler/headers/var_header_text.h"
#include "model/app/header_writers.h"
#include "platform/files/atomic_file.h"

namespace qv {

bool WriteSysVarHeaderFile(const std::filesystem::path& projectDir, const HmiVarTable& table,
                           std::int64_t userAddress, std::string* error)
{
    return writeFileAtomically(projectDir / "SysVar.h", SysVarHeaderText(table, userAddress), error);
}

bool WriteHmiVarHeaderFiles(const std::filesystem::path& projectDir, const HmiVarTable& table, std::string* error)
{
    return writeFileAtomically(projectDir / "HmiVar.h", HmiVarHeaderText(table), error) &&
           writeFileAtomically(projectDir / "HmiVarStruct.h", HmiVarStructHeaderText(table), error);
}

void InstallVarHeaderWriters() { SetHeaderWriters({&WriteSysVarHeaderFile, &WriteHmiVarHeaderFiles}); }

} // namespace qv
