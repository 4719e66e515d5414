// A monkey at the main window: the real window against the in-process simulator with its faults
// switched on and off at random, and for the given minutes random clicks at visible widgets, random
// keys (the Ctrl+Alt+Shift shortcuts among them), window resizes and closed dialogs, all drawn from
// one seed it prints first, so a failure can be replayed with the same seed.
// It fails (exit code other than 0, with the seed) on a crash or sanitizer report (the process dies),
// an assertion, the user-interface thread not coming back to an event loop for 10 s, or a page
// communication that began and never ended.
// It never acts inside a file dialog, which would create, rename and delete folders anywhere the
// process may write: a file dialog is cancelled or answered with a folder below the monkey's own
// scratch folder, which is also the working directory and the download folder.
// Usage: lumivar_monkey MINUTES [SEED]
#include "app/TfrmInfo.h"
#include "app/TfrmMain.h"
#include "app/TfrmSettings.h"
#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/TfraCameraPage.h"
#include "base/ui/TfrmPreview.h"
#include "import/ui/TfrmInProcessing.h"
#include "remote/TShooting.h"
#include "remote/ui/TRemoteShutterPanel.h"
#include "remote/ui/TfraRemoteControl.h"
#include "session/TCamera.h"
#include "sim/SimCamera.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHash>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>

#include <execinfo.h>
#include <pthread.h>
#include <unistd.h>

#if defined(__has_include)
#if __has_include(<sanitizer/common_interface_defs.h>) && (defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__))
#include <sanitizer/common_interface_defs.h>
#define LUMIVAR_MONKEY_SANITIZER_TRACE 1
#endif
#endif

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<qint64> g_heartbeatMs { 0 };
// When the monkey last acted, or stood in its own loop with every nested loop unwound.
std::atomic<qint64> g_progressMs { 0 };
std::atomic<bool> g_watching { true };
quint32 g_seed = 0;
pthread_t g_uiThread;
std::atomic<bool> g_traced { false };

// Runs on the user-interface thread when the watchdog finds it stuck: where it is stuck.
void printStack(int)
{
#ifdef LUMIVAR_MONKEY_SANITIZER_TRACE
    __sanitizer_print_stack_trace();
#else
    void* frames[64];
    const int count = backtrace(frames, 64);
    backtrace_symbols_fd(frames, count, STDERR_FILENO);
#endif
    g_traced = true;
}

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

[[noreturn]] void failWith(const char* what)
{
    std::fprintf(stderr, "monkey: FAILED (%s), seed %u\n", what, g_seed);
    std::fflush(stderr);
    std::_Exit(3);
}

[[noreturn]] void failWithStack(const char* what)
{
    std::fprintf(stderr, "monkey: the user-interface thread is stuck here:\n");
    pthread_kill(g_uiThread, SIGUSR1);
    for (int i = 0; i < 50 && !g_traced.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    failWith(what);
}

// A user-interface thread that does not come back to an event loop for 10 s is a hang. Under a
// slow checker such as valgrind MONKEY_HANG_SECONDS allows more. A thread that does come back, but
// only into event loops nested so deep that the monkey no longer acts, for two minutes, is stuck
// too: some operation waits inside another that cannot end before it.
void watchdog()
{
    const qint64 limitMs = 1000 * qMax(10, qEnvironmentVariableIntValue("MONKEY_HANG_SECONDS"));
    constexpr qint64 stuckMs = 120000;
    while (g_watching.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (g_watching.load() && nowMs() - g_heartbeatMs.load() > limitMs)
            failWithStack("the user-interface thread did not return to its event loop in time");
        if (g_watching.load() && nowMs() - g_progressMs.load() > stuckMs)
            failWithStack("the nested event loops did not unwind in two minutes");
    }
}

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray text = message.toLocal8Bit();
    std::fprintf(stderr, "%s\n", text.constData());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "monkey: FAILED (fatal message at %s:%d), seed %u\n",
            context.file ? context.file : "?", context.line, g_seed);
        std::fflush(stderr);
        std::abort();
    }
}

