// The remote control page's time-lapse series: the set-up and its switch on the property page
// "Intervallaufnahme", the take button that starts and stops a series, and the advanced panel in the
// side area while it runs. The series object keeps the plan (shot n at start + wait + n × interval,
// so slow shots never stretch the film), downloads each shot between shots when chosen and writes the
// series log; the page takes the pictures and counts them, and hands the series the live view frames
// its automatic modes measure.
#include "remote/ui/TfraRemoteControl.h"

#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TShooting.h"
#include "remote/TTimeLapseSeries.h"
#include "remote/ui/TfraTimeLapse.h"
#include "remote/ui/TfraTimeLapseAdvanced.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

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

TfraTimeLapse* TfraRemoteControl::createTimeLapsePanel(QWidget* page)
{
    fraTimeLapse = new TfraTimeLapse(page);
    fraTimeLapse->setObjectName(QStringLiteral("fraTimeLapse"));
    // Named for the language files.
    fraTimeLapse->lblWaitTime->setObjectName(QStringLiteral("lblWaitTime"));
    fraTimeLapse->lblInterval->setObjectName(QStringLiteral("lblInterval"));
    fraTimeLapse->lblTakeCount->setObjectName(QStringLiteral("lblTakeCount"));
    return fraTimeLapse;
}

