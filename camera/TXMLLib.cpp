#include "camera/TXMLLib.h"

#include "base/TLogger.h"
#include "camera/XMLExceptions.h"

#include <QIODevice>

#include <exception>
#include <optional>
#include <utility>

namespace {

// Reads one document. The byte rules follow the camera answers: control bytes are
// never text, and a tag drops the line breaks inside it.
class XmlReader
{
public:
    explicit XmlReader(const QByteArray& data)
        : m_data(data)
    { }

    bool parse(TXMLNode* node, bool recurse);

private:
    static constexpr int MaxHighBitBytes = 9;

    bool atEnd() const { return m_pos >= m_data.size(); }
    bool lookingAt(QByteArrayView text, bool caseSensitive) const;
    void countLines(qsizetype from, qsizetype to);
    // Everything after a cut-off tag is unreadable: the document ends there.
    void endDocument() { m_pos = m_data.size(); }
    // Bytes from m_pos up to the terminator (not included); m_pos moves past it.
    QByteArray readUpTo(QByteArrayView terminator);

    QByteArray readTag(TXMLNode* node, bool storeComments);
    void readValue(TXMLNode* node);
    void handleInstruction(TXMLNode* node, const QByteArray& tag);
    void readNameAndAttributes(TXMLNode* node, const QByteArray& content);

