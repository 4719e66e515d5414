#include "import/TPreviewList.h"

int TPreviewList::Add(std::unique_ptr<TPreview> preview)
{
    if (!preview)
        return -1;
    const int index = int(m_items.size());
    // The first of equal names is the one Find returns.
    const QString key = preview->Name.toLower();
    if (!m_index.contains(key))
        m_index.insert(key, index);
    m_items.push_back(std::move(preview));
    return index;
}

TPreview* TPreviewList::Find(const QString& name) const
{
    const auto it = m_index.constFind(name.toLower());
    return it == m_index.constEnd() ? nullptr : m_items[size_t(*it)].get();
}

void TPreviewList::Clear()
{
    m_index.clear();
    m_items.clear();
}
