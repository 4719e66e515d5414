#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QByteArray;
class QIODevice;
class QPainter;
class TKmImageGridCells;

// Keys and mouse buttons held when a cell was clicked. After a release the released button is no
// longer held, so a plain Shift-click has buttons == NoButton.
struct TShiftState
{
    Qt::KeyboardModifiers keys = Qt::NoModifier;
    Qt::MouseButtons buttons = Qt::NoButton;

    bool IsShiftOnly() const { return keys == Qt::ShiftModifier && buttons == Qt::NoButton; }
};

// One thumbnail of the grid: the caption bar with file name, date and size above the picture area
// with thumbnail, type mark, saved mark and lower label. A cell is no widget: the grid paints it and
// hands it its clicks, so a folder of thousands of files stays cheap to build, scroll and recolour.
// Coordinates are those of the grid's inner panel.
class TKmImageGridCell
{
public:
    enum TCellKind { ckOrdinary = 0, ckRaw = 1, ckMovie = 2 };
    enum TBorderStyle { bsNone, bsSingle };
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

    static constexpr int CaptionHeight = 28;
    static constexpr int PictureMargin = 8;
    static constexpr int MarkSize = 16;

    using TSelectEvent = std::function<void(TKmImageGridCell* sender, TShiftState shift)>;
    using TDblClickEvent = std::function<void(TKmImageGridCell* sender, int cellIndex)>;

    TKmImageGridCell(TKmImageGridCells* owner, int index);

    int Index() const { return m_index; }

    // Clears the cell, then shows the thumbnail (JPEG bytes, read from the start; none shows the
    // "Keine Ansicht verfügbar" panel), the file name and the RAW or movie mark. False when the
    // thumbnail does not decode; the cell then keeps its name and marks and shows the panel.
    bool SetImage(const QString& fileName, QIODevice* thumbnail);
    // The same for bytes in memory; empty bytes mean no thumbnail.
    bool SetImage(const QString& fileName, const QByteArray& thumbnail);

    // Only the picture, the rest of the cell kept: a thumbnail that came after the cell. False when
    // it does not decode; the cell then shows the "no preview" panel.
    bool SetThumbnail(const QByteArray& thumbnail);
    // A grey placeholder while the thumbnail is still to come.
    void SetWaiting();
    bool IsWaiting() const { return m_waiting; }
    // The "no preview" panel with this text in place of "Keine Ansicht verfügbar".
    void SetNoPreview(const QString& text);
    QString NoPreviewText() const { return m_noPreviewText; }

    QString FileName() const { return m_fileName; }
    // Stores the name; the saved mark shows exactly when a file of that name exists here.
    void SetFileName(const QString& name);
    // The last component of the file name ("\" and "/" both count as delimiters).
    QString FileNamePart() const;

    QString Caption() const { return m_caption; }
    QString UpperLeftText() const { return m_upperLeftText; }
    void SetUpperLeftText(const QString& text);
    QString UpperRightText() const { return m_upperRightText; }
    void SetUpperRightText(const QString& text);
    QString LowerText() const { return m_lowerText; }
    void SetLowerText(const QString& text);
    QString Hint() const { return m_hint; }
    void SetHint(const QString& hint);

    bool Selected() const { return m_selected; }
    void SetSelected(bool selected);

    int Kind() const { return m_kind; }
    QStringList RawExtensions() const { return m_rawExtensions; }
    QStringList MovieExtensions() const { return m_movieExtensions; }

    bool HasPicture() const { return !m_picture.isNull(); }
    QPixmap Picture() const { return m_picture; }
    bool NoPreviewVisible() const { return m_noPreviewVisible; }
    bool RawMarkVisible() const { return m_rawMarkVisible; }
    bool MovieMarkVisible() const { return m_movieMarkVisible; }
    bool SavedMarkVisible() const { return m_savedMarkVisible; }

    // Empties name, texts and picture, hides every mark, deselects and sets kind 0.
    void Clear();

    // Colours and borders, applied by the cells object.
    QColor CaptionColor() const { return m_captionColor; }
    void SetCaptionColor(const QColor& color);
    QColor ImageColor() const { return m_imageColor; }
    void SetImageColor(const QColor& color);
    QColor SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(const QColor& color);
    void SetUpperLabelColor(const QColor& color);
    void SetLowerLabelColor(const QColor& color);
    void SetBorderStyle(TBorderStyle style);
    void SetBevelInner(TBevelCut bevel);
    void SetBevelOuter(TBevelCut bevel);
    // Colour the caption bar and the picture area show now (selection respected).
    QColor CurrentCaptionColor() const { return m_selected ? m_selectedColor : m_captionColor; }
    QColor CurrentImageColor() const { return m_selected ? m_selectedColor : m_imageColor; }

    // Placement inside the inner panel.
    QRect BoundsRect() const { return m_bounds; }
    void SetBounds(const QRect& bounds);
    int Left() const { return m_bounds.left(); }
    int Top() const { return m_bounds.top(); }
    int Width() const { return m_bounds.width(); }
    int Height() const { return m_bounds.height(); }
    QRect CaptionRect() const;
    QRect PictureAreaRect() const;
    QRect PictureRect() const;

    // A mouse button release on the cell: toggles the selection, then raises OnSelect.
    void Click(TShiftState shift);
    // A double click: raises OnDblClick with the index.
    void DblClick();

    void Paint(QPainter& painter);

    TSelectEvent OnSelect;
    TDblClickEvent OnDblClick;

private:
    // thumbnail none: no thumbnail given; otherwise bytes that must decode.
    bool setImageBytes(const QString& fileName, const QByteArray* thumbnail);
    void changed();
    void paintBevel(QPainter& painter, const QRect& rect, bool bottomEdge) const;
    const QPixmap& scaledPicture(const QSize& box);

    TKmImageGridCells* m_owner;
    int m_index;
    QRect m_bounds;
    QString m_fileName;
    QString m_caption;
    QString m_upperLeftText;
    QString m_upperRightText;
    QString m_lowerText;
    QString m_hint;
    bool m_selected = false;
    int m_kind = ckOrdinary;
    QStringList m_rawExtensions { QStringLiteral("ORF") };
    QStringList m_movieExtensions { QStringLiteral("MOV") };
    QPixmap m_picture;
    QPixmap m_scaled; // m_picture fitted to the picture rectangle, made when the size changes
    bool m_noPreviewVisible = false;
    bool m_waiting = false;
    QString m_noPreviewText;
    bool m_rawMarkVisible = false;
    bool m_movieMarkVisible = false;
    bool m_savedMarkVisible = false;
    QColor m_captionColor;
    QColor m_imageColor;
    QColor m_selectedColor;
    QColor m_upperLabelColor;
    QColor m_lowerLabelColor;
    TBorderStyle m_borderStyle = bsNone;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvNone;
};
