#include "liveview/ui/TLiveViewFrameDisplay.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "liveview/TImageBuffer.h"
#include "liveview/TLiveViewProcessor.h"
#include "liveview/TMjpegServer.h"
#include "liveview/ui/TKmExposureMeter.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewStatusLine.h"

#include <QAbstractItemView>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QThread>

#include <exception>
#include <utility>

namespace {

bool droppedDown(const QComboBox* choice)
{
    return choice->view() && choice->view()->isVisible();
}

} // namespace

TLiveViewFrameDisplay::TLiveViewFrameDisplay(TLiveViewScreen& screen, TLiveViewStatusLine& statusLine,
    TKmExposureMeter& exposureMeter, QLabel& focalLength, QObject* parent)
    : QObject(parent)
    , m_screen(screen)
    , m_statusLine(statusLine)
    , m_exposureMeter(exposureMeter)
    , m_focalLength(focalLength)
{ }

TLiveViewFrameDisplay::~TLiveViewFrameDisplay() = default;

void TLiveViewFrameDisplay::SetLinkedChoices(QComboBox* shutterSpeed, QComboBox* whiteBalance, QComboBox* iso,
    QComboBox* exposureCompensation, QComboBox* aperture)
{
    m_shutterChoice = shutterSpeed;
    m_whiteBalanceChoice = whiteBalance;
    m_isoChoice = iso;
    m_compensationChoice = exposureCompensation;
    m_apertureChoice = aperture;
}

void TLiveViewFrameDisplay::AttachTo(TLiveViewProcessor& processor)
{
    m_processor = &processor;
    QPointer<TLiveViewFrameDisplay> self(this);
    processor.ImageBuffer().SetImageHandler(
        [self](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData& information) {
            if (self)
                self->Receive(stream.data(), information);
        });
}

void TLiveViewFrameDisplay::SetLongExposureMode(bool liveTime, bool liveBulb)
{
    LongExposureText = liveTime ? QStringLiteral("LIVETIME")
        : liveBulb              ? QStringLiteral("LIVEBULB")
                                : QString();
}

void TLiveViewFrameDisplay::SaveLastImage(const QString& fileName) const
{
    if (!QFileInfo(fileName).absoluteDir().exists())
        return;
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(m_lastFrame);
}

void TLiveViewFrameDisplay::ResetApertureLimits()
{
    m_apertureLowerLimit = 0;
    m_apertureUpperLimit = 2147483647;
}

void TLiveViewFrameDisplay::StartServing()
{
    StopServing();
    if (!m_setup || !m_setup->LiveViewServe)
        return;
    m_server = std::make_unique<TMjpegServer>();
    if (m_server->Listen(QHostAddress::LocalHost, m_setup->LiveViewServePort)) {
        m_statusLine.SetServing(m_server->Url());
        return;
    }
    TLogger::LogAlways(QStringLiteral("TfraLiveView: ") + m_server->ErrorText());
    m_statusLine.SetServing({}, rs("_rsLiveViewServeFailed", { int(m_setup->LiveViewServePort) }));
    m_server.reset();
}

void TLiveViewFrameDisplay::StopServing()
{
    m_server.reset();
    m_statusLine.SetServing({});
}

void TLiveViewFrameDisplay::Receive(const QByteArray& jpeg, const TMetaData& information)
{
    // The receiving thread only queues datagrams; reassembly and this handler run on the panel's thread.
    Q_ASSERT(QThread::currentThread() == thread());
    // Other programs get every frame, also those the panel skips.
    if (m_server)
        m_server->Publish(jpeg);
    if (m_framePending)
        ++m_framesSkipped;
    m_pendingArrivalNs = TLiveViewScreen::MonotonicNs();
    m_pendingJpeg = jpeg;
    m_pendingInformation = information;
    if (m_framePending)
        return;
    m_framePending = true;
    QMetaObject::invokeMethod(this, &TLiveViewFrameDisplay::showPending, Qt::QueuedConnection);
}

void TLiveViewFrameDisplay::showPending()
{
    m_framePending = false;
    const QByteArray jpeg = std::exchange(m_pendingJpeg, {});
    Show(jpeg, m_pendingInformation, m_pendingArrivalNs);
}

void TLiveViewFrameDisplay::Show(const QByteArray& jpeg, const TMetaData& information, qint64 arrivalNs)
{
    bool show = true;
    TLiveViewFrameTimings steps;
    bool shown = false;
    try {
        if (BeforeImage)
            BeforeImage(show);
        if (OnFrame)
            OnFrame(jpeg, information);
        shown = m_screen.ShowPicture(jpeg, information, show, steps);
        if (shown)
            ++m_framesShown;
        const qint64 readings = TLiveViewScreen::MonotonicNs();
        showReadings(information);
        steps.statusLineNs += TLiveViewScreen::MonotonicNs() - readings;
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraLiveView.OnReceiveLiveViewImage (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (shown) {
        ++m_timings.frames;
        m_timings.decodeNs += steps.decodeNs;
        m_timings.rotateNs += steps.rotateNs;
        m_timings.histogramNs += steps.histogramNs;
        m_timings.gridNs += steps.gridNs;
        m_timings.focusFrameNs += steps.focusFrameNs;
        m_timings.statusLineNs += steps.statusLineNs;
        m_timings.lastShownArrivalNs = arrivalNs;
    }
    if (show)
        m_lastFrame = jpeg;
}

void TLiveViewFrameDisplay::showReadings(const TMetaData& information)
{
    m_statusLine.ShowInformation(information, LongExposureText);
    m_exposureMeter.SetPosition(information.GetExposureCompensation());
    m_focalLength.setText(information.GetFocalLengthText());
    m_focalLength.adjustSize();
    m_apertureLowerLimit = information.GetApertureLowerLimit();
    m_apertureUpperLimit = information.GetApertureUpperLimit();
    const auto linked = [](const QPointer<QComboBox>& c) { return c && c->isEnabled(); };
    m_statusLine.SetLinkedActive(linked(m_shutterChoice), linked(m_apertureChoice),
        linked(m_compensationChoice), linked(m_isoChoice), linked(m_whiteBalanceChoice));
    selectLinkedChoices(information);
    m_statusLine.SetExposureWarning(information.IsExposureWarning());
    m_statusLine.SetISOWarning(information.IsISOWarning());
    if (AfterImage)
        AfterImage();
    if (DebugView)
        m_screen.DebugMonitor->ShowDump(information.GetHexDump());
    if (m_screen.lblFramesPerSecond->isVisible() && m_processor) {
        m_screen.lblFramesPerSecond->setText(m_processor->GetFpsText(true)
            + QStringLiteral(" | %1 / %2").arg(m_framesShown).arg(m_framesSkipped));
        m_screen.lblFramesPerSecond->adjustSize();
    }
}

void TLiveViewFrameDisplay::selectLinkedChoices(const TMetaData& information)
{
    m_updatingChoices = true;
    try {
        if (m_apertureChoice && !droppedDown(m_apertureChoice))
            m_apertureChoice->setCurrentIndex(m_apertureChoice->findText(information.GetApertureValue()));
        if (m_shutterChoice && !droppedDown(m_shutterChoice) && LongExposureText.isEmpty())
            m_shutterChoice->setCurrentIndex(m_shutterChoice->findText(information.GetShutterSpeedValue()));
    } catch (...) {
        m_updatingChoices = false;
        throw;
    }
    m_updatingChoices = false;
}
