#pragma once
// Programs the panel's flash FPGA from a programming data image over the JTAG link:
// device check, initialisation, security checks, erase, row programming and verification,
// row lock, user row and security. Everything one run needs lives in one FpgaProgrammer, so
// runs are independent; the user interface, the sounds, the clock and the abort flag come in
// through FpgaHooks.
#include "device/fpga/fpga_checks.h"
#include "device/fpga/fpga_image.h"
#include "device/jtag/jtag_link.h"
#include "device/link/wait_clock.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace qv::device::fpga {

// Instruction codes of the FPGA's TAP.
namespace ir {
inline constexpr std::uint8_t InitRead = 0x01;
inline constexpr std::uint8_t Exit = 0x07;
inline constexpr std::uint8_t KeyCheck = 0x0A;
inline constexpr std::uint8_t IdCode = 0x0F;
inline constexpr std::uint8_t Init = 0x80;
inline constexpr std::uint8_t Leave = 0x81;
inline constexpr std::uint8_t ProgramRow = 0x83;
inline constexpr std::uint8_t Status = 0x84;
inline constexpr std::uint8_t Erase = 0x85;
inline constexpr std::uint8_t SmartErase = 0x86;
inline constexpr std::uint8_t RowAddress = 0x87;
inline constexpr std::uint8_t LoadRow = 0x89;
inline constexpr std::uint8_t SecurityProgram = 0x8B;
inline constexpr std::uint8_t RowLock = 0x8C;
inline constexpr std::uint8_t Verify0 = 0x8D;
inline constexpr std::uint8_t Verify1 = 0x8E;
inline constexpr std::uint8_t KeyProgram = 0x91;
inline constexpr std::uint8_t KeyPresent = 0x92;
inline constexpr std::uint8_t SecurityWrite = 0xA3;
inline constexpr std::uint8_t SecurityRead = 0xA4;
inline constexpr std::uint8_t UserRowWrite = 0xA7;
inline constexpr std::uint8_t UserRowRead = 0xA8;
inline constexpr std::uint8_t SetRowAddress = 0xA9;
inline constexpr std::uint8_t KeyMode = 0xAC;
inline constexpr std::uint8_t Variant = 0xB4;
inline constexpr std::uint8_t VariantRead = 0xBF;
inline constexpr std::uint8_t Enable = 0xC0;
inline constexpr std::uint8_t Encrypted = 0xDF;
inline constexpr std::uint8_t VariantSelect = 0xF9;
inline constexpr std::uint8_t Bypass = 0xFF;
} // namespace ir

// Device flags: the image's byte 55 and what the run learns.
namespace flag {
inline constexpr std::uint16_t SmartErase = 0x02;
inline constexpr std::uint16_t RowAddress = 0x04; // rows addressed with 0xA9 (one part only)
inline constexpr std::uint16_t KeyModeByte = 0x100;
inline constexpr std::uint16_t KeyPresent = 0x200;
inline constexpr std::uint16_t DualKeyPresent = 0x400;
} // namespace flag

inline constexpr int kPollAttempts = 16381;
inline constexpr int kErasePollAttempts = 262141;
inline constexpr int kLongPollAttempts = 2621401;
inline constexpr std::chrono::milliseconds kErasePollInterval{500};
inline constexpr int kRowShifts = 8;   // shifts per segment of a row
inline constexpr int kRowShiftBits = 26;

struct FpgaHooks {
    std::function<void(const std::string& gbk)> stepText;
    std::function<void(int percent)> progress;
    std::function<void(const std::string& gbk)> messageBox;
    std::function<void(const std::string& text)> log;
    // A wave under the base folder, as a stored path ("images\Sound\...").
    std::function<void(const std::string& storedPath)> playWave;
    const std::atomic<bool>* abort = nullptr;
    WaitClock* clock = &SteadyWaitClock::instance();
    const CheckData* checks = nullptr;
};

class FpgaProgrammer {
public:
    FpgaProgrammer(jtag::JtagLink& link, FpgaHooks hooks);

    // Action 5 over `image` (the data file's body): 0 on success, else the error code.
    std::uint8_t run(std::span<const std::uint8_t> image);

    std::uint16_t supportMask() const { return support_; }
    std::uint16_t deviceFlags() const { return flags_; }
    std::uint32_t deviceId() const { return deviceId_; }

private:
    bool ok() const { return error_ == 0; }
    bool fail(std::uint8_t code);
    bool io(std::uint8_t linkResult);
    bool aborted();

    // TAP sequences.
    bool loadIr(std::uint8_t code);
    bool writeDr(int bits, std::span<const std::uint8_t> data);
    bool readDr(int bits, std::span<std::uint8_t> out, std::span<const std::uint8_t> data = {});
    bool clocks(int n);
    bool streamDr(std::uint8_t block, std::uint64_t startBit, std::uint64_t bits);
    bool poll(int attempts, std::uint8_t errorCode);
    std::optional<Vector16> block16(std::uint8_t block);

    // Steps.
    void programTop();
    bool checkDeviceId();
    bool initialise();
    bool keyCheck(std::span<const std::uint8_t> vector, Vector16& answer);
    bool securityRead();
    bool actionChecks();
    bool checkDataPresent();
    bool actionSupported();
    bool programAction();
    bool authenticate();
    bool erase();
    bool erasePoll();
    bool smartErase();
    // The user row the image asks for; false when a block it lists runs past the image.
    bool imageUserRow(Vector16& row);
    bool writeUserRow(const Vector16& oldRow, Vector16 row);
    bool rowPass(int pass);
    bool encryptedPass(std::uint8_t block, std::uint8_t errorCode);
    bool security();
    void leave();

    bool dualKeyPart() const;
    bool variantExempt() const;
    int securityBits() const { return dualKeyPart() ? 56 : 44; }
    void say(const std::string& gbk);
    std::uint32_t field(std::uint32_t offset, int count);

    jtag::JtagLink& link_;
    FpgaHooks hooks_;
    std::optional<ImageReader> image_;
    std::uint8_t error_ = 0;
    std::uint8_t action_ = 5;
    std::uint16_t support_ = 0;
    std::uint16_t flags_ = 0;
    std::uint8_t keyMode_ = 0;
    std::uint32_t deviceId_ = 0;
    std::uint8_t revision_ = 0;
    std::uint8_t segments_ = 0;
    std::uint16_t rows_ = 0;
    std::uint16_t scanBits_ = 0;
    std::uint8_t eraseClocks_ = 0;
    std::uint8_t family_ = 0;
    std::array<std::uint8_t, 7> securitySettings_{};
};

// FpgaProgrammer(link, hooks).run(image).
std::uint8_t FpgaRunProgram(jtag::JtagLink& link, std::span<const std::uint8_t> image, FpgaHooks hooks);

} // namespace qv::device::fpga
