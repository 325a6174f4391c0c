// Pictures and window files copied into the project: nothing already there is replaced, and
// a different file of the same name never hides behind the old one.
#include "model/params/user_picture.h"
#include "model/project/file_copies.h"
#include "platform/files/stored_path.h"
#include "tests/model/project_fixture.h"

namespace qv::test {
namespace {

using Project = ProjectTest;

TEST_F(Project, UserPicturesKeepEveryDifferentPicture)
{
    const fs::path folder = newProject("p");
    writeText(folder / "UserPicture" / "a.bmp", "old picture");
    writeText(base() / "pics" / "A.BMP", "old picture");
    writeText(base() / "other" / "A.BMP", "new picture");
    writeText(base() / "third" / "A.BMP", "third picture");

    // The same bytes under another letter case: the file there is used, nothing copied.
    EXPECT_EQ(app->CopyUserPicture(base() / "pics" / "A.BMP"), "\\UserPicture\\A.BMP");
    EXPECT_EQ(resolveStoredPath(folder, "\\UserPicture\\A.BMP"), folder / "UserPicture" / "a.bmp");
    // A different picture of that name gets a new one; each new picture the next free one.
    EXPECT_EQ(app->CopyUserPicture(base() / "other" / "A.BMP"), "\\UserPicture\\A_1.BMP");
    EXPECT_EQ(app->CopyUserPicture(base() / "third" / "A.BMP"), "\\UserPicture\\A_2.BMP");
    EXPECT_EQ(app->CopyUserPicture(base() / "other" / "A.BMP"), "\\UserPicture\\A_1.BMP");
    EXPECT_EQ(readText(folder / "UserPicture" / "a.bmp"), "old picture");
    EXPECT_EQ(readText(folder / "UserPicture" / "A_1.BMP"), "new picture");
    EXPECT_EQ(readText(folder / "UserPicture" / "A_2.BMP"), "third picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "UserPicture"), fs::directory_iterator()), 3);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Project, ChineseAndUnreadablePictureNames)
{
    const fs::path folder = newProject("p");
    writeText(base() / utf8("图片") / utf8("开关.bmp"), "x");
    EXPECT_EQ(app->CopyUserPicture(base() / utf8("图片") / utf8("开关.bmp")), "\\UserPicture\\开关.bmp");
    EXPECT_EQ(readText(folder / "UserPicture" / utf8("开关.bmp")), "x");
    // A picture the user chose that cannot be read is refused with a message naming it.
    fs::create_directories(base() / "folder.bmp");
    for (const char* chosen : {"missing.bmp", "folder.bmp"}) {
        SCOPED_TRACE(chosen);
        prompts.messages.clear();
        EXPECT_EQ(app->CopyUserPicture(base() / chosen), std::nullopt);
        EXPECT_FALSE(fs::exists(folder / "UserPicture" / chosen));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_NE(prompts.messages[0].find(chosen), std::string::npos);
    }
    // A shipped picture the creation defaults name is stored even when missing, drawn as nothing.
    prompts.messages.clear();
    EXPECT_EQ(copyStoredPicture(base(), folder, "images\\sys\\none.bmp"), "\\UserPicture\\none.bmp");
    EXPECT_FALSE(fs::exists(folder / "UserPicture" / "none.bmp"));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Project, WindowFilesAndFolderFilesAreNeverReplaced)
{
    const fs::path folder = newProject("p");
    writeText(base() / "import" / "pop.dlg", "imported");
    writeText(base() / "import" / "a.BMP", "a");
    writeText(base() / "import" / "b.jpg", "b");
    writeText(base() / "import" / "c.bmp", "new c");
    writeText(folder / "UserPicture" / "c.bmp", "old c");

    EXPECT_EQ(app->CopyWindowFile(base() / "import" / "pop.dlg"), folder / "window" / "pop.dlg");
    writeText(base() / "import" / "pop.dlg", "changed");
    EXPECT_EQ(app->CopyWindowFile(base() / "import" / "pop.dlg"), folder / "window" / "pop.dlg");
    EXPECT_EQ(readText(folder / "window" / "pop.dlg"), "imported");

    EXPECT_EQ(app->CopyFolderFiles(base() / "import", folder / "UserPicture", "*.bmp", true), 0);
    EXPECT_EQ(readText(folder / "UserPicture" / "a.BMP"), "a");
    EXPECT_FALSE(fs::exists(folder / "UserPicture" / "b.jpg"));
    EXPECT_EQ(readText(folder / "UserPicture" / "c.bmp"), "old c");
    EXPECT_EQ(app->CopyFolderFiles(base() / "import", folder / "UserPicture", "*.bmp", false), 0);
    EXPECT_EQ(readText(folder / "UserPicture" / "c.bmp"), "new c");
    EXPECT_EQ(app->CopyFolderFiles(base() / "nowhere", folder, "*", true), 1);
}

TEST(FileCopies, PatternsMatchLikeTheFileDialogs)
{
    const struct {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"a.bmp", "*.bmp", true},   {"A.BMP", "*.bmp", true},  {"a.bmpx", "*.bmp", false},
        {"a.jpg", "*.bmp", false},  {"ab.dlg", "a?.dlg", true}, {"a.dlg", "a?.dlg", false},
        {"x", "*", true},           {"", "*", true},           {"abc", "a*c", true},
        {"abcbc", "a*bc", true},    {"abcd", "a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchesPattern(c.name, c.pattern), c.match) << c.name << " " << c.pattern;
    EXPECT_TRUE(matchesPattern(reinterpret_cast<const char*>(u8"开.dlg"), "?.dlg"))
        << "one character, not one byte";
}

TEST(FileCopies, InsideTestsWholeFolderNames)
{
    TempDir dir;
    fs::create_directories(dir / "proj" / "window");
    fs::create_directories(dir / "project2");
    fs::create_directory_symlink(dir / "proj", dir / "link");
    EXPECT_TRUE(isSameOrInside(dir / "proj", dir / "proj"));
    EXPECT_TRUE(isSameOrInside(dir / "proj" / "window" / "new", dir / "proj"));
    EXPECT_TRUE(isSameOrInside(dir / "link" / "copy", dir / "proj")) << "through a link";
    EXPECT_FALSE(isSameOrInside(dir / "project2", dir / "proj")) << "a longer name is another folder";
    EXPECT_FALSE(isSameOrInside(dir.path(), dir / "proj"));
}

} // namespace
} // namespace qv::test
