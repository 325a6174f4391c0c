#include "model/params/user_picture.h"

#include "model/app/editor_app.h"
#include "model/project/file_copies.h"
#include "platform/files/stored_path.h"
#include "platform/text/gbk.h"

namespace qv {

namespace {

std::string storedPictureName(std::string_view fileNameGbk)
{
    return std::string("\\").append(kUserPictureFolder).append("\\").append(fileNameGbk);
}

// The project's picture folder as it is spelled on disk.
std::filesystem::path pictureFolder(const std::filesystem::path& projectDir)
{
    return resolveStoredPath(projectDir, kUserPictureFolder).value_or(projectDir / kUserPictureFolder);
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
    const auto used = copyFileKeepingOthers(source, pictureFolder(projectDir), *nameGbk, error);
    if (!used)
        return std::nullopt;
    return storedPictureName(*used);
}

std::string copyStoredPicture(const std::filesystem::path& baseDir, const std::filesystem::path& projectDir,
                              std::string_view storedSource)
{
    const std::string name = FileNameOfPath(std::string(storedSource));
    const auto source = resolveStoredPath(baseDir, storedSource);
    if (projectDir.empty() || !source)
        return storedPictureName(name);
    return storedPictureName(copyFileKeepingOthers(*source, pictureFolder(projectDir), name).value_or(name));
}

std::string CopyUserPicture(const CEditorApp& app, std::string_view storedSource)
{
    return copyStoredPicture(app.BaseDir(), app.m_strProjectDir, storedSource);
}

} // namespace qv
