#pragma once
// The panel's picture service: the user's code draws a picture file from the tool's picture
// folder into the simulator's run canvas. The emulator thread draws while the view paints
// from the same canvas, so drawing happens only through the canvas's own locked access.
#include "platform/surface/picture_image.h"
#include "platform/surface/surface.h"
#include "sim/calls/panel_service_call.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

namespace qv::sim {

inline constexpr std::uint8_t kPictureService = 97;
inline constexpr std::uint8_t kPictureSubCode = 11;

// Runs `draw` on the run canvas while holding its lock; false (nothing drawn) when no canvas
// is set (outside run mode).
using RunCanvasAccess = std::function<bool(const std::function<void(Surface&)>& draw)>;

struct PictureServiceContext {
    std::filesystem::path baseFolder; // the program's folder, which holds "images"
    int screenWidth = 0;              // the panel screen: half the run canvas
    int screenHeight = 0;
    // Decodes a picture file's bytes (nullptr: nothing is drawn). The bytes are read from the
    // file as it was checked, so a name swapped for a link meanwhile is never followed.
    std::function<PicturePtr(std::string_view bytes)> decodePicture;
    RunCanvasAccess canvas;
};

// Service 97: CmdAdr1 = 11, P1 = a descriptor in M (u16 x, y, width, height, 16-byte name
// whose last byte counts as NUL). Result 0 when the picture would pass the screen's right
// or bottom edge or the descriptor leaves the bank, else 1.
void ServePicture(PanelServiceCall& call, const PictureServiceContext& context);

} // namespace qv::sim
