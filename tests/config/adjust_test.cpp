// The automatic address adjustment: the layout rules, sizes from every window (a closed one
// too), no write when nothing moved, and a layout past the 64 KiB memory refused.
#include "tests/config/manager_fixture.h"
#include "config/adjust/var_adjust.h"
#include "config/adjust/var_layout.h"

namespace qv::test {
namespace {

TEST(VarLayout, AlignsByTypeAndGivesEachVariableItsSize)
{
    struct Case {
        const char* what;
        std::vector<std::string> types;
        std::vector<std::uint64_t> sizes;
        std::vector<std::int64_t> addresses;
        std::int64_t end;
    };
    const Case cases[] = {
        {"one element each", {"unsigned char", "unsigned short", "unsigned char", "unsigned int"}, {1, 1, 1, 1},
         {0, 2, 4, 8}, 12},
        {"a 20-byte string", {"signed char", "unsigned char"}, {20, 1}, {0, 20}, 21},
        {"sizes beyond the type", {"signed short", "signed int", "unsigned char"}, {6, 9, 1}, {0, 8, 17}, 18},
        {"unknown type takes the previous size", {"unsigned short", "word", "unsigned char"}, {2, 1, 1}, {0, 4, 6}, 7},
        {"empty table", {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        std::vector<int> progress;
        const VarLayout layout = LayOutVarAddresses(c.types, c.sizes, [&](int p) { progress.push_back(p); });
        EXPECT_EQ(layout.addresses, c.addresses) << c.what;
        EXPECT_EQ(layout.end, c.end) << c.what;
        EXPECT_EQ(progress.size(), c.types.size()) << c.what;
        if (!progress.empty())
            EXPECT_EQ(progress.back(), 100) << c.what;
    }
}

class VarAdjustTest : public VarProjectTest {};

TEST_F(VarAdjustTest, SystemRowsAreAlreadyLaidOutAndNothingIsWritten)
{
    const std::string before = readText(hmi());
    EXPECT_TRUE(AdjustVarAddresses(*app));
    EXPECT_EQ(readText(hmi()), before);
    EXPECT_EQ(g_managerHeaderWrites, 0);
    EXPECT_TRUE(sameTable(table(), systemRowsTable()));
}

TEST_F(VarAdjustTest, AStringInAClosedWindowReservesItsBytes)
{
    table().AppendRow("64", "unsigned char", "m_Text", "0", "");
    table().AppendRow("64", "unsigned short", "m_After", "0", "");
    table().AppendRow("64", "unsigned int", "m_Curve", "0", "");
    ASSERT_TRUE(app->ProjectDoc()->DoFileSave());
    const fs::path closed = closedWindowWith("closed.drw", stringControl(16, 20));
    CDrawDoc* open = addWindow("open.drw");
    open->AddObject(numberBoundTo(18));
    writeText(folder / "NandFlash" / "VarToFlash.vtf", std::string(512, '\0'));

    ASSERT_TRUE(AdjustVarAddresses(*app));
    EXPECT_EQ(std::vector<std::string>(table().address.begin() + 16, table().address.end()),
              (std::vector<std::string>{"28", "48", "52"}));
    EXPECT_TRUE(sameTable(load(hmi())->m_varTable, table()));
    EXPECT_EQ(g_managerHeaderWrites, 1);
    EXPECT_FALSE(fs::exists(folder / "NandFlash" / "VarToFlash.vtf"));
    // The open window's cached address follows the new layout, and was saved.
    const auto& ref = numberValueRef();
    EXPECT_EQ(blockReadI32(open->m_objects.front()->m_Params, ref.address), 52);
    EXPECT_EQ(blockReadI32(load(open->GetPathName())->m_objects.front()->m_Params, ref.address), 52);
    EXPECT_TRUE(fs::exists(closed));
}

TEST_F(VarAdjustTest, ALayoutPastTheMemoryIsRefusedWithTheTableKept)
{
    table().AppendRow("28", "unsigned char", "m_Big", "0", "");
    table().AppendRow("32", "unsigned char", "m_Next", "0", "");
    ASSERT_TRUE(app->ProjectDoc()->DoFileSave());
    addWindow("w.drw")->AddObject(stringControl(16, 0x10000));
    const HmiVarTable before = table();
    EXPECT_FALSE(AdjustVarAddresses(*app));
    EXPECT_TRUE(sameTable(table(), before));
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_TRUE(prompts.messages.back().starts_with("HMI变量需要的存储空间超过64K字节"));
    EXPECT_EQ(g_managerHeaderWrites, 0);
}

TEST_F(VarAdjustTest, AnUnreadableWindowIsReportedAndTheRestLaidOut)
{
    table().AppendRow("64", "unsigned char", "m_A", "0", "");
    ASSERT_TRUE(app->ProjectDoc()->DoFileSave());
    const fs::path closed = closedWindowWith("broken.drw", stringControl(16, 8));
    writeText(closed, "not a window");
    AdjustVarAddresses(*app); // false: the broken window could not be fixed either
    EXPECT_EQ(table().address[16], "28");
    std::vector<std::string> lines;
    app->m_reports.drain([&](Report& r) {
        if (auto* t = std::get_if<ReportText>(&r))
            lines.push_back(t->gbk);
    });
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.front().starts_with("无法读取窗口文件")) << gbkToUtf8Lossy(lines.front());
}

TEST_F(VarAdjustTest, ProgressReachesTheQueueFromTheWorker)
{
    for (int i = 0; i < 50; ++i)
        table().AppendRow("0", "unsigned char", "v" + std::to_string(i), "0", "");
    ReportQueue queue;
    VarAdjustJob job;
    ASSERT_TRUE(job.Start(*app, queue));
    while (!job.Done())
        std::this_thread::yield();
    ASSERT_TRUE(job.Finish(*app));
    int last = -1;
    queue.drain([&](Report& r) {
        if (auto* p = std::get_if<ReportProgress>(&r))
            last = p->percent;
    });
    EXPECT_EQ(last, 100);
    EXPECT_EQ(table().address.back(), std::to_string(28 + 49));
}

} // namespace
} // namespace qv::test
