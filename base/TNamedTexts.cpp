#include "base/TNamedTexts.h"

#include "base/TLogger.h"

#include <QReadLocker>
#include <QReadWriteLock>
#include <QSet>
#include <QWriteLocker>

#include <vector>

namespace {

struct Entry
{
    QString german;
    QString current;
};

struct Registry
{
    QReadWriteLock lock;
    QHash<QByteArray, Entry> entries;
    std::vector<QByteArray> order;
    // The translation in force, kept so texts registered later still come in the selected language.
    QHash<QString, QString> translations;
    QSet<QByteArray> reportedUnknown;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

QByteArray keyOf(const char* name)
{
    // Lookups must not allocate for every text fetched.
    return QByteArray::fromRawData(name, name ? int(qstrlen(name)) : 0);
}

} // namespace

void TNamedTexts::Register(std::initializer_list<TNamedText> texts)
{
    Register(std::span<const TNamedText>(texts.begin(), texts.size()));
}

void TNamedTexts::Register(std::span<const TNamedText> texts)
{
    Registry& r = registry();
    QWriteLocker lock(&r.lock);
    for (const TNamedText& text : texts) {
        if (!text.Name || !*text.Name)
            continue;
        const QByteArray name(text.Name); // owned copy: the key outlives no caller's buffer
        if (r.entries.contains(name))
            continue;
        const QString german = QString::fromUtf8(text.German ? text.German : "");
        r.entries.insert(name, { german, r.translations.value(QString::fromLatin1(name), german) });
        r.order.push_back(name);
    }
}

QString TNamedTexts::Text(const char* name)
{
    Registry& r = registry();
    {
        QReadLocker lock(&r.lock);
        const auto it = r.entries.constFind(keyOf(name));
        if (it != r.entries.constEnd())
            return it->current;
    }
    const QString fallback = QString::fromUtf8(name ? name : "");
    bool first = false;
    {
        QWriteLocker lock(&r.lock);
        const QByteArray owned(name ? name : "");
        if (!r.reportedUnknown.contains(owned)) {
            r.reportedUnknown.insert(owned);
            first = true;
        }
    }
    if (first) {
        TLogger::LogAlways(QStringLiteral("TNamedTexts.Text: no text registered as %1").arg(fallback));
    }
    return fallback;
}

QString TNamedTexts::German(const char* name)
{
    Registry& r = registry();
    QReadLocker lock(&r.lock);
    const auto it = r.entries.constFind(keyOf(name));
    return it != r.entries.constEnd() ? it->german : QString();
}

bool TNamedTexts::Contains(const char* name)
{
    Registry& r = registry();
    QReadLocker lock(&r.lock);
    return r.entries.contains(keyOf(name));
}

QStringList TNamedTexts::Names()
{
    Registry& r = registry();
    QReadLocker lock(&r.lock);
    QStringList names;
    names.reserve(qsizetype(r.order.size()));
    for (const QByteArray& name : r.order)
        names.append(QString::fromLatin1(name));
    return names;
}

void TNamedTexts::SetTranslations(const QHash<QString, QString>& texts)
{
    Registry& r = registry();
    QWriteLocker lock(&r.lock);
    r.translations = texts;
    for (auto it = r.entries.begin(); it != r.entries.end(); ++it)
        it->current = texts.value(QString::fromLatin1(it.key()), it->german);
}

void TNamedTexts::ResetToDefaults()
{
    SetTranslations({});
}

QStringList TNamedTexts::MissingIn(const QHash<QString, QString>& texts)
{
    QStringList missing;
    for (const QString& name : Names()) {
        if (texts.value(name).isEmpty())
            missing.append(name);
    }
    return missing;
}

QString TNamedTexts::Format(const QString& pattern, const QVariantList& args)
{
    QString result;
    result.reserve(pattern.size() + 16);
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != u'%' || i + 1 >= pattern.size()) {
            result.append(c);
            continue;
        }
        const QChar kind = pattern.at(i + 1);
        if (kind == u'%') {
            result.append(u'%');
            ++i;
        } else if ((kind == u's' || kind == u'd') && next < args.size()) {
            result.append(args.at(next++).toString());
            ++i;
        } else {
            result.append(c);
        }
    }
    return result;
}
