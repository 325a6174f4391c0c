// Saves cut by SIGKILL: a child saves every document of a copy of the sample project in a
// loop and is killed after a random number of saves. Each time the project must open with no
// message, every file must hold its old or its new bytes, and the temporary files the killed
// saves left must be gone after the open.
#include "platform/files/temp_file.h"
#include "tests/model/project_fixture.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace qv::test {
namespace {

std::vector<fs::path> documentFiles(const fs::path& project)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(project)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && (ext == ".hmi" || ext == ".drw" || ext == ".dlg"))
            files.push_back(e.path());
    }
    return files;
}

std::vector<fs::path> temporaryFiles(const fs::path& project)
{
    std::vector<fs::path> found;
    for (const auto& e : fs::recursive_directory_iterator(project))
        if (isTemporaryFileName(e.path().filename().string()))
            found.push_back(e.path());
    return found;
}

// The child: saves the two versions of every document in turn, one byte down `pipe` after
// each save, until it is killed.
[[noreturn]] void saveForever(const std::vector<fs::path>& files, int pipe)
{
    std::vector<std::unique_ptr<CDrawDoc>> oldDocs, newDocs;
    for (const fs::path& f : files) {
        for (auto* list : {&oldDocs, &newDocs}) {
            auto doc = std::make_unique<CDrawDoc>();
            DocumentError error;
            if (!doc->OnOpenDocument(f, &error))
                ::_exit(3);
            list->push_back(std::move(doc));
        }
        newDocs.back()->AddObject(std::make_unique<CDrawRect>(Rect{1, 2, 30, 40}));
    }
    for (;;)
        for (auto* list : {&newDocs, &oldDocs})
            for (std::size_t i = 0; i < files.size(); ++i) {
                DocumentError error;
                if (!(*list)[i]->OnSaveDocument(files[i], &error))
                    ::_exit(4);
                const char tick = 1;
                if (::write(pipe, &tick, 1) != 1)
                    ::_exit(5);
            }
}

TEST_F(ProjectTest, SavesKilledAtRandomLeaveEveryFileOldOrNewAndNoTemporaryAfterOpen)
{
    const fs::path project = base() / utf8("示例工程");
    fs::copy(sourceDir() / "base" / utf8("例子") / utf8("示例工程"), project, fs::copy_options::recursive);
    const fs::path hmi = project / (utf8("示例工程") + ".hmi");
    const std::vector<fs::path> files = documentFiles(project);
    ASSERT_GT(files.size(), 3u);

    const char* env = std::getenv("QV_KILLED_SAVES");
    const int kills = env ? std::max(1, std::atoi(env)) : 20;
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> savesBeforeKill(1, static_cast<int>(3 * files.size()));
    std::size_t leftovers = 0; // temporary files the kills left for the opens to remove
    for (int round = 0; round < kills; ++round) {
        SCOPED_TRACE("kill " + std::to_string(round + 1));
        // The bytes each file may hold: as it is now, or as either of the child's versions
        // saves it (an open may itself have saved a file since the last round).
        std::map<fs::path, std::set<std::string>> allowed;
        for (const fs::path& f : files) {
            CDrawDoc doc;
            DocumentError error;
            ASSERT_TRUE(doc.OnOpenDocument(f, &error)) << error.messageGbk;
            allowed[f] = {readText(f), doc.SerializeToBytes()};
            doc.AddObject(std::make_unique<CDrawRect>(Rect{1, 2, 30, 40}));
            allowed[f].insert(doc.SerializeToBytes());
        }
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            saveForever(files, fds[1]);
        }
        ::close(fds[1]);
        // Wait for a random number of finished saves, then kill: the child is by then inside
        // a later save, at a moment nobody chose.
        const int wanted = savesBeforeKill(random);
        int seen = 0;
        char tick;
        while (seen < wanted && ::read(fds[0], &tick, 1) == 1)
            ++seen;
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself with " << WEXITSTATUS(status);
        ASSERT_EQ(seen, wanted);

        for (const fs::path& f : files) {
            EXPECT_TRUE(allowed[f].count(readText(f))) << f;
        }
        leftovers += temporaryFiles(project).size();
        app = std::make_unique<CEditorApp>(base());
        app->SetPrompt(&prompts);
        app->SetProjectDialogs(&dialogs);
        app->InitDocTemplates();
        prompts.messages.clear();
        ASSERT_TRUE(app->OpenProjectFile(hmi));
        EXPECT_TRUE(prompts.messages.empty()) << utf8(prompts.messages.front());
        EXPECT_TRUE(temporaryFiles(project).empty()) << temporaryFiles(project).front();
        app->CloseAllDocuments();
    }
    RecordProperty("leftover_temporaries", static_cast<int>(leftovers));
    std::printf("%d kills left %zu temporary files, all removed by the next open\n", kills, leftovers);
}

} // namespace
} // namespace qv::test
