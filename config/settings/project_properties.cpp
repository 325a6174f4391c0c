#include "config/settings/project_properties.h"

#include "model/app/editor_app.h"
#include "model/document/draw_doc.h"
#include "model/project/file_copies.h"
#include "model/vars/hmi_vars.h"
#include "platform/serial/serial_framing.h"

namespace qv::settings_page {

bool LoadFromProject(const CEditorApp& app, ComSetPage& page)
{
    const CDrawDoc* doc = app.ProjectDoc();
    if (!doc)
        return false;
    // The folder is a host path (UTF-8), the name stored text (GBK): both shown as GBK,
    // joined as the host joins them.
    page = LoadPage(*doc, pathForMessage(app.m_strProjectDir) + "/" + app.m_strProjectName);
    return true;
}

int FirstFreeVarByte(const CEditorApp& app) { return static_cast<int>(GetVariableMemorySize(app) / 2); }

CommitResult ApplyToProject(CEditorApp& app, const ComSetPage& page)
{
    CDrawDoc* doc = app.ProjectDoc();
    if (!doc)
        return {};
    const int oldWidth = doc->m_nWindowWidth;
    const int oldHeight = doc->m_nWindowHeight;
    CommitResult result = CommitPage(page, *doc);
    if (result.refusal)
        return result;
    if (result.resolutionChanged) {
        app.RescaleWindowsToResolution(oldWidth, oldHeight, page.width, page.height);
        doc->m_nWindowWidth = page.width;
        doc->m_nWindowHeight = page.height;
        app.m_nResWidth = page.width;
        app.m_nResHeight = page.height;
    }
    doc->DoFileSave();
    doc->UpdateAllViews(nullptr);
    return result;
}

bool ConnectPagePort(CDrawDoc& doc, const ComSetPage& page, int index, std::string* why)
{
    const PortFields& p = page.ports[static_cast<std::size_t>(index)];
    (index == 0 ? doc.m_serial.com1 : doc.m_serial.com2) = p.com;
    (index == 0 ? doc.m_serial.baud1 : doc.m_serial.baud2) = p.baud;
    return doc.ConnectSerialPort(index, p.com, p.baud, SerialFraming(p.dataBits, p.parity, p.stopBits), why);
}

} // namespace qv::settings_page
