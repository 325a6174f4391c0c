#pragma once
// The resistive touch controller on a serial port (5-byte pen packets from 0x80 / 0x81),
// its four-point calibration and the panel point of each pen packet. The state lives in the
// project document's 44-byte touch block, so a calibration is saved with the project. Bytes
// are handled on the GUI thread; the caller turns a pen event into a press or release on the
// simulator view (the desktop pointer never moves).
#include <cstdint>
#include <functional>
#include <optional>

#include "model/document/draw_doc.h"
#include "platform/surface/geometry.h"

namespace qv::sim {

struct PenEvent {
    bool down = false;
    Point panel;          // panel pixels (0, 0 is the screen's top-left corner)
};

class TouchController {
public:
    // `block` is the project document's touch block; `width` and `height` the resolution.
    TouchController(TouchCalibration& block, int width, int height);

    std::optional<PenEvent> OnByte(std::uint8_t byte);

    std::function<void()> saveProject;   // after a finished calibration
    std::function<void()> repaint;       // the next calibration target shows

private:
    void finishCalibration();

    TouchCalibration& b_;
    int width_;
    int height_;
};

} // namespace qv::sim
