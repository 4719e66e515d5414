#include "import/ui/TKmImageGridCell.h"

#include "base/TNamedTexts.h"
#include "import/ui/TKmImageGridCells.h"

#include <QByteArray>
#include <QFileInfo>
#include <QIODevice>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor MarkColor(0x40, 0x40, 0x40);

// The two 16 x 16 marks are drawn once, in the marks' dark grey, on a transparent ground.
QPixmap makeMark(void (*draw)(QPainter&))
{
    QPixmap mark(TKmImageGridCell::MarkSize, TKmImageGridCell::MarkSize);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return mark;
}

// A strip of film with a play triangle.
void drawMovieMark(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(MarkColor);
    painter.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 1.5, 1.5);
    painter.setBrush(QColor(0xBF, 0xBF, 0xBF));
    for (int x = 2; x < 15; x += 3) {
        painter.drawRect(QRectF(x, 3.5, 1.5, 1.5));
        painter.drawRect(QRectF(x, 11, 1.5, 1.5));
    }
    QPainterPath play;
    play.moveTo(6, 5.5);
    play.lineTo(11, 8);
    play.lineTo(6, 10.5);
    play.closeSubpath();
    painter.drawPath(play);
}

// A disc with a tick: the file is on this computer.
void drawSavedMark(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(MarkColor);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QPen tick(QColor(0x9C, 0xD6, 0x6A), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(tick);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF({ QPointF(4.5, 8.2), QPointF(7, 10.8), QPointF(11.5, 5.2) }));
}

const QPixmap& movieMark()
{
    static const QPixmap mark = makeMark(drawMovieMark);
    return mark;
}

const QPixmap& savedMark()
{
    static const QPixmap mark = makeMark(drawSavedMark);
    return mark;
}

} // namespace

TKmImageGridCell::TKmImageGridCell(TKmImageGridCells* owner, int index)
    : m_owner(owner)
    , m_index(index)
{ }

bool TKmImageGridCell::SetImage(const QString& fileName, QIODevice* thumbnail)
{
    if (!thumbnail)
        return setImageBytes(fileName, nullptr);
    QByteArray bytes;
    if (thumbnail->isReadable()) {
        if (!thumbnail->isSequential())
            thumbnail->seek(0);
        bytes = thumbnail->readAll();
    }
    return setImageBytes(fileName, &bytes);
}

bool TKmImageGridCell::SetImage(const QString& fileName, const QByteArray& thumbnail)
{
    return setImageBytes(fileName, thumbnail.isEmpty() ? nullptr : &thumbnail);
}

bool TKmImageGridCell::setImageBytes(const QString& fileName, const QByteArray* thumbnail)
{
    Clear();
    bool decoded = true;
    if (thumbnail) {
        QImage image;
        decoded = image.loadFromData(*thumbnail, "JPEG") && !image.isNull();
        if (decoded)
            m_picture = QPixmap::fromImage(image);
    }
    // Without a picture the panel says so, also when the thumbnail was broken: the cell still names
    // its file, so the user can tell it apart and import it.
    m_noPreviewVisible = m_picture.isNull();

    SetFileName(fileName);
    m_caption = FileNamePart();
    const int dot = m_caption.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : m_caption.mid(dot + 1).toUpper();
    if (m_rawExtensions.contains(extension, Qt::CaseInsensitive)) {
        m_rawMarkVisible = true;
        m_kind = ckRaw;
    } else if (m_movieExtensions.contains(extension, Qt::CaseInsensitive)) {
        m_movieMarkVisible = true;
        m_kind = ckMovie;
    }
    changed();
    return decoded;
}

bool TKmImageGridCell::SetThumbnail(const QByteArray& thumbnail)
{
    QImage image;
    const bool decoded = !thumbnail.isEmpty() && image.loadFromData(thumbnail, "JPEG") && !image.isNull();
    m_picture = decoded ? QPixmap::fromImage(image) : QPixmap();
    m_scaled = QPixmap();
    m_waiting = false;
    m_noPreviewVisible = !decoded;
    changed();
    return decoded;
}

void TKmImageGridCell::SetWaiting()
{
    m_picture = QPixmap();
    m_scaled = QPixmap();
    m_noPreviewVisible = false;
    m_waiting = true;
    changed();
}

void TKmImageGridCell::SetNoPreview(const QString& text)
{
    m_picture = QPixmap();
    m_scaled = QPixmap();
    m_waiting = false;
    m_noPreviewVisible = true;
    m_noPreviewText = text;
    changed();
}

