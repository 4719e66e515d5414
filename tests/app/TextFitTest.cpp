// Every text of the windows can be read: each label and button shows its whole text inside its
// rectangle with the system's fonts, or is cut with "…" and carries the whole text as its hint.
// The suite runs once at the normal scale and once more at QT_SCALE_FACTOR=2 (see CMakeLists).
#include "app/TfraStartPage.h"
#include "app/TfrmInfo.h"
#include "app/TfrmMain.h"
#include "app/TfrmSettings.h"
#include "base/AppTexts.h"
#include "base/TSetup.h"
#include "base/ui/TElidingLabel.h"
#include "exif/ui/TKmPropertyList.h"
#include "exif/ui/TfrmViewer.h"
#include "import/ui/TfrmInProcessing.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include "common/TestPaths.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <memory>

namespace {

bool cutWithHint(const QWidget* widget, const QString& shown, const QString& whole)
{
    return shown.endsWith(QChar(0x2026)) && widget->toolTip().contains(whole);
}

// A row at the edge of a scrolled list is cut by the list, not by its own size.
bool partlyScrolledOut(const QWidget* widget)
{
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(up)) {
            const QRect inViewport(widget->mapTo(area->viewport(), QPoint(0, 0)), widget->size());
            return !area->viewport()->rect().contains(inViewport);
        }
    return false;
}

// The texts of root's visible labels and buttons that do not fit, each with its widget's name.
QStringList clippedTexts(QWidget* root, int& checked)
{
    QStringList clipped;
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        ++checked;
        if (auto* eliding = qobject_cast<TElidingLabel*>(label)) {
            if (eliding->IsElided()
                && eliding->width() < eliding->fontMetrics().horizontalAdvance(QChar(0x2026)))
                clipped << label->objectName() + QStringLiteral(": no room at all");
            continue;
        }
        // What the user sees of it: a neighbour drawn over its edge (rows that share their bevels)
        // takes room away; a label scrolled out of sight is not looked at.
        const QRect visible = label->visibleRegion().boundingRect();
        if (visible.isEmpty() || partlyScrolledOut(label))
            continue;
        const QRect room = label->contentsRect()
                               .adjusted(label->margin(), label->margin(), -label->margin(), -label->margin())
                               .intersected(visible);
        QSize needed;
        const bool rich = label->textFormat() == Qt::RichText
            || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
        if (label->wordWrap() || rich) {
            // Laid out by the label itself: as high as its width needs.
            needed = QSize(room.width(), label->heightForWidth(label->width()) - 2 * label->margin());
            if (!label->wordWrap()) {
                QTextDocument document;
                document.setDefaultFont(label->font());
                document.setDocumentMargin(0);
                document.setHtml(label->text());
                needed.setWidth(int(document.idealWidth()));
            }
        } else {
            needed = label->fontMetrics().size(Qt::TextExpandTabs, label->text());
        }
        if (needed.width() > room.width() || needed.height() > room.height()) {
            if (cutWithHint(label, label->text(), QString()))
                continue;
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                           .arg(label->objectName(), label->text().left(40))
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
        }
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty())
            continue;
        // Push and tool buttons have a minimum width of the style's; only the text must fit.
        QSize hint = button->sizeHint();
        if (qobject_cast<QPushButton*>(button) || !qobject_cast<QCheckBox*>(button)) {
            const QFontMetrics metrics = button->fontMetrics();
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            hint = QSize(metrics.horizontalAdvance(button->text()) + icon + 6, metrics.height() + 2);
        }
        ++checked;
        if (hint.width() > button->width() + 1 || hint.height() > button->height() + 1)
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                           .arg(button->objectName(), button->text())
                           .arg(hint.width())
                           .arg(hint.height())
                           .arg(button->width())
                           .arg(button->height());
    }
    return clipped;
}

// One line per text that does not fit; empty when all do. A window without a text to check says so.
std::string clippedReport(QWidget* root)
{
    int checked = 0;
    const QStringList clipped = clippedTexts(root, checked);
    return checked == 0 ? std::string("no text checked") : clipped.join(QLatin1Char('\n')).toStdString();
}

class TextFit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(dir.isValid());
        setup.SetStoreFile(dir.filePath(QStringLiteral("settings.ini")));
    }

    QTemporaryDir dir;
    TSetup setup;
};

TEST_F(TextFit, MainWindowPagesConnectedToTheSimulator)
{
    camsim::SimServerOptions options;
    options.generatedFiles = 6;
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    setup.CameraHostOverride = QStringLiteral("127.0.0.1:%1").arg(server.port());
    TfrmMain window(&setup, [](const QString&, const QStringList&) { return true; });
    window.AskQuestion = [](const QString&) { return true; };
    window.ShowMessage = [](const QString&, TfrmMain::MessageKind) {};
    window.SetProcessingWindow(new TfrmInProcessing(&setup, &window));
    window.Camera()->CheckIntervalMs = 100;
    window.Camera()->CheckTimer.start(10);
    window.show();
    EXPECT_EQ(clippedReport(&window), "") << "start page, not connected";
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Camera()->Connected; }, 10000));
    QList<QWidget*> sheets { window.tsConnect };
    for (const TMainPages::Entry& entry : window.pcMain->Entries()) {
        if (entry.IsCameraPage())
            sheets << entry.Sheet;
    }
    for (QWidget* page : sheets) {
        window.ShowTabSheet(page);
        QTest::qWait(300);
        EXPECT_EQ(clippedReport(&window), "") << page->objectName().toStdString();
    }
    window.ShowTabSheet(window.tsConnect);
    window.Camera()->Stop();
}

TEST_F(TextFit, ViewerWithAnOlympusPicture)
{
    TfrmViewer viewer(&setup);
    viewer.ShowImage(lumivar::test::fixturePath(QStringLiteral("exif/olympus_e-m5_gimp.jpg")),
        QSize(1200, 800), QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    EXPECT_EQ(clippedReport(&viewer), "");
    // A caption cut with "…" passes the check above (it carries a hint); the information list's
    // captions must be read whole all the same.
    QTest::qWait(20);
    const TKmPropertyListItems* rows
        = viewer.findChild<TKmPropertyList*>(QStringLiteral("plExifData"))->Properties();
    EXPECT_GE(rows->CaptionWidth(), rows->CaptionWidthNeeded());
}

TEST_F(TextFit, SettingsAndInfoWindowsOnEveryTab)
{
    TfrmSettings settings(&setup);
    TfrmInfo info;
    for (QWidget* window : { static_cast<QWidget*>(&settings), static_cast<QWidget*>(&info) }) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QTest::qWait(20);
                EXPECT_EQ(clippedReport(window), "") << window->metaObject()->className() << " tab " << i;
            }
        window->hide();
    }
}

} // namespace
