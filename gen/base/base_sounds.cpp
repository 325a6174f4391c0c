#include "gen/base/base_sounds.h"

#include "platform/files/atomic_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace qv::gen {

namespace {

constexpr int kRate = 8000;

// One sound: up to three tones of `ms` milliseconds each, one after the other.
struct SoundDef {
    const char8_t* name;
    std::array<int, 3> hertz; // 0: no tone
    int ms;
};

constexpr std::array<SoundDef, 6> kSounds{{
    {u8"蜂鸣器.wav", {2000, 0, 0}, 150},
    {u8"开始擦除.wav", {660, 880, 0}, 120},
    {u8"开始编程.wav", {660, 990, 0}, 120},
    {u8"开始校验.wav", {660, 1320, 0}, 120},
    {u8"任务完成.wav", {523, 659, 784}, 150},
    {u8"任务失败.wav", {440, 330, 220}, 200},
}};

void putLe(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// 16-bit mono PCM: the tones at half volume, faded in and out over 5 ms to avoid clicks.
std::string encodeWave(const SoundDef& def)
{
    std::string samples;
    const int perTone = kRate * def.ms / 1000;
    const int fade = kRate * 5 / 1000;
    for (int hz : def.hertz) {
        if (hz == 0)
            continue;
        for (int i = 0; i < perTone; ++i) {
            const double envelope = std::min({1.0, double(i) / fade, double(perTone - i) / fade});
            const double v = 16000.0 * envelope * std::sin(2 * M_PI * hz * i / kRate);
            putLe(samples, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))), 2);
        }
    }
    std::string out = "RIFF";
    putLe(out, static_cast<std::uint32_t>(36 + samples.size()), 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);         // PCM
    putLe(out, 1, 2);         // mono
    putLe(out, kRate, 4);
    putLe(out, kRate * 2, 4); // bytes per second
    putLe(out, 2, 2);         // block align
    putLe(out, 16, 2);        // bits per sample
    out += "data";
    putLe(out, static_cast<std::uint32_t>(samples.size()), 4);
    return out + samples;
}

} // namespace

bool writeBaseSounds(const std::filesystem::path& base, std::string* error)
{
    const auto folder = base / "images" / "Sound";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (const SoundDef& def : kSounds)
        if (!writeFileAtomically(folder / std::filesystem::path(def.name), encodeWave(def), error))
            return false;
    return true;
}

} // namespace qv::gen
