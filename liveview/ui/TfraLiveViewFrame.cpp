#include "liveview/ui/TfraLiveView.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/JpegDec.h"
#include "liveview/LiveViewGrid.h"
#include "liveview/TMjpegServer.h"
#include "liveview/ui/TKmExposureMeter.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TLiveViewStatusLine.h"
#include "liveview/ui/TfraViewGrid.h"
#include "session/TCamera.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QIODevice>
#include <QLabel>
#include <QPainter>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

// The frame display of the live view panel: decode, turn, overlays, status line and linked choices;
// and the size the panel takes in its host.

namespace {

const QString kFrameLog = QStringLiteral("TfraLiveView.OnReceiveLiveViewImage");

bool droppedDown(const QComboBox* choice)
{
    return choice->view() && choice->view()->isVisible();
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
        const qint64 now = TfraLiveView::MonotonicNs();
        sum += now - m_last;
        m_last = now;
    }

private:
    qint64 m_last = TfraLiveView::MonotonicNs();
};

} // namespace

qint64 TfraLiveView::MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QImage TfraLiveView::decode(const QByteArray& jpeg, bool& failed)
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

bool TfraLiveView::LoadImageFromStream(QIODevice* stream)
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

void TfraLiveView::startServing()
{
    stopServing();
    if (!m_setup || !m_setup->LiveViewServe)
        return;
    m_server = std::make_unique<TMjpegServer>();
    if (m_server->Listen(QHostAddress::LocalHost, m_setup->LiveViewServePort)) {
        StatusLine->SetServing(m_server->Url());
        return;
    }
    TLogger::LogAlways(QStringLiteral("TfraLiveView: ") + m_server->ErrorText());
    StatusLine->SetServing({}, rs("_rsLiveViewServeFailed", { int(m_setup->LiveViewServePort) }));
    m_server.reset();
}

void TfraLiveView::stopServing()
{
    m_server.reset();
    StatusLine->SetServing({});
}

void TfraLiveView::OnReceiveLiveViewImage(const QByteArray& jpeg, const TMetaData& information)
{
    // The receiving thread only queues datagrams; reassembly and this handler run on the panel's thread.
    Q_ASSERT(QThread::currentThread() == thread());
    // Other programs get every frame, also those the panel skips.
    if (m_server)
        m_server->Publish(jpeg);
    if (m_framePending)
        ++m_framesSkipped;
    m_pendingArrivalNs = MonotonicNs();
    m_pendingJpeg = jpeg;
    m_pendingInformation = information;
    if (m_framePending)
        return;
    m_framePending = true;
    QMetaObject::invokeMethod(this, &TfraLiveView::showPending, Qt::QueuedConnection);
}

void TfraLiveView::showPending()
{
    m_framePending = false;
    const QByteArray jpeg = std::exchange(m_pendingJpeg, {});
    const qint64 arrival = m_pendingArrivalNs;
    const quint64 shown = m_framesShown;
    ShowFrame(jpeg, m_pendingInformation);
    if (m_framesShown != shown)
        m_timings.lastShownArrivalNs = arrival;
}

