// Time-lapse series on the remote control page against the simulator: the switch follows the drive
// mode, the take button starts a series that counts its shots on the advanced panel, downloads each
// shot and writes its log, and ends by itself, by a second click or by leaving the page, every time
// with the button, the side area and the communications back as they were.
#include "remote/ui/RemoteControlPageFixture.h"

#include "base/TNamedTexts.h"
#include "remote/TShooting.h"
#include "remote/TTimeLapseSeries.h"
#include "remote/ui/TfraTimeLapse.h"
#include "remote/ui/TfraTimeLapseAdvanced.h"

#include "liveview/TMetaData.h"
#include "liveview/ui/TfraLiveView.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QtEndian>

#include <utility>
#include <vector>

namespace {

using lvtest::RemoteControlPageTest;

class RemoteControlTimeLapseTest : public RemoteControlPageTest
{
protected:
    struct TProgress
    {
        QString Title, Detail;
        bool Finished = false;
        int Percent = 0;
    };

    QString shown(const char* property, const char* value)
    {
        return camera->Remote.Params.Find(QString::fromLatin1(property))
            ->Dictionary.ValueOf(QString::fromLatin1(value), true);
    }

    // Single shots, the plan set and the switch on, as a user prepares a series.
    void prepare(int takeCount, bool downloadEachShot = false)
    {
        QObject::connect(page.get(), &TfraCameraPage::OnProgress,
            [this](const QString& title, const QString& detail, bool finished, int percent) {
                progress.push_back({ title, detail, finished, percent });
            });
        pick(page->Properties()->cbxDriveMode, shown("drivemode", "normal"));
        ASSERT_TRUE(page->tsTimelapse->swTimeLapse->isEnabled());
        page->tsTimelapse->fraTimeLapse->seWaitSecond->setValue(0);
        page->tsTimelapse->fraTimeLapse->seIntervalSecond->setValue(1);
        page->tsTimelapse->fraTimeLapse->seTakeCount->setValue(takeCount);
        page->tsTimelapse->fraTimeLapse->chkDownloadEachShot->setChecked(downloadEachShot);
        page->tsTimelapse->swTimeLapse->setChecked(true);
        ASSERT_TRUE(page->tsTimelapse->fraTimeLapse->Active());
    }

    // What a series shows while it runs.
    void expectRunning()
    {
        EXPECT_TRUE(page->IsTimeLapseRunning());
        EXPECT_EQ(page->TakeState(), TShooting::ButtonStop);
        EXPECT_EQ(page->pcSide->currentWidget(), page->tsTimeLapseAdvanced);
        EXPECT_EQ(open, 1);
        ASSERT_EQ(freeRegions, 3);
        EXPECT_EQ(regionRects.at(0), inPage(page->pnlShutter->btnTake));
        EXPECT_EQ(regionRects.at(2), inPage(page->tsTimeLapseAdvanced));
    }

    // And how the page looks once it ended.
    void expectEnded()
    {
        EXPECT_FALSE(page->IsTimeLapseRunning());
        EXPECT_FALSE(page->pnlLRTLPreviewImage->Series().IsRunning());
        EXPECT_EQ(page->TakeState(), TShooting::ButtonNormal);
        EXPECT_EQ(page->pcSide->currentWidget(), page->tsCameraProperties);
        EXPECT_EQ(open, 0);
        EXPECT_EQ(freeRegions, 0);
        ASSERT_FALSE(progress.empty());
        EXPECT_TRUE(progress.back().Finished);
        EXPECT_EQ(progress.back().Detail, rs("_rsTaskFinished"));
        EXPECT_EQ(progress.back().Percent, 100);
    }

    int shots() { return requestCount(QStringLiteral("com=starttake")); }

    QTemporaryDir downloads;
    std::vector<TProgress> progress;
};

TEST_F(RemoteControlTimeLapseTest, SwitchOnlyForSingleShots)
{
    start();
    stopFrames();
    pick(page->Properties()->cbxDriveMode, shown("drivemode", "normal"));
    ASSERT_TRUE(page->tsTimelapse->swTimeLapse->isEnabled());
    page->tsTimelapse->swTimeLapse->setChecked(true);
    EXPECT_TRUE(page->tsTimelapse->fraTimeLapse->Active());
    EXPECT_TRUE(page->pnlShutter->lblTimelapseStatus->isVisibleTo(page.get()));
    EXPECT_EQ(page->pnlLRTLPreviewImage->ShotsRemaining(), page->tsTimelapse->fraTimeLapse->TakeCount());

    // Sequential shooting: no series, and the switch is off, not only greyed.
    pick(page->Properties()->cbxDriveMode, shown("drivemode", "continuous-H"));
    EXPECT_FALSE(page->tsTimelapse->swTimeLapse->isEnabled());
    EXPECT_FALSE(page->tsTimelapse->swTimeLapse->isChecked());
    EXPECT_FALSE(page->tsTimelapse->fraTimeLapse->Active());
    EXPECT_FALSE(page->pnlShutter->lblTimelapseStatus->isVisibleTo(page.get()));
    EXPECT_EQ(page->pnlLRTLPreviewImage->ShotsRemaining(), 0);
    // The take button takes its ordinary picture then.
    page->pnlShutter->btnTake->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return open == 0 && !page->IsTimeLapseRunning(); }, 5000));
    EXPECT_EQ(page->pcSide->currentWidget(), page->tsCameraProperties);

    pick(page->Properties()->cbxDriveMode, shown("drivemode", "normal"));
    EXPECT_TRUE(page->tsTimelapse->swTimeLapse->isEnabled());
    EXPECT_FALSE(page->tsTimelapse->swTimeLapse->isChecked());
}

