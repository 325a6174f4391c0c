// The variable backup file: what imports exports again, and reads back the same.
#include "fuzz/fuzz_target.h"
#include "model/document/draw_doc.h"
#include "config/backup/var_backup.h"

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    HmiVarTable table;
    std::string error;
    if (!ParseHmiVarBackup(asText(data, size), table, error)) {
        require(!error.empty(), "a refused backup gives no reason");
        return;
    }
    std::string bytes;
    require(FormatHmiVarBackup(table, bytes, error), "an imported table cannot be exported");
    HmiVarTable back;
    require(ParseHmiVarBackup(bytes, back, error), "an exported table does not import");
    std::string again;
    require(FormatHmiVarBackup(back, again, error) && again == bytes, "export, import, export differ");
}

} // namespace qv::fuzz
