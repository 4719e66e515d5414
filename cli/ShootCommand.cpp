#include "ShootCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "ListCommand.h"
#include "ProgressBar.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/WaitFunc.h"
#include "import/FileSizeText.h"
#include "remote/TShooting.h"
#include "remote/TShotSettings.h"
#include "session/TCamera.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Options
{
    bool withPoint = false;
    int x = -1;
    int y = -1;
    int liveTime = -1; // seconds of a LIVETIME exposure
    int bulb = -1; // seconds of a LIVEBULB exposure
    int selfTimer = -1; // seconds of the count-down
    QString download;
};

constexpr int kLongestExposure = 3600;
constexpr int kLongestSelfTimer = 255;

// Empty on success, else the usage line.
QString parse(const QStringList& arguments, Options& options)
{
    static const QRegularExpression point(QStringLiteral("^([0-9]{1,5}),([0-9]{1,5})$"));
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        if (i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(option);
        const QString value = arguments.at(++i);
        if (option == QLatin1String("--at") && !options.withPoint) {
            const QRegularExpressionMatch match = point.match(value);
            if (!match.hasMatch() || match.captured(1).toInt() > 65535 || match.captured(2).toInt() > 65535)
                return QStringLiteral("--at takes X,Y (two numbers from 0 to 65535)");
            options.withPoint = true;
            options.x = match.captured(1).toInt();
            options.y = match.captured(2).toInt();
        } else if ((option == QLatin1String("--live-time") || option == QLatin1String("--bulb"))
            && options.liveTime < 0 && options.bulb < 0) {
            const std::optional<int> n = CliContext::WholeNumber(value, 0, kLongestExposure);
            if (!n)
                return QStringLiteral("%1 takes SECONDS from 0 to %2").arg(option).arg(kLongestExposure);
            (option == QLatin1String("--bulb") ? options.bulb : options.liveTime) = *n;
        } else if (option == QLatin1String("--self-timer") && options.selfTimer < 0) {
            const std::optional<int> n = CliContext::WholeNumber(value, 1, kLongestSelfTimer);
            if (!n)
                return QStringLiteral("--self-timer takes SECONDS from 1 to %1").arg(kLongestSelfTimer);
            options.selfTimer = *n;
        } else if (option == QLatin1String("--download") && options.download.isEmpty() && !value.isEmpty()) {
            options.download = value;
        } else {
            return QStringLiteral("shoot takes --at X,Y, --live-time SECONDS or --bulb SECONDS, "
                                  "--self-timer SECONDS and --download DIR, each once");
        }
    }
    return {};
}

// Runs the event loop until done says so or Ctrl-C; false after Ctrl-C.
bool waitUntil(const std::function<bool()>& done)
{
    while (!done()) {
        if (CliInterrupt::Requested())
            return false;
        Wait(20);
    }
    return true;
}

} // namespace

