#include "device/fpga/fpga_program.h"

#include "compiler/image/le_bytes.h"
#include "device/fpga/fpga_errors.h"

#include <algorithm>

namespace qv::device::fpga {
namespace {

using namespace jtag::tap;

constexpr std::uint32_t kPartMask = 0x03FFFFFF;
constexpr std::uint32_t kRowAddressPart = 0x0253A1CF;
constexpr std::uint32_t kDualKeyParts[] = {0x023261CF, 0x0253A1CF, 0x0274E1CF};
constexpr std::uint32_t kVariantExempt[] = {0x049011CF, 0x069041CF, 0x069081CF, 0x0E1011CF};
constexpr std::uint8_t kVariantKeyTypes[] = {7, 1, 3};

// Status bits of instruction 0x84.
constexpr std::uint8_t kBusyBits = 0x0B;
constexpr std::uint8_t kEraseBusyBits = 0x03;
constexpr std::uint8_t kAuthErrorBit = 0x08;

// Which support bits an action needs (any of `anyOf`, unless `none`); `without` must be clear.
struct ActionRule {
    std::uint8_t first, last;
    std::uint16_t anyOf;
};
constexpr ActionRule kActionRules[] = {
    {1, 2, 0}, {3, 3, 0x0103}, {4, 5, 0}, {6, 6, 0x0083}, {7, 7, 0x0400}, {8, 10, 0x0001},
    {11, 13, 0x0002}, {14, 15, 0x0100}, {16, 17, 0x0078}, {18, 18, 0},
};

} // namespace

FpgaProgrammer::FpgaProgrammer(jtag::JtagLink& link, FpgaHooks hooks) : link_(link), hooks_(std::move(hooks))
{
    if (hooks_.clock == nullptr)
        hooks_.clock = &SteadyWaitClock::instance();
}

std::uint8_t FpgaRunProgram(jtag::JtagLink& link, std::span<const std::uint8_t> image, FpgaHooks hooks)
{
    return FpgaProgrammer(link, std::move(hooks)).run(image);
}

std::uint8_t FpgaProgrammer::run(std::span<const std::uint8_t> image)
{
    action_ = 5;
    error_ = 0;
    flags_ = 0;
    support_ = 0;
    image_.reset();
    if (!fail(CheckImageAndMarker(image)) && ok()) {
        image_.emplace(image);
        programTop();
    }
    if (hooks_.log)
        hooks_.log("result " + std::to_string(error_) + ": " + std::string(ErrorMeaning(error_)));
    return error_;
}

bool FpgaProgrammer::fail(std::uint8_t code)
{
    if (code != 0 && error_ == 0)
        error_ = code;
    return !ok();
}

bool FpgaProgrammer::io(std::uint8_t linkResult)
{
    fail(linkResult);
    return ok();
}

bool FpgaProgrammer::aborted()
{
    if (hooks_.abort && hooks_.abort->load())
        return fail(err::Aborted);
    return false;
}

void FpgaProgrammer::say(const std::string& gbk)
{
    if (hooks_.stepText)
        hooks_.stepText(gbk);
    if (hooks_.log)
        hooks_.log(gbk);
}

std::uint32_t FpgaProgrammer::field(std::uint32_t offset, int count)
{
    return image_->getBytes(0, offset, count).value_or(0);
}

// ---- TAP sequences ---------------------------------------------------------------------

bool FpgaProgrammer::loadIr(std::uint8_t code)
{
    const std::uint8_t bytes[1] = {code};
    return io(link_.gotoState(ShiftIr)) && io(link_.shiftOut(0, 8, bytes, true)) && io(link_.gotoState(RunTestIdle));
}

bool FpgaProgrammer::writeDr(int bits, std::span<const std::uint8_t> data)
{
    return io(link_.gotoState(ShiftDr)) && io(link_.shiftOut(0, bits, data, true)) && io(link_.gotoState(RunTestIdle));
}

bool FpgaProgrammer::readDr(int bits, std::span<std::uint8_t> out, std::span<const std::uint8_t> data)
{
    return io(link_.gotoState(ShiftDr)) && io(link_.shiftInOut(bits, data, out)) && io(link_.gotoState(RunTestIdle));
}

bool FpgaProgrammer::clocks(int n)
{
    return io(link_.runTest(n));
}

bool FpgaProgrammer::streamDr(std::uint8_t block, std::uint64_t startBit, std::uint64_t bits)
{
    const auto start = image_->blockOffset(block);
    if (!start) {
        fail(err::Image);
        return false;
    }
    const auto source = [this, base = *start](std::uint64_t position) { return image_->window(base + position); };
    return io(link_.gotoState(ShiftDr)) && io(link_.shiftStream(source, startBit, bits)) &&
           io(link_.gotoState(RunTestIdle));
}

bool FpgaProgrammer::poll(int attempts, std::uint8_t errorCode)
{
    if (!loadIr(ir::Status))
        return false;
    for (int i = 0; i < attempts; ++i) {
        if (aborted())
            return false;
        std::array<std::uint8_t, 1> status{};
        if (!readDr(5, status))
            return false;
        if ((status[0] & kBusyBits) == 0)
            return true;
    }
    return !fail(errorCode);
}

std::optional<Vector16> FpgaProgrammer::block16(std::uint8_t block)
{
    Vector16 v{};
    if (!image_->getBlock(block, 0, v))
        return std::nullopt;
    return v;
}

// ---- steps -----------------------------------------------------------------------------

void FpgaProgrammer::programTop()
{
    for (std::uint32_t i = 0; i < 16; ++i)
        if (field(39 + i, 1) != 0)
            support_ |= static_cast<std::uint16_t>(1u << i);
    if (field(67, 1) != 0) {
        keyMode_ = (support_ & 0x0400) ? 2 : 1;
        support_ |= 0x0400;
        flags_ |= flag::KeyModeByte;
    }
    if (!io(link_.gotoState(TestLogicReset)))
        return;
    if (!checkDeviceId() || !initialise())
        return;
    // From here on the chip is taken out of programming mode whatever the later steps did.
    if (securityRead() && actionChecks())
        programAction();
    leave();
}

bool FpgaProgrammer::checkDeviceId()
{
    std::array<std::uint8_t, 4> id{};
    if (!loadIr(ir::IdCode) || !readDr(32, id))
        return false;
    const std::uint32_t read = image::getU32(id, 0);
    const std::uint32_t mask = field(57, 4);
    if ((read & mask) != (field(31, 4) & mask)) {
        fail(err::DeviceId);
        if (hooks_.log)
            hooks_.log("device ID read " + std::to_string(read));
        if (hooks_.messageBox) {
            hooks_.messageBox("dp_check_device_ID_ERROR:device_ID" + std::to_string(read & mask));
            hooks_.messageBox("读设备ID出错");
        }
        return false;
    }
    deviceId_ = read;
    revision_ = static_cast<std::uint8_t>(read >> 28);
    segments_ = static_cast<std::uint8_t>(field(61, 1));
    rows_ = static_cast<std::uint16_t>(field(62, 2));
    flags_ |= static_cast<std::uint16_t>(field(55, 1));
    scanBits_ = static_cast<std::uint16_t>(field(64, 2));
    eraseClocks_ = static_cast<std::uint8_t>(field(66, 1));
    family_ = static_cast<std::uint8_t>(field(56, 1));
    return true;
}

bool FpgaProgrammer::initialise()
{
    std::array<std::uint8_t, 16> answer{};
    if (!loadIr(ir::InitRead) || !readDr(8, answer))
        return false;
    if (image_->blockOffset(2) && scanBits_ > 0 && !streamDr(2, 0, scanBits_))
        return false;
    const std::uint8_t zeros[3] = {0, 0, 0};
    if (!loadIr(ir::Enable) || !clocks(1) || !loadIr(ir::Init) || !writeDr(18, zeros) || !clocks(3) ||
        !readDr(18, std::span(answer).first(3)))
        return false;
    if ((answer[2] & 0x03) != 0x03)
        return !fail(err::Initialise);
    if (family_ == 1 || family_ == 2) {
        if (!loadIr(ir::Variant) || !readDr(6, std::span(answer).first(1)))
            return false;
        const std::uint8_t v = answer[0] & 0x3F;
        if ((v == 0x20 && family_ == 1) || (v == 0x21 && family_ == 2))
            return !fail(err::DeviceId);
        if (v == 0x3F) {
            const std::uint8_t select[1] = {4};
            if (!loadIr(ir::VariantSelect) || !writeDr(3, select) || !clocks(1) || !loadIr(ir::VariantRead) ||
                !clocks(3) || !readDr(128, answer))
                return false;
            const bool high = (answer[6] & 0x80) != 0;
            if ((family_ == 1 && !high) || (family_ == 2 && high))
                return !fail(err::DeviceId);
        }
    }
    if (support_ & 0xFC00) {
        const auto key = block16(31);
        if (key && std::any_of(key->begin(), key->end(), [](std::uint8_t b) { return b != 0; })) {
            Vector16 reply{};
            if (!keyCheck(*key, reply))
                return false;
        }
    }
    if (const auto key = block16(29)) {
        if (!loadIr(ir::KeyPresent) || !readDr(128, answer, *key))
            return false;
        if ((answer[0] & 0x03) == 0x01)
            flags_ |= flag::KeyPresent;
    }
    return true;
}

bool FpgaProgrammer::keyCheck(std::span<const std::uint8_t> vector, Vector16& answer)
{
    if (!loadIr(ir::KeyCheck) || !writeDr(128, vector) || !clocks(3) || !readDr(128, answer))
        return false;
    return (answer[15] & 0x80) != 0 || !fail(err::KeyCheck);
}

bool FpgaProgrammer::securityRead()
{
    securitySettings_.fill(0);
    return loadIr(ir::SecurityRead) && readDr(securityBits(), securitySettings_);
}

bool FpgaProgrammer::dualKeyPart() const
{
    const std::uint32_t part = deviceId_ & kPartMask;
    return std::find(std::begin(kDualKeyParts), std::end(kDualKeyParts), part) != std::end(kDualKeyParts) ||
           (part == 0x033261CF && revision_ >= 2) || part == 0x0353A1CF;
}

bool FpgaProgrammer::variantExempt() const
{
    const std::uint32_t id = deviceId_ & 0x0FFFFFFF;
    return std::find(std::begin(kVariantExempt), std::end(kVariantExempt), id) != std::end(kVariantExempt);
}

bool FpgaProgrammer::checkDataPresent()
{
    const CheckData empty;
    const CheckData& c = hooks_.checks ? *hooks_.checks : empty;
    std::string missing;
    const auto need = [&missing](bool present, const char* what) {
        if (!present)
            missing += (missing.empty() ? "" : ", ") + std::string(what);
    };
    need(c.conflicts.has_value(), "conflict");
    if (dualKeyPart())
        need(c.dualKey.has_value(), "dualkey");
    if (!variantExempt()) {
        need(c.variants[0].has_value(), "variant1");
        need(c.variants[1].has_value(), "variant2");
        need(c.variants[2].has_value(), "variant3");
    }
    if (missing.empty())
        return true;
    // Never program with a check left out: the run stops here, before anything is erased.
    const std::string text = std::string("缺少FPGA校验数据（") + kCheckDataFile + "）：" + missing;
    say(text);
    if (hooks_.messageBox)
        hooks_.messageBox(text);
    return !fail(err::CheckDataMissing);
}

bool FpgaProgrammer::actionChecks()
{
    if (!checkDataPresent())
        return false;
    const CheckData& c = *hooks_.checks;
    for (const ConflictRule& rule : *c.conflicts)
        if ((securitySettings_[rule.byte] & rule.mask) == rule.value && (rule.support == 0 || (support_ & rule.support)))
            return !fail(rule.code);
    Vector16 answer{};
    if (dualKeyPart()) {
        if (!keyCheck(*c.dualKey, answer))
            return false;
        if (answer[15] & 0x40)
            flags_ |= flag::DualKeyPresent;
    }
    if (!variantExempt()) {
        const std::uint32_t keyType = field(30, 1);
        bool anyPresent = false;
        for (std::size_t v = 0; v < 3; ++v) {
            if (!keyCheck(*c.variants[v], answer))
                return false;
            const bool present = (answer[15] & 0x40) != 0;
            anyPresent = anyPresent || present;
            if ((keyType == kVariantKeyTypes[v]) != present)
                return !fail(err::DeviceId);
        }
        if ((flags_ & flag::KeyModeByte) && !anyPresent)
            return !fail(err::DeviceId);
    }
    return actionSupported();
}

bool FpgaProgrammer::actionSupported()
{
    for (const ActionRule& r : kActionRules) {
        if (action_ < r.first || action_ > r.last)
            continue;
        bool good = r.anyOf == 0 || (support_ & r.anyOf) != 0;
        if (action_ == 6)
            good = (support_ & 0x0001) || ((support_ & 0x0002) && !(support_ & 0x0800)) || (support_ & 0x0080);
        if (action_ == 13)
            good = good && !(support_ & 0x0800);
        return good || !fail(err::Unsupported);
    }
    return !fail(err::NoAction);
}

bool FpgaProgrammer::programAction()
{
    const bool array = support_ & 0x0001;
    const bool encrypted = array && (support_ & 0x0400);
    if (encrypted && !authenticate())
        return false;
    if (!erase())
        return false;
    if (array && !encrypted && !(rowPass(0) && rowPass(1) && rowPass(2)))
        return false;
    if (encrypted) {
        say("dp_enc_program_array_begin");
        if (!encryptedPass(5, err::Program))
            return false;
        say("dp_enc_program_array_over");
        say("dp_enc_verify_array_begin");
        if (!encryptedPass(5, err::Verify))
            return false;
        say("dp_enc_verify_array_over");
        if (!encryptedPass(6, err::Program))
            return false;
    }
    return security();
}

bool FpgaProgrammer::authenticate()
{
    const std::uint64_t pieces = std::uint64_t{rows_} * segments_ * 2;
    for (std::uint64_t p = 0; p < pieces; ++p) {
        std::array<std::uint8_t, 1> status{};
        if (aborted() || !loadIr(ir::Encrypted) || !streamDr(5, p * 128, 128) || !clocks(3) ||
            !loadIr(ir::Status) || !readDr(5, status))
            return false;
        if (status[0] & kAuthErrorBit)
            return !fail(err::Authenticate);
    }
    return true;
}

bool FpgaProgrammer::encryptedPass(std::uint8_t block, std::uint8_t errorCode)
{
    if (flags_ & flag::KeyModeByte) {
        const std::uint8_t mode[1] = {keyMode_};
        if (!loadIr(ir::KeyMode) || !writeDr(2, mode) || !clocks(3))
            return false;
    }
    for (int row = rows_ - 1; row >= 0; --row) {
        const std::uint64_t first = std::uint64_t(rows_ - 1 - row) * segments_ * 2;
        for (std::uint64_t p = 0; p < std::uint64_t{segments_} * 2; ++p)
            if (!loadIr(ir::Encrypted) || !streamDr(block, (first + p) * 128, 128) || !clocks(3) ||
                !poll(kPollAttempts, errorCode))
                return false;
        if (hooks_.progress)
            hooks_.progress((rows_ - row) * 100 / rows_);
    }
    return true;
}

bool FpgaProgrammer::erase()
{
    // The new user row is taken from the image before anything is erased: a listed block cut
    // off by the image's end stops the run with the chip untouched.
    const bool userRow = image_->blockOffset(4).has_value();
    Vector16 newRow{};
    if (userRow && !imageUserRow(newRow))
        return !fail(err::Image);
    say("正在擦除器件Erase...");
    if (hooks_.playWave)
        hooks_.playWave("images\\Sound\\开始擦除.wav");
    // Erase options: bit 0 the array, 1..3 security, 4 the user row, 8..15 from block 7.
    std::uint32_t options = (support_ & 0x0001) ? 1 : 0;
    if (support_ & 0x0100)
        options |= 0x0E;
    if (userRow)
        options |= 0x10;
    if (support_ & 0x0002)
        options |= image_->getBytes(7, 0, 1).value_or(0) << 8;
    Vector16 oldRow{};
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(options), static_cast<std::uint8_t>(options >> 8),
                                   static_cast<std::uint8_t>(options >> 16)};
    if (!loadIr(ir::UserRowRead) || !readDr(128, oldRow) || !loadIr(ir::Erase) || !writeDr(23, bytes) ||
        !clocks(3) || !erasePoll())
        return false;
    if ((flags_ & flag::SmartErase) && !smartErase())
        return false;
    return !userRow || writeUserRow(oldRow, newRow);
}

