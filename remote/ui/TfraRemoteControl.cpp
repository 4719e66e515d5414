#include "remote/ui/TfraRemoteControl.h"

#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TRemoteSeriesPanel.h"
#include "remote/ui/TRemoteShootingLink.h"
#include "remote/ui/TRemoteShutterPanel.h"
#include "remote/ui/TRemoteTimeLapsePanel.h"
#include "remote/ui/TfraTimeLapse.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr int kSideWidth = 350;
constexpr int kMargin = 8;
constexpr int kSpacing = 8;
// Below the side area, as far as the page reaches.
constexpr int kSideBottomGap = 15;

} // namespace

TfraRemoteControl::TfraRemoteControl(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::Apply(this, DarkStyle::Background());
    sbxLiveView = new QScrollArea(this);
    sbxLiveView->setObjectName(QStringLiteral("sbxLiveView"));
    sbxLiveView->setWidgetResizable(false);
    sbxLiveView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DarkStyle::Apply(sbxLiveView, DarkStyle::Background());
    fraLiveView = new TfraLiveView;
    fraLiveView->setObjectName(QStringLiteral("fraLiveView"));
    sbxLiveView->setWidget(fraLiveView);

    pnlSide = new QWidget(this);
    pnlSide->setObjectName(QStringLiteral("pnlSide"));
    pnlSide->setFixedWidth(kSideWidth);
    auto* side = new QVBoxLayout(pnlSide);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(kSpacing);
    pcSide = new QStackedWidget(pnlSide);
    pcSide->setObjectName(QStringLiteral("pcSide"));
    pnlShutter = new TRemoteShutterPanel(pnlSide);
    pnlLRTLPreviewImage = new TRemoteSeriesPanel(pnlShutter);
    pnlShutter->PlaceBelow(pnlLRTLPreviewImage);
    tsCameraProperties = new TRemotePropertyPanel(pcSide);
    // The time-lapse page names the interval in the shutter area while its switch is on.
    tsTimelapse = new TRemoteTimeLapsePanel(pnlShutter->lblTimelapseStatus);
    tsCameraProperties->Pager->AddPage(tsTimelapse);
    tsTimeLapseAdvanced = tsTimelapse->AdvancedPage();
    pcSide->addWidget(tsCameraProperties);
    pcSide->addWidget(tsTimeLapseAdvanced);
    side->addWidget(pcSide, 1);
    side->addWidget(pnlShutter);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    row->setSpacing(kSpacing);
    row->addWidget(sbxLiveView, 1);
    row->addWidget(pnlSide, 0, Qt::AlignTop);

    fraLiveView->OnBeforeImage = [this](TfraLiveView* sender, bool& show) { OnBeforeImage(sender, show); };
    fraLiveView->OnAfterImage = [this](TfraLiveView* sender) { OnAfterImage(sender); };
    fraLiveView->OnResized
        = [this](TfraLiveView* sender, int width, int height) { OnResized(sender, width, height); };
    m_shooting = new TShooting(this);
    m_control = new TRemoteControl(this);
    m_link = new TRemoteShootingLink(this);
    tsCameraProperties->Bind(this, m_control, m_shooting, fraLiveView);
    pnlShutter->Bind(this, m_control, m_shooting, fraLiveView);
    pnlShutter->MayChange = [this] {
        return m_control->IsConnected() && !tsCameraProperties->IsUpdating()
            && !fraLiveView->IsUpdatingChoices();
    };
    pnlLRTLPreviewImage->Bind(this, m_control, m_shooting, fraLiveView, tsTimelapse, tsCameraProperties);
    m_link->Bind(
        this, m_control, m_shooting, fraLiveView, tsCameraProperties, pnlShutter, pnlLRTLPreviewImage);

    connect(tsCameraProperties, &TRemotePropertyPanel::MovieModeChanged, this, [this] { updateMovieMode(); });
    connect(tsCameraProperties, &TRemotePropertyPanel::TimeLapseAllowed, this,
        &TfraRemoteControl::EnableTimeLapse);
    connect(pnlShutter, &TRemoteShutterPanel::RecordingChanged, tsCameraProperties,
        &TRemotePropertyPanel::ActivateControls);
    connect(pnlLRTLPreviewImage, &TRemoteSeriesPanel::ShowAdvanced, this, [this](bool advanced) {
        pcSide->setCurrentWidget(advanced ? tsTimeLapseAdvanced : static_cast<QWidget*>(tsCameraProperties));
    });
    connect(pnlLRTLPreviewImage, &TRemoteSeriesPanel::RunningChanged, this,
        [this] { pnlShutter->ShowTakeState(TakeState()); });
    EnableTimeLapse(false);

    fraLiveView->lblTimer->hide();
    fraLiveView->lblMovieQuality->hide();
    pnlShutter->ShowTakeState(TakeState());
    tsCameraProperties->ActivateControls();
}

TfraRemoteControl::~TfraRemoteControl() = default;

// ---- helpers ----------------------------------------------------------------------------------

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
    const QWidget* take
        = pnlShutter->btnTakeMovie->isVisible() ? pnlShutter->btnTakeMovie : pnlShutter->btnTake;
    return { InMainWindow(take), InMainWindow(sbxLiveView), InMainWindow(pnlShutter->lblLastTakeInfo) };
}

bool TfraRemoteControl::Shoot(const char* operation, const std::function<bool()>& call)
{
    return m_link->shoot(operation, call);
}

void TfraRemoteControl::ShootingFailed(const QString& text)
{
    m_link->shootingFailed(text);
}

bool TfraRemoteControl::IsMovieMode() const
{
    return m_control->Modes().Movie;
}

int TfraRemoteControl::TouchState() const
{
    return m_control->TouchState();
}

int TfraRemoteControl::TakeState() const
{
    return m_link->TakeState();
}

void TfraRemoteControl::SetSetup(TSetup* setup)
{
    m_setup = setup;
    fraLiveView->SetSetup(setup);
    tsTimelapse->fraTimeLapse->SetSetup(setup);
    pnlLRTLPreviewImage->SetSetup(setup);
    pnlShutter->SetSetup(setup);
    m_link->SetSetup(setup);
}

void TfraRemoteControl::SetPreviewWindow(TfrmPreview* window)
{
    m_link->SetPreviewWindow(window);
}

void TfraRemoteControl::updateMovieMode()
{
    pnlShutter->ShowMovieMode(IsMovieMode());
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
    m_link->UpdateRecordingMarks();
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
        m_link->syncShootingSettings();
        pnlLRTLPreviewImage->Reset();
        updateMovieMode();
        m_link->UpdateRecordingMarks();
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
    pnlShutter->StopBlinking();
    // An exposure, sequence or recording left running would have nobody to end it.
    const QPointer<TfraRemoteControl> self(this);
    m_shooting->Leave();
    if (!self)
        return;
    pnlShutter->StopBlinking();
    fraLiveView->Finish();
    fraLiveView->StopLiveView();
}

void TfraRemoteControl::ToggleDebugView()
{
    fraLiveView->ToggleDebugView();
}

// ---- time-lapse -------------------------------------------------------------------------------

void TfraRemoteControl::EnableTimeLapse(bool allowed)
{
    tsTimelapse->Enable(allowed);
    pnlLRTLPreviewImage->Allow(allowed);
}

void TfraRemoteControl::StopTimeLapse()
{
    pnlLRTLPreviewImage->StopTimeLapse();
}

bool TfraRemoteControl::IsTimeLapseRunning() const
{
    return pnlLRTLPreviewImage->IsRunning();
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
