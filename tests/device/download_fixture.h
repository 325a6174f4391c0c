#pragma once
// A small synthetic project image built from the image layout, the project folder around
// it, and a walker that reads a panel's flash back from the start map as the panel does and
// compares every piece with what the image and the project hold.
#include "compiler/image/image_layout.h"
#include "compiler/image/le_bytes.h"
#include "device/download/download_job.h"
#include "tests/device/device_command_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <numeric>

namespace qv::device::test {

using image::getU32;
using image::putU16;
using image::putU32;
namespace sm = image::sm;

inline constexpr std::uint32_t kBlock = 0x4000; // FLASH size code 0
inline constexpr std::uint32_t kPage = 512;

// One field an item's writer patches, and what the walker expects of it.
struct FieldCheck {
    enum Kind { Area, Relative, Constant } kind;
    std::uint32_t window;
    std::uint32_t item;     // item offset inside the record
    std::uint32_t field;    // field offset inside the item
    Bytes bytes;            // Area: the bytes at the address
    std::uint32_t base = 0; // Relative: value = value of field `base` + delta
    std::uint32_t delta = 0;
    bool operator==(const FieldCheck&) const = default;
};

struct Item {
    Bytes bytes;
    std::vector<Bytes> areas; // in the order the writer reads them
    std::vector<FieldCheck> checks;
};

inline Bytes pattern(std::size_t n, std::uint8_t seed)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
    return b;
}

inline Item makeItem(std::uint8_t type, std::size_t size)
{
    Item it;
    it.bytes.assign(size, 0);
    it.bytes[0] = type;
    return it;
}

// Items of several kinds with distinct areas.
struct ItemSet {
    static Item background(std::uint8_t seed)
    {
        Item it = makeItem(1, 48);
        it.bytes[1] = 2; // two tiles
        putU32(it.bytes, 4, 1024);
        putU32(it.bytes, 20, 512);
        it.areas = {pattern(1024, seed)};
        it.checks = {{FieldCheck::Area, 0, 0, 4, it.areas[0]}, {FieldCheck::Relative, 0, 0, 20, {}, 4, 512}};
        return it;
    }
    static Item button(std::uint8_t seed)
    {
        Item it = makeItem(2, 40);
        putU32(it.bytes, 24, 512);
        putU32(it.bytes, 28, 64);
        putU32(it.bytes, 32, 0xFFFFFFFF);
        it.areas = {pattern(512, seed)};
        it.checks = {{FieldCheck::Area, 0, 0, 24, it.areas[0]},
                     {FieldCheck::Relative, 0, 0, 28, {}, 24, 64},
                     {FieldCheck::Constant, 0, 0, 32, {}, 0, 0xFFFFFFFF}};
        return it;
    }
    static Item dynamicPicture(std::uint8_t seed)
    {
        Item it = makeItem(4, 40);
        putU32(it.bytes, 16, 2);
        putU32(it.bytes, 32, 512);
        putU32(it.bytes, 36, 1024);
        it.areas = {pattern(512, seed), pattern(1024, seed + 1)};
        it.checks = {{FieldCheck::Area, 0, 0, 32, it.areas[0]}, {FieldCheck::Area, 0, 0, 36, it.areas[1]}};
        return it;
    }
    static Item switchItem(std::uint8_t seed)
    {
        Item it = makeItem(9, 40);
        putU32(it.bytes, 28, 1024);
        putU32(it.bytes, 32, 512);
        it.areas = {pattern(1024, seed)};
        it.checks = {{FieldCheck::Area, 0, 0, 28, it.areas[0]}, {FieldCheck::Relative, 0, 0, 32, {}, 28, 512}};
        return it;
    }
    // A character item with its own first area (listed in the shared table).
    static Item character(std::uint8_t seed)
    {
        Item it = makeItem(13, 32);
        putU32(it.bytes, 20, 512);
        it.areas = {pattern(512, seed)};
        it.checks = {{FieldCheck::Area, 0, 0, 20, it.areas[0]}};
        return it;
    }
    // A character item taking shared entry `index` (whose bytes are `shared`).
    static Item sharedCharacter(std::uint32_t index, const Bytes& shared)
    {
        Item it = makeItem(13, 32);
        it.bytes[12] = 0x40;
        putU32(it.bytes, 20, index);
        it.checks = {{FieldCheck::Area, 0, 0, 20, shared}};
        return it;
    }
    static Item frame() { return makeItem(0, 16); }
};

