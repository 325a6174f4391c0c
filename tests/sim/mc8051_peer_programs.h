#pragma once
// The programs the core and s51 both run (see mc8051_peer_test.cpp): each ends in `while (1) {}`
// or `SJMP $`; [xdataFrom, xdataTo) is the external data it writes (and a margin around it).
#include <cstdint>
#include <ostream>

namespace qv::sim::test {

struct PeerProgram {
    const char* name;
    const char* source;
    std::uint16_t xdataFrom;
    std::uint32_t xdataTo;
};

// Names the program in test output instead of its bytes.
inline void PrintTo(const PeerProgram& program, std::ostream* out) { *out << program.name; }

inline const PeerProgram kPeerPrograms[] = {
    {"SignedAndUnsignedArithmetic", R"(
__xdata __at(0x0100) int sres[10][10][3];
__xdata __at(0x0400) unsigned int ures[10][10][3];
__xdata __at(0x0700) unsigned char cres[8][8][2];
__xdata __at(0x0780) signed char scres[8][8][2];
const int vals[10] = {-32767, -1234, -7, -1, 0, 1, 7, 255, 1234, 32767};
const unsigned char bytes[8] = {0, 1, 3, 7, 100, 128, 200, 255};
void main(void)
{
    unsigned char i, j;
    for (i = 0; i < 10; i++)
        for (j = 0; j < 10; j++) {
            int a = vals[i], b = vals[j];
            unsigned int ua = (unsigned int)a, ub = (unsigned int)b;
            sres[i][j][0] = a * b;
            sres[i][j][1] = b ? a / b : 0;
            sres[i][j][2] = b ? a % b : 0;
            ures[i][j][0] = ua * ub;
            ures[i][j][1] = ub ? ua / ub : 0;
            ures[i][j][2] = ub ? ua % ub : 0;
        }
    for (i = 0; i < 8; i++)
        for (j = 0; j < 8; j++) {
            unsigned char a = bytes[i], b = bytes[j];
            signed char sa = (signed char)a, sb = (signed char)b;
            cres[i][j][0] = b ? a / b : 0;
            cres[i][j][1] = b ? a % b : 0;
            scres[i][j][0] = (sb && !(sa == -128 && sb == -1)) ? sa / sb : 0;
            scres[i][j][1] = (sb && !(sa == -128 && sb == -1)) ? sa % sb : 0;
        }
    while (1) {}
}
)", 0x0000, 0x0800},
    {"Math32Bit", R"(
__xdata __at(0x0100) unsigned long mul[8][8];
__xdata __at(0x0200) long sdiv[8][8];
__xdata __at(0x0300) long smod[8][8];
__xdata __at(0x0400) unsigned long udiv[8][8];
__xdata __at(0x0500) unsigned long umod[8][8];
__xdata __at(0x0600) unsigned long shifts[8][3];
__xdata __at(0x0660) unsigned char order[8][8];
const long values[8] = {-2147483647L, -100000L, -3L, 0L, 5L, 65536L, 123456789L, 2147483647L};
void main(void)
{
    unsigned char i, j;
    for (i = 0; i < 8; i++) {
        for (j = 0; j < 8; j++) {
            long a = values[i], b = values[j];
            unsigned long ua = (unsigned long)a, ub = (unsigned long)b;
            mul[i][j] = ua * ub;
            sdiv[i][j] = b ? a / b : 0;
            smod[i][j] = b ? a % b : 0;
            udiv[i][j] = ub ? ua / ub : 0;
            umod[i][j] = ub ? ua % ub : 0;
            order[i][j] = (a < b) | (ua < ub) << 1 | (a == b) << 2;
        }
        shifts[i][0] = (unsigned long)values[i] << (i * 4);
        shifts[i][1] = (unsigned long)values[i] >> (i * 4);
        shifts[i][2] = (unsigned long)(values[i] >> (i * 4));
    }
    while (1) {}
}
)", 0x0000, 0x06A0},
    {"BitsAndRotates", R"(
#include <8051.h>
__xdata __at(0x0100) unsigned char out[16][4];
__bit odd, flip, both;
__sbit __at(0xF7) B7;
__sbit __at(0xF0) B0;
void main(void)
{
    unsigned char i, x = 0x5A, y, t, count;
    unsigned int w = 0x1234;
    flip = 0;
    for (i = 0; i < 16; i++) {
        x = (unsigned char)(x << 1 | x >> 7);
        w = (unsigned int)(w >> 3 | w << 13);
        y = x ^ (unsigned char)w ^ (unsigned char)(w >> 8);
        for (count = 0, t = y; t; t >>= 1)
            count += t & 1;
        odd = count & 1;
        flip = !flip;
        both = odd && flip;
        B = y;
        F0 = B7 ^ B0;
        out[i][0] = x;
        out[i][1] = (unsigned char)(w >> 8) & ~y | (unsigned char)w;
        out[i][2] = count;
        out[i][3] = odd | flip << 1 | both << 2 | F0 << 3;
    }
    while (1) {}
}
)", 0x0000, 0x0140},
    {"IdataAndXdataArrays", R"(
#include <string.h>
__idata unsigned char small[24];
__xdata __at(0x0200) unsigned int big[40];
__xdata __at(0x0300) char text[48];
const char greeting[] = "code to xdata";
static unsigned int seed = 12345;
unsigned int next(void) { seed = seed * 75 + 74; return seed; }
void sortSmall(__idata unsigned char *p, unsigned char n)
{
    unsigned char i, j, t;
    for (i = 0; i + 1 < n; i++)
        for (j = 0; j + 1 < n - i; j++)
            if (p[j] > p[j + 1]) { t = p[j]; p[j] = p[j + 1]; p[j + 1] = t; }
}
void main(void)
{
    unsigned char i, j;
    unsigned int v;
    for (i = 0; i < 24; i++) small[i] = (unsigned char)(next() >> 8);
    sortSmall(small, 24);
    for (i = 0; i < 40; i++) {
        v = next();
        for (j = i; j > 0 && big[j - 1] > v; j--) big[j] = big[j - 1];
        big[j] = v;
    }
    memcpy(text, greeting, sizeof greeting);
    memcpy(text + 16, small, 16);
    text[40] = (char)strlen(text);
    text[41] = (char)memcmp(text + 16, small, 16);
    while (1) {}
}
)", 0x0000, 0x0330},
    {"RecursionAndCalls", R"(
__xdata __at(0x0100) int out[16];
unsigned int fib(unsigned char n) __reentrant { return n < 2 ? n : fib(n - 1) + fib(n - 2); }
unsigned char gcd(unsigned char a, unsigned char b) __reentrant { return b ? gcd(b, a % b) : a; }
int twice(int x) { return 2 * x; }
int negate(int x) { return -x; }
int square(int x) { return x * x; }
int (*const ops[3])(int) = {twice, negate, square};
long sum(unsigned char n, long acc) __reentrant { return n ? sum(n - 1, acc + n * 1000L) : acc; }
void main(void)
{
    unsigned char i;
    out[0] = fib(10);
    out[1] = gcd(252, 105);
    out[2] = gcd(17, 5);
    for (i = 0; i < 6; i++) out[3 + i] = ops[i % 3](-123 + i * 50);
    *(__xdata long *)&out[10] = sum(8, -5);
    while (1) {}
}
)", 0x0000, 0x0120},
    {"SwitchTablesAndCodeReads", R"(
#include <string.h>
__xdata __at(0x0100) unsigned char out[64];
const unsigned char sbox[16] = {0x63, 0x7C, 0x77, 0x7B, 0xF2, 0x6B, 0x6F, 0xC5, 0x30, 0x01, 0x67, 0x2B, 0xFE, 0xD7, 0xAB, 0x76};
const char *const names[4] = {"zero", "one", "two", "three"};
unsigned char dense(unsigned char k)
{
    switch (k) {
    case 0: return 10; case 1: return 21; case 2: return 32; case 3: return 43; case 4: return 54;
    case 5: return 65; case 6: return 76; case 7: return 87; case 8: return 98; case 9: return 109;
    case 10: return 120; case 11: return 131; default: return 255;
    }
}
unsigned char sparse(unsigned int k)
{
    switch (k) {
    case 1: return 1; case 100: return 2; case 1000: return 3; case 40000u: return 4; default: return 0;
    }
}
void main(void)
{
    unsigned char i;
    for (i = 0; i < 20; i++) out[i] = dense(i) ^ sbox[i & 15];
    for (i = 0; i < 4; i++) {
        out[20 + i] = (unsigned char)strlen(names[i]) + names[i][1];
        out[24 + i] = sparse(i == 0 ? 1 : i == 1 ? 100 : i == 2 ? 1000 : 40000u) + sparse(i);
    }
    while (1) {}
}
)", 0x0000, 0x0140},
    {"FloatLibrary", R"(
__xdata __at(0x0100) float values[8];
__xdata __at(0x0120) long scaled[8];
void main(void)
{
    unsigned char i;
    float x = 1.5f;
    for (i = 0; i < 8; i++) {
        x = x * 1.25f - 0.3f / (i + 1);
        values[i] = x;
        scaled[i] = (long)(x * -1000.0f);
    }
    while (1) {}
}
)", 0x0000, 0x0140},
    {"FlagSweep", R"(
void main(void) __naked
{
    __asm
    ; A and the flags of ADD, ADDC, SUBB (with and without borrow), DA, MUL, DIV and CJNE
    ; over a grid of operand pairs, stored to external data
    mov dptr,#0x0100
    mov r6,#0
outer:
    mov r7,#0
inner:
    mov a,r6
    add a,r7
    lcall store
    setb c
    mov a,r6
    addc a,r7
    lcall store
    clr c
    mov a,r6
    subb a,r7
    lcall store
    setb c
    mov a,r6
    subb a,r7
    lcall store
    mov a,r6
    add a,r7
    da a
    lcall store
    setb c
    mov a,r6
    addc a,r7
    da a
    lcall store
    mov a,r6
    mov b,r7
    mul ab
    lcall store
    mov a,b
    movx @dptr,a
    inc dptr
    mov a,r6
    mov b,r7
    div ab
    lcall store
    mov a,b
    movx @dptr,a
    inc dptr
    mov a,r6
    cjne a,0x07,compared
compared:
    lcall store
    mov a,r7
    add a,#11
    mov r7,a
    jnc inner
    mov a,r6
    add a,#7
    mov r6,a
    jnc outer
halt:
    sjmp halt
store:
    ; A, then PSW as the instruction left it
    push 0xD0
    movx @dptr,a
    inc dptr
    pop 0xE0
    movx @dptr,a
    inc dptr
    ret
    __endasm;
}
)", 0x0000, 0x4700},
    {"AssemblyCorners", R"(
void main(void) __naked
{
    __asm
    mov sp,#0x68
    ; PUSH SP stores the incremented SP; POP SP leaves the popped byte in SP
    push 0x81
    pop 0x30
    push 0x81
    pop 0x81
    mov 0x31,0x81
    mov sp,#0x68
    ; decimal adjust over pairs read from code: A and PSW of each sum
    mov dptr,#bcd_pairs
    mov r0,#0x40
    mov r2,#8
bcd_loop:
    clr a
    movc a,@a+dptr
    mov r3,a
    inc dptr
    clr a
    movc a,@a+dptr
    inc dptr
    add a,r3
    da a
    mov @r0,a
    inc r0
    mov @r0,psw
    inc r0
    djnz r2,bcd_loop
    ; a carry in: 0x99 + 0x00 + CY
    setb c
    mov a,#0x99
    addc a,#0x00
    da a
    mov 0x32,a
    mov 0x33,psw
    ; exchanges and nibble swaps
    mov 0x50,#0x5A
    mov a,#0xC3
    xch a,0x50
    mov r1,#0x51
    mov @r1,#0x7E
    xchd a,@r1
    swap a
    mov 0x52,a
    mov r7,#0x11
    xch a,r7
    xch a,@r1
    mov 0x53,a
    ; register banks through PSW written as a byte (s51 moves its bank only then, not when
    ; SETB or CLR change RS0 or RS1: the core's own tests cover those)
    mov psw,#0x08
    mov r0,#0x11
    mov r7,#0x17
    mov psw,#0x10
    mov r0,#0x21
    mov r7,#0x27
    orl psw,#0x08
    mov r0,#0x31
    mov r7,#0x37
    anl psw,#0xEF
    mov a,r7
    mov 0x54,a
    push 0x00
    push 0x08
    mov psw,#0x18
    pop 0x07
    pop 0x06
    mov a,r7
    add a,r6
    mov 0x55,a
    mov psw,#0x00
    ; flags through the stack: PUSH ACC / POP PSW, and P as a bit (the byte popped carries
    ; A's parity: s51 works P out again only when A changes)
    mov a,#0xC1
    push 0xE0
    pop 0xD0
    mov 0x56,psw
    mov c,0xD0
    mov 0x20,#0
    mov 0x00,c
    mov a,#0x06
    mov c,0xD0
    mov 0x01,c
    inc a
    mov c,0xD0
    mov 0x02,c
    mov 0x57,0x20
    mov psw,#0
    ; multiply and divide, divide by zero
    mov a,#0xFE
    mov b,#0x83
    mul ab
    mov 0x58,a
    mov 0x59,b
    mov 0x5A,psw
    mov a,#0xFB
    mov b,#0x12
    div ab
    mov 0x5B,a
    mov 0x5C,b
    mov a,#0x42
    mov b,#0
    div ab
    mov 0x5D,psw
    ; SUBB overflow and borrow, rotates through carry
    clr c
    mov a,#0x80
    subb a,#0x01
    mov 0x5E,psw
    setb c
    mov a,#0x10
    subb a,#0x20
    mov 0x5F,a
    mov 0x60,psw
    rlc a
    rrc a
    rrc a
    mov 0x61,a
    ; compare and jump on carry, bit test and clear
    mov a,#0x40
    cjne a,#0x41,cj1
cj1:
    mov 0x62,psw
    mov 0x22,#0x81
    jbc 0x17,jb1
    mov 0x63,#0xEE
jb1:
    mov 0x63,0x22
    ; table jump and PC-relative code read
    mov a,#4
    mov dptr,#jtab
    jmp @a+dptr
jtab:
    sjmp jt0
    sjmp jt1
    sjmp jt2
jt0:
    mov 0x64,#0xA0
    sjmp jdone
jt1:
    mov 0x64,#0xA1
    sjmp jdone
jt2:
    mov 0x64,#0xA2
jdone:
    mov a,#2
    movc a,@a+pc
    sjmp pcread
    .db 0x3C
pcread:
    mov 0x65,a
    ; DPTR wraps, DJNZ on a direct byte, bits of ACC and B
    mov dptr,#0xFFFF
    inc dptr
    mov 0x66,dpl
    mov 0x67,#3
    mov 0x68,#0
dj:
    inc 0x68
    djnz 0x67,dj
    clr a
    setb 0xE7
    setb 0xE0
    cpl 0xE1
    mov b,#0xFF
    clr 0xF3
    anl c,/0xF3
    orl c,0xF7
    mov 0x69,a
    mov 0x6A,b
    mov dptr,#0x1234
halt:
    sjmp halt
bcd_pairs:
    .db 0x49,0x38, 0x99,0x01, 0x09,0x09, 0x50,0x50
    .db 0x99,0x99, 0x0A,0xF0, 0x88,0x11, 0x15,0x85
    __endasm;
}
)", 0x0000, 0x0010},
};

} // namespace qv::sim::test
