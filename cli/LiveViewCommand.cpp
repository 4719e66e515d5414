#include "LiveViewCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "PlayModeOnExit.h"
#include "base/TSetup.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/TReleaseAFFrameAction.h"
#include "liveview/JpegDec.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TLiveViewSizeChange.h"
#include "liveview/TMjpegServer.h"
#include "liveview/TReleaseViewAction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

struct Options
{
    int seconds = 0; // 0: until Ctrl-C
    QString size; // empty: the setting
    int port = -1; // -1: the setting
    QString saveLast;
    QString saveEvery;
    bool serve = false;
    QHostAddress serveAddress;
    quint16 servePort = 0;
};

// What arrived; the counters of the receiver are read before the stop resets them.
struct Tally
{
    quint64 completed = 0;
    quint64 begun = 0;
    qint64 datagrams = 0;
    quint64 stale = 0;
    quint64 undecodable = 0;
    // One entry a frame: a few hundred kilobytes an hour at 30 frames a second.
    std::vector<float> decodeMs;
    bool haveLast = false;
    TMetaData last;
    QByteArray lastJpeg;

    double median() const
    {
        if (decodeMs.empty())
            return 0;
        std::vector<float> sorted = decodeMs;
        const size_t mid = sorted.size() / 2;
        std::nth_element(sorted.begin(), sorted.begin() + qsizetype(mid), sorted.end());
        return sorted[mid];
    }
    double max() const { return decodeMs.empty() ? 0 : *std::max_element(decodeMs.begin(), decodeMs.end()); }
};

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString tallyText(const Tally& t)
{
    return QStringLiteral("%1 frames (%2 begun, %3 undecodable), %4 datagrams (%5 stale), decode %6 ms "
                          "median, %7 ms max")
        .arg(t.completed)
        .arg(t.begun)
        .arg(t.undecodable)
        .arg(t.datagrams)
        .arg(t.stale)
        .arg(t.median(), 0, 'f', 2)
        .arg(t.max(), 0, 'f', 2);
}

// Opens the server before the camera is asked for anything; false after the error line.
bool openServer(TMjpegServer& server, const QHostAddress& address, quint16 port)
{
    if (!server.Listen(address, port)) {
        std::fprintf(stderr, "lumivar-cli: %s\n", qPrintable(server.ErrorText()));
        return false;
    }
    std::fprintf(stderr, "lumivar-cli: live view at %sstream (page %s, picture %ssnapshot.jpg)\n",
        qPrintable(server.Url()), qPrintable(server.Url()), qPrintable(server.Url()));
    if (!address.isLoopback())
        std::fprintf(stderr, "lumivar-cli: anyone on the network that reaches %s can watch this live view\n",
            qPrintable(address.toString()));
    return true;
}

} // namespace

QString LiveViewCommand::StatusText(const TMetaData& m)
{
    QString text = QStringLiteral("%1  F%2  %3  %4 %5  WB %6  %7 left  %8  battery %9%")
                       .arg(m.GetShutterSpeedText(), m.GetApertureText(), m.GetExposureCompensationText(),
                           m.IsISOAuto() ? QStringLiteral("ISO-Auto") : QStringLiteral("ISO"), m.GetISOText(),
                           m.GetWhiteBalanceText(), m.GetFreeCapacityText(), m.GetAspectRatioText())
                       .arg(m.GetBatteryLevel());
    text += QStringLiteral("  %1").arg(m.GetFocalLengthText());
    if (m.GetOrientation() != 0)
        text += QStringLiteral("  turned %1").arg(m.GetOrientation());
    if (m.GetFocusState() == 1)
        text += QStringLiteral("  focused");
    else if (m.GetFocusState() == 2)
        text += QStringLiteral("  focus failed");
    return text;
}

