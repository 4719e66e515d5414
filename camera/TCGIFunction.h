#pragma once

#include "camera/THTTPMethod.h"

#include <QString>

#include <memory>
#include <vector>

// One CGI program of the camera ("get_caminfo", without ".cgi") and its methods.
class TCGIFunction
{
public:
    explicit TCGIFunction(const QString& name = QString())
        : Name(name)
    { }
    QString Name;
    THTTPMethods Methods;
};

class TCGIFunctions
{
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    TCGIFunction* At(int index) const;
    // The first program with that name without regard to ASCII case; nullptr when none.
    TCGIFunction* Find(const QString& name) const;
    TCGIFunction* Add(const QString& name);
    void Clear() { m_items.clear(); }

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

private:
    std::vector<std::unique_ptr<TCGIFunction>> m_items;
};
