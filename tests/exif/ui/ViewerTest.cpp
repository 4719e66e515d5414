#include "exif/ui/TKmPropertyList.h"
#include "exif/ui/TfrmViewer.h"

#include "base/TLanguageModule.h"
#include "base/TSetup.h"
#include "common/TestPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using lumivar::test::fixturePath;

namespace {

const QSize kArea(1280, 800);
const QPoint kOrigin(40, 30);

QString ep3()
{
    return fixturePath(QStringLiteral("exif/olympus_e-p3.jpg"));
}

// Written beside the test program, never into the source tree.
QString artefactPath(const QString& name)
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/artefacts");
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

// A gradient picture saved by Qt's own writer: no EXIF at all, baseline or progressive.
QString writeJpeg(const QTemporaryDir& dir, const QString& name, QSize size, bool progressive)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), 90));
    const QString path = dir.filePath(name);
    QImageWriter writer(path, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(90);
    EXPECT_TRUE(writer.write(image)) << qPrintable(writer.errorString());
    return path;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(
        type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void click(QWidget* widget)
{
    sendMouse(widget, QEvent::MouseButtonPress, QPoint(2, 2));
    sendMouse(widget, QEvent::MouseButtonRelease, QPoint(2, 2));
}

struct ViewerTest : ::testing::Test
{
    TSetup setup;
    TfrmViewer viewer { &setup };
    QWidget* picture = viewer.findChild<QWidget*>(QStringLiteral("imgViewer"));
    QWidget* panel = viewer.findChild<QWidget*>(QStringLiteral("pnlViewer"));
    QLabel* fileName = viewer.findChild<QLabel*>(QStringLiteral("lblFileName"));
    TKmPropertyList* exifData = viewer.findChild<TKmPropertyList*>(QStringLiteral("plExifData"));

    int rows() const { return exifData->Properties()->Count(); }
};

} // namespace

TEST(ViewerPlacementTest, WindowKeepsThePictureProportionsWithinTheAreaAndTheLimits)
{
    // 800 < 1280 ÷ r = 960: w = ceiling(800 × r) = 1067, h = 801, clamped to 1024 × 768.
    EXPECT_EQ(TfrmViewer::WindowSize(QSize(4608, 3456), QSize(1280, 800)), QSize(1024, 768));
    EXPECT_EQ(TfrmViewer::WindowSize(QSize(4608, 3456), QSize(1000, 900)), QSize(1000, 750));
    EXPECT_EQ(TfrmViewer::WindowSize(QSize(4608, 3456), QSize(800, 500)), QSize(667, 501));
    // Portrait pictures are laid out landscape as well.
    EXPECT_EQ(TfrmViewer::WindowSize(QSize(3456, 4608), QSize(1000, 900)), QSize(1000, 750));
    EXPECT_EQ(TfrmViewer::WindowSize(QSize(0, 0), QSize(1000, 900)), QSize());

    EXPECT_EQ(
        TfrmViewer::WindowPosition(QSize(1024, 768), QSize(1280, 800), QPoint(10, 20)), QPoint(138, 36));
    // Halving rounds toward zero, also for a window larger than the area.
    EXPECT_EQ(TfrmViewer::WindowPosition(QSize(1000, 750), QSize(999, 751), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(TfrmViewer::WindowPosition(QSize(1000, 750), QSize(997, 751), QPoint(0, 0)), QPoint(-1, 0));
}

TEST_F(ViewerTest, ShowImageOpensThePictureWithItsInformationAndGrabsBothModes)
{
    viewer.ShowImage(ep3(), kArea, kOrigin);
    ASSERT_TRUE(viewer.isVisible());
    EXPECT_EQ(viewer.Picture().size(), QSize(1280, 960));
    EXPECT_EQ(viewer.size(), TfrmViewer::WindowSize(QSize(1280, 960), kArea));
    EXPECT_EQ(viewer.pos(), TfrmViewer::WindowPosition(viewer.size(), kArea, kOrigin));
    EXPECT_EQ(fileName->text(), QStringLiteral("olympus_e-p3.jpg"));
    EXPECT_EQ(rows(), 67); // four sections, 62 rows and the exposure shift this body records
    EXPECT_EQ(viewer.ThumbnailSize(), QSize(80, 60));
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Lm - Viewer"));

    viewer.SetFocusDisplay(true);
    const QImage fitted = viewer.grab().toImage();
    EXPECT_TRUE(fitted.save(artefactPath(QStringLiteral("viewer-fitted.png"))));
    // Fitted: the picture fills the panel's width or height and is centred.
    EXPECT_EQ(picture->geometry(), panel->rect());

    click(viewer.findChild<QLabel*>(QStringLiteral("lblOneToOne")));
    EXPECT_EQ(viewer.Mode(), TfrmViewer::ViewMode::OneToOne);
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 1280, 960));
    EXPECT_TRUE(viewer.findChild<QWidget*>(QStringLiteral("pbxPreview"))->isVisible());
    // The navigator's red part comes with the preview timer.
    const qint64 untinted = viewer.NavigatorImage().cacheKey();
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.NavigatorImage().cacheKey() != untinted; }, 5000));
    const QImage oneToOne = viewer.grab().toImage();
    EXPECT_TRUE(oneToOne.save(artefactPath(QStringLiteral("viewer-1to1.png"))));

    click(viewer.findChild<QLabel*>(QStringLiteral("lblFitted")));
    EXPECT_EQ(viewer.Mode(), TfrmViewer::ViewMode::Fitted);
    EXPECT_FALSE(viewer.findChild<QWidget*>(QStringLiteral("pbxPreview"))->isVisible());
}

