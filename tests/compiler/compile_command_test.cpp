#include "compiler/compile/compile_command.h"

#include "tests/compiler/compile_fixture.h"
#include "tests/compiler/image_walker.h"

#include <gtest/gtest.h>

namespace qv::test {
namespace {

using compile::CompileOptions;
using compile::CompileStart;

// The application side of the command, recording what the command asked of it.
class FakeHost : public compile::CompileCommandHost {
public:
    explicit FakeHost(CompileFixture& f) : f_(f) { settings = f.input.settings; }

    std::span<std::uint8_t> projectSettings() override
    {
        return hasProject ? std::span<std::uint8_t>(settings) : std::span<std::uint8_t>();
    }
    bool confirmOptions(CompileOptions& options) override
    {
        offered = options;
        if (answer)
            options = *answer;
        return answer.has_value();
    }
    void optionsAccepted(const CompileOptions& o) override { calls += "accepted(rotate=" + std::to_string(o.lcdRotated) + ") "; }
    void resetControlFonts() override { calls += "fonts "; }
    void saveModifiedDocuments() override { calls += "save "; }
    void stopEmulator() override { calls += "stop "; }
    void activateProject() override { calls += "activate "; }
    void rebuildSimulation() override { calls += "rebuild "; }
    compile::CompileInput takeCompileInput() override
    {
        calls += "input";
        compile::CompileInput in = f_.input;
        in.settings = settings;
        return in;
    }

    std::array<std::uint8_t, 1024> settings{};
    bool hasProject = true;
    std::optional<CompileOptions> answer;
    std::optional<CompileOptions> offered;
    std::string calls;

private:
    CompileFixture& f_;
};

TEST(CompileCommand, OffersTheStoredOptionsAndWritesTheConfirmedOnesBack)
{
    CompileFixture f;
    FakeHost host(f);
    host.settings[68] = 1;
    host.settings[70] = 3;
    host.settings[84] = 2;
    host.settings[264] = 1;   // buzzer coefficient +220 stays 0: never set
    CompileOptions chosen{2, 1, 3, 1, 15, 0};
    host.answer = chosen;

    compile::CompileThread thread;
    ASSERT_EQ(compile::runCompileCommand(host, thread, f.services), CompileStart::Started);
    thread.join();

    EXPECT_EQ(*host.offered, (CompileOptions{1, 3, 1, 2, 15, 1})) << "a stored coefficient of 0 is offered as 15";
    EXPECT_EQ(compile::readCompileOptions(host.settings), chosen);
    EXPECT_EQ(host.settings[220], 15) << "and stored as 15 after OK";
    EXPECT_EQ(host.calls, "accepted(rotate=0) fonts save stop activate rebuild input");

    const std::string log = f.takeLog();
    EXPECT_EQ(log.rfind("- - - - - - - - - - - -  Quorvane:    V3.2    Release  - - - - - - - - - - - -\r\n"
                        "启动编译器编译工程\r\n",
                        0),
              0u)
        << "the output bar is cleared first";
    EXPECT_NE(log.find("编译工程成功"), std::string::npos);
    const std::string image = f.readImage();
    EXPECT_EQ(startMapU8(image, 0x0BA), 1) << "the worker compiles with the confirmed FLASH size";
    EXPECT_EQ(startMapU8(image, 0x0B8), 2);
}

TEST(CompileCommand, CancelBusyAndNoProjectStartNothing)
{
    CompileFixture f;
    compile::CompileThread thread;
    {
        FakeHost host(f);
        const auto before = host.settings;
        EXPECT_EQ(compile::runCompileCommand(host, thread, f.services), CompileStart::Cancelled);
        EXPECT_EQ(host.settings, before);
        EXPECT_EQ(host.calls, "");
    }
    {
        FakeHost host(f);
        host.hasProject = false;
        host.answer = CompileOptions{};
        EXPECT_EQ(compile::runCompileCommand(host, thread, f.services), CompileStart::NoProject);
        EXPECT_FALSE(host.offered.has_value());
    }
    {
        FakeHost host(f);
        host.answer = CompileOptions{};
        f.flags.compiling.store(1);
        EXPECT_EQ(compile::runCompileCommand(host, thread, f.services), CompileStart::Busy);
        EXPECT_FALSE(host.offered.has_value()) << "a second compile is refused before its dialog";
        f.flags.compiling.store(0);
    }
    EXPECT_EQ(f.takeLog(), "");
    EXPECT_FALSE(f.imageExists());
}

} // namespace
} // namespace qv::test
