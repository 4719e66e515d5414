// The remote control page against the simulator: the program mode enables its choices and moves the
// art filter list in, the hue picker snaps and sends the camera's step, lens limits cut the aperture
// list and the -/+ buttons still work after a frame cleared the selection, each -/+ pair steps its
// list the right way, zoom sends one move and one stop, the touch function cycles through its
// states, and a property the camera refuses is named on the page without leaving anything disabled.
#include "remote/ui/RemoteControlPageFixture.h"

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

using lvtest::RemoteControlPageTest;

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

TEST_F(RemoteControlPageTest, ProgramModesEnableTheirChoicesAndArtMovesTheList)
{
    start();
    stopFrames();
    ASSERT_EQ(page->Properties()->cbxProgramMode->currentText(), QStringLiteral("A"));
    EXPECT_TRUE(page->Properties()->cbxProgramMode->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxAperture->isEnabled());
    EXPECT_TRUE(page->findChild<QToolButton*>(QStringLiteral("btnApertureUp"))->isEnabled());
    EXPECT_FALSE(page->Properties()->cbxShutterSpeed->isEnabled());
    EXPECT_FALSE(page->findChild<QToolButton*>(QStringLiteral("btnShutterSpeedDown"))->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxExposureCompensation->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxWhiteBalance->isEnabled());
    EXPECT_FALSE(page->Properties()->cbxArtFilter->isVisible());
    // The camera lets these be read only: shown, not changeable.
    EXPECT_GT(page->Properties()->Choice(QStringLiteral("noisereduction"))->count(), 0);
    EXPECT_FALSE(page->Properties()->Choice(QStringLiteral("noisereduction"))->isEnabled());
    // The drive mode is "continuous-L": held shooting.
    EXPECT_TRUE(page->Shooting().IsSequentialMode());

    pick(page->Properties()->cbxProgramMode, QStringLiteral("M"));
    EXPECT_EQ(cameraValue("takemode"), QStringLiteral("M"));
    EXPECT_EQ(page->Properties()->cbxProgramMode->currentText(), QStringLiteral("M"));
    EXPECT_TRUE(page->Properties()->cbxAperture->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxShutterSpeed->isEnabled());
    EXPECT_TRUE(page->findChild<QToolButton*>(QStringLiteral("btnShutterSpeedUp"))->isEnabled());
    EXPECT_FALSE(page->Properties()->cbxExposureCompensation->isEnabled());
    EXPECT_FALSE(page->findChild<QToolButton*>(QStringLiteral("btnExposureCompensationUp"))->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxWhiteBalance->isEnabled());

    const QRect modeBefore = inPage(page->Properties()->cbxProgramMode);
    pick(page->Properties()->cbxProgramMode, QStringLiteral("ART"));
    EXPECT_EQ(cameraValue("takemode"), QStringLiteral("ART"));
    EXPECT_FALSE(page->Properties()->cbxAperture->isEnabled());
    EXPECT_FALSE(page->Properties()->cbxISOSensitivity->isEnabled());
    ASSERT_TRUE(page->Properties()->cbxArtFilter->isVisible());
    EXPECT_TRUE(page->Properties()->cbxArtFilter->isEnabled());
    EXPECT_GT(page->Properties()->cbxArtFilter->count(), 0);
    QTest::qWait(0); // the layout places the list that just appeared
    const QRect art = inPage(page->Properties()->cbxArtFilter);
    const QRect mode = inPage(page->Properties()->cbxProgramMode);
    EXPECT_EQ(mode.left(), art.left() + art.width() + 10);
    EXPECT_EQ(mode.right(), inPage(page->Properties()->cbxWhiteBalance).right());
    EXPECT_EQ(art.left(), modeBefore.left());
    EXPECT_FALSE(page->Properties()->cpiColorPhase->isVisible());

    pick(page->Properties()->cbxProgramMode, QStringLiteral("P"));
    EXPECT_FALSE(page->Properties()->cbxArtFilter->isVisible());
    QTest::qWait(0);
    EXPECT_EQ(inPage(page->Properties()->cbxProgramMode).left(),
        inPage(page->Properties()->cbxWhiteBalance).left());
    EXPECT_EQ(page->Properties()->PropertyError(), QString());
}

