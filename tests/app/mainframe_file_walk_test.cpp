// The next/previous-file walk over the project's windows.
#include "app/mainframe/file_walk.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

const std::string kSim = kSimulatorTitle;
const std::string kProject = "<project>"; // the project document (nullopt from prev)
const std::string kEnd = "<end>";         // no target: the walk stops

struct WalkCase {
    const char* name;
    ProjectWindowLists lists;
    bool fromProject;
    std::string from;
    std::string next;
    std::string prev;
};

std::string show(const std::optional<std::string>& t, const std::string& none) { return t ? *t : none; }

class FileWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(FileWalk, StepsInProjectOrder)
{
    const WalkCase& c = GetParam();
    EXPECT_EQ(show(nextFileTitle(c.fromProject, c.from, c.lists), kEnd), c.next);
    if (!c.fromProject) {
        EXPECT_EQ(show(prevFileTitle(c.from, c.lists), kProject), c.prev);
    }
}

const ProjectWindowLists kFull{{"a.drw", "b.drw"}, {"x.dlg", "y.dlg"}};
const ProjectWindowLists kScreensOnly{{"a.drw", "b.drw"}, {}};
const ProjectWindowLists kSubsOnly{{}, {"x.dlg"}};
const ProjectWindowLists kEmpty{};

INSTANTIATE_TEST_SUITE_P(Cases, FileWalk, ::testing::Values(
    WalkCase{"ProjectToFirstScreen", kFull, true, "p.hmi", "a.drw", ""},
    WalkCase{"ProjectWithoutScreens", kSubsOnly, true, "p.hmi", "x.dlg", ""},
    WalkCase{"EmptyProjectToSimulator", kEmpty, true, "p.hmi", kSim, ""},
    WalkCase{"FirstScreen", kFull, false, "a.drw", "b.drw", kProject},
    WalkCase{"LastScreenToFirstSub", kFull, false, "b.drw", "x.dlg", "a.drw"},
    WalkCase{"LastScreenNoSubs", kScreensOnly, false, "b.drw", kSim, "a.drw"},
    WalkCase{"SubToSub", kFull, false, "x.dlg", "y.dlg", "b.drw"},
    WalkCase{"LastSubToSimulator", kFull, false, "y.dlg", kSim, "x.dlg"},
    WalkCase{"SimulatorEndsTheWalk", kFull, false, kSim, kEnd, "y.dlg"},
    WalkCase{"SimulatorOfEmptyProject", kEmpty, false, kSim, kEnd, kProject}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qv
