#include "platform/files/atomic_file.h"
#include "platform/serial/com_resolver.h"
#include "tests/fixtures/no_com_ports.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace qv {
namespace {

TEST(ComResolver, ParsesEntriesAndSkipsMalformedOnes)
{
    const auto map = ParseComMap(" COM3 = /dev/ttyUSB0 # adapter\n"
                                 "com4=/dev/serial/by-id/usb-x-if00-port0\n"
                                 "\n# 5=/dev/commented\n"
                                 "COM0=/dev/zero\n"   // no port 0
                                 "COMx=/dev/bad\n"
                                 "7=\n"               // no path
                                 "8 /dev/no-equals\n"
                                 "2=/dev/ttyACM1\r\n",
                                 '\n');
    const std::map<int, std::string> expected{
        {2, "/dev/ttyACM1"}, {3, "/dev/ttyUSB0"}, {4, "/dev/serial/by-id/usb-x-if00-port0"}};
    EXPECT_EQ(map, expected);
    EXPECT_EQ(ParseComMap("1=/dev/pts/5;2=/dev/pts/6;", ';'),
              (std::map<int, std::string>{{1, "/dev/pts/5"}, {2, "/dev/pts/6"}}));
}

TEST(ComResolver, OverrideIsTheWholeMapThenFileThenDefault)
{
    ::unsetenv(kComMapEnv);
    std::filesystem::create_directories(ComMapFilePath().parent_path());
    ASSERT_TRUE(writeFileAtomically(ComMapFilePath(), "COM3=/dev/ttyUSB0\n"));
    EXPECT_EQ(ResolveComPort(3)->path, "/dev/ttyUSB0");
    EXPECT_EQ(ResolveComPort(1)->path, "/dev/ttyS0");
    EXPECT_EQ(ResolveComPort(10)->path, "/dev/ttyS9");

    std::string why;
    EXPECT_FALSE(ResolveComPort(0, &why));
    EXPECT_NE(why.find("COM0"), std::string::npos);

    // With the override set, an unlisted number reaches no device at all.
    ::setenv(kComMapEnv, "1=/dev/pts/9", 1);
    EXPECT_EQ(ResolveComPort(1)->path, "/dev/pts/9");
    EXPECT_FALSE(ResolveComPort(3, &why));
    EXPECT_FALSE(ResolveComPort(10, &why));
    EXPECT_NE(why.find(kComMapEnv), std::string::npos);
    test::mapNoComPorts();
}

} // namespace
} // namespace qv
