// The remote control page against the simulator: the program mode enables its choices and moves the
// art filter list in, the hue picker snaps and sends the camera's step, lens limits cut the aperture
// list and the -/+ buttons still work after a frame cleared the selection, zoom sends one move and
// one stop, the touch function cycles through its states, and a property the camera refuses is named
// on the page without leaving anything disabled.
#include "remote/ui/TfraRemoteControl.h"

#include "base/AppTexts.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/ui/TColorPhasePicker.h"
#include "session/TCamera.h"
#include "sim/SimJpeg.h"
#include "sim/SimServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>

namespace {

// A frame's camera information with the lens limits and the aperture in tenths.
TMetaData lensInformation(qint32 lower, qint32 upper, qint32 aperture)
{
    QByteArray b(192, '\0');
    b[1] = 1;
    b[3] = char((192 - 4) / 4);
    const auto put32 = [&b](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = char(v >> (24 - 8 * i));
    };
    put32(96, quint32(upper));
    put32(100, quint32(lower));
    put32(104, quint32(aperture));
    TMetaData m;
    m.Assign(b);
    return m;
}

class RemoteControlPageTest : public ::testing::Test
{
protected:
    void start(const std::string& profile = "e-m10")
    {
        RegisterAppTexts();
        ASSERT_TRUE(settingsDir.isValid());
        setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        setup.LiveViewPort = 0;
        camsim::SimServerOptions options;
        options.profile = profile;
        options.generatedFiles = 2;
        options.requestLog = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(logMutex);
            requests << QString::fromStdString(line);
        };
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server->port())), QStringLiteral("CAM"),
            false, QString(), [](const QString&, const QStringList&) { return true; });
        camera->OnChangeConnection = [](TCamera*, bool& handled) { handled = true; };
        camera->CheckTimer.start(10);
        ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
        // No connection check between the steps of a test.
        camera->CheckTimer.stop();
        camera->Remote.CameraMode.SwitchPauseMs = 0;
        page = std::make_unique<TfraRemoteControl>();
        page->SetSetup(&setup);
        page->resize(1100, 700);
        page->show();
        QObject::connect(page.get(), &TfraCameraPage::OnCommunication,
            [this](QObject*, int kind, int, const QList<QRect>&) {
                if (kind == ceStart)
                    ++open;
                else if (kind == ceStop) {
                    --open;
                    EXPECT_GE(open, 0) << "an end without its begin";
                }
            });
        page->SetCamera(camera.get());
        page->GoStart();
        ASSERT_EQ(open, 0);
        ASSERT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeRec);
    }

    void TearDown() override
    {
        if (page)
            page->GoStop();
        EXPECT_EQ(open, 0) << "a begin without its end";
        page.reset();
        if (camera)
            camera->Stop();
        camera.reset();
        server.reset();
    }

    // The live view's frames would select in the choices meanwhile; the camera stays in recording mode.
    void stopFrames()
    {
        ASSERT_TRUE(page->fraLiveView->StopLiveView());
        QTest::qWait(20);
        ASSERT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeRec);
    }

    // The user picks an entry of a choice.
    static void pick(QComboBox* choice, const QString& text)
    {
        const int index = choice->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        choice->setCurrentIndex(index);
        emit choice->activated(index);
    }

    // The mouse on a button, each event on its own (no double click made of two tests' presses).
    static void press(QWidget* w) { mouse(w, QEvent::MouseButtonPress); }
    static void release(QWidget* w) { mouse(w, QEvent::MouseButtonRelease); }
    static void mouse(QWidget* w, QEvent::Type type)
    {
        const QPointF at = QRectF(w->rect()).center();
        QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }

    // The camera's current value as it answers now.
    QString cameraValue(const char* property)
    {
        TCameraParam* p = camera->Remote.Params.Find(QString::fromLatin1(property));
        EXPECT_NE(p, nullptr);
        if (!p)
            return {};
        EXPECT_TRUE(p->Refresh());
        return p->RawValue;
    }

    int requestCount(const QString& part)
    {
        std::lock_guard<std::mutex> lock(logMutex);
        int n = 0;
        for (const QString& line : requests)
            n += line.contains(part) ? 1 : 0;
        return n;
    }

    QRect inPage(QWidget* w) const { return QRect(w->mapTo(page.get(), QPoint(0, 0)), w->size()); }

    QTemporaryDir settingsDir;
    TSetup setup;
    std::mutex logMutex;
    QStringList requests;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCamera> camera;
    std::unique_ptr<TfraRemoteControl> page;
    int open = 0;
};

