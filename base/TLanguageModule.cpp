#include "base/TLanguageModule.h"

#include "base/AppTexts.h"
#include "base/TLanguageFile.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVariant>

#include <algorithm>
#include <atomic>

namespace {

std::atomic<TLanguageModule*> s_instance { nullptr };

void log(const QString& message, bool always = false)
{
    TLogger::LogTo(message, always);
}

// The property names of the language files and the Qt properties they stand for; of several, the
// first one the object has is used (a button's "text" rather than the "windowTitle" every widget has).
struct PropertyMapping
{
    const char* key;
    const char* qtNames[3];
};

constexpr PropertyMapping kProperties[] = {
    { "Caption", { "text", "title", "windowTitle" } },
    { "Hint", { "toolTip", nullptr, nullptr } },
    { "TextHint", { "placeholderText", nullptr, nullptr } },
    { "Items", { "items", nullptr, nullptr } },
};

// The German text of a property is kept on the object while a translation replaces it, so it lives
// and dies with the object and a return to German restores it.
QByteArray germanSlot(const char* qtName)
{
    return QByteArrayLiteral("_lumivarGerman_") + qtName;
}

void translateProperty(
    QObject* object, const char* qtName, const QString& key, const QHash<QString, QString>* texts)
{
    const QByteArray slot = germanSlot(qtName);
    const QVariant stored = object->property(slot.constData());
    const QVariant german = stored.isValid() ? stored : object->property(qtName);
    QVariant translated;
    if (german.typeId() == QMetaType::QString) {
        if (texts) {
            const auto it = texts->constFind(key);
            if (it != texts->constEnd())
                translated = *it;
        }
    } else if (german.typeId() == QMetaType::QStringList) {
        if (texts) {
            QStringList items = german.toStringList();
            bool any = false;
            for (qsizetype i = 0; i < items.size(); ++i) {
                const auto it = texts->constFind(key + QStringLiteral(".Item") + QString::number(i));
                if (it != texts->constEnd()) {
                    items[i] = *it;
                    any = true;
                }
            }
            if (any)
                translated = items;
        }
    } else {
        return;
    }

    if (translated.isValid()) {
        if (!stored.isValid())
            object->setProperty(slot.constData(), german);
        object->setProperty(qtName, translated);
    } else if (stored.isValid()) {
        object->setProperty(qtName, stored);
        object->setProperty(slot.constData(), QVariant());
    }
}

void translateObject(QObject* object, const QString& key, const QHash<QString, QString>* texts)
{
    for (const PropertyMapping& mapping : kProperties) {
        for (const char* qtName : mapping.qtNames) {
            if (!qtName)
                break;
            if (object->property(qtName).isValid()) {
                translateProperty(object, qtName, key + u'.' + QLatin1String(mapping.key), texts);
                break;
            }
        }
    }
}

void translateChildren(QObject* parent, const QString& ownerKey, const QHash<QString, QString>* texts)
{
    // Guarded copy: setting a text may make an object rebuild or drop its children.
    QList<QPointer<QObject>> children;
    for (QObject* child : parent->children())
        children.append(child);
    for (const QPointer<QObject>& child : children) {
        if (!child)
            continue;
        const QByteArrayView className(child->metaObject()->className());
        if (className.startsWith("Tfrm"))
            continue;
        QString childOwner = ownerKey;
        const QString name = child->objectName();
        if (!name.isEmpty()) {
            const QString key = ownerKey + u'.' + name;
            translateObject(child, key, texts);
            if (className.startsWith("Tfra"))
                childOwner = key;
        }
        if (child)
            translateChildren(child, childOwner, texts);
    }
}

void translateTree(QObject* root, const QHash<QString, QString>* texts)
{
    const QString rootKey = QString::fromLatin1(root->metaObject()->className());
    translateObject(root, rootKey, texts);
    translateChildren(root, rootKey, texts);
}

} // namespace

TLanguageModule::TLanguageModule(QObject* parent)
    : TLanguageModule(DefaultFolder(), parent)
{ }

TLanguageModule::TLanguageModule(const QString& folder, QObject* parent)
    : QObject(parent)
{
    RegisterAppTexts();
    Scan(folder);
}

TLanguageModule::~TLanguageModule()
{
    TLanguageModule* self = this;
    s_instance.compare_exchange_strong(self, nullptr);
    // The module owns the current texts; without it the built-in German ones are in force again.
    if (m_current >= 0)
        TNamedTexts::ResetToDefaults();
}

QString TLanguageModule::DefaultFolder()
{
    return FolderFor(QCoreApplication::applicationDirPath());
}

