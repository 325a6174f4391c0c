#include "app/bindings/picture_tool/tool_start.h"

#include "app/mainframe/main_frame.h"
#include "model/app/editor_app.h"
#include "model/document/ui_prompts.h"
#include "platform/qt/qtext.h"
#include "platform/text/gbk.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdlib>
#include <unistd.h>

namespace qv {
namespace {

// A host path in a message (GBK).
std::string shownPath(const std::filesystem::path& p)
{
    return utf8ToGbk(p.string()).value_or(p.string());
}

} // namespace

std::filesystem::path TessolinFolder(const std::filesystem::path& baseDir)
{
    return baseDir / std::filesystem::path(u8"images/其它工具软件/Tessolin软件");
}

std::optional<std::filesystem::path> FindTessolinProgram(const std::filesystem::path& programDir)
{
    if (const char* env = std::getenv(kTessolinProgramEnv); env != nullptr && *env != 0)
        return std::filesystem::path(env);
    for (const auto& p : {programDir / "tessolin", programDir.parent_path() / "picture_tool" / "tessolin"})
        if (::access(p.c_str(), X_OK) == 0)
            return p;
    return std::nullopt;
}

bool StartTessolin(const std::filesystem::path& baseDir, const std::filesystem::path& programDir, std::string* why)
{
    const auto folder = TessolinFolder(baseDir);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        *why = "Tessolin的文件夹不存在: " + shownPath(folder);
        return false;
    }
    const auto program = FindTessolinProgram(programDir);
    if (!program) {
        *why = "找不到Tessolin程序";
        return false;
    }
    QProcess process;
    process.setProgram(QString::fromStdString(program->string()));
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    if (!process.startDetached()) {
        *why = "无法启动Tessolin: " + shownPath(*program) + ": " + fromQString(process.errorString()).value_or(process.errorString().toStdString());
        return false;
    }
    return true;
}

void bindToolCommands(CMainFrame& frame, CEditorApp& app)
{
    frame.commands().bind(cmd::DownloadPictures, [&app] {
        std::string why;
        const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
        if (!StartTessolin(app.BaseDir(), programDir, &why))
            app.Prompt().ShowMessage(why, UiPrompts::Icon::Warning);
    });
}

} // namespace qv
