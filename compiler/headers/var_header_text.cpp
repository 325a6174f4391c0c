#include "compiler/headers/var_header_text.h"

#include "model/document/draw_doc.h"
#include "platform/text/gbk.h"

#include <algorithm>
#include <array>
#include <string_view>

#include <fmt/format.h>

namespace qv {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Where the address and the comment of a variable line start, as offsets from the byte
// length of the longest name. "SysVar.h" keeps its wide columns; "HmiVar.h" is compact.
struct VarLineLayout {
    std::size_t addressColumn;
    std::size_t commentColumn;
};
constexpr VarLineLayout kSysVarLayout{40, 52};
constexpr VarLineLayout kHmiVarLayout{15, 27};
constexpr std::size_t kStructNameColumn = 25;
constexpr std::size_t kStructCommentColumn = 40; // plus the longest name

// A section title: "///", 8 blanks, the title, blanks, a run of slashes.
struct SectionTitle {
    std::string_view title;
    std::size_t blanksAfter;
    std::size_t slashes;
};
constexpr SectionTitle kRegisterTitle{"第一部分：MC8051单片机寄存器定义", 22, 4};
constexpr SectionTitle kMemoryTitle{"第二部分：MC8051单片机存储器访问接口定义", 13, 4};
constexpr SectionTitle kVariableTitle{"第三部分：控件地址变量宏定义", 23, 32};
constexpr SectionTitle kUserTitle{"第四部分：用户地址变量宏定义", 23, 32};

constexpr std::array<std::string_view, 9> kRegisterLines{
    "sbit EX0  = 0xA8;", "sbit ET0  = 0xA9;", "sbit EX1  = 0xAA;", "sbit ET1  = 0xAB;", "sbit ES   = 0xAC;",
    "sbit ET2  = 0xAD;", "sbit EA   = 0xAF;", "sfr SBUF          = 0x99;", "sfr COMNUM        = 0x9A;",
};
constexpr int kCommandRegisters = 16; // CmdAdr, CmdAdr1 .. CmdAdr15 at 0xC0 .. 0xCF
constexpr std::array<std::string_view, 2> kMemoryLines{
    "#define CBYTE ((unsigned char volatile code  *) 0)",
    "#define XBYTE ((unsigned char volatile xdata *) 0)",
};
constexpr std::string_view kHmiVarHead =
    "///控件地址变量宏定义,用户可将其作为头文件。如果文件的格式不符合你的要求请联系我们免费为你生成符合你的头文件";
constexpr std::string_view kStructHeadLines[] = {"///外部存储器数据结构定义", "typedef struct\tHMIVarW", "{"};
constexpr std::string_view kStructTail = "} HMIVarW;";

// The C type of a structure member: the panel's int is 16 bits, the table's int is 32.
std::string_view structMemberType(std::string_view tableType)
{
    if (tableType == "signed int")
        return "signed long ";
    if (tableType == "unsigned int")
        return "unsigned long";
    return tableType;
}

// A table text as it may stand in a one-line comment or macro: a line break would end the
// comment and turn the rest into code, so CR and LF become blanks.
std::string oneLine(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = gbkCharLength(text, i);
        const char c = text[i];
        out.append(n == 1 && (c == '\r' || c == '\n') ? std::string_view(" ") : text.substr(i, n));
        i += n;
    }
    return out;
}

