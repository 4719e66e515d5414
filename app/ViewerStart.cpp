#include "app/ViewerStart.h"

#include "app/ShellTexts.h"
#include "app/TQtLanguage.h"
#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "exif/ui/TfrmViewer.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <cstdio>

QString ViewerPictureArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        // "/tempDir DIR" and "/cameraHost HOST" take the next argument as their value.
        if (argument == QLatin1String("/tempDir") || argument == QLatin1String("/cameraHost")) {
            ++i;
            continue;
        }
        const QFileInfo info(argument);
        if (info.isFile() && info.suffix().compare(QLatin1String("JPG"), Qt::CaseInsensitive) == 0)
            return info.absoluteFilePath();
    }
    return {};
}

int runViewerOnly(TSetup* setup, const QString& fileName, std::function<void(const QString&)> tell)
{
    QApplication::setApplicationName(QStringLiteral("Lumivar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumivar"));

    TLanguageModule languages;
    TLanguageModule::SetInstance(&languages);
    languages.SelectLanguage(setup->LanguageId);
    TQtLanguage qtTexts(&languages);
    RegisterShellTexts();
    if (!tell)
        tell = [](const QString& text) { QMessageBox::critical(nullptr, QStringLiteral("Lumivar"), text); };

    int result = 1;
    {
        TfrmViewer viewer(setup);
        // Without a main window the screen's work area is where the viewer is centred.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
        viewer.ShowImage(fileName, area.size(), area.topLeft());
        if (viewer.isVisible()) {
            result = QApplication::exec();
        } else {
            std::fprintf(stderr, "lumivar: %s cannot be shown (not a readable JPEG picture)\n",
                qPrintable(QFileInfo(fileName).fileName()));
            // Started from a file manager there is no terminal to read the line above.
            tell(rs("_rsPictureNotShown", { QFileInfo(fileName).fileName() }));
        }
    }
    TLanguageModule::SetInstance(nullptr);
    return result;
}