void TfraRemoteControl::connectTimeLapse()
{
    m_series = new TTimeLapseSeries(this);
    // The automatic modes make the panel taller than the side area: it scrolls rather than squeezes.
    auto* scroll = new QScrollArea(tsTimeLapseAdvanced);
    scroll->setObjectName(QStringLiteral("sbxTimeLapseAdvanced"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DarkStyle::Apply(scroll, DarkStyle::Panel());
    fraTimeLapseAdvanced = new TfraTimeLapseAdvanced;
    fraTimeLapseAdvanced->lblTimeLapseAdvancedTitle->setObjectName(
        QStringLiteral("lblTimeLapseAdvancedTitle"));
    fraTimeLapseAdvanced->lblTLReminderLeft->setObjectName(QStringLiteral("lblTLReminderLeft"));
    fraTimeLapseAdvanced->lblTLReminderRight->setObjectName(QStringLiteral("lblTLReminderRight"));
    scroll->setWidget(fraTimeLapseAdvanced);
    auto* layout = new QVBoxLayout(tsTimeLapseAdvanced);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    fraTimeLapseAdvanced->SetSeries(m_series);
    // Its direction and correction texts are built in code.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(
            module, &TLanguageModule::languageChanged, fraTimeLapseAdvanced, &TfraTimeLapseAdvanced::Refresh);

    const QPointer<TfraRemoteControl> self(this);
    // One tick of the series: the page's picture with its counting and measurement.
    m_series->Shoot = [this, self] {
        TTimeLapseSeries::TShotOutcome outcome;
        // The frame before each shot, for comparing the live view with the pictures afterwards.
        const QDir frames(m_setup ? m_setup->TempDir + QStringLiteral("LiveView") : QString());
        if (isDebugMode() && !m_setup->TempDir.isEmpty() && frames.exists() && !m_setup->LvAsTake)
            fraLiveView->SaveLastImage(frames.filePath(
                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmsszzz'.jpg'"))));
        const bool taken = takeTimeLapsePhoto();
        if (!self)
            return outcome;
        outcome = m_series->ShotOutcome(taken);
        if (IsTimeLapseRunning())
            countTimeLapseShot();
        // LRTimelapse: the series measures the shot's record view against its last live frame.
        if (outcome.Ok && isTimeLapseLrt() && measureLrtShot() && isDebugMode())
            TLogger::LogTrace(QStringLiteral("TfraRemoteControl.tmrTimeLapseTimer: Preview image loaded"));
        return outcome;
    };
    connect(m_series, &TTimeLapseSeries::Finished, this, [this] {
        if (IsTimeLapseRunning())
            StopTimeLapse();
    });
    // The advanced panel's "Start": the clock runs from now.
    connect(m_series, &TTimeLapseSeries::Started, this, [this] {
        pnlLRTLPreviewImage->hide();
        refreshTimeLapseRegions();
    });
    connect(&m_series->Exposure, &TTimeLapseExposure::Changed, this, [this] { timeLapseAutoModeChanged(); });
    // The series says when the camera stops answering and when it is back.
    connect(m_series, &TTimeLapseSeries::CameraAvailable, this, [this](bool available) {
        const QString text
            = available ? rs("_rsTakeNumber", { m_series->ShotsTaken() }) : m_series->CameraText();
        if (!available)
            shootingFailed(text);
        emit OnProgress(
            m_timeLapseText, text, false, roundHalfEven(m_series->ShotsTaken() * m_timeLapsePercentPerShot));
    });

    // Every live view frame goes to the series; it keeps what its automatic mode measures.
    fraLiveView->OnFrame = [this](const QByteArray& jpeg, const TMetaData& information) {
        m_series->LiveFrame(jpeg, information);
    };

    connect(swTimeLapse, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            swTimeLapseOn();
        else
            swTimeLapseOff();
    });
    connect(btnLRTLPreviewImage, &QToolButton::clicked, this, [this] { btnLRTLPreviewImageClick(); });
    EnableTimeLapse(false);
}

void TfraRemoteControl::EnableTimeLapse(bool allowed)
{
    swTimeLapse->setEnabled(allowed);
    if (!allowed && swTimeLapse->isChecked())
        swTimeLapse->setChecked(false);
    if (!allowed)
        lblTimelapseStatus->hide();
    fraTimeLapse->SetActive(allowed && swTimeLapse->isChecked());
    // A running series goes on (only the take button ends it): a choice read again after a shot
    // the camera missed in the night must not end it.
    if (IsTimeLapseRunning())
        return;
    tmrTimeLapse->stop();
    m_timeLapseShotsRemaining = allowed ? fraTimeLapse->TakeCount() : 0;
}

void TfraRemoteControl::swTimeLapseOn()
{
    fraTimeLapse->SetActive(true);
    lblTimelapseStatus->show();
}

void TfraRemoteControl::swTimeLapseOff()
{
    fraTimeLapse->SetActive(false);
    lblTimelapseStatus->hide();
}

bool TfraRemoteControl::leaveTimeLapse()
{
    if (IsTimeLapseRunning())
        StopTimeLapse();
    if (m_series->PendingDownloads() == 0)
        return true;
    const QPointer<TfraRemoteControl> self(this);
    TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStop: %1 files of the series still to load")
                           .arg(m_series->PendingDownloads()));
    m_series->WaitForDownloads(kLeaveDownloadMs);
    return !self.isNull();
}

bool TfraRemoteControl::timeLapseTakeClick()
{
    if (IsTimeLapseRunning()) {
        StopTimeLapse();
        return true;
    }
    if (!swTimeLapse->isChecked() || !swTimeLapse->isEnabled() || m_liveBulbMode || m_sequentialMode
        || m_shooting->IsTimerDriveMode())
        return false;
    StartTimeLapse();
    return true;
}

QList<QRect> TfraRemoteControl::timeLapseRegions() const
{
    const QList<QRect> page = FreeRegions();
    QWidget* main = window();
    // The side area's page rather than the panel: the panel's rows come and go with the modes.
    QRect panel(tsTimeLapseAdvanced->mapTo(main, QPoint(0, 0)), tsTimeLapseAdvanced->size());
    if (main->isMaximized())
        panel.translate(main->pos());
    QList<QRect> rects { page.at(0), page.at(1), panel };
    if (!pnlLRTLPreviewImage->isHidden()) {
        QRect lrt(pnlLRTLPreviewImage->mapTo(main, QPoint(0, 0)), pnlLRTLPreviewImage->size());
        if (main->isMaximized())
            lrt.translate(main->pos());
        rects << lrt;
    }
    return rects;
}

void TfraRemoteControl::StartTimeLapse()
{
    if (IsTimeLapseRunning() || m_shooting->TakeButtonState() != TShooting::ButtonNormal)
        return;
    // The series decides whether its plan can run.
    m_series->Plan(
        fraTimeLapse->WaitTimeInSeconds(), fraTimeLapse->IntervalTimeInSeconds(), fraTimeLapse->TakeCount());
    if (const QString error = m_series->PlanError(); !error.isEmpty()) {
        shootingFailed(error);
        return;
    }
    // Pictures to be downloaded need a folder: without one in the settings the user names one for
    // this series; no answer, no series (rather than a night of shots that stay on the card).
    QString folder = m_setup ? m_setup->GetDownloadDirectory() : QString();
    if (folder.isEmpty() && fraTimeLapse->IsDownloadEachShot()) {
        const QPointer<TfraRemoteControl> self(this);
        folder = m_shooting->ChooseFolder ? m_shooting->ChooseFolder() : QString();
        if (!self || folder.isEmpty())
            return;
    }
    const int count = fraTimeLapse->TakeCount();
    m_timeLapsePlanned = count;
    m_timeLapseShotsRemaining = count;
    if (count > 0) {
        m_timeLapseText = rs("_rsTimeLapseTotal", { count });
        m_timeLapsePercentPerShot = 100.0 / count;
    } else {
        m_timeLapseText = rs("_rsTimeLapseInfinite");
        m_timeLapsePercentPerShot = 0;
    }

    m_timeLapseStopMode = true;
    updateTakeGlyph();
    m_series->SetShooting(m_shooting);
    m_series->DetailedLog = m_setup && m_setup->DetailedLog;
    m_series->Exposure.DebugMode = isDebugMode();
    m_series->Exposure.UsesStartButton = isDebugMode();
    m_series->DownloadEachShot = fraTimeLapse->IsDownloadEachShot();
    // The series log lies beside the pictures, also when they stay on the card.
    m_series->DownloadFolder = folder;
    if (!m_series->DownloadFolder.isEmpty() && !QDir().mkpath(m_series->DownloadFolder))
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.StartTimeLapse: cannot create ") + m_series->DownloadFolder);
    m_shooting->AutoPreview = false;
    m_shooting->AutoDownload = false;

    pcSide->setCurrentWidget(tsTimeLapseAdvanced);
    m_timeLapseCommunication = true;
    beginCommunication(QStringLiteral("StartTimeLapse"));
    pnlLRTLPreviewImage->setVisible(isTimeLapseLrt());
    trace(QStringLiteral("StartTimeLapse"), QStringLiteral("ceChangeFreeRegion (1)"));
    const QList<QRect> rects = timeLapseRegions();
    freeRegionsChanged(rects);
    emit OnProgress(m_timeLapseText, QString(), false, 0);
    // Starts the clock at once unless the automatic modes wait for the panel's "Start".
    fraTimeLapseAdvanced->StartSeries();
    timeLapseAutoModeChanged();
}

void TfraRemoteControl::StopTimeLapse()
{
    if (!IsTimeLapseRunning())
        return;
    tmrTimeLapse->stop();
    m_timeLapseShotsRemaining = 0;
    fraTimeLapseAdvanced->StopSeries();
    pcSide->setCurrentWidget(tsCameraProperties);
    pnlLRTLPreviewImage->hide();
    m_timeLapseLrtShown = false;
    if (m_timeLapseCommunication) {
        m_timeLapseCommunication = false;
        endCommunication(QStringLiteral("StopTimeLapse"));
        changeFreeRegions(QStringLiteral("StopTimeLapse"), {});
    }
    emit OnProgress(m_timeLapseText, rs("_rsTaskFinished"), true, 100);
    if (isDebugMode()) {
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.TakePhoto: Intervallaufnahme beendet"));
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.TakePhoto: Aufnahmeschaltfläche zurücksetzen"));
    }
    m_timeLapseStopMode = false;
    updateTakeGlyph();
}

bool TfraRemoteControl::takeTimeLapsePhoto()
{
    return shoot("TakePhoto", [this] {
        // The series downloads its shots itself, between them; no preview window in the night.
        m_shooting->AutoPreview = false;
        m_shooting->AutoDownload = false;
        return m_shooting->TakePhoto(-1, -1);
    });
}

void TfraRemoteControl::countTimeLapseShot()
{
    if (m_timeLapsePlanned > 0 && m_timeLapseShotsRemaining <= 0)
        return;
    --m_timeLapseShotsRemaining;
    const int done = m_timeLapsePlanned > 0 ? m_timeLapsePlanned - m_timeLapseShotsRemaining
                                            : -m_timeLapseShotsRemaining;
    emit OnProgress(m_timeLapseText, rs("_rsTakeNumber", { done }), false,
        roundHalfEven(done * m_timeLapsePercentPerShot));
}

bool TfraRemoteControl::isTimeLapseLrt() const
{
    return m_series && m_series->IsRunning() && m_series->Exposure.IsLRT();
}

void TfraRemoteControl::timeLapseAfterImage()
{
    if (!m_series || pcSide->currentWidget() != tsTimeLapseAdvanced)
        return;
    fraTimeLapseAdvanced->ShowLiveShutterSpeed(cbxShutterSpeed->currentText());
    fraTimeLapseAdvanced->ShowLiveAperture(cbxAperture->currentText());
}

void TfraRemoteControl::timeLapseAutoModeChanged()
{
    const bool lrt = isTimeLapseLrt();
    if (lrt == m_timeLapseLrtShown)
        return;
    m_timeLapseLrtShown = lrt;
    pnlLRTLPreviewImage->setVisible(lrt);
    if (lrt)
        showLrtPlaceholder();
    refreshTimeLapseRegions();
}

void TfraRemoteControl::refreshTimeLapseRegions()
{
    // Once the shutter area has its new layout: the take button may have moved.
    QTimer::singleShot(0, this, [this] {
        if (!m_timeLapseCommunication)
            return;
        const QList<QRect> rects = timeLapseRegions();
        trace(QStringLiteral("StartTimeLapse"), QStringLiteral("ceChangeFreeRegion (1)"));
        freeRegionsChanged(rects);
    });
}

void TfraRemoteControl::showLrtPlaceholder()
{
    QFile file(kPlaceholder);
    if (!file.open(QIODevice::ReadOnly)) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.showLrtPlaceholder: ") + file.errorString());
        return;
    }
    fraLiveView->LoadImageFromStream(&file);
}

bool TfraRemoteControl::measureLrtShot()
{
    if (!isConnected())
        return false;
    const QPointer<TfraRemoteControl> self(this);
    if (!m_series->MeasureShot() || !self)
        return false;
    // The live view shows the record view the series measured.
    QByteArray bytes = m_series->RecordView();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    fraLiveView->LoadImageFromStream(&buffer);
    return true;
}

void TfraRemoteControl::btnLRTLPreviewImageClick()
{
    if (!isTimeLapseLrt())
        return;
    // Before the series has started these pictures only set the reference; they are not counted.
    const QPointer<TfraRemoteControl> self(this);
    const bool ok = takeTimeLapsePhoto();
    if (!self || !ok)
        return;
    beginCommunication(QStringLiteral("LoadLastTakeAsPreview"));
    measureLrtShot();
    if (self)
        endCommunication(QStringLiteral("LoadLastTakeAsPreview"));
}
