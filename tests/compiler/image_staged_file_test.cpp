// The staged image file: its temporary file is made fresh (a link planted at a temporary
// name is never followed), takes the old image's mode, and an image that is a link is written
// through to its target.
#include "compiler/image/staged_image_file.h"
#include "platform/files/atomic_file.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {
namespace {

namespace fs = std::filesystem;

bool stage(const fs::path& image, const std::string& bytes)
{
    image::StagedImageFile f;
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    return f.create(image) && f.append(data) && f.commit();
}

TEST(StagedImageFile, NeverFollowsALinkAtATemporaryNameAndKeepsTheMode)
{
    TempDir dir;
    const fs::path image = dir / "NandFlash.Zip", outside = dir / "outside";
    ASSERT_TRUE(writeFileAtomically(outside, "not yours"));
    ASSERT_TRUE(stage(image, "old image"));
    ASSERT_EQ(::chmod(image.c_str(), 0600), 0);
    const std::string pid = std::to_string(::getpid());
    for (const std::string& name : {"NandFlash.Zip.tmp" + pid, "NandFlash.Zip.tmp" + pid + ".AAAAAA"})
        fs::create_symlink(outside, dir / name);

    ASSERT_TRUE(stage(image, "new image"));
    EXPECT_EQ(fileContents(image), "new image");
    EXPECT_EQ(fileContents(outside), "not yours");
    struct stat st {};
    ASSERT_EQ(::lstat(image.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    {
        image::StagedImageFile abandoned;
        ASSERT_TRUE(abandoned.create(image));
    } // discarded: only its own temporary file goes
    EXPECT_EQ(fileContents(image), "new image");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4);
}

TEST(StagedImageFile, AnImageThatIsALinkIsWrittenThroughToItsTarget)
{
    TempDir dir;
    fs::create_directories(dir / "elsewhere");
    const fs::path target = dir / "elsewhere" / "image.bin", link = dir / "NandFlash.Zip";
    ASSERT_TRUE(stage(target, "old"));
    fs::create_symlink(target, link);
    ASSERT_TRUE(stage(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fileContents(target), "new");
}

} // namespace
} // namespace qv::test
