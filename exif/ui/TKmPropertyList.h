#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QWidget>

#include <vector>

class QFrame;
class QLabel;
class QScrollArea;

// One row of the property list: a caption and a value in two columns with lowered bevels, or a
// section heading whose caption spans the row. Neighbouring rows overlap by two pixels so that they
// share their bevel lines; the two columns overlap by one pixel for the same reason.
class TKmPropertyListItem : public QWidget
{
    Q_OBJECT

public:
    explicit TKmPropertyListItem(QWidget* parent = nullptr);

    bool IsSection() const { return m_section; }
    void SetSection(bool section);

    int CaptionWidth() const;
    void SetCaptionWidth(int width);

    // The whole texts. A text wider than its column is shown cut with "…"; the hint then holds it
    // in full (the value's hint always does).
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& text);
    QString Value() const { return m_value; }
    void SetValue(const QString& text);

    void SetCaptionColor(const QColor& color);
    void SetValueColor(const QColor& color);
    void SetCaptionFont(const QFont& font, const QColor& textColor);
    void SetValueFont(const QFont& font, const QColor& textColor);

    QFrame* CaptionColumn() const { return m_captionColumn; }
    QFrame* ValueColumn() const { return m_valueColumn; }
    QLabel* CaptionLabel() const { return m_captionLabel; }
    QLabel* ValueLabel() const { return m_valueLabel; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutColumns();

    bool m_section = false;
    int m_captionWidth = 0;
    QString m_caption;
    QString m_value;
    QFrame* m_captionColumn;
    QFrame* m_valueColumn;
    QLabel* m_captionLabel;
    QLabel* m_valueLabel;
};

// The rows of a property list and the appearance they share. Rows are children of the list's inner
// panel and are freed with the collection (or by Clear).
class TKmPropertyListItems : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)
    Q_PROPERTY(QFont SectionFont READ SectionFont WRITE SetSectionFont)
    Q_PROPERTY(int CaptionWidth READ CaptionWidth WRITE SetCaptionWidth)
    Q_PROPERTY(QColor CaptionColor READ CaptionColor WRITE SetCaptionColor)
    Q_PROPERTY(QFont CaptionFont READ CaptionFont WRITE SetCaptionFont)
    Q_PROPERTY(QColor ValueColor READ ValueColor WRITE SetValueColor)
    Q_PROPERTY(QFont ValueFont READ ValueFont WRITE SetValueFont)

public:
    // rowPanel holds the rows; its width at this moment is the row width.
    explicit TKmPropertyListItems(QWidget* rowPanel, QObject* parent = nullptr);
    ~TKmPropertyListItems() override;

    // Copies the appearance (not the rows) of another collection.
    void Assign(const TKmPropertyListItems& other);

    TKmPropertyListItem* AddItem();
    TKmPropertyListItem* AddSection();
    void Clear();
    int Count() const { return int(m_items.size()); }
    // Null for an index outside the list.
    TKmPropertyListItem* Items(int index) const;

    int RowWidth() const { return m_rowWidth; }
    void SetRowWidth(int width);

    // The height asked for; rows are never lower than their fonts need (RowHeight).
    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int height);
    int RowHeight() const;
    // The caption column as wide as the widest caption needs, at most maximum pixels.
    void FitCaptionWidth(int maximum);
    // What the widest caption needs of the column, its margins included.
    int CaptionWidthNeeded() const;
    QFont SectionFont() const { return m_sectionFont; }
    void SetSectionFont(const QFont& font);
    int CaptionWidth() const { return m_captionWidth; }
    // Limited to the row width.
    void SetCaptionWidth(int width);
    QColor CaptionColor() const { return m_captionColor; }
    void SetCaptionColor(const QColor& color);
    QFont CaptionFont() const { return m_captionFont; }
    void SetCaptionFont(const QFont& font);
    QColor ValueColor() const { return m_valueColor; }
    void SetValueColor(const QColor& color);
    QFont ValueFont() const { return m_valueFont; }
    void SetValueFont(const QFont& font);

    // A font carries no colour here, so each font has its text colour beside it.
    QColor SectionFontColor() const { return m_sectionFontColor; }
    void SetSectionFontColor(const QColor& color);
    QColor CaptionFontColor() const { return m_captionFontColor; }
    void SetCaptionFontColor(const QColor& color);
    QColor ValueFontColor() const { return m_valueFontColor; }
    void SetValueFontColor(const QColor& color);

private:
    // Sets one of the fonts; the rows take it and are placed anew for its height.
    void changeFont(QFont& member, const QFont& font);
    void applyFonts(TKmPropertyListItem* item) const;
    void placeRows();

    QWidget* m_rowPanel;
    std::vector<TKmPropertyListItem*> m_items;
    int m_rowWidth = 0;
    int m_itemHeight = 20;
    QFont m_sectionFont;
    int m_captionWidth = 0;
    QColor m_captionColor;
    QFont m_captionFont;
    QColor m_valueColor;
    QFont m_valueFont;
    QColor m_sectionFontColor;
    QColor m_captionFontColor;
    QColor m_valueFontColor;
};

// A vertical list of captioned values in sections, scrolled vertically; plain display, no editing.
class TKmPropertyList : public QWidget
{
    Q_OBJECT

public:
    explicit TKmPropertyList(QWidget* parent = nullptr);
    ~TKmPropertyList() override;

    TKmPropertyListItem* AddItem() { return m_properties->AddItem(); }
    TKmPropertyListItem* AddSection() { return m_properties->AddSection(); }
    void Clear();

    TKmPropertyListItems* Properties() const { return m_properties; }
    void SetProperties(const TKmPropertyListItems& properties) { m_properties->Assign(properties); }

    QScrollArea* ScrollBox() const { return m_scrollBox; }
    QWidget* RowPanel() const { return m_rowPanel; }

    // Above zero: the caption column follows the widest caption, up to this share (percent) of the
    // row, whenever the list changes its width.
    void SetCaptionFitPercent(int percent) { m_captionFitPercent = percent; }
    int CaptionFitPercent() const { return m_captionFitPercent; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int m_captionFitPercent = 0;
    QScrollArea* m_scrollBox;
    QWidget* m_rowPanel;
    TKmPropertyListItems* m_properties;
};
