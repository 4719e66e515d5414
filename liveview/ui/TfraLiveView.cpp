#include "liveview/ui/TfraLiveView.h"

#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TLiveViewSizeChange.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewFrameDisplay.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TLiveViewSizeBar.h"
#include "liveview/ui/TLiveViewStatusLine.h"
#include "liveview/ui/TLiveViewTopRow.h"
#include "liveview/ui/TfraViewGrid.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

TfraLiveView::TfraLiveView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLiveView"));
    DarkStyle::Apply(this, DarkStyle::Control());
    RegisterLiveViewTexts();
    buildControls();
    ResizeToLiveView();
    m_host = parentWidget();
    if (m_host)
        m_host->installEventFilter(this);
}

TfraLiveView::~TfraLiveView() = default;

void TfraLiveView::buildControls()
{
    m_topHeight = std::max(16, QFontMetrics(font()).height() + 2);
    m_screen = pnlLiveView32 = new TLiveViewScreen(this);
    imgLiveView32 = m_screen->imgLiveView32;
    lblErrorMsg = m_screen->lblErrorMsg;
    lblSelfTimerValue = m_screen->lblSelfTimerValue;
    lblFramesPerSecond = m_screen->lblFramesPerSecond;
    lblTimer = m_screen->lblTimer;
    lblMovieQuality = m_screen->lblMovieQuality;
    ihgLiveView = m_screen->ihgLiveView;
    ihgLRTLBrightness = m_screen->ihgLRTLBrightness;
    fraViewGrid = m_screen->fraViewGrid;
    pnlMagnifierControl = m_screen->pnlMagnifierControl;
    DebugMonitor = m_screen->DebugMonitor;
    connect(imgLiveView32, &TLiveViewPicture::Clicked, this,
        [this](const QPoint& at, Qt::MouseButton button) { emit PictureClicked(CameraPoint(at), button); });
    connect(imgLiveView32, &TLiveViewPicture::Released, this,
        [this](const QPoint& at, Qt::MouseButton button) { emit PictureReleased(CameraPoint(at), button); });

    auto* sizeBar = new TLiveViewSizeBar(this);
    pnlLVControl = m_sizeBar = sizeBar;
    cbxLVMagnifier = sizeBar->cbxLVMagnifier;
    cbxLVResolution = sizeBar->cbxLVResolution;
    connect(sizeBar, &TLiveViewSizeBar::MagnificationChosen, this, &TfraLiveView::SetMagnification);
    connect(sizeBar, &TLiveViewSizeBar::SizeChosen, this, [this] { pnlFocus->setFocus(); });

    m_topRow = new TLiveViewTopRow(*m_screen, this);
    lblHistogram = m_topRow->lblHistogram;
    lblGridLines = m_topRow->lblGridLines;
    KmExposureMeter = m_topRow->KmExposureMeter;
    lblFocalLength = m_topRow->lblFocalLength;
    StatusLine = new TLiveViewStatusLine(this);
    pnlFocus = new QWidget(this);
    pnlFocus->setObjectName(QStringLiteral("pnlFocus"));
    pnlFocus->setFocusPolicy(Qt::StrongFocus);
    pnlFocus->setGeometry(0, 0, 4, 4);
    m_display = new TLiveViewFrameDisplay(*m_screen, *StatusLine, *KmExposureMeter, *lblFocalLength, this);
    m_display->BeforeImage = [this](bool& show) {
        if (OnBeforeImage)
            OnBeforeImage(this, show);
    };
    m_display->AfterImage = [this] {
        if (OnAfterImage)
            OnAfterImage(this);
    };
    m_display->OnFrame = [this](const QByteArray& jpeg, const TMetaData& information) {
        if (OnFrame)
            OnFrame(jpeg, information);
    };
}

void TfraLiveView::SetSetup(TSetup* setup)
{
    m_setup = setup;
    m_screen->SetSetup(setup);
    m_display->SetSetup(setup);
}

QSize TfraLiveView::liveViewSize() const
{
    const QSize size = m_control ? m_control->LiveViewSize() : QSize();
    return size.isEmpty() ? QSize(640, 480) : size;
}

void TfraLiveView::ResizeToLiveView()
{
    // Scaled, the click mapping still holds: it goes through the picture control's size.
    m_screen->SetLiveViewSize(liveViewSize());
    const QSize size = pictureSize();
    m_screen->setGeometry(8, m_topHeight, size.width(), size.height());
    SetMagnification(cbxLVMagnifier->currentIndex() + 1);
    m_fitting = true;
    resize(size.width() + 15, m_topHeight + size.height() + statusHeight());
    m_fitting = false;
    layoutPanel();
    if (OnResized)
        OnResized(this, size.width(), size.height());
}

