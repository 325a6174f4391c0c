// The panel's own protocol (panel_protocol.h): the receive machine of each link and
// the write frame that answers reads and announces run-time changes.
#include "sim/plc/plc_links.h"
#include "sim/plc/protocols/panel_protocol.h"
#include "sim/runtime/var_write.h"

namespace qv::sim::plc {
namespace {

using namespace panel;

constexpr std::uint32_t kMemoryEnd = 0x10000;
constexpr std::uint32_t kFrameOverhead = 11;

void putLe(std::vector<std::uint8_t>& f, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        f.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putSum(std::vector<std::uint8_t>& f)
{
    std::uint32_t sum = 0;
    for (auto b : f)
        sum += b;
    putLe(f, sum & 0xFFFF, 2);
}

} // namespace

std::vector<std::uint8_t> PlcLinks::panelWriteFrame(int port, std::uint32_t address, std::uint32_t length,
                                                    std::span<const std::uint8_t> data)
{
    if (length & kBitChange)
        length = ((length & ~kBitChange) + 8) / 8;
    if (address >= kMemoryEnd || length > kMemoryEnd - address || data.size() < length)
        return {};
    const auto own = static_cast<std::uint8_t>(settings().ports[static_cast<std::size_t>(port - 1)].deviceAddress);
    std::vector<std::uint8_t> f{FRAME_START, CMD_WRITE, own};
    putLe(f, address, 4);
    putLe(f, length, 2);
    f.insert(f.end(), data.begin(), data.begin() + length);
    putSum(f);
    return f;
}

void PlcLinks::SendPanelWriteFrame(int port, std::uint32_t address, std::uint32_t length, std::span<const std::uint8_t> data)
{
    if (port != 1 && port != 2)
        return;
    const auto frame = panelWriteFrame(port, address, length, data);
    if (!frame.empty())
        io_.send(port, frame, false);
}

void PlcLinks::showPanelWrite(std::uint32_t address, std::span<const std::uint8_t> data)
{
    const auto skipped = settings().switchAddresses;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::int64_t at = std::int64_t{address} + static_cast<std::int64_t>(i);
        if (at != skipped[0] && at != skipped[1])
            shown_.writeByte(at, data[i]);
    }
}

void PlcLinks::parsePanel(int n, Link& l, std::uint8_t b, std::size_t max)
{
    const auto own = ownAddress(n);
    if (!own)
        return;
    PanelRx& p = l.panel;
    switch (p.state) {
    case 0:
        if (b == FRAME_START) {
            p = PanelRx{};
            p.sum = FRAME_START;
            p.state = 1;
        }
        return;
    case 1:
        p.command = b;
        p.sum += b;
        p.state = 2;
        return;
    case 2:
        if (b == *own || (n == 2 && b == ANY_DEVICE)) {
            p.sum += b;
            p.state = p.command == CMD_WRITE || p.command == CMD_READ ? 3 : 10;
        } else {
            p.state = 0;
        }
        return;
    case 3:
    case 4:
    case 5:
    case 6:
        p.address |= std::uint32_t{b} << (8 * (p.state - 3));
        p.sum += b;
        p.state = p.state < 6 ? p.state + 1 : (p.address < kMemoryEnd ? 7 : 10);
        return;
    case 7:
        p.length = b;
        p.sum += b;
        p.state = 8;
        return;
    case 8:
        p.length |= std::uint32_t{b} << 8;
        p.sum += b;
        if (p.length == 0)
            p.state = 10;
        else if (max >= p.length + kFrameOverhead && p.address + p.length <= kMemoryEnd)
            p.state = p.command == CMD_WRITE ? 9 : 10;
        else
            p.state = 0;
        return;
    case 9:
        p.data.push_back(b);
        p.sum += b;
        if (p.data.size() >= p.length)
            p.state = 10;
        return;
    case 10:
        p.check = b;
        p.state = 11;
        return;
    default: break;
    }
    p.check |= std::uint32_t{b} << 8;
    const PanelRx frame = std::move(p);
    p = PanelRx{};
    if (frame.check != (frame.sum & 0xFFFF)) {
        const auto address = static_cast<std::uint8_t>(settings().ports[static_cast<std::size_t>(n - 1)].deviceAddress);
        std::vector<std::uint8_t> answer{FRAME_START, CMD_BAD_CHECK, address};
        putSum(answer);
        io_.send(n, answer, false);
        return;
    }
    if (frame.command == CMD_WRITE && frame.address < kMemoryEnd && !frame.data.empty()) {
        if (live_.writeBytes(frame.address, frame.data)) {
            if (n == 2)
                showPanelWrite(frame.address, frame.data);
            events_.panelWrite(n, frame.address, static_cast<std::uint32_t>(frame.data.size()));
        }
    } else if (frame.command == CMD_READ && frame.address < kMemoryEnd) {
        std::vector<std::uint8_t> bytes(frame.length);
        if (live_.readBytes(frame.address, bytes))
            SendPanelWriteFrame(n, frame.address, frame.length, bytes);
    }
}

} // namespace qv::sim::plc
