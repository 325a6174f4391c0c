#include "compiler/compile/compile_worker.h"

#include "compiler/compile/compile_texts.h"
#include "compiler/compile/user_code.h"
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "compiler/image/start_map.h"
#include "model/project/resolution_range.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

#include <algorithm>
#include <system_error>

#include <fmt/format.h>

namespace qv::compile {
namespace {

using image::kHeaderAreaSize;

class CompileRun {
public:
    CompileRun(const CompileInput& in, const CompileServices& s) : in_(in), s_(s) {}
    CompileOutcome execute();

private:
    CompileOutcome compileProject();
    CompileOutcome internalError(std::string_view reason);
    void log(std::string gbk) { s_.reports->appendText(std::move(gbk)); }
    void messageBox(std::string gbk);
    void logFileError(const image::StagedImageFile& f);
    // Every failure: no image may remain, neither the staged one nor an older one.
    CompileOutcome failed();
    CompileOutcome cancelled(const CompileContext& ctx);
    void compileAllWindows(CompileContext& ctx);
    bool appendBlock(CompileContext& ctx, std::span<const std::uint8_t> data, std::uint64_t length, std::uint8_t fill);
    bool appendBlocks(CompileContext& ctx, image::StartMapValues& v);
    void reportSuccess(std::uint32_t sramNeed, std::uint64_t imageBytes);

