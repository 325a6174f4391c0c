#include "config/special/special_vars_page.h"

#include "model/app/editor_app.h"
#include "model/params/block_bytes.h"

namespace qv::special_vars {

namespace {

// Slot k of the roles is the int at byte 4k.
constexpr std::array<RoleSlot, kRoleCount> kRoleSlots{{
    {4, "当前活动画面:"},
    {8, "当前活动子窗口:"},
    {12, "当前系统时间(年):"},
    {16, "当前系统时间(月):"},
    {20, "当前系统时间(日):"},
    {24, "当前系统时间(时):"},
    {28, "当前系统时间(分):"},
    {32, "当前系统时间(秒):"},
    {36, "当前系统时间(星期):"},
    {40, "背光亮度:"},
    {44, "背光延时:"},
    {48, "按键音控制:"},
    {52, "当前用户:"},
    {56, "初级口令:"},
    {60, "高级口令:"},
    {64, "超级口令:"},
}};

constexpr std::string_view kUnused = "不使用";
constexpr std::string_view kSystemAreaRefusal = "非易失性变量PROM_RAM起始地址不能是系统变量区（0至27）！！！";
constexpr std::string_view kTotalRefusal = "非易失性变量PROM_RAM的总数量不得大于12000字节大小！！！";

// The page's fields with their ranges; a value outside is refused before anything is stored.
struct FieldRange {
    int SpecialVarsPage::*field;
    int max;
};
constexpr std::array<FieldRange, 3> kFieldRanges{{
    {&SpecialVarsPage::promStart, kAddressMax},
    {&SpecialVarsPage::promLength, kPromRamLengthMax},
    {&SpecialVarsPage::outputPortAddress, kAddressMax},
}};

std::int32_t readInt(const ProjectSettings& s, std::size_t offset) { return blockReadI32(s, static_cast<int>(offset)); }
void writeInt(ProjectSettings& s, std::size_t offset, std::int32_t v) { blockWriteI32(s, static_cast<int>(offset), v); }

std::string rangeError(int max)
{
    return "请输入一个在0和" + std::to_string(max) + "之间的整数。";
}

} // namespace

std::span<const RoleSlot, kRoleCount> RoleSlots() { return kRoleSlots; }

SpecialVarsPage LoadPage(const ProjectSettings& settings)
{
    SpecialVarsPage page;
    for (std::size_t i = 0; i < kRoleCount; ++i)
        page.roles[i] = readInt(settings, kRoleSlots[i].offset);
    page.promStart = readInt(settings, settings::kPromRamStart);
    page.promLength = readInt(settings, settings::kPromRamLength);
    page.outputPortAddress = readInt(settings, kOutputPortAddress);
    return page;
}

RoleChoices ChoicesFor(const HmiVarTable& table, std::int32_t slotValue)
{
    RoleChoices c;
    c.entries = table.name;
    c.entries.emplace_back(kUnused);
    if (slotValue == kNoVariable)
        c.selected = static_cast<int>(table.size());
    else if (slotValue >= 0 && static_cast<std::size_t>(slotValue) < table.size())
        c.selected = slotValue;
    return c;
}

CommitOutcome CommitPage(const SpecialVarsPage& page, ProjectSettings& settings)
{
    CommitOutcome out;
    for (const FieldRange& f : kFieldRanges) {
        const int v = page.*f.field;
        if (v < 0 || v > f.max) {
            out.fieldError = rangeError(f.max);
            return out;
        }
    }
    for (std::size_t i = 0; i < kRoleCount; ++i)
        writeInt(settings, kRoleSlots[i].offset, page.roles[i]);
    writeInt(settings, kOutputPortAddress, page.outputPortAddress);

    const int start = page.promStart;
    const int length = page.promLength;
    // A length of 0 means no non-volatile range at all, so its start is not checked: a new
    // project (0, 0) must not be refused each time the page is accepted.
    if (length != 0 && start <= kSystemAreaLast) {
        out.rangeRefusal = kSystemAreaRefusal;
        return out;
    }
    if (start + length > kPromRamEndMax) {
        out.rangeRefusal = kTotalRefusal;
        return out;
    }
    if (start != readInt(settings, settings::kPromRamStart) || length != readInt(settings, settings::kPromRamLength)) {
        writeInt(settings, settings::kPromRamStart, start);
        writeInt(settings, settings::kPromRamLength, length);
        out.rangeChanged = true;
    }
    out.nonVolatileNotice = length != 0;
    return out;
}

CommitOutcome ApplyToProject(CEditorApp& app, const SpecialVarsPage& page, const ClearSavedSlot& clearSlot)
{
    CDrawDoc* doc = app.ProjectDoc();
    if (!doc)
        return {};
    CommitOutcome out = CommitPage(page, doc->m_ProjectSettings);
    if (!out.fieldError.empty())
        return out;
    // The saved range no longer matches the variables it held.
    if (out.rangeChanged && clearSlot)
        clearSlot(0);
    doc->DoFileSave();
    doc->UpdateAllViews(nullptr);
    return out;
}

} // namespace qv::special_vars
