#include "model/document/online_link.h"

#include "model/app/editor_app.h"
#include "model/document/document_environment.h"
#include "model/document/draw_doc.h"
#include "platform/serial/serial_framing.h"

#include <cstdio>
#include <fmt/format.h>

namespace qv {
namespace {

// The project document holds the link's settings; a document outside a project uses its own.
const CDrawDoc& SettingsDocument(const CDrawDoc& doc)
{
    const CDrawDoc* project = documentEnvironment().ProjectDocument();
    return project ? *project : doc;
}

void LogLink(const std::string& text)
{
    fmt::print(stderr, "serial link: {}\n", text);
}

} // namespace

std::string SerialPortStatusText(int port, int baud, int com, bool connected)
{
    // Built from pieces: GBK text never goes through a format string.
    return std::to_string(baud) + "波特率，串口" + std::to_string(port) + "COM" + std::to_string(com) +
           (connected ? "已连接" : "未连接");
}

std::string SerialPortIdleText(int port) { return "串口" + std::to_string(port) + "未连接"; }

ReportQueue& SerialLinkReports()
{
    if (CEditorApp* app = GetEditorApp())
        return app->m_reports;
    static ReportQueue own;
    return own;
}

void SerialLinkOwner::BeginConnection(ReportQueue& reports)
{
    m_reports.store(&reports);
    ++m_nConnection;
}

void SerialLinkOwner::OnPortLost(int port, const std::string& reason)
{
    ReportQueue* reports = m_reports.load();
    if (!reports)
        return;
    const int connection = m_nConnection.load();
    std::weak_ptr<SerialLinkOwner> self = weak_from_this();
    reports->post(ReportCall{[self, connection, reason] {
        const auto owner = self.lock();
        if (!owner || owner->m_nConnection.load() != connection || !owner->m_doc.IsSerialPortConnected(owner->m_index))
            return; // the document went away, or this connection was already replaced
        LogLink(reason);
        owner->m_doc.DisconnectSerialPort(owner->m_index);
    }});
}

namespace {

struct PortOfDoc {
    CComPort& port;
    std::shared_ptr<SerialLinkOwner>& owner;
    std::int32_t& connected;
};

PortOfDoc PortAt(CDrawDoc& doc, int index)
{
    if (index == 0)
        return {doc.m_ComPort1, doc.m_pPort1Owner, doc.m_bPort1Connected};
    return {doc.m_ComPort2, doc.m_pPort2Owner, doc.m_bPort2Connected};
}

} // namespace

void CDrawDoc::ConnectSerialPort1()
{
    if (m_bPort1Connected)
        return;
    const CDrawDoc& project = SettingsDocument(*this);
    const SerialFrame frame = SerialFraming(project.SettingI32(settings::kDataBits1),
                                            project.SettingI32(settings::kParity1),
                                            project.SettingI32(settings::kStopBits1));
    // A port that cannot be opened leaves the link down without a message; the reason is
    // logged for whoever looks.
    std::string why;
    if (!ConnectSerialPort(0, project.m_serial.com1, project.m_serial.baud1, frame, &why))
        LogLink(why);
}

bool CDrawDoc::ConnectSerialPort(int index, int com, int baud, const SerialFrame& frame, std::string* why)
{
    PortOfDoc p = PortAt(*this, index);
    if (p.connected)
        return true;
    if (!p.owner)
        p.owner = std::make_shared<SerialLinkOwner>(*this, index);
    ReportQueue& reports = SerialLinkReports();
    p.owner->BeginConnection(reports);
    if (!p.port.InitPort(p.owner.get(), com, baud, frame.parity, frame.dataBits, frame.stopBits, kLinkEventMask,
                         kLinkWriteBufferSize) ||
        !p.port.StartMonitoring()) {
        if (why)
            *why = p.port.LastErrorText();
        p.port.ClosePort();
        return false;
    }
    p.connected = 1;
    reports.post(ReportStatus{kLinkStatusPane + index, SerialPortStatusText(index + 1, baud, com, true)});
    return true;
}

void CDrawDoc::DisconnectSerialPort1() { DisconnectSerialPort(0); }

void CDrawDoc::DisconnectSerialPort(int index)
{
    const CDrawDoc& project = SettingsDocument(*this);
    const int baud = index == 0 ? project.m_serial.baud1 : project.m_serial.baud2;
    const int com = index == 0 ? project.m_serial.com1 : project.m_serial.com2;
    SerialLinkReports().post(ReportStatus{kLinkStatusPane + index, SerialPortStatusText(index + 1, baud, com, false)});
    PortOfDoc p = PortAt(*this, index);
    if (p.connected) {
        p.port.ClosePort();
        p.connected = 0;
    }
}

} // namespace qv
