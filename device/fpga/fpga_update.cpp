#include "device/fpga/fpga_update.h"

#include "device/commands/panel_commands.h"
#include "device/fpga/fpga_data_file.h"
#include "device/fpga/fpga_program.h"

namespace qv::device::fpga {
namespace {

void show(const FpgaUpdateUi& ui, const std::string& gbk)
{
    if (ui.log)
        ui.log(gbk);
    if (ui.messageBox)
        ui.messageBox(gbk);
}

void report(const FpgaUpdateUi& ui, std::uint8_t code)
{
    if (ui.resultDialog)
        ui.resultDialog(code == 0);
    show(ui, code == 0 ? std::string("编程成功!!!!") : std::string("编程失败。退出") + std::to_string(code));
}

} // namespace

std::optional<std::uint8_t> RunFpgaUpdate(FpgaUpdateJob job)
{
    const FpgaUpdateUi& ui = job.ui;
    if (ui.progress)
        ui.progress(0);
    // The file is read and checked before the panel is switched: a bad file leaves the panel
    // as it was.
    const DataFile file = LoadDataFile(job.dataFile);
    if (file.status != DataFileStatus::Ok) {
        show(ui, DataFileMessage(file.status));
        return std::nullopt;
    }
    if (const std::uint8_t e = CheckImage(file.image()); e != 0) {
        report(ui, e);
        return e;
    }
    if (!job.connection || !StartFirmwareUpgrade(job.connection->framing())) {
        show(ui, "请检查USB是否连接!!!");
        return std::nullopt;
    }
    jtag::JtagLink link(job.connection->framing());
    if (job.trace)
        link.setTrace(job.trace);
    FpgaHooks hooks;
    hooks.stepText = ui.stepText;
    hooks.progress = ui.progress;
    hooks.messageBox = ui.messageBox;
    hooks.log = ui.log;
    hooks.playWave = ui.playWave;
    hooks.abort = job.abort;
    hooks.clock = job.clock;
    hooks.checks = &job.checks;
    const std::uint8_t code = FpgaRunProgram(link, file.image(), std::move(hooks));
    job.connection.reset();
    report(ui, code);
    return code;
}

} // namespace qv::device::fpga
