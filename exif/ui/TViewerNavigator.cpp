#include "exif/ui/TViewerNavigator.h"

#include "exif/ui/TViewerPicture.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPreviewDelayMs = 250;

// (40 × pixel + 60 × red) ÷ 100 per channel, rounded: the part of the picture the window shows.
void tintRed(QImage& image, const QRect& rect)
{
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb((40 * qRed(p) + 60 * 255 + 50) / 100, (40 * qGreen(p) + 50) / 100,
                (40 * qBlue(p) + 50) / 100);
        }
    }
}

} // namespace

TViewerNavigator::TViewerNavigator(const TViewerPicture* picture, QWidget* parent)
    : QWidget(parent)
    , m_picture(picture)
{
    setObjectName(QStringLiteral("pbxPreview"));
    setFixedSize(Edge, Edge);
    QSizePolicy keepPlace = sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    setSizePolicy(keepPlace);
    tmrPreview.setObjectName(QStringLiteral("tmrPreview"));
    tmrPreview.setSingleShot(true);
    tmrPreview.setInterval(kPreviewDelayMs);
    connect(&tmrPreview, &QTimer::timeout, this, &TViewerNavigator::Redraw);
}

void TViewerNavigator::TakePicture()
{
    // The navigator keeps the picture's proportions, so its red part matches what the window shows
    // for portrait pictures too.
    const QSize size = m_picture->Picture().size();
    const int longer = std::max(size.width(), size.height());
    const int shorter = std::min(size.width(), size.height());
    const int thumbShort = std::max(1, int(std::lround(double(Edge) * shorter / longer)));
    const QSize thumb = size.width() >= size.height() ? QSize(Edge, thumbShort) : QSize(thumbShort, Edge);
    m_thumbnail = m_picture->ScaleSource()
                      .scaled(thumb, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
    m_navigator = m_thumbnail;
}

void TViewerNavigator::Schedule()
{
    if (!m_thumbnail.isNull())
        tmrPreview.start(kPreviewDelayMs);
}

void TViewerNavigator::Redraw()
{
    tmrPreview.stop();
    const QImage& master = m_picture->Picture();
    if (m_thumbnail.isNull() || master.isNull())
        return;
    const double m = double(m_thumbnail.width()) / master.width();
    const QPoint pos = m_picture->pos();
    const QSize panel = m_picture->parentWidget()->size();
    const QRect visible(int(std::lround(std::abs(pos.x()) * m)), int(std::lround(std::abs(pos.y()) * m)),
        int(std::lround(panel.width() * m)), int(std::lround(panel.height() * m)));
    m_navigator = m_thumbnail;
    tintRed(m_navigator, visible);
    update();
}

void TViewerNavigator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_navigator.isNull())
        return;
    painter.drawImage(
        QPoint((Edge - m_navigator.width()) / 2, (Edge - m_navigator.height()) / 2), m_navigator);
}