QString TLanguageModule::FolderFor(const QString& programFolder)
{
    const QString beside = programFolder + QStringLiteral("/Languages");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../share/lumivar/Languages"));
    return QFileInfo(installed).isDir() ? installed : beside;
}

TLanguageModule* TLanguageModule::Instance()
{
    return s_instance.load();
}

void TLanguageModule::SetInstance(TLanguageModule* module)
{
    s_instance.store(module);
}

void TLanguageModule::Scan(const QString& folder)
{
    const quint32 previous = m_current >= 0 ? m_languages.at(m_current).Id : 0;
    m_folder = folder;
    m_languages.clear();
    m_current = -1;

    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) {
        log(QStringLiteral("TLanguageModule.Scan: no language folder %1").arg(folder));
    } else {
        QFileInfoList files = dir.entryInfoList({ QStringLiteral("*.txt") }, QDir::Files, QDir::NoSort);
        std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
            const int order = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a.fileName() < b.fileName();
        });
        for (const QFileInfo& info : files) {
            TLanguageFile file;
            if (!file.Load(info.filePath()))
                continue;
            if (!file.HasLanguageId()) {
                log(QStringLiteral("TLanguageModule.Scan: %1 has no language identifier, not listed")
                        .arg(info.fileName()),
                    true);
                continue;
            }
            const auto same = std::find_if(m_languages.cbegin(), m_languages.cend(),
                [&file](const TLanguageEntry& entry) { return entry.Id == file.LanguageId(); });
            if (same != m_languages.cend()) {
                log(QStringLiteral("TLanguageModule.Scan: %1: language %2 already read from %3, not listed")
                        .arg(info.fileName())
                        .arg(file.LanguageId())
                        .arg(QFileInfo(same->FilePath).fileName()),
                    true);
                continue;
            }
            TLanguageEntry entry;
            entry.Id = file.LanguageId();
            entry.FileName = info.completeBaseName();
            entry.Name = file.LanguageName().isEmpty() ? entry.FileName : file.LanguageName();
            entry.FilePath = info.filePath();
            entry.Author = file.TranslationAuthor();
            entry.AuthorEmail = file.TranslationAuthorEmail();
            entry.DefaultFont = file.TranslationDefaultFont();
            entry.Texts = file.Texts();
            m_languages.append(std::move(entry));
        }
        log(QStringLiteral("TLanguageModule.Scan: %1 language(s) in %2").arg(m_languages.size()).arg(folder));
    }

    if (previous != 0) {
        const auto it = std::find_if(m_languages.cbegin(), m_languages.cend(),
            [previous](const TLanguageEntry& entry) { return entry.Id == previous; });
        m_current = it != m_languages.cend() ? int(it - m_languages.cbegin()) : -1;
        // The file may have changed, or be gone; either way the texts on screen must follow.
        apply();
    }
}

const TLanguageEntry* TLanguageModule::CurrentLanguage() const
{
    return m_current >= 0 ? &m_languages.at(m_current) : nullptr;
}

quint32 TLanguageModule::CurrentLanguageId() const
{
    return m_current >= 0 ? m_languages.at(m_current).Id : GermanId;
}

bool TLanguageModule::SelectLanguage(quint32 id)
{
    for (int i = 0; i < m_languages.size(); ++i) {
        if (m_languages.at(i).Id == id) {
            m_current = i;
            log(QStringLiteral("TLanguageModule.SelectLanguage: %1 %2").arg(id).arg(m_languages.at(i).Name));
            apply();
            return true;
        }
    }
    if (id == GermanId) {
        // German is built in; without a file of its own it needs none to be chosen again.
        m_current = -1;
        log(QStringLiteral("TLanguageModule.SelectLanguage: %1 built-in").arg(id));
        apply();
        return true;
    }
    log(QStringLiteral("TLanguageModule.SelectLanguage: no language %1, unchanged").arg(id));
    return false;
}

void TLanguageModule::Translate(QObject* root)
{
    if (!root)
        return;
    m_roots.removeAll(QPointer<QObject>());
    if (!m_roots.contains(root))
        m_roots.append(root);
    const TLanguageEntry* current = CurrentLanguage();
    translateTree(root, current ? &current->Texts : nullptr);
}

void TLanguageModule::apply()
{
    const TLanguageEntry* current = CurrentLanguage();
    TNamedTexts::SetTranslations(current ? current->Texts : QHash<QString, QString>());
    m_roots.removeAll(QPointer<QObject>());
    const QList<QPointer<QObject>> roots = m_roots;
    for (const QPointer<QObject>& root : roots) {
        if (root)
            translateTree(root, current ? &current->Texts : nullptr);
    }
    emit languageChanged();
}