struct Window {
    std::vector<Item> items;
};

struct SyntheticImage {
    std::vector<Window> windows;
    Bytes cursors = pattern(kPage, 0x31);
    std::uint32_t variableExtent = 100;
    Bytes variables = pattern(512, 0x51);
    std::uint32_t sramNeed = 0x1000;
    std::uint16_t width = 800, height = 480;
    std::uint32_t rotation = 0;
    std::uint8_t versionMajor = 3, versionMinor = 2;
    std::uint8_t flashCode = 0, colourCode = 1;
    std::int32_t byteSlot9 = 5, wordSlot13 = 8;

    // The file's bytes; `checks` gets every field check with window and item filled in.
    Bytes build(std::vector<FieldCheck>* checks = nullptr) const
    {
        Bytes header(image::kHeaderAreaSize, 0);
        putU32(header, 0, static_cast<std::uint32_t>(cursors.size()));
        putU32(header, 8, 0x40);
        putU32(header, 16, 0x80);
        putU32(header, 24, 0xC0);
        putU16(header, image::kWindowCountOffset, static_cast<std::uint16_t>(windows.size()));
        std::uint32_t at = image::windowTableEnd(static_cast<std::uint32_t>(windows.size()));
        Bytes areas;
        for (std::uint32_t w = 0; w < windows.size(); ++w) {
            at = (at + 3) & ~3u;
            const auto& items = windows[w].items;
            std::uint32_t itemAt = 4 + 2 * static_cast<std::uint32_t>(items.size());
            const std::uint32_t start = at;
            putU16(header, start + 2, static_cast<std::uint16_t>(items.size()));
            for (std::size_t j = 0; j < items.size(); ++j) {
                putU16(header, start + 4 + 2 * j, static_cast<std::uint16_t>(itemAt));
                std::copy(items[j].bytes.begin(), items[j].bytes.end(), header.begin() + start + itemAt);
                for (const Bytes& a : items[j].areas)
                    areas.insert(areas.end(), a.begin(), a.end());
                if (checks)
                    for (FieldCheck c : items[j].checks) {
                        c.window = w;
                        c.item = itemAt;
                        checks->push_back(c);
                    }
                itemAt += static_cast<std::uint32_t>(items[j].bytes.size());
            }
            putU32(header, image::kWindowTableOffset + 8 * w, start);
            putU32(header, image::kWindowTableOffset + 8 * w + 4, itemAt);
            at = start + itemAt;
        }
        auto map = std::span(header).subspan(image::kStartMapOffset);
        putU16(map, sm::Magic, image::kStartMapMagic);
        putU32(map, sm::HeaderBytesUsed, (at + kPage - 1) & ~(kPage - 1));
        putU32(map, sm::VarExtent, variableExtent);
        putU32(map, sm::SramNeed, sramNeed);
        putU32(map, sm::BlockSize, kBlock);
        putU32(map, sm::PageMask, kPage - 1);
        putU32(map, sm::BlockMask, ~(kBlock - 1));
        putU16(map, sm::Width, width);
        putU16(map, sm::Height, height);
        for (std::size_t i = 0; i < sm::RunBlockSize; ++i)
            map[sm::RunBlock + i] = static_cast<std::uint8_t>(0xA0 + i);
        for (unsigned slot = 0; slot < 16; ++slot)
            putU32(map, sm::SysVarAddrs + 4 * slot, 0xFFFFFFFF);
        putU32(map, sm::SysVarAddrs + 4 * 9, static_cast<std::uint32_t>(byteSlot9));
        putU32(map, sm::SysVarAddrs + 4 * 13, static_cast<std::uint32_t>(wordSlot13));
        map[0x0BA] = flashCode;
        map[0x0BB] = colourCode;
        map[sm::VersionMajor] = versionMajor;
        map[sm::VersionMinor] = versionMinor;
        putU32(map, 0x11C, rotation);
        Bytes file = header;
        file.insert(file.end(), cursors.begin(), cursors.end());
        file.insert(file.end(), areas.begin(), areas.end());
        file.insert(file.end(), variables.begin(), variables.end());
        return file;
    }

