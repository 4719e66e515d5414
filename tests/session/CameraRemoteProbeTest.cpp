// The remote part's probe against the simulator: the actions it enables per camera model, the
// properties read in recording mode (or in shutter-only mode with a size), and the camera left in
// playback afterwards.
#include "session/TCameraRemote.h"

#include "camera/CameraEndpoints.h"
#include "camera/TOIShare.h"
#include "sim/SimServer.h"

#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class CameraRemoteProbeTest : public ::testing::Test
{
protected:
    void start(const std::string& profile)
    {
        camsim::SimServerOptions options;
        options.profile = profile;
        options.generatedFiles = 1;
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(0), 0);
        host = QStringLiteral("127.0.0.1:%1").arg(server->port());
        // The requests as the client sends them, in its order.
        TCameraLink link = TCameraLink::ToHost(host);
        link.Transport = [this](const TCameraRequest& request) {
            m_sent << QUrl(request.Url).toString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
            return TCameraLink::SendHttp(request);
        };
        remote = std::make_unique<TCameraRemote>(link);
    }

    QByteArray commandListBytes() const
    {
        TCameraRequest request;
        request.Url = cameraUrl(host, Endpoint::CommandList);
        request.ReadTimeoutMs = 5000;
        return TCameraLink::SendHttp(request).Body;
    }

    TOIShare listFrom(const QByteArray& bytes) const
    {
        TOIShare list;
        EXPECT_TRUE(list.LoadFromBytes(bytes));
        return list;
    }

    // The requests sent so far (path and query), the record cleared.
    QStringList takeRequests()
    {
        const QStringList sent = m_sent;
        m_sent.clear();
        return sent;
    }

    static QStringList modeSwitches(const QStringList& targets)
    {
        QStringList switches;
        for (const QString& t : targets)
            if (t.startsWith(QLatin1String("/switch_cammode.cgi")))
                switches << t.mid(int(qstrlen("/switch_cammode.cgi?")));
        return switches;
    }

    static int count(const QStringList& targets, const char* prefix)
    {
        return int(std::count_if(targets.begin(), targets.end(),
            [&](const QString& t) { return t.startsWith(QLatin1String(prefix)); }));
    }

    std::unique_ptr<camsim::SimServer> server;
    QString host;
    std::unique_ptr<TCameraRemote> remote;

private:
    QStringList m_sent;
};

} // namespace

TEST_F(CameraRemoteProbeTest, ReadsThePropertiesInRecordingModeAndReturnsToPlayback)
{
    start("e-m10");
    const TOIShare list = listFrom(commandListBytes());
    takeRequests();
    ASSERT_TRUE(remote->Probe(list));

    const QStringList requests = takeRequests();
    EXPECT_EQ(modeSwitches(requests), QStringList({ "mode=rec&lvqty=0320x0240", "mode=play" }));
    // Every property request lies between the two switches.
    const qsizetype rec = requests.indexOf("/switch_cammode.cgi?mode=rec&lvqty=0320x0240");
    const qsizetype play = requests.indexOf("/switch_cammode.cgi?mode=play");
    EXPECT_GT(count(requests, "/get_camprop.cgi"), 10);
    for (qsizetype i = 0; i < requests.size(); ++i) {
        if (requests[i].startsWith(QLatin1String("/get_camprop.cgi"))) {
            EXPECT_TRUE(i > rec && i < play) << requests[i].toStdString();
        }
    }
    EXPECT_TRUE(remote->Params.Find("takemode")->Valid);
    EXPECT_TRUE(
        remote->Params.Find("shutspeedvalue")->IsUsable() || remote->Params.Find("shutspeedvalue")->Valid);
    EXPECT_EQ(remote->CameraMode.Mode, TCameraModeAction::ModePlay);

    EXPECT_EQ(remote->CameraMode.SupportedModes, 2 | 4 | 8 | 16);
    // Everything but macro focus, which this body does not offer.
    for (const TBaseRemoteAction* action : remote->Actions())
        EXPECT_EQ(action->Enabled, action != &remote->MacroMF) << action->CGIName.toStdString();
    EXPECT_FALSE(remote->MacroMF.Enabled);
    EXPECT_EQ(remote->Actions().size(), 15u);

    remote->Reset();
    for (const TBaseRemoteAction* action : remote->Actions())
        EXPECT_FALSE(action->Enabled) << action->CGIName.toStdString();
    EXPECT_FALSE(remote->Params.Find("takemode")->Valid);
    EXPECT_EQ(remote->CameraMode.Mode, TCameraModeAction::ModeNone);
}

