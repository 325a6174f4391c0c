#include "config/backup/var_backup.h"

#include "model/app/editor_app.h"
#include "model/app/header_writers.h"
#include "model/project/file_copies.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/system_vars.h"
#include "model/vars/var_types.h"
#include "platform/files/atomic_file.h"
#include "platform/text/gbk.h"
#include "config/manager/var_input_rules.h"
#include "config/manager/var_manager_texts.h"

#include <array>
#include <unordered_set>
#include <utility>
#include <vector>

namespace qv {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kFieldsPerVar = 5;
constexpr std::int64_t kMemorySize = 0x10000;
// A whole bank of one-byte variables with long names and descriptions stays far below this.
constexpr std::uint64_t kMaxBackupFileBytes = 16u << 20;

std::string number(std::size_t n) { return std::to_string(n); }

// "第N个变量" (N counted from 1), the way the variable manager numbers rows.
std::string varOrdinal(std::size_t row) { return "第" + number(row + 1) + "个变量"; }

// The table's columns by field position in the file.
std::array<const std::vector<std::string>*, kFieldsPerVar> columns(const HmiVarTable& t)
{
    return {&t.address, &t.type, &t.name, &t.initValue, &t.description};
}

bool holdsLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// The lines of a text read the way a text-mode stream reads them: split at LF, one CR
// before it dropped. LF and CR are never second bytes of a GBK character.
std::vector<std::string_view> textLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos)
            break;
        bytes.remove_prefix(lf + 1);
    }
    return lines;
}

// Why row `row` (its five values) cannot stand in a project's table, or empty.
std::string rowFault(std::size_t row, std::span<const std::string_view, kFieldsPerVar> v)
{
    for (std::string_view field : v)
        if (!gbkToUtf8(field))
            return varOrdinal(row) + "含有无效的文字（不是GBK编码）";
    const int width = hmiVarTypeWidth(v[1]);
    if (width == 0)
        return varOrdinal(row) + "的类型无效：" + std::string(v[1]);
    const auto address = parseDecimal(v[0]);
    if (!address || *address < 0 || *address + width > kMemorySize)
        return varOrdinal(row) + "的地址无效：" + std::string(v[0]);
    if (row < static_cast<std::size_t>(kSystemVarCount) && v[2] != systemVarRows()[row].name)
        return varOrdinal(row) + "应为系统变量" + std::string(systemVarRows()[row].name) + "，文件中为：" + std::string(v[2]);
    return {};
}

// Fields of a row in the file, counted from its first line.
enum Field : std::size_t { kAddressField = 0, kTypeField = 1, kNameField = 2, kInitialField = 3, kDescriptionField = 4 };

// The manager's refusal of the row (its name, type, initial value and text as the variable
// dialog checks them; a name the rows before it hold; an address unaligned for the type or
// overlapping a row before it) with the field it names, or an empty text. `occupied` gets
// the row's bytes and `names` its name when it passes.
std::pair<std::size_t, std::string> managerFault(std::span<const std::string_view, kFieldsPerVar> v,
                                                 const HmiVarTable& before, std::vector<int>& occupied,
                                                 std::unordered_set<std::string>& names)
{
    HmiVarInput input;
    input.address = std::string(v[kAddressField]);
    input.type = std::string(v[kTypeField]);
    input.name = std::string(v[kNameField]);
    input.initValue = std::string(v[kInitialField]);
    input.description = std::string(v[kDescriptionField]);
    if (auto refusal = FirstInputFault(input)) {
        // The row's own lines, in the order of InputField.
        constexpr std::array<std::size_t, 4> kLineOf{kTypeField, kNameField, kInitialField, kDescriptionField};
        return {kLineOf[static_cast<std::size_t>(refusal->field)], std::move(refusal->text)};
    }
    if (names.count(input.name))
        return {kNameField, std::string(vars::text::kSameName) + "：" + input.name};
    const std::int64_t address = *parseDecimal(input.address);
    if (std::string fault = AlignmentFault(input.type, address); !fault.empty())
        return {kAddressField, fault};
    const int width = hmiVarTypeWidth(input.type);
    for (std::int64_t at = address; at < address + width; ++at)
        if (const int other = occupied[static_cast<std::size_t>(at)]; other >= 0)
            return {kAddressField, std::string(vars::text::kAddressOverlaps) + varOrdinal(static_cast<std::size_t>(other)) +
                                       "（" + before.name[static_cast<std::size_t>(other)] + "）"};
    for (std::int64_t at = address; at < address + width; ++at)
        occupied[static_cast<std::size_t>(at)] = static_cast<int>(before.size());
    names.insert(input.name);
    return {};
}

} // namespace