void TfraLiveView::layoutPanel()
{
    const QRect picture = m_screen->geometry();
    m_topRow->setGeometry(0, 0, width(), m_topHeight);
    pnlLVControl->adjustSize();
    pnlLVControl->move(picture.right() - 4 - pnlLVControl->width(), picture.top() + 4);
    pnlLVControl->raise();
    StatusLine->setGeometry(8, picture.bottom() + 5, picture.width(), height() - picture.bottom() - 6);
    m_screen->LayoutOverlays();
}

void TfraLiveView::SetCamera(TCamera* camera, QComboBox* shutterSpeed, QComboBox* whiteBalance,
    QComboBox* iso, QComboBox* exposureCompensation, QComboBox* aperture)
{
    m_display->SetLinkedChoices(shutterSpeed, whiteBalance, iso, exposureCompensation, aperture);
    m_sizeChange.reset();
    m_control.reset();
    if (camera) {
        TCameraRemote& remote = camera->Remote;
        m_control = std::make_shared<TLiveViewControl>(remote.CameraMode, remote.LiveView, remote.ReleaseView,
            [this] { return m_setup ? m_setup->LiveViewSize : QString(); });
        m_control->ResizeToLiveView = [this](qint32, qint32) { ResizeToLiveView(); };
        m_control->OnShowError = [this](const QString& text) { ShowError(text); };
        m_sizeChange
            = std::make_shared<TLiveViewSizeChange>(*m_control, remote.CameraMode, remote.ReleaseAFFrame);
        m_sizeChange->OnChosen = [this](const QString& size) {
            if (!m_setup)
                return;
            m_setup->LiveViewSize = size;
            m_setup->Save();
        };
        m_display->AttachTo(m_control->Processor(TLiveViewControl::ModeRecord));
    }
    m_sizeBar->SetCamera(m_control, m_sizeChange);
    DebugMonitor->ClearBaseline();
    m_display->LongExposureText.clear();
    m_screen->ClearFocus();
    SetRecordingFormats(false, false);
    for (QLabel* label : { lblSelfTimerValue, lblTimer, lblMovieQuality })
        label->hide();
    m_settingsTaken = false;
    FillResolutions();
}

void TfraLiveView::Prepare()
{
    if (m_setup)
        m_screen->TakeSettings(*m_setup);
    m_settingsTaken = m_setup != nullptr;
    fraViewGrid->hide();
    m_topRow->UpdateArrows();
    m_display->LongExposureText.clear();
    m_display->ResetApertureLimits();
    for (QLabel* label : { lblSelfTimerValue, lblTimer, lblMovieQuality })
        label->hide();
}

void TfraLiveView::Finish()
{
    StatusLine->SetExposureWarning(false);
    StatusLine->SetBatteryWarning(false);
    if (m_settingsTaken && m_setup)
        m_screen->KeepSettings(*m_setup);
    m_settingsTaken = false;
}

bool TfraLiveView::StartLiveView(quint8 mode, quint16 port)
{
    if ((mode != TLiveViewControl::ModeRecord && mode != TLiveViewControl::ModeShutter) || !m_control)
        return false;
    // Shutter-mode frames are shown too: the panel follows the receiver of the live view it starts.
    m_display->AttachTo(m_control->Processor(mode));
    m_display->StartServing();
    const std::shared_ptr<TLiveViewControl> control = m_control;
    return control->Start(mode, port);
}

bool TfraLiveView::StopLiveView()
{
    m_display->StopServing();
    const std::shared_ptr<TLiveViewControl> control = m_control;
    return control ? control->Stop() : true;
}

void TfraLiveView::ToggleDebugView()
{
    m_display->DebugView = !m_display->DebugView;
    m_screen->SetDebugView(m_display->DebugView);
}

void TfraLiveView::FillResolutions()
{
    m_sizeBar->FillResolutions(m_setup ? m_setup->LiveViewSize : QString());
}

void TfraLiveView::SetMagnification(int factor)
{
    factor = std::clamp(factor, 1, 4);
    m_sizeBar->SelectMagnification(factor);
    m_screen->SetMagnification(factor);
    pnlFocus->setFocus();
}

// --- size: the picture scaled into the host's space -----------------------------------------------

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
