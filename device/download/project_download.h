#pragma once
// The full project download of "NandFlash\NandFlash.Zip": checks against the panel, the
// FLASH test, then the stages in their fixed order, the start map last so the panel only
// ever sees a complete project. Runs on the download worker; the busy flags and the close
// box belong to the worker's guard.
#include "device/download/download_job.h"

namespace qv::device {

// True when the project is in the panel.
bool DownloadProjectThread(const DownloadJob& job, DownloadFlags& flags);

} // namespace qv::device
