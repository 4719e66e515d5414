#pragma once

#include "import/TImportSession.h"
#include "import/ui/TKmImageGridCell.h"

// Shows what the session has of an item's thumbnail in its cell: the placeholder while it is to
// come, the picture once it is there, the "no preview" panel with noPreview when the camera gave
// none. False when the thumbnail does not decode; the cell then says noPreview as well.
inline bool ShowPreview(TKmImageGridCell& cell, const TImportSession::TItem& item, const QString& noPreview)
{
    using State = TImportSession::TPreviewState;
    switch (item.PreviewState) {
    case State::Waiting:
        cell.SetWaiting();
        return true;
    case State::Loaded:
        if (item.Preview && cell.SetThumbnail(item.Preview->Stream()))
            return true;
        cell.SetNoPreview(noPreview);
        return false;
    case State::Failed:
        cell.SetNoPreview(noPreview);
        return true;
    case State::None:
        break;
    }
    return true;
}
