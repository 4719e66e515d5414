#include "camera/THTTPMethod.h"

THTTPMethod* THTTPMethods::At(int index) const
{
    return index >= 0 && index < Count() ? m_items[index].get() : nullptr;
}

THTTPMethod* THTTPMethods::Add(THTTPMethod::Kind kind)
{
    m_items.push_back(std::make_unique<THTTPMethod>(kind));
    return m_items.back().get();
}

TCGIParam* THTTPMethods::FindParam(THTTPMethod::Kind kind, const QString& name) const
{
    for (const auto& method : m_items) {
        if (method->MethodKind != kind)
            continue;
        if (TCGIParam* param = method->Params.Find(name))
            return param;
    }
    return nullptr;
}

bool THTTPMethods::HasMethod(THTTPMethod::Kind kind, bool withoutParams) const
{
    for (const auto& method : m_items)
        if (method->MethodKind == kind && (!withoutParams || method->Params.IsEmpty()))
            return true;
    return false;
}
