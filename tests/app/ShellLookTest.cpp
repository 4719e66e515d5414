// The window as a user meets it: small screens, the dark look with readable texts in every window and
// dialog, run-time language switches, and the lone viewer's word on a picture it cannot show.
#include "app/TQtLanguage.h"
#include "app/TfraStartPage.h"
#include "app/TfrmMain.h"
#include "app/TfrmSettings.h"
#include "app/ViewerStart.h"
#include "base/AppTexts.h"
#include "base/TLanguageModule.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "import/CameraDateTime.h"
#include "import/ui/ImportGridLook.h"
#include "import/ui/TKmImageGrid.h"
#include "import/ui/TfraLiveImport.h"
#include "import/ui/TfrmInProcessing.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TfraRemoteControl.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The colour under a widget's text: its own or the nearest filled ancestor's background.
QColor backgroundOf(const QWidget* widget, QPalette::ColorGroup group)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(group, w->backgroundRole());
    return widget->palette().color(group, QPalette::Window);
}

bool underStyleSheet(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (!w->styleSheet().isEmpty())
            return true;
    return false;
}

// Every visible text of root whose colours come from the palette, with its contrast when it falls
// short: 4.5:1 enabled, 3:1 disabled.
QStringList lowContrast(QWidget* root)
{
    QStringList found;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisible() || underStyleSheet(widget))
            continue;
        const QPalette::ColorGroup group = widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const QPalette& palette = widget->palette();
        QColor text, under;
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractItemView*>(widget)
            || qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QTextEdit*>(widget)
            || (qobject_cast<QComboBox*>(widget) && static_cast<QComboBox*>(widget)->isEditable())) {
            text = palette.color(group, QPalette::Text);
            under = palette.color(group, QPalette::Base);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->text().isEmpty())
                continue;
            const bool bevelled
                = !qobject_cast<QCheckBox*>(button) && button->foregroundRole() == QPalette::ButtonText;
            text = palette.color(group, button->foregroundRole());
            under = bevelled ? palette.color(group, QPalette::Button) : backgroundOf(button, group);
        } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
            text = palette.color(group, QPalette::ButtonText);
            under = palette.color(group, QPalette::Button);
            Q_UNUSED(box);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty())
                continue;
            text = palette.color(group, label->foregroundRole());
            under = backgroundOf(label, group);
        } else {
            continue;
        }
        const double needed = group == QPalette::Active ? 4.5 : 3.0;
        const double ratio = DarkStyle::Contrast(text, under);
        if (ratio < needed)
            found << QStringLiteral("%1 %2 (%3): %4 on %5 = %6")
                         .arg(QLatin1String(widget->metaObject()->className()), widget->objectName(),
                             group == QPalette::Active ? QStringLiteral("enabled")
                                                       : QStringLiteral("disabled"),
                             text.name(), under.name())
                         .arg(ratio, 0, 'f', 2);
    }
    return found;
}

class ShellLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(dir.isValid());
        setup.SetStoreFile(dir.filePath(QStringLiteral("settings.ini")));
        m_palette = QApplication::palette();
        m_style = QApplication::style()->name();
        DarkStyle::ApplyToApplication();
    }
    void TearDown() override
    {
        QApplication::setStyle(m_style);
        QApplication::setPalette(m_palette);
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
        QLocale::setDefault(QLocale::system());
    }

    std::unique_ptr<TfrmMain> connectedWindow(camsim::SimServer& server)
    {
        setup.CameraHostOverride = QStringLiteral("127.0.0.1:%1").arg(server.port());
        auto window
            = std::make_unique<TfrmMain>(&setup, [](const QString&, const QStringList&) { return true; });
        window->AskQuestion = [](const QString&) { return true; };
        window->ShowMessage = [](const QString&, TfrmMain::MessageKind) {};
        window->SetProcessingWindow(new TfrmInProcessing(&setup, window.get()));
        window->Camera()->CheckIntervalMs = 100;
        window->Camera()->CheckTimer.start(10);
        window->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->Camera()->Connected; }, 10000));
        return window;
    }

    QTemporaryDir dir;
    TSetup setup;
    QPalette m_palette;
    QString m_style;
};

