// The main window against the simulator: the connection text and the pages in each state, page
// switches refused while a page communicates, the live import question, the clock and power-off
// buttons, the busy overlay and the keyboard shortcuts.
#include "app/TfrmMain.h"

#include "app/TfraDebug.h"
#include "app/TfraStartPage.h"
#include "app/TfrmInfo.h"
#include "app/TfrmSettings.h"
#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "base/TLanguageModule.h"
#include "base/TSetup.h"
#include "base/ui/TfrmPreview.h"
#include "common/TestHttpServer.h"
#include "import/TLiveImport.h"
#include "import/ui/TfraLiveImport.h"
#include "import/ui/TfraPhotoImport.h"
#include "import/ui/TfrmInProcessing.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/ui/TfraRemoteControl.h"
#include "remote/ui/TfraRemoteRelease.h"
#include "session/TCamera.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Grabs kept beside the test program for a person to look at; never compared pixel by pixel.
QString artefactPath(const QString& name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/artefacts");
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::Active, QPalette::WindowText);
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(dir.isValid());
        setup.SetStoreFile(dir.filePath(QStringLiteral("settings.ini")));
        camsim::SimServerOptions options;
        options.generatedFiles = 2;
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        setup.CameraHostOverride = QStringLiteral("127.0.0.1:%1").arg(server->port());
    }

    // The window with a monitor that checks every 100 ms; questions answered by answerYes.
    TfrmMain& makeWindow()
    {
        window = std::make_unique<TfrmMain>(
            &setup, [this](const QString& program, const QStringList& arguments) {
                wifiCommands << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
                return true;
            });
        window->AskQuestion = [this](const QString& question) {
            questions << question;
            return answerYes;
        };
        window->ShowMessage = [this](const QString& text, TfrmMain::MessageKind) { messages << text; };
        processing = new TfrmInProcessing(&setup, window.get());
        window->SetProcessingWindow(processing);
        window->Camera()->CheckIntervalMs = 100;
        window->Camera()->CheckTimer.start(10);
        window->show();
        return *window;
    }

    bool waitConnected(bool connected = true)
    {
        return QTest::qWaitFor([&] { return window->Camera()->Connected == connected; }, 10000);
    }

    void TearDown() override
    {
        if (window)
            window->Camera()->Stop();
        window.reset();
    }

    QTemporaryDir dir;
    TSetup setup;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TfrmMain> window;
    TfrmInProcessing* processing = nullptr;
    QStringList wifiCommands;
    QStringList questions;
    QStringList messages;
    bool answerYes = true;
};

TEST_F(MainWindowTest, PrivateConnectionEnablesThePagesAndAGoneCameraDisablesThem)
{
    setup.WLanAutoConnect = true;
    setup.CameraWLanName = QStringLiteral("E-M10-CAM");
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(w.lblConnectionState->text(), QStringLiteral("verbunden mit E-M10"));
    EXPECT_EQ(textColour(w.lblConnectionState), QColor(Qt::white));
    for (QPushButton* button : { w.ButtonOf<TfraPhotoImport>(), w.ButtonOf<TfraLiveImport>(),
             w.ButtonOf<TfraRemoteControl>(), w.ButtonOf<TfraRemoteRelease>() })
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_TRUE(w.btnPowerOff->isEnabled());
    EXPECT_TRUE(w.btnSyncTime->isEnabled());
    EXPECT_TRUE(w.tsConnect->imgConnection->isVisibleTo(w.tsConnect));
    EXPECT_FALSE(w.tsConnect->imgRadio->isVisibleTo(w.tsConnect));

    w.ShowTabSheet(w.SheetOf<TfraPhotoImport>());
    EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraPhotoImport>());
    EXPECT_EQ(w.ButtonOf<TfraPhotoImport>()->palette().color(QPalette::Active, QPalette::ButtonText),
        QColor(Qt::white));

    server->setPower(false);
    ASSERT_TRUE(waitConnected(false));
    EXPECT_EQ(w.lblConnectionState->text(), QStringLiteral("Versuche mit E-M10-CAM zu verbinden..."));
    EXPECT_EQ(textColour(w.lblConnectionState), QColor(Qt::yellow));
    EXPECT_EQ(w.pcMain->currentWidget(), w.tsConnect);
    for (QPushButton* button : { w.ButtonOf<TfraPhotoImport>(), w.ButtonOf<TfraLiveImport>(),
             w.ButtonOf<TfraRemoteControl>(), w.ButtonOf<TfraRemoteRelease>() })
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_FALSE(w.FindPage<TfraPhotoImport>()->isEnabled());
    EXPECT_FALSE(w.btnPowerOff->isEnabled());
    EXPECT_FALSE(w.btnSyncTime->isEnabled());
    // A page button does nothing without a camera.
    w.ButtonOf<TfraPhotoImport>()->setEnabled(true);
    w.ButtonOf<TfraPhotoImport>()->click();
    EXPECT_EQ(w.pcMain->currentWidget(), w.tsConnect);
}

