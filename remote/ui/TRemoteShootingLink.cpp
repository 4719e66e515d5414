// Every press of the remote control page's shutter area goes to the shooting object, whose signals
// come back here as glyphs, labels, progress and the preview window.
#include "remote/ui/TRemoteShootingLink.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/TfraCameraPage.h"
#include "base/ui/TfrmPreview.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/RemoteControlRules.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/TRemotePanelHost.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TRemoteSeriesPanel.h"
#include "remote/ui/TRemoteShutterPanel.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <utility>

TRemoteShootingLink::TRemoteShootingLink(QWidget* page)
    : QObject(page)
    , m_page(page)
{ }

void TRemoteShootingLink::Bind(TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting,
    TfraLiveView* liveView, TRemotePropertyPanel* properties, TRemoteShutterPanel* shutter,
    TRemoteSeriesPanel* series)
{
    m_host = host;
    m_control = control;
    m_shooting = shooting;
    m_liveView = liveView;
    m_properties = properties;
    m_shutter = shutter;
    m_series = series;
    m_shooting->LastFrame = [this] { return m_liveView->LastFrame(); };
    m_shooting->ChooseFolder = [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            m_page, rs("_rsImportFolder"), m_setup ? m_setup->GetDownloadDirectory() : QString());
        // Asked because none was set: the answer becomes the download folder, so the automatic
        // download does not ask again after every shot.
        if (m_setup && !folder.trimmed().isEmpty() && m_setup->GetDownloadDirectory().isEmpty()) {
            m_setup->SetDownloadDirectory(folder);
            m_setup->Save();
        }
        return folder;
    };
    connect(m_shooting, &TShooting::Communication, this,
        [this](const TCommunication& c) { shootingCommunication(c.Kind); });
    connect(m_shooting, &TShooting::Changed, this, [this] { showShootingState(); });
    connect(m_shooting, &TShooting::Preview, this, [this](const QByteArray& jpeg, const QString& caption) {
        // Shown once the shot's work is done: the busy overlay of a running download would cover it,
        // and a modal window inside the download's wait would hold the files back.
        m_pendingPreview = jpeg;
        m_pendingCaption = caption;
        if (m_shootingDepth == 0)
            QTimer::singleShot(0, this, [this] { afterShooting(); });
    });
    connect(m_shooting, &TShooting::Error, this, [this](const QString& text) { shootingFailed(text); });
    connect(
        m_liveView, &TfraLiveView::PictureClicked, this, [this](const QPoint& at, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                imgLiveViewMouseDown(at.x(), at.y());
        });
    connect(
        m_liveView, &TfraLiveView::PictureReleased, this, [this](const QPoint& at, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                imgLiveViewMouseUp(at.x(), at.y());
        });
    connect(m_shutter->btnTake, &QToolButton::pressed, this, &TRemoteShootingLink::btnTakeMouseDown);
    connect(m_shutter->btnTake, &QToolButton::released, this, &TRemoteShootingLink::btnTakeMouseUp);
    connect(m_shutter->btnTake, &QToolButton::clicked, this, &TRemoteShootingLink::btnTakeClick);
    connect(m_shutter->btnTakeMovie, &QToolButton::clicked, this, &TRemoteShootingLink::btnTakeMovieMouseUp);
    connect(
        m_shutter->btnLastPreview, &QToolButton::clicked, this, &TRemoteShootingLink::btnLastPreviewClick);
    connect(m_shutter->btnDownloadLastTake, &QToolButton::clicked, this,
        &TRemoteShootingLink::btnDownloadLastTakeClick);
}

int TRemoteShootingLink::TakeState() const
{
    if (m_series->IsRunning())
        return TShooting::ButtonStop;
    return m_shooting->TakeButtonState();
}

void TRemoteShootingLink::syncShootingSettings()
{
    m_shooting->DetailedLog = m_host->IsDebugMode();
    m_shooting->LvAsTake = m_setup && m_setup->LvAsTake;
    m_shooting->TempDir = m_setup ? m_setup->TempDir : QString();
    m_shooting->AutoPreview = m_shutter->IsAutoPreview();
    m_shooting->AutoDownload = m_shutter->IsAutoDownload();
    m_shooting->DownloadFolder = m_setup ? m_setup->GetDownloadDirectory() : QString();
    const QComboBox* seconds = m_properties->cbxSelfTimer;
    m_shooting->SelfTimerChoice = seconds->currentIndex() >= 0 ? seconds->currentText().toInt() : 0;
}