TEST_F(ShellLookTest, FitsASmallScreenOnEveryPageWithItsControlsInside)
{
    camsim::SimServerOptions options;
    options.generatedFiles = 6;
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    std::unique_ptr<TfrmMain> window = connectedWindow(server);
    ASSERT_TRUE(window->Camera()->Connected);

    QList<QWidget*> sheets { window->tsConnect };
    for (const TMainPages::Entry& entry : window->pcMain->Entries()) {
        if (entry.IsCameraPage())
            sheets << entry.Sheet;
    }
    for (QWidget* page : sheets) {
        window->ShowTabSheet(page);
        QTest::qWait(100);
        window->resize(1000, 580);
        QTest::qWait(100);
        const std::string name = page->objectName().toStdString();
        EXPECT_LE(window->width(), 1000) << name;
        EXPECT_LE(window->height(), 580) << name;
        EXPECT_LE(window->layout()->totalMinimumSize().width(), 1000) << name;
        EXPECT_LE(window->layout()->totalMinimumSize().height(), 580) << name;
        // Reachable: every visible button of the window lies wholly inside it.
        for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
            if (!button->isVisible())
                continue;
            const QRect inWindow(button->mapTo(window.get(), QPoint(0, 0)), button->size());
            EXPECT_TRUE(window->rect().contains(inWindow))
                << name << " " << button->objectName().toStdString();
        }
    }
    window->ShowTabSheet(window->tsConnect);
    window->Camera()->Stop();
}

TEST_F(ShellLookTest, TextsKeepTheirContrastInWindowsAndQtsOwnDialogs)
{
    // The palette itself, on each of the scheme's greys.
    for (const QColor& grey : { DarkStyle::Background(), DarkStyle::Panel(), DarkStyle::Control() }) {
        const QPalette palette = DarkStyle::Palette(grey);
        EXPECT_GE(DarkStyle::Contrast(palette.color(QPalette::Active, QPalette::WindowText), grey), 4.5);
        EXPECT_GE(DarkStyle::Contrast(palette.color(QPalette::Disabled, QPalette::WindowText), grey), 3.0);
        EXPECT_GE(DarkStyle::Contrast(palette.color(QPalette::Active, QPalette::ButtonText),
                      palette.color(QPalette::Active, QPalette::Button)),
            4.5);
        EXPECT_GE(DarkStyle::Contrast(palette.color(QPalette::Disabled, QPalette::ButtonText),
                      palette.color(QPalette::Disabled, QPalette::Button)),
            3.0);
        // Disabled reads darker than enabled: it must look disabled.
        EXPECT_LT(palette.color(QPalette::Disabled, QPalette::Text).lightness(),
            palette.color(QPalette::Active, QPalette::Text).lightness());
    }

    // Texts painted or coloured by hand: the grid cells' captions, the live import's folder warning.
    TKmImageGrid grid;
    ApplyImportGridLook(*grid.Cells());
    for (const QColor& under : { grid.Cells()->CaptionColor(), grid.Cells()->SelectedColor() }) {
        EXPECT_GE(DarkStyle::Contrast(grid.Cells()->UpperLabelColor(), under), 4.5)
            << under.name().toStdString();
        EXPECT_GE(DarkStyle::Contrast(grid.Cells()->LowerLabelColor(), under), 4.5)
            << under.name().toStdString();
    }
    TfraLiveImport live;
    live.resize(800, 600);
    live.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&live));
    ASSERT_TRUE(live.lblWrongDirectory->isVisible());
    EXPECT_EQ(lowContrast(&live).join(QLatin1Char('\n')).toStdString(), "");
    live.hide();

    TfrmSettings settings(&setup);
    settings.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&settings));
    EXPECT_EQ(settings.windowOpacity(), 1.0);
    EXPECT_LT(settings.palette().color(QPalette::Window).lightness(), 80); // dark, like the rest
    EXPECT_EQ(lowContrast(&settings).join(QLatin1Char('\n')).toStdString(), "");
    settings.hide();

    QWidget owner;
    owner.show();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Lumivar"), QStringLiteral("Ordner wählen?"),
        QMessageBox::Yes | QMessageBox::No, &owner);
    box.button(QMessageBox::No)->setEnabled(false);
    QFileDialog folders(&owner);
    folders.setFileMode(QFileDialog::Directory);
    for (QDialog* dialog : { static_cast<QDialog*>(&box), static_cast<QDialog*>(&folders) }) {
        QTimer::singleShot(0, dialog, [dialog] {
            // Qt's own widgets, not a native dialog that would come out light.
            EXPECT_FALSE(dialog->findChildren<QAbstractButton*>().isEmpty());
            EXPECT_LT(dialog->palette().color(QPalette::Window).lightness(), 80);
            EXPECT_EQ(lowContrast(dialog).join(QLatin1Char('\n')).toStdString(), "")
                << dialog->metaObject()->className();
            dialog->reject();
        });
        dialog->exec();
    }
}

