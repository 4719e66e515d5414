#include "app/TfrmMain.h"

#include "app/TMainKeys.h"
#include "app/TMainPages.h"
#include "app/TRunningWork.h"
#include "app/TStatusBar.h"
#include "app/TTopBar.h"
#include "app/TfraStartPage.h"
#include "app/TfrmInfo.h"
#include "app/TfrmSettings.h"
#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "exif/ui/TfrmViewer.h"
#include "import/ui/TfrmInProcessing.h"
#include "remote/ui/TfraRemoteControl.h"
#include "session/TCamera.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

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
    pnlPageControl = new TTopBar(this);
    pcTitle = pnlPageControl->pcTitle;
    layout->addWidget(pnlPageControl);
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
    tsConnect->SetDiagnosis([this] { return TCameraLink::ToHost(m_setup->GetCameraHost()); });
    m_camera->OnChangeConnection = [this](TCamera* camera, bool& handled) {
        UpdateConnection(camera->Connected);
        handled = true;
        tsConnect->CameraUsable(camera->Connected && camera->IsPrivate);
    };

    for (const TMainPages::Entry& entry : pcMain->Entries()) {
        connect(entry.Page, &TfraCameraPage::OnProgress, this, &TfrmMain::OnProgress);
        connect(entry.Page, &TfraCameraPage::OnCommunication, this, &TfrmMain::OnCommunication);
        connect(entry.Page, &TfraCameraPage::OnCameraAnswering, this, [this](bool answering) {
            pnlStatus->SetAnswering(answering);
            showConnectionState();
        });
        if (entry.IsCameraPage())
            entry.Page->SetCamera(m_camera.get());
    }

    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, &TfrmMain::showConnectionState);
    m_keys = std::make_unique<TMainKeys>(*this, *m_setup);
    TranslateForm();
}

TfrmMain::~TfrmMain()
{
    m_keys.reset();
    if (m_camera)
        m_camera->OnChangeConnection = nullptr;
    // The pages hold the camera; they go before it does.
    delete pcMain;
    pcMain = nullptr;
    m_camera.reset();
}

void TfrmMain::SetPreviewWindow(TfrmPreview* window)
{
    FindPage<TfraRemoteControl>()->SetPreviewWindow(window);
}

QWidget* TfrmMain::createPages()
{
    // The one viewer of the run, a window of its own that lives as long as this one.
    auto* viewer = new TfrmViewer(m_setup, this);
    viewer->SetMainWindow(this);
    pcMain = new TMainPages(TPageContext { m_setup, viewer }, pnlPageControl, this);
    tsConnect = pcMain->tsConnect;
    m_running = std::make_unique<TRunningWork>(
        *pcMain, [this](const QString& question) { return AskQuestion(question); },
        std::bind_front(&TfrmMain::communicate, this));
    for (const TMainPages::Entry& entry : pcMain->Entries()) {
        if (entry.Button)
            connect(entry.Button, &QPushButton::clicked, this, [this, sheet = entry.Sheet] {
                if (sheet == m_currentSheet || m_running->StopTimeLapseSeries())
                    ShowTabSheet(sheet);
            });
    }
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

void TfrmMain::ShowPage(const TMainPages::Entry& entry, bool start)
{
    pnlPageControl->ColourButtons(entry.Button);
    pcMain->setCurrentWidget(entry.Sheet);
    if (start)
        entry.Page->GoStart();
    m_currentSheet = entry.Sheet;
}

void TfrmMain::ShowTabSheet(QWidget* sheet)
{
    if (m_busy.ActiveComm() > 0 || !sheet)
        return;
    tsConnect->StopBlinking();
    if (!m_running->CancelLiveImportTransfer())
        return;

    m_busy.Hide();
    pnlPageControl->ShowTitle();

    pcMain->StopPagesExcept(sheet);
    const TMainPages::Entry* entry = pcMain->EntryOn(sheet);
    if (entry && entry->IsCameraPage()) {
        // Only with the camera there; a page that keeps the camera busy needs its private mode.
        if (cameraConnected() && (!entry->StopsOnLeave() || m_camera->IsPrivateMode()))
            ShowPage(*entry, true);
        else if (cameraConnected())
            ShowMessage(rs("_rsPrivateMode"), mkError);
    } else {
        // The start page and the program's own pages; only the start page becomes the current one.
        pnlPageControl->ColourButtons(nullptr);
        pcMain->setCurrentWidget(sheet);
        if (!entry)
            m_currentSheet = sheet;
        if (sheet == tsConnect) {
            const bool connected = cameraConnected();
            tsConnect->ShowConnected(connected);
            btnPowerOff->setEnabled(connected && m_camera->Remote.PowerOff.Enabled);
            btnSyncTime->setEnabled(connected && m_camera->Remote.SetTime.Enabled);
        }
    }

    const TMainPages::Entry* current = pcMain->EntryOn(m_currentSheet);
    const bool clockPage = current && current->StopsOnLeave();
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

void TfrmMain::closeEvent(QCloseEvent* event)
{
    const auto stopCamera = [this] {
        if (m_camera)
            m_camera->Stop();
    };
    if (!m_running->StopTimeLapseSeries() || !m_running->CancelLiveImportTransfer(stopCamera)) {
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