    const QByteArray& m_data;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool startsWithNoCase(const QByteArray& text, QByteArrayView prefix)
{
    return text.size() >= prefix.size()
        && QByteArrayView(text).first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

// The value after key= in a declaration: its opening quote skipped, up to the closing
// quote (a single quote only where allowed); an unquoted value ends at a blank, "?" or ">".
std::optional<QByteArray> declarationValue(const QByteArray& tag, QByteArrayView key, bool singleQuoteCloses)
{
    const qsizetype at = tag.toUpper().indexOf(key);
    if (at < 0)
        return std::nullopt;
    qsizetype p = at + key.size();
    const bool quoted = p < tag.size() && (tag[p] == '"' || tag[p] == '\'');
    if (quoted)
        ++p;
    qsizetype end = p;
    while (end < tag.size()) {
        const char c = tag[end];
        if (c == '"' || (singleQuoteCloses && c == '\''))
            break;
        if (!quoted && (c == ' ' || c == '?' || c == '>'))
            break;
        ++end;
    }
    return tag.mid(p, end - p);
}

bool XmlReader::lookingAt(QByteArrayView text, bool caseSensitive) const
{
    if (m_pos + text.size() > m_data.size())
        return false;
    const QByteArrayView here(m_data.constData() + m_pos, text.size());
    return caseSensitive ? here == text : here.compare(text, Qt::CaseInsensitive) == 0;
}

void XmlReader::countLines(qsizetype from, qsizetype to)
{
    m_line += static_cast<int>(QByteArrayView(m_data.constData() + from, to - from).count('\n'));
}

QByteArray XmlReader::readUpTo(QByteArrayView terminator)
{
    const qsizetype close = m_data.indexOf(terminator, m_pos);
    const qsizetype textEnd = close < 0 ? m_data.size() : close;
    QByteArray text = m_data.mid(m_pos, textEnd - m_pos);
    countLines(m_pos, textEnd);
    m_pos = close < 0 ? m_data.size() : close + terminator.size();
    return text;
}

QByteArray XmlReader::readTag(TXMLNode* node, bool storeComments)
{
    const char* data = m_data.constData();
    const qsizetype size = m_data.size();
    int highBitBytes = 0;
    for (;;) {
        // Everything before the "<" is skipped, but a run of high-bit bytes there means
        // the data is no text document at all.
        while (m_pos < size && data[m_pos] != '<') {
            const uchar c = static_cast<uchar>(data[m_pos++]);
            if (c == '\n')
                ++m_line;
            else if ((c & 0x80) && ++highBitBytes > MaxHighBitBytes)
                throw EXMLInvalidFile();
        }
        if (m_pos >= size)
            return QByteArray();
        ++m_pos;
        if (!lookingAt("!--", true))
            break;
        m_pos += 3;
        const QByteArray text = readUpTo("-->").trimmed();
        if (storeComments)
            node->Comments().AddText(node->Adapter().DecodeChars(text));
    }

    // The tag keeps its blanks but no other bytes up to the blank (line breaks, tabs).
    QByteArray tag("<");
    qsizetype run = m_pos;
    for (;;) {
        if (m_pos >= size || data[m_pos] == '<') {
            // A tag that the data ends in, or that another tag starts inside, was cut
            // off: drop it and end the document so the tree read so far stands.
            endDocument();
            return QByteArray();
        }
        const uchar c = static_cast<uchar>(data[m_pos]);
        if (c < ' ') {
            tag.append(data + run, m_pos - run);
            if (c == '\n')
                ++m_line;
            run = ++m_pos;
            continue;
        }
        ++m_pos;
        if (c == '>') {
            tag.append(data + run, m_pos - run);
            return tag;
        }
    }
}

void XmlReader::readValue(TXMLNode* node)
{
    const qsizetype valueStart = m_pos;
    while (m_pos < m_data.size() && static_cast<uchar>(m_data[m_pos]) <= ' ')
        ++m_pos;
    if (lookingAt("<![CDATA[", false)) {
        countLines(valueStart, m_pos);
        QByteArray content;
        do {
            // Sections that follow each other directly are one text: that is how a
            // text containing "]]>" is written.
            m_pos += 9;
            content += readUpTo("]]>");
        } while (lookingAt("<![CDATA[", false));
        node->Value().Text = node->Adapter().DecodeChars(content);
        node->Value().IsCData = true;
        return;
    }
    m_pos = valueStart;

    qsizetype end = m_data.indexOf('<', m_pos);
    if (end < 0)
        end = m_data.size();
    QByteArray text = m_data.mid(m_pos, end - m_pos);
    countLines(m_pos, end);
    m_pos = end;
    // Bytes up to the blank other than blank, tab, CR and LF are never text.
    text.removeIf([](char c) { return static_cast<uchar>(c) < ' ' && c != '\t' && c != '\n' && c != '\r'; });
    text = std::move(text).trimmed();
    if (!text.isEmpty())
        node->Value().Text = node->Adapter().Decode(text);
}

void XmlReader::handleInstruction(TXMLNode* node, const QByteArray& tag)
{
    if (startsWithNoCase(tag, "<?xml-stylesheet ")) {
        if (const auto href = declarationValue(tag, "HREF=", false))
            node->SetStylesheet(QString::fromLatin1(*href));
    } else if (startsWithNoCase(tag, "<?xml ")) {
        if (const auto encoding = declarationValue(tag, "ENCODING=", true))
            node->Adapter().SetEncoding(QString::fromLatin1(*encoding));
    }
    // Document type declarations and other instructions carry nothing we use.
}

void XmlReader::readNameAndAttributes(TXMLNode* node, const QByteArray& content)
{
    const qsizetype blank = content.indexOf(' ');
    if (blank < 0) {
        node->SetName(QString::fromLatin1(content));
        return;
    }
    node->SetName(QString::fromLatin1(content.left(blank).trimmed()));
    // Positions instead of copies of the rest: a hostile tag may hold many attributes.
    const QByteArrayView text(content);
    qsizetype p = blank + 1;
    const auto skipBlanks = [&] {
        while (p < text.size() && text[p] == ' ')
            ++p;
    };
    for (skipBlanks(); p < text.size(); skipBlanks()) {
        // Text without "=" yields an empty name; the second one is a duplicate, which
        // ends the loop with EXMLNodeAttrNameExists.
        const qsizetype equals = text.indexOf('=', p);
        QByteArrayView name;
        if (equals >= 0) {
            name = text.sliced(p, equals - p).trimmed();
            p = equals + 1;
            skipBlanks();
        }
        QByteArrayView value;
        if (p < text.size() && text[p] == '"') {
            qsizetype close = text.indexOf('"', p + 1);
            if (close < 0)
                close = text.size();
            value = text.sliced(p + 1, close - p - 1).trimmed();
            p = qMin(close + 1, text.size());
        }
        node->Attributes().Add(
            QString::fromLatin1(name), node->Adapter().Decode(value.toByteArray()), m_line);
    }
}

bool isEndTag(const QByteArray& tag)
{
    return tag.startsWith("</");
}

bool XmlReader::parse(TXMLNode* node, bool recurse)
{
    QByteArray tag;
    for (;;) {
        tag = readTag(node, true).trimmed();
        if (tag.isEmpty())
            return false;
        if (tag.size() >= 2 && (tag[1] == '!' || tag[1] == '?')) {
            handleInstruction(node, tag);
            continue;
        }
        break;
    }

    QByteArray content = tag.mid(1, tag.size() - 2).trimmed();
    if (content.endsWith('/')) {
        content.chop(1);
        readNameAndAttributes(node, content.trimmed());
        return true;
    }
    readNameAndAttributes(node, content);
    readValue(node);

    if (!recurse)
        return true;
    while (!atEnd()) {
        const qsizetype savedPos = m_pos;
        const int savedLine = m_line;
        const QByteArray next = readTag(node, false).trimmed();
        // Our own end tag closes the element; so does a stray one, which would otherwise
        // open a bogus element named "/x" and nest everything after it one level deeper.
        if (next.isEmpty() || isEndTag(next))
            break;
        m_pos = savedPos;
        m_line = savedLine;
        if (node->Level() >= TXMLNode::MaxLevel)
            throw EXMLNestingTooDeep(TXMLNode::MaxLevel, m_line);
        auto* child = new TXMLNode(node);
        if (!parse(child, true)) {
            // Only the end of the data makes a child fail; it read nothing.
            delete child;
            break;
        }
    }
    return true;
}

} // namespace

bool TXMLLib::Load(QIODevice* device)
{
    if (!device || !device->isReadable())
        throw EXMLInvalidFile();
    return Load(device->readAll());
}

bool TXMLLib::Load(const QByteArray& data)
{
    m_root.reset();
    // A document without a declaration keeps the byte-preserving default adapter even
    // though "UTF-8" is registered; only a declaration switches it.
    auto root = std::make_unique<TXMLNode>();
    root->SetWriteHeader(true);
    XmlReader reader(data);
    const bool found = reader.parse(root.get(), true);
    m_root = std::move(root);
    return found;
}

bool TXMLLib::TryLoad(const QByteArray& data, QString* error) noexcept
{
    QString reason;
    try {
        return Load(data);
    } catch (const EXMLLibException& e) {
        reason = e.Message();
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
        reason = QStringLiteral("unknown error");
    }
    m_root.reset();
    // Many answers are not meant to be XML; the caller decides whether that is a failure.
    TLogger::LogTrace(QStringLiteral("TXMLLib.TryLoad: ") + reason);
    if (error)
        *error = reason;
    return false;
}

void TXMLLib::Save(QIODevice* device) const
{
    if (m_root)
        m_root->Save(device);
}
