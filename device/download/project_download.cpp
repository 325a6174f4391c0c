#include "device/download/project_download.h"

#include "compiler/compile/user_code.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/image/nand_geometry.h"
#include "device/download/area_walk.h"
#include "device/download/download_texts.h"
#include "device/download/flash_writer.h"
#include "device/download/image_check.h"
#include "device/download/text_format.h"
#include "device/link/panel_connection.h"
#include "device/tasks/device_commands.h"
#include "device/tasks/device_texts.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <fstream>
#include <memory>
#include <optional>

namespace qv::device {
namespace {

using image::getU32;
using image::putU32;
namespace sm = image::sm;

constexpr std::uint32_t kParamMagic = 305419896;
constexpr std::size_t kParamBlockSize = 2048;

std::string gbkPath(const std::filesystem::path& p) { return utf8ToGbk(p.string()).value_or(p.string()); }

class ProjectDownload final : public AreaSink {
public:
    ProjectDownload(const DownloadJob& job, DownloadFlags& flags) : job_(job), flags_(flags) {}
    bool run();

    // Stage 2's sink: the next area of the image into the flash.
    bool write(std::uint32_t length, std::uint32_t& address) override
    {
        if (length == 0) {
            address = w_->current;
            return true;
        }
        std::vector<std::uint8_t> bytes;
        return readNext(length, bytes) && put(bytes, address);
    }
    bool shared(std::uint32_t index, std::uint32_t& address) override
    {
        if (index >= shared_.size())
            return false;
        address = shared_[index];
        return true;
    }
    void remember(std::uint32_t address) override { shared_.push_back(address); }

private:
    std::span<std::uint8_t> map() { return std::span(header_).subspan(image::kStartMapOffset, image::kStartMapSize); }
    bool openImage();
    bool checkAgainstPanel();
    bool readNext(std::uint64_t n, std::vector<std::uint8_t>& out);
    // Writes and advances the current address past the piece.
    bool put(std::span<const std::uint8_t> piece, std::uint32_t& address,
             const std::function<void(std::uint32_t)>& onBad = {})
    {
        if (!w_->write(piece, address, onBad))
            return false;
        w_->current = address + static_cast<std::uint32_t>(piece.size());
        return true;
    }
    void setEntry(std::uint32_t block, std::uint32_t value)
    {
        if (block < table_.size())
            table_[block] = value;
    }
    std::uint32_t blockOf(std::uint32_t address) const { return address / facts_.geometry.blockSize; }
    bool cursorStage();
    bool finalStages();
    bool variableAndPlcStage();
    bool parameterBlock();
    bool userCodeChain();
    bool userFiles();
    bool directoryAndTable();
    bool startMapStage();

