// A firmware data file for the FPGA upgrade: the header checks, the image checks, then a
// programming run against the simulated panel's JTAG target.
#include "device/commands/panel_commands.h"
#include "device/link/panel_connection.h"
#include "device/fpga/fpga_data_file.h"
#include "device/fpga/fpga_errors.h"
#include "device/fpga/fpga_image.h"
#include "device/fpga/fpga_program.h"
#include "device/virtual_panel/sim_usb_host.h"
#include "fuzz/fuzz_target.h"

#include <vector>

namespace qv::fuzz {

namespace {

struct NoWait final : device::WaitClock {
    void sleepFor(std::chrono::milliseconds) override {}
};

} // namespace

void RunOne(const std::uint8_t* data, std::size_t size)
{
    using namespace device::fpga;
    const DataFile file = DecodeDataFile(std::vector<std::uint8_t>(data, data + size));
    if (file.status != DataFileStatus::Ok)
        return;
    const auto image = file.image();
    const std::uint8_t check = CheckImageAndMarker(image);
    if (check != 0)
        return;
    // The reader on its own: every block and field stays inside the image.
    ImageReader reader(image);
    for (int id = 0; id < 40; ++id) {
        std::array<std::uint8_t, 16> bytes{};
        reader.getBlock(static_cast<std::uint8_t>(id), 0, bytes);
        reader.getBytes(static_cast<std::uint8_t>(id), 3, 4);
    }
    // A whole run only for images of a few rows: the work of a run grows with the rows.
    const std::uint32_t rows = reader.getBytes(0, 62, 2).value_or(0);
    const std::uint32_t segments = reader.getBytes(0, 61, 1).value_or(0);
    if (rows * (segments + 1) > 64)
        return;
    device::virtual_panel::SimUsbHost host;
    device::virtual_panel::SimPanelSettings settings;
    settings.fpga.idcode = reader.getBytes(0, 31, 4).value_or(0);
    auto panel = host.add(settings);
    panel->setRecording(false);
    auto connection = device::PanelConnection::open(host, host.hidDevices(settings.id).at(0));
    require(connection && device::StartFirmwareUpgrade(connection->framing()), "the simulated panel opens");
    device::jtag::JtagLink link(connection->framing());
    const CheckData checks = *ParseCheckData("conflicts none\n");
    NoWait clock;
    FpgaHooks hooks;
    hooks.checks = &checks;
    hooks.clock = &clock;
    const std::uint8_t result = FpgaRunProgram(link, image, hooks);
    require(panel->jtagTarget()->refusedPackets() == 0, "every packet fits");
    require(result == 0 || !ErrorMeaning(result).empty(), "a result with a meaning");
}

} // namespace qv::fuzz
