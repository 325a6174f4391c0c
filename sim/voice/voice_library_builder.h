#pragma once
// Builds the voice library: every entry's text spoken by the engine, identical waves stored
// once, written beside the old library and renamed over it only when the whole build
// succeeded; the simulator's wave cache of that drive is emptied only then, so it re-extracts
// from the new library. A failed or aborted build leaves the old library, the cache and no
// temporary file behind.
#include "platform/report/report_queue.h"
#include "platform/speech/speech_engine.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace qv::sim {

struct VoiceLibraryRequest {
    std::filesystem::path folder;      // the chosen drive's folder (it must exist)
    std::string name;                  // GBK, without ".YYK"
    std::filesystem::path cacheFolder; // the simulator's wave cache of that drive
    std::string voice;                 // the engine's voice identifier
    int rate = 0;                      // the rate slider; negative positions count as 0
};

enum class VoiceLibraryResult {
    Built,
    EngineFailed, // the engine could not be prepared
    BuildFailed,  // speaking an entry or writing the file failed
    Aborted,
};

struct VoiceLibraryOutcome {
    VoiceLibraryResult result = VoiceLibraryResult::BuildFailed;
    int distinctWaves = 0;
    std::filesystem::path library;
    std::string error; // UTF-8, for the output line
};

// The user's message for a result (GBK): "成功创建语音库", "创建语音库失败0", "创建语音库失败1";
// empty for an abort.
std::string VoiceLibraryMessage(VoiceLibraryResult result);
// The count of distinct waves as the output bar shows it: its four bytes, low first, "%x ".
std::string DistinctWavesHex(int distinctWaves);

// The whole build on the calling thread. `abort` is checked after every entry; `progress`
// gets (n + 1) x 100 / 6,846 after entry n.
VoiceLibraryOutcome BuildVoiceLibrary(SpeechEngine& engine, const VoiceLibraryRequest& request, const std::atomic<bool>& abort,
                                      const std::function<void(int percent)>& progress);

// BuildVoiceLibrary on a thread of its own. Progress and the end reach the caller as
// ReportCalls through the report queue, so they run on the thread that drains it (the GUI);
// the outcome's message and the distinct-wave count also go to the output bar.
class VoiceLibraryWorker {
public:
    VoiceLibraryWorker() = default;
    ~VoiceLibraryWorker(); // aborts and joins a running build
    VoiceLibraryWorker(const VoiceLibraryWorker&) = delete;
    VoiceLibraryWorker& operator=(const VoiceLibraryWorker&) = delete;

    // False when a build still runs or the thread cannot start.
    bool Start(SpeechEngine& engine, VoiceLibraryRequest request, ReportQueue& reports, std::function<void(int percent)> onProgress,
               std::function<void(const VoiceLibraryOutcome&)> onFinished);
    void Abort() { abort_.store(true); }
    bool Running() const { return running_.load(); }
    void Join();

private:
    std::thread thread_;
    std::atomic<bool> abort_{false};
    std::atomic<bool> running_{false};
};

} // namespace qv::sim