TEST_F(MainWindowTest, EachPageFollowsItsOwnCapability)
{
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    w.Camera()->CheckTimer.stop();
    // Live import and remote release come with the release functions, remote control with the remote
    // ones, photo import with the card's; the debug page is none of the camera's business.
    const struct
    {
        quint8 capabilities;
        bool photoImport, liveImport, remoteControl, remoteRelease;
    } cases[] = { { TCamera::CapRelease, false, true, false, true },
        { TCamera::CapRemote, false, false, true, false },
        { TCamera::CapImport, true, false, false, false } };
    for (const auto& c : cases) {
        w.Camera()->Capabilities = c.capabilities;
        w.UpdateConnection(true);
        const std::string label = "capabilities " + std::to_string(c.capabilities);
        EXPECT_EQ(w.ButtonOf<TfraPhotoImport>()->isEnabled(), c.photoImport) << label;
        EXPECT_EQ(w.FindPage<TfraLiveImport>()->isEnabled(), c.liveImport) << label;
        EXPECT_EQ(w.ButtonOf<TfraLiveImport>()->isEnabled(), c.liveImport) << label;
        EXPECT_EQ(w.ButtonOf<TfraRemoteControl>()->isEnabled(), c.remoteControl) << label;
        EXPECT_EQ(w.ButtonOf<TfraRemoteRelease>()->isEnabled(), c.remoteRelease) << label;
        EXPECT_TRUE(w.FindPage<TfraDebug>()->isEnabled()) << label;
    }
}

TEST_F(MainWindowTest, CameraOutsidePrivateModeKeepsThePagesDisabled)
{
    server->camera().setConnectMode("shared");
    TfrmMain& w = makeWindow();
    EXPECT_EQ(w.lblConnectionState->text(), QStringLiteral("Bitte Verbindung zur Kamera herstellen!"));
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(w.lblConnectionState->text(),
        QStringLiteral("Bitte verwenden Sie die private Verbindung der Kamera!"));
    EXPECT_EQ(textColour(w.lblConnectionState), QColor(Qt::yellow));
    for (QPushButton* button : { w.ButtonOf<TfraPhotoImport>(), w.ButtonOf<TfraLiveImport>(),
             w.ButtonOf<TfraRemoteControl>(), w.ButtonOf<TfraRemoteRelease>() })
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(w.pcMain->currentWidget(), w.tsConnect);

    // Shown directly anyway, the camera's mode is asked and the page refused.
    w.ShowTabSheet(w.SheetOf<TfraRemoteControl>());
    EXPECT_EQ(w.pcMain->currentWidget(), w.tsConnect);
    EXPECT_EQ(messages,
        QStringList({ QStringLiteral("Diese Funktion steht nur im Modus \"private\" zur Verfügung!") }));
}

