#pragma once
// A project folder with a voice library on its USB disk, the variable memory the program
// sees, and a player that records what it is asked to play.
#include "platform/sound/sound_player.h"
#include "sim/calls/panel_service_call.h"
#include "sim/sound/sound_service.h"
#include "sim/voice/yyk_library.h"
#include "tests/fixtures/disk_audio.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qv::test {

// Plays nothing: records the file and its bytes; every sound has finished at once.
class RecordingPlayer : public SoundPlayer {
public:
    struct Played {
        std::filesystem::path file;
        SoundType type;
        std::string bytes;
    };
    // The services hand over an open descriptor's path: the file it names is recorded.
    bool Play(const std::filesystem::path& file, SoundType type) override
    {
        open_ = false;
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return false;
        std::error_code ec;
        const auto named = file.parent_path() == "/proc/self/fd" ? std::filesystem::read_symlink(file, ec) : file;
        played.push_back({named, type, {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}});
        open_ = true;
        return true;
    }
    bool PlayWaveBytes(std::vector<std::uint8_t> riff) override
    {
        played.push_back({{}, SoundType::Wave, {riff.begin(), riff.end()}});
        open_ = !riff.empty();
        return open_;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    std::optional<SoundStatus> Status() const override
    {
        return open_ ? std::optional<SoundStatus>(SoundStatus{1, 1}) : std::nullopt;
    }
    void SetVolume(int percent) override { volume = percent; }
    int Volume() const override { return volume; }
    void PlayClick(const std::filesystem::path& wave) override { clicks.push_back(wave); }

    std::vector<Played> played;
    std::vector<std::filesystem::path> clicks;
    int volume = 100;

private:
    bool open_ = false;
};

// The wave the test library holds for entry n: distinct per entry.
inline std::vector<std::uint8_t> EntryWave(int n)
{
    std::string text = "RIFF-wave-of-entry-" + std::to_string(n);
    return {text.begin(), text.end()};
}

inline void WriteLibrary(const std::filesystem::path& file, const std::function<std::vector<std::uint8_t>(int)>& waveOf = EntryWave)
{
    std::filesystem::create_directories(file.parent_path());
    sim::YykWriter writer(file);
    ASSERT_TRUE(writer.Start());
    for (int n = 0; n < sim::kYykEntries; ++n)
        ASSERT_TRUE(writer.Add(n, waveOf(n)));
    ASSERT_TRUE(writer.Commit());
}

inline std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class SoundServiceFixture : public ::testing::Test {
protected:
    SoundServiceFixture() { service.SetProjectFolder(project.path()); }

    std::filesystem::path LibraryOn(const char* drive) const { return project.path() / drive / "SOUND.YYK"; }

    // Puts `text` (GBK bytes) with its NUL at `address`.
    void PutText(std::uint16_t address, const std::string& text)
    {
        for (std::size_t i = 0; i < text.size(); ++i)
            memory.writeByte(address + static_cast<std::int64_t>(i), static_cast<std::uint8_t>(text[i]));
        memory.writeByte(address + static_cast<std::int64_t>(text.size()), 0);
    }

    std::string TextAt(std::uint16_t address)
    {
        sim::PanelServiceCall call{memory};
        return call.TextAt(address).value_or("<no text>");
    }

    // Service 65 with the sub-code and P1; returns CmdAdr1.
    int Sound(int subCode, std::uint16_t p1 = 0, std::uint16_t p2 = 0)
    {
        sim::PanelServiceCall call{memory};
        call.regs[0] = sim::kSoundService;
        call.regs[1] = static_cast<std::uint8_t>(subCode);
        call.regs[2] = static_cast<std::uint8_t>(p1);
        call.regs[3] = static_cast<std::uint8_t>(p1 >> 8);
        call.regs[4] = static_cast<std::uint8_t>(p2);
        call.regs[5] = static_cast<std::uint8_t>(p2 >> 8);
        service.Serve(call);
        return call.regs[1];
    }

    int SelectLibrary(const std::string& name)
    {
        PutText(0x100, name);
        return Sound(7, 0x100);
    }

    // Advances the playlist until it ends; the file names played, in order.
    std::vector<std::string> SpokenPieces()
    {
        for (int guard = 0; service.PlaylistActive() && guard < 100000; ++guard)
            service.AdvancePlaylist();
        std::vector<std::string> names;
        for (const auto& p : player.played)
            names.push_back(p.file.filename().string());
        return names;
    }

    TempDir project;
    VarBank memory;
    RecordingPlayer player;
    sim::SoundService service{player};
};

} // namespace qv::test
