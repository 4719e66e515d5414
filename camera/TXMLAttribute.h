#pragma once

#include "camera/TXMLValue.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TStringAdapter;
class TXMLAttributeList;
class TXMLNode;

// One attribute of an element; created and owned by its list.
class TXMLAttribute
{
public:
    TXMLAttributeList* List() const { return m_list; }
    QString Name() const { return m_name; }
    // Throws EXMLNodeAttrNameExists when another attribute of the list has the name
    // (without regard to case); line is the document line reported with it.
    void SetName(const QString& name, int line = 0);
    const TXMLValue& Value() const { return m_value; }
    // "&apos;" and "&quot;" are stored as the characters they stand for.
    void SetValue(const QString& text);
    // The value with those characters turned back into references, for writing.
    QString OutputValue() const;

private:
    friend class TXMLAttributeList;
    explicit TXMLAttribute(TXMLAttributeList* list)
        : m_list(list)
    { }

    TXMLAttributeList* m_list;
    TXMLValue m_value;
    QString m_name;
};

// The attributes of one element in document order; names are unique without regard to case.
class TXMLAttributeList
{
public:
    explicit TXMLAttributeList(TXMLNode* owner = nullptr)
        : m_owner(owner)
    { }
    TXMLAttributeList(const TXMLAttributeList&) = delete;
    TXMLAttributeList& operator=(const TXMLAttributeList&) = delete;

    TXMLNode* Owner() const { return m_owner; }
    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    // Throws EXMLNodeAttrNameExists for a name already present.
    TXMLAttribute* Add(const QString& name, const QString& value, int line = 0);
    TXMLAttribute* AddCopy(const TXMLAttribute& other, int line = 0);
    bool Delete(const QString& name);
    bool Delete(int index);
    int IndexOf(const QString& name) const;
    bool Exists(const QString& name) const { return Find(name) != nullptr; }
    // nullptr when absent.
    TXMLAttribute* Find(const QString& name) const;
    // Throws EXMLAttributeIndexError out of range.
    TXMLAttribute* At(int index) const;
    void Clear();

    QStringList Names() const;
    // "name=value" for each attribute.
    QStringList Lines() const;
    // name="value" pairs separated by blanks, values encoded for the document.
    QByteArray Text(const TStringAdapter& adapter) const;

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

private:
    friend class TXMLAttribute;
    static QString key(const QString& name) { return name.toCaseFolded(); }
    TXMLAttribute* holderOf(const QString& name) const;
    void rename(TXMLAttribute* attribute, const QString& oldName, const QString& newName);

    // Camera tags hold one or two attributes; only a long list gets a name index, which
    // keeps the duplicate check of a hostile tag from turning quadratic.
    static constexpr int IndexThreshold = 16;

    TXMLNode* m_owner;
    std::vector<std::unique_ptr<TXMLAttribute>> m_items;
    // Folded name to attribute, filled once the list reaches IndexThreshold.
    QHash<QString, TXMLAttribute*> m_byName;
};