QJsonObject LiveViewCommand::StatusJson(const TMetaData& m)
{
    const QRect frame = m.GetFocusFrame();
    return QJsonObject {
        { QStringLiteral("shutter"), m.GetShutterSpeedText() },
        { QStringLiteral("aperture"), m.GetApertureText() },
        { QStringLiteral("expcomp"), m.GetExposureCompensationText() },
        { QStringLiteral("iso"), m.GetISOText() },
        { QStringLiteral("iso_auto"), m.IsISOAuto() },
        { QStringLiteral("wb"), m.GetWhiteBalanceText() },
        { QStringLiteral("free"), m.GetFreeCapacityText() },
        { QStringLiteral("aspect"), m.GetAspectRatioText() },
        { QStringLiteral("battery"), m.GetBatteryLevel() },
        { QStringLiteral("focal"), m.GetFocalLengthText() },
        { QStringLiteral("orientation"), m.GetOrientation() },
        { QStringLiteral("focus"),
            QJsonObject { { QStringLiteral("state"), m.GetFocusState() },
                { QStringLiteral("left"), frame.left() }, { QStringLiteral("top"), frame.top() },
                { QStringLiteral("width"), frame.width() }, { QStringLiteral("height"), frame.height() } } },
    };
}

int LiveViewCommand::run(CliContext& context, const QStringList& arguments)
{
    Options o;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        bool ok = hasValue;
        if (arg == QLatin1String("--seconds") && hasValue) {
            o.seconds = arguments.at(++i).toInt(&ok);
            ok = ok && o.seconds > 0;
        } else if (arg == QLatin1String("--size") && hasValue) {
            o.size = TLiveViewSizeChange::SizeCode(arguments.at(++i));
            ok = !o.size.isEmpty();
        } else if (arg == QLatin1String("--port") && hasValue) {
            o.port = arguments.at(++i).toInt(&ok);
            ok = ok && o.port >= 0 && o.port <= 65535;
        } else if (arg == QLatin1String("--save-last") && hasValue) {
            o.saveLast = arguments.at(++i);
        } else if (arg == QLatin1String("--save-every") && hasValue) {
            o.saveEvery = arguments.at(++i);
        } else if (arg == QLatin1String("--serve") && hasValue) {
            QString why;
            o.serve = TMjpegServer::ParseAddress(arguments.at(++i), &o.serveAddress, &o.servePort, &why);
            if (!o.serve)
                return context.usage(QStringLiteral("--serve: ") + why);
        } else {
            ok = false;
        }
        if (!ok)
            return context.usage(
                QStringLiteral("liveview takes --seconds N (N > 0), --size WxH, --port P "
                               "(0 to 65535), --save-last FILE, --save-every DIR and --serve [ADDR:]PORT"));
    }
    if (!o.saveEvery.isEmpty() && !QDir().mkpath(o.saveEvery))
        return context.fail(QStringLiteral("cannot create the folder %1").arg(o.saveEvery));
    std::unique_ptr<TMjpegServer> server;
    if (o.serve) {
        server = std::make_unique<TMjpegServer>();
        if (!openServer(*server, o.serveAddress, o.servePort))
            return CliContext::UsageError;
    }

    RegisterLiveViewTexts();
    TSetup& setup = context.setup();
    const QString size = o.size.isEmpty() ? setup.LiveViewSize : o.size;
    QString portError;
    const quint16 port = context.liveViewPort(o.port, portError);
    if (port == 0)
        return context.fail(portError);

    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    const TCameraLink link = TCameraLink::ToHost(context.cameraHost());
    TCameraModeAction cameraMode(link);
    TLiveViewAction liveView(link, &setup);
    TReleaseViewAction releaseView(link, &setup);
    TReleaseAFFrameAction releaseAFFrame(link);
    for (TBaseRemoteAction* action :
        std::initializer_list<TBaseRemoteAction*> { &cameraMode, &liveView, &releaseView, &releaseAFFrame })
        if (const TCGIFunction* function = commandList.Functions.Find(action->CGIName))
            action->Probe(*function);
    if (!cameraMode.Enabled)
        return context.fail(QStringLiteral("the camera offers no mode switch"));
    const PlayModeOnExit backToPlay(cameraMode);
    // Recording-mode live view where the camera has it; some bodies stream only in shutter mode.
    const quint8 mode = liveView.Enabled ? TLiveViewControl::ModeRecord : TLiveViewControl::ModeShutter;
    if (!liveView.Enabled && !releaseView.Enabled)
        return context.fail(QStringLiteral("the camera offers no live view"));
    TBaseLiveViewAction& action
        = liveView.Enabled ? static_cast<TBaseLiveViewAction&>(liveView) : releaseView;
    TLiveViewProcessor& processor = action.Processor();

    Tally tally;
    QString writeError;
    QEventLoop loop;
    bool counting = true; // frames drained while the stop request waits are not part of the run
    processor.ImageBuffer().SetImageHandler([&](TImageBuffer&, TImageBlocks&, QBuffer& stream,
                                                const TMetaData& information) {
        if (!counting)
            return;
        ++tally.completed;
        if (server)
            server->Publish(stream.data());
        QElapsedTimer timer;
        timer.start();
        const QImage image = DecodeJpegToBitmap(stream.data());
        tally.decodeMs.push_back(float(double(timer.nsecsElapsed()) / 1e6));
        if (image.isNull())
            ++tally.undecodable;
        tally.last = information;
        tally.haveLast = true;
        tally.lastJpeg = stream.data();
        if (!o.saveEvery.isEmpty() && writeError.isEmpty()) {
            const QString path
                = QDir(o.saveEvery)
                      .filePath(QStringLiteral("frame_%1.jpg").arg(tally.completed, 6, 10, QLatin1Char('0')));
            if (!writeFile(path, stream.data(), &writeError))
                loop.quit();
        }
    });

    TLiveViewControl control(cameraMode, liveView, releaseView, [&size] { return size; });
    TLiveViewSizeChange sizeChange(control, cameraMode, releaseAFFrame);
    std::optional<CliInterrupt> interrupt(std::in_place);
    const bool started = sizeChange.Enter(mode, size, port);
    if (!started || !processor.IsListening()) {
        const QString why = control.ErrorText();
        control.Stop();
        return context.fail(
            QStringLiteral("live view did not start%1")
                .arg(why.isEmpty() ? QString()
                                   : QStringLiteral(": ")
                            + QString(why).replace(QLatin1String("\r\n"), QLatin1String("; "))));
    }
    if (sizeChange.Substituted())
        std::fprintf(stderr, "lumivar-cli: the camera does not offer %s, it sends %s\n",
            qPrintable(sizeChange.Requested()), qPrintable(sizeChange.Sent()));

    const auto sample = [&] {
        tally.begun = processor.ImageBuffer().FramesBegun();
        tally.datagrams = processor.DatagramCount();
        tally.stale = processor.StaleDatagrams();
    };
    QElapsedTimer running;
    running.start();
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&] {
        sample();
        if (!context.json())
            context.print(
                QStringLiteral("%1 s: %2%3")
                    .arg(running.elapsed() / 1000)
                    .arg(tallyText(tally))
                    .arg(tally.haveLast ? QStringLiteral("\n  ") + StatusText(tally.last) : QString()));
    });
    report.start(1000);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (CliInterrupt::Requested() || (o.seconds > 0 && running.elapsed() >= qint64(o.seconds) * 1000))
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    report.stop();
    poll.stop();
    sample();
    counting = false;
    const bool stopped = control.Stop();
    interrupt.reset();

    QString error = writeError;
    if (error.isEmpty() && !o.saveLast.isEmpty()) {
        if (tally.lastJpeg.isEmpty())
            error = QStringLiteral("no frame arrived, nothing saved in %1").arg(o.saveLast);
        else
            writeFile(o.saveLast, tally.lastJpeg, &error);
    }
    if (context.json()) {
        context.printJson(QJsonDocument(QJsonObject {
            { QStringLiteral("mode"), mode },
            { QStringLiteral("size"), sizeChange.Sent() },
            { QStringLiteral("frames_completed"), qint64(tally.completed) },
            { QStringLiteral("frames_begun"), qint64(tally.begun) },
            { QStringLiteral("datagrams"), tally.datagrams },
            { QStringLiteral("datagrams_stale"), qint64(tally.stale) },
            { QStringLiteral("frames_undecodable"), qint64(tally.undecodable) },
            { QStringLiteral("decode_ms_median"), tally.median() },
            { QStringLiteral("decode_ms_max"), tally.max() },
            { QStringLiteral("last"), tally.haveLast ? QJsonValue(StatusJson(tally.last)) : QJsonValue() },
        }));
    } else {
        context.print(QStringLiteral("total: %1").arg(tallyText(tally)));
        if (tally.haveLast)
            context.print(QStringLiteral("last frame: %1").arg(StatusText(tally.last)));
    }
    if (!error.isEmpty())
        return context.fail(error);
    if (!stopped)
        return context.fail(QStringLiteral("the camera did not stop live view: %1").arg(control.ErrorText()));
    if (tally.completed == 0)
        return context.fail(QStringLiteral("no live view frame arrived"));
    return CliContext::Success;
}
