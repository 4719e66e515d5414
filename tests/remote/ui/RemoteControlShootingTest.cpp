// The remote control page's shutter area against the simulator: the take button's clicks, presses
// and releases reach the camera through the shooting object and come back as the button's state,
// the clocks, the last shot's lines and marks, progress, the preview window and files on disk; a
// failed shot is named and leaves nothing locked; leaving the page ends what runs at the camera.
#include "remote/ui/RemoteControlPageFixture.h"

#include "base/TNamedTexts.h"
#include "base/ui/TfrmPreview.h"
#include "liveview/ui/TLiveViewStatusLine.h"
#include "remote/TShooting.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimJpeg.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <iostream>

namespace {

using lvtest::RemoteControlPageTest;
using TakeState = camsim::SimCamera::TakeState;

class RemoteControlShootingTest : public RemoteControlPageTest
{
protected:
    // The camera's value as the page shows it.
    QString shown(const char* property, const char* value)
    {
        return camera->Remote.Params.Find(QString::fromLatin1(property))
            ->Dictionary.ValueOf(QString::fromLatin1(value), true);
    }

    void chooseSingleShots() { pick(page->Properties()->cbxDriveMode, shown("drivemode", "normal")); }

    void chooseManualWith(const char* speed)
    {
        pick(page->Properties()->cbxProgramMode, QStringLiteral("M"));
        pick(page->Properties()->cbxShutterSpeed, shown("shutspeedvalue", speed));
    }

    // Closes the preview window once it shows, keeping what it showed.
    void closePreviewWhenShown()
    {
        auto* closer = new QTimer(page.get());
        QObject::connect(closer, &QTimer::timeout, page.get(), [this, closer] {
            TfrmPreview* preview = page->Link()->PreviewWindow();
            if (!preview->isVisible())
                return;
            previewCaption = preview->lblTakeInfo->text();
            previewShown = !preview->imgPreview->pixmap().isNull();
            closer->stop();
            QMouseEvent click(QEvent::MouseButtonRelease, QPointF(5, 5), preview->mapToGlobal(QPointF(5, 5)),
                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(preview, &click);
        });
        closer->start(10);
    }

    QColor markColor(const QLabel* mark) const { return mark->palette().color(QPalette::WindowText); }

    QString previewCaption;
    bool previewShown = false;
};

TEST_F(RemoteControlShootingTest, LiveTimeTakesTwoClicksWithItsClockAndListsTheShot)
{
    start();
    stopFrames();
    chooseSingleShots();
    chooseManualWith("livetime");
    ASSERT_TRUE(page->Shooting().IsLiveTimeMode());

    page->pnlShutter->btnTake->click();
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=starttake"), 1));
    EXPECT_EQ(server->camera().takeState(), TakeState::Exposing);
    EXPECT_EQ(page->TakeState(), TShooting::ButtonStop);
    // The main window stays locked but for the take button with its clock and the picture.
    EXPECT_EQ(open, 1);
    ASSERT_EQ(freeRegions, 3);
    // Exactly where the button and its clock are: the overlay lies on the window's client area.
    EXPECT_EQ(regionRects.at(0),
        QRect(page->pnlShutter->btnTake->mapTo(page.get(), QPoint()), page->pnlShutter->btnTake->size()));
    EXPECT_EQ(regionRects.at(1),
        QRect(page->pnlShutter->lblLastTakeInfo->mapTo(page.get(), QPoint()),
            page->pnlShutter->lblLastTakeInfo->size()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$"))
                .match(page->pnlShutter->lblLastTakeInfo->text())
                .hasMatch();
        },
        5000))
        << page->pnlShutter->lblLastTakeInfo->text().toStdString();
    // A click on the picture does nothing meanwhile.
    page->Link()->imgLiveViewMouseDown(100, 80);
    EXPECT_EQ(requestCount(QStringLiteral("assignafframe")), 0);

