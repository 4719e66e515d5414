// The busy overlay and the preview window: shape with free regions, the label's visibility, the
// running dots, the closing rules; the preview's size rules and its click to close.
#include "base/ui/TfrmPreview.h"
#include "import/ui/TfrmInProcessing.h"

#include "base/TNamedTexts.h"
#include "base/TSetup.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ProcessingWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TNamedTexts::Register({ { "_rsInProcessing", "Bitte warten. Aktion wird ausgeführt" } });
        main.setGeometry(40, 30, 800, 600);
        main.show();
    }
    void TearDown() override
    {
        if (overlay)
            overlay->Hide();
    }
    TfrmInProcessing* makeOverlay()
    {
        overlay = new TfrmInProcessing(&setup, &main);
        return overlay;
    }

    TSetup setup;
    QWidget main;
    TfrmInProcessing* overlay = nullptr;
};

TEST_F(ProcessingWindowTest, CoversTheMainWindowAndCannotBeClosedByTheUser)
{
    TfrmInProcessing* w = makeOverlay();
    // Part of the main window, not a window of its own that could cover a dialog.
    EXPECT_FALSE(w->isWindow());
    EXPECT_EQ(w->window(), &main);

    w->Show(QRect());
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->geometry(), main.rect());
    main.resize(900, 650);
    EXPECT_EQ(w->geometry(), main.rect());
    main.resize(800, 600);
    EXPECT_TRUE(w->FreeRegions().isEmpty());
    EXPECT_FALSE(w->OwnRegion());
    EXPECT_TRUE(w->lblInProcessing->isVisible());
    EXPECT_EQ(w->lblInProcessing->text(), QStringLiteral("Bitte warten. Aktion wird ausgeführt"));
    EXPECT_FALSE(w->lblClose->isVisible()); // no way out outside debug mode
    EXPECT_TRUE(w->mask().contains(QPoint(400, 300)));

    w->close();
    EXPECT_TRUE(w->isVisible());
    w->Hide();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->FreeRegions().isEmpty());
}

TEST_F(ProcessingWindowTest, FreeRegionsAreCutOutOfTheShape)
{
    TfrmInProcessing* w = makeOverlay();
    const QRect area(10, 0, 300, 40);
    w->Show(area);
    ASSERT_EQ(w->FreeRegions().size(), 1);
    EXPECT_TRUE(w->OwnRegion());
    EXPECT_TRUE(w->lblInProcessing->isVisible()); // the page-less case still says what is going on
    EXPECT_FALSE(w->mask().contains(QPoint(20, 20)));
    EXPECT_TRUE(w->mask().contains(QPoint(20, 100)));

    // A page names no regions: only the area stays free.
    w->SetFreeRegions({ QRect(0, 0, 5, 5) }, -1, area);
    EXPECT_EQ(w->FreeRegions(), QList<QRect>({ area }));
    EXPECT_TRUE(w->lblInProcessing->isVisible());

    // Three page rectangles of four given, plus the area: four holes; the caption and what is running
    // make way to a place no hole touches.
    w->SetActivity(QStringLiteral("LIVETIME"), QStringLiteral("00:12"));
    const QList<QRect> rects { QRect(100, 100, 50, 50), QRect(200, 200, 60, 40), QRect(250, 250, 300, 150),
        QRect(700, 500, 20, 20) };
    w->SetFreeRegions(rects, 2, area);
    ASSERT_EQ(w->FreeRegions().size(), 4);
    ASSERT_TRUE(w->lblInProcessing->isVisible());
    ASSERT_TRUE(w->lblActivity->isVisible());
    EXPECT_EQ(w->lblActivity->text(), QStringLiteral("LIVETIME\n00:12"));
    for (const QRect& free : w->FreeRegions()) {
        EXPECT_FALSE(free.intersects(w->lblInProcessing->geometry()));
        EXPECT_FALSE(free.intersects(w->lblActivity->geometry()));
    }
    for (const QPoint& hole : { QPoint(120, 120), QPoint(230, 220), QPoint(400, 300), QPoint(20, 20) })
        EXPECT_FALSE(w->mask().contains(hole)) << hole.x() << "," << hole.y();
    EXPECT_TRUE(w->mask().contains(QPoint(710, 510))); // the fourth was beyond highIndex
    EXPECT_TRUE(w->mask().contains(QPoint(400, 500)));

    // A long exposure keeps the live view free, leaving a narrow column: the caption wraps into it.
    w->SetFreeRegions({ QRect(0, 0, 540, 600) }, 0, area);
    ASSERT_TRUE(w->lblInProcessing->isVisible());
    EXPECT_GE(w->lblInProcessing->x(), 540);
    EXPECT_LE(w->lblInProcessing->geometry().right(), 800);
    EXPECT_GT(w->lblInProcessing->height(), w->lblInProcessing->fontMetrics().height() * 3 / 2);

    // Regions covering the whole window must not turn into "no mask", which covers everything.
    w->SetFreeRegions({ QRect(0, 0, 800, 600) }, 0, QRect());
    EXPECT_FALSE(w->mask().contains(QPoint(400, 300)));
    EXPECT_FALSE(w->lblInProcessing->isVisible());

    w->Hide();
    EXPECT_TRUE(w->FreeRegions().isEmpty());
    EXPECT_TRUE(w->lblActivity->text().isEmpty()); // the next communication says its own
}