TEST_F(CameraRemoteProbeTest, ModelsWithoutShutterModeOrSizes)
{
    // A later body: no shutter-only mode and no shutter button.
    start("newbody");
    ASSERT_TRUE(remote->Probe(listFrom(commandListBytes())));
    EXPECT_EQ(remote->CameraMode.SupportedModes, 2 | 4);
    EXPECT_FALSE(remote->Release.Enabled);
    EXPECT_FALSE(remote->ReleaseView.Enabled);
    EXPECT_TRUE(remote->Take.Enabled);
    EXPECT_TRUE(remote->Params.Find("takemode")->Valid);
    EXPECT_EQ(modeSwitches(takeRequests()).last(), "mode=play");

    // "rec" listed without "lvqty", "shutter" with it: the properties are asked in shutter-only
    // mode with a size (where this camera does not describe them).
    remote.reset();
    server.reset();
    start("e-m10");
    const QByteArray e10 = commandListBytes();
    QByteArray noRecSize = e10;
    const qsizetype recAt = noRecSize.indexOf("<param1 name=\"rec\">");
    ASSERT_GT(recAt, 0);
    const qsizetype recEnd = noRecSize.indexOf("</param1>", recAt);
    noRecSize.replace(recAt, recEnd + 9 - recAt, "<param1 name=\"rec\"/>");
    takeRequests();
    ASSERT_TRUE(remote->Probe(listFrom(noRecSize)));
    EXPECT_EQ(remote->CameraMode.SupportedModes, 2 | 8 | 16);
    EXPECT_EQ(modeSwitches(takeRequests()), QStringList({ "mode=shutter&lvqty=0320x0240", "mode=play" }));
    EXPECT_FALSE(remote->Params.Find("takemode")->Valid);
    EXPECT_EQ(remote->CameraMode.Mode, TCameraModeAction::ModePlay);

    // No sizes anywhere: the mode is not switched and no property is asked.
    QByteArray noSizes = e10;
    while (true) {
        const qsizetype at = noSizes.indexOf("<cmd2 name=\"lvqty\">");
        if (at < 0)
            break;
        const qsizetype end = noSizes.indexOf("</cmd2>", at);
        noSizes.remove(at, end + 7 - at);
    }
    remote->Reset();
    ASSERT_TRUE(remote->Probe(listFrom(noSizes)));
    EXPECT_EQ(remote->CameraMode.SupportedModes, 2 | 8);
    EXPECT_TRUE(remote->CameraMode.Enabled);
    const QStringList requests = takeRequests();
    EXPECT_TRUE(modeSwitches(requests).isEmpty());
    EXPECT_EQ(count(requests, "/get_camprop.cgi"), 0);
    EXPECT_FALSE(remote->Params.Find("takemode")->Valid);
}

TEST_F(CameraRemoteProbeTest, RefusedRecordingSizeFallsBackToShutterModeAndStillEndsInPlayback)
{
    start("e-m10");
    // A size the list names but the camera refuses: recording fails, shutter-only with that size
    // fails too, no property is asked, and playback is requested all the same.
    QByteArray bytes = commandListBytes();
    bytes.replace("<param2 name=\"0320x0240\"/>", "<param2 name=\"9999x9999\"/>");
    takeRequests();
    ASSERT_TRUE(remote->Probe(listFrom(bytes)));
    const QStringList requests = takeRequests();
    EXPECT_EQ(modeSwitches(requests),
        QStringList({ "mode=rec&lvqty=9999x9999", "mode=shutter&lvqty=9999x9999", "mode=play" }));
    EXPECT_EQ(count(requests, "/get_camprop.cgi"), 0);
    EXPECT_EQ(remote->CameraMode.Mode, TCameraModeAction::ModePlay);
}

TEST_F(CameraRemoteProbeTest, BusyWhileAnActionWaitsForTheCamera)
{
    start("e-m10");
    const TOIShare list = listFrom(commandListBytes());
    EXPECT_FALSE(remote->Busy());
    bool seenBusy = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { seenBusy = seenBusy || remote->Busy(); });
    poll.start(0);
    ASSERT_TRUE(remote->Probe(list));
    poll.stop();
    EXPECT_TRUE(seenBusy);
    EXPECT_FALSE(remote->Busy());
    EXPECT_FALSE(remote->LiveViewReceiving());
}