    page->pnlShutter->btnTake->click();
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=stoptake"), 1));
    EXPECT_EQ(server->camera().takeState(), TakeState::Idle);
    EXPECT_EQ(page->TakeState(), TShooting::ButtonNormal);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(freeRegions, 0);
    EXPECT_TRUE(page->pnlShutter->lblLastTakeInfo->text().contains(QStringLiteral(".JPG")))
        << page->pnlShutter->lblLastTakeInfo->text().toStdString();
    EXPECT_EQ(page->Link()->ShootingError(), QString());
}

TEST_F(RemoteControlShootingTest, SequentialShootingFollowsPressAndReleaseOfTheButton)
{
    start();
    stopFrames();
    ASSERT_TRUE(page->Shooting().IsSequentialMode());
    const int before = server->card().dcfFileCount();
    press(page->pnlShutter->btnTake);
    EXPECT_EQ(requestCount(QStringLiteral("com=starttake")), 1);
    EXPECT_EQ(requestCount(QStringLiteral("com=stoptake")), 0);
    EXPECT_TRUE(page->Shooting().IsLongExposureRunning());
    EXPECT_EQ(open, 1);
    release(page->pnlShutter->btnTake);
    EXPECT_EQ(requestCount(QStringLiteral("com=stoptake")), 1);
    EXPECT_FALSE(page->Shooting().IsLongExposureRunning());
    EXPECT_GT(server->card().dcfFileCount(), before);
    EXPECT_NE(page->pnlShutter->lblLastTakeInfo->text(), QStringLiteral("-"));
    EXPECT_EQ(open, 0);
}

TEST_F(RemoteControlShootingTest, SelfTimerWithAPointCountsDownOnThePictureThenTakesOrIsCancelled)
{
    start();
    stopFrames();
    pick(page->Properties()->cbxDriveMode, shown("drivemode", "selftimer"));
    ASSERT_TRUE(page->Properties()->cbxSelfTimer->isVisible());
    EXPECT_EQ(page->TakeState(), TShooting::ButtonSelfTimer);
    pick(page->Properties()->cbxSelfTimer, QStringLiteral("10"));
    page->pnlShutter->btnTouchMode->click();
    ASSERT_EQ(page->TouchState(), 1);
    QStringList counted;
    QObject::connect(&page->Shooting(), &TShooting::SelfTimerCount, page.get(),
        [&] { counted << page->fraLiveView->lblSelfTimerValue->text(); });
    page->Shooting().SelfTimerIntervalMs = 5;
    const int before = server->card().dcfFileCount();

    page->Link()->imgLiveViewMouseDown(100, 80);
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=takeready&point=0100x0080"), 1));
    EXPECT_TRUE(page->fraLiveView->lblSelfTimerValue->isVisibleTo(page.get()));
    EXPECT_EQ(open, 1);
    EXPECT_EQ(freeRegions, 1) << "the picture only";
    ASSERT_TRUE(QTest::qWaitFor([&] { return open == 0; }, 5000));
    EXPECT_EQ(counted, QStringList({ "10", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0" }));
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=starttake"), 1));
    EXPECT_EQ(server->card().dcfFileCount(), before + 2);
    EXPECT_FALSE(page->fraLiveView->lblSelfTimerValue->isVisibleTo(page.get()));

    // A second click on the picture during the count-down cancels it.
    page->Shooting().SelfTimerIntervalMs = 60'000;
    page->Link()->imgLiveViewMouseDown(100, 80);
    ASSERT_TRUE(page->Shooting().IsSelfTimerRunning());
    page->Link()->imgLiveViewMouseDown(100, 80);
    EXPECT_FALSE(page->Shooting().IsSelfTimerRunning());
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=stoptake"), 1));
    // So do two clicks of the take button, also with another property page in front.
    page->Properties()->Pager->btnNextParamsClick();
    ASSERT_FALSE(page->Properties()->cbxSelfTimer->isVisible());
    page->pnlShutter->btnTake->click();
    EXPECT_TRUE(page->Shooting().IsSelfTimerRunning());
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=takeready"), 3));
    page->pnlShutter->btnTake->click();
    EXPECT_FALSE(page->Shooting().IsSelfTimerRunning());
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=stoptake"), 2));
    EXPECT_TRUE(requestsSeen(QStringLiteral("com=starttake"), 1));
    EXPECT_FALSE(page->fraLiveView->lblSelfTimerValue->isVisibleTo(page.get()));
    EXPECT_EQ(open, 0);
}

TEST_F(RemoteControlShootingTest, AShotListsItsFilesLightsTheMarksShowsThePreviewAndDownloads)
{
    start();
    stopFrames();
    chooseSingleShots();
    TLiveViewStatusLine* status = page->fraLiveView->StatusLine;
    const QColor off = markColor(status->lblJPEG);
    ASSERT_EQ(markColor(status->lblRAW), off);
    QTemporaryDir downloads;
    ASSERT_TRUE(downloads.isValid());
    setup.SetDownloadDirectory(downloads.path());
    page->pnlShutter->btnAutoPreview->click();
    page->pnlShutter->btnAutoDownload->click();
    QList<int> percents;
    QString endText;
    QObject::connect(page.get(), &TfraCameraPage::OnProgress,
        [&](const QString&, const QString& detail, bool finished, int percent) {
            percents << percent;
            if (finished)
                endText = detail;
        });
    closePreviewWhenShown();

    QElapsedTimer clock;
    clock.start();
    page->pnlShutter->btnTake->click();
    const qint64 listedAndStored = clock.elapsed();
    const QStringList lines = page->pnlShutter->lblLastTakeInfo->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2) << page->pnlShutter->lblLastTakeInfo->text().toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral(".JPG")) || lines[1].contains(QStringLiteral(".JPG")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral(".ORF")) || lines[1].contains(QStringLiteral(".ORF")));
    EXPECT_NE(markColor(status->lblJPEG), off);
    EXPECT_EQ(markColor(status->lblRAW), markColor(status->lblJPEG));
    for (const QString& line : lines)
        EXPECT_TRUE(QFileInfo::exists(QDir(downloads.path()).filePath(line.section(u'\t', 0, 0))))
            << line.toStdString();
    EXPECT_EQ(QDir(downloads.path()).entryList(QDir::Files).size(), 2) << "no partial file beside them";
    // Two files: 0 and 50 around the first, 50 and 100 around the second, the bytes in between.
    ASSERT_GE(percents.size(), 4);
    EXPECT_EQ(percents.first(), 0);
    EXPECT_TRUE(percents.contains(50));
    EXPECT_EQ(percents.last(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(endText, rs("_rsTaskFinished"));

    // The preview comes once the files are in, captioned with their lines.
    ASSERT_TRUE(QTest::qWaitFor([&] { return previewShown; }, 5000));
    EXPECT_EQ(previewCaption, page->pnlShutter->lblLastTakeInfo->text());
    EXPECT_EQ(open, 0);
    std::cout << "take click to files listed and on disk: " << listedAndStored << " ms" << std::endl;

    // A JPEG-only shot lights only its mark.
    page->pnlShutter->btnAutoPreview->click();
    server->camera().setQuality("LF");
    page->pnlShutter->btnTake->click();
    EXPECT_NE(markColor(status->lblJPEG), off);
    EXPECT_EQ(markColor(status->lblRAW), off);
}

TEST_F(RemoteControlShootingTest, LiveViewFramesStandInForShotsAndNothingIsSent)
{
    start();
    stopFrames();
    chooseSingleShots();
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("LiveView")));
    setup.TempDir = temp.path() + QLatin1Char('/');
    setup.LvAsTake = true;
    page->pnlShutter->btnAutoDownload->click();
    page->fraLiveView->ShowFrame(
        QByteArray::fromStdString(camsim::SimJpeg::still(640, 480, 7, 80)), TMetaData());
    const int sentBefore = requestCount(QStringLiteral(".cgi"));

    page->pnlShutter->btnTake->click();
    page->pnlShutter->btnTake->click();
    const QStringList frames = QDir(temp.filePath(QStringLiteral("LiveView"))).entryList(QDir::Files);
    ASSERT_EQ(frames.size(), 2);
    EXPECT_TRUE(frames[0].endsWith(QStringLiteral(".jpg")));
    // Two frames saved within one millisecond get "<time>.jpg" and "<time>-1.jpg"; the line names one.
    EXPECT_TRUE(frames.contains(page->pnlShutter->lblLastTakeInfo->text()))
        << page->pnlShutter->lblLastTakeInfo->text().toStdString();
    EXPECT_EQ(requestCount(QStringLiteral(".cgi")), sentBefore);
    EXPECT_EQ(open, 0);
}

TEST_F(RemoteControlShootingTest, LeavingDuringALiveBulbExposureEndsItAtTheCamera)
{
    start();
    stopFrames();
    chooseSingleShots();
    chooseManualWith("livebulb");
    ASSERT_TRUE(page->Shooting().IsLiveBulbMode());
    press(page->pnlShutter->btnTake);
    ASSERT_EQ(server->camera().takeState(), TakeState::Exposing);
    EXPECT_EQ(open, 1);
    page->GoStop();
    EXPECT_EQ(requestCount(QStringLiteral("com=stoptake")), 1);
    EXPECT_EQ(server->camera().takeState(), TakeState::Idle);
    EXPECT_FALSE(page->Shooting().IsLongExposureRunning());
    EXPECT_EQ(open, 0);
    // The release after leaving sends nothing more.
    release(page->pnlShutter->btnTake);
    EXPECT_EQ(requestCount(QStringLiteral("com=stoptake")), 1);
}

TEST_F(RemoteControlShootingTest, FailedShotsAreNamedReReadAndLeaveNothingLocked)
{
    start();
    stopFrames();
    chooseSingleShots();
    // A point off the live picture: the camera answers the take with an error.
    const int readsBefore = requestCount(QStringLiteral("get_camprop"));
    EXPECT_FALSE(page->Link()->TakePhoto(9999, 9999));
    EXPECT_FALSE(page->Link()->ShootingError().isEmpty());
    EXPECT_EQ(page->fraLiveView->lblErrorMsg->text(), page->Link()->ShootingError());
    EXPECT_GT(requestCount(QStringLiteral("get_camprop")), readsBefore) << "the values are read again";
    EXPECT_TRUE(page->isEnabled());
    EXPECT_TRUE(page->Properties()->cbxDriveMode->isEnabled());
    EXPECT_EQ(page->TakeState(), TShooting::ButtonNormal);
    EXPECT_EQ(open, 0);

    // The next shot that works takes the message away.
    page->pnlShutter->btnTake->click();
    EXPECT_EQ(page->Link()->ShootingError(), QString());
    EXPECT_TRUE(page->fraLiveView->lblErrorMsg->isHidden());

    // An automatic download into a folder that is gone says so instead of passing for done.
    QTemporaryDir gone;
    const QString missing = gone.path() + QStringLiteral("/removed");
    setup.SetDownloadDirectory(missing);
    page->pnlShutter->btnAutoDownload->click();
    page->pnlShutter->btnTake->click();
    EXPECT_TRUE(page->Link()->ShootingError().contains(missing))
        << page->Link()->ShootingError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing));
    page->pnlShutter->btnAutoDownload->click();

    // The camera goes off during a LIVETIME exposure: the button leaves its stop mode.
    chooseManualWith("livetime");
    page->pnlShutter->btnTake->click();
    ASSERT_EQ(page->TakeState(), TShooting::ButtonStop);
    server->setPower(false);
    page->pnlShutter->btnTake->click();
    EXPECT_EQ(page->TakeState(), TShooting::ButtonNormal);
    EXPECT_FALSE(page->Link()->ShootingError().isEmpty());
    EXPECT_TRUE(page->isEnabled());
    EXPECT_EQ(open, 0);
}

TEST_F(RemoteControlShootingTest, MovieButtonBlinksWhileRecordingAndStopsWhenTheCameraGoesOff)
{
    start("omd-v260");
    stopFrames();
    ASSERT_TRUE(page->Link()->TakeMovie());
    EXPECT_TRUE(page->Shooting().IsMovieRecording());
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->pnlShutter->MovieState() == 4; }, 5000));
    EXPECT_FALSE(page->Properties()->cbxMovieQuality->isEnabled());
    EXPECT_EQ(open, 0);
    server->setPower(false);
    page->pnlShutter->btnTakeMovie->click();
    EXPECT_FALSE(page->Shooting().IsMovieRecording());
    EXPECT_EQ(page->pnlShutter->MovieState(), 0);
    EXPECT_EQ(page->fraLiveView->lblTimer->text(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(page->Link()->ShootingError().startsWith(QStringLiteral("Die Filmaufnahme")))
        << page->Link()->ShootingError().toStdString();
    EXPECT_EQ(open, 0);
}

} // namespace