    const CompileInput& in_;
    const CompileServices& s_;
    std::filesystem::path imagePath_;
    image::WindowCounters counters_;
    int shownPercent_ = -1;
};

void CompileRun::messageBox(std::string gbk)
{
    if (s_.messageBox)
        s_.reports->post(ReportCall{[box = s_.messageBox, text = std::move(gbk)] { box(text); }});
}

void CompileRun::logFileError(const image::StagedImageFile& f)
{
    log(text::kDiskFull);
    if (f.error().empty())
        return;
    std::string reason = "(";
    reason += utf8ToGbk(f.error()).value_or(f.error());
    reason += ")\r\n";
    log(std::move(reason));
}

CompileOutcome CompileRun::failed()
{
    std::error_code ec;
    if (!imagePath_.empty())
        std::filesystem::remove(imagePath_, ec);
    return {};
}

CompileOutcome CompileRun::cancelled(const CompileContext& ctx)
{
    if (ctx.failureMessage().empty()) {
        log(text::kUserAbort);
        messageBox(text::kAbortDone);
    } else {
        log(ctx.failureMessage());
        messageBox(ctx.failureMessage());
    }
    return failed();
}

void CompileRun::compileAllWindows(CompileContext& ctx)
{
    std::uint64_t done = ctx.input().projectObjectCount + 1;
    s_.screens->compileCursors(ctx);
    ctx.addProgress(done);

    std::uint32_t index = 0;
    for (WindowKind kind : {WindowKind::Screen, WindowKind::SubWindow}) {
        for (const WindowSource& w : kind == WindowKind::Screen ? in_.screens : in_.subWindows) {
            if (ctx.aborted())
                return;
            if (!w.documentOpen) {
                ctx.fail(text::kMissingWindowPrefix + w.fileName + text::kFailSuffix);
                return;
            }
            log(text::kCompilingFile + w.fileName + "\r\n");
            const std::uint32_t start = ctx.header().writeOffset();
            s_.screens->compileWindow(ctx, w, kind);
            if (ctx.aborted())
                return;
            const std::uint32_t length = ctx.header().writeOffset() - start;
            if (length > image::kMaxRecordLength) {
                ctx.fail(w.fileName + text::kRecordTooLargeSuffix + text::kFailSuffix);
                return;
            }
            ctx.header().setWindowEntry(index++, start, length);
            if (kind == WindowKind::Screen) {
                ++counters_.screenCount;
                counters_.largestScreen = std::max(counters_.largestScreen, length);
            } else if (image::isSystemSubWindow(w.fileName)) {
                counters_.largestSystemSubWindow = std::max(counters_.largestSystemSubWindow, length);
            } else {
                counters_.largestSubWindow = std::max(counters_.largestSubWindow, length);
            }
            done += w.objectCount + 1;
            ctx.progressAtLeast(done);
        }
    }
}

bool CompileRun::appendBlock(CompileContext& ctx, std::span<const std::uint8_t> data, std::uint64_t length,
                             std::uint8_t fill)
{
    auto& f = ctx.file();
    const auto own = data.first(static_cast<std::size_t>(std::min<std::uint64_t>(length, data.size())));
    return f.append(own) && f.appendFill(fill, length - own.size()) && f.padToPage(ctx.geometry().pageMask, fill);
}

bool CompileRun::appendBlocks(CompileContext& ctx, image::StartMapValues& v)
{
    // Variable memory: the first E bytes of the bank (E never passes the 64 KiB bank).
    v.variableExtent = std::min<std::uint32_t>(in_.variableExtent, 0x10000);
    if (!appendBlock(ctx, in_.variableMemory, v.variableExtent, 0)) {
        logFileError(ctx.file());
        return false;
    }

    // PLC protocol block: u16 record count, then its 48-byte head and 16-byte records.
    const auto& plc = in_.plcProtocolBlock;
    const std::uint32_t records = plc.size() >= 2 ? image::getU16(plc, 0) : 0;
    if (records > 0) {
        const std::uint32_t length = 48 + 16 * records;
        if (plc.size() < length) {
            ctx.fail(text::kPlcBlockShort); // the block comes from driver files: never trusted
            return false;
        }
        if (!appendBlock(ctx, plc, length, 0)) {
            logFileError(ctx.file());
            return false;
        }
        v.plcBlockLength = length;
    }

    UserCode code = loadUserCode(in_.projectFolder);
    if (code.status == UserCode::Status::Invalid) {
        log(code.message + "\r\n");
        log(text::kUserCodeInvalid);
        messageBox(code.message);
        return false;
    }
    if (code.status == UserCode::Status::Present) {
        const auto block = userCodeBlock(*code.image, code.length);
        if (!appendBlock(ctx, block, block.size(), 0xFF)) {
            logFileError(ctx.file());
            return false;
        }
        v.userCodeLength = static_cast<std::uint32_t>(code.length);
    }
    return true;
}

void CompileRun::reportSuccess(std::uint32_t sramNeed, std::uint64_t imageBytes)
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(s_.now() - s_.started).count();
    const long long t = std::max<long long>(elapsed, 0);
    log(std::string(text::kSuccess) + "(编译时间:" + fmt::format("{}", t / 60) + "分" + fmt::format("{}", t % 60) +
        "秒)" + "\r\n");
    const double sdramKb = (125.0 * sramNeed + 2048.0) / 1024.0;
    const double nandMb = static_cast<double>(imageBytes) / 1048576.0;
    log("SRAM占用" + fmt::format("{}", sramNeed) + "Byte，SDRAM占用" + fmt::format("{:.2f}", sdramKb) +
        "KByte，NandFlash占用" + fmt::format("{:.2f}", nandMb) + "MByte\r\n");
}

CompileOutcome CompileRun::internalError(std::string_view reason)
{
    std::string line = text::kInternalError;
    line += "(";
    line += utf8ToGbk(reason).value_or(std::string(reason));
    line += ")\r\n";
    log(line);
    messageBox(std::move(line));
    return failed();
}

CompileOutcome CompileRun::execute()
{
    auto& flags = *s_.flags;
    flags.abort.store(0);
    flags.compiling.store(1);
    s_.reports->enableCloseBox(false);
    struct Finish {
        CompileRun& run;
        ~Finish()
        {
            run.s_.flags->compiling.store(0);
            run.s_.reports->setProgress(0);
            run.s_.reports->enableCloseBox(true);
        }
    } finish{*this};

    // Nothing may leave the worker thread as an exception (that would end the program):
    // whatever a compiler throws is a failed compile, and a failed compile leaves no image.
    try {
        return compileProject();
    } catch (const std::exception& e) {
        return internalError(e.what());
    } catch (...) {
        return internalError("unknown exception");
    }
}

CompileOutcome CompileRun::compileProject()
{
    imagePath_ = resolveStoredPath(in_.projectFolder, kImageStoredPath).value_or(in_.projectFolder / "NandFlash" / "NandFlash.Zip");

    if (!IsProjectResolutionInRange(in_.width, in_.height)) {
        log(text::kResolutionOutOfRange + fmt::format("{}X{} ({}..{})", in_.width, in_.height, kMinProjectResolution,
                                                      kMaxProjectResolution) +
            text::kFailSuffix);
        return failed();
    }
    const auto geometry = image::geometryForFlashCode(in_.settings[image::st::FlashSizeCode]);
    if (!geometry) {
        log(text::kBadFlashCode);
        return failed();
    }
    const std::size_t windowCount = in_.screens.size() + in_.subWindows.size();
    if (windowCount > image::kMaxWindows) {
        log(text::kTooManyWindows);
        return failed();
    }

    CompileContext ctx(in_, *geometry, *s_.flags, [this](std::uint64_t done, std::uint64_t total) {
        const int percent = static_cast<int>(done * 100 / total);
        if (percent != shownPercent_) {
            shownPercent_ = percent;
            s_.reports->setProgress(percent);
        }
    });

    auto& file = ctx.file();
    std::error_code ec;
    std::filesystem::create_directories(imagePath_.parent_path(), ec);
    if (!file.create(imagePath_) || !file.appendFill(0, kHeaderAreaSize)) {
        logFileError(file);
        return failed();
    }
    ctx.header().beginWindows(static_cast<std::uint32_t>(windowCount));

    std::uint64_t total = 1 + in_.projectObjectCount + 1 + in_.otherDocumentUnits;
    for (const auto* list : {&in_.screens, &in_.subWindows})
        for (const WindowSource& w : *list)
            total += w.objectCount + 1;
    ctx.setProgressTotal(total);
    ctx.progressAtLeast(total / 100);

    compileAllWindows(ctx);
    if (ctx.aborted())
        return cancelled(ctx);

    image::StartMapValues v;
    v.input = &in_;
    v.geometry = *geometry;
    v.windowCount = static_cast<std::uint32_t>(windowCount);
    v.windows = counters_;
    v.headerWriteOffset = ctx.header().writeOffset();
    v.pictureCount = ctx.pictureCount();
    v.fontCount = ctx.fontCount();
    if (!appendBlocks(ctx, v))
        return ctx.aborted() ? cancelled(ctx) : failed();
    if (ctx.aborted())
        return cancelled(ctx);

    image::fillStartMap(ctx.header().bytes(), v);
    log(text::kLinking);
    const std::uint64_t imageBytes = file.size();
    if (!file.overwrite(0, ctx.header().bytes()) || !file.commit()) {
        logFileError(file);
        return failed();
    }
    reportSuccess(image::sramNeed(v), imageBytes);
    return {true, imagePath_, imageBytes};
}

} // namespace

CompileOutcome runCompile(const CompileInput& input, const CompileServices& services)
{
    return CompileRun(input, services).execute();
}

bool CompileThread::start(CompileInput input, CompileServices services)
{
    join();
    {
        std::lock_guard lock(mutex_);
        outcome_.reset();
    }
    try {
        thread_ = std::thread([this, in = std::move(input), s = std::move(services)] {
            CompileOutcome result = runCompile(in, s);
            std::lock_guard lock(mutex_);
            outcome_ = std::move(result);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CompileThread::join()
{
    if (thread_.joinable())
        thread_.join();
}

std::optional<CompileOutcome> CompileThread::outcome() const
{
    std::lock_guard lock(mutex_);
    return outcome_;
}

} // namespace qv::compile
