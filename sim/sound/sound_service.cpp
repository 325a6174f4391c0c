#include "sim/sound/sound_service.h"

#include "platform/files/confined_folder.h"
#include "platform/text/gbk.h"
#include "sim/sound/number_words.h"
#include "sim/sound/sound_drives.h"
#include "sim/voice/yyk_library.h"

#include <fmt/format.h>

#include <fcntl.h>

namespace qv::sim {
namespace {

enum SubCode : std::uint8_t { kPlayFile = 1, kStop = 2, kProgress = 3, kVolume = 4, kSpeakText = 5, kSpeakNumber = 6, kSelectLibrary = 7 };

constexpr std::size_t kMaxFileName = 15;

// Cache files are named by the character itself, as a host name in UTF-8; a code the
// codec has no character for is named by its bytes in hexadecimal.
std::string CacheFileName(std::string_view character)
{
    if (auto utf8 = gbkToUtf8(character); utf8 && !utf8->empty() && *utf8 != "/")
        return *utf8;
    std::string hex;
    for (char c : character)
        hex += fmt::format("{:02X}", static_cast<unsigned char>(c));
    return hex;
}

// Plays the regular file at `file` below `folder`: the player opens the descriptor checked
// here, so a link or a pipe put in its place is never followed or opened.
bool PlayConfined(SoundPlayer& player, const ConfinedFolder& folder, const std::filesystem::path& file, SoundType type)
{
    const UniqueFd fd = folder.openFile(file, O_RDONLY);
    return fd && player.Play(descriptorPath(fd.get()), type);
}

std::atomic<SoundService*> g_simulatorSound{nullptr};

} // namespace

SoundService::SoundService(SoundPlayer& player) : player_(player) {}

void SoundService::SetProjectFolder(std::filesystem::path folder)
{
    std::lock_guard lock(mutex_);
    projectFolder_ = std::move(folder);
}

std::optional<std::filesystem::path> SoundService::NameAtP1(PanelServiceCall& call, std::string* upper) const
{
    const auto name = call.TextAt(call.P1(), kMaxFileName);
    if (!name)
        return std::nullopt;
    const std::string folded = UpperCaseSoundName(*name);
    call.StoreTextAt(call.P1(), folded);
    if (upper)
        *upper = folded;
    return MapSoundPath(projectFolder_, folded);
}

void SoundService::Serve(PanelServiceCall& call)
{
    std::lock_guard lock(mutex_);
    switch (call.SubCode()) {
    case kPlayFile:
        call.SetResult(PlayFile(call));
        break;
    case kStop:
        StopLocked();
        call.SetResult(1);
        break;
    case kProgress:
        call.SetResult(static_cast<std::uint8_t>(ProgressLocked()));
        call.dirty = true;
        break;
    case kVolume:
        player_.SetVolume(call.regs[2]);
        break;
    case kSpeakText: {
        StopLocked();
        const auto text = call.TextAt(call.P1());
        call.SetResult(text && SpeakLocked(*text) ? 1 : 0);
        break;
    }
    case kSpeakNumber: {
        StopLocked();
        const auto raw = call.memory.read(call.P2(), 4);
        const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw.value_or(0)));
        call.SetResult(raw && SpeakLocked(NumberToWords(value, call.regs[2], call.regs[3] != 0)) ? 1 : 0);
        break;
    }
    case kSelectLibrary:
        call.SetResult(SelectLibrary(call));
        break;
    default:
        break;
    }
}

std::uint8_t SoundService::PlayFile(PanelServiceCall& call)
{
    StopLocked();
    std::string name;
    const auto path = NameAtP1(call, &name);
    if (!path)
        return 0;
    const char last = name.back();
    if (last != 'V' && last != '3')
        return 0;
    return PlayConfined(player_, ConfinedFolder(projectFolder_), *path, last == 'V' ? SoundType::Wave : SoundType::Mpeg) ? 1 : 0;
}

