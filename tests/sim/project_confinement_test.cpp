// A project folder holds what a stranger put there: links that lead out of it and named
// pipes. The user code's file services, the voice cache and the saved variables neither
// read, write, create nor delete anything outside through them, never block on a pipe, and
// name each refused file in the output bar.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "model/vars/var_bank.h"
#include "sim/sound/sound_service.h"
#include "sim/vtf/saved_vars.h"
#include "tests/fixtures/planted_files.h"
#include "tests/sim/panel_services_fixture.h"
#include "tests/sim/sound_fixture.h"

namespace qv::sim::test {
namespace {

namespace fs = std::filesystem;
using qv::test::plantLink;
using qv::test::plantPipe;
using qv::test::snapshotOf;
using qv::test::writeText;

// Waits for the program's end mark on the runner's thread. Should a service block on a pipe
// instead (the fault under test), the pipe is fed from here so the thread can be stopped,
// and the test fails.
bool waitForDone(PanelFixture& f, const fs::path& pipe)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (f.live->byteAt(kDoneAddress) != 0xA5 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (f.live->byteAt(kDoneAddress) == 0xA5)
        return true;
    const int fd = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
    if (fd >= 0 && ::write(fd, std::string(4096, 'p').data(), 4096) < 0)
        ::close(fd); // else kept open: the blocked read must find a writer
    return false;
}

TEST(ProjectConfinement, DiskServicesNeitherFollowLinksNorBlockOnPipes)
{
    qv::test::PlantedProject p;
    PanelFixture f;
    const fs::path& project = f.project.path();
    writeText(p.outside / "VICTIM.TXT", "to be kept");
    writeText(project / "UsbDisk" / "OWN.TXT", "mine");
    plantLink(p.outside.path(), project / "UsbDisk" / "h");                // a folder leading out
    plantLink(p.outside / "SECRET.TXT", project / "UsbDisk" / "LINK.TXT"); // a file leading out
    plantLink(p.outside.path(), project / "SDCard");                       // a whole drive leading out
    plantPipe(project / "UsbDisk" / "PIPE");
    const auto before = snapshotOf(p.outside.path());
    // Where each try of the plain file reads to: the size (0xEEEE while nothing is open), then
    // the four bytes read over dots.
    struct Try {
        const char* name;
        std::uint16_t at;
        const char* read;
        const char* refusal; // below the project folder
    };
    const Try tries[] = {
        {"U:\\OWN.TXT", 0x2100, "mine", nullptr},
        {"U:\\H\\SECRET.TXT", 0x2110, "....", "UsbDisk/h"},
        {"U:\\LINK.TXT", 0x2120, "....", "UsbDisk/LINK.TXT"},
        {"U:\\PIPE", 0x2130, "....", "UsbDisk/PIPE"},
    };
    for (const Try& t : tries)
        f.live->writeBytes(t.at + 2, std::span(reinterpret_cast<const std::uint8_t*>("...."), 4));
    std::string program = R"(
void setName(unsigned int at, const char *s) { while (*s) M8(at++) = *s++; M8(at) = 0; }
/* open, size, read 4 bytes, overwrite the start with "EVIL", close */
void tryPlain(unsigned int name, unsigned int into)
{
    P1(name); CALL(25);
    CmdAdr4 = 0xEE; CmdAdr5 = 0xEE; CALL(28); M16(into) = CmdAdr4 | (CmdAdr5 << 8);
    P1(into + 2); LV(4); CALL(30);
    M8(0x3500) = 'E'; M8(0x3501) = 'V'; M8(0x3502) = 'I'; M8(0x3503) = 'L';
    LV(0); CALL(27); P1(0x3500); LV(4); CALL(29);
    CALL(26);
}
void main(void)
{
)";
    for (const Try& t : tries) {
        std::string name;
        for (const char* c = t.name; *c; ++c)
            name += *c == '\\' ? std::string("\\\\") : std::string(1, *c);
        program += "    setName(0x3300, \"" + name + "\"); tryPlain(0x3300, " + std::to_string(t.at) + ");\n";
    }
    program += R"(
    M16(0x3002) = 1; M32(0x3004) = 4; setName(0x3008, "U:\\H\\REC.DAT");
    P1(0x3000); CALL(18); M8(0x2000) = CmdAdr1;
    setName(0x3600, "A:\\VICTIM.TXT"); P1(0x3600); CALL(31); M8(0x2001) = CmdAdr1;
    DONE();
}
)";
    ASSERT_NO_FATAL_FAILURE(f.load(program));
    f.live->setByteAt(0x2000, 0xFF);
    f.live->setByteAt(0x2001, 0xFF);
    ASSERT_TRUE(f.runner.start());
    const bool done = waitForDone(f, project / "UsbDisk" / "PIPE");
    MC8051StopRequest.store(1); // the program spins after its end mark: the stop ends it
    f.runner.stop();
    EXPECT_TRUE(done) << "a service blocked on the pipe";
    EXPECT_EQ(MC8051Running.load(), 0);