TEST_F(RemoteControlTimeLapseTest, LimitedSeriesCountsDownDownloadsEachShotAndEnds)
{
    ASSERT_TRUE(downloads.isValid());
    start();
    prepare(3, true);
    // No download folder in the settings: the user names one for the series.
    int asked = 0;
    page->Shooting().ChooseFolder = [&] { return ++asked == 1 ? QString() : downloads.path(); };
    // Cancelled: no series, nothing taken.
    page->pnlShutter->btnTake->click();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(page->IsTimeLapseRunning());
    EXPECT_EQ(page->TakeState(), TShooting::ButtonNormal);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(shots(), 0);

    page->pnlShutter->btnTake->click();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(setup.GetDownloadDirectory().isEmpty());
    expectRunning();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().Title, rs("_rsTimeLapseTotal", { 3 }));
    EXPECT_EQ(progress.front().Percent, 0);
    EXPECT_EQ(page->pnlLRTLPreviewImage->ShotsRemaining(), 3);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsTimeLapseRunning(); }, 30000));
    expectEnded();
    EXPECT_EQ(shots(), 3);
    EXPECT_EQ(page->pnlLRTLPreviewImage->ShotsRemaining(), 0);
    // One detail per shot with its share, halves to even: 33, 67, 100.
    std::vector<std::pair<QString, int>> counted;
    for (const TProgress& p : progress)
        if (!p.Finished && !p.Detail.isEmpty())
            counted.emplace_back(p.Detail, p.Percent);
    const std::vector<std::pair<QString, int>> expected = { { rs("_rsTakeNumber", { 1 }), 33 },
        { rs("_rsTakeNumber", { 2 }), 67 }, { rs("_rsTakeNumber", { 3 }), 100 } };
    EXPECT_EQ(counted, expected);
    EXPECT_EQ(page->tsTimelapse->fraTimeLapseAdvanced->lblTLFrameValue->text(), QStringLiteral("3/3"));

    // The plan, not the end of the shot before, fixes each shot's time.
    const TTimeLapseSeries& series = page->pnlLRTLPreviewImage->Series();
    ASSERT_EQ(series.Shots().size(), 3);
    for (int i = 1; i < 3; ++i)
        EXPECT_EQ(series.Shots().at(i).PlannedMs - series.Shots().at(i - 1).PlannedMs, 1000);

    // Every shot's files on the computer and the log beside them, one line per shot.
    ASSERT_TRUE(QTest::qWaitFor([&] { return series.PendingDownloads() == 0; }, 30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return series.Shots().back().Written; }, 5000));
    for (const TTimeLapseSeries::TShot& shot : series.Shots()) {
        EXPECT_TRUE(shot.Ok) << shot.Reason.toStdString();
        EXPECT_EQ(shot.Download, QStringLiteral("ok"));
        ASSERT_FALSE(shot.Files.isEmpty());
        for (const QString& name : shot.Files) {
            const QFileInfo file(QDir(downloads.path()).filePath(name));
            EXPECT_TRUE(file.isFile()) << name.toStdString();
            EXPECT_GT(file.size(), 0);
        }
    }
    ASSERT_FALSE(series.LogFile().isEmpty());
    EXPECT_EQ(QFileInfo(series.LogFile()).absolutePath(), QFileInfo(downloads.path()).absoluteFilePath());
    QFile log(series.LogFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.at(0), TTimeLapseSeries::CsvHeader());
    for (int i = 1; i < 4; ++i)
        EXPECT_TRUE(lines.at(i).endsWith(QStringLiteral(",ok"))) << lines.at(i).toStdString();
}

TEST_F(RemoteControlTimeLapseTest, SecondClickEndsAnUnlimitedSeriesWithoutAnotherPicture)
{
    start();
    stopFrames();
    prepare(0);
    page->pnlShutter->btnTake->click();
    expectRunning();
    EXPECT_EQ(progress.front().Title, rs("_rsTimeLapseInfinite"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return page->pnlLRTLPreviewImage->Series().ShotsTaken() >= 2; }, 30000));
    // Unlimited: the counter runs below 0, the progress counts up at 0 %.
    EXPECT_EQ(page->pnlLRTLPreviewImage->ShotsRemaining(), -page->pnlLRTLPreviewImage->Series().ShotsTaken());
    EXPECT_EQ(
        progress.back().Detail, rs("_rsTakeNumber", { page->pnlLRTLPreviewImage->Series().ShotsTaken() }));
    EXPECT_EQ(progress.back().Percent, 0);
    EXPECT_TRUE(page->tsTimelapse->fraTimeLapse->Active());

    const int taken = shots();
    page->pnlShutter->btnTake->click();
    expectEnded();
    EXPECT_EQ(shots(), taken) << "the stopping click took a picture";
    // The plan is gone: no shot comes after the stop.
    QTest::qWait(1500);
    EXPECT_EQ(shots(), taken);

    // A new series starts from the same button.
    progress.clear();
    page->tsTimelapse->fraTimeLapse->seTakeCount->setValue(1);
    page->pnlShutter->btnTake->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsTimeLapseRunning(); }, 30000));
    expectEnded();
    EXPECT_EQ(shots(), taken + 1);
}

