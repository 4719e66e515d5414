// A new live view size against the simulator, as the window's size choice and lumivar-cli's liveview
// and mode commands ask for it: where live view ran it runs again at the new size, the AF frame is
// given back, the camera only takes the size on its way through playback, and a size the camera
// lacks is read back as the one it sends.
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/TReleaseAFFrameAction.h"
#include "liveview/JpegDec.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TLiveViewSizeChange.h"
#include "liveview/TReleaseViewAction.h"
#include "sim/SimCamera.h"
#include "sim/SimServer.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Mode = camsim::SimCamera::Mode;

struct SizeSession
{
    camsim::SimServer sim;
    TOIShare commandList;
    std::unique_ptr<TCameraModeAction> cameraMode;
    std::unique_ptr<TLiveViewAction> liveView;
    std::unique_ptr<TReleaseViewAction> releaseView;
    std::unique_ptr<TReleaseAFFrameAction> releaseAFFrame;
    std::unique_ptr<TLiveViewControl> control;
    std::unique_ptr<TLiveViewSizeChange> change;
    QString setting = QStringLiteral("640 x 480");
    QStringList chosen;
    QSize lastPicture;

    explicit SizeSession(const char* profile)
        : sim([profile] {
            camsim::SimServerOptions options;
            options.profile = profile;
            options.fps = 30;
            return options;
        }())
    { }

    bool open()
    {
        const quint16 port = sim.start(0);
        if (port == 0)
            return false;
        const QString host = QStringLiteral("127.0.0.1:%1").arg(port);
        if (!commandList.Load(host))
            return false;
        const TCameraLink link = TCameraLink::ToHost(host);
        cameraMode = std::make_unique<TCameraModeAction>(link);
        cameraMode->SwitchPauseMs = 0;
        liveView = std::make_unique<TLiveViewAction>(link);
        releaseView = std::make_unique<TReleaseViewAction>(link);
        releaseAFFrame = std::make_unique<TReleaseAFFrameAction>(link);
        for (TBaseRemoteAction* action : std::initializer_list<TBaseRemoteAction*> {
                 cameraMode.get(), liveView.get(), releaseView.get(), releaseAFFrame.get() })
            if (const TCGIFunction* function = commandList.Functions.Find(action->CGIName))
                action->Probe(*function);
        control = std::make_unique<TLiveViewControl>(
            *cameraMode, *liveView, *releaseView, [this] { return setting; });
        change = std::make_unique<TLiveViewSizeChange>(*control, *cameraMode, *releaseAFFrame);
        change->OnChosen = [this](const QString& size) {
            chosen << size;
            setting = size;
        };
        liveView->Processor().ImageBuffer().SetImageHandler(
            [this](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData&) {
                lastPicture = DecodeJpegToBitmap(stream.data()).size();
            });
        return cameraMode->Enabled && liveView->Enabled && releaseAFFrame->Enabled;
    }

    bool picturesAt(const QSize& size)
    {
        lastPicture = {};
        return QTest::qWaitFor([&] { return lastPicture == size; }, 10000);
    }
};

} // namespace

TEST(LiveViewSizeChange, ARunningLiveViewComesBackAtTheNewSizeAndAStoppedOneOnlyKeepsIt)
{
    SizeSession session("omd-v260");
    ASSERT_TRUE(session.open());
    EXPECT_EQ(session.change->Choices().indexOf(QStringLiteral("320 x 240")), -1);
    EXPECT_EQ(session.change->ChoiceOf(QStringLiteral("0800x0600")), QStringLiteral("800 x 600"));
    ASSERT_TRUE(session.control->Start(TLiveViewControl::ModeRecord, 0));
    ASSERT_TRUE(session.picturesAt(QSize(640, 480)));
    session.sim.camera().assignAfPoint(100, 100);
    ASSERT_EQ(session.sim.camera().afX(), 100);

    ASSERT_TRUE(session.change->Change(QStringLiteral("800 x 600")))
        << session.change->ErrorText().toStdString();
    EXPECT_EQ(session.chosen, QStringList { QStringLiteral("0800x0600") });
    EXPECT_EQ(session.sim.camera().liveViewSize(), "0800x0600");
    EXPECT_EQ(session.sim.camera().afX(), 400); // released to the centre: the point was in 640 x 480 pixels
    EXPECT_TRUE(session.control->IsRunning());
    EXPECT_TRUE(session.sim.liveViewRunning());
    EXPECT_EQ(session.change->Pixels(), QSize(800, 600));
    EXPECT_FALSE(session.change->Substituted());
    EXPECT_TRUE(session.picturesAt(QSize(800, 600)));

    // Stopped: the size is kept for the next start, the camera is not switched.
    ASSERT_TRUE(session.control->Stop());
    ASSERT_TRUE(session.change->Change(QStringLiteral("1280 x 960")));
    EXPECT_EQ(session.chosen.last(), QStringLiteral("1280x0960"));
    EXPECT_FALSE(session.sim.liveViewRunning());
    EXPECT_EQ(session.sim.camera().liveViewSize(), "0800x0600");
    ASSERT_TRUE(session.control->Start(TLiveViewControl::ModeRecord, 0));
    EXPECT_TRUE(session.picturesAt(QSize(1280, 960)));
    EXPECT_TRUE(session.control->Stop());
}

TEST(LiveViewSizeChange, EnteringAModeTakesTheSizeThroughPlaybackAndReadsBackWhatTheCameraSends)
{
    SizeSession session("e-m10");
    ASSERT_TRUE(session.open());
    ASSERT_TRUE(session.change->Enter(TLiveViewControl::ModeRecord, QStringLiteral("320x240")));
    EXPECT_EQ(session.sim.camera().mode(), Mode::Rec);
    EXPECT_EQ(session.sim.camera().liveViewSize(), "0320x0240");
    EXPECT_FALSE(session.sim.liveViewRunning());

    // Already recording: only the way through playback makes the camera take another size.
    session.sim.camera().assignAfPoint(50, 50);
    ASSERT_TRUE(session.change->Enter(TLiveViewControl::ModeRecord, QStringLiteral("0640x0480")));
    EXPECT_EQ(session.sim.camera().liveViewSize(), "0640x0480");
    EXPECT_EQ(session.sim.camera().afX(), 320); // released to the centre

    // The E-M10 streams 640 x 480 at most: it gets its largest size, and that is what is read back.
    ASSERT_TRUE(session.change->Enter(TLiveViewControl::ModeRecord, QStringLiteral("1280 x 960"), 0));
    EXPECT_TRUE(session.sim.liveViewRunning());
    EXPECT_EQ(session.change->Requested(), QStringLiteral("1280x0960"));
    EXPECT_EQ(session.change->Sent(), QStringLiteral("0640x0480"));
    EXPECT_TRUE(session.change->Substituted());
    EXPECT_TRUE(session.picturesAt(QSize(640, 480)));
    EXPECT_TRUE(session.control->Stop());

    EXPECT_FALSE(session.change->Enter(TCameraModeAction::ModeShutter, QStringLiteral("640x480")));
    EXPECT_EQ(TLiveViewSizeChange::SizeCode(QStringLiteral(" 1024 X 768 ")), QStringLiteral("1024x0768"));
    EXPECT_TRUE(TLiveViewSizeChange::SizeCode(QStringLiteral("0x480")).isEmpty());
}
