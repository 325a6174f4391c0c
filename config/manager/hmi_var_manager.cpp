#include "config/manager/hmi_var_manager.h"

#include "model/app/editor_app.h"
#include "model/app/header_writers.h"
#include "model/params/object_var_refs.h"
#include "model/project/file_copies.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"
#include "model/vars/var_types.h"
#include "platform/text/gbk.h"
#include "config/adjust/var_layout.h"
#include "config/manager/var_manager_texts.h"

#include <array>
#include <unordered_set>

namespace qv {

namespace txt = vars::text;

namespace {

using RowTexts = std::array<std::string, 5>;

std::array<std::vector<std::string>*, 5> columns(HmiVarTable& t)
{
    return {&t.address, &t.type, &t.name, &t.initValue, &t.description};
}

RowTexts takeRow(HmiVarTable& t, std::size_t row)
{
    RowTexts out;
    auto cols = columns(t);
    for (std::size_t c = 0; c < cols.size(); ++c)
        out[c] = std::move((*cols[c])[row]);
    t.EraseRow(row);
    return out;
}

void insertRow(HmiVarTable& t, std::size_t row, RowTexts texts)
{
    auto cols = columns(t);
    for (std::size_t c = 0; c < cols.size(); ++c)
        cols[c]->insert(cols[c]->begin() + static_cast<std::ptrdiff_t>(row), std::move(texts[c]));
}

void swapRows(HmiVarTable& t, std::size_t a, std::size_t b)
{
    for (auto* col : columns(t))
        std::swap((*col)[a], (*col)[b]);
}

bool isRow(const HmiVarTable* t, int row) { return t && row >= 0 && static_cast<std::size_t>(row) < t->size(); }

std::int64_t roundUp(std::int64_t a, std::int64_t step) { return (a + step - 1) / step * step; }

} // namespace

HmiVarTable* HmiVarManager::MutableTable() const
{
    CDrawDoc* project = m_app.ProjectDoc();
    return project && project->m_varTable.IsParallel() ? &project->m_varTable : nullptr;
}

const HmiVarTable* HmiVarManager::Table() const { return MutableTable(); }

VarButtonStates HmiVarManager::ButtonsFor(int r) const
{
    const HmiVarTable* t = Table();
    VarButtonStates s;
    if (!isRow(t, r))
        return s;
    const bool last = static_cast<std::size_t>(r) + 1 == t->size();
    s.remove = r >= kSystemVarCount;
    s.cut = s.remove;
    s.moveDown = s.remove && !last;
    s.moveUp = r > kSystemVarCount;
    s.paste = r >= kSystemVarCount - 1 && m_nCutRow != 0;
    return s;
}

HmiVarInput HmiVarManager::NewVarInput() const
{
    HmiVarInput in;
    in.address = "64";
    return in;
}

std::optional<HmiVarInput> HmiVarManager::RowInput(int row) const
{
    const HmiVarTable* t = Table();
    if (!isRow(t, row))
        return std::nullopt;
    HmiVarInput in;
    in.address = t->address[row];
    in.type = t->type[row];
    in.name = t->name[row];
    in.initValue = t->initValue[row];
    in.description = t->description[row];
    return in;
}

void HmiVarManager::Commit(bool (CEditorApp::*fixUp)(int), int row)
{
    CDrawDoc* project = m_app.ProjectDoc();
    project->SetModifiedFlag();
    project->DoFileSave();
    if (fixUp)
        (m_app.*fixUp)(row);
    m_app.SaveAllDocumentsAndResetUndo();
    WriteVariableHeaders(m_app, false);
}

VarEditOutcome HmiVarManager::Add(const HmiVarInput& input)
{
    const std::string prefix(txt::kAddPrefix);
    HmiVarTable* t = MutableTable();
    if (!t)
        return {false, std::string(txt::kNoProject)};
    if (input.addSeveral && (input.count < 1 || input.count > kMaxBatchCount))
        return {false, prefix + std::string(txt::kCountRange)};
    if (std::string fault = InputFault(input); !fault.empty())
        return {false, prefix + fault};
    std::unordered_set<std::string> names(t->name.begin(), t->name.end());
    if (names.count(input.name))
        return {false, prefix + std::string(txt::kSameName)};

    // The end of the used memory: a multiple of 4, past every variable and every curve and
    // string buffer, so the new rows overlap nothing until the adjustment packs them.
    const int width = hmiVarTypeWidth(input.type);
    const std::int64_t base = roundUp(GetVariableMemorySize(m_app) / 2, 4);
    if (base + width > kVarMemoryBytes)
        return {false, prefix + std::string(txt::kMemoryFull)};
    if (std::string fault = AlignmentFault(input.type, base); !fault.empty())
        return {false, prefix + fault};
    const std::string description = OneLineText(input.description);
    t->AppendRow(std::to_string(base), input.type, input.name, input.initValue, description);
    names.insert(input.name);

    std::vector<std::string> skipped;
    const int copies = input.addSeveral ? input.count : 1;
    const std::int64_t initial = *InitialValueOf(input.initValue);
    for (int k = 1; k < copies; ++k) {
        std::string name = input.name + "_" + std::to_string(k);
        const std::int64_t address = base + std::int64_t{k} * width;
        const std::string value = std::to_string(initial + k);
        if (address + width > kVarMemoryBytes) {
            skipped.push_back(name + "～" + input.name + "_" + std::to_string(copies - 1) + "（" +
                              std::string(txt::kMemoryFull) + "）");
            break;
        }
        if (names.count(name)) {
            skipped.push_back(name + "（" + std::string(txt::kSameName) + "）");
            continue;
        }
        if (!InitValueFault(input.type, value).empty()) {
            skipped.push_back(name + "（" + std::string(txt::kInitOutOfRange) + value + "）");
            continue;
        }
        t->AppendRow(std::to_string(address), input.type, name, value, description);
        names.insert(std::move(name));
        m_nCutRow = 0;
    }
    // Rows are only appended: no index of an existing row changes, so no window is touched.
    CDrawDoc* project = m_app.ProjectDoc();
    project->SetModifiedFlag();
    project->DoFileSave();
    WriteVariableHeaders(m_app, false);

    VarEditOutcome out{true, {}, static_cast<int>(t->size()) - 1};
    if (!skipped.empty()) {
        out.messageGbk = std::string(txt::kCopiesSkipped);
        for (const auto& s : skipped)
            out.messageGbk += "\n" + s;
    }
    return out;
}

VarEditOutcome HmiVarManager::Modify(int row, const HmiVarInput& input)
{
    const std::string prefix(txt::kModifyPrefix);
    HmiVarTable* t = MutableTable();
    if (!isRow(t, row))
        return {};
    if (std::string fault = InputFault(input); !fault.empty())
        return {false, prefix + fault};
    if (row < kSystemVarCount && (input.name != t->name[row] || input.type != t->type[row]))
        return {false, prefix + std::string(txt::kSystemNameFixed)};
    for (std::size_t i = 0; i < t->size(); ++i)
        if (i != static_cast<std::size_t>(row) && t->name[i] == input.name)
            return {false, prefix + std::string(txt::kSameName)};
    if (const auto address = parseDecimal(t->address[row]))
        if (std::string fault = AlignmentFault(input.type, *address); !fault.empty())
            return {false, prefix + fault};
    t->type[row] = input.type;
    t->name[row] = input.name;
    t->initValue[row] = input.initValue;
    t->description[row] = OneLineText(input.description);
    Commit(&CEditorApp::OnHmiVarsChanged, row);
    return {true, {}, row};
}

VarEditOutcome HmiVarManager::Delete(int row)
{
    HmiVarTable* t = MutableTable();
    if (!isRow(t, row))
        return {};
    if (row < kSystemVarCount)
        return {false, std::string(txt::kCannotDeleteSystem)};
    t->EraseRow(static_cast<std::size_t>(row));
    m_nCutRow = 0;
    Commit(&CEditorApp::OnHmiVarDeleted, row);
    return {true, {}, row - 1};
}

VarEditOutcome HmiVarManager::Clear(std::string_view password)
{
    if (password != txt::kClearPassword)
        return {false, std::string(txt::kWrongPassword)};
    HmiVarTable* t = MutableTable();
    if (!t || t->size() == 0)
        return {};
    while (t->size() > static_cast<std::size_t>(kSystemVarCount))
        t->EraseRow(t->size() - 1);
    m_nCutRow = 0;
    Commit(&CEditorApp::OnHmiVarsCleared, 0);
    return {true, {}, 0};
}

VarEditOutcome HmiVarManager::MoveUp(int row)
{
    HmiVarTable* t = MutableTable();
    if (!isRow(t, row) || row <= kSystemVarCount)
        return {};
    swapRows(*t, row - 1, row);
    m_nCutRow = 0;
    Commit(&CEditorApp::OnHmiVarMoved, row);
    return {true, {}, row - 1};
}

VarEditOutcome HmiVarManager::MoveDown(int row)
{
    HmiVarTable* t = MutableTable();
    if (!isRow(t, row) || row < kSystemVarCount || !isRow(t, row + 1))
        return {};
    swapRows(*t, row, row + 1);
    m_nCutRow = 0;
    Commit(&CEditorApp::OnHmiVarMoved, row + 1);
    return {true, {}, row + 1};
}

VarEditOutcome HmiVarManager::Cut(int row)
{
    const HmiVarTable* t = Table();
    if (!isRow(t, row))
        return {};
    if (row < kSystemVarCount)
        return {false, std::string(txt::kCannotCutSystem)};
    m_nCutRow = row;
    return {};
}

VarEditOutcome HmiVarManager::Paste(int r)
{
    HmiVarTable* t = MutableTable();
    const int c = m_nCutRow;
    if (c == 0 || !isRow(t, r))
        return {};
    if (r == c || c == r + 1 || !isRow(t, c)) {
        m_nCutRow = 0; // already there, or the cut row is gone
        return {};
    }
    if (r < kSystemVarCount - 1)
        return {};
    RowTexts texts = takeRow(*t, static_cast<std::size_t>(c));
    const int at = r < c ? r + 1 : r;
    insertRow(*t, static_cast<std::size_t>(at), std::move(texts));
    m_app.GetVarReferenceOps().SetMoveSource(c);
    Commit(&CEditorApp::OnHmiVarPasted, r);
    m_nCutRow = 0;
    return {true, {}, at};
}

std::optional<int> HmiVarManager::Find(std::string_view name) const
{
    const HmiVarTable* t = Table();
    if (!t)
        return std::nullopt;
    for (std::size_t i = t->size(); i-- > 0;)
        if (t->name[i] == name)
            return static_cast<int>(i);
    return std::nullopt;
}

bool HmiVarManager::Close(bool noAutoAdjust)
{
    CDrawDoc* project = m_app.ProjectDoc();
    if (!project)
        return false;
    project->SetSettingI32(settings::kNoAutoAddressAdjust, noAutoAdjust ? 1 : 0);
    project->SetModifiedFlag();
    project->DoFileSave();
    return !noAutoAdjust;
}

bool HmiVarManager::NoAutoAdjust() const
{
    const CDrawDoc* project = m_app.ProjectDoc();
    return project && project->SettingI32(settings::kNoAutoAddressAdjust) != 0;
}

std::int32_t HmiVarManager::PromRamStart() const
{
    const CDrawDoc* project = m_app.ProjectDoc();
    return project ? project->SettingI32(settings::kPromRamStart) : 0;
}

std::int32_t HmiVarManager::PromRamLength() const
{
    const CDrawDoc* project = m_app.ProjectDoc();
    return project ? project->SettingI32(settings::kPromRamLength) : 0;
}

std::string HmiVarManager::HeaderPlaceText() const
{
    return std::string(txt::kHeaderPlaceBefore) + pathForMessage(m_app.m_strProjectDir) + std::string(txt::kHeaderPlaceAfter);
}

} // namespace qv
