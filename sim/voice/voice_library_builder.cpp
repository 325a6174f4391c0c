#include "sim/voice/voice_library_builder.h"

#include "platform/files/confined_folder.h"
#include "platform/text/gbk.h"
#include "sim/voice/yyk_library.h"

#include <fmt/format.h>

#include <algorithm>
#include <system_error>

namespace qv::sim {
namespace {

constexpr std::size_t kMaxEntryWave = 512000; // the most read of one spoken entry

} // namespace

std::string VoiceLibraryMessage(VoiceLibraryResult result)
{
    switch (result) {
    case VoiceLibraryResult::Built: return "成功创建语音库";
    case VoiceLibraryResult::EngineFailed: return "创建语音库失败0";
    case VoiceLibraryResult::BuildFailed: return "创建语音库失败1";
    case VoiceLibraryResult::Aborted: break;
    }
    return {};
}

std::string DistinctWavesHex(int distinctWaves)
{
    std::string out;
    const auto value = static_cast<std::uint32_t>(distinctWaves);
    for (int i = 0; i < 4; ++i)
        out += fmt::format("{:x} ", (value >> (8 * i)) & 0xFF);
    return out;
}

VoiceLibraryOutcome BuildVoiceLibrary(SpeechEngine& engine, const VoiceLibraryRequest& request, const std::atomic<bool>& abort,
                                      const std::function<void(int percent)>& progress)
{
    VoiceLibraryOutcome outcome;
    const auto hostName = gbkToUtf8(request.name);
    if (!hostName || hostName->empty()) {
        outcome.error = "the library name is not valid";
        return outcome;
    }
    outcome.library = request.folder / (*hostName + ".YYK");

    SpeechRequest speech{" ", request.voice, std::max(request.rate, 0)};
    std::vector<std::uint8_t> wave;
    if (!engine.SynthesizeWave(speech, wave, &outcome.error)) {
        outcome.result = VoiceLibraryResult::EngineFailed;
        return outcome;
    }

    // The drive folder lies in the project folder: neither it nor the library may be a link.
    YykWriter writer(outcome.library, request.folder.parent_path());
    if (!writer.Start(&outcome.error))
        return outcome;
    for (int n = 0; n < kYykEntries; ++n) {
        speech.textUtf8 = gbkToUtf8(YykEntryText(n)).value_or("");
        if (!engine.SynthesizeWave(speech, wave, &outcome.error))
            return outcome;
        if (wave.size() > kMaxEntryWave)
            wave.resize(kMaxEntryWave);
        if (!writer.Add(n, wave, &outcome.error))
            return outcome;
        if (progress)
            progress((n + 1) * 100 / kYykEntries);
        if (abort.load()) {
            outcome.result = VoiceLibraryResult::Aborted;
            return outcome;
        }
    }
    if (!writer.Commit(&outcome.error))
        return outcome;

    // The cache lies two folders below the project folder ("temp\\UsbDiskTemp"): neither may
    // be a link the emptying would follow.
    ConfinedFolder(request.folder.parent_path()).emptyFolder(request.cacheFolder);
    outcome.result = VoiceLibraryResult::Built;
    outcome.distinctWaves = writer.DistinctWaves();
    return outcome;
}

VoiceLibraryWorker::~VoiceLibraryWorker()
{
    Abort();
    Join();
}

void VoiceLibraryWorker::Join()
{
    if (thread_.joinable())
        thread_.join();
}

bool VoiceLibraryWorker::Start(SpeechEngine& engine, VoiceLibraryRequest request, ReportQueue& reports,
                               std::function<void(int percent)> onProgress, std::function<void(const VoiceLibraryOutcome&)> onFinished)
{
    if (running_.load())
        return false;
    Join();
    abort_.store(false);
    running_.store(true);
    try {
        thread_ = std::thread([this, &engine, &reports, request = std::move(request), onProgress = std::move(onProgress),
                               onFinished = std::move(onFinished)] {
            int shown = -1;
            auto progress = [&](int percent) {
                if (percent == shown || !onProgress)
                    return;
                shown = percent;
                reports.post(ReportCall{[onProgress, percent] { onProgress(percent); }});
            };
            VoiceLibraryOutcome outcome = BuildVoiceLibrary(engine, request, abort_, progress);
            if (const std::string message = VoiceLibraryMessage(outcome.result); !message.empty())
                reports.appendText(message + "\r\n");
            if (outcome.result == VoiceLibraryResult::Built)
                reports.appendText(DistinctWavesHex(outcome.distinctWaves) + "\r\n");
            running_.store(false);
            if (onFinished)
                reports.post(ReportCall{[onFinished, outcome] { onFinished(outcome); }});
        });
    } catch (const std::system_error&) {
        running_.store(false);
        return false;
    }
    return true;
}

} // namespace qv::sim