bool FpgaProgrammer::erasePoll()
{
    if (!loadIr(ir::Status))
        return false;
    for (int attempt = 1; attempt <= kErasePollAttempts; ++attempt) {
        if (aborted())
            return false;
        hooks_.clock->sleepFor(kErasePollInterval);
        if (aborted())
            return false;
        std::array<std::uint8_t, 1> status{};
        if (!readDr(5, status))
            return false;
        if (hooks_.progress)
            hooks_.progress(std::min(attempt, 100));
        if ((status[0] & kEraseBusyBits) == 0)
            return true;
    }
    return !fail(err::Erase);
}

bool FpgaProgrammer::smartErase()
{
    const std::uint8_t reset[1] = {2}, advance[1] = {3}, pulse[1] = {0};
    if (!loadIr(ir::RowAddress) || !writeDr(2, reset) || !clocks(3))
        return false;
    for (int row = rows_ - 1; row >= 0; --row) {
        if (!loadIr(ir::SmartErase) || !writeDr(2, pulse) || !clocks(eraseClocks_) || !poll(kErasePollAttempts, err::Erase))
            return false;
        if (row > 0 && !(loadIr(ir::RowAddress) && writeDr(2, advance) && clocks(3)))
            return false;
    }
    if (!poll(kLongPollAttempts, err::PollTimeout)) {
        if (error_ == err::PollTimeout)
            error_ = err::Erase;
        return false;
    }
    return true;
}

