// The live view panel: frames turned, overlaid and read into the status line; bad frames that leave
// the last good picture; clicks mapped back to camera pixels; and live view from the simulator with a
// resolution change while it runs; the camera going away mid-stream and coming back.
#include "liveview/ui/TfraLiveView.h"

#include "base/AppTexts.h"
#include "base/TSetup.h"
#include "liveview/HistogramCounter.h"
#include "liveview/LiveViewTestSupport.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/ui/TKmImageHistogram.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TLiveViewStatusLine.h"
#include "liveview/ui/TfraViewGrid.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace lvtest;

namespace {

const QRgb kBackdrop = qRgb(71, 71, 71);

// Camera information with orientation code, focus state and frame, battery and aperture.
TMetaData information(int orientationCode = 1, int focusState = 0, QRect focus = {}, int battery = 100)
{
    QByteArray b = informationBlock();
    b[19] = char(orientationCode);
    b[43] = char(focusState);
    put16(b, 46, quint32(focus.left()));
    put16(b, 50, quint32(focus.top()));
    put16(b, 54, quint32(focus.width()));
    put16(b, 58, quint32(focus.height()));
    b[75] = char(battery);
    put16(b, 88, 1);
    put16(b, 90, 250);
    put32(b, 104, 56);
    TMetaData m;
    m.Assign(b);
    return m;
}

// A plain picture, white except for a black top band, so turning it is visible.
QByteArray bandedFrame(int width = 640, int height = 480)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < height / 8; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return encode(picture, TJSAMP_444, 95);
}

bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

class LiveViewPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        RegisterLiveViewTexts();
        ASSERT_TRUE(settingsDir.isValid());
        setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        panel.SetSetup(&setup);
    }

    QImage picture() const { return panel.imgLiveView32->Bitmap(); }

    TSetup setup;
    QTemporaryDir settingsDir;
    TfraLiveView panel;
};

} // namespace

TEST_F(LiveViewPanelTest, OrientationTurnsThePictureInsideTheSameArea)
{
    panel.ShowFrame(bandedFrame(), information(1));
    ASSERT_EQ(picture().size(), QSize(640, 480));
    EXPECT_TRUE(near(picture().pixel(320, 10), qRgb(0, 0, 0)));
    EXPECT_TRUE(near(picture().pixel(320, 400), qRgb(255, 255, 255)));

    // Orientation 6: turned clockwise, the black band now on the right; the strips left and right of
    // the turned 480-wide picture are the panel's grey.
    panel.ShowFrame(bandedFrame(), information(6));
    ASSERT_EQ(picture().size(), QSize(640, 480));
    EXPECT_EQ(picture().pixel(20, 240), kBackdrop);
    EXPECT_EQ(picture().pixel(620, 240), kBackdrop);
    EXPECT_TRUE(near(picture().pixel(550, 240), qRgb(0, 0, 0)));
    EXPECT_TRUE(near(picture().pixel(200, 240), qRgb(255, 255, 255)));

    panel.ShowFrame(bandedFrame(), information(3)); // 180: band at the bottom
    EXPECT_TRUE(near(picture().pixel(320, 470), qRgb(0, 0, 0)));
    EXPECT_TRUE(near(picture().pixel(320, 10), qRgb(255, 255, 255)));
}

