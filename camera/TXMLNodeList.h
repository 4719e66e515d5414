#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class TXMLNode;

// A list of element nodes. A node's Children list owns its nodes (they join it by
// being created with that parent); every other list, such as a search result, only
// refers to nodes owned elsewhere.
class TXMLNodeList
{
public:
    TXMLNodeList() = default;
    ~TXMLNodeList();
    TXMLNodeList(const TXMLNodeList&) = delete;
    TXMLNodeList& operator=(const TXMLNodeList&) = delete;
    TXMLNodeList(TXMLNodeList&& other) noexcept;
    TXMLNodeList& operator=(TXMLNodeList&&) = delete;

    bool OwnsNodes() const { return m_owner != nullptr; }
    int Count() const { return static_cast<int>(m_nodes.size()); }
    bool IsEmpty() const { return m_nodes.empty(); }
    // nullptr out of range.
    TXMLNode* At(int index) const;
    int IndexOf(const TXMLNode* node) const;

    // Index of the occurrence-th node (0-based) with the name; "name[n]" carries its own
    // occurrence. Names are trimmed and compared without case. -1 when there is none.
    int IndexOf(const QString& name, int occurrence = 0) const;
    TXMLNode* Find(const QString& name, int occurrence = 0) const;
    int CountOf(const QString& name) const;
    // Nodes whose names match a mask of "*" and "?".
    TXMLNodeList Match(const QString& mask, bool caseSensitive = true) const;
    QStringList Names() const;

    // An owning list only accepts a node created with its owner as parent.
    bool Add(TXMLNode* node);
    bool Insert(int index, TXMLNode* node);
    // An owning list frees the node; any other list just forgets it.
    bool Delete(int index);
    // Takes the node out without freeing it; from an owning list the node becomes a
    // stand-alone tree that the caller owns.
    bool Remove(TXMLNode* node);
    void Clear();

    auto begin() const { return m_nodes.cbegin(); }
    auto end() const { return m_nodes.cend(); }

    // Splits "name[n]" into name and occurrence; a plain name keeps the given occurrence.
    static void SplitOccurrence(const QString& segment, QString* name, int* occurrence);
    static bool MatchesMask(const QString& text, const QString& mask, bool caseSensitive);

private:
    friend class TXMLNode;
    explicit TXMLNodeList(TXMLNode* owner)
        : m_owner(owner)
    { }

    TXMLNode* m_owner = nullptr;
    std::vector<TXMLNode*> m_nodes;
};