std::uint8_t SoundService::SelectLibrary(PanelServiceCall& call)
{
    StopLocked();
    std::string name;
    const auto path = NameAtP1(call, &name);
    const ConfinedFolder folder(projectFolder_);
    if (!path || !folder.openFile(*path, O_RDONLY))
        return 0;
    const SoundDrive* drive = SoundDriveOf(name[0]);
    // A cache folder that is a link is refused: emptying it would delete the files it leads to.
    const auto cache = VoiceCachePath(projectFolder_, *drive);
    if (!cache || !folder.emptyFolder(*cache))
        return 0;
    libraryName_ = name;
    libraryName_[0] = drive->letter;
    return 1;
}

bool SoundService::Speak(const std::string& text)
{
    std::lock_guard lock(mutex_);
    StopLocked();
    return SpeakLocked(text);
}

bool SoundService::SpeakLocked(const std::string& text)
{
    const SoundDrive* drive = libraryName_.empty() ? nullptr : SoundDriveOf(libraryName_[0]);
    if (!drive)
        return false;
    const auto libraryPath = VoiceLibraryPath(projectFolder_, *drive);
    const auto cache = VoiceCachePath(projectFolder_, *drive);
    const ConfinedFolder folder(projectFolder_);
    std::optional<YykReader> library = libraryPath ? YykReader::Open(folder, *libraryPath) : std::nullopt;
    if (!library || !cache || !folder.openFolder(*cache, true))
        return false;

    pieces_.clear();
    for (std::size_t i = 0; i < text.size() && pieces_.size() < kMaxSpokenCharacters; i += gbkCharLength(text, i)) {
        const std::string_view character = std::string_view(text).substr(i, gbkCharLength(text, i));
        const auto entry = YykEntryOfChar(character);
        if (!entry) {
            pieces_.emplace_back(); // counted, and skipped when its turn comes
            continue;
        }
        const std::filesystem::path file = *cache / CacheFileName(character);
        // Written under a temporary name and renamed, so a half-written wave is never played;
        // not flushed: the library can always give it again.
        if (folder.kindOf(file) == FileFault::missing)
            if (const auto wave = library->Wave(*entry))
                folder.replaceWhole(file, std::string_view(reinterpret_cast<const char*>(wave->data()), wave->size()), false);
        pieces_.push_back(file);
    }
    nextPiece_ = 0;
    currentPiece_ = 0;
    playlistActive_.store(true, std::memory_order_relaxed);
    return true;
}

void SoundService::OnEmulatorPass(std::uint64_t passes)
{
    passes_ += passes;
    if (passes_ < kPassesPerCheck)
        return;
    passes_ = 0;
    if (PlaylistActive())
        AdvancePlaylist();
}

void SoundService::AdvancePlaylist()
{
    std::lock_guard lock(mutex_);
    if (!PlaylistActive())
        return;
    const auto status = player_.Status();
    if (status && SoundProgressPercent(*status) < 100)
        return;
    ++currentPiece_;
    if (currentPiece_ <= pieces_.size()) {
        player_.Close();
        if (nextPiece_ < pieces_.size()) {
            const std::filesystem::path& file = pieces_[nextPiece_++];
            if (!file.empty())
                PlayConfined(player_, ConfinedFolder(projectFolder_), file, SoundType::Wave);
        } else {
            currentPiece_ = pieces_.size();
        }
    }
    if (currentPiece_ > pieces_.size())
        playlistActive_.store(false, std::memory_order_relaxed);
}

int SoundService::ProgressLocked() const
{
    if (!PlaylistActive()) {
        const auto status = player_.Status();
        return status ? SoundProgressPercent(*status) : 100;
    }
    if (pieces_.empty())
        return 100;
    return static_cast<int>(currentPiece_ * 100 / (pieces_.size() + 1));
}

int SoundService::ProgressPercent() const
{
    std::lock_guard lock(mutex_);
    return ProgressLocked();
}

std::string SoundService::LibraryName() const
{
    std::lock_guard lock(mutex_);
    return libraryName_;
}

void SoundService::StopLocked()
{
    playlistActive_.store(false, std::memory_order_relaxed);
    pieces_.clear();
    player_.Close();
}

void SoundService::CloseSound()
{
    std::lock_guard lock(mutex_);
    StopLocked();
}

void InstallSimulatorSound(SoundService* service) { g_simulatorSound.store(service); }

void CloseSound()
{
    if (SoundService* service = g_simulatorSound.load())
        service->CloseSound();
}

} // namespace qv::sim
