#include "sim/plc/mc8051_plc_requests.h"

namespace qv::sim::plc {

std::unique_ptr<Mc8051PlcRequests> MakePlcRequests(PlcLinks& links) { return std::make_unique<PlcLinkRequests>(links); }

} // namespace qv::sim::plc
