// The photo import page showing a card: one folder as cells at once and its thumbnails after them,
// the selection list and clicks, copies already made, and a listing the camera fails.
#include "import/ui/PhotoImportPageFixture.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using lumivar::test::kMixedCard;
using lumivar::test::ProgressLine;

namespace {

class PhotoImportPageTest : public lumivar::test::PhotoImportPage
{
};

TEST_F(PhotoImportPageTest, OneFolderLoadsAtOnceAndItsThumbnailsAreFetchedOnce)
{
    start(kMixedCard);
    page->GoStart();

    EXPECT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModePlay);
    ASSERT_EQ(page->cbxSource->count(), 1);
    EXPECT_EQ(page->cbxSource->currentText(), QStringLiteral("100OLYMP"));
    ASSERT_EQ(cells()->Count(), 4);
    EXPECT_EQ(cellOf(QStringLiteral("P7210001.JPG")), 0); // oldest first
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("4"));
    EXPECT_EQ(page->edtDataSize->text(), FileSizeText(qint64(300'000)));
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_TRUE(cells()->Items(0)->HasPicture());
    EXPECT_FALSE(cells()->Items(0)->SavedMarkVisible());
    EXPECT_EQ(cells()->Items(0)->FileName(), QStringLiteral("/100OLYMP/P7210001.JPG"));
    EXPECT_EQ(cells()->Items(0)->UpperRightText(), FileSizeText(qint64(40'000)));
    EXPECT_EQ(cells()->Items(cellOf(QStringLiteral("P7210002.ORF")))->Kind(), TKmImageGridCell::ckRaw);
    // The movie's play time, asked of the camera after the thumbnails.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return cells()->Items(cellOf(QStringLiteral("P7210003.MOV")))->LowerText() == "00:00:01"; },
        5000));
    EXPECT_TRUE(cells()->Items(cellOf(QStringLiteral("P7210004.JPG")))->LowerText().isEmpty());
    EXPECT_EQ(page->cbxSelection->currentIndex(), TfraPhotoImport::siCustom);
    EXPECT_TRUE(page->pnlSource->isEnabled());
    EXPECT_TRUE(page->pnlActions->isEnabled());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().caption, QStringLiteral("4 Vorschaubild(er) laden"));
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorschaubilder folgen"));
    EXPECT_TRUE(progress.back().finished);
    EXPECT_EQ(progress.back().percent, 100);
    // The main window counts one communication that also ends.
    EXPECT_EQ(communications, QList<int>({ ceStart, ceStop }));
    // The simulator logs a request once it has answered it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return thumbnailRequests == 4; }, 5000));
    EXPECT_EQ(page->Previews().Count(), 4);

    // Shown again: the cells are rebuilt, the camera is asked for no thumbnail.
    cells()->Items(1)->SetSelected(true);
    page->GoStart();
    EXPECT_EQ(cells()->Count(), 4);
    EXPECT_EQ(cells()->SelectedCount(), 0);
    EXPECT_TRUE(cells()->Items(3)->HasPicture());
    // Both listings of the second load logged, and one more asked after them.
    ASSERT_TRUE(camera->Import.ImageList.Execute(QString()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return listRequests >= 5; }, 5000))
        << listRequests << " " << thumbnailRequests;
    EXPECT_EQ(thumbnailRequests.load(), 4);
}

TEST_F(PhotoImportPageTest, SelectionListSelectsExactlyItsKindsAndClicksMakeItCustom)
{
    start(kMixedCard);
    page->GoStart();
    ASSERT_EQ(cells()->Count(), 4);
    const QString jpg1 = QStringLiteral("P7210001.JPG"), jpg4 = QStringLiteral("P7210004.JPG"),
                  orf = QStringLiteral("P7210002.ORF"), mov = QStringLiteral("P7210003.MOV");
    const std::pair<int, std::set<QString>> table[]
        = { { TfraPhotoImport::siAll, { jpg1, orf, mov, jpg4 } }, { TfraPhotoImport::siNone, {} },
              { TfraPhotoImport::siJpeg, { jpg1, jpg4 } }, { TfraPhotoImport::siRaw, { orf } },
              { TfraPhotoImport::siMovies, { mov } }, { TfraPhotoImport::siJpegRaw, { jpg1, jpg4, orf } },
              { TfraPhotoImport::siJpegMovies, { jpg1, jpg4, mov } },
              { TfraPhotoImport::siRawMovies, { orf, mov } } };
    for (const auto& [item, expected] : table) {
        choose(item);
        EXPECT_EQ(selectedNames(), expected) << page->cbxSelection->currentText().toStdString();
    }

    // "Benutzerdefiniert" keeps the user's own selection.
    choose(TfraPhotoImport::siRaw);
    choose(TfraPhotoImport::siCustom);
    EXPECT_EQ(selectedNames(), std::set<QString>({ orf }));

    // A click adds to what the list chose and switches the list back.
    choose(TfraPhotoImport::siMovies);
    cells()->Items(cellOf(jpg1))->Click({});
    EXPECT_EQ(page->cbxSelection->currentIndex(), TfraPhotoImport::siCustom);
    EXPECT_EQ(selectedNames(), std::set<QString>({ mov, jpg1 }));
}

TEST_F(PhotoImportPageTest, NothingSelectedAsksNothingAndCopiedFilesCannotBeClickedIntoTheSelection)
{
    // The first picture was copied before: it lies in the download folder.
    setup.SetDownloadDirectory(target.path());
    start(kMixedCard);
    QFile::copy(
        card->root() + QStringLiteral("/DCIM/100OLYMP/P7210001.JPG"), target.filePath("P7210001.JPG"));
    page->GoStart();
    ASSERT_EQ(cells()->Count(), 4);

    page->btnExecuteImportClick();
    page->btnHomeImportClick();
    page->ImportSelection(QString());
    EXPECT_EQ(messages, QStringList(3, QStringLiteral("Sie haben keine Auswahl getroffen!")));
    EXPECT_TRUE(browseCaptions.isEmpty());

    TKmImageGridCell* copied = cells()->Items(cellOf(QStringLiteral("P7210001.JPG")));
    EXPECT_EQ(copied->FileName(), target.filePath("P7210001.JPG"));
    EXPECT_TRUE(copied->SavedMarkVisible());
    EXPECT_EQ(copied->Hint(), QStringLiteral("Doppelklick zum Öffnen"));
    copied->Click({});
    EXPECT_FALSE(copied->Selected());
    TKmImageGridCell* other = cells()->Items(cellOf(QStringLiteral("P7210004.JPG")));
    other->Click({});
    EXPECT_TRUE(other->Selected());

    // A double click opens only what is on the computer.
    setup.UseInternalViewer = false;
    page->igrThumbnailsDblClickCell(other, other->Index());
    page->igrThumbnailsDblClickCell(copied, copied->Index());
    EXPECT_EQ(opened, QStringList({ target.filePath("P7210001.JPG") }));
}

TEST_F(PhotoImportPageTest, CellsComeBeforeTheirThumbnailsAndAFailedOneStaysSelectable)
{
    start(kMixedCard, false, 30);
    // The card loses a file after it was listed: the camera has no thumbnail for it.
    onProgress = [&](const ProgressLine& line) {
        if (line.finished && QFile::remove(card->root() + QStringLiteral("/DCIM/100OLYMP/P7210002.ORF")))
            server->setCard(camsim::SimCard::fromDirectory(card->root().toStdString()));
    };
    page->GoStart();

    // Shown at once, each cell with its name, size and date and a placeholder; the page is usable.
    ASSERT_EQ(cells()->Count(), 4);
    EXPECT_EQ(page->edtCount->text(), QStringLiteral("4"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(cells()->Items(i)->IsWaiting()) << i;
        EXPECT_FALSE(cells()->Items(i)->UpperRightText().isEmpty());
    }
    EXPECT_EQ(page->lblThumbnails->text(), QStringLiteral("Vorschaubilder 0/4"));
    EXPECT_EQ(communications, QList<int>({ ceStart, ceStop }));
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(page->pnlActions->isEnabled());

    // Another page shown: nothing is asked for until this one is back.
    page->hide();
    QTest::qWait(200);
    EXPECT_EQ(thumbnailRequests.load(), 0);
    EXPECT_EQ(page->lblThumbnails->text(), QStringLiteral("Vorschaubilder 0/4"));
    page->show();
    ASSERT_TRUE(waitForThumbnails());
    TKmImageGridCell* lost = cells()->Items(cellOf(QStringLiteral("P7210002.ORF")));
    EXPECT_FALSE(lost->HasPicture());
    EXPECT_TRUE(lost->NoPreviewVisible());
    EXPECT_EQ(lost->NoPreviewText(), QStringLiteral("keine Vorschau"));
    EXPECT_TRUE(cells()->Items(cellOf(QStringLiteral("P7210004.JPG")))->HasPicture());
    EXPECT_TRUE(QTest::qWaitFor([&] { return thumbnailRequests == 5; }, 5000)); // the lost one twice
    choose(TfraPhotoImport::siRaw);
    EXPECT_EQ(selectedNames(), std::set<QString>({ QStringLiteral("P7210002.ORF") }));
}

// The simulator's own card as a person sees it; the grab is kept beside the test program.
TEST_F(PhotoImportPageTest, GrabOfTheSimulatorsCardIsKeptAsArtefact)
{
    start({});
    page->GoStart();
    ASSERT_GT(cells()->Count(), 0);
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_EQ(page->edtCount->text(), QString::number(cells()->Count()));
    choose(TfraPhotoImport::siJpegRaw);
    QTest::qWait(50);
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/artefacts");
    QDir().mkpath(dir);
    EXPECT_TRUE(page->grab().save(dir + QStringLiteral("/photo-import.png")));
}

// A folder the camera will not list, also when asked once more: the page says so instead of staying
// silently empty, and loads it again on request.
TEST_F(PhotoImportPageTest, AFolderThatCannotBeListedIsToldAndLoadsAgainOnRequest)
{
    start(kMixedCard);
    page->GoStart();
    ASSERT_EQ(cells()->Count(), 4);
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_FALSE(page->btnReloadSources->isVisible());
    // Only the listing meets the failing camera, not the connection check.
    camera->CheckTimer.stop();

    camsim::SimFaultSettings faults;
    faults.errorRate = 1;
    server->setFaults(faults);
    const int listed = listRequests;
    emit page->cbxSource->activated(0);
    EXPECT_EQ(cells()->Count(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listRequests == listed + 2; }, 5000));
    EXPECT_TRUE(page->btnReloadSources->isVisible());
    EXPECT_EQ(page->lblImportResult->text(),
        QStringLiteral("Die Liste der Dateien auf der Kamera konnte nicht gelesen werden."));
    EXPECT_EQ(page->btnReloadSources->text(), QStringLiteral("Erneut laden"));

    server->setFaults({});
    page->btnReloadSources->click();
    EXPECT_EQ(cells()->Count(), 4);
    EXPECT_FALSE(page->btnReloadSources->isVisible());
    EXPECT_FALSE(page->lblImportResult->isVisible());
}

} // namespace
