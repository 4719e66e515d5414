#pragma once

#include "camera/TStringAdapter.h"
#include "camera/TXMLAttribute.h"
#include "camera/TXMLCommentList.h"
#include "camera/TXMLNodeList.h"
#include "camera/TXMLValue.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

// One element of a document: name, text, attributes, the comments before it and its
// children in document order. A node owns its children; freeing a node takes it out
// of its parent's list.
class TXMLNode
{
public:
    // Deepest level a node may have; the reader recurses per level, so hostile input
    // must not nest without end.
    static constexpr int MaxLevel = 256;

    enum class FindMode {
        ReturnNull = 0, // a missing segment gives nullptr
        Throw = 1, // a missing segment raises EXMLNodeNotFound with the whole path
        Create = 2, // missing nodes are created
    };

    // With a parent the node is appended to its children and shares its root's adapter.
    // Throws EXMLNestingTooDeep when the parent is at MaxLevel already.
    explicit TXMLNode(TXMLNode* parent = nullptr, const QString& name = QString());
    ~TXMLNode();
    TXMLNode(const TXMLNode&) = delete;
    TXMLNode& operator=(const TXMLNode&) = delete;

    // Names of all ancestors joined with "." ("" for the root).
    QString Path() const;
    QString Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    TXMLValue& Value() { return m_value; }
    const TXMLValue& Value() const { return m_value; }
    TXMLNode* Parent() const { return m_parent; }
    int Level() const { return m_level; }
    TXMLAttributeList& Attributes() { return m_attributes; }
    const TXMLAttributeList& Attributes() const { return m_attributes; }
    // The root's adapter, shared by the whole tree.
    TStringAdapter& Adapter() const { return *m_adapter; }
    TXMLNodeList& Children() { return m_children; }
    const TXMLNodeList& Children() const { return m_children; }
    TXMLCommentList& Comments() { return m_comments; }
    const TXMLCommentList& Comments() const { return m_comments; }

    // The XML declaration is written only for a root with this set.
    bool WriteHeader() const { return m_writeHeader; }
    void SetWriteHeader(bool write) { m_writeHeader = write; }
    bool HasStylesheet() const { return m_hasStylesheet; }
    QString StylesheetHref() const { return m_stylesheetHref; }
    void SetStylesheet(const QString& href)
    {
        m_hasStylesheet = true;
        m_stylesheetHref = href;
    }

    // The value text of an attribute, empty when absent.
    QString AttributeText(const QString& name) const;

    // Segments separated by ".", each with an optional "[n]" occurrence, below this node.
    TXMLNode* FindNode(const QString& path, FindMode mode = FindMode::ReturnNull);

    // Writes the node and its subtree, lines ending in CR LF.
    void Save(QIODevice* device) const;
    QByteArray SaveToBytes() const;

private:
    friend class TXMLNodeList;
    // Turns the node into a stand-alone root after it left its parent.
    void detach();
    void rebase(int level, TStringAdapter* adapter);
    void saveTo(QByteArray& out) const;

    TXMLNode* m_parent;
    int m_level;
    QString m_name;
    TXMLValue m_value;
    TXMLAttributeList m_attributes { this };
    std::unique_ptr<TStringAdapter> m_ownAdapter;
    TStringAdapter* m_adapter;
    TXMLNodeList m_children { this };
    bool m_writeHeader = false;
    bool m_hasStylesheet = false;
    QString m_stylesheetHref;
    TXMLCommentList m_comments;
};
