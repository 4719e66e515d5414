// The photo import page copying files: imports with failing files, a camera that goes away, a
// target folder that vanishes, a cancel, several folders and a listing with hostile names.
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

class PhotoImportCopyTest : public lumivar::test::PhotoImportPage
{
};

TEST_F(PhotoImportCopyTest, ThreeFilesWithOneFailingEndCompletedWithTwoSavedMarks)
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

TEST_F(PhotoImportCopyTest, InterruptedImportsEndFailedWithoutPartialFiles)
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

TEST_F(PhotoImportCopyTest, SeveralFoldersShowTheLoadedOneAndACancelledImportSaysWhatItDid)
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

TEST_F(PhotoImportCopyTest, HostileNamesAreNeitherShownNorWritten)
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

} // namespace
