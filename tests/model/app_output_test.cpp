// The application's output operations and its list of the project's flash-disk files.
#include "model/app/editor_app.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

std::string drainText(CEditorApp& app)
{
    std::string text;
    app.m_reports.drain([&](Report& r) {
        if (auto* t = std::get_if<ReportText>(&r))
            text += t->gbk + "|";
    });
    return text;
}

TEST(AppOutput, HexBytesAreOneTextOfLowerCaseNumbersEachFollowedByABlank)
{
    TempDir dir;
    CEditorApp app(dir.path());
    const std::uint8_t bytes[] = {0x0A, 0xFF, 0x00, 0x10};
    app.AppendOutputHex(bytes);
    app.AppendOutputHex({});
    app.AppendOutput("编译\r\n");
    EXPECT_EQ(drainText(app), "a ff 0 10 ||编译\r\n|");
}

TEST(AppOutput, FlashDiskFilesAreTheFilesOfTheProjectsFolderByName)
{
    TempDir dir;
    CEditorApp app(dir.path());
    app.ListFDiskFiles();
    EXPECT_TRUE(app.m_FDiskFiles.empty()) << "no project";

    app.m_strProjectDir = dir.path() / "p";
    std::filesystem::create_directories(app.m_strProjectDir);
    app.m_FDiskFiles = {"stale"};
    app.ListFDiskFiles();
    EXPECT_TRUE(app.m_FDiskFiles.empty()) << "no FDisk folder";

    const auto disk = app.m_strProjectDir / "fdisk";   // the folder's letter case may differ
    std::filesystem::create_directories(disk / "sub");
    for (const char* name : {"b.txt", "a.dat", "c"})
        ASSERT_TRUE(writeFileAtomically(disk / name, "x"));
    app.ListFDiskFiles();
    EXPECT_EQ(app.m_FDiskFiles, (std::vector<std::filesystem::path>{disk / "a.dat", disk / "b.txt", disk / "c"}));
}

} // namespace
} // namespace qv::test
