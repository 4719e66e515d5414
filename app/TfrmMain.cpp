#include "app/TfrmMain.h"

#include "app/TMainPages.h"
#include "app/TStatusBar.h"
#include "app/TTopBar.h"
#include "app/TfraDebug.h"
#include "app/TfraStartPage.h"
#include "app/TfrmInfo.h"
#include "app/TfrmSettings.h"
#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "camera/TDiagnosisRunner.h"
#include "camera/WaitFunc.h"
#include "exif/ui/TfrmViewer.h"
#include "import/ui/TfraLiveImport.h"
#include "import/ui/TfraPhotoImport.h"
#include "import/ui/TfrmInProcessing.h"
#include "remote/ui/TfraRemoteControl.h"
#include "remote/ui/TfraRemoteRelease.h"
#include "session/TCamera.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

static void initShellResources()
{
    // The pictures live in a static library; without this reference the linker would drop them.
    Q_INIT_RESOURCE(shell);
}

TfrmMain::TfrmMain(TSetup* setup, TWifiJoin::Runner wifiRunner, QWidget* parent)
    : TTranslationForm(parent)
    , m_setup(setup)
    , m_homeWifi(wifiRunner)
    , m_busy([this] { return ProcessingRect(); })
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

    // FormCreate: the window's state first, then the camera object, then the pages' wiring.
    // The least size is what the pages need (a small screen's 1000 by 580 at most); the first size
    // the intended one where the screen has room for it.
    const QScreen* screen = QGuiApplication::primaryScreen();
    // Room is left for a window manager's title bar, which the work area does not count.
    const QSize room = screen ? screen->availableGeometry().size() - QSize(0, 40) : QSize(1039, 663);
    resize(QSize(1039, 663).boundedTo(room));
    btnPowerOff->setEnabled(false);
    btnSyncTime->setEnabled(false);
    m_currentSheet = tsConnect;
    pnlPageControl->ShowTitle();
    ShowTabSheet(tsConnect);
    UpdateConnection(false);

    m_camera = std::make_unique<TCamera>(*m_setup, std::move(wifiRunner));
    m_diagnosis = std::make_unique<TDiagnosisRunner>(
        [this] { return TCameraLink::ToHost(m_setup->GetCameraHost()); });
    m_diagnosis->OnAdvice = [this](const QString& advice) {
        if (!(m_camera->Connected && m_camera->IsPrivate))
            tsConnect->ShowAdvice(advice);
    };
    m_camera->OnChangeConnection = [this](TCamera* camera, bool& handled) {
        UpdateConnection(camera->Connected);
        handled = true;
        if (camera->Connected && camera->IsPrivate) {
            m_diagnosis->cancel();
            tsConnect->ShowAdvice({});
        } else {
            m_diagnosis->start();
        }
    };

    for (TfraCameraPage* page : std::initializer_list<TfraCameraPage*> {
             fraPhotoImport, fraLiveImport, fraRemoteControl, fraRemoteRelease, fraDebug }) {
        connect(page, &TfraCameraPage::OnProgress, this, &TfrmMain::OnProgress);
        connect(page, &TfraCameraPage::OnCommunication, this, &TfrmMain::OnCommunication);
    }
    for (const TMainPages::CameraPage& entry : pcMain->CameraPages())
        entry.page->SetCamera(m_camera.get());

    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, &TfrmMain::showConnectionState);
    // The window sees the keys before the focused control does.
    qApp->installEventFilter(this);
    TranslateForm();
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
    m_diagnosis.reset();
    if (m_camera)
        m_camera->OnChangeConnection = nullptr;
    // The pages hold the camera; they go before it does.
    delete pcMain;
    pcMain = nullptr;
    m_camera.reset();
}

QWidget* TfrmMain::createTopBar()
{
    pnlPageControl = new TTopBar(this);
    pcTitle = pnlPageControl->pcTitle;
    btnPhotoImport = pnlPageControl->btnPhotoImport;
    btnLiveimport = pnlPageControl->btnLiveimport;
    btnRemoteControl = pnlPageControl->btnRemoteControl;
    btnRemoteRelease = pnlPageControl->btnRemoteRelease;
    return pnlPageControl;
}

void TfrmMain::SetPreviewWindow(TfrmPreview* window)
{
    m_preview = window;
    fraRemoteControl->SetPreviewWindow(window);
}

