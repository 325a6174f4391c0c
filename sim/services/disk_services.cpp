// Record-file and plain-file services of the 8051 program on the simulated drives. File
// names are read from the bank up to their NUL (none before the bank's end: refused) and
// left folded to upper case in memory, as the panel does.
#include "platform/files/confined_folder.h"
#include "sim/disk/drive_path.h"
#include "sim/services/mc8051_request.h"
#include "sim/services/panel_service_state.h"

namespace qv::sim {
namespace {

std::optional<std::filesystem::path> mapName(PanelServiceState& state, Mc8051Request& request, std::int64_t address)
{
    if (address < 0 || address >= kVarMemSize)
        return std::nullopt;
    auto name = request.text(static_cast<std::uint16_t>(address));
    if (!name)
        return std::nullopt;
    auto path = MapDrivePath(*name, state.context.projectDir);
    request.bank().writeBytes(address, std::span(reinterpret_cast<const std::uint8_t*>(name->data()), name->size()));
    return path;
}

std::uint8_t flag(bool on) { return on ? 1 : 0; }

} // namespace

void ServeOpenRecordFile(PanelServiceState& state, Mc8051Request& request)
{
    const std::uint16_t descriptor = request.p1();
    const auto recordSize = request.bank().read(descriptor + 2, 2);
    const auto capacity = request.bank().read(descriptor + 4, 4);
    const auto path = recordSize && capacity ? mapName(state, request, descriptor + 8) : std::nullopt;
    const int handle = path ? state.disks.records.open(state.context.projectDir, *path, static_cast<std::uint16_t>(*recordSize),
                                                       static_cast<std::uint32_t>(*capacity))
                            : 0;
    request.setC1(static_cast<std::uint8_t>(handle));
}

void ServeCloseRecordFile(PanelServiceState& state, Mc8051Request& request)
{
    request.setC1(static_cast<std::uint8_t>(state.disks.records.close(request.c1())));
}

void ServeAppendRecord(PanelServiceState& state, Mc8051Request& request)
{
    request.setC1(flag(state.disks.records.append(request.c1(), request.bank(), request.p2(), request.byte(0xC2) != 0)));
}

void ServeReadRecord(PanelServiceState& state, Mc8051Request& request)
{
    request.setC1(flag(state.disks.records.read(request.c1(), request.bank(), request.p1(), request.l())));
}

void ServeRecordCount(PanelServiceState& state, Mc8051Request& request)
{
    request.setL(state.disks.records.count(request.c1()));
}

void ServeRewriteRecord(PanelServiceState& state, Mc8051Request& request)
{
    request.setC1(flag(state.disks.records.rewrite(request.c1(), request.bank(), request.p1(), request.l())));
}

void ServeDeleteRecord(PanelServiceState& state, Mc8051Request& request)
{
    request.setC1(flag(state.disks.records.remove(request.c1(), request.l())));
}

void ServeOpenFile(PanelServiceState& state, Mc8051Request& request)
{
    state.disks.plain.close();
    if (const auto path = mapName(state, request, request.p1()))
        state.disks.plain.open(ConfinedFolder(state.context.projectDir), *path);
}

void ServeCloseFile(PanelServiceState& state, Mc8051Request&) { state.disks.plain.close(); }

void ServeSeekFile(PanelServiceState& state, Mc8051Request& request) { state.disks.plain.seek(request.l()); }

void ServeFileSize(PanelServiceState& state, Mc8051Request& request)
{
    if (const auto size = state.disks.plain.size())
        request.setL(*size);
}

void ServeWriteFile(PanelServiceState& state, Mc8051Request& request)
{
    state.disks.plain.write(request.bank(), request.p1(), request.l());
}

void ServeReadFile(PanelServiceState& state, Mc8051Request& request)
{
    state.disks.plain.read(request.bank(), request.p1(), request.l());
}

void ServeDeleteFile(PanelServiceState& state, Mc8051Request& request)
{
    bool deleted = false;
    if (request.p1() < kVarMemSize) {
        if (auto name = request.text(request.p1())) {
            deleted = DeletePlainFile(*name, state.context.projectDir);
            request.bank().writeBytes(request.p1(), std::span(reinterpret_cast<const std::uint8_t*>(name->data()), name->size()));
        }
    }
    request.setC1(flag(deleted));
}

} // namespace qv::sim
