#pragma once
// POSIX reads and writes may move fewer bytes than asked: repeat until all have moved.
#include <cstddef>
#include <sys/types.h>

namespace qv::sim {

// Calls `step(done)` (moves bytes from offset `done` of the transfer on, returns the count
// moved or <= 0 on an error or the end) until `length` bytes have moved; the count moved.
template <typename Step>
std::size_t transferAll(std::size_t length, Step step)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t moved = step(done);
        if (moved <= 0)
            break;
        done += static_cast<std::size_t>(moved);
    }
    return done;
}

} // namespace qv::sim
