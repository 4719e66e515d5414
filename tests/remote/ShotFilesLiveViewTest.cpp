// A body that lists its card only in play mode: the shot's listing takes the camera there and back,
// and the live view the switch ended at the camera runs again, at the size it ran at.
#include "common/SimulatedCamera.h"
#include "import/TBaseCameraImportItems.h"
#include "liveview/JpegDec.h"
#include "liveview/TLiveViewControl.h"
#include "remote/TShotFiles.h"
#include "sim/SimCamera.h"

#include <QTest>

#include <gtest/gtest.h>

TEST(ShotFilesLiveView, AListingInPlayModeBringsTheLiveViewBackAtItsSize)
{
    lvtest::SimulatedCamera sim;
    camsim::SimServerOptions options;
    options.profile = "newbody";
    options.generatedFiles = 4;
    options.fps = 30;
    ASSERT_TRUE(sim.Start(options));
    TCameraRemote& remote = sim.camera->Remote;
    // Not the camera's first size, which a plain switch back to recording mode would take.
    TLiveViewControl control(
        remote.CameraMode, remote.LiveView, remote.ReleaseView, [] { return QStringLiteral("1024 x 768"); });
    QSize picture;
    remote.LiveView.Processor().ImageBuffer().SetImageHandler(
        [&picture](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData&) {
            picture = DecodeJpegToBitmap(stream.data()).size();
        });
    ASSERT_TRUE(control.Start(TLiveViewControl::ModeRecord, 0)) << control.ErrorText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return picture == QSize(1024, 768); }, 10000));

    TShotFiles files;
    files.SetCamera(sim.camera.get());
    TBaseCameraImportItems shot { true };
    ASSERT_TRUE(files.ListNewest(shot));
    EXPECT_TRUE(files.ListsOnlyInPlayMode());
    EXPECT_GT(shot.Count(), 0);
    EXPECT_EQ(sim.server->camera().mode(), camsim::SimCamera::Mode::Rec);
    EXPECT_EQ(sim.server->camera().liveViewSize(), "1024x0768");
    EXPECT_TRUE(sim.server->liveViewRunning());
    EXPECT_TRUE(control.IsRunning());
    picture = {};
    EXPECT_TRUE(QTest::qWaitFor([&] { return picture == QSize(1024, 768); }, 10000));
    EXPECT_TRUE(control.Stop());
}
