#pragma once
// The panel's FPGA as a JTAG target, for the simulated panel in upgrade mode: the standard
// TAP controller clocked by each packet's TMS and TDI bits, an instruction register and the
// data registers behind it, and a small flash FPGA that answers the IDCODE, the
// initialisation read, status polls (busy for a set number of polls), key and security
// reads, the user row, row loading, programming, verification and the row lock.
#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace qv::device::virtual_panel {

using Key16 = std::array<std::uint8_t, 16>;

struct SimFpgaSettings {
    std::uint32_t idcode = 0x049011CF;
    int busyPolls = 1;      // status reads that answer busy after each operation
    int eraseBusyPolls = 2; // after an erase
    bool stuckBusy = false; // operations never end
    bool initOk = true;     // the initialisation read's bits 16 and 17
    bool failVerify = false;
    bool authFail = false; // status bit 3 (authentication failed) after each encrypted piece
    std::uint8_t variantAnswer = 0;              // the 6 bits of instruction 0xB4
    std::map<Key16, std::uint8_t> keyAnswers;    // last answer byte of 0x0A per vector (else 0x80)
    bool keyPresent = false;
    std::uint8_t irCapture = 0x01;
    int securityBits = 44; // 56 on dual-key parts
    std::array<std::uint8_t, 7> security{};
    std::array<std::uint8_t, 16> userRow{};
};

enum class TapState : std::uint8_t {
    TestLogicReset, RunTestIdle, SelectDr, CaptureDr, ShiftDr, Exit1Dr, PauseDr, Exit2Dr, UpdateDr,
    SelectIr, CaptureIr, ShiftIr, Exit1Ir, PauseIr, Exit2Ir, UpdateIr
};

// The link's number of a state (0 for states the link never rests in).
std::uint8_t linkStateNumber(TapState s);
TapState nextTapState(TapState s, bool tms);

class SimJtagTarget {
public:
    explicit SimJtagTarget(SimFpgaSettings settings = {});

    // One packet as the panel's firmware reads it (the vendor driver's n + 5 bytes or a
    // whole 64-byte packet); `reply` gets the read-back of command 4. False for a packet the
    // firmware refuses (too short, too many bits for its data); nothing is clocked then.
    bool onPacket(std::span<const std::uint8_t> packet, std::vector<std::uint8_t>& reply);

    TapState state() const { return state_; }
    // The link's number of the TAP state after every packet.
    const std::vector<std::uint8_t>& stateLog() const { return stateLog_; }
    // Every instruction that reached Update-IR, in order.
    const std::vector<std::uint8_t>& instructions() const { return instructions_; }
    int refusedPackets() const { return refused_; }
    int erases() const { return erases_; }
    // Programmed rows and row locks by row address, each the row's bits packed LSB first.
    const std::map<int, std::vector<std::uint8_t>>& rows() const { return rows_; }
    const std::map<int, std::vector<std::uint8_t>>& rowLocks() const { return locks_; }
    const std::array<std::uint8_t, 16>& userRow() const { return settings_.userRow; }
    const std::array<std::uint8_t, 7>& security() const { return settings_.security; }
    // Every 128-bit piece shifted under instruction 0xDF (encrypted data), in order.
    const std::vector<Key16>& encryptedPieces() const { return encrypted_; }
    // The key mode values written with instruction 0xAC, in order.
    const std::vector<std::uint8_t>& keyModes() const { return keyModes_; }

private:
    void clock(bool tms, bool tdi, bool& tdo);
    void capture();
    void update();
    void updateIr();
    void startOperation(int polls) { busy_ = polls; }
    int registerBits(std::uint8_t instruction) const;
    std::vector<std::uint8_t> registerBytes() const;
    void setRegister(std::span<const std::uint8_t> bytes, int bits);

    SimFpgaSettings settings_;
    TapState state_ = TapState::TestLogicReset;
    std::uint8_t ir_ = 0x0F;
    std::vector<bool> irShift_;
    std::vector<bool> dr_;
    int busy_ = 0;
    int rowAddress_ = 0;
    std::vector<bool> rowBuffer_;
    Key16 lastVector_{};
    std::uint8_t verifyResult_ = 0;
    std::map<int, std::vector<std::uint8_t>> rows_;
    std::map<int, std::vector<std::uint8_t>> locks_;
    std::vector<std::uint8_t> stateLog_;
    std::vector<std::uint8_t> instructions_;
    std::vector<Key16> encrypted_;
    std::vector<std::uint8_t> keyModes_;
    bool authError_ = false;
    int refused_ = 0;
    int erases_ = 0;
};

} // namespace qv::device::virtual_panel