class HeaderText {
public:
    void add(std::string_view s) { text_.append(s); }
    // Blanks up to byte column `column` of the current line (nothing when already past it).
    void padTo(std::size_t column)
    {
        const std::size_t used = text_.size() - lineStart_;
        if (used < column)
            text_.append(column - used, ' ');
    }
    // Ends a line that closes a "//" comment. A last byte 0x5C (a backslash, or the second
    // byte of a GBK character such as 淺) would splice the next line into the comment and
    // swallow its macro, so such a line gets a closing mark.
    void endCommentLine()
    {
        if (text_.size() > lineStart_ && text_.back() == '\\')
            text_.append(" .");
        endLine();
    }
    void endLine()
    {
        text_.append(kLineEnd);
        lineStart_ = text_.size();
    }
    void line(std::string_view s)
    {
        add(s);
        endLine();
    }
    void blankLines(int count)
    {
        for (int i = 0; i < count; ++i)
            line(std::string(50, ' '));
    }
    void title(const SectionTitle& t)
    {
        add("///");
        add(std::string(8, ' '));
        add(t.title);
        add(std::string(t.blanksAfter, ' '));
        add(std::string(t.slashes, '/'));
        endLine();
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    std::size_t lineStart_ = 0;
};

// Rows the five columns all hold (a damaged table is written as far as it is whole).
std::size_t rowCount(const HmiVarTable& t)
{
    return std::min({t.address.size(), t.type.size(), t.name.size(), t.initValue.size(), t.description.size()});
}

std::size_t longestName(const HmiVarTable& t)
{
    std::size_t longest = 0;
    for (std::size_t i = 0; i < rowCount(t); ++i)
        longest = std::max(longest, oneLine(t.name[i]).size());
    return longest;
}

void addInitialAndDescription(HeaderText& out, const HmiVarTable& t, std::size_t row)
{
    out.add("初始值：");
    out.add(oneLine(t.initValue[row]));
    out.add("   ");
    out.add("解释：");
    out.add(oneLine(t.description[row]));
    out.endCommentLine();
}

void addVariableLines(HeaderText& out, const HmiVarTable& t, VarLineLayout layout)
{
    const std::size_t longest = longestName(t);
    for (std::size_t row = 0; row < rowCount(t); ++row) {
        out.add("#define   ");
        out.add(oneLine(t.name[row]));
        out.padTo(longest + layout.addressColumn);
        out.add(oneLine(t.address[row]));
        out.padTo(longest + layout.commentColumn);
        out.add("//");
        out.add("类型：");
        out.add(oneLine(t.type[row]));
        out.add("   ");
        addInitialAndDescription(out, t, row);
    }
}

} // namespace

std::string SysVarHeaderText(const HmiVarTable& table, std::int64_t userAddress)
{
    HeaderText out;
    out.title(kRegisterTitle);
    for (std::string_view l : kRegisterLines)
        out.line(l);
    for (int n = 0; n < kCommandRegisters; ++n) {
        const std::string name = n == 0 ? std::string("CmdAdr") : fmt::format("CmdAdr{}", n);
        out.line(fmt::format("sfr {:<14}= 0x{:02X};", name, 0xC0 + n));
    }
    out.blankLines(2);
    out.title(kMemoryTitle);
    for (std::string_view l : kMemoryLines)
        out.line(l);
    out.blankLines(2);
    out.title(kVariableTitle);
    addVariableLines(out, table, kSysVarLayout);
    out.blankLines(2);
    out.title(kUserTitle);
    out.add(fmt::format("#define   m_UserAdr       {}", userAddress));
    return out.take();
}

std::string HmiVarHeaderText(const HmiVarTable& table)
{
    HeaderText out;
    out.line(kHmiVarHead);
    addVariableLines(out, table, kHmiVarLayout);
    out.blankLines(2);
    return out.take();
}

std::string HmiVarStructHeaderText(const HmiVarTable& table)
{
    HeaderText out;
    for (std::string_view l : kStructHeadLines)
        out.line(l);
    const std::size_t longest = longestName(table);
    for (std::size_t row = 0; row < rowCount(table); ++row) {
        const std::string type = oneLine(table.type[row]);
        out.add("   ");
        out.add(structMemberType(type));
        out.add("   ");
        out.padTo(kStructNameColumn);
        out.add("M");
        out.add(oneLine(table.name[row]));
        out.add(";");
        out.padTo(longest + kStructCommentColumn);
        out.add("//");
        addInitialAndDescription(out, table, row);
    }
    out.line(kStructTail);
    return out.take();
}

} // namespace qv
