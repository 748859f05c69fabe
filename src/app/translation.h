#pragma once

#include <QLocale>

class QCoreApplication;

// The program's texts in the user's language: Qt's own translation (its dialogs' buttons) and
// the program's, found beside the executable (a build folder) or in the installed share folder.
// A language without a translation keeps the English texts. Returns whether the program's own
// translation was found.
bool InstallTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());
