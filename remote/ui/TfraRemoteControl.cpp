#include "remote/ui/TfraRemoteControl.h"

#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TfraTimeLapse.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include <exception>

namespace {

// Below the side area, as far as the page reaches.
constexpr int kSideBottomGap = 15;

} // namespace

// ---- helpers ----------------------------------------------------------------------------------

bool TfraRemoteControl::isConnected() const
{
    return m_control->IsConnected();
}

bool TfraRemoteControl::isRemoteRecordMode() const
{
    return m_control->IsRemoteRecordMode();
}

bool TfraRemoteControl::mayChange() const
{
    return isConnected() && !m_updating && !fraLiveView->IsUpdatingChoices();
}

bool TfraRemoteControl::isDebugMode() const
{
    return m_setup && m_setup->DebugMode;
}

void TfraRemoteControl::trace(const QString& operation, const QString& what) const
{
    if (m_setup && m_setup->DetailedLog)
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.") + operation + QStringLiteral(": ") + what);
}

void TfraRemoteControl::beginCommunication(const QString& operation)
{
    trace(operation, QStringLiteral("ceStart"));
    communicationStarted();
}

void TfraRemoteControl::endCommunication(const QString& operation)
{
    trace(operation, QStringLiteral("ceStop"));
    communicationStopped();
}

void TfraRemoteControl::changeFreeRegions(const QString& operation, const QList<QRect>& rects)
{
    trace(operation, QStringLiteral("ceChangeFreeRegion"));
    freeRegionsChanged(rects);
}

QList<QRect> TfraRemoteControl::FreeRegions() const
{
    QWidget* main = window();
    const auto toMain = [main](const QWidget* widget) {
        QRect r(widget->mapTo(main, QPoint(0, 0)), widget->size());
        // A maximized window's position counts as well, as the overlay covers the screen there.
        if (main->isMaximized())
            r.translate(main->pos());
        return r;
    };
    // The overlay lies exactly on the main window's client area: the bounds go unshifted (a framed
    // window's border offsets do not apply here).
    const QWidget* takeButton = btnTakeMovie->isVisible() ? btnTakeMovie : btnTake;
    return { toMain(takeButton), toMain(sbxLiveView), toMain(lblLastTakeInfo) };
}

TCameraParam* TfraRemoteControl::param(const QString& name) const
{
    return m_control->Param(name);
}

QString TfraRemoteControl::selectedCameraValue(const QString& property, QComboBox* choice) const
{
    const TCameraParam* p = param(property);
    if (!p || choice->currentIndex() < 0)
        return {};
    return p->Dictionary.KeyOf(choice->currentText(), true);
}

int TfraRemoteControl::TouchState() const
{
    return m_control->TouchState();
}

int TfraRemoteControl::AppliedLowerLimit() const
{
    return m_control->AppliedLowerLimit();
}

int TfraRemoteControl::AppliedUpperLimit() const
{
    return m_control->AppliedUpperLimit();
}

void TfraRemoteControl::SetSetup(TSetup* setup)
{
    m_setup = setup;
    fraLiveView->SetSetup(setup);
    fraTimeLapse->SetSetup(setup);
    m_autoPreview = setup && setup->AutoPreview;
    m_autoDownload = setup && setup->AutoDownload;
    updateAutoButtons();
}

// ---- lifecycle --------------------------------------------------------------------------------

void TfraRemoteControl::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    pcCameraProperties->setCurrentWidget(tsGeneral);
    updatePageButtons();
    // Forgets the last shot and every running state of a previous camera.
    m_shooting->SetCamera(camera);
    m_control->SetCamera(camera);
    deriveLongExposureModes();
    deriveSequentialMode();
    m_timeLapseShotsRemaining = 0;
    pnlLRTLPreviewImage->hide();
    updateMovieMode();
    UpdateRecordingMarks();
}

