#include "remote/ui/TfraRemoteRelease.h"

#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "import/FileSizeText.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/ui/RemoteReleaseLook.h"
#include "session/TCamera.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kActionHeight = TfraCameraPage::ActionPanelHeight;
constexpr int kMargin = TfraCameraPage::PanelMargin;

} // namespace

TfraRemoteRelease::TfraRemoteRelease(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::Apply(this, DarkStyle::Background());

    pcMain = new QStackedWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    DarkStyle::Apply(pcMain, DarkStyle::Control());
    tshImage = new QWidget(pcMain);
    tshImage->setObjectName(QStringLiteral("tshImage"));
    auto* imageLayout = new QVBoxLayout(tshImage);
    imgCamera = new QLabel(tshImage);
    imgCamera->setObjectName(QStringLiteral("imgCamera"));
    imgCamera->setAlignment(Qt::AlignCenter);
    imgCamera->setPixmap(RemoteReleaseLook::CameraPicture(240));
    imageLayout->addWidget(imgCamera);
    lblModeRefused = new QLabel(tshImage);
    lblModeRefused->setObjectName(QStringLiteral("lblModeRefused"));
    lblModeRefused->setAlignment(Qt::AlignCenter);
    lblModeRefused->setWordWrap(true);
    DarkStyle::SetTextColor(lblModeRefused, DarkStyle::Warning());
    lblModeRefused->hide();
    imageLayout->addWidget(lblModeRefused);
    tshLiveView = new QWidget(pcMain);
    tshLiveView->setObjectName(QStringLiteral("tshLiveView"));
    fraLiveView = new TfraLiveView(tshLiveView);
    fraLiveView->setObjectName(QStringLiteral("fraLiveView"));
    fraLiveView->OnResized = [this](TfraLiveView*, int, int) { placeLiveView(); };
    tshLiveView->installEventFilter(this);
    pcMain->addWidget(tshImage);
    pcMain->addWidget(tshLiveView);

    LayOutPage(pcMain, createParameterPanel(), createActionPanel());

    connect(&m_release, &TRemoteRelease::Communication, this, &TfraCameraPage::OnCommunication);
    connect(&m_release, &TRemoteRelease::Changed, this, [this] { showReleaseState(); });
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, [this] { showReleaseState(); });
    UpdateTakeButton();
}

// The release object goes with the page; a wait still running inside it notices that.
TfraRemoteRelease::~TfraRemoteRelease() = default;

