#pragma once

#include "app/TMainPageTable.h"
#include "base/ui/TfraCameraPage.h"

#include <QStackedWidget>

#include <vector>

class QPushButton;
class TTopBar;
class TfraStartPage;

// The main window's pages, one sheet each: the start page, then the pages of the page table. Only the
// main window switches them. A plain stack (no "Tfra" class), so the pages keep the main window's
// text keys.
class TMainPages : public QStackedWidget
{
    Q_OBJECT

public:
    // A page of the table with its sheet and its button in the top bar (nullptr: none).
    struct Entry
    {
        const TMainPageRow* Row;
        QWidget* Sheet;
        TfraCameraPage* Page;
        QPushButton* Button;

        bool IsCameraPage() const { return Row->Capability != 0; }
        bool StopsOnLeave() const { return Row->OnLeave == TMainPageRow::lvStop; }
    };

    TMainPages(const TPageContext& context, TTopBar* topBar, QWidget* parent = nullptr);

    const std::vector<Entry>& Entries() const { return m_entries; }
    // The entry whose sheet this is; nullptr for the start page.
    const Entry* EntryOn(const QWidget* sheet) const;
    // The first page of that class, for what the window does with one page in particular.
    template<class Page> Page* Find() const
    {
        for (const Entry& entry : m_entries) {
            if (auto* page = qobject_cast<Page*>(entry.Page))
                return page;
        }
        return nullptr;
    }
    // The sheet and the top bar button of the first page of that class.
    template<class Page> QWidget* SheetOf() const
    {
        const Entry* entry = entryOf(Find<Page>());
        return entry ? entry->Sheet : nullptr;
    }
    template<class Page> QPushButton* ButtonOf() const
    {
        const Entry* entry = entryOf(Find<Page>());
        return entry ? entry->Button : nullptr;
    }
    // Stops the pages that stop on leaving, except the one on sheet.
    void StopPagesExcept(const QWidget* sheet);
    // The program closes: the pages that stop on leaving stop, each even when another failed.
    void LeavePages();
    // Enables each camera page and its button by the camera's capabilities (TCamera::Capability).
    void EnableFor(quint8 capabilities);

    TfraStartPage* tsConnect;

private:
    const Entry* entryOf(const TfraCameraPage* page) const;
    QWidget* addSheet(const QString& name, QWidget* content);

    std::vector<Entry> m_entries;
};
