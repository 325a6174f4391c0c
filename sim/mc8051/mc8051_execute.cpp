// The instruction loop. Each opcode jumps straight to its code through a table of labels, and
// each instruction's code ends in its own jump to the next one: no call, no table of routines
// and no flag work beyond what the instruction changes (P is worked out when PSW is read).
// This leaves room in one host processor for the panel's services and the paint.
#include "sim/mc8051/mc8051_cpu.h"

namespace qv::sim {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

inline u16 relative(u16 next, u8 offset) { return static_cast<u16>(next + static_cast<std::int8_t>(offset)); }

} // namespace

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
    static void* const kCode[256] = {
        &&op_nop, &&op_ajmp, &&op_ljmp, &&op_rr, &&op_inc_a, &&op_inc_dir, &&op_inc_ind, &&op_inc_ind,
        &&op_inc_reg, &&op_inc_reg, &&op_inc_reg, &&op_inc_reg, &&op_inc_reg, &&op_inc_reg, &&op_inc_reg, &&op_inc_reg,
        &&op_jbc, &&op_acall, &&op_lcall, &&op_rrc, &&op_dec_a, &&op_dec_dir, &&op_dec_ind, &&op_dec_ind,
        &&op_dec_reg, &&op_dec_reg, &&op_dec_reg, &&op_dec_reg, &&op_dec_reg, &&op_dec_reg, &&op_dec_reg, &&op_dec_reg,
        &&op_jb, &&op_ajmp, &&op_ret, &&op_rl, &&op_add_imm, &&op_add_dir, &&op_add_ind, &&op_add_ind,
        &&op_add_reg, &&op_add_reg, &&op_add_reg, &&op_add_reg, &&op_add_reg, &&op_add_reg, &&op_add_reg, &&op_add_reg,
        &&op_jnb, &&op_acall, &&op_reti, &&op_rlc, &&op_addc_imm, &&op_addc_dir, &&op_addc_ind, &&op_addc_ind,
        &&op_addc_reg, &&op_addc_reg, &&op_addc_reg, &&op_addc_reg, &&op_addc_reg, &&op_addc_reg, &&op_addc_reg, &&op_addc_reg,
        &&op_jc, &&op_ajmp, &&op_orl_dir_a, &&op_orl_dir_imm, &&op_orl_imm, &&op_orl_dir, &&op_orl_ind, &&op_orl_ind,
        &&op_orl_reg, &&op_orl_reg, &&op_orl_reg, &&op_orl_reg, &&op_orl_reg, &&op_orl_reg, &&op_orl_reg, &&op_orl_reg,
        &&op_jnc, &&op_acall, &&op_anl_dir_a, &&op_anl_dir_imm, &&op_anl_imm, &&op_anl_dir, &&op_anl_ind, &&op_anl_ind,
        &&op_anl_reg, &&op_anl_reg, &&op_anl_reg, &&op_anl_reg, &&op_anl_reg, &&op_anl_reg, &&op_anl_reg, &&op_anl_reg,
        &&op_jz, &&op_ajmp, &&op_xrl_dir_a, &&op_xrl_dir_imm, &&op_xrl_imm, &&op_xrl_dir, &&op_xrl_ind, &&op_xrl_ind,
        &&op_xrl_reg, &&op_xrl_reg, &&op_xrl_reg, &&op_xrl_reg, &&op_xrl_reg, &&op_xrl_reg, &&op_xrl_reg, &&op_xrl_reg,
        &&op_jnz, &&op_acall, &&op_orl_c, &&op_jmp_adptr, &&op_mova_imm, &&op_movdir_imm, &&op_movind_imm, &&op_movind_imm,
        &&op_movreg_imm, &&op_movreg_imm, &&op_movreg_imm, &&op_movreg_imm, &&op_movreg_imm, &&op_movreg_imm, &&op_movreg_imm, &&op_movreg_imm,
        &&op_sjmp, &&op_ajmp, &&op_anl_c, &&op_movc_pc, &&op_div, &&op_movdir_dir, &&op_movdir_ind, &&op_movdir_ind,
        &&op_movdir_reg, &&op_movdir_reg, &&op_movdir_reg, &&op_movdir_reg, &&op_movdir_reg, &&op_movdir_reg, &&op_movdir_reg, &&op_movdir_reg,
        &&op_mov_dptr, &&op_acall, &&op_mov_bit_c, &&op_movc_dptr, &&op_subb_imm, &&op_subb_dir, &&op_subb_ind, &&op_subb_ind,
        &&op_subb_reg, &&op_subb_reg, &&op_subb_reg, &&op_subb_reg, &&op_subb_reg, &&op_subb_reg, &&op_subb_reg, &&op_subb_reg,
        &&op_orl_c_not, &&op_ajmp, &&op_mov_c_bit, &&op_inc_dptr, &&op_mul, &&op_nop, &&op_movind_dir, &&op_movind_dir,
        &&op_movreg_dir, &&op_movreg_dir, &&op_movreg_dir, &&op_movreg_dir, &&op_movreg_dir, &&op_movreg_dir, &&op_movreg_dir, &&op_movreg_dir,
        &&op_anl_c_not, &&op_acall, &&op_cpl_bit, &&op_cpl_c, &&op_cjne_a_imm, &&op_cjne_a_dir, &&op_cjne_ind, &&op_cjne_ind,
        &&op_cjne_reg, &&op_cjne_reg, &&op_cjne_reg, &&op_cjne_reg, &&op_cjne_reg, &&op_cjne_reg, &&op_cjne_reg, &&op_cjne_reg,
        &&op_push, &&op_ajmp, &&op_clr_bit, &&op_clr_c, &&op_swap, &&op_xch_dir, &&op_xch_ind, &&op_xch_ind,
        &&op_xch_reg, &&op_xch_reg, &&op_xch_reg, &&op_xch_reg, &&op_xch_reg, &&op_xch_reg, &&op_xch_reg, &&op_xch_reg,
        &&op_pop, &&op_acall, &&op_setb_bit, &&op_setb_c, &&op_da, &&op_djnz_dir, &&op_xchd, &&op_xchd,
        &&op_djnz_reg, &&op_djnz_reg, &&op_djnz_reg, &&op_djnz_reg, &&op_djnz_reg, &&op_djnz_reg, &&op_djnz_reg, &&op_djnz_reg,
        &&op_movx_a_dptr, &&op_ajmp, &&op_movx_a_ind, &&op_movx_a_ind, &&op_clr_a, &&op_mova_dir, &&op_mova_ind, &&op_mova_ind,
        &&op_mova_reg, &&op_mova_reg, &&op_mova_reg, &&op_mova_reg, &&op_mova_reg, &&op_mova_reg, &&op_mova_reg, &&op_mova_reg,
        &&op_movx_dptr_a, &&op_acall, &&op_movx_ind_a, &&op_movx_ind_a, &&op_cpl_a, &&op_movdir_a, &&op_movind_a, &&op_movind_a,
        &&op_movreg_a, &&op_movreg_a, &&op_movreg_a, &&op_movreg_a, &&op_movreg_a, &&op_movreg_a, &&op_movreg_a, &&op_movreg_a,
    };

    // Locals, so the byte stores of the instructions do not make the compiler reload them.
    const std::atomic<int>* const stop = watch.stop;
    const std::atomic<int>* const timer0 = watch.timer0;
    const std::atomic<int>* const serial = watch.serial;
    std::uint32_t done = 0;
    u16 at = pc; // address of the running instruction
    u8 op = 0;

    const auto a1 = [&] { return code_[static_cast<u16>(at + 1)]; };
    const auto a2 = [&] { return code_[static_cast<u16>(at + 2)]; };
    const auto regAt = [&](int n) { return static_cast<u8>((iram_[sfr::PSW] & 0x18) + (n & 7)); };
    const auto indirect = [&] { return iram_[regAt(op & 1)]; }; // the address @Ri holds
    const auto carry = [&] { return (iram_[sfr::PSW] & pswbit::CY) != 0; };
    const auto setCarry = [&](bool on) {
        iram_[sfr::PSW] = static_cast<u8>(on ? (iram_[sfr::PSW] | pswbit::CY) : (iram_[sfr::PSW] & ~pswbit::CY));
    };
    const auto add = [&](u8 v, bool c) {
        const u8 result = static_cast<u8>(acc() + v + c);
        setFlagsAdd(v, c);
        iram_[sfr::ACC] = result;
    };
    const auto subb = [&](u8 v) {
        const bool c = carry();
        const u8 result = static_cast<u8>(acc() - v - c);
        setFlagsSubb(v, c);
        iram_[sfr::ACC] = result;
    };
    const auto callTo = [&](u16 returnTo, u16 target) {
        pc = returnTo;
        pushPc();
        at = target;
    };

