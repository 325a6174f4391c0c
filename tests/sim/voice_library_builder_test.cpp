#include "sim/voice/voice_library_builder.h"
#include "sim/voice/yyk_library.h"
#include "tests/fixtures/disk_audio.h"
#include "tests/fixtures/planted_files.h"
#include "tests/sim/voice_fake_engine.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <set>

namespace qv::sim {
namespace {

class VoiceLibraryBuild : public ::testing::Test {
protected:
    VoiceLibraryBuild()
    {
        std::filesystem::create_directories(drive);
        std::filesystem::create_directories(cache);
        test::WriteBytes(cache / "1", {1});
        request = {drive, "SOUND", cache, "fake-cmn", 0};
    }

    std::set<std::string> FolderListing() const
    {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::recursive_directory_iterator(project.path()))
            names.insert(std::filesystem::relative(e.path(), project.path()).string());
        return names;
    }

    VoiceLibraryOutcome Build() { return BuildVoiceLibrary(engine, request, abort, [this](int p) { progress.push_back(p); }); }

    test::TempDir project;
    std::filesystem::path drive = project.path() / "UsbDisk";
    std::filesystem::path cache = project.path() / "temp" / "UsbDiskTemp";
    VoiceLibraryRequest request;
    test::FakeSpeechEngine engine;
    std::atomic<bool> abort{false};
    std::vector<int> progress;
};

TEST_F(VoiceLibraryBuild, ALinkedDriveOrCacheChangesNothingOutside)
{
    test::TempDir outside;
    test::writeText(outside / "SOUND.YYK", "their own file");
    test::writeText(outside / "KEEP", "kept");
    const auto before = test::snapshotOf(outside.path());
    std::filesystem::remove_all(drive);
    test::plantLink(outside.path(), drive);
    EXPECT_EQ(Build().result, VoiceLibraryResult::BuildFailed);
    EXPECT_EQ(test::snapshotOf(outside.path()), before) << "no library written through the linked drive";

    std::filesystem::remove(drive);
    std::filesystem::create_directories(drive);
    std::filesystem::remove_all(cache);
    test::plantLink(outside.path(), cache);
    EXPECT_EQ(Build().result, VoiceLibraryResult::Built);
    EXPECT_EQ(test::snapshotOf(outside.path()), before) << "the linked cache is not emptied";
}

TEST_F(VoiceLibraryBuild, SpeaksEveryEntryInOrderAndStoresEachWaveOnce)
{
    request.rate = -4; // the library is never spoken slower than normal
    const auto outcome = Build();
    ASSERT_EQ(outcome.result, VoiceLibraryResult::Built) << outcome.error;
    ASSERT_EQ(engine.texts.size(), 1u + kYykEntries); // the blank that prepares the engine first
    EXPECT_EQ(engine.texts[0], " ");
    struct Case { int entry; const char8_t* text; };
    for (const Case& c : {Case{0, u8"\u3000"}, Case{15, u8"\u201c"}, Case{94, u8"\u2170"}, Case{1410, u8"\u554a"}, Case{6767, u8"\u68f9"},
                          Case{6768, u8" 0"}, Case{6845, u8" }"}})
        EXPECT_EQ(engine.texts[static_cast<std::size_t>(c.entry) + 1], reinterpret_cast<const char*>(c.text)) << c.entry;
    EXPECT_TRUE(std::all_of(engine.rates.begin(), engine.rates.end(), [](int r) { return r == 0; }));

    std::map<std::vector<std::uint8_t>, int> distinct;
    for (std::size_t i = 1; i < engine.texts.size(); ++i)
        distinct.emplace(test::FakeSpeechEngine::WaveOf(engine.texts[i]), 0);
    EXPECT_EQ(outcome.distinctWaves, static_cast<int>(distinct.size()));
    std::uintmax_t expectedSize = kYykDataOffset;
    for (const auto& [wave, unused] : distinct)
        expectedSize += wave.size();
    EXPECT_EQ(std::filesystem::file_size(outcome.library), expectedSize);
    EXPECT_EQ(outcome.library, drive / "SOUND.YYK");

    const auto reader = YykReader::Open(ConfinedFolder(project.path()), outcome.library);
    ASSERT_TRUE(reader);
    for (int n : {0, 1, 94, 6767, 6768, 6845})
        EXPECT_EQ(reader->Wave(n), test::FakeSpeechEngine::WaveOf(engine.texts[static_cast<std::size_t>(n) + 1])) << n;
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_FALSE(std::filesystem::exists(cache / "1")); // the simulator re-extracts from the new library
    EXPECT_EQ(FolderListing(), (std::set<std::string>{"UsbDisk", "UsbDisk/SOUND.YYK", "temp", "temp/UsbDiskTemp"}));
}

TEST_F(VoiceLibraryBuild, AFailedOrAbortedBuildLeavesTheOldLibrary)
{
    test::WriteBytes(drive / "SOUND.YYK", {'o', 'l', 'd'});
    const auto before = FolderListing();
    struct Case { const char* name; int failAt; int abortAt; VoiceLibraryResult result; };
    for (const Case& c : {Case{"engine", 0, -1, VoiceLibraryResult::EngineFailed}, Case{"midway", 3000, -1, VoiceLibraryResult::BuildFailed},
                          Case{"abort", -1, 2000, VoiceLibraryResult::Aborted}, Case{"last entry", kYykEntries, -1, VoiceLibraryResult::BuildFailed}}) {
        engine.texts.clear();
        engine.failAtCall = c.failAt;
        engine.abortAtCall = c.abortAt;
        engine.abortFlag = &abort;
        abort.store(false);
        EXPECT_EQ(Build().result, c.result) << c.name;
        EXPECT_EQ(test::ReadBytes(drive / "SOUND.YYK"), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << c.name;
        EXPECT_EQ(FolderListing(), before) << c.name;
    }
    EXPECT_EQ(engine.texts.size(), static_cast<std::size_t>(kYykEntries) + 1);
}

TEST_F(VoiceLibraryBuild, RefusesAMissingFolderOrABadName)
{
    request.folder = project.path() / "missing";
    EXPECT_EQ(Build().result, VoiceLibraryResult::BuildFailed);
    request.folder = drive;
    request.name = "\x81";
    EXPECT_EQ(Build().result, VoiceLibraryResult::BuildFailed);
    EXPECT_TRUE(std::filesystem::exists(cache / "1"));
}

TEST(VoiceLibraryText, MessagesAndTheWaveCount)
{
    EXPECT_EQ(VoiceLibraryMessage(VoiceLibraryResult::Built), "成功创建语音库");
    EXPECT_EQ(VoiceLibraryMessage(VoiceLibraryResult::EngineFailed), "创建语音库失败0");
    EXPECT_EQ(VoiceLibraryMessage(VoiceLibraryResult::BuildFailed), "创建语音库失败1");
    EXPECT_EQ(VoiceLibraryMessage(VoiceLibraryResult::Aborted), "");
    EXPECT_EQ(DistinctWavesHex(0x1A2B), "2b 1a 0 0 ");
}

// The worker reports through the queue; its calls run where the queue is drained.
TEST_F(VoiceLibraryBuild, TheWorkerReportsThroughTheQueue)
{
    ReportQueue reports;
    std::mutex mutex;
    std::condition_variable woken;
    bool pending = false;
    reports.setWakeup([&] {
        std::lock_guard lock(mutex);
        pending = true;
        woken.notify_one();
    });
    std::vector<std::string> lines;
    std::vector<int> shown;
    std::optional<VoiceLibraryOutcome> finished;
    VoiceLibraryWorker worker;
    ASSERT_TRUE(worker.Start(engine, request, reports, [&](int p) { shown.push_back(p); },
                             [&](const VoiceLibraryOutcome& o) { finished = o; }));
    EXPECT_FALSE(worker.Start(engine, request, reports, nullptr, nullptr));
    while (!finished) {
        {
            std::unique_lock lock(mutex);
            woken.wait(lock, [&] { return pending; });
            pending = false;
        }
        reports.drain([&](Report& r) {
            if (auto* call = std::get_if<ReportCall>(&r))
                call->run();
            else if (auto* text = std::get_if<ReportText>(&r))
                lines.push_back(text->gbk);
        });
    }
    EXPECT_EQ(finished->result, VoiceLibraryResult::Built);
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(shown.back(), 100);
    EXPECT_EQ(shown.size(), 101u); // one report per percent, 0 to 100
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "成功创建语音库\r\n");
    EXPECT_EQ(lines[1], DistinctWavesHex(finished->distinctWaves) + "\r\n");
}

} // namespace
} // namespace qv::sim
