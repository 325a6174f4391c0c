#pragma once
// A speech engine with deterministic waves: the wave of a text depends on its first byte
// only, so many entries sound alike and share blocks. It can fail or ask for an abort at a
// chosen call.
#include "platform/speech/speech_engine.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace qv::test {

class FakeSpeechEngine : public SpeechEngine {
public:
    std::vector<SpeechVoice> Voices() override { return {{"Fake Mandarin", "fake-cmn", "cmn"}, {"Fake English", "fake-en", "en"}}; }

    bool SynthesizeWave(const SpeechRequest& request, std::vector<std::uint8_t>& riff, std::string* error) override
    {
        std::lock_guard lock(mutex);
        const int call = static_cast<int>(texts.size());
        texts.push_back(request.textUtf8);
        rates.push_back(request.rate);
        if (call == failAtCall) {
            if (error)
                *error = "the fake engine fails here";
            return false;
        }
        if (call == abortAtCall && abortFlag)
            abortFlag->store(true);
        riff = WaveOf(request.textUtf8);
        return true;
    }

    static std::vector<std::uint8_t> WaveOf(const std::string& text)
    {
        const std::uint8_t key = text.empty() ? 0 : static_cast<std::uint8_t>(text[0]);
        std::vector<std::uint8_t> wave(44 + key % 37 + 10, key);
        wave[0] = 'R';
        return wave;
    }

    std::mutex mutex;
    std::vector<std::string> texts;
    std::vector<int> rates;
    int failAtCall = -1;
    int abortAtCall = -1;
    std::atomic<bool>* abortFlag = nullptr;
};

} // namespace qv::test
