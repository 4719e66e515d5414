#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Converts text between a document's bytes and the program's QString.
class TBaseStringAdapter
{
public:
    TBaseStringAdapter() = default;
    virtual ~TBaseStringAdapter() = default;

    virtual QString GetName() const = 0;
    // Document text (with character references) to program text.
    virtual QString Decode(const QByteArray& text) const = 0;
    // Program text to document text, references written where the format needs them.
    virtual QByteArray Encode(const QString& text) const = 0;

    // Character set only, no references: for CDATA sections, whose content is literal.
    virtual QString DecodeChars(const QByteArray& text) const = 0;
    virtual QByteArray EncodeChars(const QString& text) const = 0;
};

// No declared encoding: bytes map 1:1 (Latin-1) so nothing is lost on the way through.
class TDefaultAdapter : public TBaseStringAdapter
{
public:
    static QString ClassName() { return QString(); }
    QString GetName() const override { return ClassName(); }
    QString Decode(const QByteArray& text) const override { return DecodeChars(text); }
    QByteArray Encode(const QString& text) const override { return EncodeChars(text); }
    QString DecodeChars(const QByteArray& text) const override { return QString::fromLatin1(text); }
    QByteArray EncodeChars(const QString& text) const override { return text.toLatin1(); }
};

// The cameras declare "Shift-JIS" but send UTF-8; the program keeps single-byte text,
// so every code point above 255 becomes a blank.
class TShiftJisAdapter : public TBaseStringAdapter
{
public:
    static QString ClassName() { return QStringLiteral("Shift-JIS"); }
    QString GetName() const override { return ClassName(); }
    QString Decode(const QByteArray& text) const override;
    QByteArray Encode(const QString& text) const override;
    QString DecodeChars(const QByteArray& text) const override;
    QByteArray EncodeChars(const QString& text) const override { return text.toUtf8(); }
};

// The commonest declaration; decoded as real UTF-8 with the same references as Shift-JIS.
class TUtf8Adapter : public TBaseStringAdapter
{
public:
    static QString ClassName() { return QStringLiteral("UTF-8"); }
    QString GetName() const override { return ClassName(); }
    QString Decode(const QByteArray& text) const override;
    QByteArray Encode(const QString& text) const override;
    QString DecodeChars(const QByteArray& text) const override { return QString::fromUtf8(text); }
    QByteArray EncodeChars(const QString& text) const override { return text.toUtf8(); }
};

// The converter for one encoding name, looked up in the process-wide registry.
class TStringAdapter
{
public:
    using Factory = std::function<std::unique_ptr<TBaseStringAdapter>()>;

    // The default (empty-named) converter.
    TStringAdapter();
    // Throws ESAWrongEncodingException for an unregistered name.
    explicit TStringAdapter(const QString& encoding);

    QString Encoding() const { return m_encoding; }
    // Name of the converter in use ("" for the default one).
    QString Name() const { return m_converter->GetName(); }
    void SetEncoding(const QString& encoding);

    QString Decode(const QByteArray& text) const { return m_converter->Decode(text); }
    QByteArray Encode(const QString& text) const { return m_converter->Encode(text); }
    QString DecodeChars(const QByteArray& text) const { return m_converter->DecodeChars(text); }
    QByteArray EncodeChars(const QString& text) const { return m_converter->EncodeChars(text); }

    // Registering a name twice keeps the first registration. Names are trimmed and
    // compared without case.
    static void RegisterAdapter(const QString& name, Factory factory);
    template<class T> static void RegisterAdapter()
    {
        RegisterAdapter(T::ClassName(), [] { return std::make_unique<T>(); });
    }
    static bool IsRegistered(const QString& name);
    static QStringList RegisteredNames();

private:
    QString m_encoding;
    std::unique_ptr<TBaseStringAdapter> m_converter;
};
