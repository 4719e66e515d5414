// The remote control page's shutter area: every press goes to the shooting object, whose signals
// come back here as glyphs, labels, progress and the preview window.
#include "remote/ui/TfraRemoteControl.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TfrmPreview.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/RemoteControlRules.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace {

constexpr int kRecordButtonMs = 500;

} // namespace

void TfraRemoteControl::connectShooting()
{
    m_shooting->LastFrame = [this] { return fraLiveView->LastFrame(); };
    m_shooting->ChooseFolder = [this] {
        return QFileDialog::getExistingDirectory(
            this, rs("_rsImportFolder"), m_setup ? m_setup->GetDownloadDirectory() : QString());
    };
    connect(m_shooting, &TShooting::Communication, this,
        [this](const TCommunication& c) { shootingCommunication(c.Kind); });
    connect(m_shooting, &TShooting::Changed, this, [this] { showShootingState(); });
    connect(m_shooting, &TShooting::Progress, this,
        [this](const QString& title, const QString& detail, bool finished, int percent) {
            shootingProgress(title, detail, finished, percent);
        });
    connect(m_shooting, &TShooting::BytesReceived, this,
        [this](qint64 received, qint64 expected) { shootingBytes(received, expected); });
    connect(m_shooting, &TShooting::SelfTimerCount, this, [this](int seconds) {
        QLabel* label = fraLiveView->lblSelfTimerValue;
        label->setText(QString::number(seconds));
        label->adjustSize();
        if (const QWidget* picture = label->parentWidget())
            label->move((picture->width() - label->width()) / 2, label->y());
        if (seconds <= 0)
            label->hide();
    });
    connect(m_shooting, &TShooting::LiveTime, this,
        [this](const QString& text) { lblLastTakeInfo->setText(text); });
    connect(m_shooting, &TShooting::MovieTime, this,
        [this](const QString& text) { fraLiveView->lblTimer->setText(text); });
    connect(m_shooting, &TShooting::Preview, this, [this](const QByteArray& jpeg, const QString& caption) {
        // Shown once the shot's work is done: the busy overlay of a running download would cover it,
        // and a modal window inside the download's wait would hold the files back.
        m_pendingPreview = jpeg;
        m_pendingCaption = caption;
        if (m_shootingDepth == 0)
            QTimer::singleShot(0, this, [this] { afterShooting(); });
    });
    connect(m_shooting, &TShooting::Error, this, [this](const QString& text) { shootingFailed(text); });
    connect(tmrRecordButton, &QTimer::timeout, this, [this] {
        m_movieState = m_movieState == 3 ? 4 : 3;
        btnTakeMovie->setIcon(QIcon(RemoteControlLook::LargeGlyph(m_movieState, DarkStyle::Text())));
    });
}

int TfraRemoteControl::TakeState() const
{
    if (m_timeLapseStopMode)
        return TShooting::ButtonStop;
    return m_shooting->TakeButtonState();
}

void TfraRemoteControl::syncShootingModes()
{
    // Not hidden stands for a timer drive mode, also while another property page is in front.
    m_shooting->SetModes(m_liveTimeMode, m_liveBulbMode, m_sequentialMode, !cbxSelfTimer->isHidden());
}

void TfraRemoteControl::syncShootingSettings()
{
    m_shooting->DetailedLog = isDebugMode();
    m_shooting->LvAsTake = m_setup && m_setup->LvAsTake;
    m_shooting->TempDir = m_setup ? m_setup->TempDir : QString();
    m_shooting->AutoPreview = m_autoPreview;
    m_shooting->AutoDownload = m_autoDownload;
    m_shooting->DownloadFolder = m_setup ? m_setup->GetDownloadDirectory() : QString();
    m_shooting->SelfTimerChoice = cbxSelfTimer->currentIndex() >= 0 ? cbxSelfTimer->currentText().toInt() : 0;
}

