#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

// One language of the list, read from one language file.
struct TLanguageEntry
{
    quint32 Id = 0;
    QString Name; // "!LanguageName"; the file name when the file names none
    QString FileName; // without folder and extension, e.g. "English"
    QString FilePath;
    QString Author;
    QString AuthorEmail;
    QString DefaultFont;
    QHash<QString, QString> Texts;
};

// The languages found as ".txt" files in one folder, the current language, and the translation of
// windows and named code texts into it. German is built in: with no current language every text is
// the German one the program was written with.
//
// Window texts are found by key: the root's class name, the object names along the ownership chain
// and the property, joined by "." (e.g. "TfrmSettings.btnWrite.Caption"). Only the root and pages
// (classes beginning with "Tfra") own objects, so containers in between do not change a key; a page's
// objects are keyed through the page ("TfrmMain.fraImport.btnImport.Caption"). A child window
// (class beginning with "Tfrm") translates itself and is skipped. A string-list property adds
// "Item" and the index: "TfrmSettings.cbxLanguage.Items.Item0".
class TLanguageModule : public QObject
{
    Q_OBJECT

public:
    static constexpr quint32 GermanId = 1031;

    // Scans DefaultFolder.
    explicit TLanguageModule(QObject* parent = nullptr);
    explicit TLanguageModule(const QString& folder, QObject* parent = nullptr);
    ~TLanguageModule() override;

    // The folder "Languages" beside the program (as built), else the installed
    // "../share/lumivar/Languages" next to the program's folder.
    static QString DefaultFolder();
    static QString FolderFor(const QString& programFolder);

    static TLanguageModule* Instance();
    static void SetInstance(TLanguageModule* module);

    // Rebuilds the list from the folder's ".txt" files in file-name order (case-insensitive), the
    // first file of an identifier winning. The current language stays current when it is still listed.
    void Scan(const QString& folder);
    QString Folder() const { return m_folder; }
    const QList<TLanguageEntry>& Languages() const { return m_languages; }

    // Makes the first listed language with that identifier current and retranslates every window
    // translated so far and every named text. GermanId without a German file returns to the built-in
    // texts. Any other identifier not listed changes nothing and returns false.
    bool SelectLanguage(quint32 id);
    int CurrentIndex() const { return m_current; }
    const TLanguageEntry* CurrentLanguage() const;
    quint32 CurrentLanguageId() const;

    // Translates root and its objects into the current language (back to German for the built-in
    // one) and keeps root to retranslate it on every later language change.
    void Translate(QObject* root);

signals:
    void languageChanged();

private:
    void apply();

    QString m_folder;
    QList<TLanguageEntry> m_languages;
    int m_current = -1;
    QList<QPointer<QObject>> m_roots;
};
