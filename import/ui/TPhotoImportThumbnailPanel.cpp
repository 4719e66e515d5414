#include "import/ui/TPhotoImportThumbnailPanel.h"

#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TfraCameraPage.h"
#include "import/CameraDateTime.h"
#include "import/FileSizeText.h"
#include "import/ui/ImportGridLook.h"
#include "import/ui/PhotoImportPreview.h"
#include "import/ui/TKmImageGrid.h"
#include "import/ui/TPhotoImportResultBar.h"

#include <QVBoxLayout>

TPhotoImportThumbnailPanel::TPhotoImportThumbnailPanel(QWidget* parent)
    : QWidget(parent)
{
    constexpr int kMargin = TfraCameraPage::PanelMargin;
    setObjectName(QStringLiteral("pnlThumbnails"));
    DarkStyle::Apply(this, DarkStyle::Control());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    igrThumbnails = new TKmImageGrid(this);
    igrThumbnails->setObjectName(QStringLiteral("igrThumbnails"));
    ApplyImportGridLook(*igrThumbnails->Cells());
    igrThumbnails->SetRangeSelect(false);
    layout->addWidget(igrThumbnails, 1);
    pnlImportResult = new TPhotoImportResultBar(this);
    layout->addWidget(pnlImportResult);
}

void TPhotoImportThumbnailPanel::Clear()
{
    igrThumbnails->ClearCells();
    pnlImportResult->ShowThumbnailProgress(0, 0);
}

bool TPhotoImportThumbnailPanel::AddCell(const TImportSession::TItem& item)
{
    const bool copied = !item.LocalPath.isEmpty();
    TKmImageGridCell* cell = igrThumbnails->AddCell();
    cell->SetImage(copied ? item.LocalPath : item.File.CameraPath(), QByteArray());
    const bool decoded = ShowPreview(*cell, item, rs("_rsNoPreview"));
    if (copied)
        cell->SetHint(rs("_rsDoubleClickToOpen"));
    cell->SetUpperLeftText(CameraDateText(item.File.DateText));
    cell->SetUpperRightText(FileSizeText(item.File.SizeText));
    return decoded;
}

void TPhotoImportThumbnailPanel::UpdateCell(int index, const TImportSession::TItem& item)
{
    TKmImageGridCell* cell = igrThumbnails->Cells()->Items(index);
    if (!cell)
        return;
    if (!item.PlayTime.isEmpty())
        cell->SetLowerText(item.PlayTime);
    if (!item.LocalPath.isEmpty() && cell->FileName() != item.LocalPath) {
        cell->SetFileName(item.LocalPath);
        cell->SetHint(rs("_rsDoubleClickToOpen"));
    }
}

bool TPhotoImportThumbnailPanel::UpdatePreview(int index, const TImportSession::TItem& item)
{
    TKmImageGridCell* cell = igrThumbnails->Cells()->Items(index);
    return !cell || ShowPreview(*cell, item, rs("_rsNoPreview"));
}

std::vector<int> TPhotoImportThumbnailPanel::SelectedCells() const
{
    std::vector<int> selected;
    const TKmImageGridCells* cells = igrThumbnails->Cells();
    for (int i = 0; i < cells->Count(); ++i)
        if (cells->Items(i)->Selected())
            selected.push_back(i);
    return selected;
}
