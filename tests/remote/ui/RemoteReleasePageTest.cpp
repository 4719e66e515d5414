// The remote release page against the simulator: after a shot the page shows the new files' count,
// their volume, the shot's description and its kinds; the live button shows only in debug mode and
// switches the picture area; leaving the page ends polling.
#include "remote/ui/TfraRemoteRelease.h"

#include "base/AppTexts.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "common/SimulatedCamera.h"
#include "import/FileSizeText.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RemoteReleasePageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(settingsDir.isValid());
        setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        camsim::SimServerOptions options;
        options.generatedFiles = 8;
        ASSERT_TRUE(sim.Start(options));
        server = sim.server.get();
        camera = sim.camera.get();
        page = std::make_unique<TfraRemoteRelease>();
        page->resize(900, 600);
        page->show();
    }

    void TearDown() override
    {
        page.reset();
        sim.Stop();
    }

    QTemporaryDir settingsDir;
    TSetup setup;
    lvtest::SimulatedCamera sim;
    camsim::SimServer* server = nullptr;
    TCamera* camera = nullptr;
    std::unique_ptr<TfraRemoteRelease> page;
};

TEST_F(RemoteReleasePageTest, ShotShowsCountVolumeDescriptionAndKinds)
{
    page->SetSetup(&setup);
    page->SetCamera(camera);
    QList<int> communications;
    QObject::connect(page.get(), &TfraCameraPage::OnCommunication, [&](const TCommunication& communication) {
        EXPECT_TRUE(communication.FreeRegions.isEmpty());
        communications << communication.Kind;
    });
    page->GoStart();
    EXPECT_EQ(communications, QList<int>({ 0, 1 }));
    EXPECT_EQ(page->pcMain->currentWidget(), page->tshImage);
    EXPECT_FALSE(page->btnLiveStream->isVisible());
    ASSERT_TRUE(page->btnTake->isEnabled());
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("0"));
    EXPECT_TRUE(page->lblLastTakeInfo->text().isEmpty());

    QTest::mouseClick(page->btnTake, Qt::LeftButton);
    EXPECT_EQ(communications, QList<int>({ 0, 1, 0, 1, 2 }));
    // The profile shoots JPEG and RAW: one shot of two files once the poll has seen them.
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->Release().NewFileCount() == 2; }, 10000));
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("1"));
    EXPECT_EQ(page->edtDataSize->text(), FileSizeText(page->Release().NewFileBytes()));
    EXPECT_GT(page->Release().NewFileBytes(), 0);
    const QString info = page->lblLastTakeInfo->text();
    ASSERT_EQ(page->Release().Latest().Count(), 2);
    for (const TCameraImportItem* item : page->Release().Latest())
        EXPECT_TRUE(info.contains(item->FileName + QLatin1Char('\t') + FileSizeText(item->SizeText)))
            << info.toStdString();
    EXPECT_TRUE(info.contains(QLatin1String("\nvom "))) << info.toStdString();
    EXPECT_TRUE(page->IsJpegShown());
    EXPECT_TRUE(page->IsRawShown());

    QTest::qWait(50);
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/artefacts");
    QDir().mkpath(dir);
    EXPECT_TRUE(page->grab().save(dir + QStringLiteral("/remote-release.png")));

    // Leaving ends polling; the numbers stay.
    page->OnLeaveModule();
    EXPECT_FALSE(page->Release().IsPolling());
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("1"));
}

TEST_F(RemoteReleasePageTest, LiveButtonOnlyInDebugModeAndSwitchesThePicture)
{
    setup.DebugMode = true;
    page->SetSetup(&setup);
    page->SetCamera(camera);
    page->GoStart();
    EXPECT_TRUE(page->btnLiveStream->isVisible());
    QTest::mouseClick(page->btnLiveStream, Qt::LeftButton);
    EXPECT_TRUE(page->IsLiveViewOn());
    EXPECT_EQ(page->pcMain->currentWidget(), page->tshLiveView);
    EXPECT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeShutterWithSize);
    EXPECT_TRUE(page->btnTake->isEnabled());
    QTest::mouseClick(page->btnLiveStream, Qt::LeftButton);
    EXPECT_FALSE(page->IsLiveViewOn());
    EXPECT_EQ(page->pcMain->currentWidget(), page->tshImage);
    // Back in shutter-only mode the release is possible; in playback it is not.
    EXPECT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeShutter);
    EXPECT_TRUE(page->btnTake->isEnabled());
    ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModePlay));
    page->UpdateTakeButton();
    EXPECT_FALSE(page->btnTake->isEnabled());
    page->OnLeaveModule();
}

} // namespace

// A later body without a shutter-only mode answers the switch with 520: the page says why it cannot
// release instead of standing there dead, and the release button looks as disabled as it is.
TEST(RemoteReleaseRefusedTest, BodyWithoutShutterModeGetsItsReason)
{
    RegisterAppTexts();
    QTemporaryDir settingsDir;
    ASSERT_TRUE(settingsDir.isValid());
    TSetup setup;
    setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
    camsim::SimServerOptions options;
    options.profile = "newbody";
    lvtest::SimulatedCamera sim;
    ASSERT_TRUE(sim.Start(options));
    TfraRemoteRelease page;
    page.SetSetup(&setup);
    page.SetCamera(sim.camera.get());
    page.resize(900, 600);
    page.show();
    EXPECT_FALSE(page.lblModeRefused->isVisible());

    page.GoStart();
    EXPECT_TRUE(page.Release().IsShutterModeRefused());
    EXPECT_TRUE(page.lblModeRefused->isVisible());
    EXPECT_EQ(page.lblModeRefused->text(), rs("_rsShutterModeRefused"));
    EXPECT_FALSE(page.btnTake->isEnabled());
    const QImage enabled = page.btnTake->icon().pixmap(32, QIcon::Normal).toImage();
    const QImage disabled = page.btnTake->icon().pixmap(32, QIcon::Disabled).toImage();
    const auto brightest = [](const QImage& image) {
        int most = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                most = qMax(most, qGray(image.pixel(x, y)) * qAlpha(image.pixel(x, y)) / 255);
        return most;
    };
    EXPECT_LT(brightest(disabled), brightest(enabled));
    page.OnLeaveModule();
    sim.Stop();
}
