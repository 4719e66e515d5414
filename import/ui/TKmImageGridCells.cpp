#include "import/ui/TKmImageGridCells.h"

#include <QWidget>

TKmImageGridCells::TKmImageGridCells(QWidget* cellParent, int cellWidth, QObject* parent)
    : QObject(parent)
    , m_cellParent(cellParent)
    , m_cellWidth(cellWidth)
{
    const QPalette palette = cellParent ? cellParent->palette() : QPalette();
    m_captionColor = palette.color(QPalette::Button);
    m_upperLabelColor = palette.color(QPalette::WindowText);
    m_lowerLabelColor = palette.color(QPalette::WindowText);

    const QFont base = cellParent ? cellParent->font() : QFont();
    m_captionFont = base;
    m_captionFont.setPointSize(7);
    m_noPreviewFont = m_captionFont;
    m_noPreviewFont.setBold(true);
    m_markFont = base;
    m_markFont.setPointSize(5);
    m_markFont.setBold(true);
}

// The cells go without repainting: the cell parent may already be gone with its owner.
TKmImageGridCells::~TKmImageGridCells()
{
    for (auto& cell : m_cells)
        cell.reset();
}

TKmImageGridCell* TKmImageGridCells::Add()
{
    auto cell = std::make_unique<TKmImageGridCell>(this, Count());
    cell->SetBounds(QRect(0, 0, m_cellWidth, CellHeight()));
    cell->SetCaptionColor(m_captionColor);
    cell->SetImageColor(m_imageColor);
    cell->SetSelectedColor(m_selectedColor);
    cell->SetUpperLabelColor(m_upperLabelColor);
    cell->SetLowerLabelColor(m_lowerLabelColor);
    cell->SetBorderStyle(m_borderStyle);
    cell->SetBevelInner(m_bevelInner);
    cell->SetBevelOuter(m_bevelOuter);
    cell->SetHint(m_cellHint);
    cell->OnSelect = [this](TKmImageGridCell* sender, TShiftState shift) {
        if (OnSelectCell)
            OnSelectCell(sender, shift);
    };
    cell->OnDblClick = [this](TKmImageGridCell* sender, int cellIndex) {
        if (OnDblClickCell)
            OnDblClickCell(sender, cellIndex);
    };
    m_cells.push_back(std::move(cell));
    return m_cells.back().get();
}

TKmImageGridCell* TKmImageGridCells::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_cells[static_cast<size_t>(index)].get();
}

int TKmImageGridCells::SelectedCount() const
{
    int count = 0;
    for (const auto& cell : m_cells)
        count += cell->Selected() ? 1 : 0;
    return count;
}

TKmImageGridCell* TKmImageGridCells::SingleSelected() const
{
    TKmImageGridCell* found = nullptr;
    for (const auto& cell : m_cells) {
        if (!cell->Selected())
            continue;
        if (found)
            return nullptr;
        found = cell.get();
    }
    return found;
}

void TKmImageGridCells::Clear()
{
    m_cells.clear();
    if (m_cellParent)
        m_cellParent->update();
}

void TKmImageGridCells::DeselectAll()
{
    for (const auto& cell : m_cells)
        cell->SetSelected(false);
}

void TKmImageGridCells::SelectOnly(TKmImageGridCell* cell)
{
    for (const auto& other : m_cells) {
        if (other.get() != cell)
            other->SetSelected(false);
    }
    if (cell)
        cell->SetSelected(true);
}

void TKmImageGridCells::PlaceCell(int index, int column, int row)
{
    TKmImageGridCell* cell = Items(index);
    if (!cell)
        return;
    const QRect bounds((m_cellWidth + m_cellSpace) * column, (CellHeight() + m_cellSpace) * row,
        cell->Width(), cell->Height());
    cell->SetBounds(bounds);
    const int bottom = bounds.top() + bounds.height();
    if (m_cellParent && m_cellParent->height() < bottom)
        m_cellParent->resize(m_cellParent->width(), bottom + 4);
}

template<typename Apply> void TKmImageGridCells::applyToAll(Apply apply)
{
    for (const auto& cell : m_cells)
        apply(*cell);
}

void TKmImageGridCells::SetCellSpace(int space)
{
    m_cellSpace = std::clamp(space, 0, 255);
}

void TKmImageGridCells::SetCellWidth(int width)
{
    m_cellWidth = std::clamp(width, 0, 0xFFFF - TKmImageGridCell::CaptionHeight);
    const int height = CellHeight();
    applyToAll(
        [&](TKmImageGridCell& cell) { cell.SetBounds(QRect(cell.Left(), cell.Top(), m_cellWidth, height)); });
}

void TKmImageGridCells::SetCellHint(const QString& hint)
{
    m_cellHint = hint;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetHint(hint); });
}

void TKmImageGridCells::SetCellBorderStyle(TKmImageGridCell::TBorderStyle style)
{
    m_borderStyle = style;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetBorderStyle(style); });
}

void TKmImageGridCells::SetCellBevelInner(TKmImageGridCell::TBevelCut bevel)
{
    m_bevelInner = bevel;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetBevelInner(bevel); });
}

void TKmImageGridCells::SetCellBevelOuter(TKmImageGridCell::TBevelCut bevel)
{
    m_bevelOuter = bevel;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetBevelOuter(bevel); });
}

void TKmImageGridCells::SetCaptionColor(const QColor& color)
{
    m_captionColor = color;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetCaptionColor(color); });
}

void TKmImageGridCells::SetImageColor(const QColor& color)
{
    m_imageColor = color;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetImageColor(color); });
}

void TKmImageGridCells::SetSelectedColor(const QColor& color)
{
    m_selectedColor = color;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetSelectedColor(color); });
}

void TKmImageGridCells::SetUpperLabelColor(const QColor& color)
{
    m_upperLabelColor = color;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetUpperLabelColor(color); });
}

void TKmImageGridCells::SetLowerLabelColor(const QColor& color)
{
    m_lowerLabelColor = color;
    applyToAll([&](TKmImageGridCell& cell) { cell.SetLowerLabelColor(color); });
}

// Only the part of the cell that can be seen through the scroll box is repainted; the rest is painted
// when it is scrolled into view. That keeps a recolouring of thousands of cells to one small region.
void TKmImageGridCells::InvalidateCell(const TKmImageGridCell* cell)
{
    if (!m_cellParent || !cell || !m_cellParent->isVisible())
        return;
    QRect area = m_cellParent->rect();
    if (const QWidget* viewport = m_cellParent->parentWidget())
        area &= QRect(-m_cellParent->pos(), viewport->size());
    const QRect dirty = cell->BoundsRect() & area;
    if (!dirty.isEmpty())
        m_cellParent->update(dirty);
}
