#include "camera/TStringDictionary.h"

namespace {

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

} // namespace

bool TStringDictionary::SameText(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
            return false;
    return true;
}

TStringDictionaryItem TStringDictionary::At(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_items[size_t(index)];
}

bool TStringDictionary::Add(const QString& key, const QString& value, bool replace)
{
    int index = -1;
    if (FindKey(key, index)) {
        if (!replace)
            return false;
        m_items[size_t(index)].Value = value;
        return true;
    }
    m_items.push_back({ key, value });
    return true;
}

bool TStringDictionary::FindKey(const QString& key, int& index) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (SameText(m_items[i].Key, key)) {
            index = int(i);
            return true;
        }
    }
    index = -1;
    return false;
}

bool TStringDictionary::FindValue(const QString& value, int& index) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (SameText(m_items[i].Value, value)) {
            index = int(i);
            return true;
        }
    }
    index = -1;
    return false;
}

bool TStringDictionary::HasValue(const QString& value) const
{
    int index = -1;
    return FindValue(value, index);
}

QString TStringDictionary::ValueOf(const QString& key, bool fallback) const
{
    int index = -1;
    if (FindKey(key, index))
        return m_items[size_t(index)].Value;
    return fallback ? key : QString();
}

QString TStringDictionary::KeyOf(const QString& value, bool fallback) const
{
    int index = -1;
    if (FindValue(value, index))
        return m_items[size_t(index)].Key;
    return fallback ? value : QString();
}
