// The 64 KiB variable bank: every access is checked as a whole against the bank, values are
// little-endian, signed types sign-extend.
#include "model/vars/var_bank.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <thread>

namespace qv {
namespace {

struct AccessCase {
    std::int64_t address;
    int width;
    bool valid;
};

void PrintTo(const AccessCase& c, std::ostream* os) { *os << c.address << "+" << c.width; }

class BankAccess : public ::testing::TestWithParam<AccessCase> {};

TEST_P(BankAccess, RefusedAccessTouchesNothing)
{
    const AccessCase c = GetParam();
    auto bank = std::make_unique<VarBank>();
    const auto before = bank->snapshot();
    EXPECT_EQ(bank->write(c.address, c.width, 0x0102030405060708ULL), c.valid);
    EXPECT_EQ(bank->read(c.address, c.width).has_value(), c.valid);
    if (!c.valid)
        EXPECT_EQ(bank->snapshot(), before);
    else
        EXPECT_EQ(*bank->read(c.address, c.width), 0x0102030405060708ULL & (c.width == 8 ? ~0ULL : (1ULL << (8 * c.width)) - 1));
}

INSTANTIATE_TEST_SUITE_P(Bounds, BankAccess,
                         ::testing::Values(AccessCase{0xFFFC, 4, true}, AccessCase{0xFFFD, 4, false},
                                           AccessCase{0xFFFE, 2, true}, AccessCase{0xFFFF, 2, false},
                                           AccessCase{0xFFFF, 1, true}, AccessCase{0x10000, 1, false},
                                           AccessCase{0xFFF8, 8, true}, AccessCase{0xFFF9, 8, false},
                                           AccessCase{-1, 1, false}, AccessCase{0, 1, true},
                                           AccessCase{0, 3, false}, AccessCase{0, 0, false},
                                           AccessCase{INT64_MAX, 4, false}, AccessCase{INT64_MIN, 4, false}));

TEST(VarBank, MultiByteValuesAreLittleEndian)
{
    auto bank = std::make_unique<VarBank>();
    ASSERT_TRUE(bank->write(16, 4, 0x11223344));
    std::uint8_t bytes[4] = {};
    ASSERT_TRUE(bank->readBytes(16, bytes));
    EXPECT_EQ(bytes[0], 0x44);
    EXPECT_EQ(bytes[3], 0x11);
    EXPECT_EQ(*bank->read(17, 2), 0x2233u);
}

struct TypedCase {
    int code;
    std::int64_t stored;
    std::int64_t readBack;
};

TEST(VarBank, TypedValuesFollowTheTypeWidthAndSign)
{
    const TypedCase cases[] = {
        {0, -1, -1},         {1, -1, 255},          {0, 200, -56},          {2, -2, -2},
        {3, -2, 65534},      {4, -3, -3},           {5, -3, 4294967293LL},  {1, 258, 2},
        {3, 65535, 65535},   {4, 2147483647, 2147483647},
    };
    auto bank = std::make_unique<VarBank>();
    for (const TypedCase& c : cases) {
        ASSERT_TRUE(bank->writeTyped(100, c.code, c.stored)) << c.code;
        EXPECT_EQ(bank->readTyped(100, c.code), c.readBack) << "code " << c.code << " value " << c.stored;
    }
    EXPECT_FALSE(bank->writeTyped(100, 6, 1));
    EXPECT_FALSE(bank->readTyped(100, -1).has_value());
    EXPECT_FALSE(bank->writeTyped(0xFFFE, 4, 1));
}

TEST(VarBank, ByteRangesAreCheckedAsAWhole)
{
    auto bank = std::make_unique<VarBank>();
    const std::uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(bank->writeBytes(0xFFF9, data));
    EXPECT_EQ(bank->readByte(0xFFF9), 0);
    EXPECT_TRUE(bank->writeBytes(0xFFF8, data));
    EXPECT_EQ(bank->readByte(0xFFFF), 8);

    auto copy = std::make_unique<VarBank>();
    copy->copyFrom(*bank);
    EXPECT_EQ(copy->snapshot(), bank->snapshot());
    bank->clear();
    EXPECT_EQ(bank->readByte(0xFFFF), 0);
}

// The emulator thread writes while the user-interface thread reads; under the thread
// sanitizer this shows the byte accesses are free of data races.
TEST(VarBank, SharedBetweenThreads)
{
    auto bank = std::make_unique<VarBank>();
    std::thread writer([&] {
        for (std::uint32_t i = 0; i < 20000; ++i)
            bank->write(i % 0x100 * 4, 4, i);
    });
    std::uint64_t seen = 0;
    for (int i = 0; i < 20000; ++i)
        seen |= bank->read(i % 0x100 * 4, 4).value_or(0);
    writer.join();
    EXPECT_EQ(*bank->read(19999 % 0x100 * 4, 4), 19999u);
    (void)seen;
}

} // namespace
} // namespace qv