bool TRemoteShootingLink::shoot(const char* operation, const std::function<bool()>& call)
{
    const QPointer<TRemoteShootingLink> self(this);
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

void TRemoteShootingLink::shootingCommunication(int kind)
{
    if (kind == ceStart) {
        m_host->BeginCommunication(m_shootingOperation);
        return;
    }
    if (kind == ceStop) {
        m_host->EndCommunication(m_shootingOperation);
        // What waited for the end of a shot begun by a timer (self-timer, lost release).
        if (m_shooting->OpenCommunications() == 0 && m_shootingDepth == 0
            && (m_rereadPending || !m_pendingPreview.isEmpty()))
            QTimer::singleShot(0, this, [this] { afterShooting(); });
        return;
    }
    // The shots of a series leave its regions as they are.
    if (m_series->IsRunning()) {
        m_host->ChangeFreeRegions(m_shootingOperation, m_series->Regions());
        return;
    }
    QList<QRect> rects;
    const QList<QRect> all = m_host->PageRegions();
    // The clock of a LIVETIME exposure beside the take button stays readable.
    if (m_shooting->FreeRegions() & TShooting::RegionTakeButton)
        rects << all.at(0) << all.at(2);
    if (m_shooting->FreeRegions() & TShooting::RegionLiveView)
        rects << all.at(1);
    m_host->ChangeFreeRegions(m_shootingOperation, rects);
}

void TRemoteShootingLink::shootingFailed(const QString& text)
{
    m_shootingError = text;
    m_liveView->ShowError(text);
    m_rereadPending = true;
    if (m_shootingDepth == 0 && m_shooting->OpenCommunications() == 0)
        QTimer::singleShot(0, this, [this] { afterShooting(); });
}

void TRemoteShootingLink::afterShooting()
{
    if (m_shootingDepth > 0 || m_shooting->OpenCommunications() > 0)
        return;
    const QPointer<TRemoteShootingLink> self(this);
    if (m_rereadPending) {
        m_rereadPending = false;
        // The camera may have changed its mode or values on the failed shot; a camera that went
        // away is left to the connection check instead of waiting out each property.
        m_properties->Reread();
        if (!self)
            return;
    }
    if (!m_pendingPreview.isEmpty())
        QTimer::singleShot(0, this, [this] { showPendingPreview(); });
}

TfrmPreview* TRemoteShootingLink::PreviewWindow()
{
    if (!m_previewWindow)
        m_previewWindow = new TfrmPreview(m_page);
    return m_previewWindow;
}

void TRemoteShootingLink::showPendingPreview()
{
    if (m_pendingPreview.isEmpty() || m_shootingDepth > 0 || m_shooting->OpenCommunications() > 0)
        return;
    const QByteArray jpeg = std::exchange(m_pendingPreview, {});
    const QString caption = std::exchange(m_pendingCaption, {});
    const QWidget* main = m_page->window();
    // Modal until clicked; the page may be gone afterwards.
    PreviewWindow()->ShowPreview(jpeg, main->size(), caption, main->pos());
}

void TRemoteShootingLink::showShootingState()
{
    m_shutter->ShowShootingState(TakeState(), m_control->Modes().Movie);
    // A shot that worked takes its failure text off the picture; other errors there stay.
    if (m_shooting->LastError().isEmpty() && !m_shootingError.isEmpty()) {
        if (m_liveView->lblErrorMsg->text() == m_shootingError)
            m_liveView->ShowError(QString());
        m_shootingError.clear();
    }
}

void TRemoteShootingLink::UpdateRecordingMarks()
{
    m_liveView->SetRecordingFormats(m_shooting->IsJpeg(), m_shooting->IsRaw());
}

// ---- the page's shooting operations -----------------------------------------------------------

bool TRemoteShootingLink::TakePhoto(int x, int y)
{
    return shoot("TakePhoto", [&] { return m_shooting->TakePhoto(x, y); });
}

bool TRemoteShootingLink::StartLiveBulbOrSequential(int x, int y)
{
    return shoot("StartLiveBulbOrSequential", [&] { return m_shooting->StartLiveBulbOrSequential(x, y); });
}

bool TRemoteShootingLink::StopLiveBulbOrSequential()
{
    return shoot("StopLiveBulbOrSequential", [&] { return m_shooting->StopLiveBulbOrSequential(); });
}

void TRemoteShootingLink::StartSelfTimer(int x, int y)
{
    shoot("StartSelfTimer", [&] { return m_shooting->StartSelfTimer(x, y, m_shooting->SelfTimerChoice); });
}

void TRemoteShootingLink::CancelSelfTimer()
{
    shoot("CancelSelfTimer", [&] {
        m_shooting->CancelSelfTimer();
        return true;
    });
}

bool TRemoteShootingLink::TakeMovie()
{
    return shoot("TakeMovie", [&] { return m_shooting->TakeMovie(); });
}

void TRemoteShootingLink::LoadLastTake(const QString& folder)
{
    shoot("LoadLastTake", [&] { return m_shooting->LoadLastTake(folder); });
}

void TRemoteShootingLink::LoadLastTakeAsPreview()
{
    shoot("LoadLastTakeAsPreview", [&] { return m_shooting->LoadLastTakeAsPreview(); });
}

// ---- buttons and the picture ------------------------------------------------------------------

void TRemoteShootingLink::btnTakeMouseDown()
{
    shoot("StartLiveBulbOrSequential", [&] {
        m_shooting->ButtonDown();
        return true;
    });
}

void TRemoteShootingLink::btnTakeMouseUp()
{
    shoot("StopLiveBulbOrSequential", [&] {
        m_shooting->ButtonUp();
        return true;
    });
}

void TRemoteShootingLink::btnTakeClick()
{
    if (m_series->TakeClick())
        return;
    // Live-bulb and sequential shooting follow press and release; a timer drive mode counts down.
    const char* operation = m_shooting->IsTimerDriveMode() ? "StartSelfTimer" : "TakePhoto";
    shoot(operation, [&] {
        m_shooting->ButtonClick();
        return true;
    });
}

void TRemoteShootingLink::btnTakeMovieMouseUp()
{
    TakeMovie();
}

void TRemoteShootingLink::btnLastPreviewClick()
{
    const QPointer<TRemoteShootingLink> self(this);
    m_host->BeginCommunication(QStringLiteral("btnLastPreviewClick"));
    LoadLastTakeAsPreview();
    if (!self)
        return;
    m_host->EndCommunication(QStringLiteral("btnLastPreviewClick"));
    afterShooting();
}

void TRemoteShootingLink::btnDownloadLastTakeClick()
{
    LoadLastTake(QString());
}

void TRemoteShootingLink::imgLiveViewMouseDown(int x, int y)
{
    if (m_shooting->IsExposing())
        return;
    const QPointer<TRemoteShootingLink> self(this);
    m_host->BeginCommunication(QStringLiteral("imgLiveViewMouseDown"));
    // The core decides what the click does; the page shows it.
    const RemoteControlRules::TShootingModes modes { m_shooting->IsLiveTimeMode(),
        m_shooting->IsLiveBulbMode(), m_shooting->IsSequentialMode(), m_shooting->IsTimerDriveMode(), false,
        false };
    switch (RemoteControlRules::PictureClick(modes, m_control->IsConnected(), m_shooting->IsExposing(),
        m_control->TouchState() == TRemoteControl::TouchRelease)) {
    case RemoteControlRules::TPictureClick::Nothing:
        break;
    case RemoteControlRules::TPictureClick::FocusPoint: {
        if (m_host->IsDebugMode() && m_control->CanAssignFocusPoint())
            TLogger::LogTrace(QStringLiteral("TfraRemoteControl.imgLiveViewMouseDown: Fokuspunkt setzen"));
        const int before = m_control->TouchState();
        m_control->AssignFocusPoint(x, y);
        if (!self)
            return;
        if (m_control->TouchState() != before)
            m_shutter->UpdateTouchGlyph();
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
        if (m_host->IsDebugMode())
            TLogger::LogTrace(QStringLiteral("TfraRemoteControl.imgLiveViewMouseDown: Auslösen"));
        TakePhoto(x, y);
        break;
    }
    if (!self)
        return;
    m_host->EndCommunication(QStringLiteral("imgLiveViewMouseDown"));
}

void TRemoteShootingLink::imgLiveViewMouseUp(int, int)
{
    if (m_shooting->IsLiveBulbMode() || m_shooting->IsSequentialMode())
        btnTakeMouseUp();
}
