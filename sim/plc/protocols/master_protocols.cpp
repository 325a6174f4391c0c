#include "sim/plc/protocols/master_protocol.h"

#include <array>

namespace qv::sim::plc {
namespace {

constexpr std::array<const MasterProtocol*, 6> kMasters{&kModbusRtuMaster, &kMitsubishiFxMaster, &kSiemensPpiMaster,
                                                         &kDeltaDvpMaster,  &kFatekFbMaster,      &kOmronFinsMaster};

} // namespace

const MasterProtocol* FindMasterProtocol(int number)
{
    for (const MasterProtocol* m : kMasters)
        if (m->number == number)
            return m;
    return nullptr;
}

} // namespace qv::sim::plc