TEST_F(MainWindowTest, StartPageSaysWhyTheCameraIsNotConnected)
{
    const QString cameraHost = setup.CameraHostOverride;
    setup.CameraHostOverride
        = QStringLiteral("127.0.0.1:%1").arg(lumivar::test::TestHttpServer::closedPort());
    TfrmMain& w = makeWindow();
    QLabel* advice = w.tsConnect->lblAdvice;
    ASSERT_TRUE(QTest::qWaitFor([&] { return advice->isVisibleTo(w.tsConnect); }, 10000));
    EXPECT_TRUE(advice->text().startsWith(QStringLiteral("Keine Verbindung zu 127.0.0.1:")))
        << advice->text().toStdString();
    EXPECT_GE(advice->height(), advice->heightForWidth(advice->width())) << "the whole sentence shows";

    server->camera().setConnectMode("shared");
    setup.CameraHostOverride = cameraHost;
    ASSERT_TRUE(waitConnected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return advice->text().contains(QStringLiteral("\"shared\"")); }, 10000))
        << advice->text().toStdString();

    // Connected in private mode the sentence goes.
    server->camera().setConnectMode("private");
    window->Camera()->Disconnect(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Camera()->Connected && w.Camera()->IsPrivate; }, 10000));
    EXPECT_FALSE(advice->isVisibleTo(w.tsConnect));
}

TEST_F(MainWindowTest, CommunicationKeepsThePageAndBringsTheOverlayAfterAWhile)
{
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    emit w.FindPage<TfraRemoteControl>()->OnCommunication(TCommunication::Begin());
    EXPECT_EQ(w.ActiveComm(), 1);
    EXPECT_FALSE(processing->isVisible()); // not for a short exchange
    w.ButtonOf<TfraPhotoImport>()->click();
    EXPECT_EQ(w.pcMain->currentWidget(), w.tsConnect);

    ASSERT_TRUE(QTest::qWaitFor([&] { return processing->isVisible(); }, 5000));
    EXPECT_EQ(processing->FreeRegions(), QList<QRect>({ w.ProcessingRect() }));
    EXPECT_TRUE(w.ProcessingRect().intersects(w.pcTitle->geometry()));

    // A page names its own free areas; the title area stays free with them.
    const QList<QRect> rects { QRect(100, 100, 200, 150), QRect(400, 300, 50, 50) };
    emit w.FindPage<TfraRemoteControl>()->OnCommunication(TCommunication::NewFreeRegions(rects));
    EXPECT_EQ(processing->FreeRegions(), QList<QRect>({ rects[0], rects[1], w.ProcessingRect() }));

    // A second, nested communication; only the last end hides the overlay.
    emit w.FindPage<TfraRemoteControl>()->OnCommunication(TCommunication::Begin());
    emit w.FindPage<TfraRemoteControl>()->OnCommunication(TCommunication::End());
    EXPECT_TRUE(processing->isVisible());
    emit w.FindPage<TfraRemoteControl>()->OnCommunication(TCommunication::End());
    EXPECT_EQ(w.ActiveComm(), 0);
    EXPECT_FALSE(processing->isVisible());
    // An unmatched end does not drive the count below zero.
    emit w.FindPage<TfraRemoteControl>()->OnCommunication(TCommunication::End());
    EXPECT_EQ(w.ActiveComm(), 0);

    // A page that finds the camera not answering says so in the status bar until it is back.
    const QString connected = w.lblConnectionState->text();
    emit w.FindPage<TfraRemoteControl>()->OnCameraAnswering(false);
    EXPECT_EQ(w.lblConnectionState->text(), QStringLiteral("E-M10 antwortet nicht"));
    emit w.FindPage<TfraRemoteControl>()->OnCameraAnswering(true);
    EXPECT_EQ(w.lblConnectionState->text(), connected);

    w.ButtonOf<TfraPhotoImport>()->click();
    EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraPhotoImport>());
}

