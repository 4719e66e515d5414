#pragma once

#include <QObject>
#include <QTranslator>

class TLanguageModule;

// Qt's side of the program's language, following each switch: Qt's own dialogs (file and folder
// dialogs, the buttons of message boxes) get Qt's translation for it, and dates are written the way
// the language writes them.
class TQtLanguage : public QObject
{
    Q_OBJECT

public:
    explicit TQtLanguage(TLanguageModule* languages, QObject* parent = nullptr);

    // The locale name of a language identifier ("de" for 1031); empty when not known.
    static QString LocaleName(quint32 languageId);
    // The locale of the installed Qt translation; empty while none is (English, or none found).
    QString Installed() const { return m_installed; }

private:
    void follow();

    TLanguageModule* m_languages;
    QTranslator m_translator;
    QString m_installed;
};
