#include "camera/TCGIParam.h"

namespace {

template<class T> T* findByName(const std::vector<std::unique_ptr<T>>& items, const QString& name)
{
    for (const auto& item : items)
        if (item->Name.compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    return nullptr;
}

template<class T> T* itemAt(const std::vector<std::unique_ptr<T>>& items, int index)
{
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index].get() : nullptr;
}

} // namespace

TCGIParams::TCGIParams() = default;
TCGIParams::~TCGIParams() = default;
TCGIParams::TCGIParams(TCGIParams&&) noexcept = default;
TCGIParams& TCGIParams::operator=(TCGIParams&&) noexcept = default;

TCGIParam* TCGIParams::At(int index) const
{
    return itemAt(m_items, index);
}

TCGIParam* TCGIParams::Find(const QString& name) const
{
    return findByName(m_items, name);
}

TCGIParam* TCGIParams::Add(const QString& name)
{
    m_items.push_back(std::make_unique<TCGIParam>(name));
    return m_items.back().get();
}

TCGIParamValues::TCGIParamValues() = default;
TCGIParamValues::~TCGIParamValues() = default;
TCGIParamValues::TCGIParamValues(TCGIParamValues&&) noexcept = default;
TCGIParamValues& TCGIParamValues::operator=(TCGIParamValues&&) noexcept = default;

TCGIParamValue* TCGIParamValues::At(int index) const
{
    return itemAt(m_items, index);
}

TCGIParamValue* TCGIParamValues::Find(const QString& name) const
{
    return findByName(m_items, name);
}

TCGIParamValue* TCGIParamValues::Add(const QString& name)
{
    m_items.push_back(std::make_unique<TCGIParamValue>(name));
    return m_items.back().get();
}