    // Two windows over every writer the walker checks, with one shared area.
    static SyntheticImage typical()
    {
        SyntheticImage s;
        Item c = ItemSet::character(0x71);
        const Bytes shared = c.areas[0];
        s.windows.push_back({{ItemSet::background(0x11), ItemSet::button(0x21), ItemSet::frame(), c}});
        s.windows.push_back({{ItemSet::dynamicPicture(0x41), ItemSet::switchItem(0x61), ItemSet::sharedCharacter(0, shared)}});
        return s;
    }
};

inline void writeFile(const std::filesystem::path& p, const Bytes& bytes)
{
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Intel HEX text of `code` from address 0, 16 bytes a record.
inline std::string hexText(const Bytes& code)
{
    std::string text;
    char line[80];
    for (std::size_t at = 0; at < code.size(); at += 16) {
        const std::size_t n = std::min<std::size_t>(16, code.size() - at);
        unsigned sum = static_cast<unsigned>(n + (at >> 8) + (at & 0xFF));
        std::snprintf(line, sizeof line, ":%02X%04X00", static_cast<unsigned>(n), static_cast<unsigned>(at));
        text += line;
        for (std::size_t i = 0; i < n; ++i) {
            std::snprintf(line, sizeof line, "%02X", code[at + i]);
            text += line;
            sum += code[at + i];
        }
        std::snprintf(line, sizeof line, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += line;
    }
    return text + ":00000001FF\n";
}

// A project folder: the image, optionally user code and FDisk files.
struct ProjectFolder {
    qv::test::TempDir dir;
    void image(const Bytes& file) { writeFile(dir.path() / "NandFlash" / "NandFlash.Zip", file); }
    void code(const Bytes& code)
    {
        std::filesystem::create_directories(dir.path() / "MC8051");
        std::ofstream(dir.path() / "MC8051" / "MC8051.hex") << hexText(code);
    }
    std::filesystem::path fdisk(const std::string& name, const Bytes& bytes)
    {
        const auto p = dir.path() / "FDisk" / name;
        writeFile(p, bytes);
        return p;
    }
};

// The panel a synthetic image fits.
inline DeviceInfo panelFor(const SyntheticImage& s)
{
    DeviceInfo d = virtual_panel::SimPanelSettings::defaultInfo();
    d.hardwareMajor = 3;
    d.hardwareMinor = 2;
    d.width = s.width;
    d.height = s.height;
    return d;
}

// The panel a compiled image asks for: its version, resolution (turned when rotated),
// colour depth, FLASH type and SRAM.
inline DeviceInfo panelOfImage(const Bytes& file)
{
    const auto map = std::span(file).subspan(image::kStartMapOffset, image::kStartMapSize);
    DeviceInfo d = virtual_panel::SimPanelSettings::defaultInfo();
    d.hardwareMajor = map[sm::VersionMajor];
    d.hardwareMinor = map[sm::VersionMinor];
    d.width = image::getU16(map, sm::Width);
    d.height = image::getU16(map, sm::Height);
    if (getU32(map, sm::Rotation) != 0)
        std::swap(d.width, d.height);
    d.colourDepthCode = map[sm::ColourDepthCode];
    d.nandType = map[sm::FlashSizeCode];
    d.sramBytes = std::max(d.sramBytes, getU32(map, sm::SramNeed) + 0x1000);
    return d;
}

// What the walker found: every piece it read, by address.
struct FlashWalk {
    std::uint32_t startMapBlock = 0;
    Bytes startMap;
    std::map<std::uint32_t, std::uint32_t> pieces; // address -> length
    std::vector<std::uint32_t> chain;
    std::vector<std::uint32_t> table;
};

struct ExpectedFlash {
    Bytes file;                       // the image file
    std::vector<FieldCheck> checks;
    std::vector<std::uint8_t> options; // 64 option bytes
    Bytes code;                       // the user code image as the HEX gives it (E bytes), empty for none
    std::vector<std::pair<std::string, Bytes>> files;
    std::set<std::uint32_t> badBlocks;
};

// Reads the panel's flash as the panel does and checks every piece; returns what it found.
inline FlashWalk walkFlash(const virtual_panel::SimPanel& panel, const ExpectedFlash& e)
{
    FlashWalk w;
    const auto read = [&](std::uint32_t at, std::size_t n) { return panel.readNand(at, n); };
    const auto note = [&](std::uint32_t at, std::uint32_t n) { w.pieces[at] = n; };
    for (std::uint32_t b = 0; b < 3 && w.startMap.empty(); ++b) {
        Bytes m = read(b * kBlock, image::kStartMapSize);
        if (image::getU16(m, sm::Magic) == image::kStartMapMagic) {
            w.startMap = m;
            w.startMapBlock = b;
        }
    }
    if (w.startMap.empty()) {
        ADD_FAILURE() << "no start map in the reserved blocks";
        return w;
    }
    const Bytes& m = w.startMap;
    const Bytes fileMap(e.file.begin() + image::kStartMapOffset, e.file.begin() + image::kHeaderAreaSize);
    // Header: the records as patched.
    const std::uint32_t headerAt = getU32(m, sm::HeaderFlashAddr), headerBytes = getU32(m, sm::HeaderBytesUsed);
    note(headerAt, headerBytes);
    Bytes header = read(headerAt, headerBytes);
    header.resize(image::kHeaderAreaSize, 0);
    // Cursors.
    const std::uint32_t cursorLength = getU32(e.file, 0);
    const std::uint32_t cursorAt = getU32(header, 0);
    note(cursorAt, cursorLength);
    EXPECT_EQ(read(cursorAt, cursorLength), Bytes(e.file.begin() + image::kHeaderAreaSize, e.file.begin() + image::kHeaderAreaSize + cursorLength));
    for (std::size_t entry : {8u, 16u, 24u})
        EXPECT_EQ(getU32(header, entry), getU32(e.file, entry) + cursorAt);
    // Records: checksums and patched fields.
    const std::uint32_t windows = image::getU16(header, image::kWindowCountOffset);
    for (std::uint32_t i = 0; i < windows; ++i) {
        const auto record = std::span<const std::uint8_t>(header).subspan(getU32(header, 0x24 + 8 * i), getU32(header, 0x28 + 8 * i));
        std::uint16_t sum = 0;
        for (std::size_t k = 2; k < record.size(); ++k)
            sum = static_cast<std::uint16_t>(sum + record[k]);
        EXPECT_EQ(image::getU16(record, 0), sum) << "record " << i;
    }
    for (const FieldCheck& c : e.checks) {
        const std::uint32_t recordAt = getU32(header, 0x24 + 8 * c.window);
        const auto field = [&](std::uint32_t f) { return getU32(header, recordAt + c.item + f); };
        const std::uint32_t v = field(c.field);
        switch (c.kind) {
        case FieldCheck::Area:
            EXPECT_EQ(read(v, c.bytes.size()), c.bytes) << "window " << c.window << " item " << c.item << " +" << c.field;
            if (!c.bytes.empty()) // an empty area takes no room
                note(v, static_cast<std::uint32_t>(c.bytes.size()));
            break;
        case FieldCheck::Relative: EXPECT_EQ(v, field(c.base) + c.delta); break;
        case FieldCheck::Constant: EXPECT_EQ(v, c.delta); break;
        }
    }
    // Variable memory and parameter block.
    const std::uint32_t varBytes = (getU32(fileMap, sm::VarExtent) + kPage - 1) & ~(kPage - 1);
    const std::uint32_t varAt = getU32(m, sm::VarMemAddr);
    const Bytes variables(e.file.end() - varBytes, e.file.end());
    EXPECT_EQ(read(varAt, varBytes), variables);
    note(varAt, varBytes);
    const std::uint32_t paramAt = getU32(m, sm::ParamBlockAddr);
    const Bytes param = read(paramAt, 2048);
    note(paramAt, 2048);
    EXPECT_EQ(getU32(param, 0), 0x12345678u);
    EXPECT_TRUE(std::equal(param.begin() + 4, param.begin() + 48, fileMap.begin() + sm::RunBlock));
    const auto slot = [&](unsigned s) { return static_cast<std::int32_t>(getU32(fileMap, sm::SysVarAddrs + 4 * s)); };
    // Bytes +48.. from slots 9, 10, 11 and words +52.. from slots 13, 14, 15; a negative
    // slot leaves the block's 0xFF.
    for (unsigned i = 0; i < 3; ++i) {
        const std::int32_t byteAt = slot(9 + i), wordAt = slot(13 + i);
        EXPECT_EQ(param[48 + i], byteAt < 0 ? 0xFF : variables.at(static_cast<std::size_t>(byteAt))) << "slot " << 9 + i;
        EXPECT_EQ(getU32(param, 52 + 4 * i), wordAt < 0 ? 0xFFFFFFFFu : getU32(variables, static_cast<std::size_t>(wordAt)))
            << "slot " << 13 + i;
    }
    EXPECT_TRUE(std::equal(e.options.begin(), e.options.end(), param.begin() + 64));
    // Block table, chain, directory.
    const std::uint32_t tableAt = getU32(m, sm::BlockTableAddr);
    EXPECT_EQ(tableAt % kBlock, 0u);
    EXPECT_EQ(getU32(m, 0x0FC), tableAt + kBlock);
    note(tableAt, kBlock);
    const Bytes table = read(tableAt, kBlock);
    for (std::size_t i = 0; i < kBlock / 4; ++i)
        w.table.push_back(getU32(table, 4 * i));
    EXPECT_EQ(w.table[0], 0xA55AA55Au);
    EXPECT_EQ(w.table[3], paramAt);
    EXPECT_EQ(w.table[tableAt / kBlock], tableAt + kBlock);
    if (e.code.empty()) {
        EXPECT_EQ(w.table[1], 0xFFFFFFFFu);
    } else {
        Bytes chained;
        for (std::uint32_t at = w.table[1]; at != 0xFFFFFFFF && w.chain.size() < 64; at = w.table[at / kBlock]) {
            w.chain.push_back(at);
            note(at, kBlock);
            const Bytes block = read(at, kBlock);
            chained.insert(chained.end(), block.begin(), block.end());
        }
        const auto e4 = static_cast<std::uint32_t>(e.code.size());
        EXPECT_EQ(getU32(chained, 0), 1u);
        EXPECT_EQ(getU32(chained, 4), 12u);
        EXPECT_EQ(getU32(chained, 8), (e4 + 4) & ~3u);
        EXPECT_TRUE(std::equal(e.code.begin(), e.code.end(), chained.begin() + 12));
        // A code-only download leaves the old chain's later blocks linked.
        EXPECT_GE(w.chain.size(), (e4 + 12 + kBlock) / kBlock);
    }
    const std::uint32_t dirAt = w.table[2];
    EXPECT_EQ(w.table[dirAt / kBlock], 0xFFFFFFFFu);
    note(dirAt, kBlock);
    const Bytes dir = read(dirAt, kBlock);
    EXPECT_EQ(getU32(dir, 0), e.files.size());
    for (std::size_t i = 0; i < e.files.size(); ++i) {
        const std::size_t entry = kPage + 16 * i;
        std::string name(dir.begin() + entry, dir.begin() + entry + 12);
        name = name.substr(0, name.find('\xFF'));
        EXPECT_EQ(name, e.files[i].first.substr(0, 12));
        const std::uint32_t at = getU32(dir, entry + 12);
        const Bytes& bytes = e.files[i].second;
        EXPECT_EQ(getU32(read(at, 4), 0), bytes.size());
        EXPECT_EQ(read(at + 512, bytes.size()), bytes);
        note(at, static_cast<std::uint32_t>((bytes.size() + kPage + kBlock) & ~(kBlock - 1)));
    }
    for (std::uint32_t bad : e.badBlocks)
        for (const auto& [at, n] : w.pieces)
            EXPECT_FALSE(at / kBlock <= bad && bad <= (at + n - 1) / kBlock) << "piece at " << at << " in bad block " << bad;
    // No two pieces overlap.
    std::uint64_t end = 0;
    std::uint32_t previous = 0;
    for (const auto& [at, n] : w.pieces) {
        EXPECT_GE(at, end) << "piece at " << at << " overlaps the one at " << previous;
        end = std::uint64_t{at} + n;
        previous = at;
    }
    return w;
}

} // namespace qv::device::test