void TfraRemoteControl::GoStart()
{
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("GoStart"));
    try {
        pcSide->setCurrentWidget(tsCameraProperties);
        pcCameraProperties->setCurrentWidget(tsGeneral);
        updatePageButtons();
        TCamera* camera = Camera();
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart: Init live view frame"));
        fraLiveView->SetCamera(camera, cbxShutterSpeed, cbxWhiteBalance, cbxISOSensitivity,
            cbxExposureCompensation, cbxAperture);
        if (camera && camera->Remote.CameraMode.Enabled) {
            TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart: Start live view"));
            fraLiveView->StartLiveView(TCameraModeAction::ModeRec, m_setup ? m_setup->LiveViewPort : 0);
            if (!self)
                return;
        }
        fraLiveView->Prepare();
        m_control->ResetApertureLimits();
        SetValue();
        deriveLongExposureModes();
        deriveSequentialMode();
        syncShootingSettings();
        m_timeLapseShotsRemaining = 0;
        pnlLRTLPreviewImage->hide();
        updateMovieMode();
        UpdateRecordingMarks();
        if (IsMovieMode()) {
            // Sends the program mode again, which also reloads all properties.
            choiceChange(cbxProgramMode);
            if (!self)
                return;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (self)
        endCommunication(QStringLiteral("GoStart"));
}

void TfraRemoteControl::GoStop()
{
    if (!leaveTimeLapse())
        return;
    for (QTimer* timer : { tmrBackgroundDownload, tmrRecordButton })
        timer->stop();
    // An exposure, sequence or recording left running would have nobody to end it.
    const QPointer<TfraRemoteControl> self(this);
    m_shooting->Leave();
    if (!self)
        return;
    m_movieState = 0;
    fraLiveView->Finish();
    fraLiveView->StopLiveView();
}

void TfraRemoteControl::ToggleDebugView()
{
    fraLiveView->ToggleDebugView();
}

void TfraRemoteControl::updatePageButtons()
{
    const int index = pcCameraProperties->currentIndex();
    btnNextParams->setVisible(index < pcCameraProperties->count() - 1);
    btnPrevParams->setVisible(index > 0);
}

void TfraRemoteControl::updateTakeGlyph()
{
    btnTake->setIcon(QIcon(RemoteControlLook::LargeGlyph(TakeState(), DarkStyle::Text())));
}

void TfraRemoteControl::updateTouchGlyph()
{
    btnTouchMode->setIcon(QIcon(RemoteControlLook::SmallGlyph(m_control->TouchState(), DarkStyle::Text())));
}

void TfraRemoteControl::updateAutoButtons()
{
    btnAutoPreview->setIcon(
        QIcon(RemoteControlLook::SmallGlyph(7 + (m_autoPreview ? 1 : 0), DarkStyle::Text())));
    btnAutoDownload->setIcon(
        QIcon(RemoteControlLook::SmallGlyph(4 + (m_autoDownload ? 1 : 0), DarkStyle::Text())));
    btnLastPreview->setEnabled(!m_autoPreview);
    btnDownloadLastTake->setEnabled(!m_autoDownload);
}

// ---- touch, picture, zoom ---------------------------------------------------------------------

void TfraRemoteControl::btnTouchModeClick()
{
    if (!isConnected())
        return;
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("btnTouchModeClick"));
    m_control->CycleTouch();
    if (!self)
        return;
    updateTouchGlyph();
    endCommunication(QStringLiteral("btnTouchModeClick"));
}

void TfraRemoteControl::btnZoomPress(quint8 move)
{
    if (mayChange())
        m_control->Zoom(move);
}

void TfraRemoteControl::btnZoomRelease()
{
    if (mayChange())
        m_control->ZoomOff();
}

// ---- pages and toggles ------------------------------------------------------------------------

void TfraRemoteControl::btnNextParamsClick()
{
    pcCameraProperties->setCurrentIndex(
        qMin(pcCameraProperties->currentIndex() + 1, pcCameraProperties->count() - 1));
    updatePageButtons();
}

void TfraRemoteControl::btnPrevParamsClick()
{
    pcCameraProperties->setCurrentIndex(qMax(pcCameraProperties->currentIndex() - 1, 0));
    updatePageButtons();
}

void TfraRemoteControl::btnAutoPreviewClick()
{
    m_autoPreview = !m_autoPreview;
    updateAutoButtons();
    if (m_setup) {
        m_setup->AutoPreview = m_autoPreview;
        m_setup->Save();
    }
}

void TfraRemoteControl::btnAutoDownloadClick()
{
    m_autoDownload = !m_autoDownload;
    updateAutoButtons();
    if (m_setup) {
        m_setup->AutoDownload = m_autoDownload;
        m_setup->Save();
    }
}

// ---- live view panel events -------------------------------------------------------------------

void TfraRemoteControl::OnBeforeImage(TfraLiveView*, bool& show)
{
    // The LRTimelapse mode shows the shots' record views instead; the frames still feed its measurement.
    show = !isTimeLapseLrt();
}

void TfraRemoteControl::OnAfterImage(TfraLiveView* sender)
{
    timeLapseAfterImage();
    if (m_control->ApplyApertureLimits(sender->ApertureLowerLimit(), sender->ApertureUpperLimit())) {
        // A refill is no user choice: the change handler stays quiet.
        const bool updating = m_updating;
        m_updating = true;
        FillChoice(cbxAperture, QStringLiteral("focalvalue"));
        m_updating = updating;
    }
}

void TfraRemoteControl::OnResized(TfraLiveView*, int, int height)
{
    // The live view panel scales itself into the scroll box; the box asks only for the panel's least
    // size, so the window stays as small as the user makes it.
    const int frame = 2 * sbxLiveView->frameWidth();
    sbxLiveView->setMinimumSize(fraLiveView->minimumSizeHint() + QSize(frame, frame));
    // The side area reaches as far down as the live view, as long as the page is high enough.
    const int sideTop = pnlSide->y();
    const int sideHeight = qMin(height, this->height() - sideTop - kSideBottomGap);
    // Never fixed: a fixed height would keep the page, and the window, from getting smaller again.
    const int least = pnlSide->minimumSizeHint().height();
    pnlSide->setSizePolicy(pnlSide->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    pnlSide->setMinimumHeight(least);
    pnlSide->setMaximumHeight(qMax(sideHeight, least));
}
