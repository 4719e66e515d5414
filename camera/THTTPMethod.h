#pragma once

#include "camera/TCGIParam.h"

#include <memory>
#include <vector>

// One HTTP method of a CGI program with the tree of query keys it accepts.
class THTTPMethod
{
public:
    enum class Kind : quint8 { Get = 1, Post = 2 };

    explicit THTTPMethod(Kind kind = Kind::Get)
        : MethodKind(kind)
    { }
    Kind MethodKind;
    TCGIParams Params;
};

class THTTPMethods
{
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    THTTPMethod* At(int index) const;
    THTTPMethod* Add(THTTPMethod::Kind kind);
    void Clear() { m_items.clear(); }

    // The key from the first method of that kind that has it; nullptr when none.
    TCGIParam* FindParam(THTTPMethod::Kind kind, const QString& name) const;
    // A method of that kind exists (with no keys at all, when withoutParams is set).
    bool HasMethod(THTTPMethod::Kind kind, bool withoutParams = false) const;

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

private:
    std::vector<std::unique_ptr<THTTPMethod>> m_items;
};