TEST_F(LiveViewPanelTest, GridKindsDrawTheirLinesIntoTheFrame)
{
    panel.fraViewGrid->SetGridColor(QColor(255, 0, 0));
    panel.fraViewGrid->SetGridKind(2);
    panel.ShowFrame(bandedFrame(), information());
    for (int x : { 240, 400 })
        EXPECT_EQ(picture().pixel(x, 300), qRgb(255, 0, 0)) << x;
    for (int y : { 182, 298 })
        EXPECT_EQ(picture().pixel(100, y), qRgb(255, 0, 0)) << y;
    EXPECT_TRUE(near(picture().pixel(100, 300), qRgb(255, 255, 255)));

    panel.fraViewGrid->SetGridKind(1);
    panel.ShowFrame(bandedFrame(), information());
    for (int x : { 80, 200, 320, 440, 560 })
        EXPECT_EQ(picture().pixel(x, 300), qRgb(255, 0, 0)) << x;
    for (int y : { 120, 240, 360 })
        EXPECT_EQ(picture().pixel(100, y), qRgb(255, 0, 0)) << y;
    EXPECT_NE(picture().pixel(240, 300), qRgb(255, 0, 0));

    // Kind and colour reach the settings only after the takeover.
    setup.GridLines = 5;
    panel.Prepare();
    EXPECT_EQ(panel.fraViewGrid->GridKind(), 5);
    panel.fraViewGrid->SetGridKind(3);
    panel.Finish();
    EXPECT_EQ(setup.GridLines, 3);
}

// A large frame's histogram keeps the picture's proportions and means: an eighth dark, the rest white.
TEST_F(LiveViewPanelTest, HistogramOfALargeFrameKeepsThePicturesProportions)
{
    panel.ihgLiveView->setVisible(true);
    panel.ShowFrame(bandedFrame(1280, 960), information());
    const HistogramCounter& counter = panel.ihgLiveView->Counter();
    double dark = 0, all = 0;
    for (int value = 0; value < 256; ++value) {
        all += counter.Composite()[size_t(value)];
        if (value < 64)
            dark += counter.Composite()[size_t(value)];
    }
    ASSERT_GT(all, 0);
    EXPECT_NEAR(dark / all, 1.0 / 8, 0.01);
    EXPECT_NEAR(counter.RedMean(), 7.0 / 8, 0.02);
    EXPECT_NEAR(counter.BlueMean(), 7.0 / 8, 0.02);
}

// Focus state 1, then 0 (the green frame stays and follows), then 2 (red), then 0 (gone).
TEST_F(LiveViewPanelTest, FocusFrameFollowsTheFocusState)
{
    const QRgb green = qRgb(0, 255, 0);
    const QRgb red = qRgb(255, 0, 0);
    panel.ShowFrame(bandedFrame(), information(1, 1, QRect(100, 200, 60, 40)));
    EXPECT_EQ(picture().pixel(100, 220), green);
    panel.ShowFrame(bandedFrame(), information(1, 0, QRect(300, 250, 60, 40)));
    EXPECT_EQ(picture().pixel(300, 270), green);
    EXPECT_NE(picture().pixel(100, 220), green);
    panel.ShowFrame(bandedFrame(), information(1, 2, QRect(300, 250, 60, 40)));
    EXPECT_EQ(picture().pixel(300, 270), red);
    EXPECT_TRUE(panel.IsFocusFailed());
    panel.ShowFrame(bandedFrame(), information(1, 0, QRect(300, 250, 60, 40)));
    EXPECT_NE(picture().pixel(300, 270), red);
    EXPECT_FALSE(panel.IsFocusFailed());

    // A focus frame outside the picture is clipped, not a crash.
    panel.ShowFrame(bandedFrame(), information(1, 1, QRect(5000, 6000, 60, 40)));
    EXPECT_EQ(picture().size(), QSize(640, 480));
}

TEST_F(LiveViewPanelTest, BatteryThresholdsColourAndBlink)
{
    const TLiveViewStatusLine& line = *panel.StatusLine;
    const auto color = [&] { return line.gauBattery->property("gaugeColor").value<QColor>(); };
    panel.SetBatteryLevel(50);
    EXPECT_EQ(color(), QColor(255, 0, 0));
    EXPECT_TRUE(line.IsBatteryBlinking());
    panel.SetBatteryLevel(51);
    EXPECT_EQ(color(), QColor(255, 255, 0));
    EXPECT_FALSE(line.IsBatteryBlinking());
    EXPECT_FALSE(line.gauBattery->isHidden()); // stopping shows the gauge again
    panel.SetBatteryLevel(70);
    EXPECT_EQ(color(), QColor(255, 255, 0));
    panel.SetBatteryLevel(71);
    EXPECT_EQ(color(), QColor(0, 255, 0));
    panel.ShowFrame(bandedFrame(), information(1, 0, {}, 180)); // beyond 100: shows full
    EXPECT_EQ(line.gauBattery->value(), 100);
}

