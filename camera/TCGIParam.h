#pragma once

#include <QString>

#include <memory>
#include <vector>

class TCGIParam;
class TCGIParamValue;

// The query keys a CGI program accepts at one point of its query string.
class TCGIParams
{
public:
    TCGIParams();
    ~TCGIParams();
    TCGIParams(TCGIParams&&) noexcept;
    TCGIParams& operator=(TCGIParams&&) noexcept;

    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // nullptr out of range.
    TCGIParam* At(int index) const;
    // The first key with that name without regard to ASCII case; nullptr when none.
    TCGIParam* Find(const QString& name) const;
    TCGIParam* Add(const QString& name);
    void Clear() { m_items.clear(); }

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

private:
    std::vector<std::unique_ptr<TCGIParam>> m_items;
};

// The values allowed for one key.
class TCGIParamValues
{
public:
    TCGIParamValues();
    ~TCGIParamValues();
    TCGIParamValues(TCGIParamValues&&) noexcept;
    TCGIParamValues& operator=(TCGIParamValues&&) noexcept;

    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    TCGIParamValue* At(int index) const;
    TCGIParamValue* Find(const QString& name) const;
    TCGIParamValue* Add(const QString& name);
    void Clear() { m_items.clear(); }

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

private:
    std::vector<std::unique_ptr<TCGIParamValue>> m_items;
};

// One query key ("mode", "com") with its allowed values.
class TCGIParam
{
public:
    explicit TCGIParam(const QString& name = QString())
        : Name(name)
    { }
    QString Name;
    TCGIParamValues Values;
};

// One allowed value ("rec") with the keys that may follow it ("lvqty").
class TCGIParamValue
{
public:
    explicit TCGIParamValue(const QString& name = QString())
        : Name(name)
    { }
    QString Name;
    TCGIParams Params;
};
