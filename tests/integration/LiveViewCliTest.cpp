// lumivar-cli liveview and recview run as a user runs them, against the simulated camera.
#include "liveview/JpegDec.h"
#include "sim/SimCamera.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <memory>

#ifdef LUMIVAR_CLI_PATH

namespace {

using lumivar::test::CliRun;

class LiveViewCli : public ::testing::Test
{
protected:
    void start(const char* profile)
    {
        camsim::SimServerOptions options;
        options.profile = profile;
        options.fps = 30;
        m_server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(m_server->isValid()) << m_server->errorText();
        ASSERT_NE(m_server->start(), 0);
        ASSERT_TRUE(m_config.isValid());
    }

    CliRun cli(const QStringList& arguments)
    {
        return lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH),
            QStringLiteral("127.0.0.1:%1").arg(m_server->port()), m_config.path(), arguments);
    }

    std::unique_ptr<camsim::SimServer> m_server;
    QTemporaryDir m_config;
    QTemporaryDir m_out;
};

} // namespace

TEST_F(LiveViewCli, JsonReportWithSavedFrames)
{
    start("omd-v260");
    const QString last = m_out.filePath("last.jpg");
    const QString every = m_out.filePath("frames");
    const CliRun run = cli({ "liveview", "--seconds", "3", "--json", "--port", "0", "--size", "1280x960",
        "--save-last", last, "--save-every", every });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_FALSE(m_server->liveViewRunning()); // stopped at the end

    const QJsonObject report = run.json();
    const qint64 completed = report.value("frames_completed").toInteger();
    EXPECT_GE(completed, 20); // about 90 on an idle machine
    EXPECT_GE(report.value("frames_begun").toInteger(), completed);
    EXPECT_GT(report.value("datagrams").toInteger(), completed);
    EXPECT_TRUE(report.value("datagrams_stale").isDouble());
    EXPECT_EQ(report.value("frames_undecodable").toInteger(-1), 0);
    EXPECT_GT(report.value("decode_ms_median").toDouble(), 0);
    EXPECT_GE(report.value("decode_ms_max").toDouble(), report.value("decode_ms_median").toDouble());
    EXPECT_EQ(report.value("size").toString(), "1280x0960");

    const QJsonObject info = report.value("last").toObject();
    for (const char* key : { "shutter", "aperture", "expcomp", "iso", "wb", "free", "aspect", "focal" })
        EXPECT_FALSE(info.value(key).toString().isEmpty()) << key;
    EXPECT_EQ(info.value("aspect").toString(), "4:3");
    EXPECT_TRUE(info.value("focal").toString().endsWith(" mm"));
    EXPECT_TRUE(info.value("aperture").toString().contains('.'));
    EXPECT_GE(info.value("battery").toInt(-1), 0);
    EXPECT_TRUE(info.value("orientation").isDouble());
    EXPECT_TRUE(info.value("focus").toObject().contains("state"));

    QFile lastFile(last);
    ASSERT_TRUE(lastFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(DecodeJpegToBitmap(lastFile.readAll()).size(), QSize(1280, 960));
    const QStringList frames = QDir(every).entryList({ "frame_*.jpg" }, QDir::Files, QDir::Name);
    EXPECT_EQ(frames.size(), completed);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_EQ(frames.first(), "frame_000001.jpg");
}

TEST_F(LiveViewCli, TextReportEverySecondAndASizeTheCameraLacks)
{
    start("e-m10");
    const CliRun run = cli({ "liveview", "--seconds", "3", "--port", "0", "--size", "1280 x 960" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QString out = QString::fromUtf8(run.out);
    EXPECT_GE(out.count(QRegularExpression("^\\d+ s: \\d+ frames", QRegularExpression::MultilineOption)), 2)
        << run.out.constData();
    EXPECT_TRUE(out.contains(QRegularExpression(
        "^total: \\d+ frames \\(\\d+ begun, 0 undecodable\\)", QRegularExpression::MultilineOption)))
        << run.out.constData();
    EXPECT_TRUE(out.contains(
        QRegularExpression("^last frame: .+ F\\d+\\.\\d .+ 4:3 .+ mm", QRegularExpression::MultilineOption)))
        << run.out.constData();
    // The E-M10 streams 640 x 480 at most: it gets its largest size, and the user hears so.
    EXPECT_TRUE(run.err.contains("does not offer 1280x0960, it sends 0640x0480")) << run.err.constData();

    // Live view ends in playback mode; the record view is had in recording mode.
    EXPECT_EQ(m_server->camera().mode(), camsim::SimCamera::Mode::Play);
    ASSERT_EQ(cli({ "mode", "rec" }).exitCode, 0);
    const QString file = m_out.filePath("recview.jpg");
    const CliRun recview = cli({ "recview", file });
    ASSERT_EQ(recview.exitCode, 0) << recview.err.constData();
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("\xFF\xD8"));
}

TEST_F(LiveViewCli, FailuresAndUsageErrors)
{
    start("e-m10");
    for (const QStringList& arguments :
        { QStringList { "liveview", "--seconds", "0" }, QStringList { "liveview", "--size", "big" },
            QStringList { "liveview", "--port", "70000" }, QStringList { "liveview", "--frames" },
            QStringList { "recview" }, QStringList { "recview", "a", "b" } }) {
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    }

    // The camera is in playback mode: no record view.
    const CliRun recview = cli({ "recview", m_out.filePath("none.jpg") });
    EXPECT_EQ(recview.exitCode, 1);
    EXPECT_FALSE(QFile::exists(m_out.filePath("none.jpg")));

    // Another program holds the port: the start fails and says why.
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    const CliRun busy = cli({ "liveview", "--seconds", "1", "--port", QString::number(taken.localPort()) });
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_TRUE(
        QString::fromUtf8(busy.err).contains(QStringLiteral("port %1 is taken").arg(taken.localPort())))
        << busy.err.constData();
    EXPECT_FALSE(m_server->liveViewRunning());
}

TEST_F(LiveViewCli, ServesThePicturesItCompletesOverHttp)
{
    start("e-m10");
    const QString every = m_out.filePath("frames");
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    cli.setProcessEnvironment(environment);
    cli.setReadChannel(QProcess::StandardError);
    cli.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { "--host", QStringLiteral("127.0.0.1:%1").arg(m_server->port()), "liveview", "--seconds", "3",
            "--port", "0", "--serve", "0", "--save-every", every });
    // The address goes to stderr first thing; port 0 lets the system choose one.
    QByteArray err;
    const QRegularExpression url(QStringLiteral("http://127\\.0\\.0\\.1:(\\d+)/stream"));
    QRegularExpressionMatch found;
    while (!(found = url.match(QString::fromUtf8(err))).hasMatch() && cli.waitForReadyRead(10000))
        err += cli.readAllStandardError();
    ASSERT_TRUE(found.hasMatch()) << err.constData();
    EXPECT_FALSE(err.contains("anyone")) << err.constData();

    QTcpSocket viewer;
    viewer.connectToHost(QHostAddress::LocalHost, quint16(found.captured(1).toUInt()));
    viewer.write("GET /stream HTTP/1.1\r\nHost: localhost\r\n\r\n");
    QByteArray stream;
    while (viewer.waitForReadyRead(10000))
        stream += viewer.readAll();
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    ASSERT_TRUE(stream.startsWith("HTTP/1.1 200 OK\r\n")) << stream.left(200).constData();

    // Every picture served is one of the frames the command completed, byte for byte.
    QSet<QByteArray> frames;
    for (const QFileInfo& file : QDir(every).entryInfoList(QDir::Files)) {
        QFile f(file.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        frames.insert(f.readAll());
    }
    int served = 0;
    for (qsizetype at = stream.indexOf("Content-Length: "); at >= 0;
         at = stream.indexOf("Content-Length: ", at + 1)) {
        const qsizetype body = stream.indexOf("\r\n\r\n", at) + 4;
        const qsizetype size = stream.mid(at + 16, body - at - 20).toLongLong();
        if (body + size > stream.size())
            break; // cut off by the end of the run
        EXPECT_TRUE(frames.contains(stream.mid(body, size))) << "picture " << served;
        ++served;
    }
    EXPECT_GE(served, 10) << frames.size() << " frames completed";
    EXPECT_FALSE(m_server->liveViewRunning());
}

TEST_F(LiveViewCli, ServeAddressTakenOrNoAddress)
{
    start("e-m10");
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    const QString where = QStringLiteral("127.0.0.1:%1").arg(taken.serverPort());
    const CliRun busy = cli({ "liveview", "--seconds", "1", "--serve", where });
    EXPECT_EQ(busy.exitCode, 2);
    EXPECT_EQ(busy.err.count('\n'), 1) << busy.err.constData();
    EXPECT_TRUE(busy.err.contains(where.toUtf8())) << busy.err.constData();
    EXPECT_FALSE(m_server->liveViewRunning());
    // A name is never looked up.
    const CliRun named = cli({ "liveview", "--seconds", "1", "--serve", "camera.example:8488" });
    EXPECT_EQ(named.exitCode, 2);
    EXPECT_EQ(named.err.count('\n'), 1) << named.err.constData();
}

#endif
