#include "platform/sound/sound_player.h"

#include <algorithm>
#include <cmath>

namespace qv {

int SoundProgressPercent(const SoundStatus& status)
{
    if (!(status.length > 0))
        return 100;
    const double percent = std::floor(status.position * 100.0 / status.length);
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

} // namespace qv
