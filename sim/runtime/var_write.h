#pragma once
// A run-time variable change (run-mode input, keyboards, screen changes) is announced before
// it is stored: the port writer sees (address, length, data) while the live bank still holds
// the old value, so a PLC write request or a panel-protocol frame can follow it. A length with
// bit 31 set carries the number of one changed bit.
#include <cstdint>
#include <span>
#include <string_view>

namespace qv {
class CEditorApp;
}

namespace qv::sim {

inline constexpr std::uint32_t kBitChange = 0x80000000u;

// Where announced changes go: the serial ports' write requests and frames (the serial side
// installs one; none: the change stays in the memory).
class PortWriter {
public:
    virtual ~PortWriter() = default;
    virtual void OnVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data) = 0;
};

// Announces a change to the writer.
void NotifyVarWrite(PortWriter* writer, std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data);

// Announces and stores `value` at `width` bytes (1, 2, 4 or 8) in the live bank (and in the
// displayed bank when `both`), then lets the clock variables act on what is now stored. False,
// with nothing announced or stored, when the range leaves the memory.
bool WriteRunValue(CEditorApp& app, PortWriter* writer, std::int64_t address, int width, std::uint64_t value,
                   bool both = false);
// The same for one bit (set or cleared) of the byte at `address`.
bool WriteRunBit(CEditorApp& app, PortWriter* writer, std::int64_t address, int bit, bool on);

// Shows the screen or sub-window `name` by writing m_HuaMian / m_ChildWindow (a screen also
// closes the sub-window: m_ChildWindow 255). A name in neither list changes nothing.
void SetWindowSystemVars(CEditorApp& app, PortWriter* writer, std::string_view name);

} // namespace qv::sim
