#include "app/TfrmMain.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "app/TfraDebug.h"
#include "app/TfrmInfo.h"
#include "app/TfrmSettings.h"
#include "base/ui/DarkStyle.h"
#include "camera/WaitFunc.h"
#include "session/TCamera.h"
#include "exif/ui/TfrmViewer.h"
#include "import/ui/TfraLiveImport.h"
#include "import/ui/TfraPhotoImport.h"
#include "import/ui/TfrmInProcessing.h"
#include "remote/ui/TfraRemoteControl.h"
#include "remote/ui/TfraRemoteRelease.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

static void initShellResources()
{
    // The pictures live in a static library; without this reference the linker would drop them.
    Q_INIT_RESOURCE(shell);
}

namespace {

constexpr int kTopBarHeight = 41;
constexpr int kStatusBarHeight = 28;
constexpr int kStartPageMargin = 24;

QFont topBarFont(const QFont& base)
{
    QFont font = base;
    font.setFamily(QStringLiteral("Tahoma"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QToolButton* makeStatusButton(const QString& name, const QString& hint, const QString& icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(QIcon(QStringLiteral(":/shell/") + icon));
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel* makeImage(const QString& name, const QString& picture, QWidget* parent)
{
    QLabel* label = makeLabel(name, QString(), parent);
    label->setPixmap(QPixmap(QStringLiteral(":/shell/") + picture));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// Places a picture in rect at its own proportions, centred.
void placeImage(QLabel* image, const QString& picture, const QRect& rect)
{
    image->setGeometry(rect);
    const QPixmap source(QStringLiteral(":/shell/") + picture);
    if (!source.isNull() && !rect.isEmpty())
        image->setPixmap(source.scaled(rect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

TfrmMain::TfrmMain(TSetup* setup, TWifiJoin::Runner wifiRunner, QWidget* parent)
    : TTranslationForm(parent)
    , m_setup(setup)
    , m_homeWifi(wifiRunner)
{
    initShellResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lumivar"));
    DarkStyle::Apply(this, Qt::black);

    AskQuestion = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes;
    };
    ShowMessage = [this](const QString& text, MessageKind kind) {
        if (kind == mkError)
            QMessageBox::critical(this, windowTitle(), text);
        else
            QMessageBox::information(this, windowTitle(), text);
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createTopBar());
    layout->addWidget(createPages(), 1);
    layout->addWidget(createStatusBar());

    for (QTimer* timer : { &tmrProgress, &tmrImageRadio, &tmrProcessing })
        timer->setInterval(0);
    connect(&tmrProgress, &QTimer::timeout, this, [this] {
        tmrProgress.stop();
        pcTitle->setCurrentWidget(tshTitle);
    });
    connect(&tmrImageRadio, &QTimer::timeout, this, [this] { imgRadio->setVisible(!imgRadio->isVisible()); });
    connect(&tmrProcessing, &QTimer::timeout, this, [this] {
        tmrProcessing.stop();
        if (m_processing)
            m_processing->Show(ProcessingRect());
    });

    // FormCreate: the window's state first, then the camera object, then the pages' wiring.
    resize(1039, 663);
    setMinimumSize(1039, 663);
    btnPowerOff->setEnabled(false);
    btnSyncTime->setEnabled(false);
    m_currentSheet = tsConnect;
    m_activeComm = 0;
    pcTitle->setCurrentWidget(tshTitle);
    ShowTabSheet(tsConnect);
    UpdateConnection(false);

    m_camera = std::make_unique<TCamera>(*m_setup, std::move(wifiRunner));
    m_camera->OnChangeConnection = [this](TCamera* camera, bool& handled) {
        UpdateConnection(camera->Connected);
        handled = true;
    };

    for (TfraCameraPage* page : std::initializer_list<TfraCameraPage*> {
             fraPhotoImport, fraLiveImport, fraRemoteControl, fraRemoteRelease, fraDebug })
        connectPage(page);
    for (TfraCameraPage* page : std::initializer_list<TfraCameraPage*> {
             fraPhotoImport, fraLiveImport, fraRemoteControl, fraRemoteRelease })
        page->SetCamera(m_camera.get());

    // The window sees the keys before the focused control does.
    qApp->installEventFilter(this);
    TranslateForm();
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
    if (m_camera)
        m_camera->OnChangeConnection = nullptr;
    // The pages hold the camera; they go before it does.
    delete pcMain;
    pcMain = nullptr;
    m_camera.reset();
}

QWidget* TfrmMain::createTopBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pnlPageControl"));
    bar->setFixedHeight(kTopBarHeight);
    DarkStyle::Apply(bar, Qt::black);
    bar->setFont(topBarFont(font()));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 0, 14, 0);
    row->setSpacing(8);

    lblAppShortName = makeLabel(QStringLiteral("lblAppShortName"), QStringLiteral("Lm"), bar);
    DarkStyle::SetTextColor(lblAppShortName, DarkStyle::Active());
    row->addWidget(lblAppShortName);

    pcTitle = new QStackedWidget(bar);
    pcTitle->setObjectName(QStringLiteral("pcTitle"));
    tshTitle = new QWidget(pcTitle);
    tshTitle->setObjectName(QStringLiteral("tshTitle"));
    lblAppTitle = makeLabel(QStringLiteral("lblAppTitle"), QStringLiteral("Lumivar"), tshTitle);
    auto* titleRow = new QHBoxLayout(tshTitle);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->addWidget(lblAppTitle);
    pcTitle->addWidget(tshTitle);

    tshProgress = new QWidget(pcTitle);
    tshProgress->setObjectName(QStringLiteral("tshProgress"));
    QFont small = font();
    small.setPixelSize(11);
    lblProgressCaption
        = makeLabel(QStringLiteral("lblProgressCaption"), QStringLiteral("Vorgang"), tshProgress);
    lblProgressDetail = makeLabel(QStringLiteral("lblProgressDetail"), QStringLiteral("Status"), tshProgress);
    lblProgressDetail->setFont(small);
    gauProgress = new QProgressBar(tshProgress);
    gauProgress->setObjectName(QStringLiteral("gauProgress"));
    gauProgress->setRange(0, 100);
    gauProgress->setTextVisible(false);
    gauProgress->setFixedHeight(6);
    auto* progress = new QVBoxLayout(tshProgress);
    progress->setContentsMargins(0, 2, 0, 2);
    progress->setSpacing(0);
    auto* captions = new QHBoxLayout;
    captions->setSpacing(12);
    captions->addWidget(lblProgressCaption);
    captions->addWidget(lblProgressDetail, 1);
    progress->addLayout(captions);
    progress->addWidget(gauProgress);
    pcTitle->addWidget(tshProgress);
    row->addWidget(pcTitle, 1);

    auto addPageButton = [&](const QString& name, const QString& caption) {
        if (!m_pageButtons.isEmpty())
            row->addWidget(makeLabel(QString(), QStringLiteral("|"), bar));
        auto* button = new QPushButton(caption, bar);
        button->setObjectName(name);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setCursor(Qt::PointingHandCursor);
        m_pageButtons.append(button);
        row->addWidget(button);
        return button;
    };
    btnPhotoImport = addPageButton(QStringLiteral("btnPhotoImport"), QStringLiteral("Fotoimport"));
    btnLiveimport = addPageButton(QStringLiteral("btnLiveimport"), QStringLiteral("Live-Import"));
    btnRemoteControl = addPageButton(QStringLiteral("btnRemoteControl"), QStringLiteral("Fernsteuerung"));
    btnRemoteRelease = addPageButton(QStringLiteral("btnRemoteRelease"), QStringLiteral("Fernauslöser"));
    return bar;
}

QWidget* TfrmMain::addSheet(const QString& name, QWidget* content)
{
    auto* sheet = new QWidget(pcMain);
    sheet->setObjectName(name);
    if (content) {
        auto* box = new QVBoxLayout(sheet);
        box->setContentsMargins(0, 0, 0, 0);
        content->setParent(sheet);
        box->addWidget(content);
    }
    pcMain->addWidget(sheet);
    return sheet;
}

QWidget* TfrmMain::createPages()
{
    pcMain = new QStackedWidget(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));

    tsConnect = addSheet(QStringLiteral("tsConnect"), nullptr);
    tsConnect->setWindowTitle(QStringLiteral("Startseite"));
    DarkStyle::Apply(tsConnect);
    imgConnection = makeImage(QStringLiteral("imgConnection"), QStringLiteral("connection.png"), tsConnect);
    imgRadio = makeImage(QStringLiteral("imgRadio"), QStringLiteral("radio.png"), tsConnect);
    imgCamera = makeImage(QStringLiteral("imgCamera"), QStringLiteral("camera.png"), tsConnect);
    imgNotebook = makeImage(QStringLiteral("imgNotebook"), QStringLiteral("notebook.png"), tsConnect);

    fraPhotoImport = new TfraPhotoImport;
    fraPhotoImport->setObjectName(QStringLiteral("fraPhotoImport"));
    fraPhotoImport->SetSetup(m_setup);
    // The one viewer of the run, a window of its own that lives as long as this one.
    m_viewer = new TfrmViewer(m_setup, this);
    m_viewer->SetMainWindow(this);
    fraPhotoImport->SetViewer(m_viewer);
    tsPhotoImport = addSheet(QStringLiteral("tsPhotoImport"), fraPhotoImport);
    fraLiveImport = new TfraLiveImport;
    fraLiveImport->setObjectName(QStringLiteral("fraLiveImport"));
    tsLiveImport = addSheet(QStringLiteral("tsLiveImport"), fraLiveImport);
    fraRemoteControl = new TfraRemoteControl;
    fraRemoteControl->setObjectName(QStringLiteral("fraRemoteControl"));
    tsRemoteControl = addSheet(QStringLiteral("tsRemoteControl"), fraRemoteControl);
    fraRemoteRelease = new TfraRemoteRelease;
    fraRemoteRelease->setObjectName(QStringLiteral("fraRemoteRelease"));
    tsRemoteRelease = addSheet(QStringLiteral("tsRemoteRelease"), fraRemoteRelease);
    fraDebug = new TfraDebug(m_setup);
    fraDebug->setObjectName(QStringLiteral("fraDebug"));
    fraDebug->SetViewer(m_viewer);
    tsDebug = addSheet(QStringLiteral("tsDebug"), fraDebug);

    const std::pair<QPushButton*, QWidget*> buttons[]
        = { { btnPhotoImport, tsPhotoImport }, { btnLiveimport, tsLiveImport },
              { btnRemoteControl, tsRemoteControl }, { btnRemoteRelease, tsRemoteRelease } };
    for (const auto& [button, sheet] : buttons)
        connect(button, &QPushButton::clicked, this, [this, sheet = sheet] { ShowTabSheet(sheet); });
    return pcMain;
}

QWidget* TfrmMain::createStatusBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pnlStatus"));
    bar->setFixedHeight(kStatusBarHeight);
    DarkStyle::Apply(bar, DarkStyle::Panel());
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(10, 0, 6, 0);
    row->setSpacing(6);
    lblConnection = makeLabel(QStringLiteral("lblConnection"), QStringLiteral("Status:"), bar);
    lblConnectionState = makeLabel(QStringLiteral("lblConnectionState"), QStringLiteral("-"), bar);
    row->addWidget(lblConnection);
    row->addWidget(lblConnectionState, 1);

    btnPowerOff = makeStatusButton(QStringLiteral("btnPowerOff"), QStringLiteral("Kamera ausschalten"),
        QStringLiteral("poweroff.png"), bar);
    btnSyncTime = makeStatusButton(QStringLiteral("btnSyncTime"),
        QStringLiteral("Kamerazeit synchronisieren"), QStringLiteral("synctime.png"), bar);
    btnSettings = makeStatusButton(
        QStringLiteral("btnSettings"), QStringLiteral("Einstellungen"), QStringLiteral("settings.png"), bar);
    btnInfo = makeStatusButton(
        QStringLiteral("btnInfo"), QStringLiteral("Info"), QStringLiteral("info.png"), bar);
    for (QToolButton* button : { btnPowerOff, btnSyncTime, btnSettings, btnInfo })
        row->addWidget(button);
    connect(btnPowerOff, &QToolButton::clicked, this, &TfrmMain::btnPowerOffClick);
    connect(btnSyncTime, &QToolButton::clicked, this, &TfrmMain::btnSyncTimeClick);
    connect(btnSettings, &QToolButton::clicked, this, &TfrmMain::btnSettingsClick);
    connect(btnInfo, &QToolButton::clicked, this, &TfrmMain::btnInfoClick);
    return bar;
}

void TfrmMain::connectPage(TfraCameraPage* page)
{
    connect(page, &TfraCameraPage::OnProgress, this, &TfrmMain::OnProgress);
    connect(page, &TfraCameraPage::OnCommunication, this, &TfrmMain::OnCommunication);
}

void TfrmMain::BringToFront()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void TfrmMain::detailLog(const QString& message) const
{
    if (m_setup->DetailedLog)
        TLogger::LogTrace(message);
}

bool TfrmMain::cameraConnected() const
{
    return m_camera && m_camera->Connected;
}

QRect TfrmMain::ProcessingRect() const
{
    // Measured when used: the title area's place settles only once the window is laid out.
    return QRect(pcTitle->mapTo(this, QPoint(0, 0)), pcTitle->size());
}

void TfrmMain::UpdateConnection(bool connected)
{
    const bool usable = connected && m_camera && m_camera->IsPrivate;
    const quint8 caps = usable ? m_camera->Capabilities : 0;
    fraPhotoImport->setEnabled(caps & TCamera::CapImport);
    fraLiveImport->setEnabled(caps & TCamera::CapRelease);
    fraRemoteControl->setEnabled(caps & TCamera::CapRemote);
    fraRemoteRelease->setEnabled(caps & TCamera::CapRelease);

    if (usable) {
        QString model;
        if (!m_camera->Info.CameraInfo.Execute(model) || model.trimmed().isEmpty())
            model = rs("_rsUnknownCamModel");
        lblConnectionState->setText(rs("_rsConnectedWith", { model }));
        DarkStyle::SetTextColor(lblConnectionState, DarkStyle::Active());
    } else if (connected) {
        lblConnectionState->setText(rs("_rsUsePrivateConnection"));
        DarkStyle::SetTextColor(lblConnectionState, DarkStyle::Warning());
    } else {
        lblConnectionState->setText(m_setup->WLanAutoConnect
                ? rs("_rsTryToConnectWith", { m_setup->CameraWLanName })
                : rs("_rsEstablishConnection"));
        DarkStyle::SetTextColor(lblConnectionState, DarkStyle::Warning());
    }

    btnPhotoImport->setEnabled(fraPhotoImport->isEnabled());
    btnLiveimport->setEnabled(fraLiveImport->isEnabled());
    btnRemoteControl->setEnabled(fraRemoteControl->isEnabled());
    btnRemoteRelease->setEnabled(fraRemoteRelease->isEnabled());

    ShowTabSheet(usable ? m_currentSheet : tsConnect);
}

void TfrmMain::stopPages(std::initializer_list<TfraCameraPage*> pages)
{
    for (TfraCameraPage* page : pages)
        page->GoStop();
}

void TfrmMain::colourButtons(QPushButton* active)
{
    for (QPushButton* button : m_pageButtons)
        DarkStyle::SetTextColor(button, button == active ? DarkStyle::Active() : DarkStyle::InactiveButton());
}

void TfrmMain::waitForLiveImportTransfer()
{
    OnCommunication(this, ceStart, -1, {});
    while (fraLiveImport->IsTransferring())
        Wait(250);
    OnCommunication(this, ceStop, -1, {});
}

bool TfrmMain::cancelLiveImportTransfer(bool stopCamera)
{
    if (!fraLiveImport->IsTransferring())
        return true;
    if (!AskQuestion(rs("_rsCancelLiveImport")))
        return false;
    if (stopCamera && m_camera)
        m_camera->Stop();
    fraLiveImport->CancelTransfer();
    detailLog(QStringLiteral("TfrmMain.ShowTabSheet: ceStart"));
    waitForLiveImportTransfer();
    detailLog(QStringLiteral("TfrmMain.ShowTabSheet: ceStop"));
    return true;
}

void TfrmMain::showCameraSheet(QWidget* sheet, TfraCameraPage* page, QPushButton* button)
{
    if (!cameraConnected())
        return;
    QString mode;
    if (m_camera->Info.ConnectMode.Execute(mode) && mode.toLower() == QStringLiteral("private")) {
        colourButtons(button);
        pcMain->setCurrentWidget(sheet);
        page->GoStart();
        m_currentSheet = sheet;
    } else {
        ShowMessage(rs("_rsPrivateMode"), mkError);
    }
}

void TfrmMain::ShowTabSheet(QWidget* sheet)
{
    if (m_activeComm > 0 || !sheet)
        return;
    tmrImageRadio.stop();
    if (!cancelLiveImportTransfer(false))
        return;

    tmrProcessing.stop();
    if (m_processing && m_processing->isVisible())
        m_processing->Hide();
    pcTitle->setCurrentWidget(tshTitle);

    if (sheet == tsPhotoImport) {
        stopPages({ fraLiveImport, fraRemoteControl, fraRemoteRelease });
        if (cameraConnected()) {
            colourButtons(btnPhotoImport);
            pcMain->setCurrentWidget(sheet);
            fraPhotoImport->GoStart();
            m_currentSheet = sheet;
        }
    } else if (sheet == tsLiveImport) {
        stopPages({ fraRemoteControl, fraRemoteRelease });
        showCameraSheet(sheet, fraLiveImport, btnLiveimport);
    } else if (sheet == tsRemoteControl) {
        stopPages({ fraLiveImport, fraRemoteRelease });
        showCameraSheet(sheet, fraRemoteControl, btnRemoteControl);
    } else if (sheet == tsRemoteRelease) {
        stopPages({ fraLiveImport, fraRemoteControl });
        showCameraSheet(sheet, fraRemoteRelease, btnRemoteRelease);
    } else {
        stopPages({ fraLiveImport, fraRemoteControl, fraRemoteRelease });
        colourButtons(nullptr);
        pcMain->setCurrentWidget(sheet);
        if (sheet != tsDebug)
            m_currentSheet = sheet;
        if (sheet == tsConnect) {
            if (cameraConnected()) {
                imgRadio->hide();
                imgConnection->show();
                btnPowerOff->setEnabled(m_camera->Remote.PowerOff.Enabled);
                btnSyncTime->setEnabled(m_camera->Remote.SetTime.Enabled);
            } else {
                imgConnection->hide();
                imgRadio->show();
                tmrImageRadio.start(1000);
                btnPowerOff->setEnabled(false);
                btnSyncTime->setEnabled(false);
            }
        }
    }

    const bool clockPage = m_currentSheet == tsLiveImport || m_currentSheet == tsRemoteControl
        || m_currentSheet == tsRemoteRelease;
    btnSyncTime->setEnabled(cameraConnected() && m_camera->Remote.SetTime.Enabled && !clockPage);
}

void TfrmMain::OnProgress(const QString& caption, const QString& detail, bool finished, int percent)
{
    lblProgressCaption->setText(caption);
    lblProgressDetail->setText(detail);
    gauProgress->setValue(qBound(0, percent, 100));
    pcTitle->setCurrentWidget(tshProgress);
    QCoreApplication::processEvents();
    if (finished)
        tmrProgress.start(3000);
    else
        tmrProgress.stop();
}

void TfrmMain::OnCommunication(QObject* sender, int kind, int regionIndex, const QList<QRect>& rects)
{
    Q_UNUSED(sender);
    detailLog(QStringLiteral("TfrmMain.OnCommunication: Kind=%1 (FreeRegions=%2 | ActiveComm=%3)")
                  .arg(kind)
                  .arg(regionIndex + 1)
                  .arg(m_activeComm));
    switch (kind) {
    case ceStart:
        ++m_activeComm;
        if (!m_processing || !m_processing->isVisible())
            tmrProcessing.start(500);
        break;
    case ceStop:
        if (m_activeComm > 0)
            --m_activeComm;
        if (m_activeComm == 0) {
            tmrProcessing.stop();
            if (m_processing && m_processing->isVisible())
                m_processing->Hide();
        }
        break;
    case ceChangeFreeRegion:
        if (m_processing)
            m_processing->SetFreeRegions(rects, regionIndex, ProcessingRect());
        break;
    default:
        break;
    }
}

void TfrmMain::btnPowerOffClick()
{
    if (!cameraConnected() || !m_camera->Remote.PowerOff.Enabled)
        return;
    if (!AskQuestion(rs("_rsPowerOff")))
        return;
    ShowTabSheet(tsConnect);
    detailLog(QStringLiteral("TfrmMain.btnPowerOffClick: ceStart"));
    OnCommunication(this, ceStart, -1, {});
    bool switchedOff = false;
    try {
        switchedOff = m_camera->Remote.PowerOff.Execute();
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfrmMain.btnPowerOffClick (Ex): ") + QString::fromUtf8(e.what()));
    }
    btnPowerOff->setEnabled(!switchedOff);
    btnSyncTime->setEnabled(!switchedOff);
    detailLog(QStringLiteral("TfrmMain.btnPowerOffClick: ceStop"));
    OnCommunication(this, ceStop, -1, {});
    m_camera->Disconnect(3000);
}

void TfrmMain::btnSyncTimeClick()
{
    if (!cameraConnected() || !m_camera->Remote.SetTime.Enabled)
        return;
    detailLog(QStringLiteral("TfrmMain.btnSyncTimeClick: ceStart"));
    OnCommunication(this, ceStart, -1, {});
    bool synced = false;
    try {
        synced = m_camera->Remote.SetTime.Execute();
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfrmMain.btnSyncTimeClick (Ex): ") + QString::fromUtf8(e.what()));
    }
    detailLog(QStringLiteral("TfrmMain.btnSyncTimeClick: ceStop"));
    OnCommunication(this, ceStop, -1, {});
    if (synced)
        ShowMessage(rs("_rsTimeSynced"), mkInformation);
    else
        ShowMessage(rs("_rsTimeNotSynced"), mkError);
}

void TfrmMain::btnSettingsClick()
{
    if (m_settings)
        m_settings->ShowModal();
}

void TfrmMain::btnInfoClick()
{
    if (m_info)
        m_info->ShowModal();
}

void TfrmMain::layoutStartPage()
{
    const int width = tsConnect->width();
    const int height = tsConnect->height();
    const int side = int(std::lround(width / 2.5));
    const int deviceHeight = qMin(side * 3 / 4, height - 2 * kStartPageMargin);
    const int top = (height - deviceHeight) / 2;
    const QRect camera(kStartPageMargin, top, side, deviceHeight);
    const QRect notebook(width - kStartPageMargin - side, top, side, deviceHeight);
    placeImage(imgCamera, QStringLiteral("camera.png"), camera);
    placeImage(imgNotebook, QStringLiteral("notebook.png"), notebook);

    const int gap = notebook.left() - (camera.left() + camera.width());
    const QRect radio(camera.left() + camera.width(), top + deviceHeight / 4, qMax(gap, 0), deviceHeight / 2);
    placeImage(imgRadio, QStringLiteral("radio.png"), radio);

    const int connectionLeft = camera.left() + camera.width() - camera.width() * 36 / 400;
    const int connectionRight = notebook.left() + notebook.width() * 36 / 400;
    const int connectionHeight = qMax(deviceHeight / 6, 1);
    imgConnection->setGeometry(connectionLeft, top + (deviceHeight - connectionHeight) / 2,
        qMax(connectionRight - connectionLeft, 0), connectionHeight);
    imgConnection->setScaledContents(true);
    // The devices lie over the ends of the link.
    imgCamera->raise();
    imgNotebook->raise();
}

void TfrmMain::showPageDirectly(QWidget* sheet, TfraCameraPage* page, QPushButton* button)
{
    page->setEnabled(true);
    button->setEnabled(true);
    colourButtons(button);
    pcMain->setCurrentWidget(sheet);
    m_currentSheet = sheet;
}

bool TfrmMain::handleShortcut(int key)
{
    if (!m_setup->DebugMode) {
        if (key != Qt::Key_L)
            return false;
        fraDebug->btnSaveClick();
        return true;
    }
    switch (key) {
    case Qt::Key_D:
        for (TfraCameraPage* page : std::initializer_list<TfraCameraPage*> {
                 fraPhotoImport, fraLiveImport, fraRemoteControl, fraRemoteRelease })
            page->ToggleDebugView();
        return true;
    case Qt::Key_F:
        showPageDirectly(tsRemoteRelease, fraRemoteRelease, btnRemoteRelease);
        return true;
    case Qt::Key_I:
        showPageDirectly(tsPhotoImport, fraPhotoImport, btnPhotoImport);
        return true;
    case Qt::Key_L:
        showPageDirectly(tsLiveImport, fraLiveImport, btnLiveimport);
        return true;
    case Qt::Key_R:
        showPageDirectly(tsRemoteControl, fraRemoteControl, btnRemoteControl);
        return true;
    case Qt::Key_T:
        ShowTabSheet(tsDebug);
        return true;
    default:
        return false;
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    // The start page gets its size from the layout after the window's own resize.
    if (watched == tsConnect && event->type() == QEvent::Resize)
        layoutStartPage();
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeypadModifier;
        if (widget && widget->window() == this && !key->isAutoRepeat()
            && held == (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)
            && handleShortcut(key->key()))
            return true;
    }
    return TTranslationForm::eventFilter(watched, event);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!cancelLiveImportTransfer(true)) {
        event->ignore();
        return;
    }
    // Whatever fails while stopping, the settings are saved and the home network is rejoined.
    try {
        if (m_camera && m_camera->Remote.LiveView.LiveViewState == TBaseLiveViewAction::Started)
            m_camera->Remote.LiveView.Execute(TBaseLiveViewAction::KindStop, m_setup->LiveViewPort);
        fraRemoteControl->GoStop();
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfrmMain.FormClose (Ex): ") + QString::fromUtf8(e.what()));
    }
    try {
        fraLiveImport->OnLeaveModule();
        fraRemoteRelease->OnLeaveModule();
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfrmMain.FormClose (Ex): ") + QString::fromUtf8(e.what()));
    }
    m_setup->Save();
    if (m_setup->WLanAutoConnect)
        m_homeWifi.Join(m_setup->HomeWLanName, m_setup->HomeWLanSSID);
    TTranslationForm::closeEvent(event);
}
