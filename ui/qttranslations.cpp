#include "ui/qttranslations.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QLibraryInfo>
#include <QtCore/QTranslator>

bool InstallQtJapanese(QCoreApplication& application) {
    // The program is Japanese whatever the desktop's language, so the file is named, not taken
    // from the locale. The translator lives as long as the application.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
