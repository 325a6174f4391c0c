// The FPGA programming run against the simulated panel's JTAG target.
#include "device/fpga/crc16.h"
#include "device/fpga/fpga_data_file.h"
#include "device/fpga/fpga_errors.h"
#include "device/fpga/fpga_program.h"
#include "device/fpga/fpga_update.h"
#include "tests/device/fpga_fixture.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string_view>

namespace qv::device::test {
namespace {

using namespace jtag;
using fpga::err::Ok;

TEST(FpgaCrc16, CheckValue)
{
    const std::string_view text = "123456789";
    EXPECT_EQ(fpga::Crc16({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 0x2189);
}

// The check file is used whole or not at all: a line it cannot read, or a file too long to be
// read to its end, leaves no checks, so the run stops before the erase.
TEST(FpgaCheckData, AFileLoadsWholeOrNotAtAll)
{
    qv::test::TempDir dir;
    const std::string good = "variant1 000102030405060708090a0b0c0d0e0f\n"
                             "conflict 33 0 0x80 0x80\n";
    struct Case {
        const char* name;
        std::optional<std::string> text; // nullopt: no file
        bool loaded;
        std::string why;
    };
    const Case cases[] = {
        {"absent", std::nullopt, false, ""},
        {"good", good, true, ""},
        {"an unknown entry", good + "variant4 00\n", false, "line 3: unknown entry"},
        {"a short vector", "dualkey 0011\n", false, "line 1: a vector is 32 hex digits"},
        {"a code outside the table", "conflict 38 0 1 1\n", false, "line 1: a conflict code is one of 33..37, 47, 49"},
        {"longer than 64 KiB", good + "# " + std::string(fpga::kMaxCheckDataBytes, 'x') + "\n", false,
         "larger than 64 KiB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir.path() / fpga::kCheckDataFile;
        std::filesystem::remove(path);
        if (c.text)
            std::ofstream(path, std::ios::binary) << *c.text;
        std::string why;
        const fpga::CheckData data = fpga::LoadCheckData(path, &why);
        EXPECT_EQ(why, c.why);
        EXPECT_EQ(data.variants[0].has_value(), c.loaded);
        EXPECT_EQ(data.conflicts.has_value(), c.loaded);
        if (c.loaded) {
            ASSERT_EQ(data.conflicts->size(), 1u);
            EXPECT_EQ(data.conflicts->front().code, 33);
            EXPECT_EQ(data.conflicts->front().mask, 0x80);
        }
    }
}

// The packets a run must send, worked out from the programming steps with the target's
// busy counts; every stream starts a fresh 16-byte window (the blocks lie apart).
class Reference {
public:
    Reference(const BuiltImage& image, int busy, int eraseBusy) : image_(image), busy_(busy), eraseBusy_(eraseBusy) {}
    std::vector<JtagPacket> packets;

    void pkt(std::uint8_t c, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, Bytes data = {}, std::size_t n = 0)
    {
        packets.push_back(jtagPacket(c, b1, b2, b3, data, n));
    }
    void go(std::uint8_t target)
    {
        if (target == tap::TestLogicReset)
            pkt(0, 0, 0, 0);
        const auto m = tapMove(target, state_);
        ASSERT_TRUE(m) << int(target) << " from " << int(state_);
        pkt(1, 0, m->tms, m->clocks);
        state_ = target;
    }
    void ir(std::uint8_t code)
    {
        go(tap::ShiftIr);
        pkt(3, 1, 0, 8, {code}, 1);
        state_ = tap::Exit1Ir;
        go(tap::RunTestIdle);
    }
    void wr(int bits, Bytes data)
    {
        go(tap::ShiftDr);
        pkt(3, 1, 0, static_cast<std::uint8_t>(bits), data, (bits + 7) / 8);
        state_ = tap::Exit1Dr;
        go(tap::RunTestIdle);
    }
    void rd(int bits, Bytes tdi = {})
    {
        go(tap::ShiftDr);
        pkt(4, 0, 0, static_cast<std::uint8_t>(bits), tdi, (bits + 7) / 8);
        state_ = tap::Exit1Dr;
        go(tap::RunTestIdle);
    }
    void clk(int n) { pkt(2, 0, 0, static_cast<std::uint8_t>(n)); }
    void stream(std::uint8_t block, std::uint64_t start, std::uint64_t bits)
    {
        go(tap::ShiftDr);
        std::uint64_t pos = image_.offsetOf(block) + start / 8;
        int offset = static_cast<int>(start % 8);
        const std::uint64_t s = image_.bytes.size();
        while (true) {
            const std::size_t run = static_cast<std::size_t>(std::min<std::uint64_t>(16, s - pos));
            const Bytes data(image_.bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                             image_.bytes.begin() + static_cast<std::ptrdiff_t>(pos + run));
            const std::uint64_t capacity = run * 8 - static_cast<std::uint64_t>(offset);
            if (bits <= capacity) {
                pkt(3, 1, static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(bits), data,
                    (offset + bits + 7) / 8);
                break;
            }
            pkt(3, 0, static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(capacity), data, run);
            bits -= capacity;
            pos += run;
            offset = 0;
        }
        state_ = tap::Exit1Dr;
        go(tap::RunTestIdle);
    }
    void poll(int busy)
    {
        ir(0x84);
        for (int i = 0; i <= busy; ++i)
            rd(5);
    }

    // A plain run of action 5 on a part outside the variant and dual-key checks.
    void plainRun(const ImageShape& shape, const Bytes& userRow)
    {
        go(tap::TestLogicReset);
        ir(0x0F), rd(32);
        ir(0x01), rd(8);
        if (shape.block2)
            stream(2, 0, shape.scanBits);
        ir(0xC0), clk(1);
        ir(0x80), wr(18, {0, 0, 0}), clk(3), rd(18);
        ir(0xA4), rd(44);
        // Erase: options bit 0 (array), 4 (user row), block 7 behind support bit 1.
        std::uint32_t options = 0x11;
        if (shape.support & 2)
            options |= std::uint32_t{shape.eraseOptions} << 8;
        ir(0xA8), rd(128);
        ir(0x85), wr(23, {static_cast<std::uint8_t>(options), static_cast<std::uint8_t>(options >> 8), 0}), clk(3);
        poll(eraseBusy_);
        ir(0xA7), wr(128, userRow), clk(15), poll(busy_), ir(0xA8), rd(128);
        for (int pass = 0; pass < 3; ++pass) {
            ir(0x87), wr(2, {2}), clk(3);
            for (int k = 0; k < shape.rows; ++k) {
                ir(0x89);
                for (int shift = 0; shift < shape.segments * 8; ++shift)
                    stream(pass == 2 ? 6 : 5, std::uint64_t(k * shape.segments * 8 + shift) * 26, 26), clk(3);
                if (pass == 1) {
                    for (const std::uint8_t v : {0x8D, 0x8E})
                        ir(v), wr(2, {0}), clk(3), poll(busy_), ir(v), rd(2);
                } else {
                    ir(pass == 0 ? 0x83 : 0x8C), clk(3), poll(busy_);
                }
                if (k + 1 < shape.rows)
                    ir(0x87), wr(2, {3}), clk(3);
            }
        }
        if (shape.block3 != 0) {
            ir(0xA3);
            wr(44, {static_cast<std::uint8_t>(shape.block3), static_cast<std::uint8_t>(shape.block3 >> 8),
                    static_cast<std::uint8_t>(shape.block3 >> 16), static_cast<std::uint8_t>(shape.block3 >> 24), 0, 0});
            clk(3), poll(busy_);
        }
        ir(0x81);
        go(tap::ShiftIr);
        pkt(4, 0, 0, 8, {0xFF}, 1);
        state_ = tap::Exit1Ir;
        go(tap::RunTestIdle);
        ir(0x07), clk(1);
        go(tap::TestLogicReset);
    }

private:
    const BuiltImage& image_;
    int busy_, eraseBusy_;
    std::uint8_t state_ = tap::TestLogicReset;
};

struct Recorded {
    std::vector<std::string> steps, boxes, waves;
    std::vector<int> progress;
};

fpga::FpgaHooks hooksInto(Recorded& r, const fpga::CheckData* checks)
{
    fpga::FpgaHooks h;
    h.stepText = [&r](const std::string& s) { r.steps.push_back(s); };
    h.messageBox = [&r](const std::string& s) { r.boxes.push_back(s); };
    h.playWave = [&r](const std::string& s) { r.waves.push_back(s); };
    h.progress = [&r](int p) { r.progress.push_back(p); };
    h.checks = checks;
    return h;
}

Bytes userRowWithCounter(unsigned counter)
{
    Bytes row(16, 0);
    row[14] = static_cast<std::uint8_t>((counter & 3) << 6);
    row[15] = static_cast<std::uint8_t>(counter >> 2);
    return row;
}

TEST(FpgaProgram, PlainRunsSendTheStepsPacketsAndProgramTheTarget)
{
    struct Case {
        const char* name;
        usb::UsbKind kind;
        ImageShape shape;
        unsigned counterBefore, counterAfter;
    };
    ImageShape two;
    ImageShape three;
    three.rows = 3;
    three.segments = 2;
    three.block2 = true;
    three.block3 = 0x01020304;
    three.support = 0x0003;
    const Case cases[] = {
        {"two rows, vendor driver", usb::UsbKind::EzUsb, two, 1022, 0},
        {"three rows, boundary scan, security word, HID", usb::UsbKind::Hid, three, 1023, 1},
        {"two rows, disk", usb::UsbKind::Disk, two, 5, 6},
    };
    const fpga::CheckData checks = testChecks();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BuiltImage image = buildImage(c.shape);
        virtual_panel::SimFpgaSettings fpga;
        const Bytes oldRow = userRowWithCounter(c.counterBefore);
        std::copy(oldRow.begin(), oldRow.end(), fpga.userRow.begin());
        JtagBench bench(c.kind, fpga);
        Recorded rec;
        const std::uint8_t result = fpga::FpgaRunProgram(*bench.link, image.bytes, hooksInto(rec, &checks));
        EXPECT_EQ(result, Ok) << fpga::ErrorMeaning(result);

        Bytes newRow = image.block(4, 16);
        const Bytes user = image.block(1, 9);
        std::copy(user.begin(), user.end(), newRow.begin());
        const Bytes counter = userRowWithCounter(c.counterAfter);
        newRow[14] = static_cast<std::uint8_t>((newRow[14] & 0x3F) | counter[14]);
        newRow[15] = counter[15];
        Reference ref(image, fpga.busyPolls, fpga.eraseBusyPolls);
        ref.plainRun(c.shape, newRow);
        ASSERT_EQ(bench.packets.size(), ref.packets.size());
        for (std::size_t i = 0; i < ref.packets.size(); ++i)
            ASSERT_EQ(bench.packets[i].bytes, ref.packets[i].bytes) << "packet " << i;

        const auto target = bench.panel->jtagTarget();
        ASSERT_TRUE(target);
        EXPECT_EQ(target->refusedPackets(), 0);
        ASSERT_EQ(target->stateLog().size(), bench.states.size());
        EXPECT_EQ(target->stateLog(), bench.states) << "the link's state byte follows the TAP";
        const std::size_t rowBytes = std::size_t{c.shape.segments} * 26;
        ASSERT_EQ(target->rows().size(), c.shape.rows);
        for (int k = 0; k < c.shape.rows; ++k) {
            const Bytes block5 = image.block(5, rowBytes * c.shape.rows);
            const Bytes block6 = image.block(6, rowBytes * c.shape.rows);
            EXPECT_EQ(target->rows().at(k), Bytes(block5.begin() + k * rowBytes, block5.begin() + (k + 1) * rowBytes));
            EXPECT_EQ(target->rowLocks().at(k), Bytes(block6.begin() + k * rowBytes, block6.begin() + (k + 1) * rowBytes));
        }
        EXPECT_EQ(Bytes(target->userRow().begin(), target->userRow().end()), newRow);
        const unsigned counterNow = (target->userRow()[14] >> 6) | (target->userRow()[15] << 2);
        EXPECT_EQ(counterNow, c.counterAfter);
        if (c.shape.block3 != 0) {
            EXPECT_EQ(target->security()[0], 0x04);
        }
        EXPECT_TRUE(rec.boxes.empty());
        EXPECT_EQ(rec.waves, (std::vector<std::string>{"images\\Sound\\开始擦除.wav", "images\\Sound\\开始编程.wav",
                                                       "images\\Sound\\开始校验.wav"}));
        EXPECT_EQ(rec.progress.back(), 100);
    }
}

TEST(FpgaProgram, FailuresStopWhereTheyMust)
{
    struct Case {
        const char* name;
        std::function<void(ImageShape&, virtual_panel::SimFpgaSettings&, fpga::CheckData&)> setup;
        std::uint8_t result;
        bool erased;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"another IDCODE", [](ImageShape&, virtual_panel::SimFpgaSettings& f, fpga::CheckData&) { f.idcode = 0x049011CE; }, 6,
         false, 2},
        {"initialisation bits missing", [](ImageShape&, virtual_panel::SimFpgaSettings& f, fpga::CheckData&) { f.initOk = false; },
         25, false, 0},
        {"no check data", [](ImageShape&, virtual_panel::SimFpgaSettings&, fpga::CheckData& d) { d = {}; }, 202, false, 1},
        {"variant vectors missing on a checked part",
         [](ImageShape& s, virtual_panel::SimFpgaSettings& f, fpga::CheckData& d) {
             s.imageId = f.idcode = 0x0F0F11CF;
             d.variants[1].reset();
         },
         202, false, 1},
        {"variant present against the image's key type",
         [](ImageShape& s, virtual_panel::SimFpgaSettings& f, fpga::CheckData& d) {
             s.imageId = f.idcode = 0x0F0F11CF;
             f.keyAnswers[*d.variants[0]] = 0x80; // key type 7 needs variant 1 present
         },
         6, false, 0},
        {"variant checks pass", [](ImageShape& s, virtual_panel::SimFpgaSettings& f, fpga::CheckData& d) {
             s.imageId = f.idcode = 0x0F0F11CF;
             f.keyAnswers[*d.variants[0]] = 0xC0;
         }, 0, true, 0},
        {"a conflict rule fires", [](ImageShape&, virtual_panel::SimFpgaSettings& f, fpga::CheckData&) { f.security[0] = 0x80; },
         33, false, 0},
        {"verification fails", [](ImageShape&, virtual_panel::SimFpgaSettings& f, fpga::CheckData&) { f.failVerify = true; }, 11,
         true, 0},
        {"format marker", [](ImageShape&, virtual_panel::SimFpgaSettings&, fpga::CheckData&) {}, 160, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageShape shape;
        virtual_panel::SimFpgaSettings fpga;
        fpga::CheckData checks = testChecks();
        c.setup(shape, fpga, checks);
        BuiltImage image = buildImage(shape);
        if (c.result == 160) {
            image.bytes[24] = 'F';
            resealCrc(image.bytes);
        }
        JtagBench bench(usb::UsbKind::Hid, fpga);
        Recorded rec;
        EXPECT_EQ(fpga::FpgaRunProgram(*bench.link, image.bytes, hooksInto(rec, &checks)), c.result);
        const auto target = bench.panel->jtagTarget();
        const auto& irs = target->instructions();
        EXPECT_EQ(std::count(irs.begin(), irs.end(), 0x85) != 0, c.erased);
        EXPECT_EQ(rec.boxes.size(), c.boxes);
        if (c.result == 6 && c.boxes == 2) {
            EXPECT_EQ(rec.boxes[0], "dp_check_device_ID_ERROR:device_ID" + std::to_string(0x049011CE & 0x0FFFFFFF));
            EXPECT_EQ(rec.boxes[1], "读设备ID出错");
        }
        if (c.result == 160) {
            EXPECT_TRUE(bench.packets.empty());
        }
        EXPECT_EQ(target->stateLog(), bench.states);
    }
}

// Encrypted arrays: the data is authenticated before the erase, then programmed, verified
// and row-locked in 128-bit pieces; the key mode goes before each encrypted pass; the
// step texts around the passes are never message boxes.
TEST(FpgaProgram, EncryptedArraysGoInAsAuthenticatedPieces)
{
    struct Case {
        const char* name;
        usb::UsbKind kind;
        std::uint16_t support;
        std::uint8_t keyModeByte;
        std::uint8_t rows, segments;
        bool authFail;
        std::uint8_t result;
        std::vector<std::uint8_t> keyModes;
    };
    const Case cases[] = {
        {"encrypted array, vendor driver", usb::UsbKind::EzUsb, 0x0401, 0, 2, 1, false, Ok, {}},
        {"key mode byte on an encrypted array, HID", usb::UsbKind::Hid, 0x0401, 1, 3, 2, false, Ok, {2, 2, 2}},
        {"key mode byte makes the array encrypted, disk", usb::UsbKind::Disk, 0x0001, 1, 2, 1, false, Ok, {1, 1, 1}},
        {"authentication fails", usb::UsbKind::Hid, 0x0401, 0, 2, 1, true, 18, {}},
    };
    const fpga::CheckData checks = testChecks();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImageShape shape;
        shape.support = c.support;
        shape.keyModeByte = c.keyModeByte;
        shape.rows = c.rows;
        shape.segments = c.segments;
        shape.encrypted = true;
        const BuiltImage image = buildImage(shape);
        virtual_panel::SimFpgaSettings fpga;
        fpga.authFail = c.authFail;
        JtagBench bench(c.kind, fpga);
        Recorded rec;
        EXPECT_EQ(fpga::FpgaRunProgram(*bench.link, image.bytes, hooksInto(rec, &checks)), c.result);

        const auto target = bench.panel->jtagTarget();
        const std::size_t pieces = std::size_t{c.rows} * c.segments * 2;
        const auto piecesOf = [&](std::uint8_t block, std::size_t count) {
            std::vector<virtual_panel::Key16> out(count);
            const Bytes bytes = image.block(block, 16 * count);
            for (std::size_t i = 0; i < count; ++i)
                std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(16 * i), 16, out[i].begin());
            return out;
        };
        std::vector<virtual_panel::Key16> expected = piecesOf(5, c.authFail ? 1 : pieces);
        if (!c.authFail)
            for (const std::uint8_t block : {5, 5, 6}) {
                const auto more = piecesOf(block, pieces);
                expected.insert(expected.end(), more.begin(), more.end());
            }
        EXPECT_EQ(target->encryptedPieces(), expected);
        EXPECT_EQ(target->keyModes(), c.keyModes);
        const auto& irs = target->instructions();
        EXPECT_EQ(std::count(irs.begin(), irs.end(), 0x85), c.authFail ? 0 : 1);
        for (const std::uint8_t plain : {0x83, 0x89, 0x8C})
            EXPECT_EQ(std::count(irs.begin(), irs.end(), plain), 0) << int(plain);
        EXPECT_EQ(irs.back(), 0x07) << "the chip is taken out of programming mode";
        EXPECT_EQ(target->refusedPackets(), 0);
        EXPECT_EQ(target->stateLog(), bench.states);
        EXPECT_TRUE(rec.boxes.empty());
        const std::vector<std::string> texts = {"dp_enc_program_array_begin", "dp_enc_program_array_over",
                                                "dp_enc_verify_array_begin", "dp_enc_verify_array_over"};
        std::vector<std::string> said;
        std::copy_if(rec.steps.begin(), rec.steps.end(), std::back_inserter(said),
                     [](const std::string& s) { return s.starts_with("dp_enc_"); });
        EXPECT_EQ(said, c.authFail ? std::vector<std::string>{} : texts);
        if (!c.authFail) {
            EXPECT_EQ(rec.progress.back(), 100);
        }
    }
}

// The user row comes from blocks 4 and 1: a listed block whose bytes run past the image is a
// broken image, found before the chip is erased, never a row of zeros programmed.
TEST(FpgaProgram, AUserRowBlockCutOffByTheImageEndStopsBeforeTheErase)
{
    for (const std::uint8_t cut : {std::uint8_t{4}, std::uint8_t{1}}) {
        SCOPED_TRACE(int(cut));
        BuiltImage image = buildImage({});
        const auto entry = std::find_if(image.blocks.begin(), image.blocks.end(),
                                        [cut](const auto& b) { return b.first == cut; });
        ASSERT_NE(entry, image.blocks.end());
        const std::size_t at = 0x45 + 9 * static_cast<std::size_t>(entry - image.blocks.begin()) + 1;
        putLe(image.bytes, at, static_cast<std::uint32_t>(image.bytes.size() - 4), 4);
        resealCrc(image.bytes);
        virtual_panel::SimFpgaSettings fpga;
        fpga.userRow.fill(0x5A);
        JtagBench bench(usb::UsbKind::Hid, fpga);
        Recorded rec;
        const fpga::CheckData checks = testChecks();
        EXPECT_EQ(fpga::FpgaRunProgram(*bench.link, image.bytes, hooksInto(rec, &checks)), 100);
        const auto target = bench.panel->jtagTarget();
        const auto& irs = target->instructions();
        EXPECT_EQ(std::count(irs.begin(), irs.end(), 0x85), 0) << "not erased";
        EXPECT_EQ(std::count(irs.begin(), irs.end(), 0xA7), 0) << "no user row written";
        EXPECT_EQ(target->userRow(), fpga.userRow);
        EXPECT_TRUE(rec.waves.empty());
        EXPECT_EQ(irs.back(), 0x07) << "the chip is taken out of programming mode";
    }
}

// Sets the abort flag the first time the erase poll waits.
struct AbortingClock final : WaitClock {
    std::atomic<bool>* abort = nullptr;
    int waits = 0;
    void sleepFor(std::chrono::milliseconds d) override
    {
        EXPECT_EQ(d.count(), 500);
        ++waits;
        abort->store(true);
    }
};

struct CountingClock final : WaitClock {
    int waits = 0;
    void sleepFor(std::chrono::milliseconds) override { ++waits; }
};

struct UpdateRun {
    std::vector<std::string> boxes;
    std::vector<bool> results;
    std::optional<std::uint8_t> code;
};

void writeFile(const std::filesystem::path& p, const Bytes& bytes)
{
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
}

// A panel on which command 7 has not been sent yet.
struct FreshPanel {
    FreshPanel(usb::UsbKind kind = usb::UsbKind::Hid, virtual_panel::SimFpgaSettings fpga = {})
    {
        auto s = settingsOfKind(kind);
        s.fpga = std::move(fpga);
        panel = host.add(s);
        connection = PanelConnection::open(host, candidateOf(host, kind));
    }
    virtual_panel::SimUsbHost host;
    std::shared_ptr<virtual_panel::SimPanel> panel;
    std::unique_ptr<PanelConnection> connection;
};

UpdateRun runOn(FreshPanel& p, const std::filesystem::path& file, WaitClock& clock,
                const std::atomic<bool>* abort = nullptr)
{
    UpdateRun r;
    fpga::FpgaUpdateJob job;
    job.dataFile = file;
    job.connection = std::move(p.connection);
    job.checks = testChecks();
    job.abort = abort;
    job.clock = &clock;
    job.ui.messageBox = [&r](const std::string& s) { r.boxes.push_back(s); };
    job.ui.resultDialog = [&r](bool ok) { r.results.push_back(ok); };
    r.code = fpga::RunFpgaUpdate(std::move(job));
    return r;
}

TEST(FpgaUpdate, FilesAreCheckedBeforeThePanelIsSwitched)
{
    qv::test::TempDir dir;
    const BuiltImage good = buildImage({});
    Bytes badCrc = fpga::EncodeDataFile(good.bytes);
    badCrc.back() ^= 0x10; // scrambled CRC byte
    Bytes sPast = good.bytes;
    putLe(sPast, 25, static_cast<std::uint32_t>(sPast.size() + 1), 4);
    Bytes badMagic = fpga::EncodeDataFile(good.bytes);
    badMagic[528] ^= 1;
    // 300 KiB: the image lies in the first 0x40000 bytes, the rest is never read.
    Bytes big = fpga::EncodeDataFile(good.bytes);
    big.resize(300 * 1024, 0xEE);
    // 300 KiB whose S reaches past 0x40000.
    Bytes bigS = good.bytes;
    putLe(bigS, 25, 0x48000, 4);
    bigS = fpga::EncodeDataFile(bigS);
    bigS.resize(300 * 1024, 0xEE);
    struct Case {
        const char* name;
        std::optional<Bytes> file; // nullopt: no such file
        std::optional<std::uint8_t> code;
        std::vector<std::string> boxes;
        bool upgraded;
    };
    const Case cases[] = {
        {"missing", std::nullopt, std::nullopt, {"找不到文件"}, false},
        {"short", Bytes(1023, 0), std::nullopt, {"文件错误1!"}, false},
        {"no magic", badMagic, std::nullopt, {"文件错误2!!"}, false},
        {"header only", fpga::EncodeDataFile({}), 100, {"编程失败。退出100"}, false},
        {"wrong CRC", badCrc, 100, {"编程失败。退出100"}, false},
        {"S past the bytes", fpga::EncodeDataFile(sPast), 100, {"编程失败。退出100"}, false},
        {"S past 0x40000", bigS, 100, {"编程失败。退出100"}, false},
        {"300 KiB, image inside", big, 0, {"编程成功!!!!"}, true},
        {"good", fpga::EncodeDataFile(good.bytes), 0, {"编程成功!!!!"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir.path() / "a.dat";
        std::filesystem::remove(path);
        if (c.file)
            writeFile(path, *c.file);
        FreshPanel p;
        CountingClock clock;
        const UpdateRun r = runOn(p, path, clock);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.boxes, c.boxes);
        EXPECT_EQ(r.results.size(), c.code ? 1u : 0u);
        EXPECT_EQ(p.panel->events().upgrades, c.upgraded ? 1 : 0);
        if (!c.upgraded) {
            EXPECT_EQ(p.panel->transferCount(), 0u) << "no command 7, no JTAG packet";
        }
    }
}

TEST(FpgaUpdate, AbortDuringTheErasePollEndsWith161)
{
    qv::test::TempDir dir;
    const auto path = dir.path() / "a.vga";
    writeFile(path, fpga::EncodeDataFile(buildImage({}).bytes));
    virtual_panel::SimFpgaSettings fpga;
    fpga.eraseBusyPolls = 1000;
    FreshPanel p(usb::UsbKind::EzUsb, fpga);
    std::atomic<bool> abort{false};
    AbortingClock clock;
    clock.abort = &abort;
    const UpdateRun r = runOn(p, path, clock, &abort);
    EXPECT_EQ(r.code, 161);
    EXPECT_EQ(clock.waits, 1);
    EXPECT_EQ(r.results, std::vector<bool>{false});
    EXPECT_EQ(r.boxes, std::vector<std::string>{"编程失败。退出161"});
    const auto irs = p.panel->jtagTarget()->instructions();
    EXPECT_EQ(std::count(irs.begin(), irs.end(), 0x83), 0) << "nothing programmed";
    EXPECT_EQ(irs.back(), 0x07) << "the chip is taken out of programming mode";
}

TEST(FpgaUpdate, ALostPanelIsNeverASuccess)
{
    qv::test::TempDir dir;
    const auto path = dir.path() / "a.dat";
    ImageShape shape;
    shape.rows = 1;
    writeFile(path, fpga::EncodeDataFile(buildImage(shape).bytes));
    std::size_t total = 0;
    {
        FreshPanel p;
        CountingClock clock;
        ASSERT_EQ(runOn(p, path, clock).code, 0);
        total = p.panel->transferCount();
    }
    for (const virtual_panel::SimFault fault : {virtual_panel::SimFault::Disconnect, virtual_panel::SimFault::NoReply}) {
        for (std::size_t i = 0; i < total; ++i) {
            FreshPanel p;
            p.panel->setRecording(false);
            p.panel->injectFault(i, fault);
            CountingClock clock;
            const UpdateRun r = runOn(p, path, clock);
            ASSERT_NE(r.code, std::optional<std::uint8_t>(0)) << "fault at transfer " << i;
            ASSERT_EQ(r.results.size(), r.code ? 1u : 0u);
            if (r.code) {
                EXPECT_EQ(r.results[0], false);
            }
        }
    }
}

} // namespace
} // namespace qv::device::test
