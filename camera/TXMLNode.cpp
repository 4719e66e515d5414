#include "camera/TXMLNode.h"

#include "camera/XMLExceptions.h"

#include <QIODevice>
#include <QStringList>

namespace {

int checkedLevel(const TXMLNode* parent)
{
    if (!parent)
        return 0;
    if (parent->Level() >= TXMLNode::MaxLevel)
        throw EXMLNestingTooDeep(TXMLNode::MaxLevel, 0);
    return parent->Level() + 1;
}

QByteArray indentation(int level)
{
    return QByteArray(2 * qMax(0, level), ' ');
}

QByteArray cdata(const QString& text, const TStringAdapter& adapter)
{
    // "]]>" cannot stand inside one section, so it is split across two.
    QString content = text;
    content.replace(QLatin1String("]]>"), QLatin1String("]]]]><![CDATA[>"));
    return "<![CDATA[" + adapter.EncodeChars(content) + "]]>";
}

} // namespace

TXMLNode::TXMLNode(TXMLNode* parent, const QString& name)
    : m_parent(parent)
    , m_level(checkedLevel(parent))
    , m_name(name)
{
    if (parent) {
        m_adapter = parent->m_adapter;
        parent->m_children.m_nodes.push_back(this);
    } else {
        m_ownAdapter = std::make_unique<TStringAdapter>();
        m_adapter = m_ownAdapter.get();
    }
}

TXMLNode::~TXMLNode()
{
    m_children.Clear();
    if (m_parent) {
        auto& siblings = m_parent->m_children.m_nodes;
        for (auto it = siblings.begin(); it != siblings.end(); ++it) {
            if (*it == this) {
                siblings.erase(it);
                break;
            }
        }
    }
}

QString TXMLNode::Path() const
{
    QStringList names;
    for (const TXMLNode* node = m_parent; node; node = node->m_parent)
        names.prepend(node->m_name);
    return names.join(QLatin1Char('.'));
}

QString TXMLNode::AttributeText(const QString& name) const
{
    const TXMLAttribute* attribute = m_attributes.Find(name);
    return attribute ? attribute->Value().Text : QString();
}

TXMLNode* TXMLNode::FindNode(const QString& path, FindMode mode)
{
    TXMLNode* node = this;
    const QStringList segments = path.split(QLatin1Char('.'));
    for (const QString& segment : segments) {
        if (segment.trimmed().isEmpty())
            continue;
        QString name;
        int occurrence = 0;
        TXMLNodeList::SplitOccurrence(segment, &name, &occurrence);
        TXMLNode* next = node->m_children.Find(name, occurrence);
        if (!next) {
            switch (mode) {
            case FindMode::ReturnNull:
                return nullptr;
            case FindMode::Throw:
                throw EXMLNodeNotFound(path);
            case FindMode::Create:
                next = new TXMLNode(node, name);
                break;
            }
        }
        node = next;
    }
    return node;
}

void TXMLNode::Save(QIODevice* device) const
{
    if (device)
        device->write(SaveToBytes());
}

QByteArray TXMLNode::SaveToBytes() const
{
    QByteArray out;
    saveTo(out);
    return out;
}

void TXMLNode::saveTo(QByteArray& out) const
{
    const QByteArray indent = indentation(m_level);
    const QByteArray name = m_name.toLatin1();
    const TStringAdapter& adapter = *m_adapter;

    if (m_writeHeader && !m_parent && m_level == 0) {
        out += "<?xml version=\"1.0\"";
        if (!adapter.Name().isEmpty())
            out += " encoding=\"" + adapter.Name().toLatin1() + '"';
        out += " ?>\r\n";
        if (m_hasStylesheet)
            out += "<?xml-stylesheet type=\"text/xsl\" href=\"" + m_stylesheetHref.toLatin1() + "\" ?>\r\n";
    }
    for (const QStringList& comment : m_comments)
        out += indent + "<!-- " + adapter.EncodeChars(comment.join(QLatin1String("\r\n"))) + " -->\r\n";

    QByteArray startTag = '<' + name;
    if (!m_attributes.IsEmpty())
        startTag += ' ' + m_attributes.Text(adapter);

    if (!m_children.IsEmpty()) {
        out += indent + startTag + ">\r\n";
        for (const TXMLNode* child : m_children)
            child->saveTo(out);
        out += indent + "</" + name + ">\r\n";
    } else if (m_value.Text.isEmpty()) {
        if (m_parent)
            out += indent + startTag + " />\r\n";
        else
            out += indent + startTag + ">\r\n" + indent + "</" + name + ">\r\n";
    } else {
        const QByteArray text
            = m_value.CountsAsCData() ? cdata(m_value.Text, adapter) : adapter.Encode(m_value.Text);
        out += indent + startTag + '>' + text + "</" + name + ">\r\n";
    }
}

void TXMLNode::detach()
{
    if (!m_parent)
        return;
    m_parent = nullptr;
    m_ownAdapter = std::make_unique<TStringAdapter>(m_adapter->Encoding());
    rebase(0, m_ownAdapter.get());
}

void TXMLNode::rebase(int level, TStringAdapter* adapter)
{
    m_level = level;
    m_adapter = adapter;
    for (TXMLNode* child : m_children)
        child->rebase(level + 1, adapter);
}
