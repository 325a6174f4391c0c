#include "device/download/download_command.h"

#include "compiler/image/image_layout.h"
#include "device/commands/panel_commands.h"
#include "device/download/download_texts.h"
#include "device/download/text_format.h"
#include "device/link/panel_connection.h"
#include "device/tasks/device_texts.h"

namespace qv::device {
namespace {

constexpr int kBusyQueries = 3;
constexpr std::chrono::milliseconds kBusyWait{1000};

std::uint32_t secondOfDay(std::int64_t localSeconds)
{
    return static_cast<std::uint32_t>(((localSeconds % 86400) + 86400) % 86400);
}

} // namespace

std::string deviceInfoLine(const DeviceInfo& info)
{
    static constexpr int kColourBits[] = {8, 16, 18, 24};
    const std::string colour = info.colourDepthCode < std::size(kColourBits)
                                   ? std::to_string(kColourBits[info.colourDepthCode])
                                   : "?";
    return formatGbk("下位机硬件版本:V%d.%d   FLASH容量:%uM字节  SRAM容量:%u字节   SDRAM容量:%dK字节  视频颜色:%s位彩色  \r\n",
                     info.hardwareMajor, info.hardwareMinor, info.nandCapacity >> 20, info.sramBytes, 4096,
                     colour.c_str());
}

DownloadStart runDownloadCommand(DownloadCommandHost& host, DownloadWorker& worker, const DeviceCommandServices& s,
                                 bool quick)
{
    DownloadOptionValues preset;
    preset.resetAfter = true;
    preset.selfConfirm = quick;
    preset.resolutionMustMatch = true;
    const auto options = host.askOptions(preset);
    if (!options)
        return DownloadStart::Cancelled;
    switch (checkMachineName(options->machineName)) {
    case MachineNameProblem::TooLong: s.message(text::kNameTooLong); return DownloadStart::Refused;
    case MachineNameProblem::NotAscii: s.message(text::kNameNotAscii); return DownloadStart::Refused;
    case MachineNameProblem::None: break;
    }
    BusyClaim claim = worker.claim(s.reports);
    if (!claim)
        return DownloadStart::Busy;

    DownloadJob job;
    job.options = encodeDownloadOptions(*options);
    job.resetAfter = options->resetAfter;
    job.resolutionMustMatch = options->resolutionMustMatch;
    job.reports = s.reports;
    job.messageBox = s.messageBox;
    job.wait = s.wait;
    job.host = s.host;
    if (s.reports)
        s.reports->post(ReportClearOutput{});
    job.startSecondOfDay = secondOfDay(s.wall->localSeconds());
    job.started = job.now();
    host.prepare();
    s.output(formatGbk("- - - - - - - - - - - -  Quorvane:    V%d.%d    Release  - - - - - - - - - - - -\r\n",
                       image::kVersionMajor, image::kVersionMinor));

    const auto device = s.list ? s.list->Selected() : std::nullopt;
    std::unique_ptr<PanelConnection> connection;
    if (device && s.host)
        connection = PanelConnection::open(*s.host, *device);
    if (!connection) {
        s.output(text::kUsbNotConnected);
        return DownloadStart::NoDevice;
    }
    // Every query in the selected device's own form; a panel that does not answer ends it.
    for (int i = 0; i < kBusyQueries; ++i) {
        const auto busy = QueryBusy(connection->framing());
        if (!busy) {
            s.output(text::kUsbErrorLine);
            return DownloadStart::NoReply;
        }
        s.wait->sleepFor(kBusyWait);
        if (*busy != 1)
            break;
    }
    const auto info = QueryDeviceInfo(connection->framing());
    if (!info) {
        s.output(text::kUsbErrorLine);
        return DownloadStart::NoReply;
    }
    host.storeDeviceInfo(*info);
    s.output(deviceInfoLine(*info));
    connection.reset();

    job.device = *device;
    job.info = *info;
    host.fillJob(job);
    const DownloadKind kind = options->choice == 1 ? DownloadKind::Code : DownloadKind::Project;
    return worker.start(std::move(claim), kind, std::move(job)) ? DownloadStart::Started : DownloadStart::NoThread;
}

} // namespace qv::device
