#pragma once
// The panel's flash as the download tool writes it, one row per flash type the panel reports
// ('X'). Types 5..9 are two-chip boards without a layout here: nothing is written to them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace qv::picture_tool {

struct FlashGeometry {
    int type = 0;
    std::uint32_t capacity = 0;
    std::uint32_t page = 0;
    std::uint32_t block = 0;
    std::uint32_t baseOffset = 0;   // first picture, above the directory address
    int pictureLimit = 0;
    int allocShift = 0;             // pictures start on multiples of 1 << allocShift
    int unitShift = 0;              // directory unit number = address >> unitShift
    std::uint32_t pageInUnitMask = 0;

    std::uint32_t pageMask() const { return page - 1; }
    std::uint32_t blockMask() const { return ~(block - 1); }
    std::uint32_t allocUnit() const { return 1u << allocShift; }
    // No picture starts above this address; the top 2 MiB are the panel's own.
    std::uint32_t pictureAreaEnd() const { return capacity - kReservedTop; }
    // Entries one directory block holds.
    int directoryCapacity() const { return static_cast<int>((block - 12) / 24); }
    // The smaller of the type's limit and the directory's room.
    int maxPictures() const;
    std::uint64_t roundToPages(std::uint64_t n) const { return (n + page - 1) / page * page; }
    std::uint32_t blockStart(std::uint32_t address) const { return address & blockMask(); }

    static constexpr std::uint32_t kReservedTop = 2u << 20;
};

inline constexpr int kFlashTypeCount = 10;

// The geometry of a flash type, nullopt for 5..9 and anything else.
std::optional<FlashGeometry> flashGeometry(int type);

// The entries of the flash-capacity choice, by type (GBK).
const std::array<std::string, kFlashTypeCount>& flashCapacityTexts();

} // namespace qv::picture_tool
