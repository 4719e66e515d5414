#include "remote/ui/TRemoteSeriesPanel.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/TTimeLapseSeries.h"
#include "remote/ui/TRemotePanelHost.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TRemoteTimeLapsePanel.h"
#include "remote/ui/TfraTimeLapse.h"
#include "remote/ui/TfraTimeLapseAdvanced.h"

#include <QBuffer>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <cfenv>
#include <cmath>

namespace {

const QString kPlaceholder = QStringLiteral(":/remote/lrt-placeholder.jpg");
// How long leaving the page waits for the series' last downloads.
constexpr int kLeaveDownloadMs = 60000;

// Halves to even, as the progress of the shots is rounded.
int roundHalfEven(double value)
{
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(mode);
    return int(rounded);
}

} // namespace

TRemoteSeriesPanel::TRemoteSeriesPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLRTLPreviewImage"));
    auto* lrt = new QHBoxLayout(this);
    lrt->setContentsMargins(0, 0, 0, 0);
    btnLRTLPreviewImage = new QToolButton(this);
    btnLRTLPreviewImage->setObjectName(QStringLiteral("btnLRTLPreviewImage"));
    btnLRTLPreviewImage->setText(QStringLiteral("Vorschaubild laden"));
    lrt->addWidget(btnLRTLPreviewImage);
    connect(btnLRTLPreviewImage, &QToolButton::clicked, this, [this] { btnLRTLPreviewImageClick(); });
    hide();
    m_series = new TTimeLapseSeries(this);
}

void TRemoteSeriesPanel::Bind(TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting,
    TfraLiveView* liveView, TRemoteTimeLapsePanel* settings, TRemotePropertyPanel* properties)
{
    m_host = host;
    m_control = control;
    m_shooting = shooting;
    m_liveView = liveView;
    m_settings = settings;
    m_properties = properties;
    m_advancedPage = settings->AdvancedPage();
    fraTimeLapseAdvanced = settings->fraTimeLapseAdvanced;
    fraTimeLapseAdvanced->SetSeries(m_series);
    connectSeries();
}