// Opening folders and web pages would start other programs; the monkey only counts them.
class UrlSink : public QObject
{
    Q_OBJECT

public slots:
    void open(const QUrl&) { ++opened; }

public:
    int opened = 0;
};

class Monkey : public QObject
{
public:
    Monkey(TfrmMain* window, camsim::SimServer* server, quint32 seed, const QString& sandbox)
        : m_window(window)
        , m_server(server)
        , m_random(seed)
        , m_sandbox(sandbox)
    { }

    void start(qint64 durationMs)
    {
        m_end = nowMs() + durationMs;
        for (TfraCameraPage* page : m_window->findChildren<TfraCameraPage*>())
            connect(page, &TfraCameraPage::OnCommunication, this, &Monkey::onCommunication);
        QTimer::singleShot(kActionMs, this, &Monkey::step);
        m_faults.setInterval(2500);
        connect(&m_faults, &QTimer::timeout, this, &Monkey::changeFaults);
        m_faults.start();
    }

    bool running() const { return nowMs() < m_end; }

    void stop()
    {
        m_stopped = true;
        m_faults.stop();
        m_server->setFaults({});
        m_server->setPower(true);
        m_server->camera().setConnectMode("private");
    }

    // Closes whatever dialog is still open; true when one was.
    bool closeOneDialog()
    {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            return true;
        }
        if (QWidget* modal = QApplication::activeModalWidget()) {
            closeWidget(modal);
            return true;
        }
        return false;
    }

    // A folder below the scratch folder, or a file name there for a save dialog; a cancel now and
    // then. Nothing is ever clicked or typed inside a file dialog.
    void answerFileDialog(QFileDialog* dialog)
    {
        ++fileDialogs;
        if (draw(3) == 0) {
            dialog->reject();
            return;
        }
        const QString folder = m_sandbox + QStringLiteral("/picked%1").arg(draw(3));
        QDir().mkpath(folder);
        dialog->setDirectory(folder);
        if (dialog->fileMode() == QFileDialog::Directory)
            dialog->selectFile(folder);
        else
            dialog->selectFile(folder + QStringLiteral("/monkey%1").arg(draw(3)));
        // The file dialog's own accept checks the choice as a click on its button would.
        static_cast<QDialog*>(dialog)->accept();
    }

    // Communications begun by a page and not ended, summed over the pages.
    int openCommunications() const
    {
        int open = 0;
        for (int count : m_open)
            open += qMax(0, count);
        return open;
    }

    // What only the user ends keeps its communication open by design: a time-lapse series, a
    // LIVETIME exposure, a movie recording. The monkey ends it as a user would, with the take
    // button, before it asks for every end. True when it clicked.
    static bool endUserStates(TfraRemoteControl* page)
    {
        const TShooting& shooting = page->Shooting();
        QAbstractButton* button = nullptr;
        // A held exposure or sequence whose release never reached the button (a dialog opened while
        // it was held) goes on until the button is pressed and released again, as a user would.
        if (page->IsTimeLapseRunning() || shooting.IsLiveTimeRunning() || shooting.IsLongExposureRunning())
            button = page->pnlShutter->btnTake;
        else if (shooting.IsMovieRecording())
            button = page->pnlShutter->btnTakeMovie;
        if (!button || !button->isVisible() || !button->isEnabled())
            return false;
        button->click();
        return true;
    }

    static QString stateText(TfraRemoteControl* page)
    {
        const TShooting& shooting = page->Shooting();
        return QStringLiteral("remote control page: series %1, live time %2, movie %3, self-timer %4, take "
                              "state %5, held exposure %6, button held %7, shooting communications %8")
            .arg(page->IsTimeLapseRunning())
            .arg(shooting.IsLiveTimeRunning())
            .arg(shooting.IsMovieRecording())
            .arg(shooting.IsSelfTimerRunning())
            .arg(page->TakeState())
            .arg(shooting.IsLongExposureRunning())
            .arg(shooting.IsButtonHeld())
            .arg(shooting.OpenCommunications());
    }

    QString openCommunicationsText() const
    {
        QStringList parts;
        for (auto it = m_open.cbegin(); it != m_open.cend(); ++it)
            if (it.value() > 0)
                parts << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
        return parts.join(QStringLiteral(", "));
    }

    qint64 actions = 0;
    qint64 clicks = 0;
    qint64 keys = 0;
    qint64 resizes = 0;
    qint64 closes = 0;
    qint64 faultChanges = 0;
    qint64 unmatchedEnds = 0;
    qint64 fileDialogs = 0;