bool TfraRemoteControl::shoot(const char* operation, const std::function<bool()>& call)
{
    const QPointer<TfraRemoteControl> self(this);
    syncShootingSettings();
    const QString outer = m_shootingOperation;
    m_shootingOperation = QString::fromLatin1(operation);
    ++m_shootingDepth;
    const bool result = call();
    if (!self)
        return result;
    --m_shootingDepth;
    m_shootingOperation = outer;
    afterShooting();
    return result;
}

void TfraRemoteControl::shootingCommunication(int kind)
{
    if (kind == ceStart) {
        beginCommunication(m_shootingOperation);
        return;
    }
    if (kind == ceStop) {
        endCommunication(m_shootingOperation);
        // What waited for the end of a shot begun by a timer (self-timer, lost release).
        if (m_shooting->OpenCommunications() == 0 && m_shootingDepth == 0
            && (m_rereadPending || !m_pendingPreview.isEmpty()))
            QTimer::singleShot(0, this, [this] { afterShooting(); });
        return;
    }
    // The shots of a series leave its regions as they are.
    if (m_timeLapseStopMode) {
        changeFreeRegions(m_shootingOperation, timeLapseRegions());
        return;
    }
    QList<QRect> rects;
    const QList<QRect> all = FreeRegions();
    // The clock of a LIVETIME exposure beside the take button stays readable.
    if (m_shooting->FreeRegions() & TShooting::RegionTakeButton)
        rects << all.at(0) << all.at(2);
    if (m_shooting->FreeRegions() & TShooting::RegionLiveView)
        rects << all.at(1);
    changeFreeRegions(m_shootingOperation, rects);
}

void TfraRemoteControl::shootingProgress(
    const QString& title, const QString& detail, bool finished, int percent)
{
    m_progressTitle = title;
    m_progressFile = detail;
    m_progressBase = percent;
    m_progressShown = percent;
    emit OnProgress(title, detail, finished, percent);
}

void TfraRemoteControl::shootingBytes(qint64 received, qint64 expected)
{
    // Within the running file's share, so a movie does not stand at one figure for minutes.
    const int count = m_shooting->LastTake().Count();
    const int step = count > 0 ? 100 / count : 100;
    if (expected <= 0 || received <= 0)
        return;
    const int percent = m_progressBase + int(qMin(received, expected) * step / expected);
    if (percent <= m_progressShown || percent >= m_progressBase + step)
        return;
    m_progressShown = percent;
    emit OnProgress(m_progressTitle, m_progressFile, false, percent);
}

void TfraRemoteControl::shootingFailed(const QString& text)
{
    m_shootingError = text;
    fraLiveView->ShowError(text);
    m_rereadPending = true;
    if (m_shootingDepth == 0 && m_shooting->OpenCommunications() == 0)
        QTimer::singleShot(0, this, [this] { afterShooting(); });
}

void TfraRemoteControl::afterShooting()
{
    if (m_shootingDepth > 0 || m_shooting->OpenCommunications() > 0)
        return;
    const QPointer<TfraRemoteControl> self(this);
    if (m_rereadPending) {
        m_rereadPending = false;
        // The camera may have changed its mode or values on the failed shot; a camera that went
        // away is left to the connection check instead of waiting out each property.
        TCamera* camera = Camera();
        if (camera && camera->Connected && camera->Remote.Take.LastFailure != TCameraFailure::NoAnswer
            && !m_updating) {
            beginCommunication(QStringLiteral("rereadCamera"));
            m_control->ReloadAll();
            if (!self)
                return;
            if (!m_updating)
                SetValue();
            endCommunication(QStringLiteral("rereadCamera"));
        }
    }
    if (!m_pendingPreview.isEmpty())
        QTimer::singleShot(0, this, [this] { showPendingPreview(); });
}

TfrmPreview* TfraRemoteControl::PreviewWindow()
{
    if (!m_previewWindow)
        m_previewWindow = new TfrmPreview(this);
    return m_previewWindow;
}

