#include "camera/TXMLAttribute.h"

#include "camera/TStringAdapter.h"
#include "camera/XMLExceptions.h"

void TXMLAttribute::SetName(const QString& name, int line)
{
    if (m_list) {
        TXMLAttribute* holder = m_list->holderOf(name);
        if (holder && holder != this)
            throw EXMLNodeAttrNameExists(line);
        m_list->rename(this, m_name, name);
    }
    m_name = name;
}

void TXMLAttribute::SetValue(const QString& text)
{
    QString value = text;
    value.replace(QLatin1String("&apos;"), QLatin1String("'"), Qt::CaseInsensitive);
    value.replace(QLatin1String("&quot;"), QLatin1String("\""), Qt::CaseInsensitive);
    m_value.Text = value;
}

QString TXMLAttribute::OutputValue() const
{
    QString value = m_value.Text;
    value.replace(QLatin1Char('\''), QLatin1String("&apos;"));
    value.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return value;
}

TXMLAttribute* TXMLAttributeList::holderOf(const QString& name) const
{
    if (!m_byName.isEmpty())
        return m_byName.value(key(name), nullptr);
    for (const auto& item : m_items)
        if (item->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    return nullptr;
}

void TXMLAttributeList::rename(TXMLAttribute* attribute, const QString& oldName, const QString& newName)
{
    if (m_byName.isEmpty())
        return;
    const QString oldKey = key(oldName);
    if (m_byName.value(oldKey, nullptr) == attribute)
        m_byName.remove(oldKey);
    m_byName.insert(key(newName), attribute);
}

TXMLAttribute* TXMLAttributeList::Add(const QString& name, const QString& value, int line)
{
    if (holderOf(name))
        throw EXMLNodeAttrNameExists(line);
    std::unique_ptr<TXMLAttribute> attribute(new TXMLAttribute(this));
    attribute->m_name = name;
    attribute->SetValue(value);
    TXMLAttribute* raw = attribute.get();
    m_items.push_back(std::move(attribute));
    if (!m_byName.isEmpty()) {
        m_byName.insert(key(name), raw);
    } else if (Count() >= IndexThreshold) {
        for (const auto& item : m_items)
            m_byName.insert(key(item->m_name), item.get());
    }
    return raw;
}

TXMLAttribute* TXMLAttributeList::AddCopy(const TXMLAttribute& other, int line)
{
    TXMLAttribute* copy = Add(other.Name(), QString(), line);
    copy->m_value = other.Value();
    return copy;
}

bool TXMLAttributeList::Delete(const QString& name)
{
    return Delete(IndexOf(name));
}

bool TXMLAttributeList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return false;
    if (!m_byName.isEmpty()) {
        const QString k = key(m_items[index]->Name());
        if (m_byName.value(k, nullptr) == m_items[index].get())
            m_byName.remove(k);
    }
    m_items.erase(m_items.begin() + index);
    return true;
}

int TXMLAttributeList::IndexOf(const QString& name) const
{
    const TXMLAttribute* found = Find(name);
    if (!found)
        return -1;
    for (int i = 0; i < Count(); ++i)
        if (m_items[i].get() == found)
            return i;
    return -1;
}

TXMLAttribute* TXMLAttributeList::Find(const QString& name) const
{
    return holderOf(name);
}

TXMLAttribute* TXMLAttributeList::At(int index) const
{
    if (index < 0 || index >= Count())
        throw EXMLAttributeIndexError();
    return m_items[index].get();
}

void TXMLAttributeList::Clear()
{
    m_byName.clear();
    m_items.clear();
}

QStringList TXMLAttributeList::Names() const
{
    QStringList names;
    for (const auto& item : m_items)
        names.append(item->Name());
    return names;
}

QStringList TXMLAttributeList::Lines() const
{
    QStringList lines;
    for (const auto& item : m_items)
        lines.append(item->Name() + QLatin1Char('=') + item->Value().Text);
    return lines;
}

QByteArray TXMLAttributeList::Text(const TStringAdapter& adapter) const
{
    QByteArray text;
    for (const auto& item : m_items) {
        text += item->Name().toLatin1();
        text += "=\"";
        text += adapter.Encode(item->OutputValue());
        text += "\" ";
    }
    return text.trimmed();
}