// Undecodable frames leave the last good picture; the next good frame shows normally. Their bytes
// are still the last frame.
TEST_F(LiveViewPanelTest, BadFramesKeepTheLastGoodPicture)
{
    panel.ShowFrame(bandedFrame(), information());
    const QImage good = picture();
    QByteArray cut = bandedFrame().left(300);
    panel.ShowFrame(cut, information(6));
    panel.ShowFrame(QByteArray("not a jpeg"), information());
    EXPECT_EQ(picture(), good);
    EXPECT_EQ(panel.LastFrame(), QByteArray("not a jpeg"));
    TMetaData shortBlock;
    shortBlock.Assign(QByteArray(7, '\x01'));
    panel.ShowFrame(bandedFrame(320, 240), shortBlock); // another size, stretched to the area
    EXPECT_EQ(picture().size(), QSize(640, 480));
    EXPECT_TRUE(near(picture().pixel(320, 400), qRgb(255, 255, 255)));
}

// Frames that arrive before the panel got to show the previous one replace it: the newest is shown.
TEST_F(LiveViewPanelTest, WaitingFramesAreReplacedByTheNewest)
{
    panel.OnReceiveLiveViewImage(bandedFrame(), information(1));
    panel.OnReceiveLiveViewImage(bandedFrame(), information(1));
    panel.OnReceiveLiveViewImage(bandedFrame(), information(3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.FramesShown() > 0; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.FramesShown(), 1u);
    EXPECT_EQ(panel.FramesSkipped(), 2u);
    EXPECT_TRUE(near(picture().pixel(320, 470), qRgb(0, 0, 0))); // the 180-degree one
}

TEST_F(LiveViewPanelTest, ClicksMapToCameraPixelsThroughMagnifierAndNavigator)
{
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(panel.CameraPoint(QPoint(320, 240)), QPoint(320, 240));
    EXPECT_EQ(panel.CameraPoint(QPoint(700, -5)), QPoint(639, 0));

    panel.SetMagnification(2);
    EXPECT_TRUE(panel.pnlMagnifierControl->isVisibleTo(&panel));
    EXPECT_EQ(panel.pnlMagnifierControl->Section().size(), QSize(60, 45));
    // The visible area shows the top-left quarter: its centre is camera (160, 120).
    const auto clickAt
        = [&](QPoint inClip) { return panel.CameraPoint(inClip - panel.imgLiveView32->pos()); };
    EXPECT_EQ(clickAt(QPoint(320, 240)), QPoint(160, 120));
    panel.pnlMagnifierControl->MoveSection(QPoint(60, 45)); // bottom-right quarter
    EXPECT_EQ(panel.imgLiveView32->pos(), QPoint(-640, -480));
    EXPECT_EQ(clickAt(QPoint(320, 240)), QPoint(480, 360));
    panel.pnlMagnifierControl->MoveSection(QPoint(500, 500)); // limited to the navigator
    EXPECT_EQ(panel.pnlMagnifierControl->Section().topLeft(), QPoint(60, 45));

    panel.SetMagnification(4);
    EXPECT_EQ(panel.imgLiveView32->size(), QSize(2560, 1920));
    panel.pnlMagnifierControl->MoveSection(QPoint(30, 0));
    EXPECT_EQ(clickAt(QPoint(0, 0)), QPoint(160, 0));
    EXPECT_EQ(clickAt(QPoint(639, 479)), QPoint(319, 119));
    panel.SetMagnification(1);
    EXPECT_FALSE(panel.pnlMagnifierControl->isVisibleTo(&panel));
}

// LIVETIME replaces the shutter speed and keeps the host's choice; an aperture list that the user
// has open keeps its selection.
TEST_F(LiveViewPanelTest, LinkedChoicesFollowFramesUnlessHeld)
{
    QComboBox shutter;
    shutter.addItems({ QStringLiteral("60"), QStringLiteral("250") });
    QComboBox aperture;
    aperture.addItems({ QStringLiteral("4.0"), QStringLiteral("5.6") });
    panel.SetCamera(nullptr, &shutter, nullptr, nullptr, nullptr, &aperture);
    bool updatingSeen = false;
    QObject::connect(
        &aperture, &QComboBox::currentIndexChanged, [&] { updatingSeen = panel.IsUpdatingChoices(); });
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(shutter.currentText(), QStringLiteral("250"));
    EXPECT_EQ(aperture.currentText(), QStringLiteral("5.6"));
    EXPECT_TRUE(updatingSeen);
    EXPECT_FALSE(panel.IsUpdatingChoices());

    shutter.setCurrentIndex(0);
    panel.SetLongExposureMode(true, false);
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(panel.StatusLine->lblImgShutterSpeed->text(), QStringLiteral("LIVETIME"));
    EXPECT_EQ(shutter.currentText(), QStringLiteral("60"));
    EXPECT_EQ(panel.StatusLine->lblImgAperture->text(), QStringLiteral("F5.6"));

    aperture.setCurrentIndex(0);
    aperture.show();
    aperture.showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return aperture.view()->isVisible(); }, 5000));
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(aperture.currentText(), QStringLiteral("4.0"));
    aperture.hidePopup();
}

