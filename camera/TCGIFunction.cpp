#include "camera/TCGIFunction.h"

TCGIFunction* TCGIFunctions::At(int index) const
{
    return index >= 0 && index < Count() ? m_items[index].get() : nullptr;
}

TCGIFunction* TCGIFunctions::Find(const QString& name) const
{
    for (const auto& function : m_items)
        if (function->Name.compare(name, Qt::CaseInsensitive) == 0)
            return function.get();
    return nullptr;
}

TCGIFunction* TCGIFunctions::Add(const QString& name)
{
    m_items.push_back(std::make_unique<TCGIFunction>(name));
    return m_items.back().get();
}
