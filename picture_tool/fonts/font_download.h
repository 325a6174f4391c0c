#pragma once
// Font libraries: the boxes of the choice and the slots and bytes each chooses, the files
// "zk/<slot>.zk", and their download near the top of the flash with the font directory at
// 1 x block (or 3 x block when that block is bad). Fonts whose files do not open are named.
#include "picture_tool/download/download_report.h"
#include "picture_tool/flash/flash_geometry.h"
#include "picture_tool/download/picture_download.h"
#include "picture_tool/link/tool_link.h"

#include <array>
#include <filesystem>
#include <set>
#include <vector>

namespace qv::picture_tool {

struct FontSelection {
    std::array<bool, 59> chosen{};
    bool confirmed = false;
    std::uint64_t total = 0;
    int count = 0;
};

inline constexpr int kOwnFontsBox = 1121;
inline constexpr int kFirstOwnFont = 28;

// A box of the choice: its id, the slot whose choice ticks it, its text (GBK).
struct FontBoxView {
    int id;
    int slot;
    const char* text;
};
std::vector<FontBoxView> fontBoxes();

// The selection of the ticked boxes (ids of the choice dialog: 1104 .. 1129, 1138, 1121).
FontSelection chooseFonts(const std::set<int>& ticked);

// A font directory block: zero, the fixed cells of the predefined slots, 'Z' last.
std::vector<std::uint8_t> emptyFontDirectory(const FlashGeometry& g);

// Writes one font's data at `address`, past bad blocks, enters its address in slot `slot`
// of the directory and moves `address` past it.
Placed placeFont(std::vector<std::uint8_t>& directory, int slot, std::span<const std::uint8_t> data,
                 std::uint64_t& address, const FlashGeometry& g, ToolLink& link, DownloadReport& report,
                 TransferContext& context);

std::filesystem::path fontPath(const std::filesystem::path& folder, int slot);

// The font maker: puts width and height (u16 each, little-endian) in front of a font file of
// the user's own, written whole or not at all. Nothing happens to a file that does not open.
// The message (GBK) tells the user what came of it; empty when the file did not open.
std::string addFontPrefix(const std::filesystem::path& file, std::uint16_t width, std::uint16_t height);

// Writes the chosen fonts; true when their directory was written.
bool downloadFonts(const FontSelection& selection, const std::filesystem::path& folder, const FlashGeometry& g,
                   ToolLink& link, TransferContext& context, DownloadReport& report);

} // namespace qv::picture_tool
