#pragma once
// Packing: the listed pictures (already decoded) and the chosen fonts of `folder` into
// "PicZiku.zip" with its "pic.h", both written whole or not at all.
#include "platform/surface/picture_image.h"
#include "picture_tool/download/download_report.h"
#include "picture_tool/fonts/font_download.h"

#include <filesystem>
#include <string>
#include <vector>

namespace qv::picture_tool {

struct PackRequest {
    std::vector<std::string> paths; // host paths, list order
    std::vector<PicturePtr> pictures;
    FontSelection fonts;
    FlashGeometry geometry;
    std::uint8_t baud = 0;
};

// Checks the count, tells what the file will hold, writes it. False when nothing was packed
// (refused, nothing chosen, or a write failed, each but "nothing chosen" with its message).
bool packToFolder(const PackRequest& request, const std::filesystem::path& folder, DownloadReport& report);

} // namespace qv::picture_tool
