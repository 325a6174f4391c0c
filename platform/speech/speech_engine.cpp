#include "platform/speech/speech_engine.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

namespace qv {
namespace {

// The library's own bounds (words per minute).
constexpr int kRateSlowest = 80;
constexpr int kRateNormal = 175;
constexpr int kRateFastest = 450;

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

constexpr std::size_t kVoiceHeaderSize = 44;

} // namespace

int PreselectedVoice(const std::vector<SpeechVoice>& voices)
{
    for (const char* prefix : {"cmn", "zh"})
        for (std::size_t i = 0; i < voices.size(); ++i)
            if (voices[i].language.rfind(prefix, 0) == 0)
                return static_cast<int>(i);
    return 0;
}

int SpeechRateWordsPerMinute(int slider)
{
    slider = std::clamp(slider, -10, 10);
    const int span = slider < 0 ? kRateNormal - kRateSlowest : kRateFastest - kRateNormal;
    return kRateNormal + slider * span / 10;
}

std::vector<std::uint8_t> MakeVoiceWave(const std::int16_t* samples, std::size_t count, int sampleRate)
{
    std::vector<std::uint8_t> pcm;
    // SDL's converter (its audio stream drops the tail of a flushed input in SDL 2.26).
    SDL_AudioCVT cvt;
    if (count > 0 && sampleRate > 0 && count < (1u << 26) &&
        SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, 1, sampleRate, AUDIO_U8, 1, kVoiceWaveRate) >= 0) {
        cvt.len = static_cast<int>(count * sizeof(std::int16_t));
        std::vector<std::uint8_t> work(static_cast<std::size_t>(cvt.len) * static_cast<std::size_t>(std::max(cvt.len_mult, 1)));
        std::memcpy(work.data(), samples, count * sizeof(std::int16_t));
        cvt.buf = work.data();
        if (SDL_ConvertAudio(&cvt) == 0)
            pcm.assign(work.begin(), work.begin() + cvt.len_cvt);
    }
    std::vector<std::uint8_t> out;
    out.reserve(kVoiceHeaderSize + pcm.size());
    PutTag(out, "RIFF");
    PutU32(out, static_cast<std::uint32_t>(36 + pcm.size()));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1); // PCM
    PutU16(out, 1); // mono
    PutU32(out, kVoiceWaveRate);
    PutU32(out, kVoiceWaveRate); // bytes per second
    PutU16(out, 1);              // block align
    PutU16(out, 8);              // bits per sample
    PutTag(out, "data");
    PutU32(out, static_cast<std::uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

std::vector<std::uint8_t> VoiceWaveSamples(const std::vector<std::uint8_t>& riff)
{
    if (riff.size() < kVoiceHeaderSize || std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0 ||
        std::memcmp(riff.data() + 12, "fmt ", 4) != 0 || riff[20] != 1 || riff[22] != 1 || U32At(riff, 24) != kVoiceWaveRate ||
        riff[34] != 8 || std::memcmp(riff.data() + 36, "data", 4) != 0)
        return {};
    const std::size_t length = std::min<std::size_t>(U32At(riff, 40), riff.size() - kVoiceHeaderSize);
    return {riff.begin() + kVoiceHeaderSize, riff.begin() + static_cast<std::ptrdiff_t>(kVoiceHeaderSize + length)};
}

} // namespace qv
