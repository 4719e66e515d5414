#include "import/ui/TKmImageGrid.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

TKmImageGrid::TKmImageGrid(QWidget* parent)
    : QWidget(parent)
    , m_scrollBox(new QScrollArea(this))
    , m_innerPanel(new QWidget)
{
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->viewport()->setBackgroundRole(QPalette::Window);
    // The inner panel paints all of itself in the grid's colour, cells on top.
    m_innerPanel->setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollBox->setWidget(m_innerPanel);
    m_innerPanel->installEventFilter(this);

    m_cells = new TKmImageGridCells(m_innerPanel, TKmImageGridCells::DefaultCellWidth, this);
    m_cells->OnSelectCell = [this](TKmImageGridCell* cell, TShiftState shift) { cellSelected(cell, shift); };
    m_cells->OnDblClickCell
        = [this](TKmImageGridCell* cell, int cellIndex) { cellDblClicked(cell, cellIndex); };
    m_innerPanel->resize(0, m_cells->CellHeight() + 4);
    m_scrollBox->verticalScrollBar()->setSingleStep(m_cells->CellHeight() / 4);
    connect(
        m_scrollBox->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { visibleRangeChanged(); });
}

TKmImageGrid::~TKmImageGrid()
{
    m_innerPanel->removeEventFilter(this);
    delete m_cells;
    m_cells = nullptr;
}

TKmImageGridCell* TKmImageGrid::AddCell()
{
    // A hidden grid gets its resize event only when shown; cells added meanwhile go by its new size.
    if (m_scrollBox->size() != size())
        adoptSize();
    TKmImageGridCell* cell = m_cells->Add();
    placeByIndex(cell->Index());
    return cell;
}

void TKmImageGrid::ClearCells()
{
    m_cells->Clear();
    m_innerPanel->resize(m_innerPanel->width(), m_cells->CellHeight() + 4);
    m_selectionAnchor = -1;
    m_deselectionAnchor = -1;
}

void TKmImageGrid::Rearrange()
{
    // Starting from one row lets the panel shrink when the cells take fewer rows than before.
    m_innerPanel->resize(m_innerPanel->width(), m_cells->CellHeight() + 4);
    for (int i = 0; i < m_cells->Count(); ++i)
        placeByIndex(i);
    m_innerPanel->update();
}

QString TKmImageGrid::CellHint() const
{
    return m_cells->CellHint();
}

void TKmImageGrid::SetCellHint(const QString& hint)
{
    m_cells->SetCellHint(hint);
}

TKmImageGridCell* TKmImageGrid::CellAt(const QPoint& innerPanelPos) const
{
    for (int i = 0; i < m_cells->Count(); ++i) {
        TKmImageGridCell* cell = m_cells->Items(i);
        if (cell->BoundsRect().contains(innerPanelPos))
            return cell;
    }
    return nullptr;
}

void TKmImageGrid::EnsureVisible(const TKmImageGridCell* cell)
{
    if (!cell)
        return;
    const QRect bounds = cell->BoundsRect();
    m_scrollBox->ensureVisible(
        bounds.center().x(), bounds.center().y(), bounds.width() / 2, bounds.height() / 2);
}

void TKmImageGrid::VisibleRange(int& first, int& last) const
{
    first = -1;
    last = -2;
    const int count = m_cells->Count();
    const int rowHeight = m_cells->CellHeight() + m_cells->CellSpace();
    const int height = m_scrollBox->viewport()->height();
    if (count == 0 || rowHeight <= 0 || height <= 0)
        return;
    const int columns = columnCount();
    const int top = m_scrollBox->verticalScrollBar()->value();
    const int firstRow = top / rowHeight;
    const int lastRow = (top + height - 1) / rowHeight;
    if (firstRow * columns >= count)
        return;
    first = firstRow * columns;
    last = std::min(count - 1, (lastRow + 1) * columns - 1);
}

void TKmImageGrid::visibleRangeChanged()
{
    if (!OnVisibleRangeChanged)
        return;
    int first = -1;
    int last = -2;
    VisibleRange(first, last);
    OnVisibleRangeChanged(first, last);
}

void TKmImageGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    adoptSize();
}

void TKmImageGrid::adoptSize()
{
    m_scrollBox->setGeometry(rect());
    m_innerPanel->resize(std::max(0, m_scrollBox->width() - ScrollBarRoom), m_cells->CellHeight() + 4);
    Rearrange();
    visibleRangeChanged();
}

bool TKmImageGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_innerPanel || !m_cells)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintCells(static_cast<QPaintEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease: {
        // Every button's release toggles, as the two releases of a double click do.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (TKmImageGridCell* cell = CellAt(mouse->position().toPoint()))
            cell->Click(TShiftState { mouse->modifiers(), mouse->buttons() });
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (TKmImageGridCell* cell = CellAt(mouse->position().toPoint()))
            cell->DblClick();
        return true;
    }
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        const TKmImageGridCell* cell = CellAt(help->pos());
        if (cell && !cell->Hint().isEmpty() && cell->PictureAreaRect().contains(help->pos()))
            QToolTip::showText(help->globalPos(), cell->Hint(), m_innerPanel, cell->PictureAreaRect());
        else
            QToolTip::hideText();
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

int TKmImageGrid::columnCount() const
{
    const int width = m_cells->CellWidth();
    return width > 0 ? std::max(1, m_innerPanel->width() / width) : 1;
}

void TKmImageGrid::placeByIndex(int index)
{
    const int columns = columnCount();
    m_cells->PlaceCell(index, index % columns, index / columns);
}

void TKmImageGrid::paintCells(QPaintEvent* event)
{
    QPainter painter(m_innerPanel);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, palette().color(QPalette::Window));
    for (int i = 0; i < m_cells->Count(); ++i) {
        TKmImageGridCell* cell = m_cells->Items(i);
        if (cell->BoundsRect().intersects(dirty))
            cell->Paint(painter);
    }
}

void TKmImageGrid::cellSelected(TKmImageGridCell* cell, TShiftState shift)
{
    const int index = cell->Index();
    if (OnSelectCell)
        OnSelectCell(cell, shift);
    // The handler may have rebuilt the grid; then this click is over.
    if (m_cells->Items(index) != cell)
        return;
    if (cell->Selected()) {
        m_deselectionAnchor = -1;
        if (m_selectionAnchor >= 0 && m_rangeSelect && shift.IsShiftOnly())
            selectRange(m_selectionAnchor, index, true);
        m_selectionAnchor = index;
    } else {
        m_selectionAnchor = -1;
        if (m_deselectionAnchor >= 0 && m_rangeSelect && shift.IsShiftOnly())
            selectRange(m_deselectionAnchor, index, false);
        m_deselectionAnchor = index;
    }
}

void TKmImageGrid::cellDblClicked(TKmImageGridCell* cell, int cellIndex)
{
    if (OnDblClickCell)
        OnDblClickCell(cell, cellIndex);
}

void TKmImageGrid::selectRange(int from, int to, bool selected)
{
    for (int i = std::min(from, to); i <= std::max(from, to); ++i) {
        if (TKmImageGridCell* cell = m_cells->Items(i))
            cell->SetSelected(selected);
    }
}
