#include "import/TBaseCameraImportItems.h"

#include <algorithm>
#include <memory>

TBaseCameraImportItems::TBaseCameraImportItems(bool ownsItems)
    : m_owns(ownsItems)
{ }

TBaseCameraImportItems::~TBaseCameraImportItems()
{
    Clear();
}

bool TBaseCameraImportItems::Less(const TCameraImportItem& a, const TCameraImportItem& b)
{
    if (a.DateKey() != b.DateKey())
        return a.DateKey() < b.DateKey();
    if (a.TimeKey() != b.TimeKey())
        return a.TimeKey() < b.TimeKey();
    return a.FileName.compare(b.FileName, Qt::CaseInsensitive) < 0;
}

int TBaseCameraImportItems::insertSorted(TCameraImportItem* item)
{
    // Listings come nearly in shooting order, so the place is usually the end.
    if (m_items.empty() || !Less(*item, *m_items.back())) {
        m_items.push_back(item);
        return int(m_items.size()) - 1;
    }
    const auto at = std::upper_bound(m_items.begin(), m_items.end(), item,
        [](const TCameraImportItem* a, const TCameraImportItem* b) { return Less(*a, *b); });
    const auto index = at - m_items.begin();
    m_items.insert(at, item);
    return int(index);
}

int TBaseCameraImportItems::Add(const QString& directory, const QString& fileName, const QString& sizeText,
    const QString& dateText, const QString& timeText)
{
    auto item = std::make_unique<TCameraImportItem>(directory, fileName, sizeText, dateText, timeText);
    TCameraImportItem* raw = item.get();
    if (!m_owns) {
        // A non-owning list cannot keep what it creates; it holds references only.
        return -1;
    }
    if (m_updating) {
        m_items.push_back(item.release());
        m_unsorted = true;
        return int(m_items.size()) - 1;
    }
    if (m_unsorted)
        SortItems();
    item.release();
    return insertSorted(raw);
}

void TBaseCameraImportItems::AssignFrom(const TBaseCameraImportItems* source, bool clearFirst)
{
    if (clearFirst)
        Clear();
    if (!source || source == this)
        return;
    const bool wasUpdating = m_updating;
    BeginUpdate();
    for (const TCameraImportItem* item : *source) {
        if (m_owns)
            Add(item->Directory, item->FileName, item->SizeText, item->DateText, item->TimeText);
        else
            m_items.push_back(const_cast<TCameraImportItem*>(item));
    }
    m_unsorted = true;
    if (!wasUpdating)
        EndUpdate();
}

bool TBaseCameraImportItems::Contains(const TCameraImportItem* item) const
{
    if (!item)
        return false;
    return std::any_of(
        m_items.begin(), m_items.end(), [item](const TCameraImportItem* own) { return own->SameAs(*item); });
}

void TBaseCameraImportItems::SortItems()
{
    std::stable_sort(m_items.begin(), m_items.end(),
        [](const TCameraImportItem* a, const TCameraImportItem* b) { return Less(*a, *b); });
    m_unsorted = false;
}

void TBaseCameraImportItems::Clear()
{
    if (m_owns)
        for (TCameraImportItem* item : m_items)
            delete item;
    m_items.clear();
    m_unsorted = false;
}

void TBaseCameraImportItems::BeginUpdate()
{
    m_updating = true;
}

void TBaseCameraImportItems::EndUpdate()
{
    m_updating = false;
    if (m_unsorted)
        SortItems();
}