void TRemoteSeriesPanel::connectSeries()
{
    const QPointer<TRemoteSeriesPanel> self(this);
    // One tick of the series: the page's picture with its counting and measurement.
    m_series->Shoot = [this, self] {
        TTimeLapseSeries::TShotOutcome outcome;
        // The frame before each shot, for comparing the live view with the pictures afterwards.
        const QDir frames(m_setup ? m_setup->TempDir + QStringLiteral("LiveView") : QString());
        if (m_host->IsDebugMode() && !m_setup->TempDir.isEmpty() && frames.exists() && !m_setup->LvAsTake)
            m_liveView->SaveLastImage(frames.filePath(
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz'.jpg'"))));
        const bool taken = takePhoto();
        if (!self)
            return outcome;
        outcome = m_series->ShotOutcome(taken);
        if (IsRunning())
            countShot();
        // LRTimelapse: the series measures the shot's record view against its last live frame.
        if (outcome.Ok && IsLrt() && measureLrtShot() && m_host->IsDebugMode())
            TLogger::LogTrace(QStringLiteral("TfraRemoteControl.tmrTimeLapseTimer: Preview image loaded"));
        return outcome;
    };
    connect(m_series, &TTimeLapseSeries::Finished, this, [this] {
        if (IsRunning())
            StopTimeLapse();
    });
    // The advanced panel's "Start": the clock runs from now.
    connect(m_series, &TTimeLapseSeries::Started, this, [this] {
        hide();
        refreshRegions();
    });
    connect(&m_series->Exposure, &TTimeLapseExposure::Changed, this, [this] { autoModeChanged(); });
    // The series says when the camera stops answering and when it is back.
    connect(m_series, &TTimeLapseSeries::CameraAvailable, this, [this](bool available) {
        const QString text
            = available ? rs("_rsTakeNumber", { m_series->ShotsTaken() }) : m_series->CameraText();
        if (!available)
            m_host->ShootingFailed(text);
        m_host->CameraAnswering(available);
        m_host->ShowProgress(m_text, text, false, roundHalfEven(m_series->ShotsTaken() * m_percentPerShot));
    });
    // Every live view frame goes to the series; it keeps what its automatic mode measures.
    m_liveView->OnFrame = [this](const QByteArray& jpeg, const TMetaData& information) {
        m_series->LiveFrame(jpeg, information);
    };
}

void TRemoteSeriesPanel::Allow(bool allowed)
{
    // A running series goes on (only the take button ends it): a choice read again after a shot
    // the camera missed in the night must not end it.
    if (IsRunning())
        return;
    m_shotsRemaining = allowed ? m_settings->fraTimeLapse->TakeCount() : 0;
}

void TRemoteSeriesPanel::Reset()
{
    m_shotsRemaining = 0;
    hide();
}

bool TRemoteSeriesPanel::Leave()
{
    if (IsRunning())
        StopTimeLapse();
    if (m_series->PendingDownloads() == 0)
        return true;
    const QPointer<TRemoteSeriesPanel> self(this);
    TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStop: %1 files of the series still to load")
                           .arg(m_series->PendingDownloads()));
    m_series->WaitForDownloads(kLeaveDownloadMs);
    return !self.isNull();
}

bool TRemoteSeriesPanel::TakeClick()
{
    if (IsRunning()) {
        StopTimeLapse();
        return true;
    }
    if (!m_settings->IsOn() || m_shooting->IsLiveBulbMode() || m_shooting->IsSequentialMode()
        || m_shooting->IsTimerDriveMode())
        return false;
    StartTimeLapse();
    return true;
}

QList<QRect> TRemoteSeriesPanel::Regions() const
{
    const QList<QRect> page = m_host->PageRegions();
    // The side area's page rather than the panel: the panel's rows come and go with the modes.
    QList<QRect> rects { page.at(0), page.at(1), m_host->InMainWindow(m_advancedPage) };
    if (!isHidden())
        rects << m_host->InMainWindow(this);
    return rects;
}
void TRemoteSeriesPanel::StartTimeLapse()
{
    if (IsRunning() || m_shooting->TakeButtonState() != TShooting::ButtonNormal)
        return;
    // The series decides whether its plan can run.
    m_series->Plan(m_settings->fraTimeLapse->WaitTimeInSeconds(),
        m_settings->fraTimeLapse->IntervalTimeInSeconds(), m_settings->fraTimeLapse->TakeCount());
    if (const QString error = m_series->PlanError(); !error.isEmpty()) {
        m_host->ShootingFailed(error);
        return;
    }
    // Pictures to be downloaded need a folder: without one in the settings the user names one for
    // this series; no answer, no series (rather than a night of shots that stay on the card).
    QString folder = m_setup ? m_setup->GetDownloadDirectory() : QString();
    if (folder.isEmpty() && m_settings->fraTimeLapse->IsDownloadEachShot()) {
        const QPointer<TRemoteSeriesPanel> self(this);
        folder = m_shooting->ChooseFolder ? m_shooting->ChooseFolder() : QString();
        if (!self || folder.isEmpty())
            return;
    }
    const int count = m_settings->fraTimeLapse->TakeCount();
    m_planned = count;
    m_shotsRemaining = count;
    if (count > 0) {
        m_text = rs("_rsTimeLapseTotal", { count });
        m_percentPerShot = 100.0 / count;
    } else {
        m_text = rs("_rsTimeLapseInfinite");
        m_percentPerShot = 0;
    }

    m_running = true;
    emit RunningChanged();
    m_series->SetShooting(m_shooting);
    m_series->DetailedLog = m_setup && m_setup->DetailedLog;
    m_series->Exposure.DebugMode = m_host->IsDebugMode();
    m_series->Exposure.UsesStartButton = m_host->IsDebugMode();
    m_series->DownloadEachShot = m_settings->fraTimeLapse->IsDownloadEachShot();
    // The series log lies beside the pictures, also when they stay on the card.
    m_series->DownloadFolder = folder;
    if (!m_series->DownloadFolder.isEmpty() && !QDir().mkpath(m_series->DownloadFolder))
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.StartTimeLapse: cannot create ") + m_series->DownloadFolder);
    m_shooting->AutoPreview = false;
    m_shooting->AutoDownload = false;

    emit ShowAdvanced(true);
    m_communication = true;
    m_host->BeginCommunication(QStringLiteral("StartTimeLapse"));
    setVisible(IsLrt());
    m_host->ChangeFreeRegions(QStringLiteral("StartTimeLapse"), Regions());
    m_host->ShowProgress(m_text, QString(), false, 0);
    // Starts the clock at once unless the automatic modes wait for the panel's "Start".
    fraTimeLapseAdvanced->StartSeries();
    autoModeChanged();
}

void TRemoteSeriesPanel::StopTimeLapse()
{
    if (!IsRunning())
        return;
    m_shotsRemaining = 0;
    fraTimeLapseAdvanced->StopSeries();
    emit ShowAdvanced(false);
    hide();
    m_lrtShown = false;
    if (m_communication) {
        m_communication = false;
        m_host->EndCommunication(QStringLiteral("StopTimeLapse"));
        m_host->ChangeFreeRegions(QStringLiteral("StopTimeLapse"), {});
    }
    m_host->ShowProgress(m_text, rs("_rsTaskFinished"), true, 100);
    if (m_host->IsDebugMode()) {
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.TakePhoto: Intervallaufnahme beendet"));
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.TakePhoto: Aufnahmeschaltfläche zurücksetzen"));
    }
    m_running = false;
    emit RunningChanged();
}

bool TRemoteSeriesPanel::takePhoto()
{
    return m_host->Shoot("TakePhoto", [this] {
        // The series downloads its shots itself, between them; no preview window in the night.
        m_shooting->AutoPreview = false;
        m_shooting->AutoDownload = false;
        return m_shooting->TakePhoto(-1, -1);
    });
}

void TRemoteSeriesPanel::countShot()
{
    if (m_planned > 0 && m_shotsRemaining <= 0)
        return;
    --m_shotsRemaining;
    const int done = m_planned > 0 ? m_planned - m_shotsRemaining : -m_shotsRemaining;
    m_host->ShowProgress(
        m_text, rs("_rsTakeNumber", { done }), false, roundHalfEven(done * m_percentPerShot));
}

bool TRemoteSeriesPanel::IsLrt() const
{
    return m_series->IsRunning() && m_series->Exposure.IsLRT();
}

void TRemoteSeriesPanel::AfterImage()
{
    if (m_advancedPage->isHidden())
        return;
    fraTimeLapseAdvanced->ShowLiveShutterSpeed(m_properties->cbxShutterSpeed->currentText());
    fraTimeLapseAdvanced->ShowLiveAperture(m_properties->cbxAperture->currentText());
}

void TRemoteSeriesPanel::autoModeChanged()
{
    const bool lrt = IsLrt();
    if (lrt == m_lrtShown)
        return;
    m_lrtShown = lrt;
    setVisible(lrt);
    if (lrt)
        showLrtPlaceholder();
    refreshRegions();
}

void TRemoteSeriesPanel::refreshRegions()
{
    // Once the shutter area has its new layout: the take button may have moved.
    QTimer::singleShot(0, this, [this] {
        if (!m_communication)
            return;
        m_host->ChangeFreeRegions(QStringLiteral("StartTimeLapse"), Regions());
    });
}

void TRemoteSeriesPanel::showLrtPlaceholder()
{
    QFile file(kPlaceholder);
    if (!file.open(QIODevice::ReadOnly)) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.showLrtPlaceholder: ") + file.errorString());
        return;
    }
    m_liveView->LoadImageFromStream(&file);
}

bool TRemoteSeriesPanel::measureLrtShot()
{
    if (!m_control->IsConnected())
        return false;
    const QPointer<TRemoteSeriesPanel> self(this);
    if (!m_series->MeasureShot() || !self)
        return false;
    // The live view shows the record view the series measured.
    QByteArray bytes = m_series->RecordView();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    m_liveView->LoadImageFromStream(&buffer);
    return true;
}

void TRemoteSeriesPanel::btnLRTLPreviewImageClick()
{
    if (!IsLrt())
        return;
    // Before the series has started these pictures only set the reference; they are not counted.
    const QPointer<TRemoteSeriesPanel> self(this);
    const bool ok = takePhoto();
    if (!self || !ok)
        return;
    m_host->BeginCommunication(QStringLiteral("LoadLastTakeAsPreview"));
    measureLrtShot();
    if (self)
        m_host->EndCommunication(QStringLiteral("LoadLastTakeAsPreview"));
}
