#include "sim/services/panel_media.h"

#include "sim/services/mc8051_request.h"

namespace qv::sim {

bool PanelMediaServices::serveSound(Mc8051Request& request)
{
    if (!sound_)
        return false;
    PanelServiceCall call = PanelServiceCall::FromCpu(request.cpu(), request.bank());
    sound_->Serve(call);
    call.WriteResultTo(request.cpu());
    return call.dirty;
}

bool PanelMediaServices::servePicture(Mc8051Request& request)
{
    PanelServiceCall call = PanelServiceCall::FromCpu(request.cpu(), request.bank());
    ServePicture(call, picture_);
    call.WriteResultTo(request.cpu());
    return call.dirty;
}

} // namespace qv::sim
