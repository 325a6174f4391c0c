#pragma once
// The PLC write requests of the user's 8051 program (services 80 and 81), served by the links'
// write slots under each link's lock.
#include <memory>

#include "sim/plc/plc_links.h"
#include "sim/services/mc8051_seams.h"

namespace qv::sim::plc {

class PlcLinkRequests final : public Mc8051PlcRequests {
public:
    explicit PlcLinkRequests(PlcLinks& links) : links_(links) {}
    bool QueueSerialWrite(int link, std::uint8_t station, std::uint8_t count, std::uint16_t registerAddress,
                          std::uint16_t memoryAddress) override
    {
        return links_.queueRegisterWrite(link, station, count, registerAddress, memoryAddress);
    }
    bool IsSerialRequestBusy(int link) override { return (link == 1 || link == 2) && links_.isSlotBusy(link); }

private:
    PlcLinks& links_;
};

std::unique_ptr<Mc8051PlcRequests> MakePlcRequests(PlcLinks& links);

} // namespace qv::sim::plc