QWidget* TfrmMain::createPages()
{
    // The one viewer of the run, a window of its own that lives as long as this one.
    m_viewer = new TfrmViewer(m_setup, this);
    m_viewer->SetMainWindow(this);
    pcMain = new TMainPages(m_setup, m_viewer, pnlPageControl, this);
    tsConnect = pcMain->tsConnect;
    tsPhotoImport = pcMain->tsPhotoImport;
    tsLiveImport = pcMain->tsLiveImport;
    tsRemoteControl = pcMain->tsRemoteControl;
    tsRemoteRelease = pcMain->tsRemoteRelease;
    tsDebug = pcMain->tsDebug;
    imgCamera = tsConnect->imgCamera;
    imgNotebook = tsConnect->imgNotebook;
    imgConnection = tsConnect->imgConnection;
    imgRadio = tsConnect->imgRadio;
    fraPhotoImport = pcMain->fraPhotoImport;
    fraLiveImport = pcMain->fraLiveImport;
    fraRemoteControl = pcMain->fraRemoteControl;
    fraRemoteRelease = pcMain->fraRemoteRelease;
    fraDebug = pcMain->fraDebug;
    for (const TMainPages::CameraPage& entry : pcMain->CameraPages())
        connect(entry.button, &QPushButton::clicked, this, [this, sheet = entry.sheet] {
            if (sheet == m_currentSheet || stopTimeLapseSeries())
                ShowTabSheet(sheet);
        });
    return pcMain;
}

QWidget* TfrmMain::createStatusBar()
{
    pnlStatus = new TStatusBar(this);
    lblConnectionState = pnlStatus->lblConnectionState;
    btnPowerOff = pnlStatus->btnPowerOff;
    btnSyncTime = pnlStatus->btnSyncTime;
    connect(btnPowerOff, &QToolButton::clicked, this, &TfrmMain::btnPowerOffClick);
    connect(btnSyncTime, &QToolButton::clicked, this, &TfrmMain::btnSyncTimeClick);
    connect(pnlStatus->btnSettings, &QToolButton::clicked, this, &TfrmMain::btnSettingsClick);
    connect(pnlStatus->btnInfo, &QToolButton::clicked, this, &TfrmMain::btnInfoClick);
    return pnlStatus;
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
    // Measured when used: the title area's place settles only once the window is laid out. From the
    // window's left edge, so the short name stays visible beside the progress line.
    const QRect title(pcTitle->mapTo(this, QPoint(0, 0)), pcTitle->size());
    return QRect(QPoint(0, title.top()), title.bottomRight());
}

void TfrmMain::UpdateConnection(bool connected)
{
    const bool usable = connected && m_camera && m_camera->IsPrivate;
    pcMain->EnableFor(usable ? m_camera->Capabilities : 0);
    pnlStatus->SetConnection(usable ? 2 : connected ? 1 : 0, usable ? m_camera->ModelName() : QString());
    showConnectionState();
    ShowTabSheet(usable ? m_currentSheet : tsConnect);
}

void TfrmMain::showConnectionState()
{
    // Built anew on each language switch, from what the last connection change found.
    pnlStatus->ShowConnection(m_setup->WLanAutoConnect, m_setup->CameraWLanName);
}

void TfrmMain::communicate(const QString& operation, const std::function<void()>& work)
{
    detailLog(operation + QStringLiteral(": ceStart"));
    OnCommunication(TCommunication::Begin());
    work();
    detailLog(operation + QStringLiteral(": ceStop"));
    OnCommunication(TCommunication::End());
}

bool TfrmMain::stopTimeLapseSeries()
{
    if (!fraRemoteControl->IsTimeLapseRunning())
        return true;
    if (!AskQuestion(rs("_rsTimeLapseStopAsk")))
        return false;
    fraRemoteControl->StopTimeLapse();
    return true;
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
    communicate(QStringLiteral("TfrmMain.ShowTabSheet"), [this] {
        while (fraLiveImport->IsTransferring())
            Wait(250);
    });
    return true;
}

void TfrmMain::showPage(const TMainPages::CameraPage& entry, bool start)
{
    pnlPageControl->ColourButtons(entry.button);
    pcMain->setCurrentWidget(entry.sheet);
    if (start)
        entry.page->GoStart();
    m_currentSheet = entry.sheet;
}

