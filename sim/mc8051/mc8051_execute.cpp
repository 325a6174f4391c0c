// The instruction loop. Each opcode jumps straight to its code through a table of labels, and
// each instruction's code ends in its own count and its own jump to the next one: no call and
// no shared dispatch jump, so the host predicts each opcode's successor apart.
// The label table (`goto *`) and the value-yielding helpers (statement expressions) are GNU
// extensions, kept for speed. With QV_MC8051_PORTABLE defined the same source builds in plain
// ISO C++20: one switch dispatches and the helpers are lambdas; the tests run both builds.
// While the loop runs, A, SP, CY, AC, OV and the register bank live in locals (host registers);
// PSW is put together only when something reads it (an instruction, a bit operation, a push,
// the end of the run), and P is worked out from A at that moment. Internal RAM below 0x80
// is a plain array access; only addresses from 0x80 go through the register checks.
#include "sim/mc8051/mc8051_cpu.h"

#include <algorithm>

namespace qv::sim {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

inline u16 relative(u16 next, u8 offset) { return static_cast<u16>(next + static_cast<std::int8_t>(offset)); }

constexpr std::uint32_t kWatchEvery = 128;
constexpr u8 kFlagBits = pswbit::CY | pswbit::AC | pswbit::OV;

} // namespace

// Each opcode's label, a row of sixteen: columns 0..5 one each, 6 and 7 the @R0/@R1 pair, 8..F
// the registers R0..R7.
#define QV_OPCODE_ROWS(ROW) \
    ROW(0x00, nop, ajmp, ljmp, rr, inc_a, inc_dir, inc_ind, inc_reg) \
    ROW(0x10, jbc, acall, lcall, rrc, dec_a, dec_dir, dec_ind, dec_reg) \
    ROW(0x20, jb, ajmp, ret, rl, add_imm, add_dir, add_ind, add_reg) \
    ROW(0x30, jnb, acall, reti, rlc, addc_imm, addc_dir, addc_ind, addc_reg) \
    ROW(0x40, jc, ajmp, orl_dir_a, orl_dir_imm, orl_imm, orl_dir, orl_ind, orl_reg) \
    ROW(0x50, jnc, acall, anl_dir_a, anl_dir_imm, anl_imm, anl_dir, anl_ind, anl_reg) \
    ROW(0x60, jz, ajmp, xrl_dir_a, xrl_dir_imm, xrl_imm, xrl_dir, xrl_ind, xrl_reg) \
    ROW(0x70, jnz, acall, orl_c, jmp_adptr, mova_imm, movdir_imm, movind_imm, movreg_imm) \
    ROW(0x80, sjmp, ajmp, anl_c, movc_pc, div, movdir_dir, movdir_ind, movdir_reg) \
    ROW(0x90, mov_dptr, acall, mov_bit_c, movc_dptr, subb_imm, subb_dir, subb_ind, subb_reg) \
    ROW(0xA0, orl_c_not, ajmp, mov_c_bit, inc_dptr, mul, nop, movind_dir, movreg_dir) \
    ROW(0xB0, anl_c_not, acall, cpl_bit, cpl_c, cjne_a_imm, cjne_a_dir, cjne_ind, cjne_reg) \
    ROW(0xC0, push, ajmp, clr_bit, clr_c, swap, xch_dir, xch_ind, xch_reg) \
    ROW(0xD0, pop, acall, setb_bit, setb_c, da, djnz_dir, xchd, djnz_reg) \
    ROW(0xE0, movx_a_dptr, ajmp, movx_a_ind, movx_a_ind, clr_a, mova_dir, mova_ind, mova_reg) \
    ROW(0xF0, movx_dptr_a, acall, movx_ind_a, movx_ind_a, cpl_a, movdir_a, movind_a, movreg_a)

inline bool Mc8051Cpu::needsLoop(int stop, int ticks, int pairs) const
{
    if (iram_[sfr::CmdAdr] != 0 || stop != 0)
        return true;
    if ((ticks | pairs) == 0 || inInterrupt)
        return false;
    const u8 ie = iram_[sfr::IE];
    return (ticks != 0 && (ie & iebit::Timer0) == iebit::Timer0) || (pairs != 0 && (ie & iebit::Serial) == iebit::Serial);
}