TEST_F(LiveViewPanelTest, LiveViewFromTheSimulatorAndAResolutionChangeWhileRunning)
{
    camsim::SimServerOptions options;
    options.profile = "omd-v260"; // offers 1280 x 960 besides 640 x 480
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    TCamera camera(TCameraLink::ToHost(host), QStringLiteral("E-M10-CAM"), false, QString(),
        [](const QString&, const QStringList&) { return true; });
    camera.CheckIntervalMs = 100;
    camera.CheckTimer.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera.Connected; }, 10000));

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

// The grid chooser lights the chosen entry only, and a stored colour without a name still shows.
TEST_F(LiveViewPanelTest, GridChooserMarksTheChoiceAndKeepsUnnamedColours)
{
    TfraViewGrid& chooser = *panel.fraViewGrid;
    const QImage inactive = chooser.Choice(2)->icon().pixmap(40, 30).toImage();
    chooser.Choice(2)->click();
    EXPECT_EQ(chooser.GridKind(), 2);
    EXPECT_NE(chooser.Choice(2)->icon().pixmap(40, 30).toImage(), inactive);
    chooser.Choice(0)->click();
    EXPECT_EQ(chooser.Choice(2)->icon().pixmap(40, 30).toImage(), inactive);
    chooser.SetGridKind(9);
    EXPECT_EQ(chooser.GridKind(), 0);

    setup.GridLinesColor = 0x123456; // a Windows colour value: blue 0x12, green 0x34, red 0x56
    panel.Prepare();
    EXPECT_EQ(chooser.GridColor(), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(chooser.ColorList()->currentData().value<QColor>(), QColor(0x56, 0x34, 0x12));
    panel.Finish();
    EXPECT_EQ(setup.GridLinesColor, 0x123456u);
}

// The monitor marks unchanged characters, 20 bytes to a line with their range; "LM.log" collects the
// baselines, and the frame after that becomes the new baseline.
TEST_F(LiveViewPanelTest, DebugMonitorShowsChangedBytesAndLogsTheBaseline)
{
    const QString baseline(1024, QLatin1Char('0'));
    QString changed = baseline;
    changed[40] = QLatin1Char('F'); // byte 21
    const QStringList lines
        = TLiveViewDebugMonitor::ComparisonText(changed, baseline).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("________ ________ ________ ________ ________ 001 - 020 "));
    EXPECT_EQ(lines[1], QStringLiteral("F_______ ________ ________ ________ ________ 021 - 040 "));
    EXPECT_EQ(lines.size(), 27); // 26 lines, the last with three groups, and the empty rest

    QTemporaryDir temp;
    QFile existing(temp.filePath(QStringLiteral("LM.log")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("earlier\r\n");
    existing.close();
    setup.TempDir = temp.path() + QLatin1Char('/');
    panel.ToggleDebugView();
    EXPECT_TRUE(panel.DebugMonitor->isVisibleTo(&panel));
    EXPECT_TRUE(panel.lblFramesPerSecond->isVisibleTo(&panel));
    panel.ShowFrame(bandedFrame(), information(1));
    panel.ShowFrame(bandedFrame(), information(6));
    EXPECT_TRUE(panel.DebugMonitor->memChanges->toPlainText().startsWith(
        QStringLiteral("________ ________ ________ ________ _______6 001 - 020 ")));
    const QString first = panel.DebugMonitor->Baseline();
    panel.DebugMonitor->btnAssignChanges->click();
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "earlier\r\n" + first.toLatin1() + "\r\n");
    existing.close();
    panel.ShowFrame(bandedFrame(), information(3));
    EXPECT_EQ(panel.DebugMonitor->Baseline(), information(3).GetHexDump());
}

// Before any frame an empty file is written; into a missing folder nothing at all.
TEST_F(LiveViewPanelTest, SaveLastImageWritesTheLastFrameShown)
{
    QTemporaryDir folder;
    const QString empty = folder.filePath(QStringLiteral("empty.jpg"));
    panel.SaveLastImage(empty);
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(QFileInfo(empty).size(), 0);
    panel.ShowFrame(bandedFrame(), information());
    const QString saved = folder.filePath(QStringLiteral("last.jpg"));
    panel.SaveLastImage(saved);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bandedFrame());
    const QString missing = folder.filePath(QStringLiteral("gone/last.jpg"));
    panel.SaveLastImage(missing);
    EXPECT_FALSE(QFile::exists(missing));
}

