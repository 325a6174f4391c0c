#pragma once
// The font and packed downloads over the panel's USB pipes, whichever transport the dialog
// shows for pictures: their block writes go on the same pipes as their start and end
// commands. Start: flash type ('X') and busy (0x02); end: stop (0x03) and finish (0x04).
#include "picture_tool/download/download_report.h"
#include "picture_tool/fonts/font_download.h"
#include "picture_tool/link/usb_tool_link.h"

#include <filesystem>
#include <optional>

namespace qv::picture_tool {

// The panel's flash type after 'X' and 0x02; nullopt after the message.
std::optional<int> startUsbDownload(UsbToolLink& link, DownloadReport& report);

bool runFontDownload(UsbToolLink& link, const FontSelection& selection, const std::filesystem::path& folder,
                     TransferContext& context, DownloadReport& report);

// "PicZiku.zip" of `folder`, with the panel's LCD type from the folder's "LcdConfig.h".
bool runPackedDownload(UsbToolLink& link, const std::filesystem::path& folder, TransferContext& context,
                       DownloadReport& report);

} // namespace qv::picture_tool