TEST_F(MainWindowTest, LeavingARunningLiveImportAsksFirst)
{
    QTemporaryDir downloads;
    setup.SetDownloadDirectory(downloads.path());
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    w.ButtonOf<TfraLiveImport>()->click();
    ASSERT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraLiveImport>());
    TLiveImport* live = w.FindPage<TfraLiveImport>()->LiveImport();
    ASSERT_NE(live, nullptr);
    live->SetPollInterval(20);

    // The user leaves while a movie comes in: the question comes from inside the copy's wait.
    bool asked = false;
    QObject::connect(live, &TLiveImport::BytesReceived, [&](qint64 received, qint64 expected) {
        if (asked || received <= 0 || received >= expected)
            return;
        asked = true;
        EXPECT_TRUE(w.FindPage<TfraLiveImport>()->IsTransferring());
        answerYes = false;
        w.ButtonOf<TfraPhotoImport>()->click();
        EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraLiveImport>());
        EXPECT_EQ(questions,
            QStringList({ QStringLiteral("Der Live-Import überträgt gerade Daten.\n"
                                         "Möchten Sie diese Übertragung abbrechen?") }));
        EXPECT_TRUE(w.FindPage<TfraLiveImport>()->IsTransferring());

        // Yes: the transfer is cancelled, its end awaited, then the page changes.
        answerYes = true;
        w.ButtonOf<TfraPhotoImport>()->click();
        EXPECT_FALSE(w.FindPage<TfraLiveImport>()->IsTransferring());
        EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraPhotoImport>());
    });
    server->card().addShot("MOV", server->clock(), server->camera().shotInfo(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked; }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->IsDownloading(); }, 30000));
    EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraPhotoImport>());
    EXPECT_EQ(live->DownloadedCount(), 0);
    EXPECT_TRUE(QDir(downloads.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(w.ActiveComm(), 0);
}

TEST_F(MainWindowTest, ClockButtonIsOffOnTheLiveViewPagesAndTheClockIsSet)
{
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    ASSERT_TRUE(w.Camera()->Remote.SetTime.Enabled);
    EXPECT_TRUE(w.btnSyncTime->isEnabled());
    for (QPushButton* button :
        { w.ButtonOf<TfraLiveImport>(), w.ButtonOf<TfraRemoteControl>(), w.ButtonOf<TfraRemoteRelease>() }) {
        button->click();
        EXPECT_FALSE(w.btnSyncTime->isEnabled()) << button->objectName().toStdString();
    }
    w.ButtonOf<TfraPhotoImport>()->click();
    EXPECT_TRUE(w.btnSyncTime->isEnabled());

    w.btnSyncTime->click();
    EXPECT_EQ(messages, QStringList({ QStringLiteral("Die Kamerazeit wurde erfolgreich synchronisiert.") }));
    EXPECT_FALSE(w.Camera()->Remote.SetTime.LastUtcTime.isEmpty());
    EXPECT_EQ(w.ActiveComm(), 0);
}

TEST_F(MainWindowTest, PowerOffAnsweredWith202DisablesPowerAndClock)
{
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    ASSERT_TRUE(w.btnPowerOff->isEnabled());

    answerYes = false;
    w.btnPowerOff->click();
    EXPECT_EQ(questions, QStringList({ QStringLiteral("Möchten Sie die Kamera wirklich ausschalten?") }));
    EXPECT_TRUE(server->camera().powered());

    answerYes = true;
    w.btnPowerOff->click();
    EXPECT_FALSE(server->camera().powered());
    EXPECT_FALSE(w.btnPowerOff->isEnabled());
    EXPECT_FALSE(w.btnSyncTime->isEnabled());
    EXPECT_FALSE(w.Camera()->Connected);
    EXPECT_EQ(w.lblConnectionState->text(), QStringLiteral("Bitte Verbindung zur Kamera herstellen!"));
    EXPECT_EQ(w.ActiveComm(), 0);
}

TEST_F(MainWindowTest, CtrlAltShiftLSavesTheLogOutsideDebugModeAndShowsLiveImportInside)
{
    const Qt::KeyboardModifiers keys = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    {
        TfrmMain& w = makeWindow();
        int dialogs = 0;
        w.FindPage<TfraDebug>()->ChooseSaveFile = [&](QWidget*, const QString&, const QString&) {
            ++dialogs;
            return QString();
        };
        QTest::keyRelease(&w, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier); // not all three held
        EXPECT_EQ(dialogs, 0);
        QTest::keyRelease(w.pcMain, Qt::Key_L, keys);
        EXPECT_EQ(dialogs, 1);
        QTest::keyRelease(&w, Qt::Key_T, keys); // the debug page is for debug mode only
        EXPECT_EQ(w.pcMain->currentWidget(), w.tsConnect);
        window->Camera()->Stop();
        window.reset();
    }

    setup.DebugMode = true;
    server->setPower(false); // no camera needed to look at a page
    TfrmMain& w = makeWindow();
    int dialogs = 0;
    w.FindPage<TfraDebug>()->ChooseSaveFile = [&](QWidget*, const QString&, const QString&) {
        ++dialogs;
        return QString();
    };
    QTest::keyRelease(&w, Qt::Key_L, keys);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraLiveImport>());
    EXPECT_TRUE(w.FindPage<TfraLiveImport>()->isEnabled());
    EXPECT_TRUE(w.ButtonOf<TfraLiveImport>()->isEnabled());
    QTest::keyRelease(&w, Qt::Key_T, keys);
    EXPECT_EQ(w.pcMain->currentWidget(), w.SheetOf<TfraDebug>());
}

