#pragma once

class QCoreApplication;

// Qt's own Japanese texts (qtbase_ja, from Qt's translation folder), so the colour, font and file
// choosers, the overwrite question and the standard buttons speak the program's language. False
// when the translation cannot be found; the dialogs then stay in English.
bool InstallQtJapanese(QCoreApplication& application);
