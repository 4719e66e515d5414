#pragma once

#include "import/TImportSession.h"

#include <QWidget>

#include <vector>

class TKmImageGrid;
class TPhotoImportResultBar;

// The photo import page's thumbnail panel: one cell per file of the folder, and the result bar
// under the grid. Cells follow the session's items by index.
class TPhotoImportThumbnailPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TPhotoImportThumbnailPanel(QWidget* parent = nullptr);

    // No cells and no thumbnail progress.
    void Clear();
    // The cell for the next item. False when its thumbnail does not decode; the cell says so.
    bool AddCell(const TImportSession::TItem& item);
    // The item's play time, and its local copy once there is one.
    void UpdateCell(int index, const TImportSession::TItem& item);
    // False when the thumbnail does not decode.
    bool UpdatePreview(int index, const TImportSession::TItem& item);
    std::vector<int> SelectedCells() const;

    TKmImageGrid* igrThumbnails;
    TPhotoImportResultBar* pnlImportResult;
};