void TfraRemoteControl::showPendingPreview()
{
    if (m_pendingPreview.isEmpty() || m_shootingDepth > 0 || m_shooting->OpenCommunications() > 0)
        return;
    const QByteArray jpeg = std::exchange(m_pendingPreview, {});
    const QString caption = std::exchange(m_pendingCaption, {});
    const QWidget* main = window();
    // Modal until clicked; the page may be gone afterwards.
    PreviewWindow()->ShowPreview(jpeg, main->size(), caption, main->pos());
}

void TfraRemoteControl::showShootingState()
{
    updateTakeGlyph();
    const bool recording = m_shooting->IsMovieRecording();
    if (recording && !tmrRecordButton->isActive()) {
        m_movieState = 3;
        tmrRecordButton->start(kRecordButtonMs);
    } else if (!recording) {
        tmrRecordButton->stop();
        m_movieState = 0;
    }
    btnTakeMovie->setIcon(
        QIcon(RemoteControlLook::LargeGlyph(recording ? m_movieState : 3, DarkStyle::Text())));
    if (recording != m_wasRecording) {
        m_wasRecording = recording;
        if (recording) {
            const TCameraParam* quality = param(QStringLiteral("qualitymovie"));
            fraLiveView->lblMovieQuality->setText(quality ? quality->Value : QString());
            fraLiveView->lblTimer->show();
            fraLiveView->lblMovieQuality->show();
        } else {
            fraLiveView->lblTimer->setVisible(IsMovieMode());
            fraLiveView->lblMovieQuality->setVisible(IsMovieMode());
        }
        ActivateControls();
    }
    fraLiveView->lblSelfTimerValue->setVisible(m_shooting->IsSelfTimerRunning());

    // The live-time clock owns the label while an exposure runs.
    if (!m_shooting->IsLiveTimeRunning()) {
        QString info = m_shooting->LastTakeInfo();
        if (info.isEmpty() && !m_shooting->LastFrameFile().isEmpty())
            info = QFileInfo(m_shooting->LastFrameFile()).fileName();
        lblLastTakeInfo->setText(info.isEmpty() ? QStringLiteral("-") : info);
    }
    UpdateRecordingMarks();

    // A shot that worked takes its failure text off the picture; other errors there stay.
    if (m_shooting->LastError().isEmpty() && !m_shootingError.isEmpty()) {
        if (fraLiveView->lblErrorMsg->text() == m_shootingError)
            fraLiveView->ShowError(QString());
        m_shootingError.clear();
    }
}

void TfraRemoteControl::UpdateRecordingMarks()
{
    fraLiveView->SetRecordingFormats(m_shooting->IsJpeg(), m_shooting->IsRaw());
}

// ---- the page's shooting operations -----------------------------------------------------------

bool TfraRemoteControl::TakePhoto(int x, int y)
{
    return shoot("TakePhoto", [&] { return m_shooting->TakePhoto(x, y); });
}

bool TfraRemoteControl::StartLiveBulbOrSequential(int x, int y)
{
    return shoot("StartLiveBulbOrSequential", [&] { return m_shooting->StartLiveBulbOrSequential(x, y); });
}

bool TfraRemoteControl::StopLiveBulbOrSequential()
{
    return shoot("StopLiveBulbOrSequential", [&] { return m_shooting->StopLiveBulbOrSequential(); });
}

void TfraRemoteControl::StartSelfTimer(int x, int y)
{
    shoot("StartSelfTimer", [&] { return m_shooting->StartSelfTimer(x, y, m_shooting->SelfTimerChoice); });
}

void TfraRemoteControl::CancelSelfTimer()
{
    shoot("CancelSelfTimer", [&] {
        m_shooting->CancelSelfTimer();
        return true;
    });
}

