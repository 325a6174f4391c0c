#include "sim/vtf/saved_vars.h"

#include "model/vars/var_bank.h"
#include "platform/files/confined_folder.h"
#include "platform/files/stored_path.h"
#include "sim/vtf/vtf_layout.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace qv {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStoredName = "\\NandFlash\\VarToFlash.vtf";

// One read-modify-write at a time: the run-mode timer saves slot 0 while the emulator thread
// may save or clear other slots of the same file.
std::mutex g_fileMutex;

enum class Read { ok, missing, failed };

// `ok` only with the whole slot table present; a short or unreadable file is `failed`, and
// so is a link, a pipe or anything else that is not a plain file below the project folder.
Read readFile(const fs::path& projectDir, const fs::path& path, std::string& bytes)
{
    const FileFault fault = ConfinedFolder(projectDir).readWhole(path, bytes, vtf::kMaxFileSize);
    if (fault == FileFault::missing)
        return Read::missing;
    return fault == FileFault::none && bytes.size() >= vtf::kHeaderSize ? Read::ok : Read::failed;
}

bool writeFile(const fs::path& projectDir, const fs::path& path, const std::string& bytes)
{
    return ConfinedFolder(projectDir).replaceWhole(path, bytes);
}

std::span<std::uint8_t> asBytes(std::string& s)
{
    return {reinterpret_cast<std::uint8_t*>(s.data()), s.size()};
}

std::span<const std::uint8_t> headerOf(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), vtf::kHeaderSize};
}

} // namespace

std::optional<fs::path> SavedVarsFilePath(const fs::path& projectDir)
{
    // An empty folder would put the file beside the program.
    if (projectDir.empty())
        return std::nullopt;
    return resolveStoredPath(projectDir, kStoredName);
}

namespace {

// The file for a request on `slot`; nullopt for a slot outside 0..30 or no project folder.
std::optional<fs::path> fileForSlot(const fs::path& projectDir, int slot)
{
    if (!vtf::isUsableSlot(slot))
        return std::nullopt;
    return SavedVarsFilePath(projectDir);
}

} // namespace

bool SaveVarToFlash(const fs::path& projectDir, int slot, std::int64_t address, std::int64_t length,
                    const VarBank& live)
{
    if (address < 0 || length < 0 || address + length > vtf::kMaxRangeEnd)
        return false;
    const auto path = fileForSlot(projectDir, slot);
    if (!path)
        return false;
    std::lock_guard lock(g_fileMutex);

    std::string file;
    switch (readFile(projectDir, *path, file)) {
    case Read::failed:
        return false;
    case Read::missing: {
        std::error_code ec;
        if (!fs::is_directory(projectDir, ec))
            return false;
        file.assign(vtf::kHeaderSize, '\0');
        break;
    }
    case Read::ok:
        break;
    }
    const std::uint64_t fileSize = file.size();
    if (fileSize > std::numeric_limits<std::uint32_t>::max())
        return false;

    vtf::Slot s = vtf::readSlot(headerOf(file), slot);
    bool changed = false;
    if (!s.inUse) {
        s = {true, std::uint16_t(address), std::uint16_t(length), std::uint32_t(fileSize)};
        vtf::writeSlot(asBytes(file), slot, s);
        changed = true;
    } else if (s.address != address || s.length != length || !vtf::isSlotWritable(headerOf(file), slot, fileSize)) {
        return false;
    }

    std::vector<std::uint8_t> range(static_cast<std::size_t>(length));
    if (!live.readBytes(address, range))
        return false;
    const std::size_t end = std::size_t(s.dataOffset) + range.size();
    if (file.size() < end) {
        file.resize(end, '\0');
        changed = true;
    }
    auto area = asBytes(file).subspan(s.dataOffset, range.size());
    if (!std::equal(range.begin(), range.end(), area.begin())) {
        std::copy(range.begin(), range.end(), area.begin());
        changed = true;
    }
    // Saved every second: an unchanged range costs no disk write.
    return !changed || writeFile(projectDir, *path, file);
}

bool LoadVarToFlash(const fs::path& projectDir, int slot, VarBank& displayed, VarBank& live)
{
    const auto path = fileForSlot(projectDir, slot);
    if (!path)
        return false;
    std::string file;
    {
        std::lock_guard lock(g_fileMutex);
        if (readFile(projectDir, *path, file) != Read::ok)
            return false;
    }
    const vtf::Slot s = vtf::readSlot(headerOf(file), slot);
    // A damaged offset or length reads nothing rather than loading whatever lies past the end.
    if (!vtf::isSlotReadable(s, file.size()))
        return false;
    const auto bytes = asBytes(file).subspan(s.dataOffset, s.length);
    return displayed.writeBytes(s.address, bytes) && live.writeBytes(s.address, bytes);
}

bool ClearVarToFlashSlot(const fs::path& projectDir, int slot)
{
    const auto path = fileForSlot(projectDir, slot);
    if (!path)
        return false;
    std::lock_guard lock(g_fileMutex);
    std::string file;
    const Read read = readFile(projectDir, *path, file);
    if (read != Read::ok)
        return read == Read::missing;
    if (!vtf::readSlot(headerOf(file), slot).inUse)
        return true;
    vtf::writeSlot(asBytes(file), slot, vtf::Slot{});
    return writeFile(projectDir, *path, file);
}

} // namespace qv
