// The live import page against the simulator: shots pressed on the body appear in the grid and the
// folder, a selected picture shows its histogram and EXIF data, a double click opens it; the target
// folder and filter come from the settings.
#include "import/ui/TfraLiveImport.h"

#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "base/TSetup.h"
#include "base/ui/TKmImageHistogram.h"
#include "common/SimulatedCamera.h"
#include "exif/ui/TKmPropertyList.h"
#include "import/ImportPageSettings.h"
#include "import/TLiveImport.h"
#include "import/ui/TKmImageGrid.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class LiveImportPageTest : public ::testing::Test, protected lumivar::test::ImportPageSettings
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(prepareSettings());
        setup.SetDownloadDirectory(target.path());
    }

    void TearDown() override
    {
        if (sim.camera)
            sim.camera->Stop();
        page.reset();
        sim.Stop();
    }

    void start()
    {
        camsim::SimServerOptions options;
        options.generatedFiles = 3;
        ASSERT_TRUE(sim.Start(options, QString()));
        sim.server->camera().setQuality("LF+RAW");
        page = std::make_unique<TfraLiveImport>();
        page->SetSetup(&setup);
        page->SetCamera(sim.camera.get());
        page->OpenWithSystem = [this](const QString& file) { opened << file; };
        page->resize(1015, 546);
        page->show();
    }

    TKmImageGridCells* cells() const { return page->igrThumbnails->Cells(); }

    lvtest::SimulatedCamera sim;
    std::unique_ptr<TfraLiveImport> page;
    QStringList opened;
};

TEST_F(LiveImportPageTest, ShotsAppearInTheGridWithHistogramAndExifWhenSelected)
{
    setup.SaveFilter = true;
    setup.LiveImportFilter = QStringLiteral("JPEG");
    setup.UseInternalViewer = false;
    start();
    // Before start: no folder, so the warning stands in place of the grid.
    EXPECT_TRUE(page->lblWrongDirectory->isVisibleTo(page.get()));
    page->GoStart();
    EXPECT_EQ(QDir(page->edtTargetDir->text()).absolutePath(), QDir(target.path()).absolutePath());
    EXPECT_FALSE(page->lblWrongDirectory->isVisibleTo(page.get()));
    EXPECT_TRUE(page->pnlThumbnailsArea->isVisibleTo(page.get()));
    EXPECT_EQ(page->cbxSelection->currentText(), QStringLiteral("JPEG"));
    EXPECT_EQ(page->cbxSource->currentText(), page->LiveImport()->Folder());
    EXPECT_EQ(sim.server->camera().mode(), camsim::SimCamera::Mode::Shutter);
    EXPECT_FALSE(page->lblNotice->isVisibleTo(page.get()));
    page->LiveImport()->SetPollInterval(20);

    // Two presses of the body's shutter: their JPEGs only, as the filter says.
    for (int shot = 0; shot < 2; ++shot)
        ASSERT_FALSE(sim.server->card()
                         .addShot("LF+RAW", sim.server->clock(), sim.server->camera().shotInfo(0))
                         .empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return cells()->Count() == 2; }, 30000));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("2"));
    EXPECT_EQ(page->lblQueue->text(), QStringLiteral("0 Datei(en) in der Warteschlange"));
    EXPECT_TRUE(page->lblLastTakeInfo->text().contains(QStringLiteral(".ORF\t")));
    EXPECT_TRUE(page->lblLastTakeInfo->text().contains(QStringLiteral("\nvom ")));
    EXPECT_TRUE(cells()->Items(1)->HasPicture());

    // One click: that picture alone is selected, its histogram and EXIF data show.
    cells()->Items(0)->Click({});
    cells()->Items(1)->Click({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->pnlInfo->isVisibleTo(page.get()); }, 5000));
    EXPECT_EQ(cells()->SelectedCount(), 1);
    EXPECT_TRUE(cells()->Items(1)->Selected());
    EXPECT_EQ(page->ihgViewer->JpegFileName(), cells()->Items(1)->FileName());
    EXPECT_GT(page->plExifData->Properties()->Count(), 10);

    // A double click opens the file; the selection stays as it was.
    page->igrThumbnailsDblClickCell(cells()->Items(1), 1);
    EXPECT_EQ(opened, QStringList({ cells()->Items(1)->FileName() }));
    EXPECT_EQ(cells()->SelectedCount(), 1);

    // The filter chosen is kept for the next run.
    page->cbxSelection->setCurrentIndex(TfraLiveImport::siRaw);
    EXPECT_EQ(setup.LiveImportFilter, QStringLiteral("RAW"));
    EXPECT_EQ(page->LiveImport()->Filter(), QStringList({ QStringLiteral("ORF") }));

    // Leaving stops the polls; the grid and counters stay, also when the page is shown again.
    page->OnLeaveModule();
    EXPECT_FALSE(page->LiveImport()->IsRunning());
    EXPECT_EQ(cells()->Count(), 2);
    page->GoStart();
    EXPECT_EQ(cells()->Count(), 2);
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("2"));
    EXPECT_EQ(page->cbxSource->currentText(), page->LiveImport()->Folder());
}

TEST_F(LiveImportPageTest, AFolderThatIsNotThereShowsTheWarningAndHoldsTheFiles)
{
    start();
    page->GoStart();
    page->LiveImport()->SetPollInterval(20);
    const QString missing = target.filePath(QStringLiteral("gone"));
    page->edtTargetDir->setText(missing);
    EXPECT_TRUE(page->lblWrongDirectory->isVisibleTo(page.get()));
    EXPECT_FALSE(page->pnlThumbnailsArea->isVisibleTo(page.get()));
    ASSERT_FALSE(
        sim.server->card().addShot("LF", sim.server->clock(), sim.server->camera().shotInfo(0)).empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->IsTransferring(); }, 30000));
    EXPECT_EQ(page->lblQueue->text(), QStringLiteral("1 Datei(en) in der Warteschlange"));
    EXPECT_EQ(cells()->Count(), 0);

    // The folder chosen: the waiting file lands.
    ASSERT_TRUE(QDir().mkpath(missing));
    page->BrowseFolder = [&](const QString&) { return missing; };
    page->edtTargetDir->clear();
    page->btnTargetDirClick();
    EXPECT_EQ(page->edtTargetDir->text(), missing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return cells()->Count() == 1; }, 30000));
    EXPECT_EQ(QDir(missing).entryList(QDir::Files).size(), 1);
    EXPECT_FALSE(page->IsTransferring());
}

} // namespace
