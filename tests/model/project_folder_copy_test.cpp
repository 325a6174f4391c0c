// Folder copies of save-as and the support folders: links inside are copied as links, so a
// link loop or a link out of the folder neither runs on nor pulls outside content in.
#include "model/app/folder_copy.h"
#include "tests/model/project_fixture.h"

namespace qv::test {
namespace {

TEST(FolderCopy, LinksAreCopiedAsLinks)
{
    TempDir dir;
    const fs::path src = dir.path() / "src";
    writeText(src / "window" / "win0.drw", "screen");
    writeText(dir.path() / "outside" / "secret.txt", "outside");
    fs::create_directory_symlink("..", src / "window" / "loop");
    fs::create_directory_symlink(dir.path() / "outside", src / "out");
    fs::create_directory_symlink("/", src / "root");
    fs::create_symlink("win0.drw", src / "window" / "alias.drw");
    fs::create_symlink(dir.path() / "nowhere", src / "dangling");

    ASSERT_EQ(CopyFolderTree(src, dir.path() / "dst"), 0);
    const fs::path dst = dir.path() / "dst";
    EXPECT_EQ(readText(dst / "window" / "win0.drw"), "screen");
    const struct {
        const char* link;
        fs::path target;
    } links[] = {
        {"window/loop", ".."},
        {"out", dir.path() / "outside"},
        {"root", "/"},
        {"window/alias.drw", "win0.drw"},
        {"dangling", dir.path() / "nowhere"},
    };
    for (const auto& l : links) {
        SCOPED_TRACE(l.link);
        ASSERT_TRUE(fs::is_symlink(dst / l.link));
        EXPECT_EQ(fs::read_symlink(dst / l.link), l.target);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dst), fs::directory_iterator()), 4) << "window, out, root, dangling";
}

TEST(FolderCopy, AFolderNamedThroughALinkCopiesItsContent)
{
    TempDir dir;
    writeText(dir.path() / "real" / "a.txt", "a");
    fs::create_directory_symlink(dir.path() / "real", dir.path() / "link");
    ASSERT_EQ(CopyFolderTree(dir.path() / "link", dir.path() / "dst"), 0);
    EXPECT_FALSE(fs::is_symlink(dir.path() / "dst"));
    EXPECT_EQ(readText(dir.path() / "dst" / "a.txt"), "a");
}

} // namespace
} // namespace qv::test
