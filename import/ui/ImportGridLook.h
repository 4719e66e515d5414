#pragma once

#include "import/ui/TKmImageGridCells.h"

#include <QColor>

// How the photo and live import pages set up their thumbnail grid: flat cells a pixel apart in the
// pages' greys.
inline void ApplyImportGridLook(TKmImageGridCells& cells)
{
    cells.SetCellSpace(1);
    cells.SetCellWidth(110);
    cells.SetCellBorderStyle(TKmImageGridCell::bsNone);
    cells.SetCellBevelInner(TKmImageGridCell::bvNone);
    cells.SetCellBevelOuter(TKmImageGridCell::bvNone);
    cells.SetCaptionColor(QColor(0x91, 0x91, 0x91));
    cells.SetImageColor(QColor(0x7F, 0x7F, 0x7F));
    cells.SetSelectedColor(QColor(0xBF, 0xBF, 0xBF));
    cells.SetUpperLabelColor(Qt::black);
    // Date and size in a dark grey that still reads at 4.5:1 on the caption's grey and on the selection.
    cells.SetLowerLabelColor(QColor(0x26, 0x26, 0x26));
}
