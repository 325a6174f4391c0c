#pragma once
// The mapping table of one serial port as its dialog edits it: loaded from the port's driver
// file when the dialog opens, rewritten completely after every change.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/plcmap/driver_file.h"
#include "config/plcmap/mapping_rules.h"

namespace qv::plcmap {

struct ColumnSpec {
    std::string_view title;
    int width;
};

// The list's columns for a protocol (no station column for protocol 5).
std::vector<ColumnSpec> ColumnsOf(int protocol);

inline constexpr std::string_view kClearPassword = "70615283946";

class PlcMapTable {
public:
    PlcMapTable(std::filesystem::path projectDir, int port, int protocol);

    // Reads the driver file. A missing file gives an empty table; a damaged one gives an empty
    // table and an error (GBK) naming the file, and the file is left as it is until the next
    // change is saved.
    bool Load(std::string* error = nullptr);
    // Writes the whole table; false with `error` when the file could not be written.
    bool Save(std::string* error = nullptr) const;

    // Each editing step returns a refusal message (GBK) or nothing; on a refusal the table
    // and the file stay as they were. A step that changed the table has saved it; a failed
    // save is reported through `saveError`.
    std::optional<std::string> Add(const MappingEdit& edit);
    std::optional<std::string> Modify(const MappingEdit& edit);
    void Delete();
    std::optional<std::string> Clear(std::string_view password);
    void MoveUp();
    void MoveDown();

    const std::vector<MappingRecord>& rows() const { return rows_; }
    int selection() const { return selection_; }
    void Select(int row) { selection_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1; }
    std::vector<std::string> RowTexts(std::size_t row) const;
    const std::filesystem::path& file() const { return file_; }
    int port() const { return port_; }
    int protocol() const { return protocol_; }
    const std::string& saveError() const { return saveError_; }

private:
    void Commit();

    std::filesystem::path file_;
    int port_;
    int protocol_;
    std::vector<MappingRecord> rows_;
    int selection_ = -1;
    std::string saveError_;
};

} // namespace qv::plcmap