// Moves to the instruction `length` bytes on, or to `target`, and runs it unless the loop
// must look first.
#define QV_NEXT(length) \
    do { \
        at = static_cast<u16>(at + (length)); \
        goto next; \
    } while (0)
#define QV_JUMP(target) \
    do { \
        at = (target); \
        goto next; \
    } while (0)
// The four operand forms of a row: #data, direct, @Ri, Rn, with `v` the operand.
#define QV_ROW(name, body) \
    op_##name##_imm: { const u8 v = a1(); body; QV_NEXT(2); } \
    op_##name##_dir: { const u8 v = readDirect(a1()); body; QV_NEXT(2); } \
    op_##name##_ind: { const u8 v = readDirect(indirect()); body; QV_NEXT(1); } \
    op_##name##_reg: { const u8 v = iram_[regAt(op)]; body; QV_NEXT(1); }
// Logic on a direct byte: with A, and with #data.
#define QV_LOGIC_DIRECT(name, expr) \
    op_##name##_dir_a: { const u8 d = a1(); setRam(d, static_cast<u8>(readDirect(d) expr acc())); QV_NEXT(2); } \
    op_##name##_dir_imm: { const u8 d = a1(); setRam(d, static_cast<u8>(readDirect(d) expr a2())); QV_NEXT(3); }

    op = code_[at];
    goto *kCode[op];

