#include "picture_tool/fonts/font_download.h"

#include "compiler/image/le_bytes.h"
#include "platform/files/atomic_file.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/packed/packed_file.h"
#include "picture_tool/picture/picture_record.h"

namespace qv::picture_tool {
namespace {

struct FontBox {
    int id;
    int first;
    int slots;
    std::uint32_t bytes;
    const char* text;
};

constexpr std::array<FontBox, 15> kBoxes{{
    {1104, 0, 2, 199680, "选择12X12点阵的中文字符和6X12点阵的英文字符 （宋体）"},
    {1106, 2, 2, 266240, "选择16X16点阵的中文字符和8X16点阵的英文字符 （宋体）"},
    {1108, 4, 2, 598016, "选择24X24点阵的中文字符和12X24点阵的英文字符（宋体）"},
    {1110, 6, 2, 1057792, "选择32X32点阵的中文字符和16X32点阵的英文字符（宋体）"},
    {1112, 8, 2, 1653760, "选择40X40点阵的中文字符和20X40点阵的英文字符（宋体）"},
    {1114, 10, 2, 2376704, "选择48X48点阵的中文字符和24X48点阵的英文字符（宋体）"},
    {1116, 12, 2, 4222976, "选择64X64点阵的中文字符和32X64点阵的英文字符（宋体）"},
    {1118, 14, 1, 2560, "选择6X12点阵的英文字符  （arial体）"},
    {1126, 15, 1, 3584, "选择8X16点阵的英文字符  （arial体）"},
    {1119, 16, 1, 7680, "选择12X24点阵的英文字符（arial体）"},
    {1120, 17, 1, 9728, "选择16X32点阵的英文字符（arial体）"},
    {1127, 18, 1, 16896, "选择20X40点阵的英文字符（arial体）"},
    {1128, 19, 1, 19968, "选择24X48点阵的英文字符（arial体）"},
    {1129, 20, 1, 34304, "选择32X64点阵的英文字符（arial体）"},
    {1138, 22, 1, 66048, "选择鼠标和触摸屏必须使用的字库"},
}};

} // namespace

std::vector<FontBoxView> fontBoxes()
{
    std::vector<FontBoxView> out;
    for (const FontBox& b : kBoxes)
        out.push_back({b.id, b.first, b.text});
    out.push_back({kOwnFontsBox, kFirstOwnFont, "选择您自己制作的字库"});
    return out;
}

FontSelection chooseFonts(const std::set<int>& ticked)
{
    FontSelection s;
    for (const FontBox& b : kBoxes) {
        if (!ticked.count(b.id))
            continue;
        for (int i = 0; i < b.slots; ++i)
            s.chosen[static_cast<std::size_t>(b.first + i)] = true;
        s.total += b.bytes;
        s.count += b.id == 1138 ? 3 : b.slots;
        s.confirmed = true;
        if (b.id == 1138 && !ticked.count(1106)) {
            s.chosen[2] = s.chosen[3] = true;
            s.total += 266240;
        }
    }
    if (ticked.count(kOwnFontsBox))
        s.confirmed = true;
    return s;
}

std::filesystem::path fontPath(const std::filesystem::path& folder, int slot)
{
    return folder / "zk" / (std::to_string(slot) + ".zk");
}

std::string addFontPrefix(const std::filesystem::path& file, std::uint16_t width, std::uint16_t height)
{
    std::string bytes;
    if (!readWholeFile(file, bytes))
        return {};
    std::vector<std::uint8_t> prefix(4, 0);
    image::putU16(prefix, 0, width);
    image::putU16(prefix, 2, height);
    bytes.insert(0, std::string(prefix.begin(), prefix.end()));
    if (!writeFileAtomically(file, bytes))
        return "无法创建文件!!!请检查磁盘空间是否充足!!!";
    return "创建成功!!!";
}

std::vector<std::uint8_t> emptyFontDirectory(const FlashGeometry& g)
{
    std::vector<std::uint8_t> directory(g.block, 0);
    directory[g.block - 1] = 'Z';
    for (int n = 0; n < kFontSlots; ++n) {
        const auto [w, h] = fixedFontCell(n);
        image::putU16(directory, 8 * static_cast<std::size_t>(n) + 4, w);
        image::putU16(directory, 8 * static_cast<std::size_t>(n) + 6, h);
    }
    return directory;
}

Placed placeFont(std::vector<std::uint8_t>& directory, int slot, std::span<const std::uint8_t> data,
                 std::uint64_t& address, const FlashGeometry& g, ToolLink& link, DownloadReport& report,
                 TransferContext& context)
{
    const Placed placed = placeBlock(link, data, address, g.capacity - 1, g, report, context);
    if (placed == Placed::Full)
        report.message("FLASH容量不够!!!");
    if (placed != Placed::Written)
        return placed;
    image::putU32(directory, 8 * static_cast<std::size_t>(slot), static_cast<std::uint32_t>(address));
    address += data.size();
    return placed;
}

bool downloadFonts(const FontSelection& selection, const std::filesystem::path& folder, const FlashGeometry& g,
                   ToolLink& link, TransferContext& context, DownloadReport& report)
{
    std::vector<std::uint8_t> directory = emptyFontDirectory(g);
    if (selection.total + FlashGeometry::kReservedTop >= g.capacity) {
        report.message("FLASH容量不够!!!");
        return false;
    }
    std::uint64_t address = g.capacity - selection.total - FlashGeometry::kReservedTop;
    std::uint64_t written = 0;
    for (int n = 0; n < kFontSlots; ++n) {
        if (!selection.chosen[static_cast<std::size_t>(n)])
            continue;
        std::string bytes;
        if (!readWholeFile(fontPath(folder, n), bytes, nullptr, g.capacity)) {
            report.message("字库文件无法打开: " + gbkPath(fontPath(folder, n)));
            continue;
        }
        if (address + bytes.size() >= g.capacity) {
            report.message("FLASH容量不够!!!");
            break;
        }
        std::size_t skip = 0;
        if (n >= 28) {
            if (bytes.size() < 4) {
                report.message("字库文件无法打开: " + gbkPath(fontPath(folder, n)));
                continue;
            }
            image::putU16(directory, 8 * static_cast<std::size_t>(n) + 4, static_cast<std::uint8_t>(bytes[0]) | static_cast<std::uint8_t>(bytes[1]) << 8);
            image::putU16(directory, 8 * static_cast<std::size_t>(n) + 6, static_cast<std::uint8_t>(bytes[2]) | static_cast<std::uint8_t>(bytes[3]) << 8);
            skip = 4;
        }
        const auto length = static_cast<std::size_t>(g.roundToPages(bytes.size()));
        std::vector<std::uint8_t> data(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
        data.resize(length, 0);
        report.status(n);
        const Placed placed = placeFont(directory, n, data, address, g, link, report, context);
        if (placed != Placed::Written) {
            if (placed == Placed::Failed)
                return false;
            break;
        }
        written += length;
    }
    report.status(kFontSlots);
    for (std::uint32_t at : {g.block, 3 * g.block}) {
        std::uint32_t status = 0;
        if (!link.writeBlock(directory, at, status)) {
            report.message(context.aborted() ? text::kAborted : "USB通信错误!!!");
            return false;
        }
        if (status == 0) {
            report.message(withNumber("字库下载完毕,共占用Flash空间%d字节", static_cast<long long>(written)));
            return true;
        }
    }
    report.message("字库基地址的FLASH区是坏块,请报修!!!");
    return false;
}

} // namespace qv::picture_tool
