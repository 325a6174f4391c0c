// Bytes of the project's serial ports, on their monitor threads. The simulator's protocol
// parsers and the serial monitor ring take them once they exist; until then a byte is
// dropped here.
#include "model/app/editor_app.h"

namespace qv {

int CEditorApp::OnSerialByte(std::uint8_t /*byte*/, int /*port*/) { return 0; }

} // namespace qv
