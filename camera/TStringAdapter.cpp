#include "camera/TStringAdapter.h"

#include "camera/XMLExceptions.h"

#include <QMutex>
#include <QMutexLocker>

#include <utility>
#include <vector>

namespace {

struct Registry
{
    QMutex mutex;
    std::vector<std::pair<QString, TStringAdapter::Factory>> entries;

    Registry()
    {
        entries.emplace_back(
            TDefaultAdapter::ClassName(), [] { return std::make_unique<TDefaultAdapter>(); });
        entries.emplace_back(
            TShiftJisAdapter::ClassName(), [] { return std::make_unique<TShiftJisAdapter>(); });
        entries.emplace_back(TUtf8Adapter::ClassName(), [] { return std::make_unique<TUtf8Adapter>(); });
    }

    // Caller holds the mutex.
    const TStringAdapter::Factory* find(const QString& name) const
    {
        const QString key = name.trimmed();
        for (const auto& entry : entries)
            if (entry.first.compare(key, Qt::CaseInsensitive) == 0)
                return &entry.second;
        return nullptr;
    }
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::unique_ptr<TBaseStringAdapter> createConverter(const QString& name)
{
    Registry& reg = registry();
    TStringAdapter::Factory factory;
    {
        QMutexLocker lock(&reg.mutex);
        const TStringAdapter::Factory* found = reg.find(name);
        if (!found)
            throw ESAWrongEncodingException();
        factory = *found;
    }
    std::unique_ptr<TBaseStringAdapter> converter = factory();
    if (!converter)
        throw ESAWrongEncodingException();
    return converter;
}

bool startsWith(const QByteArray& text, qsizetype pos, const char* ref, qsizetype refLength)
{
    return QByteArrayView(text).sliced(pos).startsWith(QByteArrayView(ref, refLength));
}

// The references the cameras' texts use, replaced in a single pass so that a
// replaced "&" never starts a new reference.
QByteArray replaceReferences(const QByteArray& text)
{
    struct Ref
    {
        const char* text;
        qsizetype length;
        char replacement;
    };
    static constexpr Ref refs[] = {
        { "&quot;", 6, '"' },
        { "&#34;", 5, '"' },
        { "&amp;", 5, '&' },
        { "&#38;", 5, '&' },
        { "&lt;", 4, '<' },
        { "&#60;", 5, '<' },
        { "&gt;", 4, '>' },
        { "&#62;", 5, '>' },
    };
    if (!text.contains('&'))
        return text;
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == '&') {
            bool replaced = false;
            for (const Ref& ref : refs) {
                if (startsWith(text, i, ref.text, ref.length)) {
                    out.append(ref.replacement);
                    i += ref.length;
                    replaced = true;
                    break;
                }
            }
            if (replaced)
                continue;
        }
        out.append(text[i]);
        ++i;
    }
    return out;
}

QString escapeReferences(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    out.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    out.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    out.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return out;
}

bool isContinuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

QString TShiftJisAdapter::Decode(const QByteArray& text) const
{
    return DecodeChars(replaceReferences(text));
}

QByteArray TShiftJisAdapter::Encode(const QString& text) const
{
    return EncodeChars(escapeReferences(text));
}

QString TShiftJisAdapter::DecodeChars(const QByteArray& text) const
{
    // UTF-8 reduced to single-byte text. A sequence is only taken as far as its
    // continuation bytes go, so a stray lead byte never swallows the ASCII after it.
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = static_cast<uchar>(text[i]);
        int length = 0;
        if (lead < 0x80) {
            out.append(QChar(lead));
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0)
            length = 2;
        else if ((lead & 0xF0) == 0xE0)
            length = 3;
        else if ((lead & 0xF8) == 0xF0)
            length = 4;
        if (length == 0) {
            ++i; // a continuation byte without its lead, or 0xF8..0xFF
            continue;
        }
        bool complete = i + length <= size;
        for (int k = 1; complete && k < length; ++k)
            complete = isContinuation(static_cast<uchar>(text[i + k]));
        if (!complete) {
            ++i;
            continue;
        }
        if (length == 2) {
            const uint codePoint = ((lead & 0x1Fu) << 6) | (static_cast<uchar>(text[i + 1]) & 0x3Fu);
            out.append(codePoint < 256 ? QChar(codePoint) : QChar(QLatin1Char(' ')));
        } else {
            out.append(QLatin1Char(' '));
        }
        i += length;
    }
    return out;
}

QString TUtf8Adapter::Decode(const QByteArray& text) const
{
    return DecodeChars(replaceReferences(text));
}

QByteArray TUtf8Adapter::Encode(const QString& text) const
{
    return EncodeChars(escapeReferences(text));
}

TStringAdapter::TStringAdapter()
    : TStringAdapter(TDefaultAdapter::ClassName())
{ }

TStringAdapter::TStringAdapter(const QString& encoding)
    : m_encoding(encoding)
    , m_converter(createConverter(encoding))
{ }

void TStringAdapter::SetEncoding(const QString& encoding)
{
    m_converter = createConverter(encoding);
    m_encoding = encoding;
}

void TStringAdapter::RegisterAdapter(const QString& name, Factory factory)
{
    if (!factory)
        return;
    Registry& reg = registry();
    QMutexLocker lock(&reg.mutex);
    if (reg.find(name))
        return;
    reg.entries.emplace_back(name.trimmed(), std::move(factory));
}

bool TStringAdapter::IsRegistered(const QString& name)
{
    Registry& reg = registry();
    QMutexLocker lock(&reg.mutex);
    return reg.find(name) != nullptr;
}

QStringList TStringAdapter::RegisteredNames()
{
    Registry& reg = registry();
    QMutexLocker lock(&reg.mutex);
    QStringList names;
    for (const auto& entry : reg.entries)
        names.append(entry.first);
    return names;
}
