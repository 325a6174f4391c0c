#pragma once
// The picture download: every listed picture decoded first, the start-up exchange with the
// panel (flash type, directory address, prepare, busy), then the records one after another
// from the directory address plus the base offset, around bad blocks, the directory block,
// and "pic.h".
#include "platform/surface/picture_image.h"
#include "picture_tool/download/download_report.h"
#include "picture_tool/flash/flash_geometry.h"
#include "picture_tool/link/tool_link.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qv::picture_tool {

class UsbToolLink;
class UdpToolLink;

struct PanelStart {
    FlashGeometry geometry;
    std::uint32_t directory = 0;
};

// Decodes every listed picture; nullopt after naming the first that cannot be decoded.
std::optional<std::vector<PicturePtr>> decodePictures(const std::vector<std::string>& paths, DownloadReport& report);

// The geometry of a reported flash type, or the message for a type without one.
std::optional<FlashGeometry> geometryOrMessage(int type, DownloadReport& report);
// 'X' over USB: the panel's flash type, or nullopt after a message (`refusedText` for a type
// of 10 or more, which the runs word differently).
std::optional<int> readUsbFlashType(UsbToolLink& link, DownloadReport& report, const std::string& refusedText);
// Asks the panel over USB whether it is busy; a failed query or a busy panel is reported.
bool usbPanelIdle(UsbToolLink& link, DownloadReport& report);

// Checks that the panel's directory address leaves room for the pictures and that the
// panel's directory holds `count` entries. Messages its refusal.
bool checkPanelStart(const PanelStart& start, std::size_t count, DownloadReport& report);

// The start-up exchanges; nullopt after the message.
std::optional<PanelStart> startPicturesUsb(UsbToolLink& link, std::size_t count, DownloadReport& report);
std::optional<PanelStart> startPicturesUdp(UdpToolLink& link, std::size_t count, DownloadReport& report);

// The worker's part. True when the pictures and the directory were written.
bool writePictures(const std::vector<std::string>& paths, const std::vector<PicturePtr>& pictures, const PanelStart& start,
                   ToolLink& link, TransferContext& context, const std::filesystem::path& folder, DownloadReport& report);

enum class Placed { Written, Full, Failed };

// Writes `data` at `address`, moving on to the next block past each bad one while `address`
// stays at or below `limit`. A status word outside what was just written is refused.
Placed placeBlock(ToolLink& link, std::span<const std::uint8_t> data, std::uint64_t& address, std::uint64_t limit,
                  const FlashGeometry& g, DownloadReport& report, TransferContext& context);

// Messages shared by the downloads.
namespace text {
inline const std::string kNoFiles = "请先添加文件!!!";
inline const std::string kTooMany = "图片幅数太多，最多支持%d幅!!!";
inline const std::string kCheckUsb = "请检查USB是否连接!!!";
inline const std::string kFlashTypeFailed = "读取Flash型号失败! !";
inline const std::string kNoGeometry = "Flash配置不支持!!!";
inline const std::string kBusyUsb = "请再试一次! !";
inline const std::string kBusyUdp = "下位机硬件忙，请再试一次! !";
inline const std::string kUdpNoFlashType = "网络通信出错,读取Flash型号失败! !";
inline const std::string kUdpFailed = "网络通信出错,操作失败! !";
inline const std::string kUdpNoReply = "网络通信出错,操作失败";
inline const std::string kAborted = "用户终止下载";
inline const std::string kCommFailed = "通信出错!!!";
inline const std::string kBadDirectory = "图片基地址的FLASH区是坏块,请报修!!!";
inline const std::string kPicturesDone = "图片下载完毕!!!";
inline const std::string kAreaFull = "图片的容量太大，最多支持%dM字节的图片容量!!!";
inline const std::string kCannotCreate = "无法创建文件!!!请检查磁盘空间是否充足!!!";
inline const std::string kBadDirectoryAddress = "下位机报告的图片基地址不可用!!!";
inline const std::string kBadStatus = "下位机报告的坏块地址不在所写的区域内!!!";
inline const std::string kCannotDecode = "无法读取图片: ";
inline const std::string kTooWide = "图片宽度超过65535象素: ";
} // namespace text

// `pattern` with its one %d replaced by `n`.
std::string withNumber(const std::string& pattern, long long n);

} // namespace qv::picture_tool
