#include "picture_tool/download/packed_download.h"

#include "compiler/image/le_bytes.h"
#include "platform/files/atomic_file.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/fonts/font_download.h"
#include "picture_tool/packed/packed_file.h"
#include "picture_tool/picture/picture_record.h"

#include <fstream>

namespace qv::picture_tool {
namespace {

bool readAt(std::ifstream& in, std::uint64_t offset, std::vector<std::uint8_t>& out, std::size_t n)
{
    out.assign(n, 0);
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(n)));
}

} // namespace

std::optional<std::uint8_t> readLcdType(const std::filesystem::path& file)
{
    std::string text;
    if (!readWholeFile(file, text, nullptr, 1u << 20))
        return std::nullopt;
    const auto first = text.find("\r\n");
    if (first == std::string::npos || first > 800)
        return std::nullopt;
    const auto second = text.find("\r\n", first + 2);
    const std::size_t lineEnd = second == std::string::npos ? text.size() : second;
    if (lineEnd - (first + 2) < 26 || lineEnd - (first + 2) > 800)
        return std::nullopt;
    return static_cast<std::uint8_t>(text[first + 2 + 25] - '0');
}

bool downloadPacked(const PackedDownloadInput& in, ToolLink& link, TransferContext& context, DownloadReport& report)
{
    std::ifstream file(in.file, std::ios::binary);
    if (!file) {
        report.message("请先生成PicZiku.zip文件");
        return false;
    }
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(in.file, ec);
    std::vector<std::uint8_t> header;
    if (ec || size < kPackedHeader || !readAt(file, 0, header, kPackedHeader)) {
        report.message("请先生成PicZiku.zip文件");
        return false;
    }
    std::string error;
    const auto contents = readPackedHeader(header, size, &error);
    if (!contents) {
        report.message(error);
        return false;
    }
    const FlashGeometry& g = contents->geometry;
    if (in.panelFlashType != contents->flashType) {
        report.message("下载的压缩文件FLASH型号与目标VGA板上FLASH型号不对应，请重新压缩后再下载! !");
        return false;
    }
    if (size >= g.capacity) {
        report.message("图片字库的容量大于NandFlash容量");
        return false;
    }
    context.progress.mode = TransferProgress::Mode::Overall;
    context.progress.totalPieces = size / 512;
    std::vector<std::uint8_t> directory(header.begin(), header.begin() + g.block);
    directory[g.block - 1] = 0xA5;
    if (!in.lcdType)
        report.message("LcdConfig.h系统文件丢失!!!");
    directory[g.block - 2] = in.lcdType.value_or(0);
    directory[g.block - 4] = in.baud.value_or(contents->baud);
    std::uint64_t address = g.baseOffset;
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < contents->pictures.size(); ++i) {
        const PackedPicture& p = contents->pictures[i];
        if (address > g.pictureAreaEnd()) {
            report.message("图片和字库的容量超过了FLASH存储器的大小");
            break;
        }
        if (!readAt(file, p.offset, data, static_cast<std::size_t>(p.length))) {
            report.message("PicZiku.zip文件出错");
            return false;
        }
        const Placed placed = placeBlock(link, data, address, g.pictureAreaEnd(), g, report, context);
        if (placed == Placed::Failed)
            return false;
        if (placed == Placed::Full) {
            report.message("图片和字库的容量超过了FLASH存储器的大小");
            break;
        }
        DirectoryEntry e = entryAt(static_cast<std::uint32_t>(address), p.width, p.height, g);
        image::putU16(directory, 24 * i + 0, static_cast<std::uint16_t>(e.unit + e.width + e.heightWord));
        image::putU16(directory, 24 * i + 2, e.unit);
        image::putU16(directory, 24 * i + 6, e.heightWord);
        address += p.length;
    }
    const auto writeDirectory = [&](const std::vector<std::uint8_t>& block, std::uint32_t first, std::uint32_t second,
                                    const char* bad) {
        for (std::uint32_t at : {first, second}) {
            std::uint32_t status = 0;
            if (!link.writeBlock(block, at, status)) {
                report.message(context.aborted() ? text::kAborted : "USB通信错误!!!");
                return false;
            }
            if (status == 0)
                return true;
        }
        report.message(bad);
        return false;
    };
    if (!writeDirectory(directory, 0, 2 * g.block, text::kBadDirectory.c_str()))
        return false;
    std::vector<std::uint8_t> fonts = emptyFontDirectory(g);
    for (const PackedFont& f : contents->fonts) {
        if (address + f.length >= g.capacity) {
            report.message("FLASH容量不够!!!");
            break;
        }
        if (!readAt(file, f.offset, data, f.length)) {
            report.message("PicZiku.zip文件出错");
            return false;
        }
        const Placed placed = placeFont(fonts, f.slot, data, address, g, link, report, context);
        if (placed != Placed::Written) {
            if (placed == Placed::Failed)
                return false;
            break;
        }
        const std::size_t at = 8 * static_cast<std::size_t>(f.slot);
        image::putU16(fonts, at + 4, f.width);
        image::putU16(fonts, at + 6, f.height);
    }
    if (!writeDirectory(fonts, g.block, 3 * g.block, "字库基地址的FLASH区是坏块,请报修!!!"))
        return false;
    context.progress.set(100);
    return true;
}

} // namespace qv::picture_tool