bool TfraRemoteControl::TakeMovie()
{
    return shoot("TakeMovie", [&] { return m_shooting->TakeMovie(); });
}

void TfraRemoteControl::LoadLastTake(const QString& folder)
{
    shoot("LoadLastTake", [&] { return m_shooting->LoadLastTake(folder); });
}

void TfraRemoteControl::LoadLastTakeAsPreview()
{
    shoot("LoadLastTakeAsPreview", [&] { return m_shooting->LoadLastTakeAsPreview(); });
}

// ---- buttons and the picture ------------------------------------------------------------------

void TfraRemoteControl::btnTakeMouseDown()
{
    shoot("StartLiveBulbOrSequential", [&] {
        m_shooting->ButtonDown();
        return true;
    });
}

void TfraRemoteControl::btnTakeMouseUp()
{
    shoot("StopLiveBulbOrSequential", [&] {
        m_shooting->ButtonUp();
        return true;
    });
}

void TfraRemoteControl::btnTakeClick()
{
    if (timeLapseTakeClick())
        return;
    // Live-bulb and sequential shooting follow press and release; a timer drive mode counts down.
    const char* operation = m_shooting->IsTimerDriveMode() ? "StartSelfTimer" : "TakePhoto";
    shoot(operation, [&] {
        m_shooting->ButtonClick();
        return true;
    });
}

void TfraRemoteControl::btnTakeMovieMouseUp()
{
    TakeMovie();
}

void TfraRemoteControl::btnLastPreviewClick()
{
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("btnLastPreviewClick"));
    LoadLastTakeAsPreview();
    if (!self)
        return;
    endCommunication(QStringLiteral("btnLastPreviewClick"));
    afterShooting();
}

void TfraRemoteControl::btnDownloadLastTakeClick()
{
    LoadLastTake(QString());
}

void TfraRemoteControl::imgLiveViewMouseDown(int x, int y)
{
    if (m_shooting->IsExposing())
        return;
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("imgLiveViewMouseDown"));
    // The core decides what the click does; the page shows it.
    const RemoteControlRules::TShootingModes modes { m_liveTimeMode, m_liveBulbMode, m_sequentialMode,
        !cbxSelfTimer->isHidden(), false, false };
    switch (RemoteControlRules::PictureClick(
        modes, isConnected(), m_shooting->IsExposing(), TouchState() == TRemoteControl::TouchRelease)) {
    case RemoteControlRules::TPictureClick::Nothing:
        break;
    case RemoteControlRules::TPictureClick::FocusPoint: {
        if (isDebugMode() && Camera()->Remote.AssignAFFrame.Enabled)
            TLogger::LogTrace(QStringLiteral("TfraRemoteControl.imgLiveViewMouseDown: Fokuspunkt setzen"));
        const int before = TouchState();
        m_control->AssignFocusPoint(x, y);
        if (!self)
            return;
        if (TouchState() != before)
            updateTouchGlyph();
        break;
    }
    case RemoteControlRules::TPictureClick::SelfTimer:
        if (m_shooting->IsSelfTimerRunning())
            CancelSelfTimer();
        else
            StartSelfTimer(x, y);
        break;
    case RemoteControlRules::TPictureClick::Hold:
        // Held on the picture like on the take button: the release there ends it.
        shoot("StartLiveBulbOrSequential", [&] {
            m_shooting->ButtonDown(x, y);
            return true;
        });
        break;
    case RemoteControlRules::TPictureClick::Take:
        if (isDebugMode())
            TLogger::LogTrace(QStringLiteral("TfraRemoteControl.imgLiveViewMouseDown: Auslösen"));
        TakePhoto(x, y);
        break;
    }
    if (!self)
        return;
    endCommunication(QStringLiteral("imgLiveViewMouseDown"));
}

void TfraRemoteControl::imgLiveViewMouseUp(int, int)
{
    if (m_liveBulbMode || m_sequentialMode)
        btnTakeMouseUp();
}
