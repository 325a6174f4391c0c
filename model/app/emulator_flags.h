#pragma once
// The 8051 emulator's shared flags. The emulator thread, the view's paint and the commands
// that hand the screen to another window all touch them, so they are atomics.
#include <atomic>

namespace qv {

// Set to 1 to ask the emulator thread to end; it clears nothing itself.
extern std::atomic<int> MC8051StopRequest;
// 1 while the emulator thread runs.
extern std::atomic<int> MC8051Running;
// Set to 1 by the emulator's wait-for-repaint service; the view's paint clears it.
extern std::atomic<int> MC8051RepaintWait;

} // namespace qv