void TfrmMain::ShowTabSheet(QWidget* sheet)
{
    if (m_busy.ActiveComm() > 0 || !sheet)
        return;
    tsConnect->StopBlinking();
    if (!cancelLiveImportTransfer(false))
        return;

    m_busy.Hide();
    pnlPageControl->ShowTitle();

    pcMain->StopPagesExcept(sheet);
    const TMainPages::CameraPage* entry = pcMain->CameraPageOn(sheet);
    if (entry && cameraConnected()) {
        if (entry->page == fraPhotoImport || m_camera->IsPrivateMode())
            showPage(*entry, true);
        else
            ShowMessage(rs("_rsPrivateMode"), mkError);
    } else if (!entry) {
        pnlPageControl->ColourButtons(nullptr);
        pcMain->setCurrentWidget(sheet);
        if (sheet != tsDebug)
            m_currentSheet = sheet;
        if (sheet == tsConnect) {
            const bool connected = cameraConnected();
            tsConnect->ShowConnected(connected);
            btnPowerOff->setEnabled(connected && m_camera->Remote.PowerOff.Enabled);
            btnSyncTime->setEnabled(connected && m_camera->Remote.SetTime.Enabled);
        }
    }

    const bool clockPage = m_currentSheet == tsLiveImport || m_currentSheet == tsRemoteControl
        || m_currentSheet == tsRemoteRelease;
    btnSyncTime->setEnabled(cameraConnected() && m_camera->Remote.SetTime.Enabled && !clockPage);
}

void TfrmMain::OnProgress(const QString& caption, const QString& detail, bool finished, int percent)
{
    pnlPageControl->ShowProgress(caption, detail, finished, percent);
    if (TfrmInProcessing* cover = ProcessingWindow())
        cover->SetActivity(finished ? QString() : caption, finished ? QString() : detail);
    QCoreApplication::processEvents();
}

void TfrmMain::OnCommunication(const TCommunication& communication)
{
    detailLog(QStringLiteral("TfrmMain.OnCommunication: Kind=%1 (FreeRegions=%2 | ActiveComm=%3)")
                  .arg(communication.Kind)
                  .arg(communication.FreeRegions.size())
                  .arg(m_busy.ActiveComm()));
    m_busy.OnCommunication(communication);
}

void TfrmMain::btnPowerOffClick()
{
    if (!cameraConnected() || !m_camera->Remote.PowerOff.Enabled)
        return;
    if (!AskQuestion(rs("_rsPowerOff")))
        return;
    ShowTabSheet(tsConnect);
    communicate(QStringLiteral("TfrmMain.btnPowerOffClick"), [this] {
        const bool switchedOff = m_camera->PowerOff();
        btnPowerOff->setEnabled(!switchedOff);
        btnSyncTime->setEnabled(!switchedOff);
    });
    // The camera reported its going away while the page switch was held back; the start page
    // shows it now.
    ShowTabSheet(tsConnect);
}

void TfrmMain::btnSyncTimeClick()
{
    if (!cameraConnected() || !m_camera->Remote.SetTime.Enabled)
        return;
    bool synced = false;
    communicate(QStringLiteral("TfrmMain.btnSyncTimeClick"), [&] { synced = m_camera->SyncClock(); });
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

bool TfrmMain::handleShortcut(int key)
{
    if (!m_setup->DebugMode) {
        if (key != Qt::Key_L)
            return false;
        fraDebug->btnSaveClick();
        return true;
    }
    if (key == Qt::Key_D) {
        for (const TMainPages::CameraPage& entry : pcMain->CameraPages())
            entry.page->ToggleDebugView();
        return true;
    }
    if (key == Qt::Key_T) {
        ShowTabSheet(tsDebug);
        return true;
    }
    // Photo import, live import, remote control and remote release, shown and enabled without a camera.
    const int keys[] = { Qt::Key_I, Qt::Key_L, Qt::Key_R, Qt::Key_F };
    const auto direct = std::find(std::begin(keys), std::end(keys), key);
    if (direct == std::end(keys))
        return false;
    // Like every page switch, not in the middle of a camera communication of the page shown.
    if (m_busy.ActiveComm() > 0)
        return true;
    const TMainPages::CameraPage& entry = pcMain->CameraPages().at(direct - std::begin(keys));
    entry.page->setEnabled(true);
    entry.button->setEnabled(true);
    showPage(entry, false);
    return true;
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
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
    if (!stopTimeLapseSeries() || !cancelLiveImportTransfer(true)) {
        event->ignore();
        return;
    }
    // Whatever fails while stopping, the settings are saved and the home network is rejoined.
    if (m_camera)
        m_camera->StopLiveView();
    pcMain->LeavePages();
    m_setup->Save();
    if (m_setup->WLanAutoConnect)
        m_homeWifi.Join(m_setup->HomeWLanName, m_setup->HomeWLanSSID);
    TTranslationForm::closeEvent(event);
}
