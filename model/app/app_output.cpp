// The output operations the compile, download and device commands share, and the list of
// files the download copies to the panel's flash disk.
#include "model/app/editor_app.h"

#include "platform/files/stored_path.h"

#include <algorithm>
#include <system_error>

#include <fmt/format.h>

namespace qv {

void CEditorApp::AppendOutput(std::string gbk) { m_reports.appendText(std::move(gbk)); }

void CEditorApp::AppendOutputHex(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes)
        fmt::format_to(std::back_inserter(text), "{:x} ", b);
    AppendOutput(std::move(text));
}

void CEditorApp::ListFDiskFiles()
{
    m_FDiskFiles.clear();
    if (m_strProjectDir.empty())
        return;
    const auto folder = resolveStoredPath(m_strProjectDir, "\\FDisk");
    if (!folder)
        return;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(*folder, ec), end; !ec && it != end; it.increment(ec))
        if (!it->is_directory(ec))
            m_FDiskFiles.push_back(it->path());
    // The directory's own order differs between file systems; the download's must not.
    std::sort(m_FDiskFiles.begin(), m_FDiskFiles.end());
}

} // namespace qv