private:
    int draw(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }
    double draw01() { return std::uniform_real_distribution<double>(0, 1)(m_random); }

    void onCommunication(const TCommunication& communication)
    {
        const int kind = communication.Kind;
        const QObject* page = sender();
        const QString name = page ? page->objectName() + QLatin1Char('/') + page->metaObject()->className()
                                  : QStringLiteral("?");
        if (kind == ceStart)
            ++m_open[name];
        else if (kind == ceStop && --m_open[name] < 0) {
            ++unmatchedEnds;
            m_open[name] = 0;
        }
    }

    // The window the user would act in: an open popup or modal dialog first, else any visible
    // window, the main window most often.
    QWidget* targetWindow()
    {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget* modal = QApplication::activeModalWidget())
            return modal;
        QList<QWidget*> windows;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top != m_window && top->windowHandle())
                windows << top;
        if (windows.isEmpty() || draw(4) != 0)
            return m_window;
        return windows.at(draw(int(windows.size())));
    }

    void step()
    {
        g_heartbeatMs = nowMs();
        if (!running()) {
            // Time is up: no more actions, and the dialogs still open are closed one by one until
            // the nested event loops have unwound to the monkey's own.
            if (!m_stopped)
                stop();
            closeOneDialog();
            QTimer::singleShot(200, this, &Monkey::step);
            return;
        }
        // The next action is a timer of its own: a timer is not fired again while its handler waits
        // in a nested event loop, and the actions must go on in the dialogs such a handler opens.
        QTimer::singleShot(kActionMs, this, &Monkey::step);
        if (m_depth > 0 && ++m_nestedTicks % 250 == 0)
            std::printf("monkey: %lld actions, %d nested event loops deep\n", actions, m_depth);
        // An action that opened a modal dialog waits in its event loop; the next ticks act in the
        // dialog. Deep down such nested loops only close dialogs, so the stack stays bounded.
        if (m_depth >= 4) {
            closeOneDialog();
            return;
        }
        if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            answerFileDialog(files);
            return;
        }
        ++m_depth;
        ++actions;
        g_progressMs = nowMs();
        if (m_verbose)
            std::printf("monkey: action %lld depth %d\n", actions, m_depth);
        const int kind = draw(100);
        if (kind < 70)
            click();
        else if (kind < 88)
            key();
        else if (kind < 94)
            resize();
        else
            closeDialog();
        --m_depth;
    }

    void click()
    {
        QPointer<QWidget> window = targetWindow();
        if (!window || !window->windowHandle())
            return;
        // Buttons and other controls more often than plain areas such as the live picture.
        QList<QWidget*> candidates;
        const QList<QWidget*> all = window->findChildren<QWidget*>();
        const bool controlsOnly = draw(3) != 0;
        for (QWidget* widget : all) {
            if (!widget->isVisible() || !widget->isEnabled() || widget->width() < 2 || widget->height() < 2)
                continue;
            if (controlsOnly && !qobject_cast<QAbstractButton*>(widget) && !widget->inherits("QComboBox")
                && !widget->inherits("QAbstractSpinBox") && !widget->inherits("QAbstractSlider"))
                continue;
            candidates << widget;
        }
        if (candidates.isEmpty())
            candidates << window;
        QWidget* widget = candidates.at(draw(int(candidates.size())));
        const QPoint local(draw(widget->width()), draw(widget->height()));
        const QPoint at = widget->mapTo(window, local);
        QPointer<QWindow> handle = window->windowHandle();
        ++clicks;
        const int how = draw(10);
        const Qt::MouseButton button = how == 9 ? Qt::RightButton : Qt::LeftButton;
        if (how == 8) {
            // Pressed and held for a while: zoom on press, long exposures on press and release.
            QTest::mousePress(handle, button, {}, at);
            const int holdMs = 100 + draw(1500);
            QTimer::singleShot(holdMs, this, [handle, button, at] {
                if (handle)
                    QTest::mouseRelease(handle, button, {}, at);
            });
            return;
        }
        // Press and release one by one: QTest's click sends both to the same window, which the press
        // may have closed and freed in a nested event loop. A second click soon after is a double click.
        for (int i = how == 7 ? 2 : 1; i > 0 && handle; --i) {
            QTest::mousePress(handle, button, {}, at);
            if (handle)
                QTest::mouseRelease(handle, button, {}, at);
        }
    }

    void key()
    {
        static const Qt::Key plain[] = { Qt::Key_Tab, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape,
            Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
            Qt::Key_PageDown, Qt::Key_Delete, Qt::Key_Plus, Qt::Key_Minus, Qt::Key_A, Qt::Key_1, Qt::Key_F5 };
        // The main window's shortcuts (debug page, pages without a camera) and a few that are none.
        static const Qt::Key shortcut[]
            = { Qt::Key_D, Qt::Key_I, Qt::Key_L, Qt::Key_R, Qt::Key_F, Qt::Key_X, Qt::Key_S, Qt::Key_T };
        QPointer<QWidget> window = targetWindow();
        if (!window || !window->windowHandle())
            return;
        QPointer<QWindow> handle = window->windowHandle();
        ++keys;
        const bool withShortcut = draw(4) == 0;
        const Qt::Key key
            = withShortcut ? shortcut[draw(int(std::size(shortcut)))] : plain[draw(int(std::size(plain)))];
        const Qt::KeyboardModifiers modifiers
            = withShortcut ? Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier : Qt::NoModifier;
        sendKey(handle, key, modifiers);
    }

    // A key with modifiers is several events (Shift, Control and Alt pressed one by one, then the key,
    // and the reverse), and events are processed after each. QTest's keyPress holds the window as a
    // plain pointer across them, though a timer or a nested loop in between may close and free it, as
    // it may between press and release. The events go one by one, each only while the window lives.
    static void sendKey(const QPointer<QWindow>& handle, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        struct Event
        {
            bool press;
            Qt::Key code;
            Qt::KeyboardModifiers held;
        };
        QList<Event> events;
        if (modifiers & Qt::ShiftModifier)
            events.append({ true, Qt::Key_Shift, {} });
        if (modifiers & Qt::ControlModifier)
            events.append({ true, Qt::Key_Control, modifiers & Qt::ShiftModifier });
        if (modifiers & Qt::AltModifier)
            events.append({ true, Qt::Key_Alt, modifiers & (Qt::ShiftModifier | Qt::ControlModifier) });
        events.append({ true, key, modifiers });
        events.append({ false, key, modifiers });
        if (modifiers & Qt::AltModifier)
            events.append({ false, Qt::Key_Alt, modifiers });
        if (modifiers & Qt::ControlModifier)
            events.append({ false, Qt::Key_Control, modifiers & (Qt::ShiftModifier | Qt::ControlModifier) });
        if (modifiers & Qt::ShiftModifier)
            events.append({ false, Qt::Key_Shift, modifiers & Qt::ShiftModifier });
        const char ascii = QTest::keyToAscii(key);
        for (const Event& event : events) {
            if (!handle)
                return;
            const QString text = event.code == key && ascii ? QString(QChar::fromLatin1(ascii)) : QString();
            QTest::simulateEvent(handle.data(), event.press, event.code, event.held, text, false);
        }
    }

    void resize()
    {
        ++resizes;
        if (draw(5) == 0) {
            m_window->showMaximized();
            return;
        }
        m_window->showNormal();
        m_window->resize(700 + draw(900), 450 + draw(600));
    }

    void closeWidget(QWidget* widget)
    {
        ++closes;
        if (auto* dialog = qobject_cast<QDialog*>(widget))
            dialog->reject();
        else
            widget->close();
    }

    void closeDialog()
    {
        if (closeOneDialog()) {
            ++closes;
            return;
        }
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top != m_window) {
                closeWidget(top);
                return;
            }
    }

    void changeFaults()
    {
        g_heartbeatMs = nowMs();
        ++faultChanges;
        if (m_powerOffTicks > 0 && --m_powerOffTicks == 0)
            m_server->setPower(true);
        switch (draw(8)) {
        case 0: {
            camsim::SimFaultSettings faults;
            faults.latencyMs = draw(300);
            faults.errorRate = draw01() * 0.1;
            faults.dropRate = draw01() * 0.05;
            faults.truncateRate = draw01() * 0.03;
            faults.malformedRate = draw01() * 0.03;
            faults.stream.loss = draw01() * 0.3;
            faults.stream.reorder = draw01() * 0.1;
            faults.stream.duplicate = draw01() * 0.1;
            faults.stream.garbage = draw01() * 0.05;
            m_server->setFaults(faults);
            break;
        }
        case 1: {
            // The live view lost entirely for a while.
            camsim::SimFaultSettings faults;
            faults.stream.loss = 1;
            m_server->setFaults(faults);
            break;
        }
        case 2:
            if (m_powerOffTicks == 0) {
                m_server->setPower(false);
                m_powerOffTicks = 1 + draw(4);
            }
            break;
        case 3:
            m_server->camera().setConnectMode(draw(2) == 0 ? "shared" : "private");
            break;
        default:
            // Most of the time the camera behaves, so the pages get somewhere.
            m_server->setFaults({});
            m_server->camera().setConnectMode("private");
            break;
        }
    }

    TfrmMain* m_window;
    camsim::SimServer* m_server;
    std::mt19937 m_random;
    QString m_sandbox;
    static constexpr int kActionMs = 40;
    bool m_stopped = false;
    QTimer m_faults;
    qint64 m_end = 0;
    int m_depth = 0;
    const bool m_verbose = qEnvironmentVariableIsSet("MONKEY_VERBOSE");
    qint64 m_nestedTicks = 0;
    int m_powerOffTicks = 0;
    QHash<QString, int> m_open;
};

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    qInstallMessageHandler(messageHandler);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QCoreApplication::arguments();
    const double minutes = arguments.size() > 1 ? arguments.at(1).toDouble() : 0;
    if (minutes <= 0) {
        std::fprintf(stderr, "usage: lumivar_monkey MINUTES [SEED]\n");
        return 2;
    }
    g_seed = arguments.size() > 2 ? arguments.at(2).toUInt()
                                  : quint32(QDateTime::currentMSecsSinceEpoch() & 0x7fffffff);
    std::printf("monkey: seed %u, %.1f minutes\n", g_seed, minutes);
    std::fflush(stdout);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "monkey: no temporary folder\n");
        return 2;
    }
    // Relative paths typed into a folder field land in the scratch folder as well.
    QDir::setCurrent(dir.path());
    camsim::SimServerOptions options;
    options.generatedFiles = 30;
    options.seed = g_seed;
    options.switchOffMs = 1500;
    auto server = std::make_unique<camsim::SimServer>(options);
    if (!server->isValid() || server->start() == 0) {
        std::fprintf(stderr, "monkey: the simulator did not start: %s\n", server->errorText().c_str());
        return 2;
    }

    UrlSink urls;
    for (const char* scheme : { "file", "http", "https" })
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &urls, "open");

    auto setup
        = std::make_unique<TSetup>(QStringList { QStringLiteral("lumivar"), QStringLiteral("/debugMode") });
    setup->SetStoreFile(dir.filePath(QStringLiteral("settings.ini")));
    setup->Load();
    setup->CameraHostOverride = QStringLiteral("127.0.0.1:%1").arg(server->port());
    setup->WLanAutoConnect = false;
    setup->DownloadDirectory = dir.filePath(QStringLiteral("downloads"));
    QDir().mkpath(setup->DownloadDirectory);
    auto logger = std::make_unique<TLogger>(setup.get());
    TLogger::SetInstance(logger.get());

    g_heartbeatMs = nowMs();
    g_progressMs = nowMs();
    g_uiThread = pthread_self();
    std::signal(SIGUSR1, printStack);
    std::thread watcher(watchdog);
    int result = 0;
    Monkey* monkey = nullptr;
    {
        TLanguageModule languages;
        TLanguageModule::SetInstance(&languages);
        languages.SelectLanguage(setup->LanguageId);

        // Joining networks runs system tools: never from the monkey.
        auto window = std::make_unique<TfrmMain>(
            setup.get(), [](const QString&, const QStringList&) { return false; });
        auto* preview = new TfrmPreview(window.get());
        auto* processing = new TfrmInProcessing(setup.get(), window.get());
        auto* settings = new TfrmSettings(setup.get(), window.get());
        auto* info = new TfrmInfo(window.get());
        window->SetPreviewWindow(preview);
        window->SetProcessingWindow(processing);
        window->SetSettingsWindow(settings);
        window->SetInfoWindow(info);
        window->show();

        // A close of the main window is a click like others; the monkey keeps it open until its end.
        class KeepOpen : public QObject
        {
        public:
            bool allowClose = false;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::Close && !allowClose) {
                    event->ignore();
                    return true;
                }
                return false;
            }
        } keepOpen;
        window->installEventFilter(&keepOpen);

        monkey = new Monkey(window.get(), server.get(), g_seed, dir.path());
        monkey->start(qint64(minutes * 60000));
        QElapsedTimer ran;
        ran.start();
        while (monkey->running()) {
            QTest::qWait(200);
            g_heartbeatMs = nowMs();
            g_progressMs = nowMs();
            if (!window->isVisible())
                window->show();
        }

        // The camera behaves again: every communication must come to its end.
        monkey->stop();
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 30000) {
            g_heartbeatMs = nowMs();
            g_progressMs = nowMs();
            while (monkey->closeOneDialog())
                QTest::qWait(50);
            for (TfraRemoteControl* page : window->findChildren<TfraRemoteControl*>())
                if (Monkey::endUserStates(page))
                    QTest::qWait(500);
            QTest::qWait(200);
            if (monkey->openCommunications() == 0 && window->ActiveComm() == 0)
                break;
        }
        std::printf(
            "monkey: %lld actions (%lld clicks, %lld keys, %lld resizes, %lld closes, %lld file dialogs "
            "answered), %lld fault changes, %d urls not opened, %lld ends without a begin, in %.1f "
            "minutes\n",
            monkey->actions, monkey->clicks, monkey->keys, monkey->resizes, monkey->closes,
            monkey->fileDialogs, monkey->faultChanges, urls.opened, monkey->unmatchedEnds,
            ran.elapsed() / 60000.0);
        std::fflush(stdout);
        if (monkey->openCommunications() != 0 || window->ActiveComm() != 0) {
            std::fprintf(stderr, "monkey: communications without an end: %s (main window count %d)\n",
                qPrintable(monkey->openCommunicationsText()), window->ActiveComm());
            for (TfraRemoteControl* page : window->findChildren<TfraRemoteControl*>())
                std::fprintf(stderr, "monkey: %s\n", qPrintable(Monkey::stateText(page)));
            result = 1;
        }

        keepOpen.allowClose = true;
        window->close();
        window->Camera()->Stop();
        delete monkey;
        window.reset();
        TLanguageModule::SetInstance(nullptr);
    }
    g_watching = false;
    watcher.join();
    for (const char* scheme : { "file", "http", "https" })
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    TLogger::SetInstance(nullptr);
    logger.reset();
    server.reset();
    if (result != 0)
        std::fprintf(stderr, "monkey: FAILED, seed %u\n", g_seed);
    else
        std::printf("monkey: clean, seed %u\n", g_seed);
    return result;
}

#include "MonkeyMain.moc"
