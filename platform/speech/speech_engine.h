#pragma once
// Text to speech: the voices an engine offers and one text spoken into a whole wave file in
// the format the panel's voice library holds (RIFF, 8 kHz, 8-bit, mono). Engines are not
// re-entrant; an implementation serialises its callers.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct SpeechVoice {
    std::string name;       // UTF-8, for the voice list
    std::string identifier; // what the engine selects the voice by
    std::string language;   // the voice's first language tag ("cmn", "en-us", ...)
};

struct SpeechRequest {
    std::string textUtf8;
    std::string voice; // identifier; empty: the engine's default
    int rate = 0;      // the rate slider, -10 (slowest) .. 10 (fastest), 0 normal
};

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    virtual std::vector<SpeechVoice> Voices() = 0;
    // The spoken text as a whole RIFF wave, 8 kHz 8-bit mono; false with `error` (UTF-8)
    // when the engine fails. An empty text gives a wave without samples.
    virtual bool SynthesizeWave(const SpeechRequest& request, std::vector<std::uint8_t>& riff, std::string* error = nullptr) = 0;
};

// The voice list's preselection: the first Mandarin voice, else the first Chinese one, else 0.
int PreselectedVoice(const std::vector<SpeechVoice>& voices);

// The library's words per minute for a slider position: normal at 0, the slowest and the
// fastest rate the library takes at -10 and 10, linear in between on each side.
int SpeechRateWordsPerMinute(int slider);

constexpr int kVoiceWaveRate = 8000;

// 16-bit mono samples at `sampleRate`, converted to the voice library's format as a RIFF file.
std::vector<std::uint8_t> MakeVoiceWave(const std::int16_t* samples, std::size_t count, int sampleRate);

// The 8-bit PCM samples of a RIFF wave in the voice format; empty for anything else.
std::vector<std::uint8_t> VoiceWaveSamples(const std::vector<std::uint8_t>& riff);

} // namespace qv