TEST_F(RemoteControlPageTest, ProgramModesEnableTheirChoicesAndArtMovesTheList)
{
    start();
    stopFrames();
    ASSERT_EQ(page->cbxProgramMode->currentText(), QStringLiteral("A"));
    EXPECT_TRUE(page->cbxProgramMode->isEnabled());
    EXPECT_TRUE(page->cbxAperture->isEnabled());
    EXPECT_TRUE(page->btnApertureUp->isEnabled());
    EXPECT_FALSE(page->cbxShutterSpeed->isEnabled());
    EXPECT_FALSE(page->btnShutterSpeedDown->isEnabled());
    EXPECT_TRUE(page->cbxExposureCompensation->isEnabled());
    EXPECT_TRUE(page->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->cbxWhiteBalance->isEnabled());
    EXPECT_FALSE(page->cbxArtFilter->isVisible());
    // The camera lets these be read only: shown, not changeable.
    EXPECT_GT(page->cbxNoiseReduction->count(), 0);
    EXPECT_FALSE(page->cbxNoiseReduction->isEnabled());
    // The drive mode is "continuous-L": held shooting.
    EXPECT_TRUE(page->IsSequentialMode());

    pick(page->cbxProgramMode, QStringLiteral("M"));
    EXPECT_EQ(cameraValue("takemode"), QStringLiteral("M"));
    EXPECT_EQ(page->cbxProgramMode->currentText(), QStringLiteral("M"));
    EXPECT_TRUE(page->cbxAperture->isEnabled());
    EXPECT_TRUE(page->cbxShutterSpeed->isEnabled());
    EXPECT_TRUE(page->btnShutterSpeedUp->isEnabled());
    EXPECT_FALSE(page->cbxExposureCompensation->isEnabled());
    EXPECT_FALSE(page->btnExposureCompensationUp->isEnabled());
    EXPECT_TRUE(page->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->cbxWhiteBalance->isEnabled());

    const QRect modeBefore = inPage(page->cbxProgramMode);
    pick(page->cbxProgramMode, QStringLiteral("ART"));
    EXPECT_EQ(cameraValue("takemode"), QStringLiteral("ART"));
    EXPECT_FALSE(page->cbxAperture->isEnabled());
    EXPECT_FALSE(page->cbxISOSensitivity->isEnabled());
    ASSERT_TRUE(page->cbxArtFilter->isVisible());
    EXPECT_TRUE(page->cbxArtFilter->isEnabled());
    EXPECT_GT(page->cbxArtFilter->count(), 0);
    QTest::qWait(0); // the layout places the list that just appeared
    const QRect art = inPage(page->cbxArtFilter);
    const QRect mode = inPage(page->cbxProgramMode);
    EXPECT_EQ(mode.left(), art.left() + art.width() + 10);
    EXPECT_EQ(mode.right(), inPage(page->cbxWhiteBalance).right());
    EXPECT_EQ(art.left(), modeBefore.left());
    EXPECT_FALSE(page->cpiColorPhase->isVisible());

    pick(page->cbxProgramMode, QStringLiteral("P"));
    EXPECT_FALSE(page->cbxArtFilter->isVisible());
    QTest::qWait(0);
    EXPECT_EQ(inPage(page->cbxProgramMode).left(), inPage(page->cbxWhiteBalance).left());
    EXPECT_EQ(page->PropertyError(), QString());
}

TEST_F(RemoteControlPageTest, HuePickerSnapsAndSendsTheCameraStep)
{
    start("omd-v260");
    stopFrames();
    pick(page->cbxProgramMode, QStringLiteral("ART"));
    ASSERT_TRUE(page->cbxArtFilter->isVisible());
    pick(page->cbxArtFilter, rs("_rsARTPartColor"));
    EXPECT_EQ(cameraValue("artfilter"), QStringLiteral("partcolor"));
    ASSERT_TRUE(page->cpiColorPhase->isVisible());
    // The camera's "step0" shows as 60 degrees.
    EXPECT_EQ(page->cpiColorPhase->Hue(), 60);

    page->cpiColorPhase->SetHue(135);
    page->SetColorPhase();
    EXPECT_EQ(page->cpiColorPhase->Hue(), 140);
    EXPECT_EQ(cameraValue("colorphase"), QStringLiteral("step14"));

    page->cpiColorPhase->SetHue(355);
    page->SetColorPhase();
    EXPECT_EQ(page->cpiColorPhase->Hue(), 360);
    EXPECT_EQ(cameraValue("colorphase"), QStringLiteral("step3"));

    // The arrow key moves one step of 20 and its release sends it.
    page->cpiColorPhase->SetHue(120);
    page->cpiColorPhase->setFocus();
    QTest::keyClick(page->cpiColorPhase, Qt::Key_Right);
    EXPECT_EQ(page->cpiColorPhase->Hue(), 140);
    EXPECT_EQ(cameraValue("colorphase"), QStringLiteral("step14"));

    // Another filter hides the picker.
    pick(page->cbxArtFilter, rs("_rsARTVintage"));
    EXPECT_FALSE(page->cpiColorPhase->isVisible());
}