TEST_F(MainWindowTest, ClosingSavesTheSettingsAndReturnsToTheHomeNetwork)
{
    setup.WLanAutoConnect = true;
    setup.HomeWLanName = QStringLiteral("Home");
    setup.HomeWLanSSID = QStringLiteral("HomeNet");
    setup.LiveViewPort = 31000;
    QTemporaryDir downloads;
    setup.SetDownloadDirectory(downloads.path());
    TfrmMain& w = makeWindow();
    ASSERT_TRUE(waitConnected());
    w.ButtonOf<TfraLiveImport>()->click();
    TLiveImport* live = w.FindPage<TfraLiveImport>()->LiveImport();
    ASSERT_NE(live, nullptr);
    live->SetPollInterval(20);
    // Closing while a movie comes in.
    bool closed = false;
    QObject::connect(live, &TLiveImport::BytesReceived, [&](qint64 received, qint64 expected) {
        if (closed || received <= 0 || received >= expected)
            return;
        closed = true;
        answerYes = false;
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(QFile::exists(setup.StoreFile()));

        answerYes = true;
        wifiCommands.clear();
        EXPECT_TRUE(w.close());
        EXPECT_TRUE(w.Camera()->Stopped);
        EXPECT_FALSE(w.FindPage<TfraLiveImport>()->IsTransferring());
    });
    server->card().addShot("MOV", server->clock(), server->camera().shotInfo(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->IsDownloading(); }, 30000));
    EXPECT_EQ(wifiCommands, QStringList({ QStringLiteral("nmcli connection up id Home") }));
    TSetup stored;
    stored.SetStoreFile(setup.StoreFile());
    stored.Load();
    EXPECT_EQ(stored.LiveViewPort, 31000);
}

TEST_F(MainWindowTest, StartPagePicturesFollowThePageWidth)
{
    server->setPower(false);
    TfrmMain& w = makeWindow();
    w.resize(1250, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.tsConnect->width() == 1250; }, 5000));
    const int side = 500; // 1250 / 2.5
    EXPECT_EQ(w.tsConnect->imgCamera->width(), side);
    EXPECT_EQ(w.tsConnect->imgNotebook->width(), side);
    EXPECT_EQ(w.tsConnect->imgNotebook->x() + w.tsConnect->imgNotebook->width(), 1250 - 24);
    EXPECT_EQ(w.tsConnect->imgRadio->x(), w.tsConnect->imgCamera->x() + side);
    EXPECT_EQ(w.tsConnect->imgRadio->x() + w.tsConnect->imgRadio->width(), w.tsConnect->imgNotebook->x());
    EXPECT_EQ(w.tsConnect->imgConnection->x(), w.tsConnect->imgCamera->x() + side - side * 36 / 400);
    EXPECT_EQ(w.tsConnect->imgConnection->x() + w.tsConnect->imgConnection->width(),
        w.tsConnect->imgNotebook->x() + side * 36 / 400);
    // Without a camera the radio blinks and the link is hidden.
    EXPECT_FALSE(w.tsConnect->imgConnection->isVisibleTo(w.tsConnect));
    EXPECT_TRUE(w.tsConnect->tmrImageRadio.isActive());
}