next:
    if (++done < budget) {
        const int s = stop->load(std::memory_order_relaxed);
        const int t = timer0->load(std::memory_order_relaxed);
        const int p = serial->load(std::memory_order_relaxed);
        if ((iram_[sfr::CmdAdr] | s | t | p) == 0 || !needsLoop(s, t, p)) {
            op = code_[at];
            goto *kCode[op];
        }
    }
    pc = at;
    instructions += done;
    return done;

op_nop: QV_NEXT(1);
op_ajmp: QV_JUMP(static_cast<u16>((static_cast<u16>(at + 2) & 0xF800) + ((op & 0xE0) << 3) + a1()));
op_acall: {
    const u16 next2 = static_cast<u16>(at + 2);
    callTo(next2, static_cast<u16>((next2 & 0xF800) + ((op & 0xE0) << 3) + a1()));
    goto next;
}
op_ljmp: QV_JUMP(static_cast<u16>(a1() << 8 | a2()));
op_lcall: callTo(static_cast<u16>(at + 3), static_cast<u16>(a1() << 8 | a2())); goto next;
op_ret: popPc(); QV_JUMP(pc);
op_reti: popPc(); inInterrupt = false; QV_JUMP(pc);
op_jmp_adptr: QV_JUMP(static_cast<u16>(dptr() + acc()));
op_sjmp: QV_JUMP(relative(static_cast<u16>(at + 2), a1()));
op_jc: QV_JUMP(carry() ? relative(static_cast<u16>(at + 2), a1()) : static_cast<u16>(at + 2));
op_jnc: QV_JUMP(!carry() ? relative(static_cast<u16>(at + 2), a1()) : static_cast<u16>(at + 2));
op_jz: QV_JUMP(acc() == 0 ? relative(static_cast<u16>(at + 2), a1()) : static_cast<u16>(at + 2));
op_jnz: QV_JUMP(acc() != 0 ? relative(static_cast<u16>(at + 2), a1()) : static_cast<u16>(at + 2));
op_jbc: {
    const u8 b = a1();
    if (!bit(b))
        QV_NEXT(3);
    setBit(b, false);
    QV_JUMP(relative(static_cast<u16>(at + 3), a2()));
}
op_jb: QV_JUMP(bit(a1()) ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3));
op_jnb: QV_JUMP(!bit(a1()) ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3));
op_cjne_a_imm: { const u8 x = acc(), y = a1(); setCarry(x < y); QV_JUMP(x != y ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3)); }
op_cjne_a_dir: { const u8 x = acc(), y = readDirect(a1()); setCarry(x < y); QV_JUMP(x != y ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3)); }
op_cjne_ind: { const u8 x = readDirect(indirect()), y = a1(); setCarry(x < y); QV_JUMP(x != y ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3)); }
op_cjne_reg: { const u8 x = iram_[regAt(op)], y = a1(); setCarry(x < y); QV_JUMP(x != y ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3)); }
op_djnz_dir: {
    const u8 d = a1();
    const u8 value = static_cast<u8>(readDirect(d) - 1);
    setRam(d, value);
    QV_JUMP(value != 0 ? relative(static_cast<u16>(at + 3), a2()) : static_cast<u16>(at + 3));
}
op_djnz_reg: {
    const u8 r = regAt(op);
    const u8 value = static_cast<u8>(iram_[r] - 1);
    iram_[r] = value;
    QV_JUMP(value != 0 ? relative(static_cast<u16>(at + 2), a1()) : static_cast<u16>(at + 2));
}