void TKmImageGridCell::SetFileName(const QString& name)
{
    m_fileName = name;
    m_savedMarkVisible = !name.isEmpty() && QFileInfo(name).isFile();
    changed();
}

QString TKmImageGridCell::FileNamePart() const
{
    const int delimiter
        = std::max(m_fileName.lastIndexOf(QLatin1Char('\\')), m_fileName.lastIndexOf(QLatin1Char('/')));
    return m_fileName.mid(delimiter + 1);
}

void TKmImageGridCell::SetUpperLeftText(const QString& text)
{
    m_upperLeftText = text;
    changed();
}

void TKmImageGridCell::SetUpperRightText(const QString& text)
{
    m_upperRightText = text;
    changed();
}

void TKmImageGridCell::SetLowerText(const QString& text)
{
    m_lowerText = text;
    changed();
}

void TKmImageGridCell::SetHint(const QString& hint)
{
    m_hint = hint;
}

void TKmImageGridCell::SetSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    changed();
}

void TKmImageGridCell::Clear()
{
    m_fileName.clear();
    m_caption.clear();
    m_upperLeftText.clear();
    m_upperRightText.clear();
    m_lowerText.clear();
    m_picture = QPixmap();
    m_scaled = QPixmap();
    m_noPreviewVisible = false;
    m_waiting = false;
    m_noPreviewText.clear();
    m_rawMarkVisible = false;
    m_movieMarkVisible = false;
    m_savedMarkVisible = false;
    m_selected = false;
    m_kind = ckOrdinary;
    changed();
}

void TKmImageGridCell::SetCaptionColor(const QColor& color)
{
    m_captionColor = color;
    changed();
}

void TKmImageGridCell::SetImageColor(const QColor& color)
{
    m_imageColor = color;
    changed();
}

void TKmImageGridCell::SetSelectedColor(const QColor& color)
{
    m_selectedColor = color;
    changed();
}

void TKmImageGridCell::SetUpperLabelColor(const QColor& color)
{
    m_upperLabelColor = color;
    changed();
}

void TKmImageGridCell::SetLowerLabelColor(const QColor& color)
{
    m_lowerLabelColor = color;
    changed();
}

void TKmImageGridCell::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    changed();
}

void TKmImageGridCell::SetBevelInner(TBevelCut bevel)
{
    m_bevelInner = bevel;
    changed();
}

void TKmImageGridCell::SetBevelOuter(TBevelCut bevel)
{
    m_bevelOuter = bevel;
    changed();
}

void TKmImageGridCell::SetBounds(const QRect& bounds)
{
    if (bounds == m_bounds)
        return;
    changed();
    m_bounds = bounds;
    changed();
}

QRect TKmImageGridCell::CaptionRect() const
{
    return QRect(m_bounds.left(), m_bounds.top(), m_bounds.width(), CaptionHeight);
}

QRect TKmImageGridCell::PictureAreaRect() const
{
    return QRect(m_bounds.left(), m_bounds.top() + CaptionHeight, m_bounds.width(),
        std::max(0, m_bounds.height() - CaptionHeight));
}

QRect TKmImageGridCell::PictureRect() const
{
    return PictureAreaRect().adjusted(PictureMargin, PictureMargin, -PictureMargin, -PictureMargin);
}

void TKmImageGridCell::Click(TShiftState shift)
{
    SetSelected(!m_selected);
    if (OnSelect)
        OnSelect(this, shift);
}

void TKmImageGridCell::DblClick()
{
    if (OnDblClick)
        OnDblClick(this, m_index);
}

void TKmImageGridCell::changed()
{
    if (m_owner)
        m_owner->InvalidateCell(this);
}

const QPixmap& TKmImageGridCell::scaledPicture(const QSize& box)
{
    const QSize fitted = m_picture.size().scaled(box, Qt::KeepAspectRatio);
    if (m_scaled.size() != fitted)
        m_scaled = m_picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_scaled;
}

// One edge of a panel's bevels: the outer cut on the edge line, the inner one just inside it.
void TKmImageGridCell::paintBevel(QPainter& painter, const QRect& rect, bool bottomEdge) const
{
    const QColor light(Qt::white);
    const QColor shadow(0xA0, 0xA0, 0xA0);
    int y = bottomEdge ? rect.bottom() : rect.top();
    const int step = bottomEdge ? -1 : 1;
    for (TBevelCut cut : { m_bevelOuter, m_bevelInner }) {
        if (cut == bvNone)
            continue;
        if (cut != bvSpace) {
            // A raised cut is lit on its top edge and shaded on its bottom edge, a lowered one the reverse.
            const bool lit = (cut == bvRaised) != bottomEdge;
            painter.setPen(lit ? light : shadow);
            painter.drawLine(rect.left(), y, rect.right(), y);
        }
        y += step;
    }
}

