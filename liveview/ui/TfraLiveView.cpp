#include "liveview/ui/TfraLiveView.h"

#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/LiveViewGrid.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TMjpegServer.h"
#include "liveview/ui/TKmExposureMeter.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TLiveViewStatusLine.h"
#include "liveview/ui/TfraViewGrid.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace {

QLabel* overlayLabel(QWidget* parent, const char* name, const QString& text, const QColor& color)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    DarkStyle::SetTextColor(label, color);
    label->adjustSize();
    return label;
}

} // namespace

TfraLiveView::TfraLiveView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLiveView"));
    DarkStyle::Apply(this, DarkStyle::Control());
    RegisterLiveViewTexts();
    buildControls();
    updateTexts();
    // The panel sits on more than one page, so its captions are named texts, not keys of one page.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, &TfraLiveView::updateTexts);
    ResizeToLiveView();
    m_host = parentWidget();
    if (m_host)
        m_host->installEventFilter(this);
}

void TfraLiveView::updateTexts()
{
    lblHistogram->setText(rs("_rsHistogram"));
    lblHistogram->setToolTip(rs("_rsHistogramHint"));
    lblGridLines->setText(rs("_rsGridLines"));
    lblGridLines->setToolTip(rs("_rsGridLinesHint"));
}

TfraLiveView::~TfraLiveView() = default;

void TfraLiveView::buildControls()
{
    m_topHeight = std::max(16, QFontMetrics(font()).height() + 2);
    pnlLiveView32 = new QWidget(this);
    pnlLiveView32->setObjectName(QStringLiteral("pnlLiveView32"));
    imgLiveView32 = new TLiveViewPicture(pnlLiveView32);
    connect(imgLiveView32, &TLiveViewPicture::Clicked, this,
        [this](const QPoint& at, Qt::MouseButton button) { emit PictureClicked(CameraPoint(at), button); });
    connect(imgLiveView32, &TLiveViewPicture::Released, this,
        [this](const QPoint& at, Qt::MouseButton button) { emit PictureReleased(CameraPoint(at), button); });

    lblErrorMsg = overlayLabel(pnlLiveView32, "lblErrorMsg", QString(), QColor(255, 0, 0));
    lblErrorMsg->setAlignment(Qt::AlignCenter);
    lblErrorMsg->setWordWrap(true);
    QFont bold = lblErrorMsg->font();
    bold.setBold(true);
    lblErrorMsg->setFont(bold);
    lblErrorMsg->hide();
    lblSelfTimerValue
        = overlayLabel(pnlLiveView32, "lblSelfTimerValue", QStringLiteral("12"), QColor(255, 0, 0));
    QFont huge = lblSelfTimerValue->font();
    huge.setPointSizeF(huge.pointSizeF() * 6);
    lblSelfTimerValue->setFont(huge);
    lblSelfTimerValue->adjustSize();
    lblFramesPerSecond
        = overlayLabel(pnlLiveView32, "lblFramesPerSecond", QStringLiteral("0 fps"), Qt::white);
    lblTimer = overlayLabel(pnlLiveView32, "lblTimer", QStringLiteral("00:00:00"), Qt::white);
    lblMovieQuality
        = overlayLabel(pnlLiveView32, "lblMovieQuality", QStringLiteral("Full-HD Fine"), Qt::white);
    for (QLabel* label : { lblSelfTimerValue, lblFramesPerSecond, lblTimer, lblMovieQuality })
        label->hide();

    ihgLiveView = new TKmImageHistogram(pnlLiveView32);
    ihgLiveView->setObjectName(QStringLiteral("ihgLiveView"));
    ihgLiveView->SetMargin(2);
    ihgLiveView->SetHistogramWidth(128);
    ihgLiveView->SetHistogramHeight(75);
    ihgLiveView->SetHistogramColor(DarkStyle::Panel());
    ihgLiveView->SetSummaryHistogram(HistogramCounter::shComposite);
    ihgLiveView->SetFastCalculation(false);
    ihgLiveView->setGeometry(6, 14, 264, 158);
    ihgLiveView->hide();
    ihgLRTLBrightness = new TKmImageHistogram(this);
    ihgLRTLBrightness->SetCalculateOnly(true);

    fraViewGrid = new TfraViewGrid(pnlLiveView32);
    fraViewGrid->hide();
    pnlMagnifierControl = new TLiveViewNavigator(pnlLiveView32);
    pnlMagnifierControl->hide();
    connect(pnlMagnifierControl, &TLiveViewNavigator::SectionMoved, this, &TfraLiveView::sectionMoved);
    DebugMonitor = new TLiveViewDebugMonitor(pnlLiveView32);
    DebugMonitor->hide();

    pnlLVControl = new QWidget(this);
    pnlLVControl->setObjectName(QStringLiteral("pnlLVControl"));
    auto* controls = new QHBoxLayout(pnlLVControl);
    controls->setContentsMargins(0, 0, 0, 0);
    cbxLVMagnifier = new QComboBox(pnlLVControl);
    cbxLVMagnifier->setObjectName(QStringLiteral("cbxLVMagnifier"));
    cbxLVMagnifier->addItems(
        { QStringLiteral("1x"), QStringLiteral("2x"), QStringLiteral("3x"), QStringLiteral("4x") });
    cbxLVResolution = new QComboBox(pnlLVControl);
    cbxLVResolution->setObjectName(QStringLiteral("cbxLVResolution"));
    controls->addWidget(cbxLVMagnifier);
    controls->addWidget(cbxLVResolution);
    connect(cbxLVMagnifier, &QComboBox::activated, this, [this](int index) { SetMagnification(index + 1); });
    connect(cbxLVResolution, &QComboBox::activated, this, &TfraLiveView::resolutionChosen);

    const auto toggle = [this](const char* name) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setArrowType(Qt::DownArrow);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        return button;
    };
    lblHistogram = toggle("lblHistogram");
    lblGridLines = toggle("lblGridLines");
    connect(lblHistogram, &QToolButton::clicked, this, &TfraLiveView::toggleHistogram);
    connect(lblGridLines, &QToolButton::clicked, this, &TfraLiveView::toggleGridChooser);

    KmExposureMeter = new TKmExposureMeter(this);
    KmExposureMeter->setObjectName(QStringLiteral("KmExposureMeter"));
    KmExposureMeter->SetBarGraphWidth(140);
    KmExposureMeter->SetBarGraphHeight(14);
    KmExposureMeter->SetFullStopColor(QColor(153, 153, 131));
    KmExposureMeter->SetPartStopColor(QColor(101, 101, 82));
    KmExposureMeter->SetPositionColor(QColor(0, 255, 0));
    KmExposureMeter->SetShowScaleCaption(false);
    lblFocalLength = overlayLabel(this, "lblFocalLength", QStringLiteral("0 mm"), DarkStyle::Text());
    lblFocalLength->setToolTip(QStringLiteral("Brennweite"));
    StatusLine = new TLiveViewStatusLine(this);
    pnlFocus = new QWidget(this);
    pnlFocus->setObjectName(QStringLiteral("pnlFocus"));
    pnlFocus->setFocusPolicy(Qt::StrongFocus);
    pnlFocus->setGeometry(0, 0, 4, 4);
}