QV_ROW(add, add(v, false))
QV_ROW(addc, add(v, carry()))
QV_ROW(subb, subb(v))
QV_ROW(orl, iram_[sfr::ACC] = static_cast<u8>(acc() | v))
QV_ROW(anl, iram_[sfr::ACC] = static_cast<u8>(acc() & v))
QV_ROW(xrl, iram_[sfr::ACC] = static_cast<u8>(acc() ^ v))
QV_ROW(mova, iram_[sfr::ACC] = v)
QV_LOGIC_DIRECT(orl, |)
QV_LOGIC_DIRECT(anl, &)
QV_LOGIC_DIRECT(xrl, ^)

op_inc_a: iram_[sfr::ACC] = static_cast<u8>(acc() + 1); QV_NEXT(1);
op_dec_a: iram_[sfr::ACC] = static_cast<u8>(acc() - 1); QV_NEXT(1);
op_inc_dir: { const u8 d = a1(); setRam(d, static_cast<u8>(readDirect(d) + 1)); QV_NEXT(2); }
op_dec_dir: { const u8 d = a1(); setRam(d, static_cast<u8>(readDirect(d) - 1)); QV_NEXT(2); }
op_inc_ind: { const u8 d = indirect(); setRam(d, static_cast<u8>(readDirect(d) + 1)); QV_NEXT(1); }
op_dec_ind: { const u8 d = indirect(); setRam(d, static_cast<u8>(readDirect(d) - 1)); QV_NEXT(1); }
op_inc_reg: { const u8 r = regAt(op); iram_[r] = static_cast<u8>(iram_[r] + 1); QV_NEXT(1); }
op_dec_reg: { const u8 r = regAt(op); iram_[r] = static_cast<u8>(iram_[r] - 1); QV_NEXT(1); }
op_inc_dptr: setDptr(static_cast<u16>(dptr() + 1)); QV_NEXT(1);
op_mul: {
    const unsigned product = unsigned(acc()) * iram_[sfr::B];
    iram_[sfr::ACC] = static_cast<u8>(product);
    iram_[sfr::B] = static_cast<u8>(product >> 8);
    const u8 p = iram_[sfr::PSW] & ~(pswbit::CY | pswbit::OV);
    iram_[sfr::PSW] = static_cast<u8>(p | (product > 0xFF ? pswbit::OV : 0));
    QV_NEXT(1);
}
op_div: {
    // B = 0 sets OV and leaves A and B as they were.
    const u8 divisor = iram_[sfr::B];
    u8 p = iram_[sfr::PSW] & ~(pswbit::CY | pswbit::OV);
    if (divisor == 0) {
        p |= pswbit::OV;
    } else {
        const u8 dividend = acc();
        iram_[sfr::ACC] = static_cast<u8>(dividend / divisor);
        iram_[sfr::B] = static_cast<u8>(dividend % divisor);
    }
    iram_[sfr::PSW] = p;
    QV_NEXT(1);
}
op_da: {
    // A carry out of the low-nibble correction sets CY as well, so the high nibble is
    // corrected for it (0xFA gives 0x60 with CY).
    unsigned value = acc();
    bool c = carry();
    if ((value & 0x0F) > 9 || (iram_[sfr::PSW] & pswbit::AC)) {
        value += 6;
        c = c || value > 0xFF;
        value &= 0xFF;
    }
    if ((value >> 4) > 9 || c) {
        value += 0x60;
        c = true;
    }
    iram_[sfr::ACC] = static_cast<u8>(value);
    setCarry(c);
    QV_NEXT(1);
}
op_rr: { const u8 a = acc(); iram_[sfr::ACC] = static_cast<u8>(a >> 1 | a << 7); QV_NEXT(1); }
op_rl: { const u8 a = acc(); iram_[sfr::ACC] = static_cast<u8>(a << 1 | a >> 7); QV_NEXT(1); }
op_rrc: { const u8 a = acc(); iram_[sfr::ACC] = static_cast<u8>(a >> 1 | (carry() ? 0x80 : 0)); setCarry(a & 1); QV_NEXT(1); }
op_rlc: { const u8 a = acc(); iram_[sfr::ACC] = static_cast<u8>(a << 1 | (carry() ? 1 : 0)); setCarry(a & 0x80); QV_NEXT(1); }
op_swap: { const u8 a = acc(); iram_[sfr::ACC] = static_cast<u8>(a << 4 | a >> 4); QV_NEXT(1); }
op_clr_a: iram_[sfr::ACC] = 0; QV_NEXT(1);
op_cpl_a: iram_[sfr::ACC] = static_cast<u8>(~acc()); QV_NEXT(1);

