#pragma once
// Protocol numbers of a serial port: the index in the settings page's protocol lists, shared
// by the document, the compiler and the simulator.
#include <span>
#include <string_view>

namespace qv::protocol {

enum Number : int {
    Free = 0,
    PanelBinary = 1,
    ResistiveTouch = 2,
    ModbusMaster = 3,
    I2C = 4,
    MitsubishiFx = 5,
    SiemensPpi = 6,
    DeltaDvp = 7,
    ModbusSlave = 8,
    FatekFb = 9,
    OmronCj = 10,
    CapacitiveTouch = 11,
    HmiVarCopy = 12,
    CustomTouch1 = 13,
    SerialForward = 14,
};

struct ProtocolInfo {
    int number;
    std::string_view listText;  // the text of the page's protocol list
    bool plcMaster;             // polls PLC elements through a mapping table
    bool touch;                 // a touch-screen controller
    bool hasLength;             // has a length field and other settings
};

std::span<const ProtocolInfo> AllProtocols();
// nullptr outside the list.
const ProtocolInfo* FindProtocol(int number);
bool IsPlcMaster(int number);
bool IsTouch(int number);
bool HasLengthSettings(int number);

} // namespace qv::protocol