bool FpgaProgrammer::imageUserRow(Vector16& row)
{
    // Bytes 0..8 from block 1 when the table lists it, the rest from block 4.
    if (!image_->getBlock(4, 0, row))
        return false;
    if (!image_->blockOffset(1))
        return true;
    std::array<std::uint8_t, 9> user{};
    if (!image_->getBlock(1, 0, user))
        return false;
    std::copy(user.begin(), user.end(), row.begin());
    return true;
}

bool FpgaProgrammer::writeUserRow(const Vector16& oldRow, Vector16 row)
{
    // A 10-bit programming-cycle counter in the top bits of bytes 14 and 15 counts on from
    // the old row.
    const unsigned old = (oldRow[14] >> 6) | (static_cast<unsigned>(oldRow[15]) << 2);
    const unsigned count = (old + 1) % 1023;
    row[14] = static_cast<std::uint8_t>((row[14] & 0x3F) | (count & 3) << 6);
    row[15] = static_cast<std::uint8_t>(count >> 2);
    Vector16 back{};
    if (!loadIr(ir::UserRowWrite) || !writeDr(128, row) || !clocks(15) || !poll(kPollAttempts, err::PollTimeout) ||
        !loadIr(ir::UserRowRead) || !readDr(128, back))
        return false;
    return back == row || !fail(err::UserRow);
}

