// Run-time changes turned into write requests of the PLC master protocols: the first record of
// the link that is shown on the current screen, writable, and holds the whole change gives the
// element, its count and the HMI address the frame takes the data from.
#include <fmt/format.h>

#include "sim/plc/plc_links.h"
#include "sim/runtime/var_write.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;

std::int64_t recordWidth(const Writable& w, const PlcMapRecord& r)
{
    switch (w.layout) {
    case Layout::Bits:
    case Layout::ByteBits:
    case Layout::OctalBits: return (r.count + 7) / 8;
    case Layout::Registers: return 2 * std::int64_t{r.count};
    case Layout::Elements: return std::int64_t{w.width} * r.count;
    default: return 0;
    }
}

// The first bit the read of a bit record puts at its HMI start.
int firstBit(Layout layout, int number)
{
    if (layout == Layout::OctalBits)
        return OctalToBits(number) / 8 * 8;
    return layout == Layout::ByteBits ? number / 8 * 8 : number;
}

} // namespace

void PlcLinks::onVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data, int screen)
{
    int bit = -1;
    std::int64_t bytes = length;
    if (length & kBitChange) {
        const std::uint32_t index = length & ~kBitChange;
        address += index / 8;
        bit = static_cast<int>(index % 8);
        bytes = 1;
    }
    if (address < 0 || bytes <= 0 || address + bytes > 0x10000)
        return;
    const PlcSettings s = settings();
    for (int n = 1; n <= 2; ++n) {
        const int protocol = s.ports[static_cast<std::size_t>(n - 1)].protocol;
        if (protocol == PanelBinary) {
            if (s.uploadOnChange)
                SendPanelWriteFrame(n, static_cast<std::uint32_t>(address),
                                    bit >= 0 ? (kBitChange | static_cast<std::uint32_t>(bit)) : length, data);
            continue;
        }
        const MasterProtocol* master = FindMasterProtocol(protocol);
        if (!master)
            continue;
        std::lock_guard guard(link(n).lock);
        Link& l = link(n);
        for (int i = 0; i < block_.count(); ++i) {
            const PlcMapRecord r = block_.record(i);
            const Writable w = master->writable(r.elementType);
            const std::int64_t start = r.hmiAddress;
            if (r.port != n || (r.screen != 0xFF && r.screen != screen) || w.layout == Layout::None ||
                address < start || address + bytes > start + recordWidth(w, r))
                continue;
            const auto offset = static_cast<int>(address - start);
            Slot slot;
            slot.rec = r;
            slot.rec.port = static_cast<std::uint8_t>(n);
            slot.rec.flags = 0;
            switch (w.layout) {
            case Layout::Bits:
            case Layout::ByteBits:
            case Layout::OctalBits: {
                const int first = firstBit(w.layout, r.elementNumber) + offset * 8;
                const int element = first + std::max(bit, 0);
                slot.rec.elementNumber = static_cast<std::uint16_t>(w.layout == Layout::OctalBits ? BitsToOctal(element) : element);
                slot.rec.hmiAddress = static_cast<std::uint16_t>(address);
                slot.rec.count = static_cast<std::uint16_t>(bit >= 0 ? 1 : 8 * bytes);
                slot.bit = bit;
                slot.function = master->writeFunctionOf(r.elementType, slot.rec.count, s.singleRegisterFunction6);
                queueSlot(n, l, slot);
                break;
            }
            case Layout::Registers: {
                // From the even address below, every register the change touches.
                const int even = offset & ~1;
                slot.rec.elementNumber = static_cast<std::uint16_t>(r.elementNumber + even / 2);
                slot.rec.hmiAddress = static_cast<std::uint16_t>(start + even);
                slot.rec.count = static_cast<std::uint16_t>((offset - even + bytes + 1) / 2);
                slot.function = master->writeFunctionOf(r.elementType, slot.rec.count, s.singleRegisterFunction6);
                queueSlot(n, l, slot);
                break;
            }
            case Layout::Elements: {
                // One write per element the change touches (the protocol writes one at a time).
                for (int e = offset / w.width; e <= (offset + static_cast<int>(bytes) - 1) / w.width; ++e) {
                    Slot one = slot;
                    one.rec.elementNumber = static_cast<std::uint16_t>(r.elementNumber + e);
                    one.rec.hmiAddress = static_cast<std::uint16_t>(start + e * w.width);
                    one.rec.count = 1;
                    queueSlot(n, l, one);
                }
                break;
            }
            default: break;
            }
            break; // the first record that holds the change
        }
    }
}

} // namespace qv::sim::plc
