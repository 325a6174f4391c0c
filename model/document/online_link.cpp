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

std::string SerialPort1StatusText(int baud, int com, bool connected)
{
    // Built from pieces: GBK text never goes through a format string.
    return std::to_string(baud) + "波特率，串口1COM" + std::to_string(com) + (connected ? "已连接" : "未连接");
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
        if (!owner || owner->m_nConnection.load() != connection || !owner->m_doc.m_bPort1Connected)
            return; // the document went away, or this connection was already replaced
        LogLink(reason);
        owner->m_doc.DisconnectSerialPort1();
    }});
}

void CDrawDoc::ConnectSerialPort1()
{
    if (m_bPort1Connected)
        return;
    const CDrawDoc& project = SettingsDocument(*this);
    const SerialFrame frame = SerialFraming(project.SettingI32(settings::kDataBits1),
                                            project.SettingI32(settings::kParity1),
                                            project.SettingI32(settings::kStopBits1));
    const int com = project.m_serial.com1;
    const int baud = project.m_serial.baud1;

    if (!m_pPort1Owner)
        m_pPort1Owner = std::make_shared<SerialLinkOwner>(*this);
    ReportQueue& reports = SerialLinkReports();
    m_pPort1Owner->BeginConnection(reports);
    // A port that cannot be opened leaves the link down without a message; the reason is
    // logged for whoever looks.
    if (!m_ComPort1.InitPort(m_pPort1Owner.get(), com, baud, frame.parity, frame.dataBits, frame.stopBits,
                             kLinkEventMask, kLinkWriteBufferSize)) {
        LogLink(m_ComPort1.LastErrorText());
        return;
    }
    if (!m_ComPort1.StartMonitoring()) {
        LogLink(m_ComPort1.LastErrorText());
        m_ComPort1.ClosePort();
        return;
    }
    m_bPort1Connected = 1;
    reports.post(ReportStatus{kLinkStatusPane, SerialPort1StatusText(baud, com, true)});
}

void CDrawDoc::DisconnectSerialPort1()
{
    const CDrawDoc& project = SettingsDocument(*this);
    SerialLinkReports().post(
        ReportStatus{kLinkStatusPane, SerialPort1StatusText(project.m_serial.baud1, project.m_serial.com1, false)});
    if (m_bPort1Connected) {
        m_ComPort1.ClosePort();
        m_bPort1Connected = 0;
    }
}

} // namespace qv
