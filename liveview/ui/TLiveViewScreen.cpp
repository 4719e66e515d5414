#include "liveview/ui/TLiveViewScreen.h"

#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/JpegDec.h"
#include "liveview/LiveViewGrid.h"
#include "liveview/TMetaData.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TfraViewGrid.h"

#include <QIODevice>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

const QString kFrameLog = QStringLiteral("TfraLiveView.OnReceiveLiveViewImage");

QLabel* overlayLabel(QWidget* parent, const char* name, const QString& text, const QColor& color)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    DarkStyle::SetTextColor(label, color);
    label->adjustSize();
    return label;
}

// The histogram is drawn a few hundred pixels wide: a large frame taken at every second pixel
// gives it the same shape for a quarter of the counting, which cost more than the decode.
QImage histogramSample(const QImage& decoded)
{
    constexpr int kSampleWidth = 640;
    if (decoded.width() <= kSampleWidth)
        return decoded;
    return decoded.scaled(kSampleWidth, std::max(1, decoded.height() * kSampleWidth / decoded.width()),
        Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Adds the time since the last stamp to one step's sum.
class StepClock
{
public:
    void add(qint64& sum)
    {
        const qint64 now = TLiveViewScreen::MonotonicNs();
        sum += now - m_last;
        m_last = now;
    }

private:
    qint64 m_last = TLiveViewScreen::MonotonicNs();
};

} // namespace

TLiveViewScreen::TLiveViewScreen(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLiveView32"));
    imgLiveView32 = new TLiveViewPicture(this);

    lblErrorMsg = overlayLabel(this, "lblErrorMsg", QString(), QColor(255, 0, 0));
    lblErrorMsg->setAlignment(Qt::AlignCenter);
    lblErrorMsg->setWordWrap(true);
    QFont bold = lblErrorMsg->font();
    bold.setBold(true);
    lblErrorMsg->setFont(bold);
    lblErrorMsg->hide();
    lblSelfTimerValue = overlayLabel(this, "lblSelfTimerValue", QStringLiteral("12"), QColor(255, 0, 0));
    QFont huge = lblSelfTimerValue->font();
    huge.setPointSizeF(huge.pointSizeF() * 6);
    lblSelfTimerValue->setFont(huge);
    lblSelfTimerValue->adjustSize();
    lblFramesPerSecond = overlayLabel(this, "lblFramesPerSecond", QStringLiteral("0 fps"), Qt::white);
    lblTimer = overlayLabel(this, "lblTimer", QStringLiteral("00:00:00"), Qt::white);
    lblMovieQuality = overlayLabel(this, "lblMovieQuality", QStringLiteral("Full-HD Fine"), Qt::white);
    for (QLabel* label : { lblSelfTimerValue, lblFramesPerSecond, lblTimer, lblMovieQuality })
        label->hide();

    ihgLiveView = new TKmImageHistogram(this);
    ihgLiveView->setObjectName(QStringLiteral("ihgLiveView"));
    ihgLiveView->SetMargin(2);
    ihgLiveView->SetHistogramWidth(128);
    ihgLiveView->SetHistogramHeight(75);
    ihgLiveView->SetHistogramColor(DarkStyle::Panel());
    ihgLiveView->SetSummaryHistogram(HistogramCounter::shComposite);
    ihgLiveView->SetFastCalculation(false);
    ihgLiveView->setGeometry(6, 14, 264, 158);
    ihgLiveView->hide();
    ihgLRTLBrightness = new TKmImageHistogram(this);
    ihgLRTLBrightness->SetCalculateOnly(true);

    fraViewGrid = new TfraViewGrid(this);
    fraViewGrid->hide();
    pnlMagnifierControl = new TLiveViewNavigator(this);
    pnlMagnifierControl->hide();
    connect(pnlMagnifierControl, &TLiveViewNavigator::SectionMoved, this, &TLiveViewScreen::sectionMoved);
    DebugMonitor = new TLiveViewDebugMonitor(this);
    DebugMonitor->hide();
}

qint64 TLiveViewScreen::MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TLiveViewScreen::LayoutOverlays()
{
    lblErrorMsg->setGeometry(0, height() / 3, width(), height() / 3);
    lblFramesPerSecond->move(4, height() - lblFramesPerSecond->height() - 4);
    lblSelfTimerValue->move((width() - lblSelfTimerValue->width()) / 2, 4);
    lblTimer->move(4, 4);
    lblMovieQuality->move(4, 4 + lblTimer->height());
    fraViewGrid->adjustSize();
    fraViewGrid->move(4, height() - fraViewGrid->height() - 4);
    pnlMagnifierControl->move(width() - 124, height() - 94);
    // Above the frame rate, which stays readable while the debug view shows.
    DebugMonitor->setGeometry(
        4, height() / 2, width() - 8, qMax(0, height() / 2 - 12 - lblFramesPerSecond->height()));
}

void TLiveViewScreen::TakeSettings(const TSetup& setup)
{
    ihgLiveView->setVisible(setup.LiveStreamHistogramOn);
    ihgLiveView->raise();
    fraViewGrid->SetGridKind(setup.GridLines);
    fraViewGrid->SetGridColor(LiveViewGrid::colorFromSetting(setup.GridLinesColor));
    fraViewGrid->hide();
}

void TLiveViewScreen::KeepSettings(TSetup& setup) const
{
    setup.LiveStreamHistogramOn = ihgLiveView->isVisibleTo(this);
    setup.GridLines = quint8(fraViewGrid->GridKind());
    setup.GridLinesColor = LiveViewGrid::settingFromColor(fraViewGrid->GridColor());
}

void TLiveViewScreen::ShowError(const QString& text)
{
    lblErrorMsg->setText(text.trimmed());
    lblErrorMsg->setVisible(!lblErrorMsg->text().isEmpty());
    lblErrorMsg->raise();
}

void TLiveViewScreen::SetDebugView(bool on)
{
    DebugMonitor->setVisible(on);
    lblFramesPerSecond->setVisible(on);
    lblFramesPerSecond->raise();
    if (m_setup)
        DebugMonitor->SetTempDir(m_setup->TempDir);
}

bool TLiveViewScreen::ToggleHistogram()
{
    ihgLiveView->setVisible(!ihgLiveView->isVisibleTo(this));
    ihgLiveView->raise();
    return ihgLiveView->isVisibleTo(this);
}

bool TLiveViewScreen::ToggleGridChooser()
{
    fraViewGrid->setVisible(!fraViewGrid->isVisibleTo(this));
    fraViewGrid->raise();
    return fraViewGrid->isVisibleTo(this);
}

void TLiveViewScreen::SetMagnification(int factor)
{
    pnlMagnifierControl->SetMagnification(factor);
    pnlMagnifierControl->raise();
    imgLiveView32->setGeometry(0, 0, width() * factor, height() * factor);
    imgLiveView32->lower();
}

void TLiveViewScreen::sectionMoved(const QRect& section)
{
    const QSize navigator = pnlMagnifierControl->size();
    imgLiveView32->move(
        -LiveViewGrid::nearest(double(section.left()) / navigator.width() * imgLiveView32->width()),
        -LiveViewGrid::nearest(double(section.top()) / navigator.height() * imgLiveView32->height()));
}

QPoint TLiveViewScreen::CameraPoint(const QPoint& at) const
{
    const QSize size = m_liveViewSize;
    const int x = int(qint64(at.x()) * size.width() / std::max(1, imgLiveView32->width()));
    const int y = int(qint64(at.y()) * size.height() / std::max(1, imgLiveView32->height()));
    return { std::clamp(x, 0, size.width() - 1), std::clamp(y, 0, size.height() - 1) };
}

QImage TLiveViewScreen::decode(const QByteArray& jpeg, bool& failed)
{
    if (!m_setup || m_setup->UseJpegDec) {
        QImage decoded = DecodeJpegToBitmap(jpeg);
        failed = decoded.isNull();
        return decoded;
    }
    QString error;
    QImage decoded = decodeJpegWithLibrary(jpeg, &error);
    if (decoded.isNull())
        throw std::runtime_error(error.toStdString());
    failed = false;
    return decoded;
}

bool TLiveViewScreen::LoadImageFromStream(QIODevice* stream)
{
    if (!stream)
        return false;
    try {
        stream->seek(0);
        bool failed = false;
        const QImage decoded = decode(stream->readAll(), failed);
        if (failed) {
            TLogger::LogAlways(
                QStringLiteral("TfraLiveView.LoadImageFromStream: Image couldn''t be decoded"));
            return true;
        }
        imgLiveView32->SetBitmap(compose(decoded, 0));
        ihgLiveView->SetBitmap(decoded);
        return true;
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraLiveView.LoadImageFromStream (Ex): ") + QString::fromUtf8(e.what()));
        return false;
    }
}

QImage TLiveViewScreen::compose(const QImage& decoded, int orientation) const
{
    const QSize size = m_liveViewSize;
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(DarkStyle::Control());
    QPainter painter(&bitmap);
    if (orientation == 180)
        painter.drawImage(
            (size.width() - decoded.width()) / 2, (size.height() - decoded.height()) / 2, decoded);
    else
        painter.drawImage(bitmap.rect(), decoded);
    if (orientation != 0) {
        const QImage upright = bitmap.copy();
        painter.fillRect(bitmap.rect(), DarkStyle::Control());
        painter.translate(size.width() / 2.0, size.height() / 2.0);
        painter.rotate(orientation);
        painter.translate(-size.width() / 2.0, -size.height() / 2.0);
        painter.drawImage(0, 0, upright);
    }
    return bitmap;
}

void TLiveViewScreen::updateFocusMarks(int state)
{
    m_failed = false;
    if (state != 0) {
        m_focused = state == 1;
        m_failed = state == 2;
    }
}

bool TLiveViewScreen::ShowPicture(
    const QByteArray& jpeg, const TMetaData& information, bool show, TLiveViewFrameTimings& steps)
{
    bool failed = false;
    StepClock clock;
    const QImage decoded = decode(jpeg, failed);
    clock.add(steps.decodeNs);
    if (failed)
        TLogger::LogAlways(kFrameLog + QStringLiteral(": Image couldn''t be decoded"));
    QImage bitmap;
    const bool detailed = m_setup && m_setup->DetailedLog;
    const auto step = [detailed](const char* text) {
        if (detailed)
            TLogger::LogTrace(kFrameLog + QStringLiteral(": ") + QLatin1String(text));
    };
    if (!failed && show) {
        step("Assign jpeg to bitmap");
        step("Jpeg to bitmap assigned");
        step("Rotate bitmap");
        bitmap = compose(decoded, information.GetOrientation());
        step("Bitmap rotated");
        clock.add(steps.rotateNs);
        // Counting costs more than decoding: a hidden histogram is not fed.
        step("Assign to histogram");
        if (ihgLiveView->isVisibleTo(this))
            ihgLiveView->SetBitmap(histogramSample(decoded));
        step("Assigned to histogram");
        clock.add(steps.histogramNs);
        LiveViewGrid::draw(bitmap, fraViewGrid->GridKind(), fraViewGrid->GridColor());
        clock.add(steps.gridNs);
    } else if (!failed) {
        ihgLRTLBrightness->SetBitmap(decoded);
        clock.add(steps.histogramNs);
    }
    updateFocusMarks(information.GetFocusState());
    if (bitmap.isNull())
        return false;
    if (m_focused || m_failed) {
        QPainter painter(&bitmap);
        painter.setPen(QPen(m_failed ? QColor(255, 0, 0) : QColor(0, 255, 0), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(information.GetFocusFrame());
    }
    imgLiveView32->SetBitmap(bitmap);
    clock.add(steps.focusFrameNs);
    return true;
}
