#include "picture_tool/download/picture_download.h"

#include "compiler/image/le_bytes.h"
#include "platform/files/atomic_file.h"
#include "platform/picture/picture.h"
#include "picture_tool/link/udp_tool_link.h"
#include "picture_tool/link/usb_tool_link.h"
#include "picture_tool/picture/picture_record.h"

namespace qv::picture_tool {

std::string withNumber(const std::string& pattern, long long n)
{
    std::string s = pattern;
    if (const auto at = s.find("%d"); at != std::string::npos)
        s.replace(at, 2, std::to_string(n));
    return s;
}

std::optional<std::vector<PicturePtr>> decodePictures(const std::vector<std::string>& paths, DownloadReport& report)
{
    std::vector<PicturePtr> out;
    for (const auto& p : paths) {
        std::string why;
        PicturePtr pic = loadPictureFile(p, &why);
        if (!pic) {
            report.message(text::kCannotDecode + gbkPath(p) + " (" + why + ")");
            return std::nullopt;
        }
        if (pic->width() > kMaxPictureWidth) {
            report.message(text::kTooWide + gbkPath(p));
            return std::nullopt;
        }
        out.push_back(std::move(pic));
    }
    return out;
}

std::optional<FlashGeometry> geometryOrMessage(int type, DownloadReport& report)
{
    auto g = flashGeometry(type);
    if (!g)
        report.message(text::kNoGeometry);
    return g;
}

bool checkPanelStart(const PanelStart& start, std::size_t count, DownloadReport& report)
{
    const FlashGeometry& g = start.geometry;
    if (count > static_cast<std::size_t>(g.maxPictures())) {
        report.message(withNumber(text::kTooMany, g.maxPictures()));
        return false;
    }
    const std::uint64_t first = std::uint64_t{start.directory} + g.baseOffset;
    if (start.directory % g.block != 0 || first > g.pictureAreaEnd()) {
        report.message(text::kBadDirectoryAddress);
        return false;
    }
    return true;
}

std::optional<int> readUsbFlashType(UsbToolLink& link, DownloadReport& report, const std::string& refusedText)
{
    const auto fail = [&](const std::string& m) -> std::optional<int> {
        report.message(m);
        return std::nullopt;
    };
    const auto type = link.ask(usbcmd::kFlashType, 1);
    if (!type)
        return fail(text::kCheckUsb);
    if ((*type)[0] >= kFlashTypeCount)
        return fail(refusedText);
    report.flashType((*type)[0]);
    return (*type)[0];
}

bool usbPanelIdle(UsbToolLink& link, DownloadReport& report)
{
    const auto busy = link.ask(usbcmd::kBusy, 1);
    if (busy && (*busy)[0] != 1)
        return true;
    report.message(busy ? text::kBusyUsb : text::kCheckUsb);
    return false;
}

std::optional<PanelStart> startPicturesUsb(UsbToolLink& link, std::size_t count, DownloadReport& report)
{
    const auto fail = [&](const std::string& m) -> std::optional<PanelStart> {
        report.message(m);
        return std::nullopt;
    };
    const auto type = readUsbFlashType(link, report, text::kFlashTypeFailed);
    if (!type)
        return std::nullopt;
    const auto g = geometryOrMessage(*type, report);
    if (!g)
        return std::nullopt;
    const auto dir = link.ask(usbcmd::kDirectory, 4);
    if (!dir)
        return fail(text::kCheckUsb);
    PanelStart start{*g, image::getU32(*dir, 0)};
    if (!checkPanelStart(start, count, report))
        return std::nullopt;
    if (!link.command(usbcmd::kPrepare))
        return fail(text::kCheckUsb);
    if (!usbPanelIdle(link, report))
        return std::nullopt;
    return start;
}

std::optional<PanelStart> startPicturesUdp(UdpToolLink& link, std::size_t count, DownloadReport& report)
{
    const auto fail = [&](const std::string& m) -> std::optional<PanelStart> {
        report.message(m);
        return std::nullopt;
    };
    const auto repeats = [](const std::vector<std::uint8_t>& r, std::uint8_t code) {
        return r.size() >= 3 && r[0] == kUdpMark && r[1] == code;
    };
    const auto type = link.exchange(usbcmd::kFlashType, 2);
    if (!type)
        return fail(text::kUdpNoFlashType);
    if (!repeats(*type, usbcmd::kFlashType) || type->size() < 4 || (*type)[3] >= 9)
        return fail(text::kFlashTypeFailed);
    report.flashType((*type)[3]);
    const auto g = geometryOrMessage((*type)[3], report);
    if (!g)
        return std::nullopt;
    const auto dir = link.exchange(usbcmd::kDirectory, kUdpSends);
    if (!dir)
        return fail(text::kUdpNoReply);
    if (!repeats(*dir, usbcmd::kDirectory) || dir->size() < 7)
        return fail(text::kUdpFailed);
    PanelStart start{*g, image::getU32(*dir, 3)};
    if (!checkPanelStart(start, count, report))
        return std::nullopt;
    if (!link.exchange(usbcmd::kPrepare, kUdpSends))
        return fail(text::kUdpNoReply);
    const auto busy = link.exchange(usbcmd::kBusy, kUdpSends);
    if (!busy)
        return fail(text::kUdpNoReply);
    if (repeats(*busy, usbcmd::kBusy) && busy->size() >= 4 && (*busy)[3] != 0)
        return fail(text::kBusyUdp);
    return start;
}

// Writes `data` at `address`, moving on past bad blocks while the area lasts. A status word
// outside what was just written is the panel's fault: it would send us backwards.
Placed placeBlock(ToolLink& link, std::span<const std::uint8_t> data, std::uint64_t& address, std::uint64_t limit,
                  const FlashGeometry& g, DownloadReport& report, TransferContext& context)
{
    for (;;) {
        std::uint32_t status = 0;
        if (!link.writeBlock(data, static_cast<std::uint32_t>(address), status)) {
            report.message(context.aborted() ? text::kAborted : text::kCommFailed);
            return Placed::Failed;
        }
        if (status == 0)
            return Placed::Written;
        if (status < address || status >= address + data.size()) {
            report.message(text::kBadStatus);
            return Placed::Failed;
        }
        address = std::uint64_t{g.blockStart(status)} + g.block;
        if (address > limit)
            return Placed::Full;
    }
}

bool writePictures(const std::vector<std::string>& paths, const std::vector<PicturePtr>& pictures, const PanelStart& start,
                   ToolLink& link, TransferContext& context, const std::filesystem::path& folder, DownloadReport& report)
{
    const FlashGeometry& g = start.geometry;
    const auto limit = static_cast<int>(g.maxPictures());
    std::vector<std::uint8_t> directory = emptyDirectory(g, static_cast<std::uint16_t>(paths.size()));
    std::string picH = picHeaderStart();
    const auto savePicH = [&] {
        std::string why;
        if (!writeFileAtomically(folder / "pic.h", picH, &why)) {
            report.message(text::kCannotCreate);
            return false;
        }
        return true;
    };
    const auto failed = [&] {
        savePicH();
        report.status(limit);
        return false;
    };
    std::uint64_t address = std::uint64_t{start.directory} + g.baseOffset;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        report.status(static_cast<int>(i));
        report.progress(2);
        if (address > g.pictureAreaEnd()) {
            report.message(withNumber(text::kAreaFull, g.capacity >> 20));
            break;
        }
        const Surface& s = pictures[i]->pixels;
        const std::string name = gbkPath(paths[i]);
        std::string why;
        const std::vector<std::uint8_t> record = pictureRecord(s, g, WhiteRule::Keep, &why);
        if (record.empty()) {
            report.message(text::kTooWide + name);
            return failed();
        }
        const Placed placed = placeBlock(link, record, address, g.pictureAreaEnd(), g, report, context);
        if (placed == Placed::Failed)
            return failed();
        if (placed == Placed::Full) {
            report.message(withNumber(text::kAreaFull, g.capacity >> 20));
            break;
        }
        DirectoryEntry e = entryAt(static_cast<std::uint32_t>(address), static_cast<std::uint32_t>(s.width()),
                                   static_cast<std::uint32_t>(std::min(s.height(), kMaxPictureRows)), g);
        e.name = gbkPath(baseName(paths[i]));
        putEntry(directory, i, e);
        picH += picHeaderLine(paths[i], i);
        address += record.size();
    }
    report.status(limit);
    putDirectoryEnd(directory, static_cast<std::uint32_t>((address + g.block - 1) & g.blockMask()));
    bool placedDirectory = false;
    for (std::uint32_t k = 0; k < 8 && !placedDirectory; ++k) {
        std::uint32_t status = 0;
        if (!link.writeBlock(directory, start.directory + k * g.block, status)) {
            report.message(context.aborted() ? text::kAborted : text::kCommFailed);
            return failed();
        }
        placedDirectory = status == 0;
    }
    if (!savePicH())
        return false;
    if (!placedDirectory) {
        report.message(text::kBadDirectory);
        return false;
    }
    report.openFile(folder / "pic.h");
    report.message(text::kPicturesDone);
    return true;
}

} // namespace qv::picture_tool
