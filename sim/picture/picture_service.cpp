#include "sim/picture/picture_service.h"

#include "platform/files/atomic_file.h"
#include "platform/files/confined_folder.h"
#include "platform/files/stored_path.h"

#include <array>
#include <fcntl.h>

namespace qv::sim {
namespace {

constexpr std::size_t kDescriptorSize = 24;
constexpr std::size_t kNameOffset = 8;
constexpr std::size_t kNameBytes = 15; // the 16th byte is always the end
constexpr const char* kPictureFolder = "images\\其它工具软件\\Tessolin软件\\Pic\\";

int U16At(const std::array<std::uint8_t, kDescriptorSize>& d, std::size_t at) { return d[at] | d[at + 1] << 8; }

} // namespace

void ServePicture(PanelServiceCall& call, const PictureServiceContext& context)
{
    if (call.SubCode() != kPictureSubCode)
        return;
    std::array<std::uint8_t, kDescriptorSize> d{};
    if (!call.memory.readBytes(call.P1(), d)) {
        call.SetResult(0);
        return;
    }
    const int x = U16At(d, 0), y = U16At(d, 2), width = U16At(d, 4), height = U16At(d, 6);
    if (x + width > context.screenWidth || y + height > context.screenHeight) {
        call.SetResult(0);
        return;
    }
    call.SetResult(1);
    std::string name;
    for (std::size_t i = kNameOffset; i < kNameOffset + kNameBytes && d[i] != 0; ++i)
        name.push_back(static_cast<char>(d[i]));
    const auto folder = resolveStoredPath(context.baseFolder, kPictureFolder);
    const auto file = resolveStoredPath(context.baseFolder, kPictureFolder + name);
    if (!folder || !file || name.empty() || !context.canvas || !context.decodePicture)
        return;
    // The code names the picture: a link or a pipe in the folder is refused, not followed,
    // and the bytes come from the descriptor checked, never from the name again.
    const UniqueFd fd = ConfinedFolder(*folder).openFile(*file, O_RDONLY);
    std::string bytes;
    if (!fd || !readWholeDescriptor(fd.get(), *file, bytes))
        return;
    // Decoded before the canvas is locked: the view paints from it meanwhile.
    const PicturePtr picture = context.decodePicture(bytes);
    if (picture)
        context.canvas([&](Surface& canvas) { drawPicture(canvas, *picture, Rect{x, y, x + width, y + height}); });
}

} // namespace qv::sim