TEST_F(ProcessingWindowTest, SeeThroughWithoutACompositorAndKeepsKeysFromTheControlsBelow)
{
    main.setAutoFillBackground(true);
    QPalette red = main.palette();
    red.setColor(QPalette::Window, Qt::red);
    main.setPalette(red);
    auto* below = new QLineEdit(&main);
    below->setGeometry(600, 500, 150, 30);
    below->show();
    below->setFocus();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    TfrmInProcessing* w = makeOverlay();
    w->Show(QRect(0, 0, 100, 40));
    EXPECT_TRUE(w->hasFocus());

    // The window draws the cover itself: blended where it covers, untouched in a hole.
    const QImage shot = main.grab().toImage();
    const QColor covered = shot.pixelColor(700, 100);
    EXPECT_GT(covered.red(), 0x47 + 10);
    EXPECT_LT(covered.red(), 0xff);
    EXPECT_EQ(shot.pixelColor(50, 20), QColor(Qt::red));

    QTest::keyClicks(w, QStringLiteral("abc"));
    EXPECT_TRUE(below->text().isEmpty());
}

TEST_F(ProcessingWindowTest, DialogsOpenedWhileBusyStayAboveTheCover)
{
    TfrmInProcessing* w = makeOverlay();
    w->Show(QRect());
    ASSERT_TRUE(w->isVisible());

    for (const bool fileDialog : { false, true }) {
        QPointer<QDialog> dialog;
        if (fileDialog) {
            auto* folders = new QFileDialog(&main);
            folders->setOption(QFileDialog::DontUseNativeDialog);
            folders->setFileMode(QFileDialog::Directory);
            dialog = folders;
        } else {
            dialog = new QMessageBox(QMessageBox::Question, QStringLiteral("Lumivar"),
                QStringLiteral("Download folder?"), QMessageBox::Yes | QMessageBox::No, &main);
        }
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        // Answered from inside its own event loop, as the user would.
        QTimer::singleShot(0, dialog, [&, dialog] {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_TRUE(dialog->isWindow());
            EXPECT_EQ(QApplication::activeModalWidget(), dialog.data());
            const QPoint centre = dialog->mapToGlobal(dialog->rect().center());
            QWidget* top = QApplication::widgetAt(centre);
            EXPECT_TRUE(top && top->window() == dialog.data())
                << (top ? top->window()->metaObject()->className() : "nothing");
            // The cover is no top-level window at all, so no stacking can put it over the dialog.
            for (QWidget* window : QApplication::topLevelWidgets())
                EXPECT_NE(window, static_cast<QWidget*>(w));
            dialog->reject();
        });
        dialog->exec();
        EXPECT_TRUE(w->isVisible()); // still busy
    }
}

