#pragma once
// The two PLC links of the simulated panel: the communication tick (poll states, record and
// station choice, time-outs in 5 ms units of the elapsed clock time), the replies the ports'
// monitor threads feed to the port protocol's driver (sim/plc/protocols), the Modbus slave's
// answers, the panel's own protocol, and the write requests that run-time changes queue.
// The drivers, found in one table (FindMasterProtocol), build frames and read replies; the
// links keep the scheduling, the locks and the write queue. One lock per link guards its
// state, record index, write slot, queue and receive machines; the request in flight is kept
// apart from the bytes being received.
#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "model/vars/var_bank.h"
#include "sim/plc/plc_block.h"
#include "sim/plc/plc_frames.h"
#include "sim/plc/protocols/master_protocol.h"

namespace qv::sim::plc {

// Where frames leave: the project document's serial port 1 or 2, only while it is connected.
class PlcPortIo {
public:
    virtual ~PlcPortIo() = default;
    // `discardInput`: unread input is dropped before the bytes go out (master requests).
    virtual void send(int port, std::span<const std::uint8_t> bytes, bool discardInput) = 0;
};

// What the links tell the rest of the simulator. Calls come from the tick (GUI thread) and from
// the monitor threads; an implementation posts GUI work to the GUI thread.
class PlcEvents {
public:
    virtual ~PlcEvents() = default;
    // Three failed polls in a row (open the link's no-response window), or a good one (close it).
    virtual void noResponse(int link, bool show) {}
    // A panel-protocol write changed bytes in [address, address + length) (monitor thread).
    virtual void panelWrite(int link, std::uint32_t address, std::uint32_t length) {}
    // A byte of protocol 2 for the touch controller (monitor thread).
    virtual void touchByte(std::uint8_t byte) {}
    // A line for the output bar (GBK, without line end).
    virtual void reportLine(std::string line) {}
};

struct PortSettings {
    int protocol = 0;
    int maxLength = 256;        // "最大长度(字节)"
    int deviceAddress = 2;      // "设备地址:"
};

struct PlcSettings {
    std::array<PortSettings, 2> ports;
    bool dynamicStation = false;     // "从机使用动态设备地址"
    std::int32_t stationOffset = 0;  // "地址偏移：" (offset + station outside the bank: not sent)
    bool silentAtZero = false;       // "从机设备地址为0时不通讯"
    std::uint16_t slaveRegisterBase = 0; // "寄存器首地址："
    std::uint16_t slaveHmiBase = 0;      // "HMI变量首地址："
    bool uploadOnChange = false;     // "HMI被修改时自动上传给用户"
    // Bit 0 of the serial option word: one Modbus register is written with the single-register
    // function, for peers that write single registers with it only.
    bool singleRegisterFunction6 = true;
    std::array<int, 2> com{1, 2};        // COM numbers of serial port 1 and 2
    std::array<bool, 2> connected{false, false};
    // The bytes of the screen and sub-window numbers (-1: none). Port 2's panel writes show
    // every byte they write but these: the GUI thread copies them when it switches, which it
    // does only while the shown byte still differs.
    std::array<std::int64_t, 2> switchAddresses{-1, -1};
};

inline constexpr std::size_t kFrameBufferSize = 0x10000;
inline constexpr std::size_t kWriteQueueSize = 16;

class PlcLinks {
public:
    PlcLinks(PlcProtocolBlock& block, VarBank& live, VarBank& shown, PlcPortIo& io, PlcEvents& events);

    // Takes the project's settings (any thread; every link's lock is taken).
    void setSettings(const PlcSettings& settings);
    PlcSettings settings() const;

    // Runs `rebuild` (which refills the block) with both links locked, then starts both links
    // afresh from the block's first records.
    template <class Fn>
    void rebuild(Fn&& rebuildBlock)
    {
        std::scoped_lock guard(links_[0].lock, links_[1].lock);
        rebuildBlock();
        resetLocked();
    }

    // The communication tick: `nowMs` from a monotonic clock, `screen` the index of the shown
    // screen. Time advances by the elapsed 5 ms units (the remainder is kept).
    void tick(std::int64_t nowMs, int screen);

    // A received byte of serial port `port` (1 or 2) for its protocol's parser.
    void onByte(int port, std::uint8_t byte);
    // The serial port (1 or 2) a byte of COM `com` belongs to: the connected port with that
    // COM number, port 1 first; 0 for none.
    int portOfCom(int com) const;

