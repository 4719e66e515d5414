#include "remote/ui/TfraRemoteControl.h"

#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TRemoteSeriesPanel.h"
#include "remote/ui/TRemoteTimeLapsePanel.h"
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

bool TfraRemoteControl::mayChange() const
{
    return isConnected() && !tsCameraProperties->IsUpdating() && !fraLiveView->IsUpdatingChoices();
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
    emit OnCommunication(this, ceChangeFreeRegion, int(rects.size()) - 1, rects);
}

QRect TfraRemoteControl::InMainWindow(const QWidget* widget) const
{
    QWidget* main = window();
    QRect r(widget->mapTo(main, QPoint(0, 0)), widget->size());
    // A maximized window's position counts as well, as the overlay covers the screen there.
    if (main->isMaximized())
        r.translate(main->pos());
    return r;
}

QList<QRect> TfraRemoteControl::FreeRegions() const
{
    // The overlay lies exactly on the main window's client area: the bounds go unshifted (a framed
    // window's border offsets do not apply here).
    const QWidget* takeButton = btnTakeMovie->isVisible() ? btnTakeMovie : btnTake;
    return { InMainWindow(takeButton), InMainWindow(sbxLiveView), InMainWindow(lblLastTakeInfo) };
}

TCameraParam* TfraRemoteControl::param(const QString& name) const
{
    return m_control->Param(name);
}

int TfraRemoteControl::TouchState() const
{
    return m_control->TouchState();
}

bool TfraRemoteControl::IsLiveBulbMode() const
{
    return m_shooting->IsLiveBulbMode();
}

bool TfraRemoteControl::IsLiveTimeMode() const
{
    return m_shooting->IsLiveTimeMode();
}

bool TfraRemoteControl::IsSequentialMode() const
{
    return m_shooting->IsSequentialMode();
}

bool TfraRemoteControl::IsMovieMode() const
{
    return m_control->Modes().Movie;
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
    tsTimelapse->fraTimeLapse->SetSetup(setup);
    pnlLRTLPreviewImage->SetSetup(setup);
    m_autoPreview = setup && setup->AutoPreview;
    m_autoDownload = setup && setup->AutoDownload;
    updateAutoButtons();
}

// ---- lifecycle --------------------------------------------------------------------------------

void TfraRemoteControl::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    tsCameraProperties->Pager->ShowFirstPage();
    // Forgets the last shot and every running state of a previous camera.
    m_shooting->SetCamera(camera);
    m_control->SetCamera(camera);
    tsCameraProperties->DeriveModes();
    pnlLRTLPreviewImage->Reset();
    updateMovieMode();
    UpdateRecordingMarks();
}

void TfraRemoteControl::GoStart()
{
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("GoStart"));
    try {
        pcSide->setCurrentWidget(tsCameraProperties);
        tsCameraProperties->Pager->ShowFirstPage();
        TCamera* camera = Camera();
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart: Init live view frame"));
        TRemotePropertyPanel* p = tsCameraProperties;
        fraLiveView->SetCamera(camera, p->cbxShutterSpeed, p->cbxWhiteBalance, p->cbxISOSensitivity,
            p->cbxExposureCompensation, p->cbxAperture);
        if (camera && m_control->CanSwitchMode()) {
            TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart: Start live view"));
            fraLiveView->StartLiveView(TCameraModeAction::ModeRec, m_setup ? m_setup->LiveViewPort : 0);
            if (!self)
                return;
        }
        fraLiveView->Prepare();
        m_control->ResetApertureLimits();
        tsCameraProperties->SetValue();
        tsCameraProperties->DeriveModes();
        syncShootingSettings();
        pnlLRTLPreviewImage->Reset();
        updateMovieMode();
        UpdateRecordingMarks();
        if (IsMovieMode()) {
            // Sends the program mode again, which also reloads all properties.
            tsCameraProperties->choiceChange(tsCameraProperties->cbxProgramMode);
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
    if (!pnlLRTLPreviewImage->Leave())
        return;
    tmrRecordButton->stop();
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

// ---- time-lapse ------------------------------------------------------------------------------

void TfraRemoteControl::EnableTimeLapse(bool allowed)
{
    m_timeLapseAllowed = allowed;
    tsTimelapse->Enable(allowed);
    pnlLRTLPreviewImage->Allow(allowed);
}

void TfraRemoteControl::StartTimeLapse()
{
    pnlLRTLPreviewImage->StartTimeLapse();
}

void TfraRemoteControl::StopTimeLapse()
{
    pnlLRTLPreviewImage->StopTimeLapse();
}

bool TfraRemoteControl::IsTimeLapseRunning() const
{
    return pnlLRTLPreviewImage->IsRunning();
}

int TfraRemoteControl::TimeLapseShotsRemaining() const
{
    return pnlLRTLPreviewImage->ShotsRemaining();
}

TTimeLapseSeries& TfraRemoteControl::TimeLapseSeries() const
{
    return pnlLRTLPreviewImage->Series();
}

// ---- toggles ------------------------------------------------------------------------

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
    show = !pnlLRTLPreviewImage->IsLrt();
}

void TfraRemoteControl::OnAfterImage(TfraLiveView* sender)
{
    pnlLRTLPreviewImage->AfterImage();
    tsCameraProperties->ApplyApertureLimits(sender->ApertureLowerLimit(), sender->ApertureUpperLimit());
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

void TfraRemoteControl::updateMovieMode()
{
    const bool movie = IsMovieMode();
    btnTakeMovie->setVisible(movie);
    btnTake->setVisible(!movie);
    fraLiveView->lblTimer->setText(QStringLiteral("00:00:00"));
    const TCameraParam* quality = param(QStringLiteral("qualitymovie"));
    fraLiveView->lblMovieQuality->setText(quality ? quality->Value : QString());
    fraLiveView->lblTimer->setVisible(movie);
    fraLiveView->lblMovieQuality->setVisible(movie);
}