    const VarBank& m = *f.live;
    for (const Try& t : tries) {
        const bool opens = t.refusal == nullptr;
        EXPECT_EQ(*m.read(t.at, 2), opens ? 4u : 0xEEEEu) << t.name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.snapshot().data()) + t.at + 2, 4), t.read) << t.name;
        if (t.refusal)
            EXPECT_TRUE(p.refused(t.refusal)) << t.name;
    }
    EXPECT_EQ(qv::test::fileContents(project / "UsbDisk" / "OWN.TXT"), "EVIL") << "the program's own file is written";
    EXPECT_EQ(m.byteAt(0x2000), 0) << "no record file made through the link";
    EXPECT_EQ(m.byteAt(0x2001), 0) << "no delete through the linked drive";
    EXPECT_TRUE(p.refused("SDCard"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(project / "UsbDisk" / "PIPE")));
    EXPECT_EQ(snapshotOf(p.outside.path()), before);
}

} // namespace
} // namespace qv::sim::test

namespace qv::test {
namespace {

namespace fs = std::filesystem;

class PlantedSoundTest : public SoundServiceFixture {
protected:
    PlantedSoundTest() { service.SetProjectFolder(planted.project.path()); }
    fs::path Project() const { return planted.project.path(); }
    fs::path Cache() const { return Project() / "temp" / "UsbDiskTemp"; }

