#include "tests/compiler/image_walker.h"

#include <algorithm>

namespace qv::test {
namespace {

constexpr std::uint64_t kHeaderArea = 0x200000;
constexpr std::uint64_t kStartMap = 0x1FFE00;

std::uint64_t le(const std::string& s, std::uint64_t at, int width)
{
    std::uint64_t v = 0;
    for (int i = 0; i < width; ++i)
        v |= std::uint64_t(static_cast<unsigned char>(s.at(at + i))) << (8 * i);
    return v;
}

std::uint64_t pageRound(std::uint64_t n, std::uint32_t mask) { return (n + mask) & ~std::uint64_t(mask); }

} // namespace

std::uint32_t fileU32(const std::string& image, std::uint64_t offset) { return std::uint32_t(le(image, offset, 4)); }
std::uint32_t startMapU32(const std::string& image, std::uint32_t offset) { return std::uint32_t(le(image, kStartMap + offset, 4)); }
std::uint16_t startMapU16(const std::string& image, std::uint32_t offset) { return std::uint16_t(le(image, kStartMap + offset, 2)); }
std::uint8_t startMapU8(const std::string& image, std::uint32_t offset) { return std::uint8_t(le(image, kStartMap + offset, 1)); }

WalkedImage walkImage(const std::string& s)
{
    WalkedImage w;
    if (s.size() < kHeaderArea) {
        w.error = "shorter than the header area";
        return w;
    }
    if (startMapU16(s, 0x000) != 0x8184) {
        w.error = "no start map magic";
        return w;
    }
    w.pageMask = startMapU32(s, 0x034);
    w.windowCount = std::uint16_t(le(s, 0x22, 2));
    std::uint64_t recordsEnd = 0x24 + 8ull * w.windowCount;
    for (std::uint32_t i = 0; i < w.windowCount; ++i) {
        WalkedWindow win{fileU32(s, 0x24 + 8ull * i), fileU32(s, 0x24 + 8ull * i + 4)};
        if (win.offset % 4 != 0 || win.offset < 0x24 + 8ull * w.windowCount || win.offset + win.length > kStartMap) {
            w.error = "window record outside the header area";
            return w;
        }
        recordsEnd = std::max<std::uint64_t>(recordsEnd, win.offset + win.length);
        w.windows.push_back(win);
    }
    if (startMapU32(s, 0x008) != pageRound(recordsEnd, w.pageMask) || startMapU32(s, 0x1FC) != startMapU32(s, 0x008)) {
        w.error = "header bytes used does not match the records";
        return w;
    }

    // Behind the header area: the cursor data (its page-rounded length in cursor entry 0),
    // then picture data (none while windows compile to empty records), then the blocks.
    w.error = walkBlocks(s, kHeaderArea + fileU32(s, 0), w.pageMask, w);
    return w;
}

std::string walkBlocks(const std::string& s, std::uint64_t at, std::uint32_t pageMask, WalkedImage& w)
{
    w.variableMemoryAt = at;
    w.variableMemoryLength = pageRound(startMapU32(s, 0x024), pageMask);
    at += w.variableMemoryLength;
    if (const std::uint32_t plc = startMapU32(s, 0x130)) {
        w.plcBlockAt = at;
        w.plcBlockLength = pageRound(plc, pageMask);
        if (at + 2 > s.size() || plc != 48 + 16 * le(s, at, 2))
            return "PLC block length does not match its record count";
        at += w.plcBlockLength;
    }
    if (const std::uint32_t code = startMapU32(s, 0x134)) {
        w.userCodeAt = at;
        if (at + 12 > s.size())
            return "user code block beyond the file's end";
        for (int i = 0; i < 3; ++i)
            w.userCodeHead[i] = fileU32(s, at + 4 * i);
        w.userCodeLength = pageRound(12 + code, pageMask);
        at += w.userCodeLength;
    }
    if (at != s.size())
        return "walk ended at " + std::to_string(at) + " of " + std::to_string(s.size());
    return "";
}

} // namespace qv::test
