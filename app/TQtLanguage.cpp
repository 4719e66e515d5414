#include "app/TQtLanguage.h"

#include "base/TLanguageModule.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

TQtLanguage::TQtLanguage(TLanguageModule* languages, QObject* parent)
    : QObject(parent)
    , m_languages(languages)
{
    if (m_languages)
        connect(m_languages, &TLanguageModule::languageChanged, this, &TQtLanguage::follow);
    follow();
}

QString TQtLanguage::LocaleName(quint32 languageId)
{
    // Language identifiers carry the language in their low ten bits.
    switch (languageId & 0x3ff) {
    case 0x07:
        return QStringLiteral("de");
    case 0x09:
        return QStringLiteral("en");
    case 0x0a:
        return QStringLiteral("es");
    case 0x0c:
        return QStringLiteral("fr");
    case 0x10:
        return QStringLiteral("it");
    case 0x13:
        return QStringLiteral("nl");
    case 0x15:
        return QStringLiteral("pl");
    case 0x16:
        return QStringLiteral("pt");
    default:
        return {};
    }
}

void TQtLanguage::follow()
{
    const QString locale
        = LocaleName(m_languages ? m_languages->CurrentLanguageId() : TLanguageModule::GermanId);
    QLocale::setDefault(locale.isEmpty() ? QLocale::system() : QLocale(locale));
    if (locale == m_installed)
        return;
    QCoreApplication::removeTranslator(&m_translator);
    m_installed.clear();
    // Qt speaks English by itself.
    if (locale.isEmpty() || locale == QLatin1String("en"))
        return;
    if (m_translator.load(
            QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(&m_translator))
        m_installed = locale;
}
