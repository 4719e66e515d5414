#pragma once

#include "import/TCameraImportItem.h"

#include <QString>

#include <vector>

// The camera's files, always in order: by date, then time, then name without regard to case.
// Owns its entries when created owning; a non-owning list points into another list's entries.
class TBaseCameraImportItems
{
public:
    explicit TBaseCameraImportItems(bool ownsItems);
    virtual ~TBaseCameraImportItems();
    TBaseCameraImportItems(const TBaseCameraImportItems&) = delete;
    TBaseCameraImportItems& operator=(const TBaseCameraImportItems&) = delete;

    // Creates an entry and puts it into its place; returns that index. Entries that sort equal keep
    // the order in which they were added.
    int Add(const QString& directory, const QString& fileName, const QString& sizeText,
        const QString& dateText, const QString& timeText);
    // Clears first when clearFirst is set; then adds a copy of every entry of source (nothing for
    // nullptr).
    void AssignFrom(const TBaseCameraImportItems* source, bool clearFirst);
    // Some entry equals item in all five listed texts (without regard to case).
    bool Contains(const TCameraImportItem* item) const;
    void SortItems();
    int Count() const { return int(m_items.size()); }
    TCameraImportItem* operator[](int index) const { return m_items.at(size_t(index)); }
    TCameraImportItem* At(int index) const { return m_items.at(size_t(index)); }
    void Clear();
    bool OwnsItems() const { return m_owns; }

    // Many entries at once: appended unsorted, sorted once by EndUpdate (or the next Add).
    void BeginUpdate();
    void EndUpdate();

    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }

    static bool Less(const TCameraImportItem& a, const TCameraImportItem& b);

protected:
    // For a non-owning list: refers to an entry owned elsewhere.
    void appendReference(TCameraImportItem* item) { m_items.push_back(item); }

private:
    int insertSorted(TCameraImportItem* item);

    std::vector<TCameraImportItem*> m_items;
    bool m_owns;
    bool m_updating = false;
    bool m_unsorted = false;
};