bool FormatHmiVarBackup(const HmiVarTable& table, std::string& bytes, std::string& errorGbk)
{
    if (!table.IsParallel()) {
        errorGbk = "变量表已损坏（各列行数不一致），无法导出";
        return false;
    }
    std::string out;
    out.append(kVarBackupMagic).append(kLineEnd);
    out.append(number(table.size())).append(kLineEnd);
    const auto cols = columns(table);
    for (std::size_t row = 0; row < table.size(); ++row) {
        for (const auto* col : cols) {
            const std::string& value = (*col)[row];
            if (holdsLineBreak(value)) {
                errorGbk = varOrdinal(row) + "（" + table.name[row] + "）含有换行符，无法导出";
                return false;
            }
            out.append(value).append(kLineEnd);
        }
    }
    bytes = std::move(out);
    return true;
}

bool ParseHmiVarBackup(std::string_view bytes, HmiVarTable& table, std::string& errorGbk)
{
    const std::vector<std::string_view> lines = textLines(bytes);
    if (lines.empty() || lines[0] != kVarBackupMagic) {
        errorGbk = kVarBackupWrongFormat;
        return false;
    }
    const auto count = lines.size() > 1 ? parseDecimal(lines[1]) : std::nullopt;
    if (!count || *count < kSystemVarCount || *count > kMemorySize) {
        errorGbk = "备份文件的变量个数无效：" + std::string(lines.size() > 1 ? lines[1] : std::string_view());
        return false;
    }
    const std::size_t n = static_cast<std::size_t>(*count);
    const std::size_t held = (lines.size() - 2) / kFieldsPerVar;
    if (held < n) {
        errorGbk = "备份文件不完整：应有" + number(n) + "个变量，文件中只有" + number(held) + "个";
        return false;
    }
    for (std::size_t i = 2 + n * kFieldsPerVar; i < lines.size(); ++i) {
        if (!lines[i].empty()) {
            errorGbk = "备份文件在" + number(n) + "个变量之后还有多余的内容（第" + number(i + 1) + "行）";
            return false;
        }
    }
    HmiVarTable parsed;
    std::vector<int> occupied(kMemorySize, -1); // the row holding each byte of the memory
    std::unordered_set<std::string> names;
    for (std::size_t row = 0; row < n; ++row) {
        const std::size_t firstLine = 2 + row * kFieldsPerVar;
        const std::span<const std::string_view, kFieldsPerVar> v(lines.data() + firstLine, kFieldsPerVar);
        // A carriage return inside a value could never be exported again.
        for (std::size_t f = 0; f < kFieldsPerVar; ++f) {
            if (v[f].find('\r') != std::string_view::npos) {
                errorGbk = "备份文件第" + number(firstLine + f + 1) + "行（" + varOrdinal(row) + "）含有回车符，无法导入";
                return false;
            }
        }
        if (std::string fault = rowFault(row, v); !fault.empty()) {
            errorGbk = std::move(fault);
            return false;
        }
        // What the manager's add and modify refuse is refused here too, naming the line.
        if (const auto [field, fault] = managerFault(v, parsed, occupied, names); !fault.empty()) {
            errorGbk = "备份文件第" + number(firstLine + field + 1) + "行（" + varOrdinal(row) + "）：" + fault;
            return false;
        }
        parsed.AppendRow(std::string(v[0]), std::string(v[1]), std::string(v[2]), std::string(v[3]), std::string(v[4]));
    }
    table = std::move(parsed);
    return true;
}

bool ExportHmiVarBackup(const HmiVarTable& table, const std::filesystem::path& file, std::string& errorGbk)
{
    std::string bytes;
    if (!FormatHmiVarBackup(table, bytes, errorGbk))
        return false;
    std::string error;
    if (!writeFileAtomically(file, bytes, &error)) {
        errorGbk = "无法写入HMI变量备份文件：" + pathForMessage(file) + " " + utf8ToGbk(error).value_or(error);
        return false;
    }
    return true;
}

bool ImportHmiVarBackup(CEditorApp& app, const std::filesystem::path& file, std::string& errorGbk)
{
    CDrawDoc* project = app.ProjectDoc();
    if (!project) {
        errorGbk = "没有打开的工程，无法导入HMI变量";
        return false;
    }
    std::string bytes;
    std::string error;
    if (!readWholeFile(file, bytes, &error, kMaxBackupFileBytes)) {
        errorGbk = "无法打开HMI变量备份文件：" + pathForMessage(file) + " " + utf8ToGbk(error).value_or(error);
        return false;
    }
    HmiVarTable table;
    if (!ParseHmiVarBackup(bytes, table, errorGbk))
        return false;
    project->m_varTable = std::move(table);
    bool saved = project->DoFileSave();
    saved = app.SaveAllDocumentsAndResetUndo() && saved;
    // The addresses changed: the user code's headers and its compiled image must follow.
    WriteVariableHeaders(app, false);
    if (!saved) {
        errorGbk = "HMI变量已导入，但工程文件保存失败";
        return false;
    }
    return true;
}

} // namespace qv
