#pragma once
// The program's start-up: one running copy per user, the "images" check, the profile, the
// application object, the main window and the latest project, then the event loop.
//
// Environment switches for tests and scripted runs:
//   QV_NONINTERACTIVE=1   message boxes print to stderr and return at once; the line
//                         "Quorvane: event loop started" is printed when the loop runs.
//   QV_EXIT_AFTER_START=1 the program quits as soon as its event loop has started.
namespace qv {

inline constexpr int kExitAlreadyRunning = 255; // a second copy was refused
inline constexpr int kExitStartFailed = 1;      // no "images", no main window

extern const char* const kAlreadyRunningText; // GBK
extern const char* const kNoImagesText;       // GBK
extern const char* const kEventLoopStartedLine;

// The whole program: builds the QApplication from argc/argv and returns the exit status.
int runQuorvane(int argc, char** argv);

} // namespace qv