void TKmImageGridCell::Paint(QPainter& painter)
{
    if (!m_owner || m_bounds.isEmpty())
        return;
    painter.save();
    painter.setClipRect(m_bounds);

    const QRect caption = CaptionRect();
    const QRect area = PictureAreaRect();
    painter.fillRect(caption, CurrentCaptionColor());
    painter.fillRect(area, CurrentImageColor());
    paintBevel(painter, caption, true);
    paintBevel(painter, area, false);
    if (m_borderStyle == bsSingle) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(caption.adjusted(0, 0, -1, -1));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }

    const int left = caption.left();
    const int top = caption.top();
    const int width = caption.width();
    painter.setFont(m_owner->CaptionFont());
    painter.setPen(m_upperLabelColor);
    painter.drawText(QRect(left + 2, top + 2, width - 4, 12), Qt::AlignHCenter | Qt::AlignTop, m_caption);
    painter.setPen(m_lowerLabelColor);
    // The date may take what the size text leaves free: fonts wider than the one the layout was made
    // for would cut it short otherwise.
    const int sizeTextWidth = painter.fontMetrics().horizontalAdvance(m_upperRightText);
    const int upperLeftWidth = std::max(width - 64, width - 8 - 8 - 4 - sizeTextWidth);
    painter.drawText(
        QRect(left + 8, top + 14, upperLeftWidth, 12), Qt::AlignLeft | Qt::AlignTop, m_upperLeftText);
    const int upperRightLeft = left + 8 + upperLeftWidth + 4;
    painter.drawText(QRect(upperRightLeft, top + 14, caption.right() - 8 - upperRightLeft + 1, 12),
        Qt::AlignRight | Qt::AlignTop, m_upperRightText);

    const QRect picture = PictureRect();
    if (!m_picture.isNull() && !picture.isEmpty()) {
        const QPixmap& scaled = scaledPicture(picture.size());
        const QPoint origin = picture.topLeft()
            + QPoint((picture.width() - scaled.width()) / 2, (picture.height() - scaled.height()) / 2);
        painter.drawPixmap(origin, scaled);
    }
    if (m_noPreviewVisible) {
        const QRect panel = picture.adjusted(0, 12, 0, -12);
        painter.fillRect(panel, Qt::white);
        painter.setFont(m_owner->NoPreviewFont());
        painter.setPen(Qt::black);
        painter.drawText(panel, Qt::AlignCenter | Qt::TextWordWrap,
            m_noPreviewText.isEmpty() ? rs("_rsNoViewAvailable") : m_noPreviewText);
    }
    if (m_waiting && !picture.isEmpty()) {
        // A picture frame in the cell's grey, a shade darker: something is coming here.
        const QRect frame = picture.adjusted(
            picture.width() / 6, picture.height() / 5, -picture.width() / 6, -picture.height() / 5);
        painter.setPen(QPen(CurrentImageColor().darker(125), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame);
        painter.drawEllipse(QPoint(frame.left() + frame.width() / 4, frame.top() + frame.height() / 3), 3, 3);
        painter.drawPolyline(QPolygon({ QPoint(frame.left() + 2, frame.bottom() - 3),
            QPoint(frame.left() + frame.width() / 3, frame.top() + frame.height() / 2),
            QPoint(frame.left() + frame.width() / 2, frame.bottom() - frame.height() / 4),
            QPoint(frame.right() - frame.width() / 5, frame.top() + frame.height() / 3),
            QPoint(frame.right() - 2, frame.bottom() - 3) }));
    }

    painter.setFont(m_owner->MarkFont());
    painter.setPen(MarkColor);
    if (m_rawMarkVisible)
        painter.drawText(
            QRect(area.right() - 1 - 20, area.top() + 2, 20, 10), Qt::AlignCenter, QStringLiteral("RAW"));
    if (m_movieMarkVisible)
        painter.drawPixmap(area.right() - 1 - MarkSize, area.top() + 2, movieMark());
    if (m_savedMarkVisible)
        painter.drawPixmap(area.right() + 1 - MarkSize, area.bottom() + 1 - MarkSize, savedMark());
    if (!m_lowerText.isEmpty()) {
        const QSize text = painter.fontMetrics().size(Qt::TextSingleLine, m_lowerText);
        painter.drawText(QRect(QPoint(area.left() + 2, area.bottom() - 1 - text.height()), text),
            Qt::AlignLeft | Qt::AlignTop, m_lowerText);
    }
    painter.restore();
}
