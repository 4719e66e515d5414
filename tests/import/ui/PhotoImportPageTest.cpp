// The photo import page against the simulator: a card of one folder shown as thumbnails, the
// selection list and clicks, imports with failing files, a camera that goes away, a target folder
// that vanishes and a listing with hostile names.
#include "import/ui/TfraPhotoImport.h"

#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "base/TSetup.h"
#include "common/SimulatedCamera.h"
#include "import/FileSizeText.h"
#include "import/ImportPageSettings.h"
#include "import/ImportTestCard.h"
#include "import/TThumbnailCache.h"
#include "import/ui/TKmImageGrid.h"
#include "import/ui/TPhotoImportActionPanel.h"
#include "sim/SimCard.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <set>

using lumivar::test::ImportTestCard;

namespace {

struct ProgressLine
{
    QString caption;
    QString detail;
    bool finished;
    int percent;
};

class PhotoImportPageTest : public ::testing::Test, protected lumivar::test::ImportPageSettings
{
protected:
    void SetUp() override { ASSERT_TRUE(prepareSettings()); }

    void TearDown() override
    {
        if (camera)
            camera->Stop();
        page.reset();
        sim.Stop();
    }

    // Simulator on the card, a connected camera and the page, shown at its design size.
    // No files: the simulator's own generated card.
    void start(const std::map<QString, qint64>& files, bool hostileNames = false, int latencyMs = 0)
    {
        camsim::SimServerOptions options;
        options.faults.latencyMs = latencyMs;
        if (!files.empty()) {
            card = std::make_unique<ImportTestCard>(files);
            options.cardDirectory = card->root().toStdString();
        }
        options.requestLog = [this](const std::string& line) {
            if (line.find("get_thumbnail") != std::string::npos)
                ++thumbnailRequests;
            if (line.find("get_imglist") != std::string::npos)
                ++listRequests;
        };
        options.faults.hostileNames = hostileNames;
        ASSERT_TRUE(sim.Start(options, QString()));
        server = sim.server.get();
        camera = sim.camera.get();

        page = std::make_unique<TfraPhotoImport>();
        page->SetSetup(&setup);
        page->SetThumbnailCache(std::make_unique<TThumbnailCache>(cacheDir.path()));
        page->SetCamera(camera);
        page->BrowseFolder = [this](const QString& caption) {
            browseCaptions << caption;
            return browseAnswer;
        };
        page->ShowInformation = [this](const QString& text) { messages << text; };
        page->OpenWithSystem = [this](const QString& file) { opened << file; };
        QObject::connect(page.get(), &TfraCameraPage::OnProgress,
            [this](const QString& caption, const QString& detail, bool finished, int percent) {
                progress.push_back({ caption, detail, finished, percent });
                if (onProgress)
                    onProgress(progress.back());
            });
        QObject::connect(page.get(), &TfraCameraPage::OnCommunication,
            [this](const TCommunication& communication) { communications << communication.Kind; });
        page->resize(1015, 546);
        page->show();
    }

    TKmImageGridCells* cells() const { return page->igrThumbnails->Cells(); }

    // Thumbnails come after the cells; the line under the grid counts them.
    bool waitForThumbnails()
    {
        const QString all = QStringLiteral("Vorschaubilder %1/%1").arg(cells()->Count());
        return QTest::qWaitFor([&] { return page->lblThumbnails->text() == all; }, 20000);
    }

    int cellOf(const QString& name) const
    {
        for (int i = 0; i < cells()->Count(); ++i)
            if (cells()->Items(i)->FileNamePart() == name)
                return i;
        return -1;
    }

    std::set<QString> selectedNames() const
    {
        std::set<QString> names;
        for (int i = 0; i < cells()->Count(); ++i)
            if (cells()->Items(i)->Selected())
                names.insert(cells()->Items(i)->FileNamePart());
        return names;
    }

    // As the user picks an item of the list, also the one shown already.
    void choose(int item)
    {
        page->cbxSelection->setCurrentIndex(item);
        emit page->cbxSelection->activated(item);
    }

    void selectAll()
    {
        choose(TfraPhotoImport::siAll);
        ASSERT_EQ(cells()->SelectedCount(), cells()->Count());
    }

