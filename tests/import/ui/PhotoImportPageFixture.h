// The photo import page against the simulator: a card on the simulator, a connected camera and the
// page, with what the page reports and asks the desktop for.
#pragma once

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
#include <map>
#include <memory>
#include <set>

namespace lumivar::test {

struct ProgressLine
{
    QString caption;
    QString detail;
    bool finished;
    int percent;
};

class PhotoImportPage : public ::testing::Test, protected ImportPageSettings
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

inline const std::map<QString, qint64> kMixedCard { { QStringLiteral("P7210001.JPG"), 40'000 },
    { QStringLiteral("P7210002.ORF"), 90'000 }, { QStringLiteral("P7210003.MOV"), 120'000 },
    { QStringLiteral("P7210004.JPG"), 50'000 } };

} // namespace lumivar::test