TEST_F(RemoteControlPageTest, LensLimitsCutTheApertureListAndButtonsFollowTheLastChoice)
{
    start();
    stopFrames();
    const QByteArray jpeg = QByteArray::fromStdString(camsim::SimJpeg::still(640, 480, 7, 80));
    const int full = int(camera->Remote.Params.Find(QStringLiteral("focalvalue"))->DisplayValues.size());

    page->fraLiveView->ShowFrame(jpeg, lensInformation(28, 220, 80));
    EXPECT_EQ(page->AppliedLowerLimit(), 28);
    EXPECT_EQ(page->AppliedUpperLimit(), 220);
    ASSERT_EQ(page->cbxAperture->itemText(0), QStringLiteral("2.8"));
    EXPECT_EQ(page->cbxAperture->itemText(page->cbxAperture->count() - 1), QStringLiteral("22"));
    EXPECT_LT(page->cbxAperture->count(), full);
    EXPECT_EQ(camera->Remote.Params.Find(QStringLiteral("focalvalue"))->MinLimit, 28);

    pick(page->cbxAperture, QStringLiteral("8.0"));
    EXPECT_EQ(cameraValue("focalvalue"), QStringLiteral("8.0"));
    const int chosen = page->LastApertureIndex();
    ASSERT_EQ(chosen, page->cbxAperture->findText(QStringLiteral("8.0")));

    // A frame with an aperture the list lacks clears the selection.
    page->fraLiveView->ShowFrame(jpeg, lensInformation(28, 220, 75));
    ASSERT_EQ(page->cbxAperture->currentIndex(), -1);
    page->btnApertureDown->click();
    EXPECT_EQ(page->cbxAperture->currentText(), QStringLiteral("7.1"));
    EXPECT_EQ(cameraValue("focalvalue"), QStringLiteral("7.1"));

    page->fraLiveView->ShowFrame(jpeg, lensInformation(28, 220, 75));
    ASSERT_EQ(page->cbxAperture->currentIndex(), -1);
    page->btnApertureUp->click();
    EXPECT_EQ(page->cbxAperture->currentText(), QStringLiteral("2.8"));
    EXPECT_EQ(cameraValue("focalvalue"), QStringLiteral("2.8"));
}

TEST_F(RemoteControlPageTest, ZoomPressAndReleaseSendOneMoveAndOneStop)
{
    start();
    ASSERT_TRUE(camera->Remote.CtrlZoom.Enabled);
    std::cerr << "DBG " << page->btnZoomOut->isVisible() << page->btnZoomOut->isEnabled() << " "
              << page->btnZoomOut->mapTo(page.get(), QPoint()).x() << ","
              << page->btnZoomOut->mapTo(page.get(), QPoint()).y() << " w" << page->width() << "x"
              << page->height() << " upd" << page->IsUpdating() << page->fraLiveView->IsUpdatingChoices()
              << std::endl;
    press(page->btnZoomOut);
    EXPECT_EQ(camera->Remote.CtrlZoom.LastMove, TCtrlZoomAction::WideMove);
    release(page->btnZoomOut);
    EXPECT_EQ(camera->Remote.CtrlZoom.LastMove, TCtrlZoomAction::Off);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("move=off")) >= 1; }, 5000));
    EXPECT_EQ(requestCount(QStringLiteral("move=widemove")), 1);
    EXPECT_EQ(requestCount(QStringLiteral("move=off")), 1);

    press(page->btnZoomIn);
    release(page->btnZoomIn);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("move=off")) >= 2; }, 5000));
    EXPECT_EQ(requestCount(QStringLiteral("move=telemove")), 1);
    EXPECT_EQ(requestCount(QStringLiteral("move=off")), 2);
    EXPECT_EQ(requestCount(QStringLiteral("ctrlzoom")), 4);
}

TEST_F(RemoteControlPageTest, TouchFunctionCyclesFocusPointReleaseAndSetPoint)
{
    start();
    stopFrames();
    ASSERT_EQ(page->TouchState(), 0);
    page->imgLiveViewMouseDown(320, 240);
    EXPECT_EQ(page->TouchState(), 2);
    EXPECT_EQ(camera->Remote.AssignAFFrame.AFFocus, QStringLiteral("ok"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("assignafframe")) == 1; }, 5000));

    // A set point gives the frame back to the camera.
    page->btnTouchMode->click();
    EXPECT_EQ(page->TouchState(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("releaseafframe")) >= 1; }, 5000));

    page->btnTouchMode->click();
    EXPECT_EQ(page->TouchState(), 1);
    page->btnTouchMode->click();
    EXPECT_EQ(page->TouchState(), 0);

    // In release mode a click takes the picture at the point (single shots only; the camera's
    // continuous drive mode goes through held shooting).
    pick(page->cbxDriveMode,
        camera->Remote.Params.Find(QStringLiteral("drivemode"))
            ->Dictionary.ValueOf(QStringLiteral("normal")));
    ASSERT_FALSE(page->IsSequentialMode());
    page->btnTouchMode->click();
    ASSERT_EQ(page->TouchState(), 1);
    page->imgLiveViewMouseDown(100, 80);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("com=starttake")) == 1; }, 5000));
    EXPECT_EQ(requestCount(QStringLiteral("assignafframe")), 1);
    EXPECT_EQ(page->TouchState(), 1);
}