TEST_F(RemoteControlPageTest, HuePickerSnapsAndSendsTheCameraStep)
{
    start("omd-v260");
    stopFrames();
    pick(page->Properties()->cbxProgramMode, QStringLiteral("ART"));
    ASSERT_TRUE(page->Properties()->cbxArtFilter->isVisible());
    pick(page->Properties()->cbxArtFilter, rs("_rsARTPartColor"));
    EXPECT_EQ(cameraValue("artfilter"), QStringLiteral("partcolor"));
    ASSERT_TRUE(page->Properties()->cpiColorPhase->isVisible());
    // The camera's "step0" shows as 60 degrees.
    EXPECT_EQ(page->Properties()->cpiColorPhase->Hue(), 60);

    page->Properties()->cpiColorPhase->SetHue(135);
    page->Properties()->SetColorPhase();
    EXPECT_EQ(page->Properties()->cpiColorPhase->Hue(), 140);
    EXPECT_EQ(cameraValue("colorphase"), QStringLiteral("step14"));

    page->Properties()->cpiColorPhase->SetHue(355);
    page->Properties()->SetColorPhase();
    EXPECT_EQ(page->Properties()->cpiColorPhase->Hue(), 360);
    EXPECT_EQ(cameraValue("colorphase"), QStringLiteral("step3"));

    // The arrow key moves one step of 20 and its release sends it.
    page->Properties()->cpiColorPhase->SetHue(120);
    page->Properties()->cpiColorPhase->setFocus();
    QTest::keyClick(page->Properties()->cpiColorPhase, Qt::Key_Right);
    EXPECT_EQ(page->Properties()->cpiColorPhase->Hue(), 140);
    EXPECT_EQ(cameraValue("colorphase"), QStringLiteral("step14"));

    // Another filter hides the picker.
    pick(page->Properties()->cbxArtFilter, rs("_rsARTVintage"));
    EXPECT_FALSE(page->Properties()->cpiColorPhase->isVisible());
}

TEST_F(RemoteControlPageTest, LensLimitsCutTheApertureListAndButtonsFollowTheLastChoice)
{
    start();
    stopFrames();
    const QByteArray jpeg = QByteArray::fromStdString(camsim::SimJpeg::still(640, 480, 7, 80));
    const int full = int(camera->Remote.Params.Find(QStringLiteral("focalvalue"))->DisplayValues.size());

    page->fraLiveView->ShowFrame(jpeg, lensInformation(28, 220, 80));
    EXPECT_EQ(page->Control().AppliedLowerLimit(), 28);
    EXPECT_EQ(page->Control().AppliedUpperLimit(), 220);
    ASSERT_EQ(page->Properties()->cbxAperture->itemText(0), QStringLiteral("2.8"));
    EXPECT_EQ(page->Properties()->cbxAperture->itemText(page->Properties()->cbxAperture->count() - 1),
        QStringLiteral("22"));
    EXPECT_LT(page->Properties()->cbxAperture->count(), full);
    EXPECT_EQ(camera->Remote.Params.Find(QStringLiteral("focalvalue"))->MinLimit, 28);

    pick(page->Properties()->cbxAperture, QStringLiteral("8.0"));
    EXPECT_EQ(cameraValue("focalvalue"), QStringLiteral("8.0"));
    const int chosen = page->Properties()->LastApertureIndex();
    ASSERT_EQ(chosen, page->Properties()->cbxAperture->findText(QStringLiteral("8.0")));

    // A frame with an aperture the list lacks clears the selection.
    page->fraLiveView->ShowFrame(jpeg, lensInformation(28, 220, 75));
    ASSERT_EQ(page->Properties()->cbxAperture->currentIndex(), -1);
    page->findChild<QToolButton*>(QStringLiteral("btnApertureDown"))->click();
    EXPECT_EQ(page->Properties()->cbxAperture->currentText(), QStringLiteral("7.1"));
    EXPECT_EQ(cameraValue("focalvalue"), QStringLiteral("7.1"));

    page->fraLiveView->ShowFrame(jpeg, lensInformation(28, 220, 75));
    ASSERT_EQ(page->Properties()->cbxAperture->currentIndex(), -1);
    page->findChild<QToolButton*>(QStringLiteral("btnApertureUp"))->click();
    EXPECT_EQ(page->Properties()->cbxAperture->currentText(), QStringLiteral("2.8"));
    EXPECT_EQ(cameraValue("focalvalue"), QStringLiteral("2.8"));
}

