#include "platform/qt/qtext.h"
#include "platform/text/gbk.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

// "淺" is 9C 5C in GBK: its second byte is a backslash.
const std::string kShallow = "\x9C\x5C";

TEST(Gbk, NarrowLiteralsAreGbkBytes)
{
    EXPECT_EQ(std::string("文字"), "\xCE\xC4\xD7\xD6");
}

TEST(Gbk, RoundTripsThroughUtf8)
{
    const std::string gbk = "无效控件 abc " + kShallow;
    auto utf8 = gbkToUtf8(gbk);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, std::string(reinterpret_cast<const char*>(u8"无效控件 abc 淺")));
    EXPECT_EQ(utf8ToGbk(*utf8), gbk);
}

TEST(Gbk, RefusesWhatTheOtherSideCannotHold)
{
    EXPECT_FALSE(utf8ToGbk(reinterpret_cast<const char*>(u8"😀")));
    EXPECT_FALSE(gbkToUtf8("\x81"));
    EXPECT_EQ(gbkToUtf8Lossy("a\x81"), "a\xEF\xBF\xBD");
}

TEST(Gbk, SplitNeverCutsATwoByteCharacter)
{
    const auto parts = splitGbk("\\UserPicture\\" + kShallow + ".bmp", '\\');
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "");
    EXPECT_EQ(parts[1], "UserPicture");
    EXPECT_EQ(parts[2], kShallow + ".bmp");
}

TEST(Gbk, CaseFoldLeavesSecondBytesAlone)
{
    // 0xC1 0x41 is a two-byte character whose second byte is 'A'.
    EXPECT_EQ(gbkAsciiLower("AB\xC1\x41"), "ab\xC1\x41");
    EXPECT_TRUE(gbkEqualsNoCase("A.BMP", "a.bmp"));
    EXPECT_FALSE(gbkEqualsNoCase("\xC1\x41", "\xC1\x61"));
}

TEST(Gbk, QtBridge)
{
    EXPECT_EQ(toQString("文字"), QString::fromUtf8(u8"文字"));
    EXPECT_EQ(fromQString(QString::fromUtf8(u8"文字")), "文字");
    EXPECT_FALSE(fromQString(QString::fromUtf8(u8"😀")));
}

} // namespace
} // namespace qv
