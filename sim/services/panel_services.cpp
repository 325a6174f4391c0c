#include "sim/services/panel_services.h"

#include <algorithm>

#include "model/app/emulator_paint_gate.h"
#include "sim/services/mc8051_request.h"

namespace qv::sim {

Mc8051PanelServices::Mc8051PanelServices(Mc8051PanelContext context) { state_.context = std::move(context); }

void Mc8051PanelServices::resetForRun()
{
    ring_.clear();
    for (TextOutBuffer& buffer : state_.text)
        buffer = TextOutBuffer{};
    state_.pass = 0;
    soundCheckedAt_ = 0;
    state_.disks.closeAll();
}

void Mc8051PanelServices::serveRequest(Mc8051Cpu& cpu, std::uint64_t pass)
{
    if (!state_.context.live)
        return;
    state_.pass = pass;
    Mc8051Request request(cpu, *state_.context.live);
    const Mc8051ServiceEntry* entry = findMc8051Service(request.code());
    if (!entry)
        return;
    entry->run(state_, request);
    if (entry->setsDirty && state_.context.memoryDirty)
        state_.context.memoryDirty->store(1);
}

std::uint64_t Mc8051PanelServices::checksDueAt() const
{
    std::uint64_t due = kNever;
    if (state_.context.media && state_.context.media->soundInProgress())
        due = soundCheckedAt_ + Mc8051MediaServices::kSoundCheckPasses;
    for (const TextOutBuffer& buffer : state_.text) {
        if (buffer.length > kTextFlushLength)
            return 0;
        if (buffer.length > 0)
            due = std::min(due, buffer.lastAppend + kTextFlushPasses);
    }
    return due;
}

void Mc8051PanelServices::afterChecks(Mc8051Cpu&, std::uint64_t pass)
{
    if (state_.context.media && state_.context.media->soundInProgress()
        && pass >= soundCheckedAt_ + Mc8051MediaServices::kSoundCheckPasses) {
        state_.context.media->checkSoundProgress(pass - soundCheckedAt_);
        soundCheckedAt_ = pass;
    }
    for (int i = 0; i < 2; ++i) {
        const TextOutBuffer& buffer = state_.text[static_cast<std::size_t>(i)];
        if (buffer.length > kTextFlushLength || (buffer.length > 0 && pass - buffer.lastAppend >= kTextFlushPasses))
            flushText(i);
    }
}

void Mc8051PanelServices::flushText(int index)
{
    TextOutBuffer& buffer = state_.text[static_cast<std::size_t>(index)];
    if (state_.context.textPorts)
        state_.context.textPorts->writeText(index + 1, std::span(buffer.bytes.data(), static_cast<std::size_t>(buffer.length)));
    buffer.length = 0;
}

void Mc8051PanelServices::onStopRequested()
{
    (state_.context.paintGate ? *state_.context.paintGate : MC8051PaintGate()).releaseForStop();
}

void Mc8051PanelServices::onStop()
{
    state_.disks.closeAll();
    if (state_.context.media)
        state_.context.media->CloseSound();
}

} // namespace qv::sim
