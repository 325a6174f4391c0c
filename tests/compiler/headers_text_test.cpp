// The exact bytes of the user code's headers: the fixed parts, the variable columns (bytes of
// GBK, counted from the longest name), the struct member types and the line-safety of texts.
#include "compiler/headers/var_header_text.h"
#include "model/document/draw_doc.h"
#include "tests/config/var_table_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::test {
namespace {

const std::string kBlank50 = std::string(50, ' ') + "\r\n";

// Everything of "SysVar.h" before the variable lines.
std::string sysVarHead()
{
    return "///        第一部分：MC8051单片机寄存器定义                      ////\r\n"
           "sbit EX0  = 0xA8;\r\n"
           "sbit ET0  = 0xA9;\r\n"
           "sbit EX1  = 0xAA;\r\n"
           "sbit ET1  = 0xAB;\r\n"
           "sbit ES   = 0xAC;\r\n"
           "sbit ET2  = 0xAD;\r\n"
           "sbit EA   = 0xAF;\r\n"
           "sfr SBUF          = 0x99;\r\n"
           "sfr COMNUM        = 0x9A;\r\n"
           "sfr CmdAdr        = 0xC0;\r\n"
           "sfr CmdAdr1       = 0xC1;\r\n"
           "sfr CmdAdr2       = 0xC2;\r\n"
           "sfr CmdAdr3       = 0xC3;\r\n"
           "sfr CmdAdr4       = 0xC4;\r\n"
           "sfr CmdAdr5       = 0xC5;\r\n"
           "sfr CmdAdr6       = 0xC6;\r\n"
           "sfr CmdAdr7       = 0xC7;\r\n"
           "sfr CmdAdr8       = 0xC8;\r\n"
           "sfr CmdAdr9       = 0xC9;\r\n"
           "sfr CmdAdr10      = 0xCA;\r\n"
           "sfr CmdAdr11      = 0xCB;\r\n"
           "sfr CmdAdr12      = 0xCC;\r\n"
           "sfr CmdAdr13      = 0xCD;\r\n"
           "sfr CmdAdr14      = 0xCE;\r\n"
           "sfr CmdAdr15      = 0xCF;\r\n" +
           kBlank50 + kBlank50 +
           "///        第二部分：MC8051单片机存储器访问接口定义             ////\r\n"
           "#define CBYTE ((unsigned char volatile code  *) 0)\r\n"
           "#define XBYTE ((unsigned char volatile xdata *) 0)\r\n" +
           kBlank50 + kBlank50 +
           "///        第三部分：控件地址变量宏定义                       ////////////////////////////////\r\n";
}

std::string sysVarTail(const std::string& userAddress)
{
    return kBlank50 + kBlank50 +
           "///        第四部分：用户地址变量宏定义                       ////////////////////////////////\r\n"
           "#define   m_UserAdr       " +
           userAddress;
}

TEST(HeaderText, SysVarOfANewProjectIsExact)
{
    const std::string rows =
        "#define   m_HuaMian                                   0           //类型：unsigned char   初始值：0   解释：活动画面编号\r\n"
        "#define   m_ChildWindow                               1           //类型：unsigned char   初始值：255   解释：活动子窗口\r\n"
        "#define   m_ClockYear                                 2           //类型：unsigned short   初始值：2012   解释：日期‘年’\r\n"
        "#define   m_ClockMonth                                4           //类型：unsigned char   初始值：1   解释：日期‘月’\r\n"
        "#define   m_ClockDay                                  5           //类型：unsigned char   初始值：1   解释：日期‘日’\r\n"
        "#define   m_ClockWeek                                 6           //类型：unsigned char   初始值：7   解释：日期‘星期’\r\n"
        "#define   m_ClockHour                                 7           //类型：unsigned char   初始值：12   解释：时间‘时’\r\n"
        "#define   m_ClockMinute                               8           //类型：unsigned char   初始值：12   解释：时间‘分’\r\n"
        "#define   m_ClockSecond                               9           //类型：unsigned char   初始值：12   解释：时间‘秒’\r\n"
        "#define   m_BackLight                                 10          //类型：unsigned char   初始值：255   解释：背光亮度\r\n"
        "#define   m_BackLightDly                              11          //类型：unsigned char   初始值：254   解释：背光延时\r\n"
        "#define   m_KeySound                                  12          //类型：unsigned char   初始值：1   解释：按键音控制\r\n"
        "#define   m_CurrentUser                               13          //类型：unsigned char   初始值：0   解释：当前登陆用户,\"0=未登陆，1=初级用户，2=高级用户，3=超级用户\"\r\n"
        "#define   m_JuniorUser                                16          //类型：unsigned int   初始值：40719382   解释：初级用户口令\r\n"
        "#define   m_AdvancedUser                              20          //类型：unsigned int   初始值：58260417   解释：高级用户口令\r\n"
        "#define   m_SuperUser                                 24          //类型：unsigned int   初始值：96103725   解释：超级用户口令\r\n"
        ;
    EXPECT_EQ(SysVarHeaderText(systemRowsTable(), 28), sysVarHead() + rows + sysVarTail("28"));
}

TEST(HeaderText, EmptyTableGivesTheFixedPartsOnly)
{
    const HmiVarTable empty;
    EXPECT_EQ(SysVarHeaderText(empty, 0), sysVarHead() + sysVarTail("0"));
    EXPECT_EQ(HmiVarStructHeaderText(empty), "///外部存储器数据结构定义\r\ntypedef struct\tHMIVarW\r\n{\r\n} HMIVarW;\r\n");
}

HmiVarTable smallTable()
{
    HmiVarTable t;
    t.AppendRow("100", "unsigned char", "speed", "7", "速度");
    t.AppendRow("104", "signed int", "temperature1", "-40", "");
    t.AppendRow("108", "unsigned int", "压力", "0", "bar");
    return t;
}

TEST(HeaderText, HmiVarOfASmallTableIsExact)
{
    // Longest name 12 bytes: addresses at column 27, comments at column 39.
    const std::string expected =
        "///控件地址变量宏定义,用户可将其作为头文件。如果文件的格式不符合你的要求请联系我们免费为你生成符合你的头文件\r\n"
        "#define   speed            100         //类型：unsigned char   初始值：7   解释：速度\r\n"
        "#define   temperature1     104         //类型：signed int   初始值：-40   解释：\r\n"
        "#define   压力             108         //类型：unsigned int   初始值：0   解释：bar\r\n" +
        kBlank50 + kBlank50;
    EXPECT_EQ(HmiVarHeaderText(smallTable()), expected);
}

TEST(HeaderText, HmiVarStructOfASmallTableIsExact)
{
    // Member names at column 25, comments at column 12 + 40; int members are long on the panel.
    const std::string expected = "///外部存储器数据结构定义\r\n"
                                 "typedef struct\tHMIVarW\r\n"
                                 "{\r\n"
                                 "   unsigned char         Mspeed;                    //初始值：7   解释：速度\r\n"
                                 "   signed long           Mtemperature1;             //初始值：-40   解释：\r\n"
                                 "   unsigned long         M压力;                     //初始值：0   解释：bar\r\n"
                                 "} HMIVarW;\r\n";
    EXPECT_EQ(HmiVarStructHeaderText(smallTable()), expected);
}

// Byte column of `needle` in the line of `text` that holds `key`.
std::size_t columnIn(const std::string& text, const std::string& key, const std::string& needle)
{
    const std::size_t at = text.find(key);
    const std::size_t lineStart = text.rfind('\n', at) + 1;
    return text.find(needle, at) - lineStart;
}

TEST(HeaderText, ColumnsFollowTheLongestNameInBytes)
{
    struct Case {
        std::vector<std::string> names;
        std::size_t sysAddress, sysComment, hmiAddress, hmiComment;
    };
    const Case cases[] = {
        {{"abcde", "abcdefghijkl"}, 52, 64, 27, 39},
        {{"abcdefghij", "x"}, 50, 62, 25, 37},
        {{"温度温度温", "y"}, 50, 62, 25, 37}, // five Chinese characters are ten bytes
    };
    for (const Case& c : cases) {
        HmiVarTable t;
        for (const std::string& name : c.names)
            t.AppendRow("4660", "unsigned short", name, "1", "d");
        const std::string sys = SysVarHeaderText(t, 4664);
        const std::string hmi = HmiVarHeaderText(t);
        for (const std::string& name : c.names) {
            const std::string key = "#define   " + name + " ";
            EXPECT_EQ(columnIn(sys, key, "4660"), c.sysAddress) << name;
            EXPECT_EQ(columnIn(sys, key, "//"), c.sysComment) << name;
            EXPECT_EQ(columnIn(hmi, key, "4660"), c.hmiAddress) << name;
            EXPECT_EQ(columnIn(hmi, key, "//"), c.hmiComment) << name;
        }
    }
}

TEST(HeaderText, UserAddressEndsTheFileWithoutLineEnd)
{
    const std::string text = SysVarHeaderText(smallTable(), 300);
    EXPECT_TRUE(text.ends_with("\r\n#define   m_UserAdr       300")) << text.substr(text.size() - 40);
}

TEST(HeaderText, TextsCannotBreakOutOfTheirComment)
{
    // A line break in a description would turn its rest into code; a last byte 0x5C (a
    // backslash, or the second byte of 淺) would splice the next macro into the comment.
    struct Case {
        std::string description;
        std::string commentEnd;
    };
    const Case cases[] = {
        {"first\r\nsecond", "解释：first  second\r\n"},
        {"first\nsecond", "解释：first second\r\n"},
        {"C:\\", "解释：C:\\ .\r\n"},
        {"深淺", "解释：深淺 .\r\n"},
    };
    for (const Case& c : cases) {
        HmiVarTable t;
        t.AppendRow("0", "unsigned char", "a", "0", c.description);
        t.AppendRow("1", "unsigned char", "b", "0", "");
        for (const std::string& text : {SysVarHeaderText(t, 4), HmiVarHeaderText(t), HmiVarStructHeaderText(t)})
            EXPECT_NE(text.find(c.commentEnd), std::string::npos) << c.commentEnd;
    }
}

} // namespace
} // namespace qv::test
