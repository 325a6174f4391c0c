#include "model/vars/hmi_vars.h"

#include "model/app/editor_app.h"
#include "model/document/ui_prompts.h"
#include "model/params/var_refs.h"
#include "model/project/system_windows.h"
#include "model/vars/system_vars.h"
#include "model/vars/var_bank.h"
#include "model/vars/var_types.h"

#include <algorithm>
#include <array>

namespace qv {

namespace {

// A system variable the project binds: its row and address, checked for an access of
// `width` bytes.
struct BoundVar {
    std::int32_t row;
    std::int64_t address;
};

std::optional<BoundVar> boundSystemVar(const CDrawDoc& project, SystemVar id, int width)
{
    const std::int32_t row = project.SettingI32(static_cast<std::size_t>(systemVarRow(id).settingsSlot));
    const VarBinding binding = varBindingOf(project.m_varTable, row);
    if (row < 0 || !isValidVarRange(binding.address, width))
        return std::nullopt;
    return BoundVar{row, binding.address};
}

// The clock, back-light and password rows are only used away from row 0 and address 0,
// where m_HuaMian lives.
std::optional<BoundVar> boundSettingVar(const CDrawDoc& project, SystemVar id, int width)
{
    auto var = boundSystemVar(project, id, width);
    if (var && (var->row == 0 || var->address == 0))
        return std::nullopt;
    return var;
}

// Every open window document named in the project, screens first.
template <class Fn>
void forEachOpenWindow(const CEditorApp& app, const CDrawDoc& project, Fn&& fn)
{
    for (const ObjectList* list : {&project.m_screenNames, &project.m_subWindowNames})
        for (const auto& entry : *list)
            if (CDrawDoc* doc = app.FindWindowDocByFileName(entry->m_strName))
                fn(*doc);
}

} // namespace

std::optional<std::int64_t> SystemVarAddress(const CEditorApp& app, SystemVar id, int width)
{
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return std::nullopt;
    if (auto var = boundSystemVar(*project, id, width))
        return var->address;
    return std::nullopt;
}

void forEachOpenProjectWindow(const CEditorApp& app, const std::function<void(CDrawDoc&)>& fn)
{
    if (const CDrawDoc* project = app.ProjectDoc())
        forEachOpenWindow(app, *project, fn);
}

namespace {

struct ClockField {
    SystemVar var;
    int width;
    int PanelTime::*field;
};
constexpr std::array<ClockField, 7> kClockFields{{
    {SystemVar::ClockYear, 2, &PanelTime::year},
    {SystemVar::ClockMonth, 1, &PanelTime::month},
    {SystemVar::ClockDay, 1, &PanelTime::day},
    {SystemVar::ClockHour, 1, &PanelTime::hour},
    {SystemVar::ClockMinute, 1, &PanelTime::minute},
    {SystemVar::ClockSecond, 1, &PanelTime::second},
    {SystemVar::ClockWeek, 1, &PanelTime::weekday},
}};

struct SavedSetting {
    SystemVar var;
    int width;
};
constexpr std::array<SavedSetting, 6> kSavedSettings{{
    {SystemVar::BackLight, 1}, {SystemVar::BackLightDly, 1}, {SystemVar::KeySound, 1},
    {SystemVar::JuniorUser, 4}, {SystemVar::AdvancedUser, 4}, {SystemVar::SuperUser, 4},
}};

// The entry at position n of a name list, or nullptr.
const std::string* nameAt(const ObjectList& list, std::size_t n) { return n < list.size() ? &list[n]->m_strName : nullptr; }

} // namespace

void GetVariableAddress(const CEditorApp& app, int row, std::int32_t& address, std::uint8_t& type)
{
    const CDrawDoc* project = app.ProjectDoc();
    const VarBinding binding = project ? varBindingOf(project->m_varTable, row) : VarBinding{};
    address = binding.address;
    if (binding.type)
        type = *binding.type;
}

std::int64_t GetVariableMemorySize(const CEditorApp& app)
{
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return 0;
    const HmiVarTable& table = project->m_varTable;
    const VarExtentResolver extent = [&](std::int32_t row) { return varExtentOf(table, row); };
    std::int64_t end = varTableEnd(table);
    std::int64_t curveMax = 0;
    std::int64_t stringMax = 0;
    forEachOpenWindow(app, *project, [&](const CDrawDoc& doc) {
        for (const auto& obj : doc.m_objects) {
            curveMax = std::max(curveMax, curveAddressEnd(obj->Kind(), obj->m_Params, extent).value_or(0));
            stringMax = std::max(stringMax, stringAddressEnd(obj->Kind(), obj->m_Params, extent).value_or(0));
        }
    });
    return 2 * std::max({end, curveMax, stringMax});
}

AddVarOutcome FindOrAddVarRow(const CEditorApp& app, HmiVarTable& table, std::string_view type, std::string_view name,
                              std::string_view initial, std::string_view description)
{
    // Most requests name a variable that exists: the used memory, a walk over every object
    // of every window, is only needed for a new row.
    if (const auto row = findVarRow(table, name))
        return {*row, false, {}};
    return findOrAddVarRow(table, type, name, initial, description, GetVariableMemorySize(app));
}

int FindOrAddHmiVar(CEditorApp& app, std::string_view type, std::string_view name, std::string_view initial,
                    std::string_view description, bool* created, std::string* errorGbk)
{
    if (created)
        *created = false;
    CDrawDoc* project = app.ProjectDoc();
    AddVarOutcome outcome;
    if (!project)
        outcome.errorGbk = std::string("没有打开的工程，无法添加HMI变量：").append(name);
    else
        outcome = FindOrAddVarRow(app, project->m_varTable, type, name, initial, description);
    if (outcome.created) {
        project->DoFileSave();
        if (created)
            *created = true;
    }
    if (outcome.row < 0) {
        if (errorGbk)
            *errorGbk = outcome.errorGbk;
        else
            app.Prompt().ShowMessage(outcome.errorGbk, UiPrompts::Icon::Error);
    }
    return outcome.row;
}

std::uint8_t FindWindowIndex(const CEditorApp& app, std::string_view fileName)
{
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return 0xFF;
    for (const ObjectList* list : {&project->m_screenNames, &project->m_subWindowNames}) {
        const auto it = std::find_if(list->begin(), list->end(), [&](const auto& e) { return e->m_strName == fileName; });
        if (it != list->end())
            return static_cast<std::uint8_t>(std::min<std::ptrdiff_t>(it - list->begin(), 0xFF));
    }
    return 0xFF;
}

bool IsSystemSubWindow(std::string_view fileName)
{
    return isSystemSubWindow(fileName);
}

void OnScreenVarChanged(CEditorApp& app)
{
    const CDrawDoc* project = app.ProjectDoc();
    const auto var = project ? boundSystemVar(*project, SystemVar::HuaMian, 1) : std::nullopt;
    if (!var)
        return;
    const std::string* screen = nameAt(project->m_screenNames, app.m_VarMemRun.readByte(var->address).value_or(0));
    if (!screen || *screen == app.m_strSimScreen)
        return;
    app.m_strSimScreen = *screen;
    app.m_strSimSubWindow.clear();
    app.m_strSimSysWindow.clear();
}

void OnSubWindowVarChanged(CEditorApp& app)
{
    const CDrawDoc* project = app.ProjectDoc();
    const auto var = project ? boundSystemVar(*project, SystemVar::ChildWindow, 1) : std::nullopt;
    if (!var)
        return;
    const std::uint8_t n = app.m_VarMemRun.readByte(var->address).value_or(0);
    if (n == 0xFF) {
        app.m_strSimSubWindow.clear();
        return;
    }
    const std::string* name = nameAt(project->m_subWindowNames, n);
    if (!name || IsSystemSubWindow(*name))
        return;
    const CDrawDoc* window = app.FindWindowDocByFileName(*name);
    if (!window || window->SettingI32(settings::kNoChildSwitch) != 0)
        return;
    app.m_strSimSubWindow = *name;
    app.m_strSimSysWindow.clear();
}

int CheckUserPassword(CEditorApp& app, std::int64_t password)
{
    CDrawDoc* project = app.ProjectDoc();
    const auto user = project ? boundSystemVar(*project, SystemVar::CurrentUser, 1) : std::nullopt;
    if (!user)
        return 0;
    const int level = app.m_VarMem.readByte(user->address).value_or(0);
    constexpr std::array<SystemVar, 3> kLevels{SystemVar::JuniorUser, SystemVar::AdvancedUser, SystemVar::SuperUser};
    if (level < 1 || level > 3)
        return 0;
    const std::int32_t row = project->SettingI32(static_cast<std::size_t>(systemVarRow(kLevels[level - 1]).settingsSlot));
    const HmiVarTable& table = project->m_varTable;
    if (row < 0 || static_cast<std::size_t>(row) >= table.size() || !table.IsParallel())
        return 0;
    // A password row whose text is no number accepts no password.
    const auto expected = parseDecimal(table.initValue[static_cast<std::size_t>(row)]);
    if (!expected || *expected != password)
        return -1;
    project->m_nUserLevel = level;
    return 0;
}

void WriteClockVariables(CEditorApp& app, const PanelTime& time)
{
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return;
    for (const ClockField& f : kClockFields)
        if (const auto var = boundSettingVar(*project, f.var, f.width))
            app.m_VarMemRun.write(var->address, f.width, static_cast<std::uint64_t>(time.*f.field));
}

bool OnClockVariableWritten(CEditorApp& app, PanelClock& clock, std::int64_t address)
{
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return false;
    const auto settable = [](SystemVar v) { return v != SystemVar::ClockWeek; };
    const bool isClock = std::any_of(kClockFields.begin(), kClockFields.end(), [&](const ClockField& f) {
        const auto var = settable(f.var) ? boundSettingVar(*project, f.var, f.width) : std::nullopt;
        return var && var->address == address;
    });
    if (!isClock)
        return false;
    PanelTime time = clock.now();
    for (const ClockField& f : kClockFields)
        if (settable(f.var))
            if (const auto var = boundSettingVar(*project, f.var, f.width))
                time.*f.field = static_cast<int>(app.m_VarMemRun.read(var->address, f.width).value_or(0));
    return clock.set(time);
}

void SaveSystemVariablesAsInitial(CEditorApp& app)
{
    CDrawDoc* project = app.ProjectDoc();
    if (!project || !project->m_varTable.IsParallel())
        return;
    for (const SavedSetting& s : kSavedSettings) {
        const auto var = boundSettingVar(*project, s.var, s.width);
        if (!var || static_cast<std::size_t>(var->row) >= project->m_varTable.size())
            continue;
        if (const auto value = app.m_VarMem.read(var->address, s.width))
            project->m_varTable.initValue[static_cast<std::size_t>(var->row)] = std::to_string(*value);
    }
    project->DoFileSave();
}

RebuildReport writeInitialValues(const HmiVarTable& table, VarBank& bank)
{
    RebuildReport report;
    if (!table.IsParallel()) {
        report.skipped.emplace_back("HMI变量表的各列行数不一致，未写入初始值\r\n");
        return report;
    }
    for (std::size_t row = 0; row < table.size(); ++row) {
        const std::string& name = table.name[row];
        const auto code = hmiVarTypeCode(table.type[row]);
        const auto address = parseDecimal(table.address[row]);
        const auto initial = parseDecimal(table.initValue[row]);
        std::string problem;
        if (!code)
            problem = std::string("类型无效（").append(table.type[row]).append("）");
        else if (!address || !isValidVarRange(*address, hmiVarTypeByCode(*code)->width))
            problem = std::string("地址超出变量内存（").append(table.address[row]).append("）");
        else if (!initial)
            problem = std::string("初始值无效（").append(table.initValue[row]).append("）");
        if (problem.empty())
            bank.writeTyped(*address, *code, *initial);
        else
            report.skipped.push_back(std::string("HMI变量").append(name).append(problem).append("，已跳过\r\n"));
    }
    return report;
}

RebuildReport RebuildSimulationMemory(CEditorApp& app, const std::function<void()>& beforeCopy,
                                      const RebuildObjectSteps& steps)
{
    app.m_VarMemRun.clear();
    app.m_VarMem.clear();
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return {};
    RebuildReport report = writeInitialValues(project->m_varTable, app.m_VarMemRun);
    const VarResolver resolve = [&](std::int32_t row) { return varBindingOf(project->m_varTable, row); };
    forEachOpenWindow(app, *project, [&](CDrawDoc& doc) {
        for (auto& obj : doc.m_objects) {
            if (steps.before)
                steps.before(*obj);
            refreshVarRefs(obj->Kind(), obj->m_Params, resolve);
            if (steps.after)
                steps.after(*obj);
        }
    });
    if (beforeCopy)
        beforeCopy();
    app.m_VarMem.copyFrom(app.m_VarMemRun);
    OnScreenVarChanged(app);
    OnSubWindowVarChanged(app);
    return report;
}

} // namespace qv
