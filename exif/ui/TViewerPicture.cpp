#include "exif/ui/TViewerPicture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int kOverlayPen = 10;
// Above this many pixels the fitted view and the navigator work from a reduced copy, so a resize does
// not rescale the whole picture each time.
constexpr qint64 kReduceAbovePixels = 24'000'000;
constexpr int kReducedEdge = 3072;

} // namespace

TViewerPicture::TViewerPicture(QWidget* panel)
    : QWidget(panel)
{
    setObjectName(QStringLiteral("imgViewer"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TViewerPicture::SetPicture(QImage picture)
{
    m_fitted = QImage();
    m_reduced = QImage();
    m_master = std::move(picture);
    const QSize size = m_master.size();
    if (qint64(size.width()) * size.height() > kReduceAbovePixels) {
        m_reduced = m_master.scaled(
            QSize(kReducedEdge, kReducedEdge), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    Place();
}

void TViewerPicture::SetFrames(const TExifRect& focusFrame, const QList<TExifRect>& faces)
{
    m_focusFrame = focusFrame;
    m_faces = faces;
    update();
}

void TViewerPicture::SetFocusDisplay(bool on)
{
    m_focusDisplay = on;
    update();
}

void TViewerPicture::SetOneToOne(bool on)
{
    m_oneToOne = on;
    if (on)
        move(0, 0);
    Place();
}

void TViewerPicture::Place()
{
    m_dragging = false;
    const QWidget* panel = parentWidget();
    if (!m_oneToOne) {
        setGeometry(panel->rect());
        unsetCursor();
    } else {
        const QSize size = m_master.isNull() ? panel->size() : m_master.size();
        setGeometry(QRect(clampedPosition(pos()), size));
        setCursor(Qt::OpenHandCursor);
    }
    update();
}

// --- painting ----------------------------------------------------------------------------------

QRect TViewerPicture::fittedRect() const
{
    // Scaled down to fit with the proportions kept, never enlarged, centred.
    const QSize panel = size();
    QSize size = m_master.size();
    if (size.width() > panel.width() || size.height() > panel.height())
        size = size.scaled(panel, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    return QRect(QPoint((panel.width() - size.width()) / 2, (panel.height() - size.height()) / 2), size);
}

const QImage& TViewerPicture::fittedPicture()
{
    const QSize size = fittedRect().size();
    if (m_fitted.size() != size) {
        const QImage& source = ScaleSource();
        m_fitted = source.size() == size
            ? source
            : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return m_fitted;
}

void TViewerPicture::paintEvent(QPaintEvent* event)
{
    const QRect exposed = event->rect();
    QPainter painter(this);
    painter.fillRect(exposed, Qt::black);
    if (m_master.isNull())
        return;
    if (!m_oneToOne) {
        const QRect rect = fittedRect();
        painter.drawImage(rect.topLeft(), fittedPicture());
        painter.translate(rect.topLeft());
        painter.scale(double(rect.width()) / m_master.width(), double(rect.height()) / m_master.height());
    } else {
        const QRect part = exposed.intersected(m_master.rect());
        painter.drawImage(part.topLeft(), m_master, part);
    }
    if (m_focusDisplay)
        paintOverlays(painter);
}

void TViewerPicture::paintOverlays(QPainter& painter) const
{
    // In picture pixels: the pen scales with the picture in the fitted view.
    painter.setBrush(Qt::NoBrush);
    const auto outline = [&painter](const TExifRect& r, const QColor& color) {
        painter.setPen(QPen(color, kOverlayPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    };
    if (m_focusFrame != TExifRect())
        outline(m_focusFrame, QColor(0, 255, 0));
    for (const TExifRect& face : m_faces)
        outline(face, Qt::white);
}

// --- panning -----------------------------------------------------------------------------------

QPoint TViewerPicture::clampedPosition(const QPoint& wanted) const
{
    // From (panel − picture) to 0; a picture smaller than the panel in one direction stays centred
    // in that direction instead of being pushed outside.
    const QSize panel = parentWidget()->size();
    const QSize picture = m_master.isNull() ? panel : m_master.size();
    const auto clampAxis = [](int value, int panelExtent, int pictureExtent) {
        const int low = panelExtent - pictureExtent;
        if (low >= 0)
            return low / 2;
        return std::clamp(value, low, 0);
    };
    return QPoint(clampAxis(wanted.x(), panel.width(), picture.width()),
        clampAxis(wanted.y(), panel.height(), picture.height()));
}

void TViewerPicture::panTo(const QPoint& wanted)
{
    const QPoint position = clampedPosition(wanted);
    if (position == pos())
        return;
    move(position);
    parentWidget()->update();
    emit Panned();
}

void TViewerPicture::mousePressEvent(QMouseEvent* event)
{
    if (!m_oneToOne)
        return;
    m_dragging = true;
    m_anchor = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void TViewerPicture::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = false;
    if (m_oneToOne)
        setCursor(Qt::OpenHandCursor);
}

void TViewerPicture::mouseMoveEvent(QMouseEvent* event)
{
    // The anchor is the grabbed point of the picture, so it follows the mouse one to one.
    if (m_dragging && m_oneToOne)
        panTo(pos() + event->position().toPoint() - m_anchor);
}
