// The windows' texts in the user's language: the tool's own translation (which also holds the
// driver library's configuration window and the widgets) and Qt's for its standard dialogs and
// buttons, both chosen by the locale's languages. English, the source language, needs neither.
#pragma once

#include <QLocale>
#include <QString>

// Where the tool's .qm files are: share/korvane/translations beside the program's bin/.
QString TranslationsFolder();

// Installs the translators for the locale on the application, for its whole life; a language
// without a translation stays English. Answers whether the tool's own translation was found.
bool InstallTranslations(const QLocale& locale = QLocale());