TEST_F(RemoteControlPageTest, RefusedPropertyIsNamedReReadAndLeavesThePageUsable)
{
    start();
    stopFrames();
    ASSERT_EQ(page->cbxISOSensitivity->currentText(), QStringLiteral("800"));
    // Every answer of the camera is a 520 for a moment.
    camsim::SimFaultSettings faults;
    faults.errorRate = 1;
    server->setFaults(faults);
    pick(page->cbxISOSensitivity, QStringLiteral("1600"));
    server->setFaults({});
    EXPECT_EQ(open, 0);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(page->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->btnISOSensitivityUp->isEnabled());
    EXPECT_TRUE(page->cbxAperture->isEnabled());
    EXPECT_TRUE(page->PropertyError().contains(QStringLiteral("ISO-Empfindlichkeit")))
        << page->PropertyError().toStdString();
    EXPECT_TRUE(page->PropertyError().contains(QStringLiteral("1600")));
    EXPECT_EQ(page->fraLiveView->lblErrorMsg->text(), page->PropertyError());
    EXPECT_FALSE(page->fraLiveView->lblErrorMsg->isHidden());

    // The next change the camera takes clears the message.
    pick(page->cbxISOSensitivity, QStringLiteral("1250"));
    EXPECT_EQ(cameraValue("isospeedvalue"), QStringLiteral("1250"));
    EXPECT_EQ(page->PropertyError(), QString());
    EXPECT_TRUE(page->fraLiveView->lblErrorMsg->isHidden());

    // The camera refuses an aperture in P: the choice shows the camera's value again.
    pick(page->cbxAperture, QStringLiteral("8.0"));
    const QString aperture = cameraValue("focalvalue");
    ASSERT_EQ(aperture, QStringLiteral("8.0"));
    pick(page->cbxProgramMode, QStringLiteral("P"));
    ASSERT_FALSE(page->cbxAperture->isEnabled());
    const int other = page->cbxAperture->findText(QStringLiteral("5.6"));
    ASSERT_GE(other, 0);
    page->cbxAperture->setCurrentIndex(other);
    EXPECT_FALSE(page->SetParamValue(QStringLiteral("focalvalue"), page->cbxAperture));
    EXPECT_EQ(open, 0);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(page->PropertyError().contains(QStringLiteral("Blende")));
    EXPECT_EQ(page->cbxAperture->currentText(), aperture);
    EXPECT_EQ(cameraValue("focalvalue"), aperture);
    EXPECT_TRUE(page->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->cbxProgramMode->isEnabled());
}

TEST_F(RemoteControlPageTest, AutomaticPreviewAndDownloadAreStoredAndPageButtonsWalk)
{
    start();
    ASSERT_FALSE(page->IsAutoDownload());
    EXPECT_TRUE(page->btnDownloadLastTake->isEnabled());
    page->btnAutoDownload->click();
    EXPECT_TRUE(page->IsAutoDownload());
    EXPECT_FALSE(page->btnDownloadLastTake->isEnabled());
    page->btnAutoPreview->click();
    EXPECT_FALSE(page->btnLastPreview->isEnabled());
    TSetup stored;
    stored.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
    stored.Load();
    EXPECT_TRUE(stored.AutoDownload);
    EXPECT_TRUE(stored.AutoPreview);
    page->btnAutoPreview->click();
    EXPECT_TRUE(page->btnLastPreview->isEnabled());
    EXPECT_FALSE(setup.AutoPreview);

    EXPECT_EQ(page->pcCameraProperties->currentWidget(), page->tsGeneral);
    EXPECT_FALSE(page->btnPrevParams->isVisible());
    page->btnNextParams->click();
    page->btnNextParams->click();
    EXPECT_EQ(page->pcCameraProperties->currentWidget(), page->tsTimelapse);
    EXPECT_FALSE(page->btnNextParams->isVisible());
    EXPECT_TRUE(page->btnPrevParams->isVisible());
    page->btnPrevParams->click();
    EXPECT_EQ(page->pcCameraProperties->currentWidget(), page->tsAdditional);
    EXPECT_TRUE(page->btnNextParams->isVisible());
}

} // namespace
