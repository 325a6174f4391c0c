#pragma once
// The compiler's pictures use the platform's page stream (shared with the download tool).
#include "platform/pixels/page_stream.h"

namespace qv::tiles {

using pixels::kPageStartByte;
using pixels::PageStream;

} // namespace qv::tiles
