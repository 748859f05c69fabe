#include "app/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallTranslations(QCoreApplication& app, const QLocale& locale) {
    // English is the source language: nothing to load, and no "en" file to look for
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    const QString executableFolder = QCoreApplication::applicationDirPath();
    auto* own = new QTranslator(&app);
    for (const QString& folder :
         {executableFolder + "/translations", executableFolder + "/../share/dunmoral/translations"})
        if (own->load(locale, "dunmoral", "_", folder))
            return QCoreApplication::installTranslator(own);
    return false;
}
