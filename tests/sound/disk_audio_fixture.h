#pragma once
// SDL's disk audio driver writes what the mixer plays into a file in the test's folder, so a
// test can hear a sound without a sound card. The driver is picked when a player opens its
// device, so each test sets it before its first sound.
#include "tests/fixtures/temp_dir.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qv::test {

// A RIFF wave of a tone: 16-bit mono PCM.
inline std::vector<std::uint8_t> MakeToneWave(double seconds, int rate = 22050, double hz = 440, double amplitude = 12000)
{
    const auto samples = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::uint8_t> out;
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i))); };
    auto u16 = [&](std::uint16_t v) { out.push_back(static_cast<std::uint8_t>(v)); out.push_back(static_cast<std::uint8_t>(v >> 8)); };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF"); u32(36 + samples * 2); tag("WAVE");
    tag("fmt "); u32(16); u16(1); u16(1); u32(static_cast<std::uint32_t>(rate)); u32(static_cast<std::uint32_t>(rate) * 2); u16(2); u16(16);
    tag("data"); u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate))));
    return out;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The largest absolute 16-bit sample the disk driver wrote.
inline int LoudestSample(const std::filesystem::path& raw)
{
    const auto bytes = ReadBytes(raw);
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto s = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
        loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    }
    return loudest;
}

class DiskAudio {
public:
    DiskAudio()
    {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", raw().c_str(), 1);
    }
    ~DiskAudio() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }
    std::filesystem::path raw() const { return dir.path() / "out.raw"; }
    std::filesystem::path operator/(const std::string& name) const { return dir / name; }
    TempDir dir;
};

} // namespace qv::test
