#include "exif/ui/TKmPropertyList.h"

#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollArea>

#include <algorithm>

namespace {

// Room the scroll bar needs beside the rows.
constexpr int kScrollBarRoom = 20;
// Rows share their bevel lines with the neighbours above and below.
constexpr int kRowOverlap = 2;

QFrame* newColumn(QWidget* parent)
{
    auto* column = new QFrame(parent);
    column->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    column->setLineWidth(1);
    column->setAutoFillBackground(true);
    return column;
}

QFont defaultFont(bool bold)
{
    QFont font = QApplication::font();
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

QLabel* newLabel(QWidget* column, bool bold)
{
    auto* label = new QLabel(column);
    // Values come from the picture file: never let them be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setFont(defaultFont(bold));
    return label;
}

void setBackground(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
}

void setLabelFont(QLabel* label, const QFont& font, const QColor& textColor)
{
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, textColor);
    label->setPalette(palette);
}

// A hint that looks like markup would be rendered as such; show it as the plain text it is.
QString plainHint(const QString& text)
{
    return Qt::mightBeRichText(text)
        ? QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>")
        : text;
}

// The first line of text as it fits the label, cut with "…" where it does not.
QString elided(const QLabel* label, const QString& text)
{
    if (label->width() <= 0)
        return text;
    return QFontMetrics(label->font()).elidedText(text, Qt::ElideRight, label->width());
}

} // namespace

// --- TKmPropertyListItem -----------------------------------------------------------------------

TKmPropertyListItem::TKmPropertyListItem(QWidget* parent)
    : QWidget(parent)
    , m_captionColumn(newColumn(this))
    , m_valueColumn(newColumn(this))
    , m_captionLabel(newLabel(m_captionColumn, true))
    , m_valueLabel(newLabel(m_valueColumn, false))
{
    setAutoFillBackground(true);
    m_captionWidth = width() / 2;
    layoutColumns();
}

void TKmPropertyListItem::SetSection(bool section)
{
    if (section == m_section)
        return;
    m_section = section;
    m_valueColumn->setVisible(!section);
    m_valueLabel->setVisible(!section);
    if (!section)
        m_captionWidth = width() / 2;
    layoutColumns();
}

int TKmPropertyListItem::CaptionWidth() const
{
    return m_captionColumn->width();
}

void TKmPropertyListItem::SetCaptionWidth(int width)
{
    m_captionWidth = std::max(0, width);
    layoutColumns();
}

void TKmPropertyListItem::SetCaption(const QString& text)
{
    m_caption = text;
    layoutColumns();
}

void TKmPropertyListItem::SetValue(const QString& text)
{
    m_value = text;
    m_valueLabel->setToolTip(plainHint(text));
    layoutColumns();
}

void TKmPropertyListItem::SetCaptionColor(const QColor& color)
{
    setBackground(this, color);
    setBackground(m_captionColumn, color);
}

void TKmPropertyListItem::SetValueColor(const QColor& color)
{
    setBackground(m_valueColumn, color);
}

void TKmPropertyListItem::SetCaptionFont(const QFont& font, const QColor& textColor)
{
    setLabelFont(m_captionLabel, font, textColor);
    layoutColumns();
}

void TKmPropertyListItem::SetValueFont(const QFont& font, const QColor& textColor)
{
    setLabelFont(m_valueLabel, font, textColor);
    layoutColumns();
}

void TKmPropertyListItem::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutColumns();
}

void TKmPropertyListItem::layoutColumns()
{
    const int rowWidth = width();
    const int rowHeight = height();
    // A section heading spans the row; an ordinary caption never reaches past it.
    const int captionWidth = m_section ? rowWidth : std::min(m_captionWidth, rowWidth);
    m_captionColumn->setGeometry(0, 0, captionWidth, rowHeight);
    m_valueColumn->setGeometry(captionWidth - 1, 0, rowWidth - captionWidth + 1, rowHeight);
    // The labels keep 8 pixels on either side and start 2 below the top; the column clips the rest.
    m_captionLabel->setGeometry(8, 2, std::max(0, captionWidth - 16), std::max(0, rowHeight - 2));
    m_valueLabel->setGeometry(8, 2, std::max(0, m_valueColumn->width() - 16), std::max(0, rowHeight - 2));
    const QString caption = elided(m_captionLabel, m_caption);
    m_captionLabel->setText(caption);
    m_captionLabel->setToolTip(caption == m_caption ? QString() : plainHint(m_caption));
    m_valueLabel->setText(elided(m_valueLabel, m_value));
}

