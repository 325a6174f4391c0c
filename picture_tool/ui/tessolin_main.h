#pragma once
// The tool's start: one copy per user (a second shows its message and ends with -1), then
// the dialog over the current folder, with the simulated panels of QV_SIM_PANELS when set.
class QCoreApplication;

namespace qv::picture_tool {

inline constexpr const char* kDownloadAllEnv = "QV_TESSOLIN_DOWNLOAD_ALL";

int runTessolin(int argc, char** argv);

// What the tool sets up on its application before any window: Qt's own texts (standard
// buttons, file dialogs) in Chinese, as in the editor.
void prepareTessolinApplication(QCoreApplication& app);

} // namespace qv::picture_tool
