#include "app/TQtLanguage.h"
#include "app/TfrmInfo.h"
#include "app/TfrmMain.h"
#include "app/TfrmSettings.h"
#include "app/ViewerStart.h"
#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TfrmPreview.h"
#include "import/ui/TfrmInProcessing.h"
#include "platform/TSingleInstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>

int main(int argc, char** argv)
{
    QElapsedTimer startup;
    startup.start();
    QApplication app(argc, argv);
    DarkStyle::ApplyToApplication();

    auto setup = std::make_unique<TSetup>(QCoreApplication::arguments());
    setup->Load();

    // "lumivar FILE.JPG" shows the picture in the viewer alone: no camera, no main window, and no
    // single-instance lock, so it opens beside a running program too.
    if (const QString picture = ViewerPictureArgument(QCoreApplication::arguments()); !picture.isEmpty())
        return runViewerOnly(setup.get(), picture);

    auto instance = std::make_unique<TSingleInstance>();
    if (!instance->TryAcquire()) {
        instance->NotifyRunning();
        return 0;
    }

    auto logger = std::make_unique<TLogger>(setup.get());
    TLogger::SetInstance(logger.get());

    QApplication::setApplicationName(QStringLiteral("Lumivar"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumivar"));

    int result = 0;
    {
        // Windows come after the language module so they come up translated.
        TLanguageModule languages;
        TLanguageModule::SetInstance(&languages);
        languages.SelectLanguage(setup->LanguageId);
        TQtLanguage qtTexts(&languages);

        TfrmMain mainWindow(setup.get());
        QObject::connect(
            instance.get(), &TSingleInstance::raiseRequested, &mainWindow, &TfrmMain::BringToFront);
        // Owned by the main window, so they go with it.
        auto* preview = new TfrmPreview(&mainWindow);
        auto* processing = new TfrmInProcessing(setup.get(), &mainWindow);
        auto* settings = new TfrmSettings(setup.get(), &mainWindow);
        auto* info = new TfrmInfo(&mainWindow);
        mainWindow.SetPreviewWindow(preview);
        mainWindow.SetProcessingWindow(processing);
        mainWindow.SetSettingsWindow(settings);
        mainWindow.SetInfoWindow(info);
        mainWindow.show();
        // After the first paint has been queued: how long a user waits for the window.
        QTimer::singleShot(0, &mainWindow, [&startup] {
            TLogger::LogTrace(QStringLiteral("main: first window shown after %1 ms").arg(startup.elapsed()));
        });
        result = app.exec();
        TLanguageModule::SetInstance(nullptr);
    }

    // Reverse order of start-up; the settings were saved when the main window closed.
    TLogger::SetInstance(nullptr);
    logger.reset();
    instance.reset();
    setup.reset();
    return result;
}
