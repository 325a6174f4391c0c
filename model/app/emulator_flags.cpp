#include "model/app/emulator_flags.h"

namespace qv {

std::atomic<int> MC8051StopRequest{0};
std::atomic<int> MC8051Running{0};
std::atomic<int> MC8051RepaintWait{0};

} // namespace qv
