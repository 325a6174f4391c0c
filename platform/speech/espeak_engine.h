#pragma once
// The speech engine over libespeak-ng. The library keeps global state and is not
// re-entrant, so there is one engine per process and every call holds its lock.
#include "platform/speech/speech_engine.h"

namespace qv {

// The process's engine; the library is initialised on first use. Never null; an engine
// whose library failed to start reports that from every call.
SpeechEngine& EspeakSpeechEngine();

} // namespace qv
