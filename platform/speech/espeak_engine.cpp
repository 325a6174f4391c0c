#include "platform/speech/espeak_engine.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

namespace qv {
namespace {

struct Collected {
    std::vector<std::int16_t> samples;
};

int CollectSamples(short* wav, int count, espeak_EVENT* events)
{
    if (wav && count > 0 && events && events->user_data)
        static_cast<Collected*>(events->user_data)->samples.insert(static_cast<Collected*>(events->user_data)->samples.end(), wav, wav + count);
    return 0;
}

class EspeakEngine final : public SpeechEngine {
public:
    std::vector<SpeechVoice> Voices() override
    {
        std::lock_guard lock(mutex_);
        std::vector<SpeechVoice> out;
        if (!StartedLocked())
            return out;
        const espeak_VOICE** list = espeak_ListVoices(nullptr);
        for (; list && *list; ++list) {
            const espeak_VOICE* v = *list;
            SpeechVoice voice;
            voice.name = v->name ? v->name : "";
            voice.identifier = v->identifier ? v->identifier : voice.name;
            if (v->languages && v->languages[0])
                voice.language = v->languages + 1; // after the priority byte
            out.push_back(std::move(voice));
        }
        return out;
    }

    bool SynthesizeWave(const SpeechRequest& request, std::vector<std::uint8_t>& riff, std::string* error) override
    {
        std::lock_guard lock(mutex_);
        auto fail = [&](const char* why) {
            if (error)
                *error = why;
            return false;
        };
        if (!StartedLocked())
            return fail("the speech library could not start (espeak-ng-data missing?)");
        if (!request.voice.empty() && espeak_SetVoiceByName(request.voice.c_str()) != EE_OK)
            return fail("the speech library does not know this voice");
        espeak_SetParameter(espeakRATE, SpeechRateWordsPerMinute(request.rate), 0);
        Collected collected;
        if (!request.textUtf8.empty()) {
            if (espeak_Synth(request.textUtf8.c_str(), request.textUtf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                             &collected) != EE_OK)
                return fail("the speech library refused the text");
            if (espeak_Synchronize() != EE_OK)
                return fail("the speech library did not finish the text");
        }
        riff = MakeVoiceWave(collected.samples.data(), collected.samples.size(), sampleRate_);
        return true;
    }

private:
    bool StartedLocked()
    {
        if (!tried_) {
            tried_ = true;
            sampleRate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
            if (sampleRate_ > 0)
                espeak_SetSynthCallback(&CollectSamples);
        }
        return sampleRate_ > 0;
    }

    std::mutex mutex_;
    bool tried_ = false;
    int sampleRate_ = 0;
};

} // namespace

SpeechEngine& EspeakSpeechEngine()
{
    static EspeakEngine engine;
    return engine;
}

} // namespace qv