// --- TKmPropertyListItems ----------------------------------------------------------------------

TKmPropertyListItems::TKmPropertyListItems(QWidget* rowPanel, QObject* parent)
    : QObject(parent)
    , m_rowPanel(rowPanel)
    , m_rowWidth(rowPanel->width())
    , m_sectionFont(defaultFont(true))
    , m_captionWidth(m_rowWidth / 2)
    , m_captionColor(rowPanel->palette().color(QPalette::Button))
    , m_captionFont(defaultFont(true))
    , m_valueColor(rowPanel->palette().color(QPalette::Button))
    , m_valueFont(defaultFont(false))
    , m_sectionFontColor(rowPanel->palette().color(QPalette::WindowText))
    , m_captionFontColor(m_sectionFontColor)
    , m_valueFontColor(m_sectionFontColor)
{ }

TKmPropertyListItems::~TKmPropertyListItems()
{
    Clear();
}

void TKmPropertyListItems::Assign(const TKmPropertyListItems& other)
{
    if (&other == this)
        return;
    SetItemHeight(other.m_itemHeight);
    SetSectionFontColor(other.m_sectionFontColor);
    SetSectionFont(other.m_sectionFont);
    SetCaptionWidth(other.m_captionWidth);
    SetCaptionColor(other.m_captionColor);
    SetCaptionFontColor(other.m_captionFontColor);
    SetCaptionFont(other.m_captionFont);
    SetValueColor(other.m_valueColor);
    SetValueFontColor(other.m_valueFontColor);
    SetValueFont(other.m_valueFont);
}

TKmPropertyListItem* TKmPropertyListItems::AddItem()
{
    auto* item = new TKmPropertyListItem(m_rowPanel);
    const int rowHeight = RowHeight();
    const int top = Count() * (rowHeight - kRowOverlap);
    item->setGeometry(0, top, m_rowWidth, rowHeight);
    item->SetCaptionWidth(m_captionWidth);
    item->SetCaptionColor(m_captionColor);
    item->SetValueColor(m_valueColor);
    applyFonts(item);
    item->show();
    m_rowPanel->resize(m_rowPanel->width(), top + rowHeight + 1);
    m_items.push_back(item);
    return item;
}

TKmPropertyListItem* TKmPropertyListItems::AddSection()
{
    TKmPropertyListItem* item = AddItem();
    item->SetSection(true);
    applyFonts(item);
    return item;
}

void TKmPropertyListItems::Clear()
{
    // Taken out first: a row's destruction must not find itself still listed.
    std::vector<TKmPropertyListItem*> items;
    items.swap(m_items);
    for (TKmPropertyListItem* item : items)
        delete item;
}

TKmPropertyListItem* TKmPropertyListItems::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[size_t(index)];
}

void TKmPropertyListItems::SetRowWidth(int width)
{
    if (width == m_rowWidth)
        return;
    m_rowWidth = width;
    for (TKmPropertyListItem* item : m_items) {
        item->resize(width, item->height());
        if (item->IsSection())
            item->SetCaptionWidth(width);
    }
}

void TKmPropertyListItems::SetItemHeight(int height)
{
    height = std::clamp(height, 0, 255);
    if (height == m_itemHeight)
        return;
    m_itemHeight = height;
    placeRows();
}

int TKmPropertyListItems::RowHeight() const
{
    // The labels start 2 pixels below the row's top and the next row covers its last 2.
    const int text = std::max({ QFontMetrics(m_sectionFont).height(), QFontMetrics(m_captionFont).height(),
        QFontMetrics(m_valueFont).height() });
    return std::max(m_itemHeight, text + 2 + kRowOverlap);
}

void TKmPropertyListItems::placeRows()
{
    const int height = RowHeight();
    for (int i = 0; i < Count(); ++i)
        m_items[size_t(i)]->setGeometry(0, i * (height - kRowOverlap), m_rowWidth, height);
    if (Count() > 0)
        m_rowPanel->resize(m_rowPanel->width(), Count() * (height - kRowOverlap) + 1);
}

int TKmPropertyListItems::CaptionWidthNeeded() const
{
    const QFontMetrics metrics(m_captionFont);
    int widest = 0;
    for (const TKmPropertyListItem* item : m_items)
        if (!item->IsSection())
            widest = std::max(widest, metrics.horizontalAdvance(item->Caption()));
    // The label keeps 8 pixels on either side inside the column.
    return widest + 16 + 1;
}

