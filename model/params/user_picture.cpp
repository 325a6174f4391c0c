#include "model/params/user_picture.h"

#include "model/app/editor_app.h"
#include "platform/files/atomic_file.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

namespace qv {

namespace {

std::string storedPictureName(std::string_view fileNameGbk)
{
    return std::string("\\").append(kUserPictureFolder).append("\\").append(fileNameGbk);
}

// Copies when the destination is missing and the source can be read; failures copy nothing.
void copyIfMissing(const std::optional<std::filesystem::path>& source, const std::optional<std::filesystem::path>& dest)
{
    std::error_code ec;
    if (!source || !dest || std::filesystem::exists(*dest, ec))
        return;
    std::string bytes;
    if (!readWholeFile(*source, bytes))
        return;
    std::filesystem::create_directories(dest->parent_path(), ec);
    writeFileAtomically(*dest, bytes);
}

} // namespace

std::optional<std::string> copyUserPictureFile(const std::filesystem::path& projectDir,
                                               const std::filesystem::path& source, std::string* error)
{
    const auto nameGbk = utf8ToGbk(source.filename().string());
    if (!nameGbk || nameGbk->empty()) {
        if (error)
            *error = "图片文件名含有GBK无法表示的字符，请改名后再选择";
        return std::nullopt;
    }
    const std::string stored = storedPictureName(*nameGbk);
    copyIfMissing(source, resolveStoredPath(projectDir, stored));
    return stored;
}

std::string copyStoredPicture(const std::filesystem::path& baseDir, const std::filesystem::path& projectDir,
                              std::string_view storedSource)
{
    const std::string stored = storedPictureName(FileNameOfPath(std::string(storedSource)));
    if (!projectDir.empty())
        copyIfMissing(resolveStoredPath(baseDir, storedSource), resolveStoredPath(projectDir, stored));
    return stored;
}

std::string CopyUserPicture(const CEditorApp& app, std::string_view storedSource)
{
    return copyStoredPicture(app.BaseDir(), app.m_strProjectDir, storedSource);
}

} // namespace qv
