// Voice library and speech figures: library entries per second with a fake engine (the
// duplicate search and the file work alone), seconds per 100 entries with espeak-ng, and
// characters per second from a spoken text to its playlist.
#include "platform/speech/espeak_engine.h"
#include "platform/text/gbk.h"
#include "sim/sound/sound_service.h"
#include "sim/voice/voice_library_builder.h"
#include "sim/voice/yyk_library.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

fs::path ScratchFolder(const char* name)
{
    fs::path dir = fs::temp_directory_path() / (std::string("qv-bench-") + name + "-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

// Waves of 2-4 KB, one in eight a repeat of an earlier one, as spoken characters share sounds.
class FakeEngine : public qv::SpeechEngine {
public:
    std::vector<qv::SpeechVoice> Voices() override { return {{"fake", "fake", "cmn"}}; }
    bool SynthesizeWave(const qv::SpeechRequest& request, std::vector<std::uint8_t>& riff, std::string*) override
    {
        const unsigned n = ++calls_;
        const unsigned key = n % 8 == 0 ? n / 8 : n;
        riff.assign(2000 + key % 2000, static_cast<std::uint8_t>(key));
        for (std::size_t i = 0; i < riff.size(); i += 97)
            riff[i] = static_cast<std::uint8_t>(key >> 8);
        (void)request;
        return true;
    }

private:
    unsigned calls_ = 0;
};

void BM_VoiceLibraryFakeEngine(benchmark::State& state)
{
    const fs::path dir = ScratchFolder("fake");
    FakeEngine engine;
    std::atomic<bool> abort{false};
    for (auto _ : state) {
        const auto outcome = qv::sim::BuildVoiceLibrary(engine, {dir, "SOUND", dir / "cache", "fake", 0}, abort, nullptr);
        if (outcome.result != qv::sim::VoiceLibraryResult::Built)
            state.SkipWithError(outcome.error.c_str());
    }
    state.counters["entries/s"] = benchmark::Counter(static_cast<double>(qv::sim::kYykEntries) * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
    fs::remove_all(dir);
}
BENCHMARK(BM_VoiceLibraryFakeEngine)->Unit(benchmark::kMillisecond);

// One iteration speaks 100 library entries (Chinese characters) into the library's format.
void BM_VoiceLibraryEspeakPer100Entries(benchmark::State& state)
{
    qv::SpeechEngine& engine = qv::EspeakSpeechEngine();
    const auto voices = engine.Voices();
    const std::string voice = voices.empty() ? std::string() : voices[static_cast<std::size_t>(qv::PreselectedVoice(voices))].identifier;
    std::vector<std::uint8_t> wave;
    for (auto _ : state)
        for (int n = 1410; n < 1510; ++n) // the first hundred characters of the common block
            if (!engine.SynthesizeWave({qv::gbkToUtf8(qv::sim::YykEntryText(n)).value_or(""), voice, 0}, wave))
                state.SkipWithError("espeak-ng failed");
}
BENCHMARK(BM_VoiceLibraryEspeakPer100Entries)->Unit(benchmark::kSecond)->Iterations(2);

class SilentPlayer : public qv::SoundPlayer {
public:
    bool Play(const fs::path&, qv::SoundType) override { return true; }
    bool PlayWaveBytes(std::vector<std::uint8_t>) override { return true; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    std::optional<qv::SoundStatus> Status() const override { return std::nullopt; }
    void SetVolume(int) override {}
    int Volume() const override { return 100; }
    void PlayClick(const fs::path&) override {}
};

// A 3,000-character text (digits and Chinese characters) into its playlist, cache warm.
void BM_TextToPlaylist(benchmark::State& state)
{
    const fs::path project = ScratchFolder("playlist");
    fs::create_directories(project / "UsbDisk");
    FakeEngine engine;
    std::atomic<bool> abort{false};
    qv::sim::BuildVoiceLibrary(engine, {project / "UsbDisk", "SOUND", project / "temp" / "UsbDiskTemp", "fake", 0}, abort, nullptr);
    SilentPlayer player;
    qv::sim::SoundService service(player);
    service.SetProjectFolder(project);
    qv::VarBank memory;
    const std::string name = "U:\\SOUND.YYK";
    for (std::size_t i = 0; i < name.size(); ++i)
        memory.writeByte(static_cast<std::int64_t>(i), static_cast<std::uint8_t>(name[i]));
    qv::sim::PanelServiceCall select{memory};
    select.regs = {qv::sim::kSoundService, 7};
    service.Serve(select);
    std::string text;
    for (int i = 0; text.size() < 4500; ++i)
        text += qv::sim::YykEntryText(1410 + i % 3000) + std::to_string(i % 10);
    service.Speak(text); // extracts the waves into the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(service.Speak(text));
    state.counters["chars/s"] = benchmark::Counter(static_cast<double>(qv::sim::kMaxSpokenCharacters) * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    fs::remove_all(project);
}
BENCHMARK(BM_TextToPlaylist)->Unit(benchmark::kMillisecond);

} // namespace