op_orl_c: setCarry(carry() || bit(a1())); QV_NEXT(2);
op_anl_c: setCarry(carry() && bit(a1())); QV_NEXT(2);
op_orl_c_not: setCarry(carry() || !bit(a1())); QV_NEXT(2);
op_anl_c_not: setCarry(carry() && !bit(a1())); QV_NEXT(2);
op_mov_bit_c: setBit(a1(), carry()); QV_NEXT(2);
op_mov_c_bit: setCarry(bit(a1())); QV_NEXT(2);
op_cpl_bit: { const u8 b = a1(); setBit(b, !bit(b)); QV_NEXT(2); }
op_clr_bit: setBit(a1(), false); QV_NEXT(2);
op_setb_bit: setBit(a1(), true); QV_NEXT(2);
op_cpl_c: setCarry(!carry()); QV_NEXT(1);
op_clr_c: setCarry(false); QV_NEXT(1);
op_setb_c: setCarry(true); QV_NEXT(1);

op_movdir_a: setRam(a1(), acc()); QV_NEXT(2);
op_movind_a: setRam(indirect(), acc()); QV_NEXT(1);
op_movreg_a: iram_[regAt(op)] = acc(); QV_NEXT(1);
op_movdir_imm: setRam(a1(), a2()); QV_NEXT(3);
op_movind_imm: setRam(indirect(), a1()); QV_NEXT(2);
op_movreg_imm: iram_[regAt(op)] = a1(); QV_NEXT(2);
op_movdir_dir: setRam(a2(), readDirect(a1())); QV_NEXT(3); // source first in the code
op_movdir_ind: setRam(a1(), readDirect(indirect())); QV_NEXT(2);
op_movdir_reg: setRam(a1(), iram_[regAt(op)]); QV_NEXT(2);
op_movind_dir: setRam(indirect(), readDirect(a1())); QV_NEXT(2);
op_movreg_dir: iram_[regAt(op)] = readDirect(a1()); QV_NEXT(2);
op_mov_dptr: iram_[sfr::DPH] = a1(); iram_[sfr::DPL] = a2(); QV_NEXT(3);
op_movc_pc: iram_[sfr::ACC] = code_[static_cast<u16>(at + 1 + acc())]; QV_NEXT(1);
op_movc_dptr: iram_[sfr::ACC] = code_[static_cast<u16>(dptr() + acc())]; QV_NEXT(1);
op_movx_a_dptr: iram_[sfr::ACC] = readXdata(dptr()); QV_NEXT(1);
op_movx_a_ind: iram_[sfr::ACC] = readXdata(indirect()); QV_NEXT(1);
op_movx_dptr_a: writeXdata(dptr(), acc()); QV_NEXT(1);
op_movx_ind_a: writeXdata(indirect(), acc()); QV_NEXT(1);
op_push: {
    // SP moves first, then the operand is read: PUSH SP stores the new SP, as the chip does.
    const auto sp = static_cast<u8>(iram_[sfr::SP] + 1);
    iram_[sfr::SP] = sp;
    setRam(sp, readDirect(a1()));
    QV_NEXT(2);
}
op_pop: setRam(a1(), pop()); QV_NEXT(2);
op_xch_dir: { const u8 d = a1(); const u8 other = readDirect(d); setRam(d, acc()); iram_[sfr::ACC] = other; QV_NEXT(2); }
op_xch_ind: { const u8 d = indirect(); const u8 other = readDirect(d); setRam(d, acc()); iram_[sfr::ACC] = other; QV_NEXT(1); }
op_xch_reg: { const u8 r = regAt(op); const u8 other = iram_[r]; iram_[r] = acc(); iram_[sfr::ACC] = other; QV_NEXT(1); }
op_xchd: {
    const u8 d = indirect();
    const u8 other = readDirect(d);
    const u8 a = acc();
    setRam(d, static_cast<u8>((other & 0xF0) | (a & 0x0F)));
    iram_[sfr::ACC] = static_cast<u8>((a & 0xF0) | (other & 0x0F));
    QV_NEXT(1);
}

#undef QV_NEXT
#undef QV_JUMP
#undef QV_ROW
#undef QV_LOGIC_DIRECT
}

void Mc8051Cpu::step()
{
    static const std::atomic<int> quiet{0};
    runFor(1, Mc8051Watch{&quiet, &quiet, &quiet});
}

} // namespace qv::sim
