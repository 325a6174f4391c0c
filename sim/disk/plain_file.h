#pragma once
// The one plain file the user's 8051 program has open at a time. Linux has no share modes,
// so no lock is taken; the file must exist (it is never created here).
#include <cstdint>
#include <filesystem>
#include <optional>

namespace qv {
class ConfinedFolder;
class VarBank;
}

namespace qv::sim {

class PlainFile {
public:
    PlainFile() = default;
    ~PlainFile() { close(); }
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;

    // Closes the current file and opens `path` below `folder` for reading and writing (a
    // regular file only, reached through no link); on failure the current file stays invalid
    // and the other calls do nothing.
    void open(const ConfinedFolder& folder, const std::filesystem::path& path);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    void seek(std::uint32_t offset);
    std::optional<std::uint32_t> size() const;
    // Writes `length` bytes of `memory` from `address`, stopping at the bank's end.
    void write(const VarBank& memory, std::uint16_t address, std::uint32_t length);
    // Reads up to `length` bytes into `memory` at `address`, never past the bank's end.
    void read(VarBank& memory, std::uint16_t address, std::uint32_t length);

private:
    int fd_ = -1;
};

} // namespace qv::sim
