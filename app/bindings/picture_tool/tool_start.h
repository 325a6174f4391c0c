#pragma once
// "下载图片到用户区" (`cmd::DownloadPictures`): starts the picture tool in its folder of the base folder, where its
// pictures, fonts and "pic.h" live. A start that fails says why.
#include <filesystem>
#include <optional>
#include <string>

namespace qv {

class CEditorApp;
class CMainFrame;

inline constexpr const char* kTessolinProgramEnv = "QV_TESSOLIN";

std::filesystem::path TessolinFolder(const std::filesystem::path& baseDir);
// The tool's program: QV_TESSOLIN, else "tessolin" beside this program or in the build
// tree's picture_tool folder next to this program's folder. nullopt when none is there.
std::optional<std::filesystem::path> FindTessolinProgram(const std::filesystem::path& programDir);

// Starts the tool detached; false with the reason (GBK) when it cannot be started.
bool StartTessolin(const std::filesystem::path& baseDir, const std::filesystem::path& programDir, std::string* why);

void bindToolCommands(CMainFrame& frame, CEditorApp& app);

} // namespace qv