QImage TfraLiveView::compose(const QImage& decoded, int orientation) const
{
    const QSize size = liveViewSize();
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

void TfraLiveView::updateFocusMarks(int state)
{
    m_failed = false;
    if (state != 0) {
        m_focused = state == 1;
        m_failed = state == 2;
    }
}

void TfraLiveView::ShowFrame(const QByteArray& jpeg, const TMetaData& information)
{
    bool show = true;
    FrameTimings steps;
    try {
        if (OnBeforeImage)
            OnBeforeImage(this, show);
        if (OnFrame)
            OnFrame(jpeg, information);
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
        StatusLine->ShowInformation(information, m_longExposureText);
        KmExposureMeter->SetPosition(information.GetExposureCompensation());
        lblFocalLength->setText(information.GetFocalLengthText());
        lblFocalLength->adjustSize();
        m_apertureLowerLimit = information.GetApertureLowerLimit();
        m_apertureUpperLimit = information.GetApertureUpperLimit();
        updateFocusMarks(information.GetFocusState());
        clock.add(steps.statusLineNs);
        if (!bitmap.isNull()) {
            if (m_focused || m_failed) {
                QPainter painter(&bitmap);
                painter.setPen(QPen(m_failed ? QColor(255, 0, 0) : QColor(0, 255, 0), 2));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(information.GetFocusFrame());
            }
            imgLiveView32->SetBitmap(bitmap);
            ++m_framesShown;
        }
        clock.add(steps.focusFrameNs);
        const auto linked = [](const QPointer<QComboBox>& c) { return c && c->isEnabled(); };
        StatusLine->SetLinkedActive(linked(m_shutterChoice), linked(m_apertureChoice),
            linked(m_compensationChoice), linked(m_isoChoice), linked(m_whiteBalanceChoice));
        selectLinkedChoices(information);
        StatusLine->SetExposureWarning(information.IsExposureWarning());
        StatusLine->SetISOWarning(information.IsISOWarning());
        if (OnAfterImage)
            OnAfterImage(this);
        if (m_debugView)
            DebugMonitor->ShowDump(information.GetHexDump());
        if (lblFramesPerSecond->isVisible() && m_camera) {
            lblFramesPerSecond->setText(m_camera->Remote.LiveView.Processor().GetFpsText(true)
                + QStringLiteral(" | %1 / %2").arg(m_framesShown).arg(m_framesSkipped));
            lblFramesPerSecond->adjustSize();
        }
        clock.add(steps.statusLineNs);
        if (!bitmap.isNull()) {
            ++m_timings.frames;
            m_timings.decodeNs += steps.decodeNs;
            m_timings.rotateNs += steps.rotateNs;
            m_timings.histogramNs += steps.histogramNs;
            m_timings.gridNs += steps.gridNs;
            m_timings.focusFrameNs += steps.focusFrameNs;
            m_timings.statusLineNs += steps.statusLineNs;
            m_timings.lastShownArrivalNs = 0;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(kFrameLog + QStringLiteral(" (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (show)
        m_lastFrame = jpeg;
}

void TfraLiveView::selectLinkedChoices(const TMetaData& information)
{
    m_updatingChoices = true;
    try {
        if (m_apertureChoice && !droppedDown(m_apertureChoice))
            m_apertureChoice->setCurrentIndex(m_apertureChoice->findText(information.GetApertureValue()));
        if (m_shutterChoice && !droppedDown(m_shutterChoice) && m_longExposureText.isEmpty())
            m_shutterChoice->setCurrentIndex(m_shutterChoice->findText(information.GetShutterSpeedValue()));
    } catch (...) {
        m_updatingChoices = false;
        throw;
    }
    m_updatingChoices = false;
}
// --- size: the picture scaled into the host's space -----------------------------------------------
// --- size: the picture scaled into the host's space ---------------------------------------------

int TfraLiveView::statusHeight() const
{
    return std::max(27, StatusLine->sizeHint().height() + 8);
}

QSize TfraLiveView::leastPictureSize() const
{
    // As wide as the status line under it needs, and never below a quarter VGA.
    const int width = std::max(320, StatusLine->WidthNeeded());
    return liveViewSize().scaled(QSize(width, width), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QSize TfraLiveView::pictureSize() const
{
    const QSize native = liveViewSize();
    if (m_space.isEmpty())
        return native;
    const QSize room = m_space - QSize(15, m_topHeight + statusHeight());
    const QSize least = leastPictureSize();
    if (room.width() < least.width() || room.height() < least.height())
        return least;
    return native.scaled(room, Qt::KeepAspectRatio);
}

QSize TfraLiveView::minimumSizeHint() const
{
    return leastPictureSize() + QSize(15, m_topHeight + statusHeight());
}

void TfraLiveView::FitInto(const QSize& space)
{
    if (space == m_space || m_fitting)
        return;
    m_space = space;
    ResizeToLiveView();
}

bool TfraLiveView::event(QEvent* event)
{
    // The host is whatever holds the panel: a page, or the viewport of a scroll box.
    if (event->type() == QEvent::ParentChange) {
        if (m_host)
            m_host->removeEventFilter(this);
        m_host = parentWidget();
        if (m_host)
            m_host->installEventFilter(this);
    }
    return QWidget::event(event);
}

bool TfraLiveView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_host && event->type() == QEvent::Resize)
        FitInto(m_host->size());
    return QWidget::eventFilter(watched, event);
}