    const DownloadJob& job_;
    DownloadFlags& flags_;
    std::ifstream file_;
    std::uint64_t fileSize_ = 0;
    std::vector<std::uint8_t> header_;
    ImageFacts facts_;
    std::unique_ptr<PanelConnection> connection_;
    std::optional<FlashWriter> w_;
    std::vector<std::uint32_t> shared_;
    std::vector<std::uint32_t> table_;
    std::vector<std::uint8_t> variables_;
    std::vector<std::uint8_t> directory_;
    std::uint32_t sramNeed_ = 0;
};

bool ProjectDownload::openImage()
{
    const auto path = resolveStoredPath(job_.projectDir, "\\NandFlash\\NandFlash.Zip");
    std::error_code ec;
    if (path && std::filesystem::is_regular_file(*path, ec)) {
        fileSize_ = std::filesystem::file_size(*path, ec);
        file_.open(*path, std::ios::binary);
    }
    if (!file_.is_open() || ec) {
        job_.message(text::kNoImage);
        return false;
    }
    job_.output(text::kDownloading);
    std::string why;
    header_.assign(image::kHeaderAreaSize, 0);
    const bool whole = readNext(0, header_) && fileSize_ >= image::kHeaderAreaSize;
    if (!whole)
        why = "the file is shorter than its header area";
    std::optional<ImageFacts> facts;
    if (whole)
        facts = checkImage(header_, fileSize_, &why);
    if (!facts) {
        job_.output(std::string(text::kBadImage) + "(" + why + ")\r\n");
        return false;
    }
    facts_ = *facts;
    return true;
}

bool ProjectDownload::readNext(std::uint64_t n, std::vector<std::uint8_t>& out)
{
    if (n != 0)
        out.assign(n, 0);
    file_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (static_cast<std::size_t>(file_.gcount()) == out.size())
        return true;
    if (w_)
        job_.output(text::kImageReadFailed), job_.output(text::kDownloadFailedLine);
    return false;
}

bool ProjectDownload::checkAgainstPanel()
{
    const auto m = map();
    const DeviceInfo& p = job_.info;
    const unsigned major = image::getU8(m, sm::VersionMajor), minor = image::getU8(m, sm::VersionMinor);
    if (major != p.hardwareMajor || minor != p.hardwareMinor) {
        job_.output(formatGbk("Quorvane软件的版本(V%d.%d)不同于目标硬件的版本(V%d.%d)，下载失败!\r\n", major, minor,
                              p.hardwareMajor, p.hardwareMinor));
        return false;
    }
    if (job_.resolutionMustMatch) {
        const unsigned w = image::getU16(m, sm::Width), h = image::getU16(m, sm::Height);
        const bool rotated = getU32(m, sm::Rotation) != 0;
        const unsigned pw = rotated ? p.height : p.width, ph = rotated ? p.width : p.height;
        if (w != pw || h != ph) {
            job_.output(formatGbk("工程分辨率与目标分辨率不相等，下载失败!工程分辨率%dX%d，目标分辨率%dX%d\r\n", w, h, pw, ph));
            return false;
        }
    }
    sramNeed_ = getU32(m, sm::SramNeed);
    if (sramNeed_ > p.sramBytes) {
        job_.output(formatGbk("工程消耗SRAM容量大于实际目标SRAM容量，下载失败!工程消耗SRAM容量%u字节，实际目标SRAM容量%u字节\r\n",
                              sramNeed_, p.sramBytes));
        return false;
    }
    if (facts_.flashCode != p.nandType) {
        job_.output(text::kFlashTypeMismatch);
        return false;
    }
    if (image::getU8(m, sm::ColourDepthCode) != p.colourDepthCode) {
        job_.output(text::kColourMismatch);
        return false;
    }
    if (fileSize_ > p.nandCapacity) {
        job_.output(formatGbk("工程消耗NandFlash容量大于实际目标NandFlash容量，下载失败!工程消耗NandFlash容量%llu字节，实际目标NandFlash容量%u字节\r\n",
                              static_cast<unsigned long long>(fileSize_), p.nandCapacity));
        return false;
    }
    return true;
}

bool ProjectDownload::cursorStage()
{
    std::vector<std::uint8_t> bytes;
    std::uint32_t at = 0;
    if (!readNext(facts_.cursorBytes, bytes) || !put(bytes, at))
        return false;
    putU32(header_, 0, at);
    for (std::size_t entry : {8u, 16u, 24u})
        putU32(header_, entry, getU32(header_, entry) + at);
    return true;
}

bool ProjectDownload::variableAndPlcStage()
{
    job_.output(text::kStage5);
    const NandGeometry& g = facts_.geometry;
    std::uint32_t at = 0;
    if (!readNext(facts_.variableBytes, variables_) || !put(variables_, at))
        return false;
    auto m = map();
    putU32(m, sm::VarMemAddr, at);
    std::uint32_t next = static_cast<std::uint32_t>((std::uint64_t{at} + facts_.variableBytes + g.blockSize) & g.blockMask);
    const std::uint32_t records = job_.plcBlock.size() >= 2 ? job_.plcBlock[0] | job_.plcBlock[1] << 8 : 0;
    const std::uint32_t plcLength = 48 + 16 * records;
    if (records > 0 && job_.plcBlock.size() >= plcLength) {
        w_->current = next;
        std::vector<std::uint8_t> block(job_.plcBlock.begin(), job_.plcBlock.begin() + plcLength);
        block.resize(image::roundUpToPage(plcLength, g.pageMask), 0);
        if (!put(block, at))
            return false;
        if (std::uint64_t{sramNeed_} + plcLength > job_.info.sramBytes) {
            job_.output(formatGbk("未能下载PLC(ModBus RTU,FX2N,S7-200)协议，硬件SRAM数量(%u字节)小于实际需要的SRAM数量(%llu字节)\r\n",
                                  job_.info.sramBytes, static_cast<unsigned long long>(sramNeed_) + plcLength));
            putU32(m, sm::PlcBlockAddr, 0);
        } else {
            putU32(m, sm::PlcBlockAddr, at);
            sramNeed_ += plcLength;
            putU32(m, sm::SramNeed, sramNeed_);
        }
        // A block longer than one flash block keeps all its blocks.
        next = at + static_cast<std::uint32_t>((std::uint64_t{block.size()} + g.blockSize - 1) & g.blockMask);
    } else {
        putU32(m, sm::PlcBlockAddr, 0);
    }
    w_->current = next;
    return true;
}

bool ProjectDownload::parameterBlock()
{
    job_.output(text::kStage6);
    auto m = map();
    std::vector<std::uint8_t> block(kParamBlockSize, 0xFF);
    putU32(block, 0, kParamMagic);
    std::copy_n(m.begin() + sm::RunBlock, sm::RunBlockSize, block.begin() + 4);
    const auto slot = [&](unsigned s) { return static_cast<std::int32_t>(getU32(m, sm::SysVarAddrs + 4 * s)); };
    for (std::size_t i = 0; i < std::size(kParamByteSlots); ++i)
        if (const std::int32_t a = slot(kParamByteSlots[i]); a >= 0)
            block[48 + i] = variables_.at(static_cast<std::size_t>(a)); // inside: the check saw to it
    for (std::size_t i = 0; i < std::size(kParamWordSlots); ++i)
        if (const std::int32_t a = slot(kParamWordSlots[i]); a >= 0)
            putU32(block, 52 + 4 * i, getU32(variables_, static_cast<std::size_t>(a)));
    std::copy(job_.options.begin(), job_.options.end(), block.begin() + 64);
    variables_.clear();
    std::uint32_t at = 0;
    if (!w_->write(block, at))
        return false;
    putU32(m, sm::ParamBlockAddr, at);
    const NandGeometry& g = facts_.geometry;
    table_.assign(g.blockSize / 4, 0);
    for (std::uint32_t i = 1; i <= blockOf(at) && i < table_.size(); ++i)
        table_[i] = kChainEnd;
    table_[0] = kBlockTableMagic;
    table_[3] = at;
    w_->current = at + g.blockSize;
    return true;
}

bool ProjectDownload::userCodeChain()
{
    const compile::UserCode code = compile::loadUserCode(job_.projectDir);
    if (code.status == compile::UserCode::Status::Invalid) {
        job_.output(text::kBadCodeFile);
        job_.output(code.message + "\r\n");
        return false;
    }
    if (code.status != compile::UserCode::Status::Present)
        return true;
    const std::int64_t limit = std::int64_t{job_.info.sramBytes} - sramNeed_ - 256;
    if (code.length > limit) {
        const std::string t = formatGbk("未能下载MC8051单片机代码!MC8051单片机代码不得大于%lld字节\r\n", static_cast<long long>(limit));
        job_.output(t);
        job_.message(t);
        return false;
    }
    const NandGeometry& g = facts_.geometry;
    std::vector<std::uint8_t> chain = compile::userCodeBlock(*code.image, code.length);
    const std::size_t blocks = (chain.size() + g.blockSize) / g.blockSize;
    chain.resize(blocks * g.blockSize, 0xFF);
    std::optional<std::uint32_t> previous;
    for (std::size_t k = 0; k < blocks; ++k) {
        std::uint32_t at = 0;
        if (!put(std::span(chain).subspan(k * g.blockSize, g.blockSize), at,
                 [&](std::uint32_t bad) { setEntry(bad, kBadBlockEntry); }))
            return false;
        if (previous)
            setEntry(blockOf(*previous), at);
        else
            table_[1] = at;
        previous = at;
    }
    setEntry(blockOf(*previous), kChainEnd);
    const std::uint32_t extent = getU32(map(), sm::VarExtent);
    job_.output(formatGbk("MC8051代码=%d字节,控件地址=From 0 To %d,用户地址=From %d To %lld", code.length,
                          static_cast<int>(extent) - 1, static_cast<int>(extent),
                          static_cast<long long>(limit) + 256 - code.length - 257));
    job_.output(text::kLineEnd);
    return true;
}

bool ProjectDownload::userFiles()
{
    const NandGeometry& g = facts_.geometry;
    directory_.assign(g.blockSize, 0xFF);
    const std::size_t count = std::min(job_.fdiskFiles.size(), kMaxFDiskFiles);
    for (std::size_t i = count; i < job_.fdiskFiles.size(); ++i)
        job_.output(text::kFileLeftOut + gbkPath(job_.fdiskFiles[i]) + "\r\n");
    putU32(directory_, 0, static_cast<std::uint32_t>(count));
    for (std::size_t at : {4u, 8u, 12u})
        putU32(directory_, at, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& path = job_.fdiskFiles[i];
        job_.output(text::kDownloadFile + gbkPath(path) + "\r\n");
        std::error_code ec;
        const std::uint64_t size = std::filesystem::file_size(path, ec);
        const std::uint64_t run = (size + g.pageSize() + g.blockSize) & g.blockMask;
        if (ec || std::uint64_t{w_->current} + run > g.capacity) {
            w_->fail(ec ? text::kImageReadFailed : text::kNoCapacity);
            return false;
        }
        std::vector<std::uint8_t> bytes(run, 0xFF);
        putU32(bytes, 0, static_cast<std::uint32_t>(size));
        std::ifstream in(path, std::ios::binary);
        in.read(reinterpret_cast<char*>(bytes.data() + 512), static_cast<std::streamsize>(size));
        if (static_cast<std::uint64_t>(in.gcount()) != size) {
            w_->fail(text::kImageReadFailed);
            return false;
        }
        std::uint32_t where = 0;
        if (!put(bytes, where))
            return false;
        const std::size_t entry = g.pageSize() + 16 * i;
        const std::string name = gbkPath(path.filename());
        for (std::size_t c = 0; c < 12; ++c)
            directory_[entry + c] = c < name.size() ? static_cast<std::uint8_t>(name[c]) : 0xFF;
        putU32(directory_, entry + 12, where);
    }
    return true;
}

bool ProjectDownload::directoryAndTable()
{
    const NandGeometry& g = facts_.geometry;
    w_->current = static_cast<std::uint32_t>((std::uint64_t{w_->current} + g.blockSize) & g.blockMask);
    std::uint32_t at = 0;
    if (!w_->write(directory_, at, [&](std::uint32_t bad) { setEntry(bad, kBadBlockEntry); }))
        return false;
    setEntry(blockOf(at), kChainEnd);
    table_[2] = at;
    w_->current = at + g.blockSize;
    job_.output(text::kStage64);
    for (;;) {
        job_.output(text::kStage65);
        const std::uint32_t here = w_->current;
        setEntry(blockOf(here), here + g.blockSize);
        setEntry(blockOf(here) + 1, kChainEnd);
        std::vector<std::uint8_t> bytes(g.blockSize);
        for (std::size_t i = 0; i < table_.size(); ++i)
            putU32(bytes, 4 * i, table_[i]);
        std::uint32_t bad = 0;
        switch (w_->writeOnce(bytes, g.capacity, text::kNoCapacity, bad)) {
        case FlashWriter::Once::Failed: return false;
        case FlashWriter::Once::BadBlock: setEntry(bad, kBadBlockEntry); continue;
        case FlashWriter::Once::Written: break;
        }
        putU32(map(), sm::BlockTableAddr, here);
        putU32(map(), sm::FreeFlashAddr, static_cast<std::uint32_t>((std::uint64_t{here} + g.blockSize) & g.blockMask));
        return true;
    }
}

bool ProjectDownload::startMapStage()
{
    job_.output(text::kStage7);
    const NandGeometry& g = facts_.geometry;
    // One whole page: the start map, then erased bytes to the page's end.
    std::vector<std::uint8_t> page(g.pageSize(), 0xFF);
    const auto m = map();
    std::copy(m.begin(), m.end(), page.begin());
    w_->current = 0;
    std::uint32_t at = 0;
    return w_->write(page, at, std::uint64_t{kReservedBlocks} * g.blockSize, text::kNoBaseBlock);
}

bool ProjectDownload::finalStages()
{
    putU32(map(), sm::StartSecond, job_.startSecondOfDay);
    job_.output(text::kStage4);
    std::uint32_t at = 0;
    if (!put(std::span(header_).first(facts_.headerBytes), at))
        return false;
    putU32(map(), sm::HeaderFlashAddr, at);
    return variableAndPlcStage() && parameterBlock() && userCodeChain() && userFiles() && directoryAndTable() &&
           startMapStage();
}

bool ProjectDownload::run()
{
    if (!openImage() || !checkAgainstPanel())
        return false;
    const NandGeometry& g = facts_.geometry;
    std::string why;
    connection_ = job_.host ? PanelConnection::open(*job_.host, job_.device, &why) : nullptr;
    if (!connection_) {
        job_.output(text::kUsbNotConnected);
        return false;
    }
    const std::uint64_t total = fileSize_ - image::kHeaderAreaSize;
    flags_.progressTotal = static_cast<int>(std::min<std::uint64_t>(total, 0x7FFFFFFF));
    flags_.progressDone = flags_.progressTotal.load() / 100;
    if (job_.reports && flags_.progressTotal.load() > 0)
        job_.reports->setProgress(static_cast<int>(std::int64_t{flags_.progressDone.load()} * 100 / flags_.progressTotal.load()));

    const BlockWriteControl control = downloadWriteControl(job_, flags_);
    w_.emplace(connection_->framing(), g, control, &flags_.abort, [this](const std::string& t) { job_.output(t); });
    w_->current = facts_.flashCode <= 4 ? image::kImageFlashStart : kReservedBlocks * g.blockSize;

    job_.output(text::kCheckFlash);
    DeviceCommandServices s;
    s.wait = job_.wait;
    s.reports = job_.reports;
    s.messageBox = job_.messageBox;
    if (!TestFlashOn(connection_->framing(), s)) {
        job_.output(text::kDownloadFailedLine);
        return false;
    }
    job_.output(text::kStage1);
    bool ok = cursorStage();
    if (ok) {
        job_.output(text::kStage2);
        const WalkResult r = walkWindowRecords(header_, *this);
        ok = r.end == WalkEnd::Done;
    }
    if (ok) {
        job_.output(text::kStage3);
        ok = finalStages();
    }
    if (!ok) {
        job_.message(text::kDownloadFailed);
        return false;
    }
    if (job_.resetAfter)
        UsbResetDevice(connection_->framing());
    const int elapsed = job_.elapsedSeconds();
    job_.output(text::kProjectDone);
    job_.output(formatGbk("(下载时间:%d分%d秒)", elapsed / 60, elapsed % 60));
    job_.output(text::kLineEnd);
    return true;
}

} // namespace

bool DownloadProjectThread(const DownloadJob& job, DownloadFlags& flags)
{
    ProjectDownload download(job, flags);
    const bool ok = download.run();
    if (job.reports)
        job.reports->setProgress(0);
    return ok;
}

} // namespace qv::device