// Pass 0 programs the rows of block 5, 1 verifies them, 2 programs the row lock of block 6.
bool FpgaProgrammer::rowPass(int pass)
{
    if (pass == 0 || pass == 1) {
        say(pass == 0 ? "正在执行第2步（共3步），大概需要15分钟时间" : "正在执行第3步（共3步），大概需要15分钟时间");
        if (hooks_.playWave)
            hooks_.playWave(pass == 0 ? "images\\Sound\\开始编程.wav" : "images\\Sound\\开始校验.wav");
    }
    const std::uint8_t block = pass == 2 ? 6 : 5;
    const bool addressed = (deviceId_ & kPartMask) == kRowAddressPart && (flags_ & flag::RowAddress);
    const std::uint8_t reset[1] = {2}, advance[1] = {3}, mode[1] = {0};
    if (!loadIr(ir::RowAddress) || !writeDr(2, reset) || !clocks(3))
        return false;
    for (int row = rows_ - 1; row >= 0; --row) {
        if (aborted())
            return false;
        const std::uint64_t index = static_cast<std::uint64_t>(rows_ - 1 - row);
        if (addressed) {
            if (pass == 0)
                say("AXXE1500X_ID_MASK");
            std::array<std::uint8_t, 24> address{};
            address[0] = static_cast<std::uint8_t>(row);
            address[1] = static_cast<std::uint8_t>(row >> 8);
            if (!loadIr(ir::SetRowAddress) || !writeDr(192, address) || !clocks(3))
                return false;
        }
        if (!loadIr(ir::LoadRow))
            return false;
        for (std::uint64_t shift = 0; shift < std::uint64_t{segments_} * kRowShifts; ++shift) {
            const std::uint64_t start = (index * segments_ * kRowShifts + shift) * kRowShiftBits;
            if (!streamDr(block, start, kRowShiftBits) || !clocks(3))
                return false;
        }
        if (pass == 1) {
            for (const std::uint8_t verify : {ir::Verify0, ir::Verify1}) {
                std::array<std::uint8_t, 1> result{};
                if (!loadIr(verify) || !writeDr(2, mode) || !clocks(3) || !poll(kPollAttempts, err::Verify) ||
                    !loadIr(verify) || !readDr(2, result))
                    return false;
                if (result[0] & 0x03)
                    return !fail(err::Verify);
            }
        } else if (!loadIr(pass == 0 ? ir::ProgramRow : ir::RowLock) || !clocks(3) || !poll(kPollAttempts, err::Program)) {
            return false;
        }
        if (hooks_.progress)
            hooks_.progress(static_cast<int>((rows_ - row) * 100 / rows_));
        if (row > 0 && !(loadIr(ir::RowAddress) && writeDr(2, advance) && clocks(3)))
            return false;
    }
    return true;
}