TEST_F(RemoteControlTimeLapseTest, LeavingThePageEndsTheSeriesAndCompletesItsLog)
{
    ASSERT_TRUE(downloads.isValid());
    setup.SetDownloadDirectory(downloads.path());
    start();
    prepare(5, true);
    page->pnlShutter->btnTake->click();
    expectRunning();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shots() >= 1; }, 30000));

    page->GoStop();
    expectEnded();
    const int taken = shots();
    EXPECT_LT(taken, 5);
    // Leaving waited for what was queued: every shot taken has its files and its line.
    const TTimeLapseSeries& series = page->pnlLRTLPreviewImage->Series();
    EXPECT_EQ(series.PendingDownloads(), 0);
    ASSERT_EQ(series.Shots().size(), taken);
    for (const TTimeLapseSeries::TShot& shot : series.Shots()) {
        EXPECT_EQ(shot.Download, QStringLiteral("ok"));
        for (const QString& name : shot.Files)
            EXPECT_TRUE(QFileInfo(QDir(downloads.path()).filePath(name)).isFile()) << name.toStdString();
    }
    QFile log(series.LogFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(log.readAll()).count(QLatin1Char('\n')), taken + 1);

    QTest::qWait(1500);
    EXPECT_EQ(shots(), taken);
}

// A live view frame as the panel gets it: a small picture and the camera's meter reading (EV × 10).
std::pair<QByteArray, TMetaData> frame(int meter)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(QColor(90, 90, 90));
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "JPG");
    QByteArray block(TMetaData::kAreaSize, '\0');
    qToBigEndian<qint32>(meter, block.data() + 120);
    TMetaData meta;
    meta.Assign(block);
    return { jpeg, meta };
}

TEST_F(RemoteControlTimeLapseTest, AutomaticModesStartedFromThePageMeasureInTheSeries)
{
    setup.DebugMode = true;
    start();
    stopFrames();
    pick(page->Properties()->cbxProgramMode, QStringLiteral("M"));
    prepare(0);
    page->pnlShutter->btnTake->click();
    TTimeLapseSeries& series = page->pnlLRTLPreviewImage->Series();
    ASSERT_TRUE(series.WaitingForStart());
    ASSERT_TRUE(page->tsTimelapse->fraTimeLapseAdvanced->cbxAutoMode->isEnabled());
    page->tsTimelapse->fraTimeLapseAdvanced->cbxAutoMode->setCurrentIndex(3); // -0.7 EV
    ASSERT_TRUE(series.Exposure.IsAuto());
    ASSERT_FALSE(series.Exposure.IsLRT());

    // Each frame the live view panel handles is one reading of the series, the frame's own meter
    // value, also while the side area shows something else.
    TDoubleList& readings = series.Exposure.EvReadings;
    const int before = readings.Count();
    const auto [darker, darkerMeta] = frame(-13);
    page->fraLiveView->ShowFrame(darker, darkerMeta);
    page->pcSide->setCurrentWidget(page->tsCameraProperties);
    const auto [brighter, brighterMeta] = frame(7);
    page->fraLiveView->ShowFrame(brighter, brighterMeta);
    ASSERT_EQ(readings.Count(), before + 2);
    EXPECT_DOUBLE_EQ(readings.Items(before), -1.3);
    EXPECT_DOUBLE_EQ(readings.Items(before + 1), 0.7);
    page->pcSide->setCurrentWidget(page->tsTimeLapseAdvanced);

    // LRTimelapse: the preview picture's record view is measured by the series against the last
    // frame, and no meter reading is queued any more.
    page->tsTimelapse->fraTimeLapseAdvanced->cbxAutoMode->setCurrentIndex(
        TTimeLapseExposure::ModeLRTimelapse);
    ASSERT_TRUE(series.Exposure.IsLRT());
    const int readingsBefore = readings.Count();
    page->fraLiveView->ShowFrame(darker, darkerMeta);
    EXPECT_EQ(readings.Count(), readingsBefore);
    ASSERT_TRUE(page->pnlLRTLPreviewImage->btnLRTLPreviewImage->isVisibleTo(page.get()));
    const int taken = shots();
    page->pnlLRTLPreviewImage->btnLRTLPreviewImage->click();
    EXPECT_EQ(shots(), taken + 1);
    EXPECT_FALSE(series.RecordView().isEmpty());
    EXPECT_TRUE(series.WaitingForStart()) << "a preview picture is no shot of the series";

    page->pnlShutter->btnTake->click();
    expectEnded();
}

} // namespace
