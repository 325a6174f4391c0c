#include "sim/sound/number_words.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace qv::sim {
namespace {

TEST(NumberToWords, ReadsNumbersAsThePanelSpeaksThem)
{
    struct Case { std::int64_t value; int decimals; bool plus; std::string words; };
    const Case cases[] = {
        {0, 0, false, "零"},
        {0, 3, false, "零"},
        {7, 0, true, "正七"},
        {0, 0, true, "零"},
        {10, 0, false, "一十"},
        {101, 0, false, "一百零一"},
        {1005, 0, false, "一千零五"},
        {10000, 0, false, "一万"},
        {100010000, 0, false, "一亿零一万"},
        {100000000, 0, false, "一亿"},
        {1000000000, 0, false, "一十亿"},
        {1000005, 0, false, "一百万零五"},
        {1005, 3, false, "一点零零五"},
        {-5, 1, false, "负零点五"},
        {5, 1, false, "零点五"},
        {1200, 2, false, "一十二"},
        {1234, 2, true, "正一十二点三四"},
        {-2147483648LL, 0, false, "负二十一亿四千七百四十八万三千六百四十八"},
        {2147483647, 0, false, "二十一亿四千七百四十八万三千六百四十七"},
        {-2147483648LL, 4, false, "负二十一万四千七百四十八点三六四八"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberToWords(c.value, c.decimals, c.plus), c.words) << c.value << " with " << c.decimals << " decimals";
}

TEST(NumberToWords, EveryMissingDecimalPlaceReadsZero)
{
    std::string expected = "零点";
    for (int i = 0; i < 254; ++i)
        expected += "零";
    expected += "一";
    EXPECT_EQ(NumberToWords(1, 255, false), expected);
    EXPECT_EQ(NumberToWords(0, 255, false), "零");
    EXPECT_EQ(NumberToWords(-2147483648LL, 255, false).substr(0, 8), "负零点零");
}

} // namespace
} // namespace qv::sim
