// The time-lapse panels on their own: the set-up fields with their limits and wrap-around, the
// stored download choice, and the advanced panel showing a series run on a clock the test sets.
#include "remote/ui/TTimeLapseLrtPage.h"
#include "remote/ui/TfraTimeLapse.h"
#include "remote/ui/TfraTimeLapseAdvanced.h"

#include "base/AppTexts.h"
#include "base/TSetup.h"
#include "remote/TTimeLapseSeries.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(TimeLapsePanel, FieldsWrapOnTheSecondClickAtTheirEnds)
{
    TfraTimeLapse panel;
    EXPECT_EQ(panel.WaitTimeInSeconds(), 1);
    EXPECT_EQ(panel.IntervalTimeInSeconds(), 1);
    EXPECT_EQ(panel.TakeCount(), 99);
    EXPECT_EQ(panel.seWaitMinute->text(), "00");
    EXPECT_EQ(panel.seTakeCount->text(), "99");

    // Down at 0 of the minutes: 59; up from there back to 00.
    panel.seWaitMinute->stepBy(-1);
    EXPECT_EQ(panel.seWaitMinute->value(), 59);
    panel.seWaitMinute->stepBy(1);
    EXPECT_EQ(panel.seWaitMinute->value(), 0);
    // Reached by the buttons, 59 wraps on the next click.
    panel.seIntervalSecond->setValue(57);
    panel.seIntervalSecond->stepBy(1);
    panel.seIntervalSecond->stepBy(1);
    EXPECT_EQ(panel.seIntervalSecond->value(), 59);
    panel.seIntervalSecond->stepBy(1);
    EXPECT_EQ(panel.seIntervalSecond->value(), 0);
    // Typed in, the maximum holds on the first click and wraps on the second.
    panel.seWaitHour->setValue(23);
    panel.seWaitHour->stepBy(1);
    EXPECT_EQ(panel.seWaitHour->value(), 23);
    panel.seWaitHour->stepBy(1);
    EXPECT_EQ(panel.seWaitHour->value(), 0);
    // The shot count rounds from 0 to 9999.
    panel.seTakeCount->setValue(0);
    panel.seTakeCount->stepBy(-1);
    EXPECT_EQ(panel.seTakeCount->value(), 0);
    panel.seTakeCount->stepBy(-1);
    EXPECT_EQ(panel.TakeCount(), 9999);

    panel.seWaitHour->setValue(23);
    panel.seWaitMinute->setValue(59);
    panel.seWaitSecond->setValue(59);
    EXPECT_EQ(panel.WaitTimeInSeconds(), 86399);
    for (QSpinBox* spin : { panel.seIntervalHour, panel.seIntervalMinute, panel.seIntervalSecond })
        spin->setValue(0);
    EXPECT_EQ(panel.IntervalTimeInSeconds(), 0);

    panel.SetActive(false);
    EXPECT_FALSE(panel.Active());
    for (QSpinBox* spin : { panel.seWaitHour, panel.seWaitMinute, panel.seWaitSecond, panel.seIntervalHour,
             panel.seIntervalMinute, panel.seIntervalSecond, panel.seTakeCount })
        EXPECT_FALSE(spin->isEnabled());
}

TEST(TimeLapsePanel, TheDownloadChoiceIsKeptInTheSettings)
{
    QTemporaryDir folder;
    TSetup setup;
    setup.SetStoreFile(folder.filePath(QStringLiteral("store.ini")));
    TfraTimeLapse panel;
    panel.SetSetup(&setup);
    EXPECT_FALSE(panel.IsDownloadEachShot());
    panel.chkDownloadEachShot->setChecked(true);
    setup.Save();
    TSetup loaded;
    loaded.SetStoreFile(folder.filePath(QStringLiteral("store.ini")));
    loaded.Load();
    EXPECT_TRUE(loaded.TimeLapseDownload);
    TfraTimeLapse again;
    again.SetSetup(&loaded);
    EXPECT_TRUE(again.IsDownloadEachShot());
}

TEST(TimeLapseAdvancedPanel, ShowsTheSeriesAsItRuns)
{
    RegisterAppTexts();
    qint64 clock = 0;
    TTimeLapseSeries series;
    series.Clock = [&clock] { return clock; };
    series.Shoot = [] {
        TTimeLapseSeries::TShotOutcome outcome;
        outcome.Ok = true;
        return outcome;
    };
    series.Plan(0, 60, 0);
    TfraTimeLapseAdvanced panel;
    panel.SetSeries(&series);
    panel.StartSeries();
    EXPECT_FALSE(panel.WaitingForStart());
    for (int i = 0; i < 3; ++i) {
        clock = i * 60000;
        series.Tick();
    }
    clock += 20000;
    panel.Refresh();
    EXPECT_EQ(panel.lblTLFrameValue->text(), "3");
    EXPECT_EQ(panel.lblTLElapsedTimeValue->text(), "00:02:20");
    EXPECT_EQ(panel.lblTLRemainingTimeValue->text(), "00:00:40");
    EXPECT_EQ(panel.lblTLIntervalTimeValue->text(), "00:01:00");
    // Without a camera nothing can be changed, and no automatic mode is offered.
    for (const auto& row : panel.Rows) {
        EXPECT_FALSE(row.Up->isEnabled());
        EXPECT_EQ(row.Panel->text(), "---");
    }
    EXPECT_TRUE(panel.pnlAutoMode->isHidden());
    panel.StopSeries();
    EXPECT_FALSE(series.IsRunning());
}

// The advanced panel lives in the remote control page's side area (350 pixels, a scroll bar beside
// it): with everything of the automatic modes shown it must fit, or its right column is cut off.
TEST(TimeLapseAdvancedPanel, FitsTheSideAreaWithTheAutomaticModesShown)
{
    RegisterAppTexts();
    TfraTimeLapseAdvanced panel;
    for (const auto& row : panel.Rows) {
        row.Panel->setText(QStringLiteral("1/4000"));
        row.Step->addItems({ QStringLiteral("1/3 EV"), QStringLiteral("2/3 EV"), QStringLiteral("1 EV") });
    }
    panel.pnlLrt->cbxMaxShutterSpeed->addItems(
        { QStringLiteral("Aus"), QStringLiteral("60\""), QStringLiteral("1/8000") });
    panel.pnlLrt->cbxMaxISOSensitivity->addItems({ QStringLiteral("Aus"), QStringLiteral("25600") });
    panel.pnlAutoMode->show();
    panel.pnlDirectionMode->setText(QStringLiteral("Sonnenuntergang"));
    panel.pnlDirectionMode->show();
    panel.lblReverseCorrection->setText(QStringLiteral("keine Umkehrkorrektur"));
    panel.pnlLrt->pnlTLReferenceValue->setText(QStringLiteral("298395.42"));
    panel.pnlLrt->lblFloatingAverage->setText(QStringLiteral("298395.42 (-10.0%)"));
    for (QWidget* page : { panel.tsStandard, panel.tsLRTimelapse }) {
        panel.pcSubSettings->setCurrentWidget(page);
        panel.ensurePolished();
        EXPECT_LE(panel.minimumSizeHint().width(), 330) << page->metaObject()->className();
    }
}

} // namespace