    PlantedProject planted;
};

TEST_F(PlantedSoundTest, SelectingALibraryNeverEmptiesALinkedCache)
{
    WriteLibrary(Project() / "UsbDisk" / "SOUND.YYK");
    plantLink(planted.outside.path(), Cache());
    const auto before = snapshotOf(planted.outside.path());
    EXPECT_EQ(SelectLibrary("U:\\SOUND.YYK"), 0);
    EXPECT_EQ(snapshotOf(planted.outside.path()), before) << "both outside files kept";
    EXPECT_TRUE(planted.refused("temp/UsbDiskTemp"));

    // The same cache as a real folder is emptied of its files.
    fs::remove(Cache());
    writeText(Cache() / "1", "stale");
    EXPECT_EQ(SelectLibrary("U:\\SOUND.YYK"), 1);
    EXPECT_FALSE(fs::exists(Cache() / "1"));
}

TEST_F(PlantedSoundTest, SpeakingCreatesNothingThroughADanglingLink)
{
    WriteLibrary(Project() / "UsbDisk" / "SOUND.YYK");
    ASSERT_EQ(SelectLibrary("U:\\SOUND.YYK"), 1);
    plantLink(planted.outside / "CHOSEN.WAV", Cache() / "1.part");
    plantLink(planted.outside / "CHOSEN2.WAV", Cache() / "1");
    const auto before = snapshotOf(planted.outside.path());
    PutText(0x200, "12");
    EXPECT_EQ(Sound(5, 0x200), 1);
    EXPECT_EQ(SpokenPieces(), (std::vector<std::string>{"2"})) << "only the character whose cache is a file plays";
    EXPECT_EQ(snapshotOf(planted.outside.path()), before) << "no file made outside";
    EXPECT_TRUE(fs::is_symlink(Cache() / "1"));
    EXPECT_TRUE(planted.refused("temp/UsbDiskTemp/1"));
}

TEST_F(PlantedSoundTest, LibrariesAndSoundFilesThatAreLinksOrPipesAreRefusedAtOnce)
{
    WriteLibrary(planted.outside / "REAL.YYK");
    writeText(planted.outside / "SONG.WAV", "RIFF-outside");
    struct Case {
        const char* what;
        void (*plant)(const fs::path& at, const fs::path& outsideFile);
    };
    const Case cases[] = {
        {"link", [](const fs::path& at, const fs::path& target) { plantLink(target, at); }},
        {"pipe", [](const fs::path& at, const fs::path&) { plantPipe(at); }},
    };
    const fs::path library = Project() / "UsbDisk" / "SOUND.YYK";
    const fs::path song = Project() / "UsbDisk" / "SONG.WAV";
    for (const Case& c : cases) {
        fs::remove(library);
        fs::remove(song);
        c.plant(library, planted.outside / "REAL.YYK");
        c.plant(song, planted.outside / "SONG.WAV");
        const auto before = snapshotOf(planted.outside.path());
        planted.clearRefusals();
        expectNoBlock(
            [&] {
                EXPECT_EQ(SelectLibrary("U:\\SOUND.YYK"), 0) << c.what;
                PutText(0x300, "U:\\SONG.WAV");
                EXPECT_EQ(Sound(1, 0x300), 0) << c.what;
            },
            {library, song});
        EXPECT_TRUE(player.played.empty()) << c.what;
        EXPECT_TRUE(planted.refused("UsbDisk/SOUND.YYK")) << c.what;
        EXPECT_TRUE(planted.refused("UsbDisk/SONG.WAV")) << c.what;
        EXPECT_EQ(snapshotOf(planted.outside.path()), before) << c.what;
    }
}

// The saved variables: a link at "NandFlash/VarToFlash.vtf" or at "NandFlash", or a pipe
// there, neither blocks a save (the run-mode timer's slot 0 runs on the GUI thread) nor
// changes anything outside.
TEST(ProjectConfinementVtf, SavesRefuseLinksAndPipesWithoutBlocking)
{
    struct Case {
        const char* what;
        void (*plant)(const fs::path& project, const fs::path& outside);
        const char* refusal;
    };
    const Case cases[] = {
        {"file link", [](const fs::path& pr, const fs::path& out) { plantLink(out / "SECRET.TXT", pr / "NandFlash" / "VarToFlash.vtf"); },
         "NandFlash/VarToFlash.vtf"},
        {"folder link", [](const fs::path& pr, const fs::path& out) { plantLink(out, pr / "NandFlash"); }, "NandFlash"},
        {"pipe", [](const fs::path& pr, const fs::path&) { plantPipe(pr / "NandFlash" / "VarToFlash.vtf"); },
         "NandFlash/VarToFlash.vtf"},
    };
    for (const Case& c : cases) {
        PlantedProject p;
        c.plant(p.project.path(), p.outside.path());
        const auto before = snapshotOf(p.outside.path());
        VarBank live, shown;
        live.writeByte(0x10, 0x42);
        expectNoBlock(
            [&] {
                EXPECT_FALSE(SaveVarToFlash(p.project.path(), 0, 0x10, 4, live)) << c.what;
                EXPECT_FALSE(SaveVarToFlash(p.project.path(), 3, 0x10, 4, live)) << c.what;
                EXPECT_FALSE(LoadVarToFlash(p.project.path(), 0, shown, live)) << c.what;
                EXPECT_FALSE(ClearVarToFlashSlot(p.project.path(), 0)) << c.what;
            },
            {p.project.path() / "NandFlash" / "VarToFlash.vtf"});
        EXPECT_EQ(snapshotOf(p.outside.path()), before) << c.what;
        EXPECT_TRUE(p.refused(c.refusal)) << c.what;
    }
}

} // namespace
} // namespace qv::test
