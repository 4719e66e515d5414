// The live view panel's picture: frames turned and overlaid with grid, focus frame and histogram; bad
// frames that leave the last good picture; the newest of waiting frames; clicks mapped back to camera
// pixels; the last frame saved.
#include "liveview/ui/LiveViewPanelFixture.h"

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
