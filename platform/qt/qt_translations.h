#pragma once
// Qt's own texts (the standard buttons of message boxes, the file, colour and folder
// dialogs) in the program's language, for the editor and the picture tool alike.
class QCoreApplication;

namespace qv {

// Loads Qt's Simplified Chinese catalogue into `app`; false (with a line on stderr) when
// the installed Qt has none, and Qt then speaks English.
bool installQtTranslations(QCoreApplication& app);

} // namespace qv
