#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QString TranslationsFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/korvane/translations");
}

namespace {
bool Install(const QLocale& locale, const QString& name, const QString& folder)
{
    // Parented to the application, so it lives as long as the texts it translates.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, QStringLiteral("_"), folder) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
} // namespace

bool InstallTranslations(const QLocale& locale)
{
    Install(locale, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return Install(locale, QStringLiteral("korvane"), TranslationsFolder());
}
