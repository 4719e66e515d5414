#pragma once

#include <QString>

#include <vector>

// One pair of a dictionary: a camera value and its display text.
struct TStringDictionaryItem
{
    QString Key;
    QString Value;
};

// An ordered list of key and value pairs, looked up in both directions without regard to ASCII
// case; the first matching entry wins. Maps camera values to display texts.
class TStringDictionary
{
public:
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // Out of range gives an empty pair.
    TStringDictionaryItem At(int index) const;

    // An existing key keeps its value unless replace is set (then false is returned when it was
    // kept); a new key is appended.
    bool Add(const QString& key, const QString& value, bool replace = true);

    // The value of the first entry with that key; none: the key itself with fallback, else "".
    QString ValueOf(const QString& key, bool fallback = true) const;
    // The key of the first entry with that value; none: the value itself with fallback, else "".
    QString KeyOf(const QString& value, bool fallback = true) const;

    // index is -1 when absent.
    bool FindKey(const QString& key, int& index) const;
    bool FindValue(const QString& value, int& index) const;
    bool HasValue(const QString& value) const;

    // Protocol names and display texts are compared like this throughout the camera code.
    static bool SameText(const QString& a, const QString& b);

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

private:
    std::vector<TStringDictionaryItem> m_items;
};