std::uint32_t Mc8051Cpu::runFor(std::uint32_t budget, const Mc8051Watch& watch)
{
#if !defined(QV_MC8051_PORTABLE)
    // GNU extension (labels as values): the address of each opcode's code, for `goto *`.
#define QV_LABEL_ROW(base, c0, c1, c2, c3, c4, c5, ind, reg) \
    &&op_##c0, &&op_##c1, &&op_##c2, &&op_##c3, &&op_##c4, &&op_##c5, &&op_##ind, &&op_##ind, \
    &&op_##reg, &&op_##reg, &&op_##reg, &&op_##reg, &&op_##reg, &&op_##reg, &&op_##reg, &&op_##reg,
    static void* const kCode[256] = {QV_OPCODE_ROWS(QV_LABEL_ROW)};
#undef QV_LABEL_ROW
#endif

    // Locals, so the byte stores of the instructions do not make the compiler reload them.
    const std::atomic<int>* const stop = watch.stop;
    const std::atomic<int>* const timer0 = watch.timer0;
    const std::atomic<int>* const serial = watch.serial;
    auto& ram = iram_;
    const auto& code = code_;

    u16 at = pc; // address of the running instruction
    u8 op = 0;
    u8 a = ram[sfr::ACC];
    u8 cy = ram[sfr::PSW] >> 7 & 1;
    u8 ac = ram[sfr::PSW] >> 6 & 1;
    u8 ov = ram[sfr::PSW] >> 2 & 1;
    u8 bank = ram[sfr::PSW] & 0x18; // address of R0
    u8 sp = ram[sfr::SP];
    std::uint32_t done = 0;
    // The loop looks at the watch and CmdAdr only when `done` reaches `limit` (see `look`);
    // a write of CmdAdr brings the limit down to the instruction that wrote it.
    std::uint32_t limit = 1;

    // The helpers are macros: lambdas that capture A and the flags by reference keep them in
    // memory on the host, which costs more than the rest of most instructions. Those that
    // yield a value are GNU statement expressions; the portable build (QV_MC8051_PORTABLE)
    // makes them such lambdas instead, below.
    // PSW's byte as stored (P as last written) and as an instruction reads it (P from A).
#define QV_PSW_STORED() static_cast<u8>((ram[sfr::PSW] & ~kFlagBits) | cy << 7 | ac << 6 | ov << 2)
#define QV_PSW_SEEN() static_cast<u8>((QV_PSW_STORED() & ~pswbit::P) | parity(a))
// A direct or indirect address's byte as stored (pops, bit changes) and as an operand reads it:
// below 0x80 plain RAM; from there A, SP and PSW live in locals. `d` is evaluated more than once.
#define QV_BYTE_AT(d, psw) ((d) < 0x80 ? ram[d] : (d) == sfr::ACC ? a : (d) == sfr::PSW ? (psw) : (d) == sfr::SP ? sp : ram[d])
#if !defined(QV_MC8051_PORTABLE)
#define QV_RAW(address) \
    ({ \
        const u8 d_ = (address); \
        QV_BYTE_AT(d_, QV_PSW_STORED()); \
    })
#define QV_RD(address) \
    ({ \
        const u8 d_ = (address); \
        QV_BYTE_AT(d_, QV_PSW_SEEN()); \
    })
#endif
// A write from 0x80 may change A, SP, the flags or the bank; IE is shared with other threads, and
// a request written to CmdAdr needs the loop.
#define QV_WR(address, value) \
    do { \
        const u8 d_ = (address); \
        const u8 v_ = (value); \
        ram[d_] = v_; \
        if (d_ >= 0x80) { \
            switch (d_) { \
            case sfr::ACC: \
                a = v_; \
                break; \
            case sfr::SP: \
                sp = v_; \
                break; \
            case sfr::PSW: \
                cy = v_ >> 7 & 1; \
                ac = v_ >> 6 & 1; \
                ov = v_ >> 2 & 1; \
                bank = v_ & 0x18; \
                break; \
            case sfr::IE: \
                ie_.store(v_, std::memory_order_relaxed); \
                break; \
            case sfr::CmdAdr: \
                limit = done + 1; \
                break; \
            default: \
                break; \
            } \
        } \
    } while (0)
#define QV_A1() code[static_cast<u16>(at + 1)]
#define QV_A2() code[static_cast<u16>(at + 2)]
#define QV_REG(n) static_cast<u8>(bank + ((n) & 7))
#define QV_INDIRECT() ram[QV_REG(op & 1)] // the address @Ri holds
#define QV_DPTR() static_cast<u16>(ram[sfr::DPH] << 8 | ram[sfr::DPL])
#define QV_ADD(operand, carryIn) \
    do { \
        const unsigned v_ = (operand), c_ = (carryIn); \
        const unsigned sum_ = a + v_ + c_; \
        ac = static_cast<u8>(((a & 0x0Fu) + (v_ & 0x0Fu) + c_) >> 4); \
        ov = static_cast<u8>(((a ^ sum_) & (v_ ^ sum_)) >> 7 & 1); \
        cy = static_cast<u8>(sum_ >> 8); \
        a = static_cast<u8>(sum_); \
    } while (0)
#define QV_SUBB(operand) \
    do { \
        const unsigned v_ = (operand), c_ = cy; \
        const unsigned diff_ = a - v_ - c_; \
        ac = static_cast<u8>(((a & 0x0Fu) - (v_ & 0x0Fu) - c_) >> 4 & 1); \
        ov = static_cast<u8>(((a ^ v_) & (a ^ diff_)) >> 7 & 1); \
        cy = static_cast<u8>(diff_ >> 8 & 1); \
        a = static_cast<u8>(diff_); \
    } while (0)
// Bit addresses below 0x80 are the bytes 0x20..0x2F, the others the register b & 0xF8. `b` is
// evaluated more than once.
#define QV_BIT_AT(b) static_cast<u8>(((b) < 0x80 ? ram[0x20 + ((b) >> 3)] : QV_RD(static_cast<u8>((b) & 0xF8))) >> ((b) & 7) & 1)
#if !defined(QV_MC8051_PORTABLE)
#define QV_GET_BIT(bitAddress) \
    ({ \
        const u8 b_ = (bitAddress); \
        QV_BIT_AT(b_); \
    })
#endif
#define QV_PUT_BIT(bitAddress, on) \
    do { \
        const u8 b_ = (bitAddress); \
        const auto mask_ = static_cast<u8>(1u << (b_ & 7)); \
        const bool on_ = (on); \
        const u8 at_ = b_ < 0x80 ? static_cast<u8>(0x20 + (b_ >> 3)) : static_cast<u8>(b_ & 0xF8); \
        const u8 old_ = QV_RAW(at_); \
        QV_WR(at_, static_cast<u8>(on_ ? (old_ | mask_) : (old_ & ~mask_))); \
    } while (0)
// SP moves first, then the byte is stored; SP wraps within the 256 bytes.
#define QV_PUSH(value) \
    do { \
        ++sp; \
        QV_WR(sp, (value)); \
    } while (0)
#if !defined(QV_MC8051_PORTABLE)
#define QV_POP() \
    ({ \
        const u8 popped_ = QV_RAW(sp); \
        --sp; \
        popped_; \
    })
#endif
#define QV_CALL(returnTo, target) \
    do { \
        const u16 back_ = (returnTo); \
        const u16 to_ = (target); \
        QV_PUSH(static_cast<u8>(back_)); /* low byte first */ \
        QV_PUSH(static_cast<u8>(back_ >> 8)); \
        at = to_; \
    } while (0)
#define QV_POP_PC() \
    do { \
        const u8 high_ = QV_POP(); \
        const u8 low_ = QV_POP(); \
        at = static_cast<u16>(high_ << 8 | low_); \
    } while (0)

// Moves to the instruction `length` bytes on, or to `target`, and runs it unless the loop
// must look first. The fast build jumps through the label table (GNU `goto *`), each
// instruction from its own jump; the portable one goes through the one switch at `dispatch`.
#if defined(QV_MC8051_PORTABLE)
#define QV_DISPATCH() \
    do { \
        op = code[at]; \
        goto dispatch; \
    } while (0)
#else
#define QV_DISPATCH() \
    do { \
        op = code[at]; \
        goto *kCode[op]; \
    } while (0)
#endif
#define QV_GO_ON() \
    do { \
        if (++done < limit) \
            QV_DISPATCH(); \
        goto look; \
    } while (0)
#define QV_NEXT(length) \
    do { \
        at = static_cast<u16>(at + (length)); \
        QV_GO_ON(); \
    } while (0)
#define QV_JUMP(target) \
    do { \
        at = (target); \
        QV_GO_ON(); \
    } while (0)
#define QV_BRANCH(taken, length, offset) \
    do { \
        const u16 next_ = static_cast<u16>(at + (length)); \
        QV_JUMP((taken) ? relative(next_, (offset)) : next_); \
    } while (0)
// The four operand forms of a row: #data, direct, @Ri, Rn, with `v` the operand.
#define QV_ROW(name, body) \
    op_##name##_imm: { const u8 v = QV_A1(); body; QV_NEXT(2); } \
    op_##name##_dir: { const u8 v = QV_RD(QV_A1()); body; QV_NEXT(2); } \
    op_##name##_ind: { const u8 v = QV_RD(QV_INDIRECT()); body; QV_NEXT(1); } \
    op_##name##_reg: { const u8 v = ram[QV_REG(op)]; body; QV_NEXT(1); }
// Logic on a direct byte: with A, and with #data.
#define QV_LOGIC_DIRECT(name, expr) \
    op_##name##_dir_a: { const u8 d = QV_A1(); QV_WR(d, static_cast<u8>(QV_RD(d) expr a)); QV_NEXT(2); } \
    op_##name##_dir_imm: { const u8 d = QV_A1(); QV_WR(d, static_cast<u8>(QV_RD(d) expr QV_A2())); QV_NEXT(3); }

#if defined(QV_MC8051_PORTABLE)
    // The value helpers as lambdas over the locals (ISO C++; the fast build's statement
    // expressions above say what each does).
#define QV_RAW(address) rawByte(address)
#define QV_RD(address) readByte(address)
#define QV_GET_BIT(bitAddress) bitOf(bitAddress)
#define QV_POP() popByte()
    const auto rawByte = [&](u8 d) -> u8 { return QV_BYTE_AT(d, QV_PSW_STORED()); };
    const auto readByte = [&](u8 d) -> u8 { return QV_BYTE_AT(d, QV_PSW_SEEN()); };
    const auto bitOf = [&](u8 b) -> u8 { return QV_BIT_AT(b); };
    const auto popByte = [&]() -> u8 {
        const u8 popped = rawByte(sp);
        --sp;
        return popped;
    };
#endif

    QV_DISPATCH();

#if defined(QV_MC8051_PORTABLE)
#define QV_CASE_ROW(base, c0, c1, c2, c3, c4, c5, ind, reg) \
    case base + 0x0: goto op_##c0; \
    case base + 0x1: goto op_##c1; \
    case base + 0x2: goto op_##c2; \
    case base + 0x3: goto op_##c3; \
    case base + 0x4: goto op_##c4; \
    case base + 0x5: goto op_##c5; \
    case base + 0x6: case base + 0x7: goto op_##ind; \
    case base + 0x8: case base + 0x9: case base + 0xA: case base + 0xB: \
    case base + 0xC: case base + 0xD: case base + 0xE: case base + 0xF: goto op_##reg;
dispatch:
    switch (op) { QV_OPCODE_ROWS(QV_CASE_ROW) }
#undef QV_CASE_ROW
#endif

look:
    // After an instruction that reached the limit: the budget, a request, a stop or an
    // interrupt that can be taken now end the run. While all is quiet the next look comes
    // after kWatchEvery instructions (a tick or byte from another thread is seen that much
    // later, as if it had come later); while anything waits, after every instruction.
    if (done < budget) {
        const int s = stop->load(std::memory_order_relaxed);
        const int t = timer0->load(std::memory_order_relaxed);
        const int p = serial->load(std::memory_order_relaxed);
        if ((ram[sfr::CmdAdr] | s | t | p) == 0) {
            limit = std::min(budget, done + kWatchEvery);
            QV_DISPATCH();
        }
        if (!needsLoop(s, t, p)) {
            limit = done + 1;
            QV_DISPATCH();
        }
    }
    pc = at;
    ram[sfr::ACC] = a;
    ram[sfr::SP] = sp;
    ram[sfr::PSW] = QV_PSW_STORED();
    instructions += done;
    return done;

op_nop: QV_NEXT(1);
op_ajmp: QV_JUMP(static_cast<u16>((static_cast<u16>(at + 2) & 0xF800) + ((op & 0xE0) << 3) + QV_A1()));
op_acall: {
    const u16 next2 = static_cast<u16>(at + 2);
    QV_CALL(next2, static_cast<u16>((next2 & 0xF800) + ((op & 0xE0) << 3) + QV_A1()));
    QV_GO_ON();
}
op_ljmp: QV_JUMP(static_cast<u16>(QV_A1() << 8 | QV_A2()));
op_lcall: QV_CALL(static_cast<u16>(at + 3), static_cast<u16>(QV_A1() << 8 | QV_A2())); QV_GO_ON();
op_ret: QV_POP_PC(); QV_GO_ON();
op_reti: QV_POP_PC(); inInterrupt = false; QV_GO_ON();
op_jmp_adptr: QV_JUMP(static_cast<u16>(QV_DPTR() + a));
op_sjmp: QV_BRANCH(true, 2, QV_A1());
op_jc: QV_BRANCH(cy != 0, 2, QV_A1());
op_jnc: QV_BRANCH(cy == 0, 2, QV_A1());
op_jz: QV_BRANCH(a == 0, 2, QV_A1());
op_jnz: QV_BRANCH(a != 0, 2, QV_A1());
op_jbc: {
    const u8 b = QV_A1();
    if (!QV_GET_BIT(b))
        QV_NEXT(3);
    QV_PUT_BIT(b, false);
    QV_JUMP(relative(static_cast<u16>(at + 3), QV_A2()));
}
op_jb: QV_BRANCH(QV_GET_BIT(QV_A1()) != 0, 3, QV_A2());
op_jnb: QV_BRANCH(QV_GET_BIT(QV_A1()) == 0, 3, QV_A2());
op_cjne_a_imm: { const u8 x = a, y = QV_A1(); cy = x < y; QV_BRANCH(x != y, 3, QV_A2()); }
op_cjne_a_dir: { const u8 x = a, y = QV_RD(QV_A1()); cy = x < y; QV_BRANCH(x != y, 3, QV_A2()); }
op_cjne_ind: { const u8 x = QV_RD(QV_INDIRECT()), y = QV_A1(); cy = x < y; QV_BRANCH(x != y, 3, QV_A2()); }
op_cjne_reg: { const u8 x = ram[QV_REG(op)], y = QV_A1(); cy = x < y; QV_BRANCH(x != y, 3, QV_A2()); }
op_djnz_dir: {
    const u8 d = QV_A1();
    const auto value = static_cast<u8>(QV_RD(d) - 1);
    QV_WR(d, value);
    QV_BRANCH(value != 0, 3, QV_A2());
}
op_djnz_reg: {
    const u8 r = QV_REG(op);
    const auto value = static_cast<u8>(ram[r] - 1);
    ram[r] = value;
    QV_BRANCH(value != 0, 2, QV_A1());
}

QV_ROW(add, QV_ADD(v, 0))
QV_ROW(addc, QV_ADD(v, cy))
QV_ROW(subb, QV_SUBB(v))
QV_ROW(orl, a = static_cast<u8>(a | v))
QV_ROW(anl, a = static_cast<u8>(a & v))
QV_ROW(xrl, a = static_cast<u8>(a ^ v))
QV_ROW(mova, a = v)
QV_LOGIC_DIRECT(orl, |)
QV_LOGIC_DIRECT(anl, &)
QV_LOGIC_DIRECT(xrl, ^)

op_inc_a: ++a; QV_NEXT(1);
op_dec_a: --a; QV_NEXT(1);
op_inc_dir: { const u8 d = QV_A1(); QV_WR(d, static_cast<u8>(QV_RD(d) + 1)); QV_NEXT(2); }
op_dec_dir: { const u8 d = QV_A1(); QV_WR(d, static_cast<u8>(QV_RD(d) - 1)); QV_NEXT(2); }
op_inc_ind: { const u8 d = QV_INDIRECT(); QV_WR(d, static_cast<u8>(QV_RD(d) + 1)); QV_NEXT(1); }
op_dec_ind: { const u8 d = QV_INDIRECT(); QV_WR(d, static_cast<u8>(QV_RD(d) - 1)); QV_NEXT(1); }
op_inc_reg: { const u8 r = QV_REG(op); ram[r] = static_cast<u8>(ram[r] + 1); QV_NEXT(1); }
op_dec_reg: { const u8 r = QV_REG(op); ram[r] = static_cast<u8>(ram[r] - 1); QV_NEXT(1); }
op_inc_dptr: {
    const auto next = static_cast<u16>(QV_DPTR() + 1);
    ram[sfr::DPL] = static_cast<u8>(next);
    ram[sfr::DPH] = static_cast<u8>(next >> 8);
    QV_NEXT(1);
}
op_mul: {
    const unsigned product = unsigned(a) * ram[sfr::B];
    a = static_cast<u8>(product);
    ram[sfr::B] = static_cast<u8>(product >> 8);
    cy = 0;
    ov = product > 0xFF;
    QV_NEXT(1);
}
op_div: {
    // B = 0 sets OV and leaves A and B as they were.
    const u8 divisor = ram[sfr::B];
    cy = 0;
    ov = divisor == 0;
    if (divisor != 0) {
        const u8 dividend = a;
        a = static_cast<u8>(dividend / divisor);
        ram[sfr::B] = static_cast<u8>(dividend % divisor);
    }
    QV_NEXT(1);
}
op_da: {
    // A carry out of the low-nibble correction sets CY as well, so the high nibble is
    // corrected for it (0xFA gives 0x60 with CY).
    unsigned value = a;
    bool c = cy != 0;
    if ((value & 0x0F) > 9 || ac != 0) {
        value += 6;
        c = c || value > 0xFF;
        value &= 0xFF;
    }
    if ((value >> 4) > 9 || c) {
        value += 0x60;
        c = true;
    }
    a = static_cast<u8>(value);
    cy = c;
    QV_NEXT(1);
}
op_rr: a = static_cast<u8>(a >> 1 | a << 7); QV_NEXT(1);
op_rl: a = static_cast<u8>(a << 1 | a >> 7); QV_NEXT(1);
op_rrc: { const u8 old = a; a = static_cast<u8>(old >> 1 | cy << 7); cy = old & 1; QV_NEXT(1); }
op_rlc: { const u8 old = a; a = static_cast<u8>(old << 1 | cy); cy = old >> 7; QV_NEXT(1); }
op_swap: a = static_cast<u8>(a << 4 | a >> 4); QV_NEXT(1);
op_clr_a: a = 0; QV_NEXT(1);
op_cpl_a: a = static_cast<u8>(~a); QV_NEXT(1);

op_orl_c: cy = cy | QV_GET_BIT(QV_A1()); QV_NEXT(2);
op_anl_c: cy = cy & QV_GET_BIT(QV_A1()); QV_NEXT(2);
op_orl_c_not: cy = cy | (QV_GET_BIT(QV_A1()) ^ 1); QV_NEXT(2);
op_anl_c_not: cy = cy & (QV_GET_BIT(QV_A1()) ^ 1); QV_NEXT(2);
op_mov_bit_c: QV_PUT_BIT(QV_A1(), cy != 0); QV_NEXT(2);
op_mov_c_bit: cy = QV_GET_BIT(QV_A1()); QV_NEXT(2);
op_cpl_bit: { const u8 b = QV_A1(); QV_PUT_BIT(b, QV_GET_BIT(b) == 0); QV_NEXT(2); }
op_clr_bit: QV_PUT_BIT(QV_A1(), false); QV_NEXT(2);
op_setb_bit: QV_PUT_BIT(QV_A1(), true); QV_NEXT(2);
op_cpl_c: cy ^= 1; QV_NEXT(1);
op_clr_c: cy = 0; QV_NEXT(1);
op_setb_c: cy = 1; QV_NEXT(1);

op_movdir_a: QV_WR(QV_A1(), a); QV_NEXT(2);
op_movind_a: QV_WR(QV_INDIRECT(), a); QV_NEXT(1);
op_movreg_a: ram[QV_REG(op)] = a; QV_NEXT(1);
op_movdir_imm: QV_WR(QV_A1(), QV_A2()); QV_NEXT(3);
op_movind_imm: QV_WR(QV_INDIRECT(), QV_A1()); QV_NEXT(2);
op_movreg_imm: ram[QV_REG(op)] = QV_A1(); QV_NEXT(2);
op_movdir_dir: QV_WR(QV_A2(), QV_RD(QV_A1())); QV_NEXT(3); // source first in the code
op_movdir_ind: QV_WR(QV_A1(), QV_RD(QV_INDIRECT())); QV_NEXT(2);
op_movdir_reg: QV_WR(QV_A1(), ram[QV_REG(op)]); QV_NEXT(2);
op_movind_dir: QV_WR(QV_INDIRECT(), QV_RD(QV_A1())); QV_NEXT(2);
op_movreg_dir: ram[QV_REG(op)] = QV_RD(QV_A1()); QV_NEXT(2);
op_mov_dptr: ram[sfr::DPH] = QV_A1(); ram[sfr::DPL] = QV_A2(); QV_NEXT(3);
op_movc_pc: a = code[static_cast<u16>(at + 1 + a)]; QV_NEXT(1);
op_movc_dptr: a = code[static_cast<u16>(QV_DPTR() + a)]; QV_NEXT(1);
op_movx_a_dptr: a = readXdata(QV_DPTR()); QV_NEXT(1);
op_movx_a_ind: a = readXdata(QV_INDIRECT()); QV_NEXT(1);
op_movx_dptr_a:
    writeXdata(QV_DPTR(), a);
    QV_NEXT(1);
op_movx_ind_a:
    writeXdata(QV_INDIRECT(), a);
    QV_NEXT(1);
op_push: {
    // SP moves first, then the operand is read: PUSH SP stores the new SP, as the chip does.
    ++sp;
    QV_WR(sp, QV_RD(QV_A1()));
    QV_NEXT(2);
}
op_pop: QV_WR(QV_A1(), QV_POP()); QV_NEXT(2);
op_xch_dir: { const u8 d = QV_A1(); const u8 other = QV_RD(d); QV_WR(d, a); a = other; QV_NEXT(2); }
op_xch_ind: { const u8 d = QV_INDIRECT(); const u8 other = QV_RD(d); QV_WR(d, a); a = other; QV_NEXT(1); }
op_xch_reg: { const u8 r = QV_REG(op); const u8 other = ram[r]; ram[r] = a; a = other; QV_NEXT(1); }
op_xchd: {
    const u8 d = QV_INDIRECT();
    const u8 other = QV_RD(d);
    const u8 old = a;
    QV_WR(d, static_cast<u8>((other & 0xF0) | (old & 0x0F)));
    a = static_cast<u8>((old & 0xF0) | (other & 0x0F));
    QV_NEXT(1);
}

#undef QV_DISPATCH
#undef QV_GO_ON
#undef QV_NEXT
#undef QV_JUMP
#undef QV_BRANCH
#undef QV_ROW
#undef QV_LOGIC_DIRECT
#undef QV_PSW_STORED
#undef QV_PSW_SEEN
#undef QV_RAW
#undef QV_RD
#undef QV_BYTE_AT
#undef QV_BIT_AT
#undef QV_WR
#undef QV_A1
#undef QV_A2
#undef QV_REG
#undef QV_INDIRECT
#undef QV_DPTR
#undef QV_ADD
#undef QV_SUBB
#undef QV_GET_BIT
#undef QV_PUT_BIT
#undef QV_PUSH
#undef QV_POP
#undef QV_CALL
#undef QV_POP_PC
}
#undef QV_OPCODE_ROWS

void Mc8051Cpu::step()
{
    static const std::atomic<int> quiet{0};
    runFor(1, Mc8051Watch{&quiet, &quiet, &quiet});
}

} // namespace qv::sim
