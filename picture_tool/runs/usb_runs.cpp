#include "picture_tool/runs/usb_runs.h"

#include "picture_tool/download/packed_download.h"
#include "picture_tool/download/picture_download.h"

namespace qv::picture_tool {
namespace {

void finish(UsbToolLink& link)
{
    link.command(usbcmd::kStop);
    link.command(usbcmd::kFinish);
}

} // namespace

std::optional<int> startUsbDownload(UsbToolLink& link, DownloadReport& report)
{
    const auto type = readUsbFlashType(link, report, "读取Flash型号失败");
    if (!type || !usbPanelIdle(link, report))
        return std::nullopt;
    return type;
}

bool runFontDownload(UsbToolLink& link, const FontSelection& selection, const std::filesystem::path& folder,
                     TransferContext& context, DownloadReport& report)
{
    const auto type = startUsbDownload(link, report);
    if (!type)
        return false;
    // A two-chip board has no layout here: nothing is written to it.
    const auto g = geometryOrMessage(*type, report);
    if (!g)
        return false;
    if (!downloadFonts(selection, folder, *g, link, context, report))
        return false;
    finish(link);
    return true;
}

bool runPackedDownload(UsbToolLink& link, const std::filesystem::path& folder, TransferContext& context,
                       DownloadReport& report)
{
    const auto type = startUsbDownload(link, report);
    if (!type)
        return false;
    if (!geometryOrMessage(*type, report))
        return false;
    PackedDownloadInput in{folder / "PicZiku.zip", *type, std::nullopt, readLcdType(folder / "LcdConfig.h")};
    if (!downloadPacked(in, link, context, report))
        return false;
    finish(link);
    report.progress(100);
    report.message("下载完毕!!!");
    return true;
}

} // namespace qv::picture_tool