TEST_F(ViewerTest, PanningFollowsTheMouseAndStopsAtThePictureEdges)
{
    viewer.ShowImage(ep3(), QSize(700, 500), QPoint(0, 0));
    viewer.SetOneToOne();
    const QSize room = panel->size();
    ASSERT_LT(room.width(), 1280);
    ASSERT_LT(room.height(), 960);

    sendMouse(picture, QEvent::MouseButtonPress, QPoint(300, 200));
    sendMouse(picture, QEvent::MouseMove, QPoint(270, 180));
    EXPECT_EQ(viewer.PicturePosition(), QPoint(-30, -20));
    // The grabbed point stays under the mouse: the same spot of the picture is at the anchor again.
    sendMouse(picture, QEvent::MouseMove, QPoint(300 - 5000, 200 - 5000));
    EXPECT_EQ(viewer.PicturePosition(), QPoint(room.width() - 1280, room.height() - 960));
    sendMouse(picture, QEvent::MouseMove, QPoint(300 + 5000, 200 + 5000));
    EXPECT_EQ(viewer.PicturePosition(), QPoint(0, 0));
    sendMouse(picture, QEvent::MouseButtonRelease, QPoint(0, 0));
    sendMouse(picture, QEvent::MouseMove, QPoint(-100, -100));
    EXPECT_EQ(viewer.PicturePosition(), QPoint(0, 0));

    // The navigator tints exactly the visible part red: at (0, 0) its top-left corner.
    const QImage navigator = viewer.NavigatorImage();
    ASSERT_EQ(navigator.size(), QSize(80, 60));
    const double m = 80.0 / 1280;
    const int right = int(std::lround(room.width() * m));
    EXPECT_GT(qRed(navigator.pixel(0, 0)), 150);
    EXPECT_LT(qRed(navigator.pixel(right + 1, 0)), qRed(navigator.pixel(right - 1, 0)));

    // A larger window must not leave a gap beside a picture panned to its far edge.
    sendMouse(picture, QEvent::MouseButtonPress, QPoint(300, 200));
    sendMouse(picture, QEvent::MouseMove, QPoint(300 - 5000, 200 - 5000));
    sendMouse(picture, QEvent::MouseButtonRelease, QPoint(0, 0));
    viewer.resize(viewer.width() + 200, viewer.height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(viewer.PicturePosition(),
        QPoint(std::min(0, panel->width() - 1280), std::min(0, panel->height() - 960)));
    EXPECT_GE(viewer.PicturePosition().x() + 1280, panel->width());
}

TEST_F(ViewerTest, FocusDisplayToggledOffAndOnDrawsTheFramesOnce)
{
    viewer.ShowImage(ep3(), kArea, kOrigin);
    ASSERT_NE(viewer.FocusFrame(), TExifRect());
    viewer.SetOneToOne();
    const TExifRect f = viewer.FocusFrame();
    const QRect around = QRect(f.Left - 20, f.Top - 20, f.Right - f.Left + 40, f.Bottom - f.Top + 40);

    ASSERT_TRUE(viewer.FocusDisplay());
    const QImage on = picture->grab(around).toImage();
    click(viewer.findChild<QLabel*>(QStringLiteral("lblFocusInfo")));
    EXPECT_FALSE(viewer.FocusDisplay());
    const QImage off = picture->grab(around).toImage();
    click(viewer.findChild<QLabel*>(QStringLiteral("lblFocusInfo")));
    const QImage onAgain = picture->grab(around).toImage();

    EXPECT_NE(on, off);
    EXPECT_EQ(on, onAgain);
    // The frame is green on the picture; without it the picture's own pixels are back.
    EXPECT_EQ(on.pixel(20, 20 + (f.Bottom - f.Top) / 2), qRgb(0, 255, 0));
    EXPECT_EQ(off.convertToFormat(QImage::Format_RGB32),
        viewer.Picture().copy(around).convertToFormat(QImage::Format_RGB32));
}

TEST_F(ViewerTest, LoadImageWithAnUndecodableFileKeepsTheOldPictureAndInformation)
{
    viewer.ShowImage(ep3(), kArea, kOrigin);
    const qint64 key = viewer.Picture().cacheKey();
    const QString label = fileName->text();
    const int count = rows();

    QTemporaryDir dir;
    QFile broken(dir.filePath(QStringLiteral("P1010001.JPG")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    QByteArray bytes = lumivar::test::readFixture(QStringLiteral("exif/olympus_e-p3.jpg"));
    bytes.truncate(bytes.indexOf("\xff\xda")); // EXIF intact, no picture data
    broken.write(bytes);
    broken.close();

    EXPECT_FALSE(viewer.LoadImage(broken.fileName()));
    EXPECT_EQ(viewer.Picture().cacheKey(), key);
    EXPECT_EQ(fileName->text(), label);
    EXPECT_EQ(rows(), count);
    EXPECT_EQ(viewer.FileName(), ep3());
    EXPECT_FALSE(viewer.LoadImage(dir.filePath(QStringLiteral("missing.JPG"))));

    // Neither opening variant shows such a file.
    TfrmViewer other(&setup);
    other.ShowImage(broken.fileName(), kArea, kOrigin);
    EXPECT_FALSE(other.isVisible());
    EXPECT_EQ(other.ShowImageModal(broken.fileName(), kArea, kOrigin), TTranslationForm::mrCancel);
    EXPECT_FALSE(other.isVisible());
}

TEST_F(ViewerTest, ProgressiveAndExiflessPicturesAreShownWithEitherDecoder)
{
    QTemporaryDir dir;
    const QString progressive = writeJpeg(dir, QStringLiteral("PROG.JPG"), QSize(640, 480), true);
    const QString plain = writeJpeg(dir, QStringLiteral("plain.jpg"), QSize(300, 400), false);

    for (const bool fast : { true, false }) {
        setup.UseJpegDec = fast;
        viewer.hide();
        viewer.ShowImage(progressive, kArea, kOrigin);
        EXPECT_TRUE(viewer.isVisible()) << "fast decoder " << fast;
        EXPECT_EQ(viewer.Picture().size(), QSize(640, 480));

        // No EXIF: an empty list and no frames, the picture is shown anyway.
        ASSERT_TRUE(viewer.LoadImage(plain));
        EXPECT_EQ(viewer.Picture().size(), QSize(300, 400));
        EXPECT_EQ(rows(), 0);
        EXPECT_EQ(viewer.FocusFrame(), TExifRect());
        EXPECT_TRUE(viewer.Faces().isEmpty());
        EXPECT_EQ(fileName->text(), QStringLiteral("plain.jpg"));
        // The navigator keeps the portrait proportions.
        EXPECT_EQ(viewer.ThumbnailSize(), QSize(60, 80));
    }

    // Other extensions are not opened at all.
    const QString png = dir.filePath(QStringLiteral("shot.png"));
    ASSERT_TRUE(QFile::copy(plain, png));
    TfrmViewer other(&setup);
    other.ShowImage(png, kArea, kOrigin);
    EXPECT_FALSE(other.isVisible());
    EXPECT_EQ(other.ShowImageModal(png, kArea, kOrigin), TTranslationForm::mrCancel);
}

TEST_F(ViewerTest, ModalOpeningReturnsTheResultThatEndsIt)
{
    QTimer::singleShot(0, &viewer, [this] {
        EXPECT_TRUE(viewer.isVisible());
        viewer.SetModalResult(TTranslationForm::mrOk);
    });
    EXPECT_EQ(viewer.ShowImageModal(ep3(), kArea, kOrigin), TTranslationForm::mrOk);
    EXPECT_FALSE(viewer.isVisible());
}

TEST_F(ViewerTest, SidePanelHidesToTheButtonStripAndComesBack)
{
    viewer.ShowImage(ep3(), kArea, kOrigin);
    auto* control = viewer.findChild<QWidget*>(QStringLiteral("pnlControl"));
    auto* hide = viewer.findChild<QPushButton*>(QStringLiteral("btnHide"));
    auto* show = viewer.findChild<QPushButton*>(QStringLiteral("btnShow"));
    const int panelWidth = panel->width();

    hide->click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(viewer.SidePanelVisible());
    EXPECT_EQ(control->width(), 10);
    EXPECT_FALSE(hide->isVisible());
    EXPECT_TRUE(show->isVisible());
    EXPECT_EQ(panel->width(), panelWidth + 280);

    show->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(viewer.SidePanelVisible());
    EXPECT_EQ(control->width(), 290);
    EXPECT_TRUE(hide->isVisible());
    EXPECT_EQ(panel->width(), panelWidth);
}

TEST(ViewerLanguageTest, ComesUpTranslatedAndKeepsTheFileNameThroughALanguageChange)
{
    TLanguageModule languages(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages"));
    TLanguageModule::SetInstance(&languages);
    ASSERT_TRUE(languages.SelectLanguage(1033));
    {
        TSetup setup;
        TfrmViewer viewer(&setup);
        auto* focus = viewer.findChild<QLabel*>(QStringLiteral("lblFocusInfo"));
        EXPECT_EQ(viewer.findChild<QLabel*>(QStringLiteral("lblFitted"))->text(), QStringLiteral("Fitted"));
        EXPECT_EQ(focus->text(), QStringLiteral("Focus display"));
        EXPECT_EQ(focus->toolTip(), QStringLiteral("Show/hide focus display"));

        viewer.ShowImage(ep3(), kArea, kOrigin);
        auto* fileName = viewer.findChild<QLabel*>(QStringLiteral("lblFileName"));
        ASSERT_EQ(fileName->text(), QStringLiteral("olympus_e-p3.jpg"));
        languages.SelectLanguage(TLanguageModule::GermanId);
        EXPECT_EQ(focus->text(), QStringLiteral("Fokusanzeige"));
        EXPECT_EQ(fileName->text(), QStringLiteral("olympus_e-p3.jpg"));
    }
    TLanguageModule::SetInstance(nullptr);
}
