#include "sim/sound/key_click.h"
#include "tests/sim/sound_fixture.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

TEST(KeyClick, SoundsWhenTheKeySoundVariableIsSet)
{
    TempDir base;
    RecordingPlayer player;
    VarBank displayed;
    displayed.writeByte(0x20, 1);
    displayed.writeByte(0xFFFE, 1);
    displayed.writeByte(0xFFFF, 1);
    displayed.writeByte(0, 1);
    struct Case { std::int64_t address; bool clicks; };
    for (const Case& c : {Case{0x20, true}, Case{0x21, false}, Case{0xFFFE, true}, Case{0xFFFF, false}, Case{0, false},
                          Case{-1, false}, Case{0x10000, false}}) {
        player.clicks.clear();
        EXPECT_EQ(sim::PlayKeyClick(player, base.path(), c.address, displayed), c.clicks) << c.address;
        EXPECT_EQ(player.clicks.size(), c.clicks ? 1u : 0u) << c.address;
    }
    EXPECT_EQ(*sim::KeyClickFile(base.path()), base.path() / "images" / "Sound" / std::filesystem::path(u8"蜂鸣器.wav"));
    EXPECT_TRUE(std::filesystem::exists(*sim::KeyClickFile(sourceDir() / "base")));
}

} // namespace
} // namespace qv::test
