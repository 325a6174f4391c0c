// Pictures and window files copied into the project folder.
#include "model/app/editor_app.h"

#include "model/params/user_picture.h"
#include "model/project/file_copies.h"
#include "model/project/project_texts.h"

#include <system_error>

namespace qv {

namespace fs = std::filesystem;
namespace txt = project::text;

std::optional<std::string> CEditorApp::CopyUserPicture(const fs::path& source)
{
    std::string error;
    auto stored = copyUserPictureFile(m_strProjectDir, source, &error);
    if (!stored)
        Prompt().ShowMessage(error, UiPrompts::Icon::Error);
    return stored;
}

std::optional<fs::path> CEditorApp::CopyWindowFile(const fs::path& source)
{
    const fs::path dest = m_strProjectDir / std::string(txt::kWindowFolder) / source.filename();
    if (entryExists(dest))
        return dest;
    std::string error;
    if (!copyOneFile(source, dest, true, &error)) {
        ReportLine(std::string(txt::kCannotCopyFile) + error);
        return std::nullopt;
    }
    return dest;
}

int CEditorApp::CopyFolderFiles(const fs::path& srcDir, const fs::path& dstDir, std::string_view pattern,
                                bool failIfExists)
{
    int failed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(srcDir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || !matchesPattern(it->path().filename().string(), pattern))
            continue;
        const fs::path dest = dstDir / it->path().filename();
        // With failIfExists a file already there stays as it is; that is no failure.
        if (failIfExists && entryExists(dest))
            continue;
        std::string error;
        if (!copyOneFile(it->path(), dest, false, &error)) {
            ReportLine(std::string(txt::kCannotCopyFile) + error);
            ++failed;
        }
    }
    if (ec) {
        ReportLine(std::string(txt::kCannotCopyFile) + pathForMessage(srcDir) + " " + ec.message());
        ++failed;
    }
    return failed;
}

} // namespace qv
