#include "platform/surface/font_files.h"

#include "platform/text/gbk.h"

#include <array>

namespace qv {
namespace {


#define QV_DEJAVU(file) "/usr/share/fonts/truetype/dejavu/" file

// Face index 2 of the collection is its dot-matrix cut, with bitmap strikes at 12..16 px.
const FaceChoice kCjk{{"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", 2},
                      {"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", 2},
                      FaceRole::Cjk,
                      true};
const FaceChoice kSans{{QV_DEJAVU("DejaVuSans.ttf"), 0}, {QV_DEJAVU("DejaVuSans-Bold.ttf"), 0}, FaceRole::Latin, false};
const FaceChoice kSerif{{QV_DEJAVU("DejaVuSerif.ttf"), 0}, {QV_DEJAVU("DejaVuSerif-Bold.ttf"), 0}, FaceRole::Latin, false};
const FaceChoice kMono{{QV_DEJAVU("DejaVuSansMono.ttf"), 0}, {QV_DEJAVU("DejaVuSansMono-Bold.ttf"), 0}, FaceRole::Latin, false};

#undef QV_DEJAVU

struct LatinFace {
    std::string_view name;
    const FaceChoice* face;
};

const std::array<LatinFace, 16> kLatinFaces{{
    {"Arial", &kSans},
    {"Arial Black", &kSans},
    {"Tahoma", &kSans},
    {"Verdana", &kSans},
    {"MS Sans Serif", &kSans},
    {"Microsoft Sans Serif", &kSans},
    {"System", &kSans},
    {"Segoe UI", &kSans},
    {"Times New Roman", &kSerif},
    {"MS Serif", &kSerif},
    {"Georgia", &kSerif},
    {"Courier New", &kMono},
    {"Courier", &kMono},
    {"Fixedsys", &kMono},
    {"Terminal", &kMono},
    {"Consolas", &kMono},
}};

bool isAsciiName(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

const FaceChoice& cjkFace()
{
    return kCjk;
}

const FaceChoice& chooseFace(std::string_view gbkFaceName)
{
    if (gbkFaceName.empty() || !isAsciiName(gbkFaceName))
        return kCjk;
    for (const LatinFace& f : kLatinFaces)
        if (gbkEqualsNoCase(f.name, gbkFaceName))
            return *f.face;
    return kSans;
}

} // namespace qv
