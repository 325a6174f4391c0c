#pragma once
// The code-only download: the new 8051 code goes into the blocks of the user-code chain the
// last full download left in the panel, read back first. When the panel's project cannot
// be trusted, the chain is too short or a block of it is bad, it falls back to the full
// download in the same thread, deciding before it writes where it can.
#include "device/download/download_job.h"

namespace qv::device {

bool DownloadCodeThread(const DownloadJob& job, DownloadFlags& flags);

} // namespace qv::device
