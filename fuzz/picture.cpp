// Pictures a project points at (BMP of every depth, JPEG, GIF, ICO, WMF played through the
// Surface), decoded and drawn stretched.
#include "fuzz/fuzz_target.h"
#include "platform/picture/picture.h"
#include "platform/surface/picture_image.h"

namespace qv::fuzz {

void RunOne(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    const PicturePtr pic = decodePicture(asText(data, size), &error);
    if (!pic) {
        require(!error.empty(), "a refused picture gives no reason");
        return;
    }
    Surface target(64, 48);
    drawPicture(target, *pic, {-3, -2, 70, 50});
}

} // namespace qv::fuzz
