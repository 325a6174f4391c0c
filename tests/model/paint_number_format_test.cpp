// Number text helpers: the documented examples, the argument and value extremes, and the
// small conversions beside them.
#include "model/paint/number_format.h"
#include "model/paint/pinyin.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>

namespace qv {
namespace {

struct SignedCase {
    std::int64_t value;
    int mode, decimals, digits;
    bool plus;
    std::string expected;
};

TEST(FormatSignedDecimal, ExamplesAndExtremes)
{
    const SignedCase cases[] = {
        {1234, 0, 2, 5, false, "12.34"},
        {5, 0, 2, 5, false, "0.05"},
        {-5, 1, 0, 4, false, "-0005"},
        {42, 2, 0, 5, true, "   +42"},
        {123456, 0, 0, 4, false, "3456"},
        {0, 0, 2, 5, false, "0.00"},
        {-7, 2, 0, 3, false, "  -7"},
        {42, 0, 0, 5, true, "+42"},
        // digits 0 and 100, decimals not below digits: clamped, never a hang or an overrun
        {42, 1, 0, 0, false, "2"},
        {42, 1, 0, 100, false, std::string(30, '0') + "42"},
        {42, 1, 7, 3, false, "0.42"},
        {INT_MIN, 0, 0, 10, false, "-2147483648"},
        {INT_MIN, 0, 2, 12, false, "-21474836.48"},
    };
    for (const SignedCase& c : cases) {
        EXPECT_EQ(FormatSignedDecimal(c.value, c.decimals, c.digits, c.mode, c.plus), c.expected)
            << c.value << " (" << c.mode << "," << c.decimals << "," << c.digits << ")";
        EXPECT_EQ(FormatSignedDecimal2(c.value, c.decimals, c.digits, c.mode, c.plus), c.expected);
    }
}

TEST(FormatUnsignedDecimal, PlusInEveryModeAndFullRange)
{
    EXPECT_EQ(FormatUnsignedDecimal(42, 0, 4, 1, true), "+0042");
    EXPECT_EQ(FormatUnsignedDecimal(42, 0, 4, 2, true), "  +42");
    EXPECT_EQ(FormatUnsignedDecimal(4294967295u, 0, 10, 0, false), "4294967295");
    EXPECT_EQ(FormatUnsignedDecimal(4294967295u, 3, 10, 0, false), "4294967.295");
}

TEST(ReformatDecimalText, FillSignAndOddInputs)
{
    struct Case {
        std::string in;
        int decimals, width, mode;
        bool plus;
        std::string expected;
    };
    char huge[400];
    std::snprintf(huge, sizeof huge, "%f", 1e308);
    char nan[16], inf[16];
    std::snprintf(nan, sizeof nan, "%f", std::nan(""));
    std::snprintf(inf, sizeof inf, "%f", -INFINITY);
    const Case cases[] = {
        {"12.5", 2, 0, 0, false, "12.50"},
        {"12.5678", 1, 0, 0, false, "12.5"},
        // the integer part ("-12") is filled to width - decimals; the plus sign adds one
        {"-12.5", 1, 6, 1, false, "-0012.5"},
        {"-12.5", 1, 6, 2, false, "-  12.5"},
        {"12.5", 1, 6, 1, true, "+00012.5"},
        {"12.5", 1, 6, 2, true, "   +12.5"},
        {"12.5", 1, 6, 0, true, "+12.5"},
        {"7", 2, 0, 0, false, "7.00"},           // no point: the fraction is added
        {"7.9", 0, 0, 0, false, "7"},            // no fraction digits: no point either
        {nan, 2, 8, 1, false, nan},              // not a number: unchanged
        {inf, 2, 8, 1, false, inf},
        {huge, 2, 8, 1, false, "########"},      // 309 digits do not fit: marked, bounded
        {"", 2, 4, 1, false, ""},
    };
    for (const Case& c : cases) {
        const std::string out = ReformatDecimalText(c.in, c.decimals, c.width, c.mode, c.plus);
        EXPECT_EQ(out, c.expected) << c.in.substr(0, 20) << " (" << c.decimals << "," << c.width << "," << c.mode << ")";
        EXPECT_LE(out.size(), kMaxDecimalText);
    }
}

TEST(NumberHelpers, Rgb565AndTextLength)
{
    EXPECT_EQ(Rgb565ToRgb(0xFFFF), (std::array<std::uint8_t, 3>{0xF8, 0xFC, 0xF8}));
    EXPECT_EQ(Rgb565ToRgb(0xF800), (std::array<std::uint8_t, 3>{0xF8, 0x00, 0x00}));
    EXPECT_EQ(Rgb565ToRgb(0x07E0), (std::array<std::uint8_t, 3>{0x00, 0xFC, 0x00}));
    EXPECT_EQ(Rgb565ToRgb(0x001F), (std::array<std::uint8_t, 3>{0x00, 0x00, 0xF8}));
    EXPECT_EQ(TextLength8("汉字ab"), 6);
    EXPECT_EQ(TextLength8(std::string_view("ab\0cd", 5)), 2);
    EXPECT_EQ(TextLength8(std::string(300, 'x')), 300 % 256);
}

TEST(LookupPinyin, TableLookupsAndRefusals)
{
    EXPECT_EQ(PinyinEntryCount(), 399);
    struct Case {
        std::string in, lowered, expected;
    };
    const Case cases[] = {
        {"Ang", "ang", "肮昂盎"},
        {"a", "a", "啊阿呵吖锕嗄腌"},
        {"BA", "ba", "把八吧爸拔罢跋巴芭扒坝霸叭靶笆疤耙捌茇菝"},
        {"za", "za", "杂砸咋匝扎咱咂拶"},
        {"zhong", "zhong", ""},
        {"1a", "1a", ""},
        {"", "", ""},
        {"iu", "iu", ""},
        {"ux", "ux", ""},
        {"qqq", "qqq", ""},
    };
    for (Case c : cases) {
        std::string text = c.in;
        const std::string_view got = LookupPinyin(text);
        if (c.in == "zhong")
            EXPECT_NE(got.find("中"), std::string_view::npos);
        else
            EXPECT_EQ(got, c.expected) << c.in;
        EXPECT_EQ(text, c.lowered);
    }
}

} // namespace
} // namespace qv