    // A run-time change (address, length or bit | 0x80000000, the new bytes), before it is
    // stored: a panel-protocol frame or a queued PLC write of each port. `screen` as in tick.
    void onVarWrite(std::int64_t address, std::uint32_t length, std::span<const std::uint8_t> data, int screen);

    // A write request of the user code (Modbus master only): `count` registers at
    // `registerAddress` of `station` from `memoryAddress`. False when the slot is busy or the
    // port is not a Modbus master.
    bool queueRegisterWrite(int link, std::uint8_t station, std::uint8_t count, std::uint16_t registerAddress,
                            std::uint16_t memoryAddress);
    bool isSlotBusy(int link);

    // The panel-protocol write frame of `port` for (address, length or bit | 0x80000000) with
    // the bytes of `data`; empty when the range leaves the bank.
    std::vector<std::uint8_t> panelWriteFrame(int port, std::uint32_t address, std::uint32_t length,
                                              std::span<const std::uint8_t> data);
    void SendPanelWriteFrame(int port, std::uint32_t address, std::uint32_t length, std::span<const std::uint8_t> data);

    // For the tests: the link's poll state and current record.
    std::uint8_t pollState(int link);
    std::uint16_t currentRecord(int link);

private:
    struct Slot {
        PlcMapRecord rec;          // station, type, element, count, HMI address, times
        std::uint8_t function = 0; // the protocol's write function, if it has one
        int bit = -1;
        bool failed = false;       // the last try failed (its next turn follows a poll)
        bool reported = false;
    };
    struct PanelRx {
        int state = 0;
        std::uint8_t command = 0;
        std::uint32_t address = 0;
        std::uint32_t length = 0;
        std::uint32_t sum = 0;
        std::uint32_t check = 0;
        std::vector<std::uint8_t> data;
    };
    enum class Inflight { None, Read, Write };
    struct Link {
        std::mutex lock;
        std::uint8_t state = Idle;
        std::uint16_t current = kNoRecord;
        std::uint32_t timer = 0;        // reply timer, 5 ms units, stops at 0xFFFF
        std::uint32_t delay = 0;        // poll delay counter, stops at 255
        std::uint32_t ack = 0;          // acknowledge counter
        int noResponse = 0;
        Inflight inflight = Inflight::None;
        PlcMapRecord asked;             // the record or slot the frame in flight came from
        PlcRequest askedRequest;
        Frame request;                  // the frame in flight
        bool hasSlot = false;
        Slot slot;
        std::deque<Slot> queue;
        bool pollTurn = false;          // a failed write waits for one poll first
        bool windowShown = false;
        ReplyBuffer rx;
        PanelRx panel;
    };

    Link& link(int n) { return links_[static_cast<std::size_t>(n - 1)]; }
    void resetLocked();
    void tickLink(int n, const MasterProtocol& master, std::uint32_t units, int screen);
    bool serveWrite(int n, const MasterProtocol& master, Link& l);
    void sendRead(int n, const MasterProtocol& master, Link& l);
    void advance(int n, Link& l);
    bool chooseRecord(int n, Link& l, int screen);
    std::optional<std::uint8_t> station(std::uint8_t own) const;
    void countNoResponse(int n, Link& l);
    void clearNoResponse(int n, Link& l);
    void writeDone(Link& l);
    void writeFailed(int n, Link& l);
    bool queueSlot(int n, Link& l, const Slot& s);
    void send(int n, Link& l, Frame frame);

    // Receive machines (the link's lock held).
    void parse(int n, Link& l, std::uint8_t byte);
    // Applies what a master protocol's byte completed to the request of its kind in flight.
    void takeReply(int n, Link& l, ReplyEvent event);
    void parseSlave(int n, Link& l, std::uint8_t b, std::size_t max);
    void parsePanel(int n, Link& l, std::uint8_t b, std::size_t max);
    // Stores a read reply of exactly the asked length at the asked HMI address (slot free),
    // then moves the poll state to `next`; a reply of another length is dropped.
    void storeRead(Link& l, std::span<const std::uint8_t> data, std::uint8_t next);
    std::optional<std::uint8_t> ownAddress(int n) const;
    void showPanelWrite(std::uint32_t address, std::span<const std::uint8_t> data);

    PlcProtocolBlock& block_;
    VarBank& live_;
    VarBank& shown_;
    PlcPortIo& io_;
    PlcEvents& events_;
    std::array<Link, 2> links_;
    mutable std::mutex settingsLock_;
    PlcSettings settings_;
    std::mutex clockLock_;
    std::int64_t lastMs_ = -1;
    std::int64_t remainderMs_ = 0;
};

} // namespace qv::sim::plc
