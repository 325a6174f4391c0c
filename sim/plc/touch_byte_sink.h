#pragma once
#include <cstdint>

namespace qv::sim::plc {

// Where the touch controller's bytes go. Called on a port's monitor thread: the receiver posts
// them to the GUI thread, which owns the run-mode view.
class TouchByteSink {
public:
    virtual ~TouchByteSink() = default;
    virtual void touchByte(std::uint8_t byte) = 0;
};

} // namespace qv::sim::plc