bool FpgaProgrammer::security()
{
    const int bits = securityBits();
    std::array<std::uint8_t, 7> settings = securitySettings_;
    if (!(support_ & 0x0100)) {
        const std::uint32_t word = image_->getBytes(3, 0, 4).value_or(0);
        if (word == 0)
            return true;
        for (int i = 0; i < 4; ++i)
            settings[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(word >> (8 * i));
        if (!loadIr(ir::SecurityWrite) || !writeDr(bits, settings) || !clocks(3) || !poll(kPollAttempts, err::Security)) {
            if (error_ == err::PollTimeout)
                error_ = err::Security;
            return false;
        }
        return true;
    }
    const auto block29 = block16(29);
    const Vector16 zero{};
    if (!loadIr(ir::SecurityProgram) || !writeDr(128, block29.value_or(zero)) || !clocks(3) ||
        !poll(kPollAttempts, err::PollTimeout))
        return false;
    Vector16 answer{};
    if (support_ & 0x0200) {
        const auto key = block16(30);
        const auto check = block16(31);
        if (!loadIr(ir::KeyProgram) || !writeDr(128, key.value_or(zero)) || !clocks(15) ||
            !poll(kPollAttempts, err::PollTimeout) || !keyCheck(check.value_or(zero), answer))
            return false;
    }
    if (!loadIr(ir::KeyPresent) || !readDr(128, answer, block29.value_or(zero)))
        return false;
    if ((answer[0] & 0x03) != 0x01)
        return !fail(err::KeyMissing);
    const std::size_t own = dualKeyPart() ? 3 : 2;
    for (std::size_t i = 0; i < own; ++i)
        if (const auto b = image_->getBytes(32, static_cast<std::uint32_t>(i), 1))
            settings[i] = static_cast<std::uint8_t>(*b);
    std::array<std::uint8_t, 7> back{};
    if (!loadIr(ir::SecurityWrite) || !writeDr(bits, settings) || !clocks(3) || !poll(kPollAttempts, err::PollTimeout) ||
        !loadIr(ir::SecurityRead) || !readDr(bits, back))
        return false;
    std::array<std::uint8_t, 7> mask{0xFF, 0xFF, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF};
    std::size_t compared = 7;
    if (!dualKeyPart()) {
        mask = {0xFF, 0xF3, 0xFF, 0xFF, 0xFF, 0x0F, 0};
        compared = 6;
    }
    for (std::size_t i = 0; i < compared; ++i)
        if ((settings[i] & mask[i]) != (back[i] & mask[i]))
            return !fail(err::Security);
    return true;
}

void FpgaProgrammer::leave()
{
    // Runs after errors too: keep the first error, but a dead link still ends the sequence.
    const std::uint8_t kept = error_;
    error_ = 0;
    const std::uint8_t bypass[1] = {ir::Bypass};
    std::array<std::uint8_t, 1> captured{};
    if (loadIr(ir::Leave) && io(link_.gotoState(ShiftIr)) && io(link_.shiftInOut(8, bypass, captured)) &&
        io(link_.gotoState(RunTestIdle))) {
        if (!(captured[0] & 0x04))
            loadIr(ir::Exit) && clocks(1);
        if (ok())
            io(link_.gotoState(TestLogicReset));
    }
    if (kept != 0)
        error_ = kept;
}

} // namespace qv::device::fpga
