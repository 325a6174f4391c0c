#include "sim/mc8051/mc8051_opcodes.h"

#include "sim/mc8051/mc8051_cpu.h"

namespace qv::sim {
namespace {

using u8 = std::uint8_t;
using u16 = std::uint16_t;

// Operand rows of the arithmetic and logic groups, by the low nibble of the opcode:
// 4 #data, 5 direct, 6/7 @Ri, 8..F Rn.
u8 indirectOrRegisterAddress(const Mc8051Cpu& cpu, u8 op)
{
    const int low = op & 0x0F;
    return low < 8 ? cpu.reg(low & 1) : cpu.regAddress(low & 7);
}

u8 operandAddress(const Mc8051Cpu& cpu, u8 op, u8 a1)
{
    return (op & 0x0F) == 5 ? a1 : indirectOrRegisterAddress(cpu, op);
}

u8 sourceValue(const Mc8051Cpu& cpu, u8 op, u8 a1)
{
    return (op & 0x0F) == 4 ? a1 : cpu.ram(operandAddress(cpu, op, a1));
}

void relativeJump(Mc8051Cpu& cpu, u8 offset)
{
    cpu.pc = static_cast<u16>(cpu.pc + static_cast<std::int8_t>(offset));
}

// Bytes an instruction spends on its operand row: #data and direct take one byte.
constexpr u8 rowLength(int low, u8 base) { return static_cast<u8>(low == 4 || low == 5 ? base + 1 : base); }

// --- control flow ---
void opNop(Mc8051Cpu&, u8, u8, u8) {}
void opAjmp(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    const u16 target = static_cast<u16>((cpu.pc & 0xF800) + ((op & 0xE0) << 3) + a1);
    if (op & 0x10)
        cpu.pushPc();
    cpu.pc = target;
}
void opLjmp(Mc8051Cpu& cpu, u8 op, u8 a1, u8 a2)
{
    if (op == 0x12)
        cpu.pushPc();
    cpu.pc = static_cast<u16>(a1 << 8 | a2);
}
void opRet(Mc8051Cpu& cpu, u8 op, u8, u8)
{
    cpu.popPc();
    if (op == 0x32)
        cpu.inInterrupt = false;
}
void opJmpADptr(Mc8051Cpu& cpu, u8, u8, u8) { cpu.pc = static_cast<u16>(cpu.dptr() + cpu.acc()); }
void opCondJump(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    bool jump = true;
    switch (op) {
    case 0x40: jump = cpu.flag(pswbit::CY); break;
    case 0x50: jump = !cpu.flag(pswbit::CY); break;
    case 0x60: jump = cpu.acc() == 0; break;
    case 0x70: jump = cpu.acc() != 0; break;
    default: break; // 0x80 SJMP
    }
    if (jump)
        relativeJump(cpu, a1);
}
void opBitJump(Mc8051Cpu& cpu, u8 op, u8 a1, u8 a2)
{
    const bool set = cpu.bit(a1);
    if (op == 0x30 ? !set : set) {
        if (op == 0x10)
            cpu.setBit(a1, false);
        relativeJump(cpu, a2);
    }
}
void opCjne(Mc8051Cpu& cpu, u8 op, u8 a1, u8 a2)
{
    u8 first = 0;
    u8 second = a1;
    if (op == 0xB4 || op == 0xB5) {
        first = cpu.acc();
        if (op == 0xB5)
            second = cpu.ram(a1);
    } else {
        first = cpu.ram(indirectOrRegisterAddress(cpu, op));
    }
    cpu.setFlag(pswbit::CY, first < second);
    if (first != second)
        relativeJump(cpu, a2);
}
void opDjnz(Mc8051Cpu& cpu, u8 op, u8 a1, u8 a2)
{
    const bool direct = op == 0xD5;
    const u8 address = direct ? a1 : cpu.regAddress(op & 7);
    const u8 value = static_cast<u8>(cpu.ram(address) - 1);
    cpu.setRam(address, value);
    if (value != 0)
        relativeJump(cpu, direct ? a2 : a1);
}

// --- arithmetic ---
void opAdd(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    const u8 operand = sourceValue(cpu, op, a1);
    const bool carry = (op & 0xF0) == 0x30 && cpu.flag(pswbit::CY);
    const u8 result = static_cast<u8>(cpu.acc() + operand + carry);
    cpu.setFlagsAdd(operand, carry);
    cpu.setAcc(result);
}
void opSubb(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    const u8 operand = sourceValue(cpu, op, a1);
    const bool borrow = cpu.flag(pswbit::CY);
    const u8 result = static_cast<u8>(cpu.acc() - operand - borrow);
    cpu.setFlagsSubb(operand, borrow);
    cpu.setAcc(result);
}
void opIncDec(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    const int delta = (op & 0xF0) == 0 ? 1 : -1;
    if ((op & 0x0F) == 4) {
        cpu.setAcc(static_cast<u8>(cpu.acc() + delta));
        return;
    }
    const u8 address = operandAddress(cpu, op, a1);
    cpu.setRam(address, static_cast<u8>(cpu.ram(address) + delta));
}
void opIncDptr(Mc8051Cpu& cpu, u8, u8, u8) { cpu.setDptr(static_cast<u16>(cpu.dptr() + 1)); }
void opMul(Mc8051Cpu& cpu, u8, u8, u8)
{
    const unsigned product = unsigned(cpu.acc()) * cpu.ram(sfr::B);
    cpu.setAcc(static_cast<u8>(product));
    cpu.setRam(sfr::B, static_cast<u8>(product >> 8));
    cpu.setFlag(pswbit::CY, false);
    cpu.setFlag(pswbit::OV, product > 0xFF);
}
void opDiv(Mc8051Cpu& cpu, u8, u8, u8)
{
    cpu.setFlag(pswbit::CY, false);
    const u8 divisor = cpu.ram(sfr::B);
    if (divisor == 0) {
        cpu.setFlag(pswbit::OV, true);
        return;
    }
    const u8 dividend = cpu.acc();
    cpu.setAcc(static_cast<u8>(dividend / divisor));
    cpu.setRam(sfr::B, static_cast<u8>(dividend % divisor));
    cpu.setFlag(pswbit::OV, false);
}
void opDa(Mc8051Cpu& cpu, u8, u8, u8)
{
    // A carry out of the low-nibble correction sets CY as well, so the high nibble is
    // corrected for it (0xFA gives 0x60 with CY).
    unsigned value = cpu.acc();
    bool carry = cpu.flag(pswbit::CY);
    if ((value & 0x0F) > 9 || cpu.flag(pswbit::AC)) {
        value += 6;
        carry = carry || value > 0xFF;
        value &= 0xFF;
    }
    if ((value >> 4) > 9 || carry) {
        value += 0x60;
        carry = true;
    }
    cpu.setAcc(static_cast<u8>(value));
    cpu.setFlag(pswbit::CY, carry);
}

// --- logic ---
u8 combine(u8 row, u8 x, u8 y)
{
    switch (row) {
    case 0x40: return x | y;
    case 0x50: return x & y;
    default: return x ^ y;
    }
}
void opLogic(Mc8051Cpu& cpu, u8 op, u8 a1, u8 a2)
{
    const u8 row = op & 0xF0;
    switch (op & 0x0F) {
    case 2: cpu.setRam(a1, combine(row, cpu.ram(a1), cpu.acc())); break;
    case 3: cpu.setRam(a1, combine(row, cpu.ram(a1), a2)); break;
    default: cpu.setAcc(combine(row, cpu.acc(), sourceValue(cpu, op, a1))); break;
    }
}
void opAccumulator(Mc8051Cpu& cpu, u8 op, u8, u8)
{
    const u8 a = cpu.acc();
    const bool cy = cpu.flag(pswbit::CY);
    switch (op) {
    case 0x03: cpu.setAcc(static_cast<u8>(a >> 1 | a << 7)); break;
    case 0x23: cpu.setAcc(static_cast<u8>(a << 1 | a >> 7)); break;
    case 0x13:
        cpu.setAcc(static_cast<u8>(a >> 1 | (cy ? 0x80 : 0)));
        cpu.setFlag(pswbit::CY, a & 1);
        break;
    case 0x33:
        cpu.setAcc(static_cast<u8>(a << 1 | (cy ? 1 : 0)));
        cpu.setFlag(pswbit::CY, a & 0x80);
        break;
    case 0xC4: cpu.setAcc(static_cast<u8>(a << 4 | a >> 4)); break;
    case 0xE4: cpu.setAcc(0); break;
    default: cpu.setAcc(static_cast<u8>(~a)); break; // 0xF4 CPL A
    }
}

// --- bits ---
void opCarryBit(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    const bool cy = cpu.flag(pswbit::CY);
    switch (op) {
    case 0x72: cpu.setFlag(pswbit::CY, cy || cpu.bit(a1)); break;
    case 0x82: cpu.setFlag(pswbit::CY, cy && cpu.bit(a1)); break;
    case 0xA0: cpu.setFlag(pswbit::CY, cy || !cpu.bit(a1)); break;
    case 0xB0: cpu.setFlag(pswbit::CY, cy && !cpu.bit(a1)); break;
    case 0x92: cpu.setBit(a1, cy); break;
    case 0xA2: cpu.setFlag(pswbit::CY, cpu.bit(a1)); break;
    case 0xB2: cpu.setBit(a1, !cpu.bit(a1)); break;
    case 0xB3: cpu.setFlag(pswbit::CY, !cy); break;
    case 0xC2: cpu.setBit(a1, false); break;
    case 0xC3: cpu.setFlag(pswbit::CY, false); break;
    case 0xD2: cpu.setBit(a1, true); break;
    default: cpu.setFlag(pswbit::CY, true); break; // 0xD3 SETB C
    }
}

// --- moves ---
void opMovAImm(Mc8051Cpu& cpu, u8, u8 a1, u8) { cpu.setAcc(a1); }
void opMovASrc(Mc8051Cpu& cpu, u8 op, u8 a1, u8) { cpu.setAcc(cpu.ram(operandAddress(cpu, op, a1))); }
void opMovDstA(Mc8051Cpu& cpu, u8 op, u8 a1, u8) { cpu.setRam(operandAddress(cpu, op, a1), cpu.acc()); }
void opMovDstImm(Mc8051Cpu& cpu, u8 op, u8 a1, u8 a2)
{
    if (op == 0x75)
        cpu.setRam(a1, a2);
    else
        cpu.setRam(indirectOrRegisterAddress(cpu, op), a1);
}
void opMovDirDir(Mc8051Cpu& cpu, u8, u8 a1, u8 a2) { cpu.setRam(a2, cpu.ram(a1)); }
void opMovDirFrom(Mc8051Cpu& cpu, u8 op, u8 a1, u8) { cpu.setRam(a1, cpu.ram(indirectOrRegisterAddress(cpu, op))); }
void opMovToFromDir(Mc8051Cpu& cpu, u8 op, u8 a1, u8) { cpu.setRam(indirectOrRegisterAddress(cpu, op), cpu.ram(a1)); }
void opMovDptr(Mc8051Cpu& cpu, u8, u8 a1, u8 a2) { cpu.setDptr(static_cast<u16>(a1 << 8 | a2)); }
void opMovc(Mc8051Cpu& cpu, u8 op, u8, u8)
{
    const u16 base = op == 0x83 ? cpu.pc : cpu.dptr();
    cpu.setAcc(cpu.codeByte(static_cast<u16>(base + cpu.acc())));
}
void opMovx(Mc8051Cpu& cpu, u8 op, u8, u8)
{
    const u16 address = (op & 0x0F) == 0 ? cpu.dptr() : cpu.reg(op & 1);
    if (op & 0x10)
        cpu.writeXdata(address, cpu.acc());
    else
        cpu.setAcc(cpu.readXdata(address));
}
void opPush(Mc8051Cpu& cpu, u8, u8 a1, u8) { cpu.push(cpu.ram(a1)); }
void opPop(Mc8051Cpu& cpu, u8, u8 a1, u8) { cpu.setRam(a1, cpu.pop()); }
void opXch(Mc8051Cpu& cpu, u8 op, u8 a1, u8)
{
    const u8 address = operandAddress(cpu, op, a1);
    const u8 other = cpu.ram(address);
    cpu.setRam(address, cpu.acc());
    cpu.setAcc(other);
}
void opXchd(Mc8051Cpu& cpu, u8 op, u8, u8)
{
    const u8 address = cpu.reg(op & 1);
    const u8 other = cpu.ram(address);
    const u8 a = cpu.acc();
    cpu.setRam(address, static_cast<u8>((other & 0xF0) | (a & 0x0F)));
    cpu.setAcc(static_cast<u8>((a & 0xF0) | (other & 0x0F)));
}

std::array<OpcodeInfo, 256> buildTable()
{
    std::array<OpcodeInfo, 256> t{};
    auto set = [&](int op, u8 length, u8 cycles, const char* name, OpcodeHandler run) {
        t[op] = OpcodeInfo{length, cycles, name, run};
    };
    // Rows whose low nibble 4..F picks the operand (#data, direct, @Ri, Rn).
    auto row = [&](int base, int firstLow, u8 extra, u8 cycles, const char* name, OpcodeHandler run) {
        for (int low = firstLow; low <= 0x0F; ++low)
            set(base + low, rowLength(low, static_cast<u8>(1 + extra)), cycles, name, run);
    };

    set(0x00, 1, 1, "NOP", opNop);
    set(0xA5, 1, 1, "NOP", opNop); // reserved opcode
    for (int page = 0; page < 8; ++page) {
        set(page << 5 | 0x01, 2, 2, "AJMP", opAjmp);
        set(page << 5 | 0x11, 2, 2, "ACALL", opAjmp);
    }
    set(0x02, 3, 2, "LJMP", opLjmp);
    set(0x12, 3, 2, "LCALL", opLjmp);
    set(0x22, 1, 2, "RET", opRet);
    set(0x32, 1, 2, "RETI", opRet);
    set(0x73, 1, 2, "JMP @A+DPTR", opJmpADptr);
    set(0x80, 2, 2, "SJMP", opCondJump);
    set(0x40, 2, 2, "JC", opCondJump);
    set(0x50, 2, 2, "JNC", opCondJump);
    set(0x60, 2, 2, "JZ", opCondJump);
    set(0x70, 2, 2, "JNZ", opCondJump);
    set(0x10, 3, 2, "JBC", opBitJump);
    set(0x20, 3, 2, "JB", opBitJump);
    set(0x30, 3, 2, "JNB", opBitJump);
    for (int op = 0xB4; op <= 0xBF; ++op)
        set(op, 3, 2, "CJNE", opCjne);
    set(0xD5, 3, 2, "DJNZ", opDjnz);
    for (int op = 0xD8; op <= 0xDF; ++op)
        set(op, 2, 2, "DJNZ", opDjnz);

    row(0x20, 4, 0, 1, "ADD", opAdd);
    row(0x30, 4, 0, 1, "ADDC", opAdd);
    row(0x90, 4, 0, 1, "SUBB", opSubb);
    row(0x00, 4, 0, 1, "INC", opIncDec);
    row(0x10, 4, 0, 1, "DEC", opIncDec);
    t[0x04].length = t[0x14].length = 1; // INC A, DEC A take no operand byte
    set(0xA3, 1, 2, "INC DPTR", opIncDptr);
    set(0xA4, 1, 4, "MUL", opMul);
    set(0x84, 1, 4, "DIV", opDiv);
    set(0xD4, 1, 1, "DA", opDa);

    const char* logicNames[] = {"ORL", "ANL", "XRL"};
    for (int i = 0; i < 3; ++i) {
        const int base = 0x40 + i * 0x10;
        set(base + 2, 2, 1, logicNames[i], opLogic);
        set(base + 3, 3, 2, logicNames[i], opLogic);
        row(base, 4, 0, 1, logicNames[i], opLogic);
    }
    for (int op : {0x03, 0x13, 0x23, 0x33, 0xC4, 0xE4, 0xF4})
        set(op, 1, 1, "A", opAccumulator);

    for (int op : {0x72, 0x82, 0xA0, 0xB0, 0x92})
        set(op, 2, 2, "C,bit", opCarryBit);
    for (int op : {0xA2, 0xB2, 0xC2, 0xD2})
        set(op, 2, 1, "bit", opCarryBit);
    for (int op : {0xB3, 0xC3, 0xD3})
        set(op, 1, 1, "C", opCarryBit);

    set(0x74, 2, 1, "MOV A,#", opMovAImm);
    row(0xE0, 5, 0, 1, "MOV A,", opMovASrc);
    row(0xF0, 5, 0, 1, "MOV ,A", opMovDstA);
    set(0x75, 3, 2, "MOV dir,#", opMovDstImm);
    for (int op = 0x76; op <= 0x7F; ++op)
        set(op, 2, 1, "MOV ,#", opMovDstImm);
    set(0x85, 3, 2, "MOV dir,dir", opMovDirDir);
    for (int op = 0x86; op <= 0x8F; ++op)
        set(op, 2, 2, "MOV dir,", opMovDirFrom);
    for (int op = 0xA6; op <= 0xAF; ++op)
        set(op, 2, 2, "MOV ,dir", opMovToFromDir);
    set(0x90, 3, 2, "MOV DPTR,#", opMovDptr);
    set(0x83, 1, 2, "MOVC A,@A+PC", opMovc);
    set(0x93, 1, 2, "MOVC A,@A+DPTR", opMovc);
    for (int op : {0xE0, 0xE2, 0xE3, 0xF0, 0xF2, 0xF3})
        set(op, 1, 2, "MOVX", opMovx);
    set(0xC0, 2, 2, "PUSH", opPush);
    set(0xD0, 2, 2, "POP", opPop);
    row(0xC0, 5, 0, 1, "XCH", opXch);
    set(0xD6, 1, 1, "XCHD", opXchd);
    set(0xD7, 1, 1, "XCHD", opXchd);
    return t;
}

} // namespace

const std::array<OpcodeInfo, 256>& opcodeTable()
{
    static const std::array<OpcodeInfo, 256> table = buildTable();
    return table;
}

} // namespace qv::sim