// The shutter speed list runs from long to short: its "-" moves towards the end, the others' towards
// the start; each step reaches the camera, and no step leaves the list.
TEST_F(RemoteControlPageTest, StepButtonsMoveTheirListsTheRightWayAndStopAtTheEnds)
{
    start();
    stopFrames();
    pick(page->Properties()->cbxProgramMode, QStringLiteral("S"));
    ASSERT_TRUE(page->findChild<QToolButton*>(QStringLiteral("btnShutterSpeedDown"))->isEnabled());
    ASSERT_TRUE(page->findChild<QToolButton*>(QStringLiteral("btnExposureCompensationDown"))->isEnabled());

    struct Pair
    {
        QComboBox* choice;
        QToolButton* down;
        QToolButton* up;
        const char* property;
        int downStep;
    };
    const Pair pairs[] = {
        { page->Properties()->cbxShutterSpeed,
            page->findChild<QToolButton*>(QStringLiteral("btnShutterSpeedDown")),
            page->findChild<QToolButton*>(QStringLiteral("btnShutterSpeedUp")), "shutspeedvalue", 1 },
        { page->Properties()->cbxExposureCompensation,
            page->findChild<QToolButton*>(QStringLiteral("btnExposureCompensationDown")),
            page->findChild<QToolButton*>(QStringLiteral("btnExposureCompensationUp")), "expcomp", -1 },
        { page->Properties()->cbxISOSensitivity,
            page->findChild<QToolButton*>(QStringLiteral("btnISOSensitivityDown")),
            page->findChild<QToolButton*>(QStringLiteral("btnISOSensitivityUp")), "isospeedvalue", -1 },
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.property);
        ASSERT_GT(pair.choice->count(), 2);
        pick(pair.choice, pair.choice->itemText(1));
        pair.down->click();
        EXPECT_EQ(pair.choice->currentIndex(), 1 + pair.downStep);
        EXPECT_EQ(cameraValue(pair.property), pair.choice->currentText());
        pair.up->click();
        EXPECT_EQ(pair.choice->currentIndex(), 1);
        EXPECT_EQ(cameraValue(pair.property), pair.choice->currentText());

        // At the end the button towards it does nothing.
        QToolButton* towardsStart = pair.downStep < 0 ? pair.down : pair.up;
        pick(pair.choice, pair.choice->itemText(0));
        towardsStart->click();
        EXPECT_EQ(pair.choice->currentIndex(), 0);
        EXPECT_EQ(cameraValue(pair.property), pair.choice->itemText(0));
    }
}

TEST_F(RemoteControlPageTest, ZoomPressAndReleaseSendOneMoveAndOneStop)
{
    start();
    ASSERT_TRUE(camera->Remote.CtrlZoom.Enabled);
    press(page->pnlShutter->btnZoomOut);
    EXPECT_EQ(camera->Remote.CtrlZoom.LastMove, TCtrlZoomAction::WideMove);
    release(page->pnlShutter->btnZoomOut);
    EXPECT_EQ(camera->Remote.CtrlZoom.LastMove, TCtrlZoomAction::Off);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("move=off")) >= 1; }, 5000));
    EXPECT_EQ(requestCount(QStringLiteral("move=widemove")), 1);
    EXPECT_EQ(requestCount(QStringLiteral("move=off")), 1);

    press(page->pnlShutter->btnZoomIn);
    release(page->pnlShutter->btnZoomIn);
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
    page->Link()->imgLiveViewMouseDown(320, 240);
    EXPECT_EQ(page->TouchState(), 2);
    EXPECT_EQ(camera->Remote.AssignAFFrame.AFFocus, QStringLiteral("ok"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("assignafframe")) == 1; }, 5000));

    // A set point gives the frame back to the camera.
    page->pnlShutter->btnTouchMode->click();
    EXPECT_EQ(page->TouchState(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("releaseafframe")) >= 1; }, 5000));

    page->pnlShutter->btnTouchMode->click();
    EXPECT_EQ(page->TouchState(), 1);
    page->pnlShutter->btnTouchMode->click();
    EXPECT_EQ(page->TouchState(), 0);

    // In release mode a click takes the picture at the point (single shots only; the camera's
    // continuous drive mode goes through held shooting).
    pick(page->Properties()->cbxDriveMode,
        camera->Remote.Params.Find(QStringLiteral("drivemode"))
            ->Dictionary.ValueOf(QStringLiteral("normal")));
    ASSERT_FALSE(page->Shooting().IsSequentialMode());
    page->pnlShutter->btnTouchMode->click();
    ASSERT_EQ(page->TouchState(), 1);
    page->Link()->imgLiveViewMouseDown(100, 80);
    ASSERT_TRUE(QTest::qWaitFor([&] { return requestCount(QStringLiteral("com=starttake")) == 1; }, 5000));
    EXPECT_EQ(requestCount(QStringLiteral("assignafframe")), 1);
    EXPECT_EQ(page->TouchState(), 1);
}

