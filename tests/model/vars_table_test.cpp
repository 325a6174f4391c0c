// The variable table: the 16 system rows, row look-ups, the used memory and find-or-add.
#include "model/document/draw_doc.h"
#include "model/vars/hmi_var_table.h"
#include "model/vars/system_vars.h"
#include "model/vars/var_types.h"
#include "platform/text/gbk.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

std::string gbk(std::u8string_view utf8)
{
    return utf8ToGbk(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size())).value();
}

std::string bytes(std::initializer_list<unsigned> values)
{
    std::string s;
    for (unsigned v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

HmiVarTable systemTable()
{
    CDrawDoc doc;
    doc.InitSystemVariables();
    return doc.m_varTable;
}

TEST(HmiVarTypes, NamesCodesAndWidths)
{
    const struct {
        const char* name;
        int code;
        int width;
    } expected[] = {{"signed char", 0, 1},  {"unsigned char", 1, 1}, {"signed short", 2, 2},
                    {"unsigned short", 3, 2}, {"signed int", 4, 4},   {"unsigned int", 5, 4}};
    for (const auto& e : expected) {
        EXPECT_EQ(hmiVarTypeCode(e.name), e.code) << e.name;
        EXPECT_EQ(hmiVarTypeWidth(e.name), e.width) << e.name;
    }
    for (const char* other : {"Unsigned char", "unsigned  char", "int", ""})
        EXPECT_FALSE(hmiVarTypeCode(other).has_value()) << other;
}

// A new project's rows as written down for the panel: address, type, name, initial value,
// description, and the ProjectSettings slot that keeps the row's index.
TEST(SystemVariables, RowsOfANewProjectAreExact)
{
    const struct {
        const char* address;
        const char* type;
        const char* name;
        const char* initial;
        std::u8string_view description;
        int slot;
    } expected[16] = {
        {"0", "unsigned char", "m_HuaMian", "0", u8"活动画面编号", 4},
        {"1", "unsigned char", "m_ChildWindow", "255", u8"活动子窗口", 8},
        {"2", "unsigned short", "m_ClockYear", "2012", u8"日期‘年’", 12},
        {"4", "unsigned char", "m_ClockMonth", "1", u8"日期‘月’", 16},
        {"5", "unsigned char", "m_ClockDay", "1", u8"日期‘日’", 20},
        {"6", "unsigned char", "m_ClockWeek", "7", u8"日期‘星期’", 36},
        {"7", "unsigned char", "m_ClockHour", "12", u8"时间‘时’", 24},
        {"8", "unsigned char", "m_ClockMinute", "12", u8"时间‘分’", 28},
        {"9", "unsigned char", "m_ClockSecond", "12", u8"时间‘秒’", 32},
        {"10", "unsigned char", "m_BackLight", "255", u8"背光亮度", 40},
        {"11", "unsigned char", "m_BackLightDly", "254", u8"背光延时", 44},
        {"12", "unsigned char", "m_KeySound", "1", u8"按键音控制", 48},
        {"13", "unsigned char", "m_CurrentUser", "0", u8"当前登陆用户,\"0=未登陆，1=初级用户，2=高级用户，3=超级用户\"", 52},
        {"16", "unsigned int", "m_JuniorUser", "40719382", u8"初级用户口令", 56},
        {"20", "unsigned int", "m_AdvancedUser", "58260417", u8"高级用户口令", 60},
        {"24", "unsigned int", "m_SuperUser", "96103725", u8"超级用户口令", 64},
    };
    CDrawDoc doc;
    doc.InitSystemVariables();
    const HmiVarTable& t = doc.m_varTable;
    ASSERT_EQ(t.size(), 16u);
    ASSERT_TRUE(t.IsParallel());
    for (std::size_t i = 0; i < 16; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(t.address[i], expected[i].address);
        EXPECT_EQ(t.type[i], expected[i].type);
        EXPECT_EQ(t.name[i], expected[i].name);
        EXPECT_EQ(t.initValue[i], expected[i].initial);
        EXPECT_EQ(t.description[i], gbk(expected[i].description));
        EXPECT_EQ(doc.SettingI32(static_cast<std::size_t>(expected[i].slot)), static_cast<std::int32_t>(i));
    }
    // Two descriptions spelled out byte by byte: the quotes of the clock rows are GBK's A1AE/A1AF,
    // the login row mixes ASCII and full-width punctuation.
    EXPECT_EQ(t.description[2], bytes({0xC8, 0xD5, 0xC6, 0xDA, 0xA1, 0xAE, 0xC4, 0xEA, 0xA1, 0xAF}));
    EXPECT_EQ(t.description[12].substr(0, 16),
              bytes({0xB5, 0xB1, 0xC7, 0xB0, 0xB5, 0xC7, 0xC2, 0xBD, 0xD3, 0xC3, 0xBB, 0xA7, 0x2C, 0x22, 0x30, 0x3D}));
}

TEST(HmiVarTable, NewProjectUsesFiftySixBytesAndPlacesTheFirstUserVariableAt28)
{
    HmiVarTable t = systemTable();
    EXPECT_EQ(varTableEnd(t), 28);
    const AddVarOutcome added = findOrAddVarRow(t, "unsigned char", "m_First", "0", "d", 2 * varTableEnd(t));
    EXPECT_TRUE(added.created);
    EXPECT_EQ(added.row, 16);
    EXPECT_EQ(t.address[16], "28");
    EXPECT_EQ(varTableEnd(t), 32);

    const AddVarOutcome again = findOrAddVarRow(t, "signed int", "m_First", "9", "other", 2 * varTableEnd(t));
    EXPECT_FALSE(again.created);
    EXPECT_EQ(again.row, 16);
    EXPECT_EQ(t.size(), 17u);
}

TEST(HmiVarTable, FindOrAddRefusesWhenTheMemoryIsFull)
{
    HmiVarTable t = systemTable();
    t.AppendRow("65528", "unsigned int", "m_Near", "0", "");
    // 0xFFF8 + 4 = 0xFFFC: the next 4-byte variable just fits.
    AddVarOutcome last = findOrAddVarRow(t, "unsigned int", "m_Last", "0", "", 2 * varTableEnd(t));
    ASSERT_TRUE(last.created);
    EXPECT_EQ(t.address[static_cast<std::size_t>(last.row)], "65532");

    const std::size_t rows = t.size();
    const AddVarOutcome full = findOrAddVarRow(t, "unsigned char", "m_Full", "0", "", 2 * varTableEnd(t));
    EXPECT_EQ(full.row, -1);
    EXPECT_FALSE(full.created);
    EXPECT_FALSE(full.errorGbk.empty());
    EXPECT_EQ(t.size(), rows);
    // An existing name is still found when the memory is full.
    EXPECT_EQ(findOrAddVarRow(t, "unsigned char", "m_HuaMian", "0", "", 2 * varTableEnd(t)).row, 0);
}

TEST(HmiVarTable, BindingOfARow)
{
    HmiVarTable t = systemTable();
    t.AppendRow("abc", "unsigned int", "m_BadAddress", "0", "");
    t.AppendRow("40", "float", "m_BadType", "0", "");
    t.AppendRow(" 44 ", "signed short", "m_Spaced", "0", "");
    t.AppendRow("9223372036854775807", "unsigned int", "m_Huge", "0", "");
    t.AppendRow("-2147483649", "unsigned int", "m_BelowRange", "0", "");
    const struct {
        std::int64_t row;
        std::int32_t address;
        std::optional<std::uint8_t> type;
    } cases[] = {
        {0, 0, 1}, {2, 2, 3}, {15, 24, 5}, {16, -1, 5}, {17, 40, std::nullopt}, {18, 44, 2},
        {19, -1, 5}, {20, -1, 5}, {21, -1, 0}, {-1, -1, 0}, {INT32_MAX, -1, 0},
    };
    for (const auto& c : cases) {
        const VarBinding b = varBindingOf(t, c.row);
        EXPECT_EQ(b.address, c.address) << c.row;
        EXPECT_EQ(b.type, c.type) << c.row;
        EXPECT_EQ(varExtentOf(t, c.row).has_value(), c.address >= 0 && c.type && *c.type != 0) << c.row;
    }
    // The out-of-range address counts as the 32-bit edge: the table is full, nothing wraps.
    EXPECT_EQ(varTableEnd(t), 2147483652);
    EXPECT_EQ(findOrAddVarRow(t, "unsigned char", "m_More", "0", "", 2 * varTableEnd(t)).row, -1);
}

TEST(HmiVarTable, ParseDecimal)
{
    EXPECT_EQ(parseDecimal("28"), 28);
    EXPECT_EQ(parseDecimal("-1"), -1);
    EXPECT_EQ(parseDecimal(" +7 "), 7);
    EXPECT_EQ(parseDecimal("96103725"), 96103725);
    for (const char* bad : {"", " ", "1x", "0x10", "--1", "99999999999999999999"})
        EXPECT_FALSE(parseDecimal(bad).has_value()) << bad;
}

} // namespace
} // namespace qv
