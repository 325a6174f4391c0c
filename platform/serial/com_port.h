#pragma once
// A serial port opened by its COM number, with one monitor thread that hands every received
// byte and the asked-for line events to an owner and to the application's byte sink, and
// sends queued writes. Used by the project document's two ports, the simulator, the serial
// debugging dialog and Tessolin's instruction test.
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qv {

// Event-mask bits the callers pass to InitPort (the online link passes RxChar | RxFlag == 3).
namespace CommEvent {
inline constexpr std::uint32_t RxChar = 0x0001;  // received bytes are read and delivered
inline constexpr std::uint32_t RxFlag = 0x0002;  // event-character notice after each receive pass
inline constexpr std::uint32_t Cts = 0x0008;
inline constexpr std::uint32_t Break = 0x0040;
inline constexpr std::uint32_t Err = 0x0080;
inline constexpr std::uint32_t Ring = 0x0100;
} // namespace CommEvent

// What the monitor thread tells the owner; the values are the message numbers (offsets
// from the first user message) the owners' handlers dispatch on.
enum class PortNotice : int { Break = 1, Cts = 2, Err = 4, Ring = 5, Byte = 7, RxFlag = 8 };

// The owner of a port. Every call comes on the port's monitor thread and must return
// promptly: post the work to the GUI thread, never wait for it (closing the port waits
// for the monitor thread, so an owner that waits for the GUI thread would deadlock it).
class CComPortOwner {
public:
    virtual ~CComPortOwner() = default;
    virtual void OnPortByte(unsigned char byte, int port) {}
    virtual void OnPortNotice(PortNotice notice, int port) {}
    // The device failed or went away (unplugged, peer hung up). The monitor has stopped
    // itself; the port stays open until its owner calls ClosePort or InitPort. Never call
    // ClosePort from inside this call: post it to the GUI thread.
    virtual void OnPortLost(int port, const std::string& reason) {}
};

// The application's received-byte handler, called on the monitor thread after the owner
// has had the byte. Ports deliver to the sink installed here unless told not to.
class SerialByteSink {
public:
    virtual ~SerialByteSink() = default;
    virtual int OnSerialByte(unsigned char byte, int port) = 0;
};
// Installs (or with nullptr removes) the application's sink. Remove it only after every
// port that may deliver to it is closed.
void SetApplicationByteSink(SerialByteSink* sink);
SerialByteSink* ApplicationByteSink();

// Why a port could not be opened or configured.
enum class PortError {
    None,
    NotMapped,     // the COM number has no device (invalid number or not in the test map)
    Missing,       // the device file does not exist or has no hardware behind it
    Busy,          // another program (or another port object) holds it
    NoPermission,  // e.g. the user is not in the device's group (dialout)
    NotSerial,     // the path is not a terminal device
    BadSettings,   // baud rate, parity, data bits or stop bits the line refuses
    Other,
};

enum class WriteResult {
    Queued,    // the whole write is queued and will be sent in order
    TooLong,   // longer than the write-buffer size given to InitPort: nothing queued
    QueueFull, // the line is not draining: nothing queued
    NotOpen,
};

// Whether unread input is dropped just before the bytes go out. The PLC master protocols
// ask for it (a late reply to an earlier request must not be taken for the answer to this
// one); every other writer keeps its input.
enum class WriteInput { Keep, Discard };

class CComPort {
public:
    CComPort();
    ~CComPort();
    CComPort(const CComPort&) = delete;
    CComPort& operator=(const CComPort&) = delete;

    // Stops a running monitor, closes a port already open, opens COM<port> through the COM
    // resolver (exclusively) and sets the line: raw bytes, `baud`, `parity` ('N', 'O', 'E',
    // 'M', 'S'), `dataBits` 5..8, `stopBits` 1 or 2, no flow control, RTS and DTR on.
    // `eventMask` is a set of CommEvent bits, `writeBufferSize` the longest single write.
    // Returns false when the port cannot be opened or configured; then nothing is left open
    // and LastError()/LastErrorText() say why. The monitor is not started: StartMonitoring.
    bool InitPort(CComPortOwner* owner, int port, int baud, char parity, int dataBits, int stopBits,
                  std::uint32_t eventMask, int writeBufferSize);

    // Starts the monitor thread of an open port; false when the port is not open or the
    // thread cannot be created. Starting a running monitor is a no-op returning true.
    bool StartMonitoring();

    // Queues a copy of the bytes; the monitor thread sends queued writes whole and in order.
    // Writes queued while the monitor is stopped go out when it starts. Safe from any thread.
    WriteResult WriteToPort(const unsigned char* bytes, int length, WriteInput input = WriteInput::Keep);

    // Stops the monitor (signal, then join) and closes the device; a no-op when closed.
    // Returns within about a second even while the peer floods the line. Not from the
    // monitor thread's own callbacks.
    void ClosePort();

    // Ports created by Tessolin deliver to their owner only.
    void SetDeliverToApplication(bool deliver) { m_bDeliverToApp.store(deliver); }

    bool IsOpen() const;
    bool IsMonitoring() const;
    int PortNumber() const { return m_nPortNr; }
    const std::string& DevicePath() const { return m_strDevice; } // host path, UTF-8
    PortError LastError() const { return m_lastError; }
    const std::string& LastErrorText() const { return m_strLastError; } // UTF-8, for logs

private:
    struct PendingWrite {
        std::vector<unsigned char> bytes;
        WriteInput input = WriteInput::Keep;
    };
    enum class PassEnd { Drained, Stop, Lost };

    bool Fail(PortError error, std::string text);
    void CloseDescriptors();
    void MonitorThread();
    PassEnd ReceivePass(std::string& lostReason);
    PassEnd SendPending(std::string& lostReason, bool& blocked);
    void SendNotices();

    // Set on the controlling thread while no monitor runs; read by the monitor.
    CComPortOwner* m_pOwner = nullptr;
    int m_nPortNr = 0;
    std::uint32_t m_dwCommEvents = 0;
    std::size_t m_nWriteBufferSize = 0;
    std::atomic<bool> m_bDeliverToApp{true}; // read by the monitor thread
    std::string m_strDevice;
    PortError m_lastError = PortError::None;
    std::string m_strLastError;

    int m_fd = -1;       // the device, non-blocking
    int m_stopFd = -1;   // eventfd: ends the monitor
    int m_writeFd = -1;  // eventfd: a write was queued
    std::thread m_thread;
    std::atomic<bool> m_bThreadAlive{false};
    std::atomic<bool> m_bStopRequested{false};

    mutable std::mutex m_lock; // guards the queue and the descriptors against WriteToPort
    std::deque<PendingWrite> m_writes;
    std::size_t m_queuedBytes = 0;

    PendingWrite m_current;        // the write being sent (monitor thread only)
    std::size_t m_currentSent = 0; // how much of it went out
    bool m_hasCurrent = false;
};

} // namespace qv
