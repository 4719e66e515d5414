#pragma once

#include "base/TLanguageFile.h"
#include "base/TNamedTexts.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace lumivar::test {

// Texts registered so far that have no line in `english`; the tests' own texts aside.
inline QStringList textsWithoutEnglish(const QHash<QString, QString>& english)
{
    QStringList missing = TNamedTexts::MissingIn(english);
    missing.removeIf([](const QString& name) { return name.startsWith(QLatin1String("_rsTest")); });
    return missing;
}

// The same against the shipped English language file; a file that cannot be read lacks every text.
inline QStringList textsWithoutEnglish()
{
    TLanguageFile file;
    if (!file.Load(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt")))
        return { QStringLiteral("(Languages/English.txt not read)") };
    return textsWithoutEnglish(file.Texts());
}

} // namespace lumivar::test
