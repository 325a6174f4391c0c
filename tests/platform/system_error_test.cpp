// System errors read in Chinese with the system's own text after them; numbers without an
// entry keep the system's text alone.
#include "platform/text/gbk.h"
#include "platform/text/system_error.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace qv::test {
namespace {

TEST(SystemErrorText, CommonErrorsInChineseWithTheSystemsTextAfter)
{
    struct Case {
        int number;
        const char* chineseGbk;
    };
    const Case cases[] = {{ENOENT, "文件不存在"}, {EACCES, "没有访问权限"}, {EBUSY, "设备或资源正忙"},
                          {ENODEV, "没有这个设备"}, {ENOSPC, "磁盘空间不足"}, {EIO, "输入输出错误"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(systemErrorText(c.number),
                  gbkToUtf8(c.chineseGbk).value() + " (" + std::strerror(c.number) + ")");
    }
    EXPECT_EQ(systemErrorText(ENOENT), gbkToUtf8("文件不存在").value() + " (No such file or directory)");
    EXPECT_EQ(systemErrorText(EDOM), std::strerror(EDOM)) << "no entry: the system's text alone";
}

} // namespace
} // namespace qv::test