QSize TfraLiveView::liveViewSize() const
{
    if (m_camera && m_camera->Remote.CameraMode.LiveViewWidth > 0
        && m_camera->Remote.CameraMode.LiveViewHeight > 0)
        return { m_camera->Remote.CameraMode.LiveViewWidth, m_camera->Remote.CameraMode.LiveViewHeight };
    return { 640, 480 };
}

void TfraLiveView::ResizeToLiveView()
{
    // Scaled, the click mapping still holds: it goes through the picture control's size.
    const QSize size = pictureSize();
    pnlLiveView32->setGeometry(8, m_topHeight, size.width(), size.height());
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
    const QRect picture = pnlLiveView32->geometry();
    const int rowHeight = m_topHeight;
    lblHistogram->setGeometry(8, 0, lblHistogram->sizeHint().width(), rowHeight);
    lblGridLines->setGeometry(
        lblHistogram->geometry().right() + 8, 0, lblGridLines->sizeHint().width(), rowHeight);
    KmExposureMeter->setGeometry(width() / 2 - 180 / 2, (rowHeight - 14) / 2, 180, 14);
    lblFocalLength->adjustSize();
    lblFocalLength->move(width() - 8 - lblFocalLength->width(), (rowHeight - lblFocalLength->height()) / 2);
    pnlLVControl->adjustSize();
    pnlLVControl->move(picture.right() - 4 - pnlLVControl->width(), picture.top() + 4);
    pnlLVControl->raise();
    StatusLine->setGeometry(8, picture.bottom() + 5, picture.width(), height() - picture.bottom() - 6);
    lblErrorMsg->setGeometry(0, picture.height() / 3, picture.width(), picture.height() / 3);
    lblFramesPerSecond->move(4, picture.height() - lblFramesPerSecond->height() - 4);
    lblSelfTimerValue->move((picture.width() - lblSelfTimerValue->width()) / 2, 4);
    lblTimer->move(4, 4);
    lblMovieQuality->move(4, 4 + lblTimer->height());
    fraViewGrid->adjustSize();
    fraViewGrid->move(4, picture.height() - fraViewGrid->height() - 4);
    pnlMagnifierControl->move(picture.width() - 124, picture.height() - 94);
    // Above the frame rate, which stays readable while the debug view shows.
    DebugMonitor->setGeometry(4, picture.height() / 2, picture.width() - 8,
        qMax(0, picture.height() / 2 - 12 - lblFramesPerSecond->height()));
}

