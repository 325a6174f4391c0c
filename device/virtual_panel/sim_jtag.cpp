#include "device/virtual_panel/sim_jtag.h"

#include <algorithm>

namespace qv::device::virtual_panel {
namespace {

using S = TapState;

// Next state for TMS 0 and TMS 1, in the order of TapState.
constexpr S kNext[16][2] = {
    {S::RunTestIdle, S::TestLogicReset}, {S::RunTestIdle, S::SelectDr}, {S::CaptureDr, S::SelectIr},
    {S::ShiftDr, S::Exit1Dr},            {S::ShiftDr, S::Exit1Dr},      {S::PauseDr, S::UpdateDr},
    {S::PauseDr, S::Exit2Dr},            {S::ShiftDr, S::UpdateDr},     {S::RunTestIdle, S::SelectDr},
    {S::CaptureIr, S::TestLogicReset},   {S::ShiftIr, S::Exit1Ir},      {S::ShiftIr, S::Exit1Ir},
    {S::PauseIr, S::UpdateIr},           {S::PauseIr, S::Exit2Ir},      {S::ShiftIr, S::UpdateIr},
    {S::RunTestIdle, S::SelectDr},
};

struct RegisterLength {
    std::uint8_t instruction;
    int bits;
};
// Data register lengths; instructions not listed select a 1-bit bypass register.
constexpr RegisterLength kRegisters[] = {
    {0x01, 8},   {0x0A, 128}, {0x0F, 32},  {0x80, 18},  {0x84, 5},   {0x85, 23},  {0x86, 2},  {0x87, 2},
    {0x89, 26},  {0x8B, 128}, {0x8D, 2},   {0x8E, 2},   {0x91, 128}, {0x92, 128}, {0xA3, 56}, {0xA4, 56},
    {0xA7, 128}, {0xA8, 128}, {0xA9, 192}, {0xAC, 2},   {0xB4, 6},   {0xBF, 128}, {0xDF, 128}, {0xF9, 3},
};

std::vector<std::uint8_t> pack(const std::vector<bool>& bits)
{
    std::vector<std::uint8_t> out((bits.size() + 7) / 8, 0);
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (bits[i])
            out[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
    return out;
}

} // namespace

std::uint8_t linkStateNumber(TapState s)
{
    switch (s) {
    case S::TestLogicReset: return 1;
    case S::RunTestIdle: return 2;
    case S::ShiftDr: return 3;
    case S::ShiftIr: return 4;
    case S::Exit1Dr: return 5;
    case S::Exit1Ir: return 6;
    case S::PauseDr: return 7;
    case S::PauseIr: return 8;
    case S::UpdateDr:
    case S::UpdateIr: return 9; // the link's one update state: both leave alike
    case S::CaptureDr: return 11;
    default: return 0;
    }
}

TapState nextTapState(TapState s, bool tms)
{
    return kNext[static_cast<int>(s)][tms ? 1 : 0];
}

SimJtagTarget::SimJtagTarget(SimFpgaSettings settings) : settings_(std::move(settings)) {}

int SimJtagTarget::registerBits(std::uint8_t instruction) const
{
    if (instruction == 0xA3 || instruction == 0xA4)
        return settings_.securityBits;
    for (const RegisterLength& r : kRegisters)
        if (r.instruction == instruction)
            return r.bits;
    return 1;
}

std::vector<std::uint8_t> SimJtagTarget::registerBytes() const
{
    return pack(dr_);
}

void SimJtagTarget::setRegister(std::span<const std::uint8_t> bytes, int bits)
{
    dr_.assign(static_cast<std::size_t>(bits), false);
    for (int i = 0; i < bits; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) / 8;
        dr_[static_cast<std::size_t>(i)] = at < bytes.size() && ((bytes[at] >> (i % 8)) & 1);
    }
}

bool SimJtagTarget::onPacket(std::span<const std::uint8_t> p, std::vector<std::uint8_t>& reply)
{
    reply.clear();
    const auto refuse = [this] {
        ++refused_;
        stateLog_.push_back(linkStateNumber(state_));
        return false;
    };
    if (p.size() < 5 || p[4] > 59 || p.size() < 5u + p[4])
        return refuse();
    const std::uint8_t command = p[0], last = p[1], b2 = p[2], b3 = p[3], n = p[4];
    const auto data = p.subspan(5, n);
    const auto bit = [&data](int i) { return ((data[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 1) != 0; };
    bool tdo = false;
    switch (command) {
    case 0: break;
    case 1:
        for (int i = 0; i < b3; ++i)
            clock(i < 8 && ((b2 >> i) & 1), false, tdo);
        break;
    case 2:
        for (int i = 0; i < b3; ++i)
            clock(false, false, tdo);
        break;
    case 3: {
        if (b2 > 7 || (b2 + b3 + 7) / 8 > n)
            return refuse();
        for (int i = 0; i < b3; ++i)
            clock(last && i == b3 - 1, bit(b2 + i), tdo);
        break;
    }
    case 4: {
        if ((b3 + 7) / 8 > n)
            return refuse();
        reply.assign((b3 + 7) / 8, 0);
        for (int i = 0; i < b3; ++i) {
            clock(i == b3 - 1, bit(i), tdo);
            if (tdo)
                reply[static_cast<std::size_t>(i / 8)] |= static_cast<std::uint8_t>(1u << (i % 8));
        }
        break;
    }
    default: return refuse();
    }
    stateLog_.push_back(linkStateNumber(state_));
    return true;
}

void SimJtagTarget::clock(bool tms, bool tdi, bool& tdo)
{
    switch (state_) {
    case S::ShiftDr:
        tdo = !dr_.empty() && dr_.front();
        if (!dr_.empty()) {
            dr_.erase(dr_.begin());
            dr_.push_back(tdi);
        }
        break;
    case S::ShiftIr:
        tdo = !irShift_.empty() && irShift_.front();
        if (!irShift_.empty()) {
            irShift_.erase(irShift_.begin());
            irShift_.push_back(tdi);
        }
        break;
    case S::CaptureDr: capture(); break;
    case S::CaptureIr:
        irShift_.assign(8, false);
        for (int i = 0; i < 8; ++i)
            irShift_[static_cast<std::size_t>(i)] = (settings_.irCapture >> i) & 1;
        break;
    default: break;
    }
    state_ = nextTapState(state_, tms);
    if (state_ == S::UpdateDr)
        update();
    else if (state_ == S::UpdateIr)
        updateIr();
    else if (state_ == S::TestLogicReset)
        ir_ = 0x0F;
}

void SimJtagTarget::capture()
{
    const int bits = registerBits(ir_);
    std::array<std::uint8_t, 24> v{};
    switch (ir_) {
    case 0x0F:
        for (int i = 0; i < 4; ++i)
            v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(settings_.idcode >> (8 * i));
        break;
    case 0x80:
        if (settings_.initOk)
            v[2] = 0x03;
        break;
    case 0x84:
        if (settings_.stuckBusy || busy_ > 0) {
            v[0] = 0x03;
            if (busy_ > 0)
                --busy_;
        }
        if (authError_)
            v[0] |= 0x08;
        break;
    case 0xB4: v[0] = settings_.variantAnswer; break;
    case 0x0A: {
        const auto it = settings_.keyAnswers.find(lastVector_);
        v[15] = it != settings_.keyAnswers.end() ? it->second : 0x80;
        break;
    }
    case 0x92: v[0] = settings_.keyPresent ? 0x01 : 0x00; break;
    case 0xA4: std::copy(settings_.security.begin(), settings_.security.end(), v.begin()); break;
    case 0xA8: std::copy(settings_.userRow.begin(), settings_.userRow.end(), v.begin()); break;
    case 0x8D:
    case 0x8E: v[0] = verifyResult_; break;
    default: break;
    }
    setRegister(v, bits);
}

void SimJtagTarget::update()
{
    const std::vector<std::uint8_t> value = registerBytes();
    const auto byte = [&value](std::size_t i) -> std::uint8_t { return i < value.size() ? value[i] : 0; };
    switch (ir_) {
    case 0x87:
        if ((byte(0) & 3) == 2)
            rowAddress_ = 0;
        else if ((byte(0) & 3) == 3)
            ++rowAddress_;
        break;
    case 0x89: rowBuffer_.insert(rowBuffer_.end(), dr_.begin(), dr_.end()); break;
    case 0x8D:
    case 0x8E: {
        const auto it = rows_.find(rowAddress_);
        const bool same = it != rows_.end() && it->second == pack(rowBuffer_);
        verifyResult_ = (same && !settings_.failVerify) ? 0 : 0x01;
        startOperation(settings_.busyPolls);
        break;
    }
    case 0x85:
        ++erases_;
        if (byte(0) & 0x01) {
            rows_.clear();
            locks_.clear();
        }
        if (byte(0) & 0x10)
            settings_.userRow.fill(0xFF);
        startOperation(settings_.eraseBusyPolls);
        break;
    case 0xA7:
        std::copy_n(value.begin(), 16, settings_.userRow.begin());
        startOperation(settings_.busyPolls);
        break;
    case 0xA3:
        settings_.security.fill(0);
        std::copy_n(value.begin(), std::min<std::size_t>(value.size(), 7), settings_.security.begin());
        startOperation(settings_.busyPolls);
        break;
    case 0x0A: std::copy_n(value.begin(), 16, lastVector_.begin()); break;
    case 0xDF: {
        Key16 piece{};
        std::copy_n(value.begin(), 16, piece.begin());
        encrypted_.push_back(piece);
        authError_ = settings_.authFail;
        startOperation(settings_.busyPolls);
        break;
    }
    case 0xAC: keyModes_.push_back(byte(0) & 3); break;
    case 0x86:
    case 0x8B:
    case 0x91: startOperation(settings_.busyPolls); break;
    default: break;
    }
}

void SimJtagTarget::updateIr()
{
    std::uint8_t code = 0;
    for (std::size_t i = 0; i < irShift_.size() && i < 8; ++i)
        if (irShift_[i])
            code |= static_cast<std::uint8_t>(1u << i);
    ir_ = code;
    instructions_.push_back(code);
    switch (code) {
    case 0x89: rowBuffer_.clear(); break;
    case 0x83:
        rows_[rowAddress_] = pack(rowBuffer_);
        startOperation(settings_.busyPolls);
        break;
    case 0x8C:
        locks_[rowAddress_] = pack(rowBuffer_);
        startOperation(settings_.busyPolls);
        break;
    default: break;
    }
}

} // namespace qv::device::virtual_panel
