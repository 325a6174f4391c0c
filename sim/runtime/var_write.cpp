#include "sim/runtime/var_write.h"

#include <array>

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/vars/hmi_vars.h"
#include "model/vars/system_vars.h"

namespace qv::sim {
namespace {

constexpr std::uint8_t kNoSubWindow = 255;

// The byte of a system variable in both banks, announced when the live byte differs.
void setSystemByte(CEditorApp& app, PortWriter* writer, SystemVar id, std::uint8_t value)
{
    const auto address = SystemVarAddress(app, id, 1);
    if (!address)
        return;
    if (app.m_VarMemRun.readByte(*address) != value) {
        const std::array<std::uint8_t, 1> data{value};
        NotifyVarWrite(writer, *address, 1, data);
    }
    app.m_VarMem.writeByte(*address, value);
    app.m_VarMemRun.writeByte(*address, value);
}

} // namespace

void NotifyVarWrite(PortWriter* writer, std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data)
{
    if (writer)
        writer->OnVarWrite(address, length, data);
}

bool WriteRunValue(CEditorApp& app, PortWriter* writer, std::int64_t address, int width, std::uint64_t value, bool both)
{
    if (!isValidVarRange(address, width) || (width != 1 && width != 2 && width != 4 && width != 8))
        return false;
    std::array<std::uint8_t, 8> data{};
    for (int i = 0; i < width; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    NotifyVarWrite(writer, address, static_cast<std::uint32_t>(width), std::span(data.data(), static_cast<std::size_t>(width)));
    app.m_VarMemRun.write(address, width, value);
    if (both)
        app.m_VarMem.write(address, width, value);
    // The clock reads the stored fields, so it runs once the new value is in place.
    OnClockVariableWritten(app, app.m_PanelClock, address);
    return true;
}

bool WriteRunBit(CEditorApp& app, PortWriter* writer, std::int64_t address, int bit, bool on)
{
    const auto old = app.m_VarMemRun.readByte(address);
    if (!old || bit < 0 || bit > 7)
        return false;
    const auto value = static_cast<std::uint8_t>(on ? (*old | (1u << bit)) : (*old & ~(1u << bit)));
    const std::array<std::uint8_t, 1> data{value};
    NotifyVarWrite(writer, address, kBitChange | static_cast<std::uint32_t>(bit), data);
    app.m_VarMemRun.writeByte(address, value);
    OnClockVariableWritten(app, app.m_PanelClock, address);
    return true;
}

void SetWindowSystemVars(CEditorApp& app, PortWriter* writer, std::string_view name)
{
    const CDrawDoc* project = app.ProjectDoc();
    if (!project)
        return;
    for (std::size_t i = 0; i < project->m_screenNames.size(); ++i)
        if (project->m_screenNames[i]->m_strName == name) {
            setSystemByte(app, writer, SystemVar::HuaMian, static_cast<std::uint8_t>(i));
            setSystemByte(app, writer, SystemVar::ChildWindow, kNoSubWindow);
            return;
        }
    for (std::size_t i = 0; i < project->m_subWindowNames.size(); ++i)
        if (project->m_subWindowNames[i]->m_strName == name) {
            setSystemByte(app, writer, SystemVar::ChildWindow, static_cast<std::uint8_t>(i));
            return;
        }
}

} // namespace qv::sim
