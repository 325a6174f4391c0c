#include "platform/speech/espeak_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

namespace qv {
namespace {

// How far the loudest 8-bit sample strays from silence (128).
int Loudness(const std::vector<std::uint8_t>& samples)
{
    int loudest = 0;
    for (std::uint8_t s : samples)
        loudest = std::max(loudest, std::abs(static_cast<int>(s) - 128));
    return loudest;
}

TEST(EspeakEngine, OffersMandarinPreselected)
{
    const auto voices = EspeakSpeechEngine().Voices();
    ASSERT_FALSE(voices.empty());
    const SpeechVoice& chosen = voices[static_cast<std::size_t>(PreselectedVoice(voices))];
    EXPECT_EQ(chosen.language.substr(0, 3), "cmn") << chosen.name;
}

TEST(EspeakEngine, SpeaksLibraryEntriesAsVoiceWaves)
{
    const auto voices = EspeakSpeechEngine().Voices();
    const std::string mandarin = voices[static_cast<std::size_t>(PreselectedVoice(voices))].identifier;
    for (const char8_t* text : {u8"一", u8" 0"}) {
        std::vector<std::uint8_t> riff;
        std::string error;
        ASSERT_TRUE(EspeakSpeechEngine().SynthesizeWave({reinterpret_cast<const char*>(text), mandarin, 0}, riff, &error)) << error;
        const auto samples = VoiceWaveSamples(riff);
        EXPECT_GT(samples.size(), 400u) << "at least 50 ms of speech";
        EXPECT_GT(Loudness(samples), 20);
    }
    std::vector<std::uint8_t> riff;
    EXPECT_FALSE(EspeakSpeechEngine().SynthesizeWave({"a", "no-such-voice", 0}, riff));
    ASSERT_TRUE(EspeakSpeechEngine().SynthesizeWave({"", mandarin, 0}, riff));
    EXPECT_EQ(riff.size(), 44u);
}

TEST(EspeakEngine, CallersOnSeveralThreadsEachGetTheirWave)
{
    const char* texts[] = {reinterpret_cast<const char*>(u8"二"), reinterpret_cast<const char*>(u8"三"), "7", ""};
    std::vector<std::vector<std::uint8_t>> results(std::size(texts));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] { EspeakSpeechEngine().SynthesizeWave({texts[i], "", 3}, results[i]); });
    for (auto& t : threads)
        t.join();
    for (std::size_t i = 0; i + 1 < results.size(); ++i)
        EXPECT_GT(Loudness(VoiceWaveSamples(results[i])), 20) << i;
    EXPECT_EQ(results.back().size(), 44u);
}

TEST(SpeechRate, SliderAroundTheNormalRate)
{
    struct Case { int slider, wpm; };
    for (const Case& c : {Case{-10, 80}, Case{-5, 128}, Case{0, 175}, Case{5, 312}, Case{10, 450}, Case{-99, 80}, Case{99, 450}})
        EXPECT_EQ(SpeechRateWordsPerMinute(c.slider), c.wpm) << c.slider;
}

TEST(VoicePreselection, MandarinThenChineseThenFirst)
{
    const std::vector<SpeechVoice> voices{{"English", "en", "en"}, {"Cantonese", "yue", "zh-yue"}, {"Mandarin", "cmn", "cmn"}};
    EXPECT_EQ(PreselectedVoice(voices), 2);
    EXPECT_EQ(PreselectedVoice({voices[0], voices[1]}), 1);
    EXPECT_EQ(PreselectedVoice({voices[0]}), 0);
    EXPECT_EQ(PreselectedVoice({}), 0);
}

TEST(VoiceWave, ConvertsToEightKilohertzEightBitMono)
{
    constexpr int kRate = 22050;
    std::vector<std::int16_t> tone(kRate / 2);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<std::int16_t>(16000 * std::sin(2 * M_PI * 300 * static_cast<double>(i) / kRate));
    const auto riff = MakeVoiceWave(tone.data(), tone.size(), kRate);
    ASSERT_GE(riff.size(), 44u);
    EXPECT_EQ(std::string(riff.begin(), riff.begin() + 4), "RIFF");
    EXPECT_EQ(riff[4] | riff[5] << 8 | riff[6] << 16, static_cast<int>(riff.size()) - 8);
    const auto samples = VoiceWaveSamples(riff);
    EXPECT_NEAR(static_cast<double>(samples.size()), 4000.0, 40.0);
    EXPECT_GT(Loudness(samples), 50);

    auto sixteenBit = riff;
    sixteenBit[34] = 16;
    EXPECT_TRUE(VoiceWaveSamples(sixteenBit).empty());
    EXPECT_TRUE(VoiceWaveSamples({riff.begin(), riff.begin() + 20}).empty());
    auto overlong = riff;
    overlong[41] = 0x7F; // a data length past the file reads what is there
    EXPECT_EQ(VoiceWaveSamples(overlong).size(), samples.size());
}

} // namespace
} // namespace qv
