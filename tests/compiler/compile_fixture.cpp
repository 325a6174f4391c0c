#include "tests/compiler/compile_fixture.h"

#include "platform/files/atomic_file.h"

#include <cstring>
#include <stdexcept>
#include <gtest/gtest.h>

namespace qv::test {
std::vector<compile::WindowSource> windowsNamed(std::initializer_list<const char*> names)
{
    std::vector<compile::WindowSource> out;
    for (const char* n : names)
        out.push_back({n, true, 3});
    return out;
}

void ScriptedScreenCompiler::compileWindow(compile::CompileContext& ctx, const compile::WindowSource& w,
                                           compile::WindowKind)
{
    const int index = static_cast<int>(compiled.size());
    compiled.push_back(w.fileName);
    if (index == abortAtWindow && flags)
        flags->abort.store(1);
    if (index == failAtWindow)
        ctx.fail(failMessage);
    if (index == throwAtWindow)
        throw std::out_of_range("item table index");
    if (ctx.aborted())
        return;
    const std::uint32_t n = index < static_cast<int>(recordBytes.size()) ? recordBytes[index] : 0;
    if (n == 0)
        return;
    if (auto at = ctx.reserveHeader(n))
        std::memset(ctx.header().bytes().data() + *at, index + 1, n);
}

CompileFixture::CompileFixture() : input(newProjectInput(dir.path()))
{
    services.reports = &reports;
    services.flags = &flags;
    services.screens = &empty;
    services.messageBox = [this](const std::string& text) { boxes_.push_back(text); };
    services.now = [this] { return clock; };
    services.started = clock;
}

compile::CompileOutcome CompileFixture::compile(compile::ScreenCompiler* screens)
{
    services.screens = screens ? screens : &empty;
    auto outcome = compile::runCompile(input, services);
    drain();
    return outcome;
}

void CompileFixture::drain()
{
    reports.drain([this](Report& r) {
        if (auto* t = std::get_if<ReportText>(&r))
            log_ += t->gbk;
        else if (std::holds_alternative<ReportClearOutput>(r))
            log_.clear();
        else if (auto* p = std::get_if<ReportProgress>(&r))
            progress_ = p->percent;
        else if (auto* c = std::get_if<ReportCloseBox>(&r))
            closeBox_ = c->enabled;
        else if (auto* call = std::get_if<ReportCall>(&r))
            call->run();
    });
}

std::string CompileFixture::takeLog()
{
    drain();
    return std::exchange(log_, {});
}

std::string CompileFixture::readImage() const
{
    std::string bytes;
    EXPECT_TRUE(readWholeFile(imagePath(), bytes));
    return bytes;
}

bool CompileFixture::imageExists() const { return std::filesystem::exists(imagePath()); }

void writeUserCode(const std::filesystem::path& project, const std::string& text)
{
    std::filesystem::create_directories(project / "MC8051");
    ASSERT_TRUE(writeFileAtomically(project / "MC8051" / "MC8051.hex", text));
}

} // namespace qv::test
