#pragma once
// A PLC master protocol as the links drive it: its driver builds a read and a write, takes the
// reply one byte at a time, and names the poll states it listens in. One driver per protocol,
// in one table; the links keep the scheduling, the locks and the write queue.
#include <cstdint>
#include <span>
#include <vector>

#include "sim/plc/plc_block.h"
#include "sim/plc/plc_frames.h"

namespace qv::sim::plc {

// Poll states of a link.
enum PollState : std::uint8_t {
    Idle = 0, Sent = 1, Done = 2, ReadAck = 3, DataAsked = 4, DataDone = 5, WriteSent = 6, WriteAck = 7, WriteDataAsked = 8,
};

// A set of poll states (MasterProtocol::listensIn).
template <class... States>
constexpr std::uint16_t PollStates(States... states)
{
    return static_cast<std::uint16_t>(((1u << states) | ...));
}

// The receive machine of a link, filled by its protocol's driver.
struct ReplyBuffer {
    std::vector<std::uint8_t> bytes;
    int state = 0;
    std::size_t expect = 0;
};

// What a driver sees of the request in flight while a byte arrives.
struct AskedRequest {
    std::uint8_t state;          // the link's poll state
    const PlcMapRecord& record;  // the record or write slot the request came from
    const PlcRequest& request;   // what the frame was built from (the station asked)
    const Frame& frame;          // the bytes sent
};

// What a byte completed. The links apply a read's or a write's event only while a request of
// that kind is in flight.
struct ReplyEvent {
    enum Kind : std::uint8_t {
        None,
        ReadData,     // the asked read's data for the bank (words low byte first)
        ReadSkipped,  // the PLC refuses the element: the read ends without a failure
        Acknowledged, // the request was taken; its data are asked for after the acknowledge delay
        WriteDone,
        WriteRefused,
    };
    Kind kind = None;
    std::vector<std::uint8_t> data;

    ReplyEvent() = default;
    ReplyEvent(Kind k, std::vector<std::uint8_t> bytes = {}) : kind(k), data(std::move(bytes)) {}
};

// How an element type sits in the bank, for writing run-time changes back to the PLC.
enum class Layout {
    None,      // not written
    Bits,      // one bit per element from the record's element
    ByteBits,  // bits read in whole bytes: the record's first byte starts at a multiple of eight
    OctalBits, // bits numbered in octal digits, read by octal groups of eight
    Registers, // two bytes per element
    Elements,  // `width` bytes per element, written one element at a time
};
struct Writable {
    Layout layout = Layout::None;
    int width = 0; // bytes per element (Elements)
};

struct MasterProtocol {
    int number; // the port's protocol number
    // Empty when the element type has no read, or no write form (`data` holds writeLength bytes).
    Frame (*read)(const PlcRequest& request);
    Frame (*write)(const PlcRequest& request, std::span<const std::uint8_t> data);
    // The bytes a read stores in the bank, and the bytes a write sends from it.
    std::size_t (*readLength)(const PlcRequest& request);
    std::size_t (*writeLength)(const PlcRequest& request);
    ReplyEvent (*takeByte)(ReplyBuffer& rx, const AskedRequest& asked, std::uint8_t byte, std::size_t max);
    std::uint16_t listensIn; // PollStates(...) whose bytes go to takeByte; the others clear the buffer
    PollState writeWaits;    // the state a sent write waits for its answer in
    Writable (*writable)(int type);
    // The function byte of a write of `count` elements (null: the protocol has none).
    std::uint8_t (*writeFunction)(int type, int count, bool singleRegister);
    // The request for the data of an acknowledged request (null: replies come unasked).
    Frame (*askData)(std::uint8_t station);

    bool listens(std::uint8_t state) const { return state < 16 && ((listensIn >> state) & 1); }
    std::uint8_t writeFunctionOf(int type, int count, bool singleRegister) const
    {
        return writeFunction ? writeFunction(type, count, singleRegister) : 0;
    }
};

// nullptr for a protocol that does not poll a PLC as master.
const MasterProtocol* FindMasterProtocol(int number);

// The drivers, each in the file of its protocol.
extern const MasterProtocol kModbusRtuMaster;
extern const MasterProtocol kMitsubishiFxMaster;
extern const MasterProtocol kSiemensPpiMaster;
extern const MasterProtocol kDeltaDvpMaster;
extern const MasterProtocol kFatekFbMaster;
extern const MasterProtocol kOmronFinsMaster;

} // namespace qv::sim::plc
