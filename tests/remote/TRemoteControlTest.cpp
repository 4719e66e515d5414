// The remote control page's decisions without widgets, against the simulator: the touch function's
// cycle with a focus point the camera refuses to free, the aperture list cut to the lens' limits,
// and what a refused pick means.

#include "remote/TRemoteControl.h"

#include "base/AppTexts.h"
#include "common/SimulatedCamera.h"
#include "remote/RemoteControlRules.h"

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

class TRemoteControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        camsim::SimServerOptions options;
        options.requestLog = [this](const std::string& line) {
            const QMutexLocker lock(&mutex);
            requests << QString::fromStdString(line);
        };
        ASSERT_TRUE(sim.Start(options));
        camera = sim.camera.get();
        // The connection check would switch the camera back to playback meanwhile.
        camera->CheckTimer.stop();
        ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModeRec));
        ASSERT_TRUE(camera->Remote.Params.RefreshAll());
        control.SetCamera(camera);
    }

    int requestCount(const QString& part)
    {
        const QMutexLocker lock(&mutex);
        return int(requests.filter(part).size());
    }

    void fail(bool on)
    {
        camsim::SimFaultSettings faults;
        faults.errorRate = on ? 1 : 0;
        sim.server->setFaults(faults);
    }

    QMutex mutex;
    QStringList requests;
    lvtest::SimulatedCamera sim;
    TCamera* camera = nullptr;
    TRemoteControl control;
};

TEST_F(TRemoteControlTest, TouchCycleKeepsAFocusPointTheCameraWouldNotFree)
{
    ASSERT_EQ(control.TouchState(), TRemoteControl::TouchFocusPoint);
    // Release mode: a click on the picture sets no focus point.
    ASSERT_TRUE(control.CycleTouch());
    EXPECT_EQ(control.TouchState(), TRemoteControl::TouchRelease);
    EXPECT_FALSE(control.AssignFocusPoint(160, 120));
    EXPECT_EQ(requestCount(QStringLiteral("assignafframe")), 0);
    ASSERT_TRUE(control.CycleTouch());

    ASSERT_TRUE(control.AssignFocusPoint(160, 120));
    EXPECT_EQ(control.TouchState(), TRemoteControl::TouchFocusSet);
    // Another point while one is set.
    ASSERT_TRUE(control.AssignFocusPoint(100, 80));
    EXPECT_EQ(requestCount(QStringLiteral("assignafframe")), 2);

    fail(true);
    EXPECT_FALSE(control.CycleTouch());
    EXPECT_EQ(control.TouchState(), TRemoteControl::TouchFocusSet);
    fail(false);
    EXPECT_TRUE(control.CycleTouch());
    EXPECT_EQ(control.TouchState(), TRemoteControl::TouchFocusPoint);
    EXPECT_EQ(requestCount(QStringLiteral("releaseafframe")), 2);
}

TEST_F(TRemoteControlTest, ApertureListFollowsTheLensAndRefusalsRereadTheCamera)
{
    const QStringList all = control.Choices(QStringLiteral("focalvalue"));
    ASSERT_GT(all.size(), 8);
    ASSERT_TRUE(all.contains(QStringLiteral("3.5")) && all.contains(QStringLiteral("22")));

    // A frame without a lens report changes nothing.
    EXPECT_FALSE(control.ApplyApertureLimits(0, RemoteControlRules::NoUpperLimit));
    EXPECT_TRUE(control.ApplyApertureLimits(35, 220));
    EXPECT_FALSE(control.ApplyApertureLimits(35, 220));
    const QStringList cut = control.Choices(QStringLiteral("focalvalue"));
    EXPECT_EQ(cut.first(), QStringLiteral("3.5"));
    EXPECT_EQ(cut.last(), QStringLiteral("22"));
    EXPECT_LT(cut.size(), all.size());
    EXPECT_EQ(camera->Remote.Params.Find(QStringLiteral("focalvalue"))->MinLimit, 35);
    control.ResetApertureLimits();
    EXPECT_EQ(control.Choices(QStringLiteral("focalvalue")), all);

    EXPECT_EQ(
        control.Send(QStringLiteral("isospeedvalue"), QStringLiteral("1600")), TRemoteControl::TSent::Taken);
    const int reads = requestCount(QStringLiteral("com=desc"));
    fail(true);
    EXPECT_EQ(control.Send(QStringLiteral("isospeedvalue"), QStringLiteral("3200")),
        TRemoteControl::TSent::Refused);
    fail(false);
    // The camera's values were asked for again after the refusal.
    EXPECT_GT(requestCount(QStringLiteral("com=desc")), reads);
    EXPECT_TRUE(control.RefusalText(QString(), QStringLiteral("isospeedvalue"), QStringLiteral("3200"))
                    .contains(QStringLiteral("isospeedvalue")));
    EXPECT_EQ(
        control.Send(QStringLiteral("nosuchproperty"), QStringLiteral("1")), TRemoteControl::TSent::NotSent);
}

} // namespace
