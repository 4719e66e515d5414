// The live view panel fed by the simulator: frames shown, a resolution change while running, the
// shutter-mode receiver, and the camera going away mid-stream and coming back.
#include "liveview/ui/LiveViewPanelFixture.h"

#include "common/SimulatedCamera.h"
#include "liveview/TMjpegServer.h"
#include "liveview/ui/TLiveViewStatusLine.h"

#include <QTcpServer>

TEST_F(LiveViewPanelTest, LiveViewFromTheSimulatorAndAResolutionChangeWhileRunning)
{
    camsim::SimServerOptions options;
    options.profile = "omd-v260"; // offers 1280 x 960 besides 640 x 480
    SimulatedCamera sim;
    ASSERT_TRUE(sim.Start(options, QString()));
    TCamera& camera = *sim.camera;

    setup.LiveViewPort = 0;
    panel.SetCamera(&camera, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_GT(panel.cbxLVResolution->count(), 1);
    EXPECT_EQ(panel.cbxLVResolution->findText(QStringLiteral("320 x 240")), -1);
    QSize resized;
    panel.OnResized = [&](TfraLiveView*, int w, int h) { resized = QSize(w, h); };
    ASSERT_TRUE(panel.StartLiveView(2, 0)) << panel.lblErrorMsg->text().toStdString();
    EXPECT_EQ(
        resized, QSize(camera.Remote.CameraMode.LiveViewWidth, camera.Remote.CameraMode.LiveViewHeight));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() >= 3; }, 10000));
    EXPECT_EQ(panel.imgLiveView32->Bitmap().size(), resized);

    const int other = panel.cbxLVResolution->currentIndex() == 0 ? 1 : 0;
    const QString caption = panel.cbxLVResolution->itemText(other);
    emit panel.cbxLVResolution->activated(other);
    const qsizetype at = camera.Remote.CameraMode.LiveViewSizeTexts().indexOf(caption);
    ASSERT_GE(at, 0);
    EXPECT_EQ(setup.LiveViewSize, camera.Remote.CameraMode.LiveViewSizes()[at]);
    EXPECT_EQ(camera.Remote.CameraMode.LiveViewSize, setup.LiveViewSize);
    EXPECT_EQ(camera.Remote.LiveView.LiveViewState, 1);
    const quint64 before = panel.FramesShown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() >= before + 3; }, 10000));
    EXPECT_EQ(panel.imgLiveView32->Bitmap().size(),
        QSize(camera.Remote.CameraMode.LiveViewWidth, camera.Remote.CameraMode.LiveViewHeight));
    EXPECT_TRUE(panel.StopLiveView());
    camera.Stop();
}

// With the setting on, the frames are handed on to other programs while live view runs, and the
// status line says where; a taken port leaves live view running and says so instead.
TEST_F(LiveViewPanelTest, LiveViewHandedOnWhileItRunsWithTheAddressInTheStatusLine)
{
    SimulatedCamera sim;
    ASSERT_TRUE(sim.Start({}, QString()));
    TCamera& camera = *sim.camera;
    setup.LiveViewPort = 0;
    setup.LiveViewServe = true;
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    setup.LiveViewServePort = taken.serverPort();
    panel.SetCamera(&camera, nullptr, nullptr, nullptr, nullptr, nullptr);
    QLabel* serving = panel.StatusLine->lblServing;

    ASSERT_TRUE(panel.StartLiveView(2, 0)) << panel.lblErrorMsg->text().toStdString();
    EXPECT_EQ(panel.Server(), nullptr);
    EXPECT_TRUE(serving->isVisibleTo(&panel));
    EXPECT_TRUE(serving->text().contains(QString::number(taken.serverPort())))
        << serving->text().toStdString();
    EXPECT_TRUE(panel.StopLiveView());
    EXPECT_FALSE(serving->isVisibleTo(&panel));

    taken.close();
    ASSERT_TRUE(panel.StartLiveView(2, 0)) << panel.lblErrorMsg->text().toStdString();
    ASSERT_NE(panel.Server(), nullptr);
    EXPECT_EQ(panel.Server()->Port(), setup.LiveViewServePort);
    EXPECT_TRUE(panel.Server()->Address().isLoopback());
    EXPECT_TRUE(serving->isVisibleTo(&panel));
    EXPECT_TRUE(serving->text().contains(panel.Server()->Url())) << serving->text().toStdString();
    const quint64 shown = panel.FramesShown();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() >= shown + 3; }, 10000));
    EXPECT_GE(panel.Server()->PicturesPublished(), 3u);
    EXPECT_TRUE(panel.StopLiveView());
    EXPECT_EQ(panel.Server(), nullptr);
    EXPECT_FALSE(serving->isVisibleTo(&panel));
    camera.Stop();
}

// The remote release page's debug live view: frames of the shutter-mode receiver are shown as well.
TEST_F(LiveViewPanelTest, ShutterModeFramesAreShown)
{
    SimulatedCamera sim;
    ASSERT_TRUE(sim.Start({}, QString()));
    TCamera& camera = *sim.camera;
    panel.SetCamera(&camera, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!camera.Remote.ReleaseView.Enabled)
        GTEST_SKIP() << "profile without shutter-mode live view";
    ASSERT_TRUE(panel.StartLiveView(4, 0)) << panel.lblErrorMsg->text().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() >= 3; }, 10000));
    EXPECT_TRUE(panel.StopLiveView());
    EXPECT_FALSE(panel.StartLiveView(3, 0));
    camera.Stop();
}

// The camera switched off mid-stream: the panel keeps the last good picture, the stop the camera
// no longer answers shows its error, and once the camera is back a restarted stream shows frames
// and clears the error.
TEST_F(LiveViewPanelTest, CameraGoingAwayMidStreamKeepsThePictureAndARestartShowsFramesAgain)
{
    camsim::SimServerOptions options;
    options.switchOffMs = 600000; // stays in the phase where connections are closed unanswered
    SimulatedCamera sim;
    ASSERT_TRUE(sim.Start(options, QString()));
    camsim::SimServer& server = *sim.server;
    TCamera& camera = *sim.camera;
    setup.LiveViewPort = 0;
    panel.SetCamera(&camera, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(panel.StartLiveView(2, 0)) << panel.lblErrorMsg->text().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() >= 3; }, 10000));

    server.setPower(false);
    // Let the frames already on their way arrive; then nothing more comes.
    quint64 shown = panel.FramesShown();
    for (int quiet = 0; quiet < 3;) {
        QTest::qWait(200);
        quiet = panel.FramesShown() == shown ? quiet + 1 : 0;
        shown = panel.FramesShown();
    }
    const QImage last = picture();
    ASSERT_FALSE(last.isNull());
    EXPECT_FALSE(panel.StopLiveView());
    EXPECT_TRUE(panel.lblErrorMsg->isVisibleTo(&panel));
    EXPECT_FALSE(panel.lblErrorMsg->text().isEmpty());
    QTest::qWait(300);
    EXPECT_EQ(panel.FramesShown(), shown);
    EXPECT_EQ(picture(), last);

    server.setPower(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.StartLiveView(2, 0); }, 10000))
        << panel.lblErrorMsg->text().toStdString();
    EXPECT_FALSE(panel.lblErrorMsg->isVisibleTo(&panel));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() >= shown + 3; }, 10000));
    EXPECT_FALSE(picture().isNull());
    EXPECT_TRUE(panel.StopLiveView());
    camera.Stop();
}