QWidget* TfraRemoteRelease::createParameterPanel()
{
    pnlParameters = new QWidget(this);
    pnlParameters->setObjectName(QStringLiteral("pnlParameters"));
    QGridLayout* layout
        = PhotoImportLook::ParameterGrid(pnlParameters, QMargins(kMargin, kMargin, kMargin, kMargin),
            lblImportPropertiesTitel, QStringLiteral("Fernauslöserparameter"));

    lblCount = PhotoImportLook::Label(QStringLiteral("lblCount"), QStringLiteral("Aufnahmen"), pnlParameters);
    edtCount = PhotoImportLook::ReadOnlyField(QStringLiteral("edtCount"), QStringLiteral("0"), pnlParameters);
    lblDataSize = PhotoImportLook::Label(
        QStringLiteral("lblDataSize"), QStringLiteral("Datenvolumen"), pnlParameters);
    edtDataSize = PhotoImportLook::ReadOnlyField(
        QStringLiteral("edtDataSize"), QStringLiteral("0 MB"), pnlParameters);
    layout->addWidget(lblCount, 1, 0);
    layout->addWidget(edtCount, 1, 1);
    layout->addWidget(lblDataSize, 2, 0);
    layout->addWidget(edtDataSize, 2, 1);

    lblLastTakeInfoCaption = PhotoImportLook::Label(
        QStringLiteral("lblLastTakeInfoCaption"), QStringLiteral("Letzte Aufnahme"), pnlParameters);
    lblLastTakeInfoCaption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblLastTakeInfo
        = PhotoImportLook::Label(QStringLiteral("lblLastTakeInfo"), QStringLiteral("-"), pnlParameters);
    lblLastTakeInfo->setWordWrap(true);
    lblLastTakeInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblLastTakeInfo->setTextFormat(Qt::PlainText);
    // File names with sizes need the panel's whole width.
    layout->addWidget(lblLastTakeInfoCaption, 3, 0, 1, 2);
    layout->addWidget(lblLastTakeInfo, 4, 0, 1, 2);

    // The kinds of the latest shot, lit when it has them.
    auto* marks = new QHBoxLayout;
    lblRaw = PhotoImportLook::Label(QStringLiteral("lblRaw"), QStringLiteral("RAW"), pnlParameters);
    lblJpeg = PhotoImportLook::Label(QStringLiteral("lblJpeg"), QStringLiteral("JPEG"), pnlParameters);
    marks->addWidget(lblRaw);
    marks->addSpacing(12);
    marks->addWidget(lblJpeg);
    marks->addStretch(1);
    layout->addLayout(marks, 5, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(6, 1);
    SetRecordingFormats(false, false);
    return pnlParameters;
}

QWidget* TfraRemoteRelease::createActionPanel()
{
    pnlActions = new QWidget(this);
    pnlActions->setObjectName(QStringLiteral("pnlActions"));
    pnlActions->setFixedHeight(kActionHeight);
    DarkStyle::Apply(pnlActions, DarkStyle::Panel());
    btnTake = PhotoImportLook::ActionButton(QStringLiteral("btnTake"), QStringLiteral("Aufnahme auslösen"),
        RemoteReleaseLook::TakeIcon(DarkStyle::Text()), pnlActions);
    // Drawn dark when disabled: the style's own disabled picture would come out brighter.
    QIcon take(RemoteReleaseLook::TakeIcon(DarkStyle::Readable(DarkStyle::Text(), DarkStyle::Panel(), 4.5)));
    take.addPixmap(RemoteReleaseLook::TakeIcon(DarkStyle::Control()), QIcon::Disabled);
    btnTake->setIcon(take);
    btnLiveStream = new QToolButton(pnlActions);
    btnLiveStream->setObjectName(QStringLiteral("btnLiveStream"));
    btnLiveStream->setToolTip(QStringLiteral("Live-Bild (de)aktivieren"));
    btnLiveStream->setFixedSize(RemoteReleaseLook::LiveButtonSize, RemoteReleaseLook::LiveButtonSize);
    btnLiveStream->setIconSize(
        QSize(RemoteReleaseLook::LiveButtonSize - 4, RemoteReleaseLook::LiveButtonSize - 4));
    btnLiveStream->setIcon(QIcon(RemoteReleaseLook::LiveIcon(DarkStyle::Text())));
    btnLiveStream->setAutoRaise(true);
    btnLiveStream->setVisible(false);
    connect(btnTake, &QToolButton::clicked, this, [this] { btnTakeClick(); });
    connect(btnLiveStream, &QToolButton::clicked, this, [this] { btnLiveStreamClick(); });
    auto* layout = new QHBoxLayout(pnlActions);
    layout->setContentsMargins(kMargin, 0, kMargin, 0);
    layout->addWidget(btnLiveStream, 0, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(btnTake);
    layout->addStretch(1);
    // Keeps the release button in the middle whether or not the live button shows.
    layout->addSpacing(RemoteReleaseLook::LiveButtonSize);
    return pnlActions;
}

bool TfraRemoteRelease::isDebugMode() const
{
    return m_setup && m_setup->DebugMode;
}

void TfraRemoteRelease::SetSetup(TSetup* setup)
{
    m_setup = setup;
    fraLiveView->SetSetup(setup);
    m_release.DetailedLog = setup && setup->DetailedLog;
    btnLiveStream->setVisible(isDebugMode());
}

void TfraRemoteRelease::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    m_release.SetCamera(camera);
    lblLastTakeInfo->clear();
    pcMain->setCurrentWidget(m_liveViewOn ? tshLiveView : tshImage);
    UpdateTakeButton();
}

void TfraRemoteRelease::GoStart()
{
    m_release.DetailedLog = m_setup && m_setup->DetailedLog;
    btnLiveStream->setVisible(isDebugMode());
    // The page may go away while the camera is asked.
    const QPointer<TfraRemoteRelease> self(this);
    m_release.Start([this] { StartView(); });
    if (self)
        UpdateTakeButton();
}

void TfraRemoteRelease::OnLeaveModule()
{
    m_release.Leave();
    StopView();
}

void TfraRemoteRelease::ToggleDebugView()
{
    fraLiveView->ToggleDebugView();
}

void TfraRemoteRelease::StartView()
{
    TCamera* camera = Camera();
    if (!camera || !m_release.CanSwitchMode())
        return;
    if (m_liveViewOn) {
        pcMain->setCurrentWidget(tshLiveView);
        // The panel's start sequence puts the camera into shutter mode with a live view size.
        fraLiveView->SetCamera(camera, nullptr, nullptr, nullptr, nullptr, nullptr);
        const QPointer<TfraRemoteRelease> self(this);
        fraLiveView->StartLiveView(4, m_setup ? m_setup->LiveViewPort : 0);
        if (!self)
            return;
        fraLiveView->Prepare();
    } else {
        pcMain->setCurrentWidget(tshImage);
        fraLiveView->Finish();
        m_release.EnterShutterMode();
    }
}

void TfraRemoteRelease::StopView()
{
    if (m_liveViewOn)
        fraLiveView->Finish();
    m_release.StopReleaseView();
}

void TfraRemoteRelease::UpdateTakeButton()
{
    btnTake->setEnabled(m_release.IsTakeEnabled());
}

void TfraRemoteRelease::UpdateTypeLabels()
{
    SetRecordingFormats(m_release.IsJpeg(), m_release.IsRaw());
}

void TfraRemoteRelease::SetRecordingFormats(bool jpeg, bool raw)
{
    m_jpegShown = jpeg;
    m_rawShown = raw;
    fraLiveView->SetRecordingFormats(jpeg, raw);
    DarkStyle::SetTextColor(lblJpeg, jpeg ? DarkStyle::Active() : DarkStyle::Dimmed());
    DarkStyle::SetTextColor(lblRaw, raw ? DarkStyle::Active() : DarkStyle::Dimmed());
}

void TfraRemoteRelease::UpdateCounters()
{
    edtCount->setText(QString::number(m_release.NewShotCount()));
    edtDataSize->setText(FileSizeText(m_release.NewFileBytes()));
}

void TfraRemoteRelease::showReleaseState()
{
    QString info = m_release.LastTakeInfo();
    info.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lblLastTakeInfo->setText(info);
    lblModeRefused->setText(m_release.IsShutterModeRefused() ? rs("_rsShutterModeRefused") : QString());
    lblModeRefused->setVisible(m_release.IsShutterModeRefused());
    UpdateTypeLabels();
    UpdateCounters();
}

bool TfraRemoteRelease::TakePhoto()
{
    return m_release.TakePhoto();
}

void TfraRemoteRelease::btnTakeClick()
{
    TakePhoto();
}

void TfraRemoteRelease::btnLiveStreamClick()
{
    const QPointer<TfraRemoteRelease> self(this);
    StopView();
    if (!self)
        return;
    m_liveViewOn = !m_liveViewOn;
    StartView();
    if (!self)
        return;
    // Without a camera that switches modes the picture area still follows the button.
    pcMain->setCurrentWidget(m_liveViewOn ? tshLiveView : tshImage);
    UpdateTakeButton();
}

bool TfraRemoteRelease::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tshLiveView && event->type() == QEvent::Resize)
        placeLiveView();
    return TfraCameraPage::eventFilter(watched, event);
}

void TfraRemoteRelease::placeLiveView()
{
    const QSize area = tshLiveView->size();
    const QSize panel = fraLiveView->size();
    fraLiveView->move(
        qMax(0, (area.width() - panel.width()) / 2), qMax(0, (area.height() - panel.height()) / 2));
}
