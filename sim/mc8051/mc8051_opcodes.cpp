#include "sim/mc8051/mc8051_opcodes.h"

namespace qv::sim {
namespace {

using u8 = std::uint8_t;

// Bytes an instruction spends on its operand row: #data and direct take one byte.
constexpr u8 rowLength(int low, u8 base) { return static_cast<u8>(low == 4 || low == 5 ? base + 1 : base); }

std::array<OpcodeInfo, 256> buildTable()
{
    std::array<OpcodeInfo, 256> t{};
    auto set = [&](int op, u8 length, u8 cycles, const char* name) {
        t[op] = OpcodeInfo{length, cycles, name};
    };
    // Rows whose low nibble 4..F picks the operand (#data, direct, @Ri, Rn).
    auto row = [&](int base, int firstLow, u8 extra, u8 cycles, const char* name) {
        for (int low = firstLow; low <= 0x0F; ++low)
            set(base + low, rowLength(low, static_cast<u8>(1 + extra)), cycles, name);
    };

    set(0x00, 1, 1, "NOP");
    set(0xA5, 1, 1, "NOP"); // reserved opcode
    for (int page = 0; page < 8; ++page) {
        set(page << 5 | 0x01, 2, 2, "AJMP");
        set(page << 5 | 0x11, 2, 2, "ACALL");
    }
    set(0x02, 3, 2, "LJMP");
    set(0x12, 3, 2, "LCALL");
    set(0x22, 1, 2, "RET");
    set(0x32, 1, 2, "RETI");
    set(0x73, 1, 2, "JMP @A+DPTR");
    set(0x80, 2, 2, "SJMP");
    set(0x40, 2, 2, "JC");
    set(0x50, 2, 2, "JNC");
    set(0x60, 2, 2, "JZ");
    set(0x70, 2, 2, "JNZ");
    set(0x10, 3, 2, "JBC");
    set(0x20, 3, 2, "JB");
    set(0x30, 3, 2, "JNB");
    for (int op = 0xB4; op <= 0xBF; ++op)
        set(op, 3, 2, "CJNE");
    set(0xD5, 3, 2, "DJNZ");
    for (int op = 0xD8; op <= 0xDF; ++op)
        set(op, 2, 2, "DJNZ");

    row(0x20, 4, 0, 1, "ADD");
    row(0x30, 4, 0, 1, "ADDC");
    row(0x90, 4, 0, 1, "SUBB");
    row(0x00, 4, 0, 1, "INC");
    row(0x10, 4, 0, 1, "DEC");
    t[0x04].length = t[0x14].length = 1; // INC A, DEC A take no operand byte
    set(0xA3, 1, 2, "INC DPTR");
    set(0xA4, 1, 4, "MUL");
    set(0x84, 1, 4, "DIV");
    set(0xD4, 1, 1, "DA");

    const char* logicNames[] = {"ORL", "ANL", "XRL"};
    for (int i = 0; i < 3; ++i) {
        const int base = 0x40 + i * 0x10;
        set(base + 2, 2, 1, logicNames[i]);
        set(base + 3, 3, 2, logicNames[i]);
        row(base, 4, 0, 1, logicNames[i]);
    }
    for (int op : {0x03, 0x13, 0x23, 0x33, 0xC4, 0xE4, 0xF4})
        set(op, 1, 1, "A");

    for (int op : {0x72, 0x82, 0xA0, 0xB0, 0x92})
        set(op, 2, 2, "C,bit");
    for (int op : {0xA2, 0xB2, 0xC2, 0xD2})
        set(op, 2, 1, "bit");
    for (int op : {0xB3, 0xC3, 0xD3})
        set(op, 1, 1, "C");

    set(0x74, 2, 1, "MOV A,#");
    row(0xE0, 5, 0, 1, "MOV A,");
    row(0xF0, 5, 0, 1, "MOV ,A");
    set(0x75, 3, 2, "MOV dir,#");
    for (int op = 0x76; op <= 0x7F; ++op)
        set(op, 2, 1, "MOV ,#");
    set(0x85, 3, 2, "MOV dir,dir");
    for (int op = 0x86; op <= 0x8F; ++op)
        set(op, 2, 2, "MOV dir,");
    for (int op = 0xA6; op <= 0xAF; ++op)
        set(op, 2, 2, "MOV ,dir");
    set(0x90, 3, 2, "MOV DPTR,#");
    set(0x83, 1, 2, "MOVC A,@A+PC");
    set(0x93, 1, 2, "MOVC A,@A+DPTR");
    for (int op : {0xE0, 0xE2, 0xE3, 0xF0, 0xF2, 0xF3})
        set(op, 1, 2, "MOVX");
    set(0xC0, 2, 2, "PUSH");
    set(0xD0, 2, 2, "POP");
    row(0xC0, 5, 0, 1, "XCH");
    set(0xD6, 1, 1, "XCHD");
    set(0xD7, 1, 1, "XCHD");
    return t;
}

} // namespace

const std::array<OpcodeInfo, 256>& opcodeTable()
{
    static const std::array<OpcodeInfo, 256> table = buildTable();
    return table;
}

} // namespace qv::sim
