#include "picture_tool/runs/pack_run.h"

#include "platform/files/atomic_file.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/packed/packed_file.h"
#include "picture_tool/picture/picture_record.h"

namespace qv::picture_tool {

bool packToFolder(const PackRequest& request, const std::filesystem::path& folder, DownloadReport& report)
{
    const FlashGeometry& g = request.geometry;
    if (request.paths.size() > static_cast<std::size_t>(g.maxPictures())) {
        report.message(withNumber(text::kTooMany, g.maxPictures()));
        return false;
    }
    PackInput in;
    in.baud = request.baud;
    for (const auto& p : request.pictures)
        in.pictures.push_back(&p->pixels);
    for (int n = 0; n < kFontSlots; ++n) {
        if (!request.fonts.chosen[static_cast<std::size_t>(n)])
            continue;
        std::string bytes;
        if (!readWholeFile(fontPath(folder, n), bytes, nullptr, g.capacity)) {
            report.message("字库文件无法打开: " + gbkPath(fontPath(folder, n)));
            continue;
        }
        in.fonts.push_back({n, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    const bool pictures = !in.pictures.empty(), fonts = !in.fonts.empty();
    if (!pictures && !fonts)
        return false;
    report.message(pictures && fonts ? "生成的PicZiku.zip文件中包含了图片和字库"
                   : fonts           ? "生成的PicZiku.zip文件中只有字库没有图片哦!!!"
                                     : "生成的PicZiku.zip文件中只有图片没有字库哦!!!");
    const std::vector<std::uint8_t> file = buildPackedFile(in, g);
    std::string picH = picHeaderStart();
    for (std::size_t i = 0; i < request.paths.size(); ++i)
        picH += picHeaderLine(request.paths[i], i);
    if (!writeFileAtomically(folder / "PicZiku.zip", std::string(file.begin(), file.end()))) {
        report.message("请检查磁盘空间是否充足!!!");
        return false;
    }
    if (!writeFileAtomically(folder / "pic.h", picH)) {
        report.message(text::kCannotCreate);
        return false;
    }
    report.progress(100);
    report.message("压缩完毕!!!");
    report.openFile(folder / "pic.h");
    return true;
}

} // namespace qv::picture_tool
