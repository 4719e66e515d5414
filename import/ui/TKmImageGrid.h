#pragma once

#include "import/ui/TKmImageGridCell.h"
#include "import/ui/TKmImageGridCells.h"

#include <QWidget>

#include <functional>

class QScrollArea;

// A vertically scrolling panel of equal thumbnail cells in rows. The cells live in Cells(); the grid
// places them on its inner panel, paints them and turns clicks into selections: a click toggles a
// cell, and with RangeSelect a Shift-click selects (or deselects) every cell from the last toggled
// one on.
class TKmImageGrid : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString CellHint READ CellHint WRITE SetCellHint)
    Q_PROPERTY(bool RangeSelect READ RangeSelect WRITE SetRangeSelect)

public:
    // Room the inner panel leaves for the vertical scroll bar.
    static constexpr int ScrollBarRoom = 20;

    explicit TKmImageGrid(QWidget* parent = nullptr);
    ~TKmImageGrid() override;

    TKmImageGridCells* Cells() const { return m_cells; }

    // Appends a cell and places it after the last one.
    TKmImageGridCell* AddCell();
    void ClearCells();
    // Places every cell again for the current width.
    void Rearrange();

    QString CellHint() const;
    void SetCellHint(const QString& hint);
    bool RangeSelect() const { return m_rangeSelect; }
    void SetRangeSelect(bool on) { m_rangeSelect = on; }
    int SelectionAnchor() const { return m_selectionAnchor; }
    int DeselectionAnchor() const { return m_deselectionAnchor; }

    QScrollArea* ScrollBox() const { return m_scrollBox; }
    QWidget* InnerPanel() const { return m_innerPanel; }
    // The cell under a point of the inner panel, or none.
    TKmImageGridCell* CellAt(const QPoint& innerPanelPos) const;
    // Scrolls so that the cell can be seen.
    void EnsureVisible(const TKmImageGridCell* cell);
    // The indexes of the first and last cell the scroll box shows (partly), by their places; -1 and
    // -2 when it shows none.
    void VisibleRange(int& first, int& last) const;

    // Raised after a click toggled a cell; the handler may change the selection.
    std::function<void(TKmImageGridCell* sender, TShiftState shift)> OnSelectCell;
    std::function<void(TKmImageGridCell* sender, int cellIndex)> OnDblClickCell;
    // Raised when scrolling or resizing changed which cells can be seen.
    std::function<void(int first, int last)> OnVisibleRangeChanged;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void adoptSize();
    int columnCount() const;
    void placeByIndex(int index);
    void paintCells(QPaintEvent* event);
    void cellSelected(TKmImageGridCell* cell, TShiftState shift);
    void cellDblClicked(TKmImageGridCell* cell, int cellIndex);
    void selectRange(int from, int to, bool selected);
    void visibleRangeChanged();

    QScrollArea* m_scrollBox;
    QWidget* m_innerPanel;
    TKmImageGridCells* m_cells;
    bool m_rangeSelect = false;
    int m_selectionAnchor = -1;
    int m_deselectionAnchor = -1;
};