void TKmPropertyListItems::FitCaptionWidth(int maximum)
{
    SetCaptionWidth(std::min(CaptionWidthNeeded(), maximum));
}

void TKmPropertyListItems::SetSectionFont(const QFont& font)
{
    changeFont(m_sectionFont, font);
}

void TKmPropertyListItems::SetCaptionWidth(int width)
{
    width = std::clamp(width, 0, std::min(m_rowWidth, 65535));
    if (width == m_captionWidth)
        return;
    m_captionWidth = width;
    for (TKmPropertyListItem* item : m_items) {
        if (!item->IsSection())
            item->SetCaptionWidth(width);
    }
}

void TKmPropertyListItems::SetCaptionColor(const QColor& color)
{
    if (color == m_captionColor)
        return;
    m_captionColor = color;
    for (TKmPropertyListItem* item : m_items)
        item->SetCaptionColor(color);
}

void TKmPropertyListItems::SetCaptionFont(const QFont& font)
{
    changeFont(m_captionFont, font);
}

void TKmPropertyListItems::SetValueColor(const QColor& color)
{
    if (color == m_valueColor)
        return;
    m_valueColor = color;
    for (TKmPropertyListItem* item : m_items)
        item->SetValueColor(color);
}

void TKmPropertyListItems::SetValueFont(const QFont& font)
{
    changeFont(m_valueFont, font);
}

void TKmPropertyListItems::SetSectionFontColor(const QColor& color)
{
    if (color == m_sectionFontColor)
        return;
    m_sectionFontColor = color;
    for (TKmPropertyListItem* item : m_items)
        applyFonts(item);
}

void TKmPropertyListItems::SetCaptionFontColor(const QColor& color)
{
    if (color == m_captionFontColor)
        return;
    m_captionFontColor = color;
    for (TKmPropertyListItem* item : m_items)
        applyFonts(item);
}

void TKmPropertyListItems::SetValueFontColor(const QColor& color)
{
    if (color == m_valueFontColor)
        return;
    m_valueFontColor = color;
    for (TKmPropertyListItem* item : m_items)
        applyFonts(item);
}

void TKmPropertyListItems::changeFont(QFont& member, const QFont& font)
{
    if (font == member)
        return;
    member = font;
    for (TKmPropertyListItem* item : m_items)
        applyFonts(item);
    placeRows();
}

void TKmPropertyListItems::applyFonts(TKmPropertyListItem* item) const
{
    if (item->IsSection())
        item->SetCaptionFont(m_sectionFont, m_sectionFontColor);
    else
        item->SetCaptionFont(m_captionFont, m_captionFontColor);
    item->SetValueFont(m_valueFont, m_valueFontColor);
}

// --- TKmPropertyList ---------------------------------------------------------------------------

TKmPropertyList::TKmPropertyList(QWidget* parent)
    : QWidget(parent)
    , m_scrollBox(new QScrollArea(this))
    , m_rowPanel(new QWidget)
{
    resize(360, 24);
    m_scrollBox->setFrameShape(QFrame::NoFrame);
    m_scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollBox->setWidgetResizable(false);
    m_scrollBox->setGeometry(rect());
    // The scroll box shows what is behind the list; the rows paint themselves.
    m_scrollBox->viewport()->setAutoFillBackground(false);
    m_scrollBox->setAutoFillBackground(false);
    m_rowPanel->setGeometry(0, 0, m_scrollBox->width() - kScrollBarRoom, 1);
    m_scrollBox->setWidget(m_rowPanel);
    m_rowPanel->setAutoFillBackground(false);
    m_properties = new TKmPropertyListItems(m_rowPanel, this);
}

TKmPropertyList::~TKmPropertyList()
{
    // The rows live in the row panel; free them while it still exists.
    m_properties->Clear();
}

void TKmPropertyList::Clear()
{
    m_properties->Clear();
    m_rowPanel->resize(m_rowPanel->width(), m_properties->RowHeight() + 1);
}

void TKmPropertyList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_scrollBox->setGeometry(rect());
    const int rowWidth = std::max(0, m_scrollBox->width() - kScrollBarRoom);
    const int rows = m_properties->Count();
    m_rowPanel->resize(rowWidth, rows * (m_properties->RowHeight() - kRowOverlap) + 1);
    m_properties->SetRowWidth(rowWidth);
    if (m_captionFitPercent > 0)
        m_properties->FitCaptionWidth(rowWidth * m_captionFitPercent / 100);
}
