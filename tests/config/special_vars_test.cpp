// The special-variables page: load and commit against the settings block and the project.
#include "tests/config/manager_fixture.h"
#include "config/special/special_vars_page.h"

#include <gtest/gtest.h>

#include <numeric>

namespace qv::test {
namespace {

using namespace special_vars;

// A settings block with every byte different, so a stray write shows.
ProjectSettings patternedSettings()
{
    ProjectSettings s{};
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return s;
}

void setInt(ProjectSettings& s, std::size_t offset, std::int32_t v) { blockWriteI32(s, static_cast<int>(offset), v); }
std::int32_t getInt(const ProjectSettings& s, std::size_t offset) { return blockReadI32(s, static_cast<int>(offset)); }

TEST(SpecialVarsPage, LoadThenCommitKeepsEveryByte)
{
    ProjectSettings s = patternedSettings();
    setInt(s, settings::kPromRamStart, 100);
    setInt(s, settings::kPromRamLength, 50);
    setInt(s, kOutputPortAddress, 4000);
    const ProjectSettings before = s;
    const CommitOutcome out = CommitPage(LoadPage(s), s);
    EXPECT_EQ(s, before);
    EXPECT_FALSE(out.rangeChanged);
    EXPECT_TRUE(out.rangeRefusal.empty());
    EXPECT_TRUE(out.nonVolatileNotice); // unchanged range with a length still shows the notice
}

TEST(SpecialVarsPage, RoleSlotsAreTheSixteenIntsFromByteFour)
{
    const auto slots = RoleSlots();
    for (std::size_t k = 0; k < kRoleCount; ++k)
        EXPECT_EQ(slots[k].offset, 4 * (k + 1));
    EXPECT_EQ(slots.front().label, "当前活动画面:");
    EXPECT_EQ(slots.back().label, "超级口令:");
}

TEST(SpecialVarsPage, EachFieldRoundTrips)
{
    ProjectSettings s{};
    SpecialVarsPage page;
    std::iota(page.roles.begin(), page.roles.end(), 20);
    page.roles[3] = kNoVariable;
    page.promStart = 28;
    page.promLength = 100;
    page.outputPortAddress = 65535;
    ASSERT_TRUE(CommitPage(page, s).fieldError.empty());
    const SpecialVarsPage loaded = LoadPage(s);
    EXPECT_EQ(loaded.roles, page.roles);
    EXPECT_EQ(loaded.promStart, 28);
    EXPECT_EQ(loaded.promLength, 100);
    EXPECT_EQ(loaded.outputPortAddress, 65535);
    EXPECT_EQ(getInt(s, 16), kNoVariable); // slot 4, the clock month
    EXPECT_EQ(getInt(s, 20), 24);
    EXPECT_EQ(getInt(s, kOutputPortAddress), 65535);
}

struct RangeCase {
    const char* what;
    int start, length;
    int storedStart, storedLength; // afterwards
    bool changed, notice;
    std::string_view refusal;
};

TEST(SpecialVarsPage, NonVolatileRangeRules)
{
    const std::string_view systemArea = "非易失性变量PROM_RAM起始地址不能是系统变量区（0至27）！！！";
    const std::string_view total = "非易失性变量PROM_RAM的总数量不得大于12000字节大小！！！";
    // Stored range before each case: start 500, length 20.
    const RangeCase cases[] = {
        {"first free byte", 28, 100, 28, 100, true, true, {}},
        {"system area", 0, 100, 500, 20, false, false, systemArea},
        {"last system byte", 27, 1, 500, 20, false, false, systemArea},
        {"one past the total", 11000, 1001, 500, 20, false, false, total},
        {"exactly the total", 11000, 1000, 11000, 1000, true, true, {}},
        {"unchanged", 500, 20, 500, 20, false, true, {}},
        {"switched off", 0, 0, 0, 0, true, false, {}},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectSettings s = patternedSettings();
        setInt(s, settings::kPromRamStart, 500);
        setInt(s, settings::kPromRamLength, 20);
        SpecialVarsPage page = LoadPage(s);
        page.promStart = c.start;
        page.promLength = c.length;
        page.outputPortAddress = 77;
        page.roles[0] = 9;
        const CommitOutcome out = CommitPage(page, s);
        EXPECT_EQ(out.rangeRefusal, c.refusal);
        EXPECT_EQ(out.rangeChanged, c.changed);
        EXPECT_EQ(out.nonVolatileNotice, c.notice);
        EXPECT_EQ(getInt(s, settings::kPromRamStart), c.storedStart);
        EXPECT_EQ(getInt(s, settings::kPromRamLength), c.storedLength);
        // The other fields are stored whatever the range rule said.
        EXPECT_EQ(getInt(s, kOutputPortAddress), 77);
        EXPECT_EQ(getInt(s, 4), 9);
    }
}

TEST(SpecialVarsPage, FieldOutOfRangeLeavesTheSettingsUntouched)
{
    struct Bad {
        int SpecialVarsPage::*field;
        int value;
    };
    const Bad cases[] = {
        {&SpecialVarsPage::promStart, -1},
        {&SpecialVarsPage::promStart, 65536},
        {&SpecialVarsPage::promLength, 10001},
        {&SpecialVarsPage::outputPortAddress, 65536},
        {&SpecialVarsPage::outputPortAddress, -5},
    };
    for (const Bad& c : cases) {
        ProjectSettings s = patternedSettings();
        const ProjectSettings before = s;
        SpecialVarsPage page = LoadPage(s);
        page.roles.fill(1);
        page.*c.field = c.value;
        const CommitOutcome out = CommitPage(page, s);
        EXPECT_FALSE(out.fieldError.empty()) << c.value;
        EXPECT_FALSE(out.rangeChanged);
        EXPECT_EQ(s, before) << c.value;
    }
}

TEST(SpecialVarsPage, RoleChoicesListNamesThenUnused)
{
    HmiVarTable t;
    t.AppendRow("0", "unsigned char", "a", "0", "");
    t.AppendRow("1", "unsigned char", "b", "0", "");
    struct Case {
        std::int32_t slot;
        int selected;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{kNoVariable, 2}, Case{2, -1}, Case{-7, -1}}) {
        const RoleChoices r = ChoicesFor(t, c.slot);
        EXPECT_EQ(r.entries, (std::vector<std::string>{"a", "b", "不使用"}));
        EXPECT_EQ(r.selected, c.selected) << c.slot;
    }
}

class SpecialVarsProjectTest : public VarProjectTest {};

TEST_F(SpecialVarsProjectTest, ApplyStoresSavesAndClearsSlotZeroOnlyWhenTheRangeChanged)
{
    std::vector<int> cleared;
    const ClearSavedSlot clear = [&](int slot) {
        cleared.push_back(slot);
        return true;
    };
    SpecialVarsPage page = LoadPage(app->ProjectDoc()->m_ProjectSettings);
    page.promStart = 28;
    page.promLength = 100;
    page.outputPortAddress = 300;
    CommitOutcome out = ApplyToProject(*app, page, clear);
    EXPECT_TRUE(out.nonVolatileNotice);
    EXPECT_EQ(cleared, std::vector<int>{0});
    EXPECT_FALSE(app->ProjectDoc()->IsModified());

    // The saved project file holds the new values.
    CDrawDoc reread;
    DocumentError error;
    ASSERT_TRUE(reread.OnOpenDocument(hmi(), &error)) << error.messageGbk;
    const SpecialVarsPage loaded = LoadPage(reread.m_ProjectSettings);
    EXPECT_EQ(loaded.promStart, 28);
    EXPECT_EQ(loaded.promLength, 100);
    EXPECT_EQ(loaded.outputPortAddress, 300);

    out = ApplyToProject(*app, loaded, clear);
    EXPECT_TRUE(out.nonVolatileNotice);
    EXPECT_EQ(cleared.size(), 1u);

    // A refused range clears nothing.
    page.promStart = 3;
    out = ApplyToProject(*app, page, clear);
    EXPECT_FALSE(out.rangeRefusal.empty());
    EXPECT_EQ(cleared.size(), 1u);
}

} // namespace
} // namespace qv::test
