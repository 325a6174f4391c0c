#include <array>

#include "sim/services/panel_service_state.h"

namespace qv::sim {
namespace {

constexpr Mc8051ServiceEntry kServices[] = {
    {1, ServeRefreshMode, false},
    {3, ServeTimer0Period, false},
    {5, ServeTextToPort1, false},
    {6, ServeTextToPort2, false},
    {16, ServeSaveVariables, false},
    {17, ServeLoadVariables, true},
    {18, ServeOpenRecordFile, false},
    {19, ServeCloseRecordFile, false},
    {20, ServeAppendRecord, false},
    {21, ServeReadRecord, true},
    {22, ServeRecordCount, false},
    {23, ServeRewriteRecord, false},
    {24, ServeDeleteRecord, false},
    {25, ServeOpenFile, false},
    {26, ServeCloseFile, false},
    {27, ServeSeekFile, false},
    {28, ServeFileSize, false},
    {29, ServeWriteFile, false},
    {30, ServeReadFile, true},
    {31, ServeDeleteFile, false},
    {32, ServeIntegerToText, false},
    {33, ServeFormatNumber, true},
    {34, ServeCopyText, true},
    {35, ServeMoveMemory, true},
    {39, ServeVariableArithmetic, true},
    {40, ServeSecondsToTime, true},
    {48, ServePolarToPoint, true},
    {65, ServeSound, false}, // marks its own sub-code 3
    {80, ServePlcWrite, false},
    {81, ServePlcBusy, false},
    {97, ServePicture, false},
    {98, ServeScaleByFloat, true},
};

} // namespace

std::span<const Mc8051ServiceEntry> mc8051ServiceTable() { return kServices; }

const Mc8051ServiceEntry* findMc8051Service(std::uint8_t code)
{
    static const std::array<const Mc8051ServiceEntry*, 256> byCode = [] {
        std::array<const Mc8051ServiceEntry*, 256> index{};
        for (const Mc8051ServiceEntry& entry : kServices)
            index[entry.code] = &entry;
        return index;
    }();
    return byCode[code];
}

} // namespace qv::sim