TEST_F(RemoteControlPageTest, RefusedPropertyIsNamedReReadAndLeavesThePageUsable)
{
    start();
    stopFrames();
    ASSERT_EQ(page->Properties()->cbxISOSensitivity->currentText(), QStringLiteral("800"));
    // Every answer of the camera is a 520 for a moment.
    camsim::SimFaultSettings faults;
    faults.errorRate = 1;
    server->setFaults(faults);
    pick(page->Properties()->cbxISOSensitivity, QStringLiteral("1600"));
    server->setFaults({});
    EXPECT_EQ(open, 0);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->findChild<QToolButton*>(QStringLiteral("btnISOSensitivityUp"))->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxAperture->isEnabled());
    EXPECT_TRUE(page->Properties()->PropertyError().contains(QStringLiteral("ISO-Empfindlichkeit")))
        << page->Properties()->PropertyError().toStdString();
    EXPECT_TRUE(page->Properties()->PropertyError().contains(QStringLiteral("1600")));
    EXPECT_EQ(page->fraLiveView->lblErrorMsg->text(), page->Properties()->PropertyError());
    EXPECT_FALSE(page->fraLiveView->lblErrorMsg->isHidden());

    // The next change the camera takes clears the message.
    pick(page->Properties()->cbxISOSensitivity, QStringLiteral("1250"));
    EXPECT_EQ(cameraValue("isospeedvalue"), QStringLiteral("1250"));
    EXPECT_EQ(page->Properties()->PropertyError(), QString());
    EXPECT_TRUE(page->fraLiveView->lblErrorMsg->isHidden());

    // The camera refuses an aperture in P: the choice shows the camera's value again.
    pick(page->Properties()->cbxAperture, QStringLiteral("8.0"));
    const QString aperture = cameraValue("focalvalue");
    ASSERT_EQ(aperture, QStringLiteral("8.0"));
    pick(page->Properties()->cbxProgramMode, QStringLiteral("P"));
    ASSERT_FALSE(page->Properties()->cbxAperture->isEnabled());
    const int other = page->Properties()->cbxAperture->findText(QStringLiteral("5.6"));
    ASSERT_GE(other, 0);
    page->Properties()->cbxAperture->setCurrentIndex(other);
    EXPECT_FALSE(
        page->Properties()->SetParamValue(QStringLiteral("focalvalue"), page->Properties()->cbxAperture));
    EXPECT_EQ(open, 0);
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(page->Properties()->PropertyError().contains(QStringLiteral("Blende")));
    EXPECT_EQ(page->Properties()->cbxAperture->currentText(), aperture);
    EXPECT_EQ(cameraValue("focalvalue"), aperture);
    EXPECT_TRUE(page->Properties()->cbxISOSensitivity->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxProgramMode->isEnabled());
}

TEST_F(RemoteControlPageTest, AutomaticPreviewAndDownloadAreStoredAndPageButtonsWalk)
{
    start();
    ASSERT_FALSE(page->pnlShutter->IsAutoDownload());
    EXPECT_TRUE(page->pnlShutter->btnDownloadLastTake->isEnabled());
    page->pnlShutter->btnAutoDownload->click();
    EXPECT_TRUE(page->pnlShutter->IsAutoDownload());
    EXPECT_FALSE(page->pnlShutter->btnDownloadLastTake->isEnabled());
    page->pnlShutter->btnAutoPreview->click();
    EXPECT_FALSE(page->pnlShutter->btnLastPreview->isEnabled());
    TSetup stored;
    stored.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
    stored.Load();
    EXPECT_TRUE(stored.AutoDownload);
    EXPECT_TRUE(stored.AutoPreview);
    page->pnlShutter->btnAutoPreview->click();
    EXPECT_TRUE(page->pnlShutter->btnLastPreview->isEnabled());
    EXPECT_FALSE(setup.AutoPreview);

    EXPECT_EQ(page->Properties()->Pager->pcCameraProperties->currentWidget(), page->Properties()->tsGeneral);
    EXPECT_FALSE(page->Properties()->Pager->btnPrevParams->isVisible());
    page->Properties()->Pager->btnNextParams->click();
    page->Properties()->Pager->btnNextParams->click();
    EXPECT_EQ(page->Properties()->Pager->pcCameraProperties->currentWidget(), page->tsTimelapse);
    EXPECT_FALSE(page->Properties()->Pager->btnNextParams->isVisible());
    EXPECT_TRUE(page->Properties()->Pager->btnPrevParams->isVisible());
    page->Properties()->Pager->btnPrevParams->click();
    EXPECT_EQ(
        page->Properties()->Pager->pcCameraProperties->currentWidget(), page->Properties()->tsAdditional);
    EXPECT_TRUE(page->Properties()->Pager->btnNextParams->isVisible());
}

} // namespace