TEST_F(MainWindowTest, EnglishFileCoversTheWindowTexts)
{
    TLanguageModule languages(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages"));
    TLanguageModule::SetInstance(&languages);
    ASSERT_TRUE(languages.SelectLanguage(1033));
    TfrmMain& w = makeWindow();
    TfrmPreview preview;
    EXPECT_EQ(w.ButtonOf<TfraPhotoImport>()->text(), QStringLiteral("Photo import"));
    EXPECT_EQ(w.ButtonOf<TfraLiveImport>()->text(), QStringLiteral("Live import"));
    EXPECT_EQ(w.ButtonOf<TfraRemoteControl>()->text(), QStringLiteral("Remote control"));
    EXPECT_EQ(w.ButtonOf<TfraRemoteRelease>()->text(), QStringLiteral("Remote release"));
    EXPECT_EQ(w.btnPowerOff->toolTip(), QStringLiteral("Switch the camera off"));
    EXPECT_EQ(w.btnSyncTime->toolTip(), QStringLiteral("Synchronize the camera time"));
    EXPECT_EQ(processing->lblClose->text(), QStringLiteral("Close  X"));
    EXPECT_EQ(preview.lblClose->text(), QStringLiteral("Close  X"));
    EXPECT_EQ(w.FindPage<TfraRemoteRelease>()->lblLastTakeInfoCaption->text(), QStringLiteral("Last shot"));
    EXPECT_EQ(w.FindPage<TfraRemoteRelease>()->btnTake->toolTip(), QStringLiteral("Release the shutter"));
    EXPECT_EQ(w.FindPage<TfraLiveImport>()->lblTargetDir->text(), QStringLiteral("Target folder"));
    EXPECT_EQ(w.FindPage<TfraLiveImport>()->btnAutoView->toolTip(),
        QStringLiteral("Show the image viewer automatically"));
    // Every caption and hint of the remote control page with a word in it changes with the language.
    const auto pageTexts = [&w] {
        QHash<QString, QString> texts;
        for (const QWidget* child : w.FindPage<TfraRemoteControl>()->findChildren<QWidget*>()) {
            if (child->objectName().isEmpty()
                || w.FindPage<TfraRemoteControl>()->fraLiveView->isAncestorOf(child))
                continue;
            for (const char* property : { "text", "toolTip" }) {
                const QString text = child->property(property).toString();
                if (text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2}"))))
                    texts.insert(child->objectName() + u'.' + QLatin1String(property), text);
            }
        }
        return texts;
    };
    const QHash<QString, QString> english = pageTexts();
    languages.SelectLanguage(TLanguageModule::GermanId);
    EXPECT_EQ(w.ButtonOf<TfraPhotoImport>()->text(), QStringLiteral("Fotoimport"));
    const QHash<QString, QString> german = pageTexts();
    // The same word in both languages.
    const QStringList same = { QStringLiteral("lblZoom.text"), QStringLiteral("pnlStart.text") };
    for (auto it = german.cbegin(); it != german.cend(); ++it) {
        if (!same.contains(it.key())) {
            EXPECT_NE(english.value(it.key()), it.value()) << it.key().toStdString();
        }
    }
    TLanguageModule::SetInstance(nullptr);
}

// The windows as a person sees them: main window without and with the camera, settings and info.
TEST_F(MainWindowTest, GrabsOfTheWindowsAreKeptAsArtefacts)
{
    TfrmMain& w = makeWindow();
    w.resize(w.minimumSize());
    const QImage absent = w.grab().toImage();
    EXPECT_EQ(absent.size(), w.size());
    EXPECT_TRUE(absent.save(artefactPath(QStringLiteral("main-not-connected.png"))));
    ASSERT_TRUE(waitConnected());
    QTest::qWait(50);
    EXPECT_TRUE(w.grab().toImage().save(artefactPath(QStringLiteral("main-connected.png"))));

    TfrmSettings settings(&setup);
    settings.show();
    EXPECT_TRUE(settings.grab().toImage().save(artefactPath(QStringLiteral("settings.png"))));
    TfrmInfo info;
    info.show();
    EXPECT_TRUE(info.grab().toImage().save(artefactPath(QStringLiteral("info.png"))));
}

} // namespace
