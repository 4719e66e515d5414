#include "camera/TXMLNodeList.h"

#include "camera/TXMLNode.h"

#include <algorithm>

TXMLNodeList::~TXMLNodeList()
{
    Clear();
}

TXMLNodeList::TXMLNodeList(TXMLNodeList&& other) noexcept
    : m_owner(nullptr)
{
    // Nodes never leave their owning list this way: moving from one only copies the references.
    if (other.m_owner) {
        m_nodes = other.m_nodes;
    } else {
        m_nodes.swap(other.m_nodes);
    }
}

TXMLNode* TXMLNodeList::At(int index) const
{
    return index >= 0 && index < Count() ? m_nodes[index] : nullptr;
}

int TXMLNodeList::IndexOf(const TXMLNode* node) const
{
    const auto it = std::find(m_nodes.begin(), m_nodes.end(), node);
    return it == m_nodes.end() ? -1 : static_cast<int>(it - m_nodes.begin());
}

int TXMLNodeList::IndexOf(const QString& name, int occurrence) const
{
    QString wanted;
    SplitOccurrence(name, &wanted, &occurrence);
    if (occurrence < 0)
        return -1;
    int seen = 0;
    for (int i = 0; i < Count(); ++i) {
        if (m_nodes[i]->Name().trimmed().compare(wanted, Qt::CaseInsensitive) == 0) {
            if (seen == occurrence)
                return i;
            ++seen;
        }
    }
    return -1;
}

TXMLNode* TXMLNodeList::Find(const QString& name, int occurrence) const
{
    return At(IndexOf(name, occurrence));
}

int TXMLNodeList::CountOf(const QString& name) const
{
    const QString wanted = name.trimmed();
    return static_cast<int>(std::count_if(m_nodes.begin(), m_nodes.end(), [&](const TXMLNode* node) {
        return node->Name().trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
    }));
}

TXMLNodeList TXMLNodeList::Match(const QString& mask, bool caseSensitive) const
{
    TXMLNodeList result;
    for (TXMLNode* node : m_nodes)
        if (MatchesMask(node->Name(), mask, caseSensitive))
            result.m_nodes.push_back(node);
    return result;
}

QStringList TXMLNodeList::Names() const
{
    QStringList names;
    for (const TXMLNode* node : m_nodes)
        names.append(node->Name());
    return names;
}

bool TXMLNodeList::Add(TXMLNode* node)
{
    return Insert(Count(), node);
}

bool TXMLNodeList::Insert(int index, TXMLNode* node)
{
    if (!node || index < 0 || index > Count())
        return false;
    if (m_owner && (node->Parent() != m_owner || IndexOf(node) >= 0))
        return false;
    m_nodes.insert(m_nodes.begin() + index, node);
    return true;
}

bool TXMLNodeList::Delete(int index)
{
    TXMLNode* node = At(index);
    if (!node)
        return false;
    m_nodes.erase(m_nodes.begin() + index);
    if (m_owner) {
        node->m_parent = nullptr; // already out of the list
        delete node;
    }
    return true;
}

bool TXMLNodeList::Remove(TXMLNode* node)
{
    const int index = IndexOf(node);
    if (index < 0)
        return false;
    m_nodes.erase(m_nodes.begin() + index);
    if (m_owner)
        node->detach();
    return true;
}

void TXMLNodeList::Clear()
{
    // Take the nodes out first so each freed node does not search this list again.
    std::vector<TXMLNode*> nodes;
    nodes.swap(m_nodes);
    if (!m_owner)
        return;
    for (TXMLNode* node : nodes) {
        node->m_parent = nullptr;
        delete node;
    }
}

void TXMLNodeList::SplitOccurrence(const QString& segment, QString* name, int* occurrence)
{
    const QString trimmed = segment.trimmed();
    *name = trimmed;
    if (!trimmed.endsWith(QLatin1Char(']')))
        return;
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('['));
    if (open < 0)
        return;
    bool ok = false;
    const int number = trimmed.mid(open + 1, trimmed.size() - open - 2).trimmed().toInt(&ok);
    if (!ok)
        return;
    *name = trimmed.left(open).trimmed();
    *occurrence = number;
}

bool TXMLNodeList::MatchesMask(const QString& text, const QString& mask, bool caseSensitive)
{
    const QString t = caseSensitive ? text : text.toLower();
    const QString m = caseSensitive ? mask : mask.toLower();
    // Greedy match with one back-tracking point: linear in practice, never exponential.
    qsizetype ti = 0, mi = 0, starMask = -1, starText = 0;
    while (ti < t.size()) {
        if (mi < m.size() && (m[mi] == QLatin1Char('?') || m[mi] == t[ti])) {
            ++ti;
            ++mi;
        } else if (mi < m.size() && m[mi] == QLatin1Char('*')) {
            starMask = mi++;
            starText = ti;
        } else if (starMask >= 0) {
            mi = starMask + 1;
            ti = ++starText;
        } else {
            return false;
        }
    }
    while (mi < m.size() && m[mi] == QLatin1Char('*'))
        ++mi;
    return mi == m.size();
}
