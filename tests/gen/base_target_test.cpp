// The base generator writes only where a rebuild loses nothing: the tree's own base folder,
// or an empty or new folder. A working base folder, whose sample projects may hold edits, is
// refused.
#include "gen/base/base_target.h"
#include "tests/fixtures/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

TEST(BaseGenerator, WritesOnlyIntoTheTreeBaseOrAnEmptyOrNewFolder)
{
    qv::test::TempDir dir;
    const fs::path tree = dir.path() / "tree" / "base";
    fs::create_directories(tree / "例子");
    fs::create_directories(dir.path() / "empty");
    fs::create_directories(dir.path() / "working" / "例子" / "示例工程");
    std::ofstream(dir.path() / "working" / "例子" / "示例工程" / "edited.drw") << "the user's edit";
    std::ofstream(dir.path() / "file") << "x";
    fs::create_directory_symlink(tree, dir.path() / "link-to-tree");

    const struct {
        fs::path target;
        bool allowed;
    } cases[] = {
        {tree, true},
        {dir.path() / "tree" / "." / "base", true},
        {dir.path() / "link-to-tree", true},
        {dir.path() / "empty", true},
        {dir.path() / "new" / "base", true},
        {dir.path() / "working", false},
        {dir.path() / "file", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.string());
        const auto refused = qv::gen::refuseGeneratorTarget(c.target, tree);
        EXPECT_EQ(!refused.has_value(), c.allowed);
        if (refused)
            EXPECT_NE(refused->find(c.target.string()), std::string::npos) << "the message names the folder";
    }
}
