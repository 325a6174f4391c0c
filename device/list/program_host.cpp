#include "device/list/program_host.h"

#include "device/virtual_panel/sim_usb_host.h"
#include "platform/usb/system_usb_host.h"

#include <memory>

namespace qv::device {
namespace {

struct Program {
    std::string problem;
    std::unique_ptr<usb::UsbHost> host;
    Program() { read(); }
    void read()
    {
        problem.clear();
        host = virtual_panel::simHostFromEnvironment(&problem);
        if (!host)
            host = std::make_unique<usb::SystemUsbHost>();
    }
};

Program& program()
{
    static Program p;
    return p;
}

} // namespace

usb::UsbHost& ProgramUsbHost()
{
    return *program().host;
}

const std::string& ProgramUsbHostProblem()
{
    return program().problem;
}

void ResetProgramUsbHost()
{
    program().read();
}

} // namespace qv::device
