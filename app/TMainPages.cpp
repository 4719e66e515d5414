#include "app/TMainPages.h"

#include "app/TTopBar.h"
#include "app/TfraStartPage.h"
#include "base/TLogger.h"
#include "base/ui/TfraCameraPage.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

TMainPages::TMainPages(const TPageContext& context, TTopBar* topBar, QWidget* parent)
    : QStackedWidget(parent)
{
    setObjectName(QStringLiteral("pcMain"));
    tsConnect = new TfraStartPage(this);
    addWidget(tsConnect);
    for (const TMainPageRow& row : MainPageTable()) {
        TfraCameraPage* page = row.Create(context);
        page->setObjectName(QLatin1String(row.Page));
        QWidget* sheet = addSheet(QLatin1String(row.Sheet), page);
        m_entries.push_back(Entry { &row, sheet, page, topBar->PageButton(row.Button) });
    }
}

QWidget* TMainPages::addSheet(const QString& name, QWidget* content)
{
    auto* sheet = new QWidget(this);
    sheet->setObjectName(name);
    auto* box = new QVBoxLayout(sheet);
    box->setContentsMargins(0, 0, 0, 0);
    content->setParent(sheet);
    box->addWidget(content);
    addWidget(sheet);
    return sheet;
}

const TMainPages::Entry* TMainPages::EntryOn(const QWidget* sheet) const
{
    for (const Entry& entry : m_entries) {
        if (entry.Sheet == sheet)
            return &entry;
    }
    return nullptr;
}

const TMainPages::Entry* TMainPages::entryOf(const TfraCameraPage* page) const
{
    for (const Entry& entry : m_entries) {
        if (page && entry.Page == page)
            return &entry;
    }
    return nullptr;
}

void TMainPages::StopPagesExcept(const QWidget* sheet)
{
    for (const Entry& entry : m_entries) {
        if (entry.StopsOnLeave() && entry.Sheet != sheet)
            entry.Page->GoStop();
    }
}

void TMainPages::LeavePages()
{
    for (const Entry& entry : m_entries) {
        if (!entry.StopsOnLeave())
            continue;
        try {
            entry.Page->GoStop();
        } catch (const std::exception& e) {
            TLogger::LogAlways(QStringLiteral("TMainPages.LeavePages (Ex): %1: %2")
                                   .arg(entry.Page->objectName(), QString::fromUtf8(e.what())));
        }
    }
}

void TMainPages::EnableFor(quint8 capabilities)
{
    for (const Entry& entry : m_entries) {
        if (!entry.IsCameraPage())
            continue;
        entry.Page->setEnabled(capabilities & entry.Row->Capability);
        if (entry.Button)
            entry.Button->setEnabled(entry.Page->isEnabled());
    }
}
