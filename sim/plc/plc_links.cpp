#include "sim/plc/plc_links.h"

#include <algorithm>
#include <fmt/format.h>

#include "sim/plc/protocols/modbus_pdu.h"
#include "config/settings/protocol_numbers.h"

namespace qv::sim::plc {
namespace {

using namespace qv::protocol;

constexpr std::uint32_t kTimerStop = 0xFFFF;
constexpr std::uint32_t kDelayStop = 255;
constexpr std::uint32_t kAckStop = 0xFFFFFFFF;
constexpr int kFailuresShown = 3;

std::uint32_t addSaturated(std::uint32_t v, std::uint32_t units, std::uint32_t stop)
{
    return v >= stop || stop - v < units ? stop : v + units;
}

bool sameTarget(const PlcMapRecord& a, const PlcMapRecord& b)
{
    return a.station == b.station && a.elementType == b.elementType && a.elementNumber == b.elementNumber &&
           a.count == b.count && a.hmiAddress == b.hmiAddress;
}

} // namespace

PlcLinks::PlcLinks(PlcProtocolBlock& block, VarBank& live, VarBank& shown, PlcPortIo& io, PlcEvents& events)
    : block_(block), live_(live), shown_(shown), io_(io), events_(events)
{
    std::scoped_lock guard(links_[0].lock, links_[1].lock);
    resetLocked();
}

void PlcLinks::setSettings(const PlcSettings& settings)
{
    std::scoped_lock guard(links_[0].lock, links_[1].lock, settingsLock_);
    settings_ = settings;
}

PlcSettings PlcLinks::settings() const
{
    std::lock_guard guard(settingsLock_);
    return settings_;
}

int PlcLinks::portOfCom(int com) const
{
    const PlcSettings s = settings();
    for (int port = 1; port <= 2; ++port)
        if (s.com[static_cast<std::size_t>(port - 1)] == com && s.connected[static_cast<std::size_t>(port - 1)])
            return port;
    return 0;
}

void PlcLinks::resetLocked()
{
    for (int n = 1; n <= 2; ++n) {
        Link& l = link(n);
        const std::uint16_t first = block_.current(n);
        l.state = Idle;
        l.current = first < block_.count() ? first : kNoRecord;
        l.timer = l.delay = l.ack = 0;
        l.noResponse = 0;
        l.inflight = Inflight::None;
        l.request.clear();
        l.hasSlot = false;
        l.queue.clear();
        l.pollTurn = false;
        l.windowShown = false;
        l.rx = ReplyBuffer{};
        l.panel = PanelRx{};
    }
    std::lock_guard guard(clockLock_);
    lastMs_ = -1;
    remainderMs_ = 0;
}

std::uint8_t PlcLinks::pollState(int n)
{
    std::lock_guard guard(link(n).lock);
    return link(n).state;
}

std::uint16_t PlcLinks::currentRecord(int n)
{
    std::lock_guard guard(link(n).lock);
    return link(n).current;
}

void PlcLinks::tick(std::int64_t nowMs, int screen)
{
    std::uint32_t units = 0;
    {
        std::lock_guard guard(clockLock_);
        if (lastMs_ >= 0 && nowMs >= lastMs_) {
            const std::int64_t elapsed = nowMs - lastMs_ + remainderMs_;
            units = static_cast<std::uint32_t>(std::min<std::int64_t>(elapsed / 5, kAckStop));
            remainderMs_ = elapsed % 5;
        }
        lastMs_ = nowMs;
    }
    const PlcSettings s = settings();
    for (int n = 1; n <= 2; ++n) {
        std::lock_guard guard(link(n).lock);
        link(n).ack = addSaturated(link(n).ack, units, kAckStop);
        if (const MasterProtocol* master = FindMasterProtocol(s.ports[static_cast<std::size_t>(n - 1)].protocol))
            tickLink(n, *master, units, screen);
    }
}

void PlcLinks::tickLink(int n, const MasterProtocol& master, std::uint32_t units, int screen)
{
    Link& l = link(n);
    l.delay = addSaturated(l.delay, units, kDelayStop);
    if (l.state == Sent || l.state == DataAsked || l.state == WriteSent || l.state == WriteDataAsked)
        l.timer = addSaturated(l.timer, units, kTimerStop);

    switch (l.state) {
    case Idle:
        // A failed write takes turns with the polls, so one refused write cannot stop the link.
        if (l.hasSlot && !(l.pollTurn && l.current != kNoRecord)) {
            serveWrite(n, master, l);
            return;
        }
        l.pollTurn = false;
        if (l.current == kNoRecord || !chooseRecord(n, l, screen))
            return;
        sendRead(n, master, l);
        return;
    case Sent:
    case DataAsked:
    case WriteSent:
    case WriteDataAsked:
        if (l.inflight == Inflight::Write) {
            if (l.timer >= l.asked.timeout5) {
                l.state = Idle;
                l.inflight = Inflight::None;
                writeFailed(n, l);
                countNoResponse(n, l);
            }
        } else if (l.timer >= l.asked.timeout5) {
            advance(n, l);
            l.state = Idle;
            l.inflight = Inflight::None;
            countNoResponse(n, l);
        }
        return;
    case Done:
    case DataDone:
        advance(n, l);
        l.state = Idle;
        l.delay = 0;
        clearNoResponse(n, l);
        return;
    case ReadAck:
    case WriteAck:
        if (l.ack >= l.asked.ackDelay5) {
            l.state = l.state == ReadAck ? DataAsked : WriteDataAsked;
            l.timer = 0;
            send(n, l, master.askData ? master.askData(l.asked.station) : Frame{});
        }
        return;
    default: l.state = Idle; return;
    }
}

std::optional<std::uint8_t> PlcLinks::station(std::uint8_t own) const
{
    const PlcSettings s = settings();
    if (!s.dynamicStation)
        return own;
    const auto byte = live_.readByte(std::int64_t{s.stationOffset} + own);
    if (!byte || (*byte == 0 && s.silentAtZero))
        return std::nullopt;
    return *byte;
}

std::optional<std::uint8_t> PlcLinks::ownAddress(int n) const
{
    return station(static_cast<std::uint8_t>(settings().ports[static_cast<std::size_t>(n - 1)].deviceAddress));
}

void PlcLinks::advance(int n, Link& l)
{
    const int count = block_.count();
    if (l.current == kNoRecord || count == 0) {
        l.current = kNoRecord;
        return;
    }
    int index = l.current;
    for (int step = 0; step < count; ++step) {
        index = index + 1 >= count ? 0 : index + 1;
        if (block_.record(index).port == n) {
            l.current = static_cast<std::uint16_t>(index);
            return;
        }
    }
    l.current = kNoRecord;
}

bool PlcLinks::chooseRecord(int n, Link& l, int screen)
{
    const int count = block_.count();
    if (l.current >= count) {
        l.current = kNoRecord;
        return false;
    }
    for (int step = 0; step < count && l.current != kNoRecord; ++step) {
        const PlcMapRecord rec = block_.record(l.current);
        if (rec.port == n && (rec.screen == 0xFF || rec.screen == screen))
            return true;
        const std::uint16_t before = l.current;
        advance(n, l);
        l.delay = 0;
        if (l.current == kNoRecord || l.current <= before)
            return false; // wrapped: the next tick goes on
    }
    return false;
}

void PlcLinks::sendRead(int n, const MasterProtocol& master, Link& l)
{
    const PlcMapRecord rec = block_.record(l.current);
    if (rec.commDelay5 > l.delay)
        return;
    if (rec.writeOnly()) {
        l.state = Done;
        Slot s;
        s.rec = rec;
        s.rec.port = static_cast<std::uint8_t>(n);
        s.function = master.writeFunctionOf(rec.elementType, rec.count, settings().singleRegisterFunction6);
        queueSlot(n, l, s);
        return;
    }
    const auto st = station(rec.station);
    if (!st) {
        l.state = Done; // skipped without a failure
        return;
    }
    l.state = Sent;
    l.timer = 0;
    l.inflight = Inflight::Read;
    l.asked = rec;
    l.askedRequest = PlcRequest{*st, rec.elementType, rec.elementNumber, rec.count, 0, -1};
    send(n, l, master.read(l.askedRequest));
}

void PlcLinks::send(int n, Link& l, Frame frame)
{
    l.rx = ReplyBuffer{};
    l.request = std::move(frame);
    if (!l.request.empty())
        io_.send(n, l.request, true);
}

bool PlcLinks::serveWrite(int n, const MasterProtocol& master, Link& l)
{
    const Slot& s = l.slot;
    const auto st = station(s.rec.station);
    PlcRequest req{st.value_or(0), s.rec.elementType, s.rec.elementNumber, s.rec.count, s.function, s.bit};
    std::vector<std::uint8_t> data(master.writeLength(req));
    std::string refusal;
    Frame frame;
    if (st && live_.readBytes(s.rec.hmiAddress, data))
        frame = BuildWrite(master.number, req, data, &refusal);
    else if (st)
        refusal = fmt::format("PLC write leaves the variable memory (address {})", s.rec.hmiAddress);
    if (frame.empty()) {
        if (!refusal.empty())
            events_.reportLine(std::move(refusal));
        writeDone(l); // dropped: the next queued change takes the slot
        return false;
    }
    l.state = master.writeWaits;
    l.timer = 0;
    l.inflight = Inflight::Write;
    l.asked = s.rec;
    l.askedRequest = req;
    send(n, l, std::move(frame));
    return true;
}

void PlcLinks::writeDone(Link& l)
{
    l.inflight = Inflight::None;
    if (!l.hasSlot)
        return;
    if (!l.queue.empty()) {
        l.slot = l.queue.front();
        l.queue.pop_front();
    } else {
        l.hasSlot = false;
    }
    l.pollTurn = false;
}

void PlcLinks::writeFailed(int n, Link& l)
{
    l.inflight = Inflight::None;
    if (!l.hasSlot)
        return;
    l.slot.failed = true;
    l.pollTurn = true;
    if (!l.slot.reported) {
        l.slot.reported = true;
        events_.reportLine(fmt::format("{}{}: PLC station {}, element type {} number {}", "串口", n, l.slot.rec.station,
                                       l.slot.rec.elementType, l.slot.rec.elementNumber) +
                           fmt::format(" {}", "写入失败"));
    }
}

bool PlcLinks::queueSlot(int n, Link& l, const Slot& s)
{
    const auto same = [&](const Slot& o) { return sameTarget(o.rec, s.rec) && o.function == s.function && o.bit == s.bit; };
    if (!l.hasSlot) {
        l.slot = s;
        l.hasSlot = true;
        return true;
    }
    // A newer value for the same element replaces the waiting one: the frame reads the bank.
    if (same(l.slot) || std::any_of(l.queue.begin(), l.queue.end(), same))
        return true;
    if (l.queue.size() >= kWriteQueueSize) {
        events_.reportLine(fmt::format("{}{} {}", "串口", n, "PLC写入队列已满，修改未发送"));
        return false;
    }
    l.queue.push_back(s);
    return true;
}

bool PlcLinks::isSlotBusy(int n)
{
    std::lock_guard guard(link(n).lock);
    return link(n).hasSlot;
}

void PlcLinks::countNoResponse(int n, Link& l)
{
    if (++l.noResponse < kFailuresShown)
        return;
    l.noResponse = 0;
    l.windowShown = true;
    events_.noResponse(n, true);
}

void PlcLinks::clearNoResponse(int n, Link& l)
{
    l.noResponse = 0;
    if (l.windowShown) {
        l.windowShown = false;
        events_.noResponse(n, false);
    }
}

bool PlcLinks::queueRegisterWrite(int n, std::uint8_t stationNumber, std::uint8_t count, std::uint16_t registerAddress,
                                  std::uint16_t memoryAddress)
{
    if (n != 1 && n != 2)
        return false;
    const PlcSettings s = settings();
    std::lock_guard guard(link(n).lock);
    Link& l = link(n);
    if (s.ports[static_cast<std::size_t>(n - 1)].protocol != ModbusMaster || l.hasSlot || count == 0)
        return false;
    Slot slot;
    slot.rec.station = stationNumber;
    slot.rec.elementType = modbus::FC_READ_HOLDING_REGISTERS;
    slot.rec.elementNumber = registerAddress;
    slot.rec.count = count;
    slot.rec.hmiAddress = memoryAddress;
    slot.rec.port = static_cast<std::uint8_t>(n);
    // The port's time-out: the first record of the link holds the project's link settings.
    slot.rec.timeout5 = 200;
    if (l.current != kNoRecord && l.current < block_.count())
        slot.rec.timeout5 = block_.record(l.current).timeout5;
    slot.function = modbus::WriteFunction(slot.rec.elementType, count, s.singleRegisterFunction6);
    return queueSlot(n, l, slot);
}

} // namespace qv::sim::plc
