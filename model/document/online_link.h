#pragma once
// The online link of a document's serial ports (CDrawDoc::ConnectSerialPort1,
// ConnectSerialPort and their disconnects): the port's owner, which hears its monitor thread
// and brings a lost port back to the GUI thread, and the link's status texts.
#include "platform/report/report_queue.h"
#include "platform/serial/com_port.h"

#include <atomic>
#include <memory>
#include <string>

namespace qv {

class CDrawDoc;

constexpr int kLinkStatusPane = 1; // the status-bar pane of serial port 1 (port 2: pane 2)
constexpr int kLinkWriteBufferSize = 4096;
constexpr std::uint32_t kLinkEventMask = CommEvent::RxChar | CommEvent::RxFlag;

// "串口<port>未连接" (GBK): a port's pane while no project links it.
std::string SerialPortIdleText(int port);

// "<baud>波特率，串口<port>COM<com>已连接" or "...未连接" (GBK); `port` is 1 or 2.
std::string SerialPortStatusText(int port, int baud, int com, bool connected);
inline std::string SerialPort1StatusText(int baud, int com, bool connected)
{
    return SerialPortStatusText(1, baud, com, connected);
}

// Where the link posts its status texts and its port-lost calls: the application's queue,
// or (without an application, as in tests) one of its own.
ReportQueue& SerialLinkReports();

// Owner of a document's port (`index` 0 or 1). The monitor thread only posts; the GUI
// thread, draining the queue, closes the lost port of the document that still holds this
// very connection.
class SerialLinkOwner : public CComPortOwner, public std::enable_shared_from_this<SerialLinkOwner> {
public:
    SerialLinkOwner(CDrawDoc& doc, int index) : m_doc(doc), m_index(index) {}
    void OnPortLost(int port, const std::string& reason) override;
    // A new connection begins; losses reported for earlier ones are then ignored.
    void BeginConnection(ReportQueue& reports);

private:
    CDrawDoc& m_doc;
    int m_index;
    std::atomic<ReportQueue*> m_reports{nullptr};
    std::atomic<int> m_nConnection{0};
};

} // namespace qv
