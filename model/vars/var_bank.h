#pragma once
// One 64 KiB bank of the variable memory (m_VarMem, m_VarMemRun). The simulator's threads
// (8051 emulator, serial parsers) share it with the user-interface thread, so every byte is
// a relaxed atomic; multi-byte values are little-endian. Every access is checked as a whole:
// one that would leave the bank is refused and touches nothing.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qv {

inline constexpr std::int64_t kVarMemSize = 0x10000;

// True when `width` bytes starting at `address` lie inside the bank.
constexpr bool isValidVarRange(std::int64_t address, std::int64_t width)
{
    return width > 0 && address >= 0 && width <= kVarMemSize && address <= kVarMemSize - width;
}

class VarBank {
public:
    VarBank() = default;
    VarBank(const VarBank&) = delete;
    VarBank& operator=(const VarBank&) = delete;

    // width 1, 2, 4 or 8; nullopt (read) or false (write) for another width or a range
    // outside the bank.
    std::optional<std::uint64_t> read(std::int64_t address, int width) const;
    bool write(std::int64_t address, int width, std::uint64_t value);

    std::optional<std::uint8_t> readByte(std::int64_t address) const;
    bool writeByte(std::int64_t address, std::uint8_t value);
    // A 16-bit address cannot leave the bank, so these need no check (the emulator's MOVX).
    std::uint8_t byteAt(std::uint16_t address) const { return bytes_[address].load(std::memory_order_relaxed); }
    void setByteAt(std::uint16_t address, std::uint8_t value) { bytes_[address].store(value, std::memory_order_relaxed); }

    // By HMI type code (0..5): signed types are sign-extended on reading; writing stores the
    // low bytes of `value`. nullopt / false for an unknown code or a range outside the bank.
    std::optional<std::int64_t> readTyped(std::int64_t address, int typeCode) const;
    bool writeTyped(std::int64_t address, int typeCode, std::int64_t value);

    // Byte ranges (compiler image, saved non-volatile ranges).
    bool readBytes(std::int64_t address, std::span<std::uint8_t> out) const;
    bool writeBytes(std::int64_t address, std::span<const std::uint8_t> in);

    void clear();
    void copyFrom(const VarBank& other);
    std::vector<std::uint8_t> snapshot() const;

private:
    std::array<std::atomic<std::uint8_t>, kVarMemSize> bytes_{};
};

} // namespace qv
