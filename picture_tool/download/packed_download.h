#pragma once
// The download of "PicZiku.zip": the file is checked whole against the panel before
// anything is written, then its pictures go from the base offset up with their directory at
// 0 (or 2 x block), its fonts follow with their directory at 1 x block (or 3 x block).
#include "picture_tool/download/download_report.h"
#include "picture_tool/flash/flash_geometry.h"
#include "picture_tool/link/tool_link.h"

#include <filesystem>
#include <optional>

namespace qv::picture_tool {

struct PackedDownloadInput {
    std::filesystem::path file;
    int panelFlashType = 0;
    std::optional<std::uint8_t> baud; // the baud choice; nullopt: the one packed in the file
    std::optional<std::uint8_t> lcdType; // from "LcdConfig.h"; nullopt: it could not be read
};

bool downloadPacked(const PackedDownloadInput& in, ToolLink& link, TransferContext& context, DownloadReport& report);

// Byte 26 of line 2 of "LcdConfig.h" minus '0'; nullopt when the file or the line is missing.
std::optional<std::uint8_t> readLcdType(const std::filesystem::path& file);

} // namespace qv::picture_tool