TEST_F(ShellLookTest, ConnectionLineAndQtDialogsFollowALanguageSwitch)
{
    camsim::SimServerOptions options;
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    TLanguageModule languages(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages"));
    TLanguageModule::SetInstance(&languages);
    TQtLanguage qtTexts(&languages);
    std::unique_ptr<TfrmMain> window = connectedWindow(server);
    ASSERT_TRUE(window->Camera()->Connected);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->lblConnectionState->text().startsWith(QStringLiteral("verbunden mit")); }, 5000))
        << window->lblConnectionState->text().toStdString();

    const QString december11 = QString::number(((2026 - 1980) << 9) | (12 << 5) | 11); // packed
    EXPECT_EQ(CameraDateText(december11), QStringLiteral("11.12.2026")); // the year whole

    // The camera's value lists and the live import's filter list: new words, the same pick.
    window->ShowTabSheet(window->SheetOf<TfraRemoteControl>());
    QComboBox* whiteBalance = window->FindPage<TfraRemoteControl>()->Properties()->cbxWhiteBalance;
    QComboBox* driveMode = window->FindPage<TfraRemoteControl>()->Properties()->cbxDriveMode;
    ASSERT_TRUE(QTest::qWaitFor([&] { return whiteBalance->count() > 0 && driveMode->count() > 0; }, 5000));
    const auto items = [](const QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    EXPECT_TRUE(items(whiteBalance).contains(QStringLiteral("Sonnig")));
    EXPECT_TRUE(items(driveMode).contains(QStringLiteral("Einzel")));
    const int whiteBalancePick = whiteBalance->currentIndex();
    const int drivePick = driveMode->currentIndex();
    ASSERT_GE(whiteBalancePick, 0);
    ASSERT_GE(drivePick, 0);
    QComboBox* filter = window->FindPage<TfraLiveImport>()->cbxSelection;
    filter->setCurrentIndex(TfraLiveImport::siMovies);

    ASSERT_TRUE(languages.SelectLanguage(1033));
    EXPECT_TRUE(window->lblConnectionState->text().startsWith(QStringLiteral("connected with")))
        << window->lblConnectionState->text().toStdString();
    EXPECT_TRUE(items(whiteBalance).contains(QStringLiteral("Sunny")));
    EXPECT_FALSE(items(whiteBalance).contains(QStringLiteral("Sonnig")));
    EXPECT_TRUE(items(driveMode).contains(QStringLiteral("Single")));
    EXPECT_EQ(whiteBalance->currentIndex(), whiteBalancePick);
    EXPECT_EQ(driveMode->currentIndex(), drivePick);
    EXPECT_EQ(filter->itemText(0), QStringLiteral("All"));
    EXPECT_EQ(filter->currentIndex(), int(TfraLiveImport::siMovies));
    EXPECT_EQ(CameraDateText(december11), QStringLiteral("12/11/2026"));
    EXPECT_EQ(qtTexts.Installed(), QString()); // Qt speaks English by itself
    ASSERT_TRUE(languages.SelectLanguage(TLanguageModule::GermanId));
    EXPECT_TRUE(window->lblConnectionState->text().startsWith(QStringLiteral("verbunden mit")));
    EXPECT_TRUE(items(whiteBalance).contains(QStringLiteral("Sonnig")));
    EXPECT_EQ(whiteBalance->currentIndex(), whiteBalancePick);
    EXPECT_EQ(filter->itemText(0), QStringLiteral("Alle"));
    window->ShowTabSheet(window->tsConnect);
    // German dialog texts where the system has Qt's translations.
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm"))) {
        EXPECT_EQ(qtTexts.Installed(), QStringLiteral("de"));
        // What the buttons of Qt's own message boxes and file dialogs say.
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    }
    EXPECT_EQ(TQtLanguage::LocaleName(1031), QStringLiteral("de"));
    EXPECT_EQ(TQtLanguage::LocaleName(2055), QStringLiteral("de")); // Swiss German
    EXPECT_EQ(TQtLanguage::LocaleName(0), QString());
    window->Camera()->Stop();
    window.reset();
    TLanguageModule::SetInstance(nullptr);
}

TEST_F(ShellLookTest, APictureTheLoneViewerCannotShowIsToldInAMessage)
{
    const QString broken = dir.filePath(QStringLiteral("broken.jpg"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10)); // cut after its first bytes
    file.close();
    QStringList told;
    EXPECT_EQ(runViewerOnly(&setup, broken, [&told](const QString& text) { told << text; }), 1);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().contains(QStringLiteral("broken.jpg"))) << told.first().toStdString();
    EXPECT_TRUE(told.first().contains(QStringLiteral("JPEG")));
}

} // namespace
