#pragma once

#include "import/ui/TKmImageGridCell.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QWidget;

// The grid's cells in display order (a cell's index is its position) and the appearance they share.
// Every setter applies its value to all existing cells at once. Cells are painted on the cell
// parent, the grid's inner panel, which grows as cells are placed below its bottom edge.
class TKmImageGridCells : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int CellSpace READ CellSpace WRITE SetCellSpace)
    Q_PROPERTY(int CellWidth READ CellWidth WRITE SetCellWidth)
    Q_PROPERTY(int CellHeight READ CellHeight)
    Q_PROPERTY(QString CellHint READ CellHint WRITE SetCellHint)
    Q_PROPERTY(QColor CaptionColor READ CaptionColor WRITE SetCaptionColor)
    Q_PROPERTY(QColor ImageColor READ ImageColor WRITE SetImageColor)
    Q_PROPERTY(QColor SelectedColor READ SelectedColor WRITE SetSelectedColor)
    Q_PROPERTY(QColor UpperLabelColor READ UpperLabelColor WRITE SetUpperLabelColor)
    Q_PROPERTY(QColor LowerLabelColor READ LowerLabelColor WRITE SetLowerLabelColor)

public:
    static constexpr int DefaultCellWidth = 110;

    explicit TKmImageGridCells(
        QWidget* cellParent, int cellWidth = DefaultCellWidth, QObject* parent = nullptr);
    ~TKmImageGridCells() override;

    // A new cell at the end, sized and coloured; not yet placed.
    TKmImageGridCell* Add();
    // None for an index outside the list.
    TKmImageGridCell* Items(int index) const;
    int Count() const { return static_cast<int>(m_cells.size()); }
    int SelectedCount() const;
    // The selected cell when exactly one is selected, otherwise none.
    TKmImageGridCell* SingleSelected() const;
    void Clear();
    void DeselectAll();
    // Deselects every other cell and selects the given one.
    void SelectOnly(TKmImageGridCell* cell);
    // Moves the cell to its column and row; the cell parent grows to hold it.
    void PlaceCell(int index, int column, int row);

    int CellSpace() const { return m_cellSpace; }
    void SetCellSpace(int space);
    int CellWidth() const { return m_cellWidth; }
    // Resizes every cell (CellHeight follows) without arranging them again.
    void SetCellWidth(int width);
    int CellHeight() const { return m_cellWidth + TKmImageGridCell::CaptionHeight; }
    QString CellHint() const { return m_cellHint; }
    void SetCellHint(const QString& hint);
    TKmImageGridCell::TBorderStyle CellBorderStyle() const { return m_borderStyle; }
    void SetCellBorderStyle(TKmImageGridCell::TBorderStyle style);
    TKmImageGridCell::TBevelCut CellBevelInner() const { return m_bevelInner; }
    void SetCellBevelInner(TKmImageGridCell::TBevelCut bevel);
    TKmImageGridCell::TBevelCut CellBevelOuter() const { return m_bevelOuter; }
    void SetCellBevelOuter(TKmImageGridCell::TBevelCut bevel);
    QColor CaptionColor() const { return m_captionColor; }
    void SetCaptionColor(const QColor& color);
    QColor ImageColor() const { return m_imageColor; }
    void SetImageColor(const QColor& color);
    QColor SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(const QColor& color);
    QColor UpperLabelColor() const { return m_upperLabelColor; }
    void SetUpperLabelColor(const QColor& color);
    QColor LowerLabelColor() const { return m_lowerLabelColor; }
    void SetLowerLabelColor(const QColor& color);

    QWidget* CellParent() const { return m_cellParent; }
    // Fonts the cells paint with: the captions at 7 pt, the marks and the lower label at 5 pt bold.
    QFont CaptionFont() const { return m_captionFont; }
    QFont MarkFont() const { return m_markFont; }
    QFont NoPreviewFont() const { return m_noPreviewFont; }

    // Repaints the cell where it can be seen; called by a cell that changed.
    void InvalidateCell(const TKmImageGridCell* cell);

    // Route the cells' events to the grid.
    TKmImageGridCell::TSelectEvent OnSelectCell;
    TKmImageGridCell::TDblClickEvent OnDblClickCell;

private:
    template<typename Apply> void applyToAll(Apply apply);

    QWidget* m_cellParent;
    std::vector<std::unique_ptr<TKmImageGridCell>> m_cells;
    int m_cellSpace = 0;
    int m_cellWidth;
    QString m_cellHint;
    TKmImageGridCell::TBorderStyle m_borderStyle = TKmImageGridCell::bsNone;
    TKmImageGridCell::TBevelCut m_bevelInner = TKmImageGridCell::bvRaised;
    TKmImageGridCell::TBevelCut m_bevelOuter = TKmImageGridCell::bvLowered;
    QColor m_captionColor;
    QColor m_imageColor { 0xC0, 0xC0, 0xC0 };
    QColor m_selectedColor { Qt::white };
    QColor m_upperLabelColor;
    QColor m_lowerLabelColor;
    QFont m_captionFont;
    QFont m_markFont;
    QFont m_noPreviewFont;
};
