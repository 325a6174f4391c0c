#pragma once
// The variable backup file "*.bak": the whole variable table as text, one value a line
// ("HmivarFile", the count, then address, type, name, initial value and description of
// each variable), GBK, CR LF line ends. Export writes it; import replaces the project's
// table with it.
#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

struct HmiVarTable;
class CEditorApp;

inline constexpr std::string_view kVarBackupMagic = "HmivarFile";
inline constexpr std::string_view kVarBackupWrongFormat = "文件格式不对";

// The backup text of `table`; false with `errorGbk` when a value holds a line break (the
// file would not read back) or the columns differ in length.
bool FormatHmiVarBackup(const HmiVarTable& table, std::string& bytes, std::string& errorGbk);

// Reads a backup text. The whole text is checked before `table` is touched: the first line
// "HmivarFile" exactly (else kVarBackupWrongFormat), a count that the lines really hold,
// every type one of the six, every address inside the variable memory, valid GBK, the
// system variables first, and every row what the variable manager would take (name, initial
// value in its type, no name twice, an aligned address overlapping no row before it; the
// message names the line). False with `errorGbk` on the first fault; `table` unchanged.
bool ParseHmiVarBackup(std::string_view bytes, HmiVarTable& table, std::string& errorGbk);

// Writes the backup of `table` to `file` (replaced atomically; an old file stays whole
// when the write fails).
bool ExportHmiVarBackup(const HmiVarTable& table, const std::filesystem::path& file, std::string& errorGbk);

// Replaces the project document's table with the backup in `file`, saves the project and
// every window (their undo history restarts) and rewrites the headers, since the addresses
// changed. False with `errorGbk`, and the table unchanged, when the file cannot be read or
// is refused by ParseHmiVarBackup, or no project is open.
bool ImportHmiVarBackup(CEditorApp& app, const std::filesystem::path& file, std::string& errorGbk);

} // namespace qv