void TfraLiveView::SetCamera(TCamera* camera, QComboBox* shutterSpeed, QComboBox* whiteBalance,
    QComboBox* iso, QComboBox* exposureCompensation, QComboBox* aperture)
{
    m_camera = camera;
    m_shutterChoice = shutterSpeed;
    m_whiteBalanceChoice = whiteBalance;
    m_isoChoice = iso;
    m_compensationChoice = exposureCompensation;
    m_apertureChoice = aperture;
    m_control.reset();
    if (camera) {
        TCameraRemote& remote = camera->Remote;
        m_control = std::make_shared<TLiveViewControl>(remote.CameraMode, remote.LiveView, remote.ReleaseView,
            [this] { return m_setup ? m_setup->LiveViewSize : QString(); });
        m_control->ResizeToLiveView = [this](qint32, qint32) { ResizeToLiveView(); };
        m_control->OnShowError = [this](const QString& text) { ShowError(text); };
        attachTo(remote.LiveView.Processor().ImageBuffer());
    }
    DebugMonitor->ClearBaseline();
    m_longExposureText.clear();
    m_focused = false;
    SetRecordingFormats(false, false);
    for (QLabel* label : { lblSelfTimerValue, lblTimer, lblMovieQuality })
        label->hide();
    m_settingsTaken = false;
    FillResolutions();
}

void TfraLiveView::attachTo(TImageBuffer& buffer)
{
    QPointer<TfraLiveView> self(this);
    buffer.SetImageHandler(
        [self](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData& information) {
            if (self)
                self->OnReceiveLiveViewImage(stream.data(), information);
        });
}

void TfraLiveView::Prepare()
{
    if (m_setup) {
        if (ihgLiveView->isVisibleTo(this) != m_setup->LiveStreamHistogramOn)
            toggleHistogram();
        fraViewGrid->SetGridKind(m_setup->GridLines);
        fraViewGrid->SetGridColor(LiveViewGrid::colorFromSetting(m_setup->GridLinesColor));
        m_settingsTaken = true;
    }
    fraViewGrid->hide();
    lblGridLines->setArrowType(Qt::DownArrow);
    m_longExposureText.clear();
    m_apertureLowerLimit = 0;
    m_apertureUpperLimit = 2147483647;
    for (QLabel* label : { lblSelfTimerValue, lblTimer, lblMovieQuality })
        label->hide();
}

void TfraLiveView::Finish()
{
    StatusLine->SetExposureWarning(false);
    StatusLine->SetBatteryWarning(false);
    if (m_settingsTaken && m_setup) {
        m_setup->LiveStreamHistogramOn = ihgLiveView->isVisibleTo(this);
        m_setup->GridLines = quint8(fraViewGrid->GridKind());
        m_setup->GridLinesColor = LiveViewGrid::settingFromColor(fraViewGrid->GridColor());
    }
    m_settingsTaken = false;
}

bool TfraLiveView::StartLiveView(quint8 mode, quint16 port)
{
    if ((mode != TLiveViewControl::ModeRecord && mode != TLiveViewControl::ModeShutter) || !m_control)
        return false;
    // Shutter-mode frames are shown too: the panel follows the receiver of the live view it starts.
    attachTo(mode == TLiveViewControl::ModeShutter ? m_camera->Remote.ReleaseView.Processor().ImageBuffer()
                                                   : m_camera->Remote.LiveView.Processor().ImageBuffer());
    startServing();
    const std::shared_ptr<TLiveViewControl> control = m_control;
    return control->Start(mode, port);
}

bool TfraLiveView::StopLiveView()
{
    stopServing();
    const std::shared_ptr<TLiveViewControl> control = m_control;
    return control ? control->Stop() : true;
}

void TfraLiveView::ShowError(const QString& text)
{
    lblErrorMsg->setText(text.trimmed());
    lblErrorMsg->setVisible(!lblErrorMsg->text().isEmpty());
    lblErrorMsg->raise();
}

void TfraLiveView::SetRecordingFormats(bool jpeg, bool raw)
{
    StatusLine->SetRecordingFormats(jpeg, raw);
}

void TfraLiveView::SetLongExposureMode(bool liveTime, bool liveBulb)
{
    m_longExposureText = liveTime ? QStringLiteral("LIVETIME")
        : liveBulb                ? QStringLiteral("LIVEBULB")
                                  : QString();
}

void TfraLiveView::SetBatteryLevel(int level)
{
    StatusLine->SetBatteryLevel(level);
}

