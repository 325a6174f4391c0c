#include "compiler/compile/compile_context.h"

#include "compiler/compile/compile_texts.h"

#include <algorithm>

namespace qv::compile {

CompileContext::CompileContext(const CompileInput& input, const image::NandGeometry& geometry, CompileFlags& flags,
                               std::function<void(std::uint64_t, std::uint64_t)> progress)
    : input_(input), geometry_(geometry), flags_(flags), progress_(std::move(progress))
{
}

std::optional<std::uint32_t> CompileContext::reserveHeader(std::uint32_t length)
{
    auto at = header_.reserve(length);
    if (!at)
        fail(text::kTooManyItems);
    return at;
}

void CompileContext::fail(std::string messageGbk)
{
    if (message_.empty())
        message_ = std::move(messageGbk);
    flags_.abort.store(1);
}

void CompileContext::noteRefusedControl(RefusedControl c)
{
    if (!refused_)
        refused_ = std::move(c);
}

void CompileContext::addProgress(std::uint64_t units)
{
    progressAtLeast(progressDone_ + units);
}

void CompileContext::progressAtLeast(std::uint64_t done)
{
    done = std::min(done, progressTotal_);
    if (done <= progressDone_)
        return;
    progressDone_ = done;
    if (progress_)
        progress_(progressDone_, progressTotal_);
}

} // namespace qv::compile
