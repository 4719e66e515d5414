#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// One language file: "key=value" lines in the ANSI code page (Windows-1252) or UTF-8 / UTF-16 LE
// with byte-order mark. Keys beginning with "!" are the header; "<BR>" in a value is a line break.
// Broken lines are skipped and logged; what could be read is kept.
class TLanguageFile
{
public:
    enum class Encoding { Ansi, Utf8, Utf16LE, Utf16BE };

    // Files this large are no language file; refusing them keeps a stray file from filling memory.
    static constexpr qint64 MaxFileSize = 8 * 1024 * 1024;

    // False when the file cannot be read or is no text file; the reason is logged.
    bool Load(const QString& path);
    // sourceName names the file in log lines.
    bool Parse(const QByteArray& bytes, const QString& sourceName = QString());

    // Text of bytes by their byte-order mark; without one UTF-8 when the bytes are valid UTF-8
    // with at least one multi-byte character (a file saved without mark), otherwise Windows-1252.
    static QString Decode(const QByteArray& bytes, Encoding* encoding = nullptr, bool* valid = nullptr);
    static QString DecodeWindows1252(const QByteArray& bytes);

    bool HasLanguageId() const { return m_hasLanguageId; }
    quint32 LanguageId() const { return m_languageId; }
    QString LanguageName() const { return m_languageName; }
    QString TranslationAuthor() const { return m_author; }
    QString TranslationAuthorEmail() const { return m_authorEmail; }
    QString TranslationDefaultFont() const { return m_defaultFont; }
    Encoding FileEncoding() const { return m_encoding; }

    // Translations by key; the first line of a key counts.
    const QHash<QString, QString>& Texts() const { return m_texts; }
    int BrokenLines() const { return m_brokenLines; }

private:
    void clear();
    void parseLine(QStringView line, int number, const QString& sourceName);
    void setHeader(const QString& key, const QString& value, int number, const QString& sourceName);

    bool m_hasLanguageId = false;
    quint32 m_languageId = 0;
    QString m_languageName;
    QString m_author;
    QString m_authorEmail;
    QString m_defaultFont;
    Encoding m_encoding = Encoding::Ansi;
    QHash<QString, QString> m_texts;
    int m_brokenLines = 0;
};
