#include "device/download/code_download.h"

#include "compiler/compile/user_code.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/image/nand_geometry.h"
#include "device/commands/panel_commands.h"
#include "device/download/download_texts.h"
#include "device/download/image_check.h"
#include "device/download/project_download.h"
#include "device/download/text_format.h"
#include "device/link/panel_connection.h"
#include "device/tasks/device_texts.h"

#include <memory>
#include <set>

namespace qv::device {
namespace {

using image::getU32;
namespace sm = image::sm;

enum class Outcome { Done, Failed, FallBack };

// The chain of the panel's table from entry 1: every block aligned, inside the flash past
// the reserved blocks, with a table entry, met once. nullopt when it is not such a chain.
std::optional<std::vector<std::uint32_t>> walkChain(std::span<const std::uint8_t> table, const NandGeometry& g)
{
    const std::size_t entries = table.size() / 4;
    std::vector<std::uint32_t> chain;
    std::set<std::uint32_t> seen;
    for (std::uint32_t at = getU32(table, 4); at != kChainEnd; at = getU32(table, 4 * std::size_t{at / g.blockSize})) {
        const std::uint32_t block = at / g.blockSize;
        if (at % g.blockSize != 0 || block < kReservedBlocks || std::uint64_t{at} + g.blockSize > g.capacity ||
            block >= entries || !seen.insert(block).second)
            return std::nullopt;
        chain.push_back(at);
    }
    return chain;
}

class CodeDownload {
public:
    CodeDownload(const DownloadJob& job, DownloadFlags& flags) : job_(job), flags_(flags) {}
    Outcome run();

private:
    bool readFlash(std::uint32_t address, std::span<std::uint8_t> out)
    {
        if (ReadFlash(connection_->framing(), address, out))
            return true;
        job_.output(text::kUsbErrorLine);
        job_.output(text::kDownloadFailedLine);
        return false;
    }
    Outcome fallBack(const char* why)
    {
        if (why)
            job_.output(why);
        job_.output(text::kRedownload);
        return Outcome::FallBack;
    }

    const DownloadJob& job_;
    DownloadFlags& flags_;
    std::unique_ptr<PanelConnection> connection_;
};

Outcome CodeDownload::run()
{
    std::string why;
    connection_ = job_.host ? PanelConnection::open(*job_.host, job_.device, &why) : nullptr;
    if (!connection_) {
        job_.output(text::kUsbNotConnected);
        return Outcome::Failed;
    }
    const DeviceInfo& p = job_.info;
    if (p.hardwareMajor != image::kVersionMajor || p.hardwareMinor != image::kVersionMinor) {
        job_.output(formatGbk("Quorvane软件的版本(V%d.%d)不同于目标硬件的版本(V%d.%d)，下载失败!\r\n", image::kVersionMajor,
                              image::kVersionMinor, p.hardwareMajor, p.hardwareMinor));
        return Outcome::Failed;
    }
    const compile::UserCode code = compile::loadUserCode(job_.projectDir);
    if (code.status == compile::UserCode::Status::Invalid) {
        job_.output(text::kBadCodeFile);
        job_.output(code.message + "\r\n");
        return Outcome::Failed;
    }
    const std::int64_t codeSize = code.status == compile::UserCode::Status::Present ? code.length + 256 : 0;
    const std::int64_t limit = std::int64_t{p.sramBytes} - p.storedSramNeed - 256;
    if (std::int64_t{p.sramBytes} < std::int64_t{p.storedSramNeed} + codeSize) {
        job_.output(formatGbk("下载失败!MC8051单片机代码不得大于%lld字节\r\n", static_cast<long long>(limit)));
        return Outcome::Failed;
    }
    if (code.status != compile::UserCode::Status::Present) {
        job_.message(text::kNoCode); // nothing to write: the panel is not read either
        return Outcome::Failed;
    }

    // What the panel holds must match its own NAND type before anything is followed.
    const auto geometry = image::geometryForFlashCode(p.nandType);
    std::array<std::uint8_t, image::kStartMapSize> map{};
    if (!readFlash(0, map))
        return Outcome::Failed;
    if (!geometry || !startMapFits(map, *geometry))
        return fallBack(text::kPanelProjectDamaged);
    const NandGeometry& g = *geometry;
    const std::uint32_t b = g.blockSize;
    const std::uint32_t tableAt = getU32(map, sm::BlockTableAddr);
    if (tableAt % b != 0 || tableAt / b < kReservedBlocks || std::uint64_t{tableAt} + b > g.capacity)
        return fallBack(text::kPanelProjectDamaged);
    flags_.progressTotal = static_cast<int>(b);
    flags_.progressDone = static_cast<int>(b / 100);
    if (job_.reports)
        job_.reports->setProgress(1);

    std::vector<std::uint8_t> table(b);
    if (!readFlash(tableAt, table))
        return Outcome::Failed;
    const auto chain = getU32(table, 0) == kBlockTableMagic ? walkChain(table, g) : std::nullopt;
    if (!chain)
        return fallBack(text::kPanelProjectDamaged);

    std::vector<std::uint8_t> data = compile::userCodeBlock(*code.image, code.length);
    const std::size_t blocks = (data.size() + b) / b;
    if (blocks > chain->size())
        return fallBack(nullptr); // the new code does not fit the stored chain
    data.resize(blocks * b, 0xFF);
    flags_.progressTotal = static_cast<int>((std::uint64_t{static_cast<std::uint32_t>(code.length)} + b + 12) & getU32(map, sm::BlockMask));
    flags_.progressDone = flags_.progressTotal.load() / 100;

    const BlockWriteControl control = downloadWriteControl(job_, flags_);
    for (std::size_t k = 0; k < blocks; ++k) {
        std::uint32_t result = 0;
        if (UsbWriteBlock(connection_->framing(), std::span(data).subspan(k * b, b), (*chain)[k], control, result) < 0) {
            job_.output(flags_.abort.load() != 0 ? text::kUserAbort : text::kUsbErrorLine);
            job_.output(text::kDownloadFailedLine);
            return Outcome::Failed;
        }
        if (result != 0)
            return fallBack(nullptr); // a block of the chain went bad
    }
    if (job_.resetAfter)
        UsbResetDevice(connection_->framing());
    const int elapsed = job_.elapsedSeconds();
    const auto extent = static_cast<int>(getU32(map, sm::VarExtent));
    job_.output(text::kCodeDone);
    job_.output(formatGbk("(下载时间:%d分%d秒)", elapsed / 60, elapsed % 60));
    job_.output(text::kLineEnd);
    job_.output(formatGbk("MC8051代码=%d字节,控件地址=From 0 To %d,用户地址=From %d To %lld", code.length, extent - 1, extent,
                          static_cast<long long>(limit) - code.length - 1));
    job_.output(text::kLineEnd);
    job_.message(text::kCodeDone);
    return Outcome::Done;
}

} // namespace

bool DownloadCodeThread(const DownloadJob& job, DownloadFlags& flags)
{
    if (job.reports)
        job.reports->post(ReportClearOutput{});
    Outcome outcome;
    {
        CodeDownload download(job, flags);
        outcome = download.run(); // the panel is released before a full download opens it
    }
    if (outcome == Outcome::FallBack)
        return DownloadProjectThread(job, flags);
    return outcome == Outcome::Done;
}

} // namespace qv::device