    // Every entry of a folder, hidden temporary files included.
    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QByteArray targetBytes(const QString& name) const
    {
        QFile file(target.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<ImportTestCard> card;
    QTemporaryDir cacheDir;
    lvtest::SimulatedCamera sim;
    camsim::SimServer* server = nullptr;
    TCamera* camera = nullptr;
    std::unique_ptr<TfraPhotoImport> page;
    std::atomic<int> thumbnailRequests { 0 };
    std::atomic<int> listRequests { 0 };
    std::vector<ProgressLine> progress;
    std::function<void(const ProgressLine&)> onProgress;
    QList<int> communications;
    QStringList browseCaptions;
    QString browseAnswer;
    QStringList messages;
    QStringList opened;
};

const std::map<QString, qint64> kMixedCard { { QStringLiteral("P7210001.JPG"), 40'000 },
    { QStringLiteral("P7210002.ORF"), 90'000 }, { QStringLiteral("P7210003.MOV"), 120'000 },
    { QStringLiteral("P7210004.JPG"), 50'000 } };

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

TEST_F(PhotoImportPageTest, ThreeFilesWithOneFailingEndCompletedWithTwoSavedMarks)
{
    start({ { QStringLiteral("P7210001.JPG"), 40'000 }, { QStringLiteral("P7210002.ORF"), 300'000 },
        { QStringLiteral("P7210003.JPG"), 60'000 } });
    page->GoStart();
    ASSERT_EQ(cells()->Count(), 3);
    // The card loses the middle file after it was listed: the camera starts the answer and breaks off.
    ASSERT_TRUE(QFile::remove(card->root() + QStringLiteral("/DCIM/100OLYMP/P7210002.ORF")));
    selectAll();
    browseAnswer = target.path();
    progress.clear();

    page->btnExecuteImportClick();

    EXPECT_EQ(browseCaptions, QStringList({ QStringLiteral("Zielverzeichnis für Fotoimport auswählen") }));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().caption, QStringLiteral("3 Datei(en) importieren"));
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang abgeschlossen"));
    EXPECT_EQ(progress.back().percent, 100);
    EXPECT_EQ(entries(target.path()), QStringList({ "P7210001.JPG", "P7210003.JPG" }));
    EXPECT_EQ(targetBytes("P7210001.JPG"), card->content().at("P7210001.JPG"));
    EXPECT_EQ(targetBytes("P7210003.JPG"), card->content().at("P7210003.JPG"));
    EXPECT_EQ(QFileInfo(target.filePath("P7210003.JPG")).lastModified(), card->timeOf("P7210003.JPG"));
    for (const auto& [name, saved] :
        { std::pair(QStringLiteral("P7210001.JPG"), true), std::pair(QStringLiteral("P7210002.ORF"), false),
            std::pair(QStringLiteral("P7210003.JPG"), true) }) {
        const TKmImageGridCell* cell = cells()->Items(cellOf(name));
        EXPECT_EQ(cell->SavedMarkVisible(), saved) << name.toStdString();
        EXPECT_EQ(cell->FileName(), saved ? target.filePath(name) : QStringLiteral("/100OLYMP/") + name);
    }
    EXPECT_EQ(cells()->SelectedCount(), 0);
    EXPECT_EQ(communications.count(ceStart), communications.count(ceStop));

    // Imported again: the copies are kept, only the missing file is asked for (and fails again).
    selectAll();
    page->ImportSelection(target.path());
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang abgeschlossen"));
    EXPECT_EQ(entries(target.path()), QStringList({ "P7210001.JPG", "P7210003.JPG" }));
}

TEST_F(PhotoImportPageTest, InterruptedImportsEndFailedWithoutPartialFiles)
{
    start({ { QStringLiteral("P7210001.JPG"), 40'000 }, { QStringLiteral("P7210002.JPG"), 40'000 },
        { QStringLiteral("P7210003.JPG"), 40'000 } });
    page->GoStart();
    ASSERT_EQ(cells()->Count(), 3);

    // The target folder goes away after the first file.
    QTemporaryDir vanishing;
    const QString gone = vanishing.path();
    onProgress = [&](const ProgressLine& line) {
        if (line.detail == QStringLiteral("P7210001.JPG") && line.percent > 0)
            QDir(gone).removeRecursively();
    };
    selectAll();
    page->ImportSelection(gone);
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang fehlgeschlagen"));
    EXPECT_EQ(progress.back().percent, 100);
    EXPECT_FALSE(QFileInfo::exists(gone));
    EXPECT_EQ(cells()->SelectedCount(), 0);
    EXPECT_TRUE(page->pnlActions->isEnabled());

    // The camera goes away after the second file.
    onProgress = [&](const ProgressLine& line) {
        if (line.detail == QStringLiteral("P7210002.JPG") && line.percent > 33)
            server->setPower(false);
    };
    selectAll();
    page->ImportSelection(target.path());
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang fehlgeschlagen"));
    EXPECT_EQ(progress.back().percent, 100);
    EXPECT_EQ(entries(target.path()), QStringList({ "P7210001.JPG", "P7210002.JPG" }));
    EXPECT_EQ(communications.count(ceStart), communications.count(ceStop));
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(PhotoImportPageTest, SeveralFoldersShowTheLoadedOneAndACancelledImportSaysWhatItDid)
{
    start(kMixedCard);
    ASSERT_TRUE(QDir(card->root()).mkpath(QStringLiteral("DCIM/101OLYMP")));
    ASSERT_TRUE(QFile::copy(card->root() + QStringLiteral("/DCIM/100OLYMP/P7210001.JPG"),
        card->root() + QStringLiteral("/DCIM/101OLYMP/P7220001.JPG")));
    server->setCard(camsim::SimCard::fromDirectory(card->root().toStdString()));
    page->GoStart();
    ASSERT_EQ(page->cbxSource->count(), 2);
    EXPECT_EQ(page->cbxSource->currentText(), QStringLiteral("101OLYMP"));
    ASSERT_EQ(cells()->Count(), 1);
    EXPECT_EQ(cells()->Items(0)->FileNamePart(), QStringLiteral("P7220001.JPG"));

    // The other folder, then its import cancelled from the button the busy overlay leaves free.
    page->cbxSource->setCurrentIndex(0);
    emit page->cbxSource->activated(0);
    ASSERT_EQ(cells()->Count(), 4);
    selectAll();
    bool cancelShown = false;
    onProgress = [&](const ProgressLine& line) {
        if (line.detail == QStringLiteral("P7210003.MOV") && !line.finished) {
            cancelShown = page->btnCancelImport->isVisible() && page->btnCancelImport->isEnabled();
            page->btnCancelImport->click();
        }
    };
    communications.clear();
    page->ImportSelection(target.path());
    EXPECT_TRUE(cancelShown);
    EXPECT_FALSE(page->btnCancelImport->isVisible());
    EXPECT_EQ(communications.count(ceChangeFreeRegion), 2);
    EXPECT_EQ(entries(target.path()), QStringList({ "P7210001.JPG", "P7210002.ORF" }));
    const QStringList lines = page->lblImportResult->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << page->lblImportResult->text().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("2 kopiert, 0 übersprungen, 0 fehlgeschlagen"))
        << page->lblImportResult->text().toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("2 nicht kopiert: abgebrochen"));
    EXPECT_TRUE(page->lblImportResult->isVisibleTo(page.get()));
    EXPECT_TRUE(messages.isEmpty()) << "a cancel the user asked for needs no message";
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

TEST_F(PhotoImportPageTest, HostileNamesAreNeitherShownNorWritten)
{
    start(kMixedCard, true);
    QTemporaryDir outer;
    const QString inner = outer.filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir().mkpath(inner));
    page->GoStart();
    // "." and ".." and "../../tmp" among the folders are not offered.
    ASSERT_EQ(page->cbxSource->count(), 1);
    EXPECT_EQ(cells()->Count(), 4);
    selectAll();
    page->ImportSelection(inner);
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang abgeschlossen"));
    EXPECT_EQ(entries(outer.path()), QStringList({ "inner" }));
    EXPECT_EQ(entries(inner).size(), 4);
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

} // namespace