void TfraLiveView::ToggleDebugView()
{
    m_debugView = !m_debugView;
    DebugMonitor->setVisible(m_debugView);
    lblFramesPerSecond->setVisible(m_debugView);
    lblFramesPerSecond->raise();
    if (m_setup)
        DebugMonitor->SetTempDir(m_setup->TempDir);
}

void TfraLiveView::SaveLastImage(const QString& fileName) const
{
    if (!QFileInfo(fileName).absoluteDir().exists())
        return;
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(m_lastFrame);
}

void TfraLiveView::FillResolutions()
{
    m_fillingResolutions = true;
    cbxLVResolution->clear();
    if (m_camera) {
        const TCameraModeAction& mode = m_camera->Remote.CameraMode;
        for (const QString& text : mode.LiveViewSizeTexts())
            if (text != QStringLiteral("320 x 240"))
                cbxLVResolution->addItem(text);
        const qsizetype at
            = mode.LiveViewSizes().indexOf(mode.ResolveSize(m_setup ? m_setup->LiveViewSize : QString()));
        if (at >= 0 && at < mode.LiveViewSizeTexts().size())
            cbxLVResolution->setCurrentIndex(cbxLVResolution->findText(mode.LiveViewSizeTexts()[at]));
    }
    m_fillingResolutions = false;
}

void TfraLiveView::resolutionChosen(int index)
{
    const std::shared_ptr<TLiveViewControl> control = m_control;
    TCamera* const camera = m_camera;
    if (m_fillingResolutions || !camera || !control || index < 0)
        return;
    const quint8 mode = control->Mode();
    if ((mode == TLiveViewControl::ModeRecord || mode == TLiveViewControl::ModeShutter)
        && cbxLVMagnifier->currentIndex() > 0) {
        cbxLVMagnifier->setCurrentIndex(0);
        SetMagnification(1);
    }
    const TBaseLiveViewAction* action = control->CurrentAction();
    const bool running = action && action->LiveViewState == 1;
    if (running)
        StopLiveView();
    // The stop waited for the camera: a page may have handed over another camera or none meanwhile.
    if (m_camera != camera || m_control != control)
        return;
    TCameraModeAction& cameraMode = m_camera->Remote.CameraMode;
    const qsizetype at = cameraMode.LiveViewSizeTexts().indexOf(cbxLVResolution->itemText(index));
    if (m_setup && at >= 0 && at < cameraMode.LiveViewSizes().size()) {
        m_setup->LiveViewSize = cameraMode.LiveViewSizes()[at];
        m_setup->Save();
    }
    m_camera->Remote.ReleaseAFFrame.Execute();
    if (running && m_camera == camera && m_control == control)
        StartLiveView(mode, control->Port());
    pnlFocus->setFocus();
}

void TfraLiveView::SetMagnification(int factor)
{
    factor = std::clamp(factor, 1, 4);
    if (cbxLVMagnifier->currentIndex() != factor - 1)
        cbxLVMagnifier->setCurrentIndex(factor - 1);
    pnlMagnifierControl->SetMagnification(factor);
    pnlMagnifierControl->raise();
    imgLiveView32->setGeometry(0, 0, pnlLiveView32->width() * factor, pnlLiveView32->height() * factor);
    imgLiveView32->lower();
    pnlFocus->setFocus();
}

void TfraLiveView::sectionMoved(const QRect& section)
{
    const QSize navigator = pnlMagnifierControl->size();
    imgLiveView32->move(
        -LiveViewGrid::nearest(double(section.left()) / navigator.width() * imgLiveView32->width()),
        -LiveViewGrid::nearest(double(section.top()) / navigator.height() * imgLiveView32->height()));
}

QPoint TfraLiveView::CameraPoint(const QPoint& at) const
{
    const QSize size = liveViewSize();
    const int x = int(qint64(at.x()) * size.width() / std::max(1, imgLiveView32->width()));
    const int y = int(qint64(at.y()) * size.height() / std::max(1, imgLiveView32->height()));
    return { std::clamp(x, 0, size.width() - 1), std::clamp(y, 0, size.height() - 1) };
}

void TfraLiveView::toggleHistogram()
{
    ihgLiveView->setVisible(!ihgLiveView->isVisibleTo(this));
    ihgLiveView->raise();
    lblHistogram->setArrowType(ihgLiveView->isVisibleTo(this) ? Qt::UpArrow : Qt::DownArrow);
}

void TfraLiveView::toggleGridChooser()
{
    fraViewGrid->setVisible(!fraViewGrid->isVisibleTo(this));
    fraViewGrid->raise();
    lblGridLines->setArrowType(fraViewGrid->isVisibleTo(this) ? Qt::UpArrow : Qt::DownArrow);
}