int ShootCommand::run(CliContext& context, const QStringList& arguments)
{
    Options options;
    const QString usage = parse(arguments, options);
    if (!usage.isEmpty())
        return context.usage(usage);
    QString downloadFolder;
    if (!options.download.isEmpty()) {
        QString error;
        downloadFolder = CliContext::WritableFolder(options.download, error);
        if (downloadFolder.isEmpty())
            return context.fail(error);
    }

    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TCamera camera(context.setup());
    // This command asks the camera itself; the monitor would only interleave its checks.
    camera.CheckTimer.stop();
    if (!camera.Connect())
        return context.fail(
            QStringLiteral("the camera at %1 could not be set up for shooting").arg(context.cameraHost()));
    camera.CheckTimer.stop();
    if (!camera.Remote.Take.Enabled)
        return context.fail(QStringLiteral("the camera offers no remote shooting"));
    if (options.selfTimer > 0 && !camera.Remote.TakeReady.Enabled)
        return context.fail(QStringLiteral("the camera offers no focusing for the self-timer"));
    TCameraModeAction& mode = camera.Remote.CameraMode;
    if (mode.Enabled && !mode.SwitchToMode(TCameraModeAction::ModeRec))
        return context.fail(QStringLiteral("the camera did not switch to recording mode"));
    // Ctrl-C from here on ends what runs at the camera; what was changed goes back on every return.
    CliInterrupt interrupt;
    struct PlayModeAgain
    {
        TCameraModeAction& mode;
        ~PlayModeAgain()
        {
            if (mode.Enabled)
                mode.SwitchToMode(TCameraModeAction::ModePlay);
        }
    } playModeAgain { mode };

    // A long exposure needs manual exposure and its shutter speed; both come back afterwards.
    TShotSettings settings(camera.Remote.Params);
    const bool liveTime = options.liveTime >= 0;
    const bool bulb = options.bulb >= 0;
    if (liveTime || bulb) {
        const QString wanted = liveTime ? QStringLiteral("livetime") : QStringLiteral("livebulb");
        if (!settings.Set(QStringLiteral("takemode"), QStringLiteral("M")))
            return context.fail(QStringLiteral("the camera did not switch to manual exposure (M)"));
        if (!settings.Set(QStringLiteral("shutspeedvalue"), wanted))
            return context.fail(QStringLiteral("the camera offers no %1 shutter speed").arg(wanted));
    }

    TShooting shooting;
    shooting.SetCamera(&camera);
    shooting.DeriveModes();
    if (liveTime || bulb)
        shooting.SetModes(liveTime, bulb, false, false);
    // The exposure's length is timed by the shooting object, from the press.
    const int hold = liveTime ? options.liveTime : (bulb ? options.bulb : 0);
    shooting.ExposureMs = hold * 1000;
    QStringList errors;
    QObject::connect(&shooting, &TShooting::Error, [&errors](const QString& text) { errors << text; });
    const auto failure = [&](const QString& what) {
        if (CliInterrupt::Requested()) {
            // Ends the exposure, the sequence or the count-down at the camera.
            shooting.Leave();
            return context.fail(QStringLiteral("interrupted; the shot was ended at the camera"));
        }
        return context.fail(
            errors.isEmpty() ? what : what + QStringLiteral(": ") + errors.join(QStringLiteral("; ")));
    };

    // The press: after a count-down, or at once.
    const bool held = shooting.IsLiveBulbMode() || shooting.IsSequentialMode();
    bool pressed = false;
    if (options.selfTimer > 0) {
        const bool verbose = !context.json();
        QObject::connect(&shooting, &TShooting::SelfTimerCount, [verbose](int left) {
            if (verbose && left > 0)
                std::fprintf(stderr, "self-timer: %d\n", left);
        });
        if (!shooting.StartSelfTimer(options.x, options.y, options.selfTimer))
            return failure(QStringLiteral("the camera did not focus for the self-timer"));
        // The count-down's last tick takes the shot.
        if (!waitUntil([&] { return !shooting.IsSelfTimerRunning(); }))
            return failure({});
        pressed = shooting.IsLastTakeOk();
    } else if (held) {
        pressed = shooting.StartLiveBulbOrSequential(options.x, options.y);
    } else {
        pressed = shooting.TakePhoto(options.x, options.y);
    }
    if (!pressed)
        return failure(QStringLiteral("the camera did not take the picture"));

    // An exposure or a sequence the press began ends when its length is over.
    if (shooting.IsExposing()) {
        if (hold <= 0)
            shooting.HoldTick();
        if (!waitUntil([&] { return !shooting.IsExposing(); }))
            return failure({});
        if (!shooting.IsLastTakeOk())
            return failure(QStringLiteral("the camera did not end the shot"));
    }
    if (CliInterrupt::Requested())
        return failure({});
    if (!errors.isEmpty())
        return failure(QStringLiteral("the shot's files could not be listed"));

    QStringList downloaded;
    if (!downloadFolder.isEmpty() && shooting.LastTake().Count() > 0) {
        qint64 total = 0;
        for (const TCameraImportItem* item : shooting.LastTake())
            total += qMax<qint64>(0, item->Size());
        ProgressBar bar(shooting.LastTake().Count(), total);
        int index = -1; // of the running file
        qint64 before = 0; // the sizes of the files before it
        QString current;
        QObject::connect(
            &shooting, &TShooting::Progress, [&](const QString&, const QString& detail, bool finished, int) {
                if (finished || detail.isEmpty() || detail == current)
                    return;
                if (index >= 0)
                    before += qMax<qint64>(0, shooting.LastTake()[index]->Size());
                ++index;
                current = detail;
                bar.Update(index, before, current);
            });
        QObject::connect(&shooting, &TShooting::BytesReceived,
            [&](qint64 received, qint64) { bar.Update(qMax(0, index), before + received, current); });
        const bool all = shooting.LoadLastTake(downloadFolder);
        bar.Finish();
        downloaded = shooting.LoadedFiles();
        if (!all)
            return context.fail(shooting.LastError());
    }

    // Newest first, as the card's listing ends.
    std::vector<const TCameraImportItem*> shot;
    for (int i = shooting.LastTake().Count() - 1; i >= 0; --i)
        shot.push_back(shooting.LastTake()[i]);
    if (context.json()) {
        QJsonArray files;
        for (const TCameraImportItem* item : shot)
            files.append(ListCommand::FileToJson(*item));
        QJsonObject result { { QStringLiteral("ok"), true }, { QStringLiteral("files"), files } };
        if (!downloadFolder.isEmpty())
            result.insert(QStringLiteral("downloaded"), QJsonArray::fromStringList(downloaded));
        context.printJson(QJsonDocument(result));
    } else {
        QString out;
        for (const TCameraImportItem* item : shot)
            out += QStringLiteral("%1/%2\t%3\n")
                       .arg(ListCommand::Printable(item->Directory.mid(1)),
                           ListCommand::Printable(item->FileName), FileSizeText(item->SizeText));
        for (const QString& path : downloaded)
            out += QStringLiteral("saved %1\n").arg(ListCommand::Printable(path));
        context.print(out.isEmpty() ? QStringLiteral("picture taken; the card lists no file for it") : out);
    }
    return CliContext::Success;
}