TEST_F(ProcessingWindowTest, CaptionRunsThroughZeroToThreeDots)
{
    TfrmInProcessing* w = makeOverlay();
    w->Show(QRect());
    const QString base = QStringLiteral("Bitte warten. Aktion wird ausgeführt");
    QStringList seen;
    const QString dots[] = { base, base + QStringLiteral("."), base + QStringLiteral(".."),
        base + QStringLiteral("..."), base };
    for (const QString& expected : dots) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->lblInProcessing->text() == expected; }, 3000))
            << w->lblInProcessing->text().toStdString();
        // The next step must not be skipped: wait for the text to move on before looking again.
        ASSERT_TRUE(QTest::qWaitFor([&] { return w->lblInProcessing->text() != expected; }, 3000));
    }
}

TEST_F(ProcessingWindowTest, DebugModeOffersTheWayOut)
{
    setup.DebugMode = true;
    TfrmInProcessing* w = makeOverlay();
    w->Show(QRect());
    ASSERT_TRUE(w->lblClose->isVisible());
    QTest::mouseClick(w->lblClose, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
}

QByteArray jpegOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return data;
}

TEST(PreviewWindowTest, WindowFollowsThePicturesProportionWithinTheAreaAndTheLimit)
{
    // The area is shorter than the picture's proportion: its height decides.
    EXPECT_EQ(TfrmPreview::PreviewGeometry(QSize(4000, 3000), QSize(1000, 700), QPoint(0, 0)),
        QRect(33, 0, 934, 701));
    // Portrait pictures get the same window.
    EXPECT_EQ(TfrmPreview::PreviewGeometry(QSize(3000, 4000), QSize(1000, 700), QPoint(0, 0)).size(),
        QSize(934, 701));
    // A large area: limited to 1024 x 768 and centred in it, origin included.
    EXPECT_EQ(TfrmPreview::PreviewGeometry(QSize(4000, 3000), QSize(2000, 1500), QPoint(100, 50)),
        QRect(100 + 488, 50 + 366, 1024, 768));
    // A wide area: the width is the area's.
    EXPECT_EQ(TfrmPreview::PreviewGeometry(QSize(640, 480), QSize(800, 900), QPoint(0, 0)),
        QRect(0, 150, 800, 600));
}

TEST(PreviewWindowTest, ShowsDecodablePicturesUntilClickedAndRefusesOthers)
{
    TfrmPreview preview;
    EXPECT_EQ(preview.ShowPreview(
                  QByteArrayLiteral("no picture"), QSize(1000, 700), QStringLiteral("x"), QPoint(0, 0)),
        TTranslationForm::mrCancel);
    EXPECT_FALSE(preview.isVisible());

    bool wasShown = false;
    QRect shownAt;
    QTimer::singleShot(50, &preview, [&] {
        wasShown = preview.isVisible();
        shownAt = preview.geometry();
        QTest::mouseClick(&preview, Qt::LeftButton, {}, QPoint(100, 100));
    });
    const int result = preview.ShowPreview(
        jpegOf(400, 300), QSize(1000, 700), QStringLiteral("Aufnahme 3"), QPoint(10, 20));
    EXPECT_EQ(result, TTranslationForm::mrOk);
    EXPECT_TRUE(wasShown);
    EXPECT_EQ(shownAt, QRect(10 + 33, 20, 934, 701));
    EXPECT_EQ(preview.lblTakeInfo->text(), QStringLiteral("Aufnahme 3"));
    EXPECT_FALSE(preview.isVisible());
}

} // namespace