// Every status text fits its label and every label lies inside the status line, with the longest
// texts the camera sends.
TEST_F(LiveViewPanelTest, StatusTextsFitTheirLabels)
{
    panel.show();
    panel.SetLongExposureMode(false, true);
    QByteArray b = informationBlock();
    put16(b, 26, 9999);
    put32(b, 104, 220);
    put32(b, 120, quint32(-50));
    put16(b, 130, 25600);
    b[139] = 1;
    put16(b, 146, 18);
    TMetaData wide;
    wide.Assign(b);
    panel.ShowFrame(bandedFrame(), wide);
    QCoreApplication::processEvents();
    if (!qEnvironmentVariableIsEmpty("LUMIVAR_GRAB"))
        panel.grab().save(qEnvironmentVariable("LUMIVAR_GRAB"));
    const QRect line = panel.StatusLine->rect();
    for (QLabel* label : panel.StatusLine->findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        EXPECT_GE(label->width(), metrics.horizontalAdvance(label->text()))
            << label->objectName().toStdString();
        EXPECT_GE(label->height(), metrics.height()) << label->objectName().toStdString();
        EXPECT_TRUE(line.contains(label->geometry())) << label->objectName().toStdString();
    }
    EXPECT_TRUE(panel.rect().contains(panel.StatusLine->geometry()));
    EXPECT_GE(panel.lblHistogram->height(), QFontMetrics(panel.lblHistogram->font()).height());
}

// The remote release page's debug live view: frames of the shutter-mode receiver are shown as well.
TEST_F(LiveViewPanelTest, ShutterModeFramesAreShown)
{
    camsim::SimServerOptions options;
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    TCamera camera(TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server.port())),
        QStringLiteral("E-M10-CAM"), false, QString(),
        [](const QString&, const QStringList&) { return true; });
    camera.CheckIntervalMs = 100;
    camera.CheckTimer.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera.Connected; }, 10000));
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
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    TCamera camera(TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server.port())),
        QStringLiteral("E-M10-CAM"), false, QString(),
        [](const QString&, const QStringList&) { return true; });
    camera.CheckIntervalMs = 100;
    camera.CheckTimer.start(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera.Connected; }, 10000));
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
