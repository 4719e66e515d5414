#include "LiveViewTestSupport.h"

#include "base/TNamedTexts.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/TLastJpegAction.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TRecordViewAction.h"
#include "liveview/TReleaseViewAction.h"

#include "common/TestPaths.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <stdexcept>

using lumivar::test::readFixture;
using lvtest::LogCapture;

namespace {

// Records every request and answers with the next scripted answer (the last one repeats); no
// answer at all when nothing is scripted.
struct FakeCamera
{
    QStringList urls;
    QList<TCameraAnswer> answers;

    TCameraLink link()
    {
        TCameraLink l = TCameraLink::ToHost(QStringLiteral("cam"));
        l.Transport = [this](const TCameraRequest& r) {
            urls.append(r.Url);
            if (answers.isEmpty())
                return TCameraAnswer { false, -1, {}, QStringLiteral("refused") };
            return answers.size() > 1 ? answers.takeFirst() : answers.first();
        };
        return l;
    }
    void answer(int code, const QByteArray& body = {}) { answers.append({ true, code, body, {} }); }
    // Only the live view requests, without the mode switches.
    QStringList liveViewUrls() const
    {
        QStringList out;
        for (const QString& url : urls)
            if (url.contains(QLatin1String("liveview")))
                out << url;
        return out;
    }
};

TOIShare emList()
{
    TOIShare list;
    EXPECT_TRUE(list.LoadFromBytes(readFixture("camera/commandlist_E-M10_v2.20.xml")));
    return list;
}

TOIShare listOf(const QByteArray& cgis)
{
    TOIShare list;
    EXPECT_TRUE(list.LoadFromBytes("<oishare><version>2.20</version>" + cgis + "</oishare>"));
    return list;
}

template<class Action> void probe(Action& action, const TOIShare& list)
{
    const TCGIFunction* function = list.Functions.Find(action.CGIName);
    ASSERT_NE(function, nullptr) << action.CGIName.toStdString();
    EXPECT_TRUE(action.Probe(*function));
}

QString portTakenText(quint16 port)
{
    return QString::fromUtf8("Der Port %1 für die Übertragung des Live-Streams konnte nicht geöffnet werden!")
        .arg(port);
}

// The camera's remote part as far as live view needs it, against a fake camera.
struct Remote
{
    FakeCamera camera;
    TCameraModeAction cameraMode { camera.link() };
    TLiveViewAction liveView { camera.link() };
    TReleaseViewAction releaseView { camera.link() };
    QString sizeSetting = QStringLiteral("0640x0480");
    TLiveViewControl control { cameraMode, liveView, releaseView, [this] { return sizeSetting; } };

    explicit Remote(const TOIShare& list)
    {
        cameraMode.SwitchPauseMs = 0;
        probe(cameraMode, list);
        probe(liveView, list);
        probe(releaseView, list);
    }
};

} // namespace

TEST(LiveViewActions, ProbesFollowTheCommandList)
{
    FakeCamera camera;
    TLiveViewAction liveView(camera.link());
    TReleaseViewAction releaseView(camera.link());
    TRecordViewAction recordView(camera.link());
    TLastJpegAction lastJpeg(camera.link());
    const TOIShare list = emList();
    probe(liveView, list);
    probe(releaseView, list);
    probe(recordView, list);
    probe(lastJpeg, list);
    EXPECT_TRUE(liveView.Enabled);
    EXPECT_TRUE(releaseView.Enabled);
    EXPECT_TRUE(recordView.Enabled);
    EXPECT_TRUE(lastJpeg.Enabled);
    EXPECT_TRUE(liveView.Commands.contains("port"));
    EXPECT_EQ(liveView.CGIName, "exec_takemisc");
    EXPECT_EQ(releaseView.CGIName, "exec_shuttermisc");

    // "startliveview" without "port", no "stopliveview", no "com", no GET: all stay disabled and
    // the probe still succeeds. Names are compared without regard to case.
    const TOIShare partial = listOf(R"(
        <cgi name="exec_takemisc"><http_method type="get"><cmd1 name="com">
            <param1 name="startliveview"/><param1 name="stopliveview"/><param1 name="GETRECVIEW"/>
        </cmd1></http_method></cgi>
        <cgi name="exec_shuttermisc"><http_method type="get"><cmd1 name="COM">
            <param1 name="StartLiveView"><cmd2 name="PORT"/></param1>
        </cmd1></http_method></cgi>)");
    probe(liveView, partial);
    probe(releaseView, partial);
    probe(recordView, partial);
    probe(lastJpeg, partial);
    EXPECT_FALSE(liveView.Enabled);
    EXPECT_FALSE(releaseView.Enabled);
    EXPECT_TRUE(recordView.Enabled);
    EXPECT_FALSE(lastJpeg.Enabled);

    const TOIShare bare = listOf(R"(<cgi name="exec_takemisc"><http_method type="get"/></cgi>
        <cgi name="exec_shuttermisc"><http_method type="post"><cmd1 name="com">
            <param1 name="startliveview"><cmd2 name="port"/></param1><param1 name="stopliveview"/>
        </cmd1></http_method></cgi>)");
    probe(liveView, bare);
    probe(releaseView, bare);
    probe(recordView, bare);
    EXPECT_FALSE(liveView.Enabled);
    EXPECT_FALSE(releaseView.Enabled);
    EXPECT_FALSE(recordView.Enabled);
    EXPECT_TRUE(camera.urls.isEmpty());
}

TEST(LiveViewActions, OnlyStartAndStopAreKinds)
{
    FakeCamera camera;
    camera.answer(200);
    TLiveViewAction action(camera.link());
    probe(action, emList());
    ASSERT_TRUE(action.Execute(1, 0));
    ASSERT_EQ(action.LiveViewState, TBaseLiveViewAction::Started);
    const qsizetype sent = camera.urls.size();
    for (quint8 kind : { 0, 3, 255 }) {
        EXPECT_FALSE(action.Execute(kind, 0)) << int(kind);
        EXPECT_FALSE(action.Busy);
    }
    EXPECT_FALSE(action.Execute());
    EXPECT_EQ(camera.urls.size(), sent);
    EXPECT_EQ(action.LiveViewState, TBaseLiveViewAction::Started);
    EXPECT_TRUE(action.Processor().IsListening());
}

TEST(LiveViewActions, StartAnnouncesTheBoundPortAndStopClosesIt)
{
    // A port that was free a moment ago, as LiveViewPort would name it.
    QUdpSocket probeSocket;
    ASSERT_TRUE(probeSocket.bind(QHostAddress::AnyIPv4, 0));
    const quint16 port = probeSocket.localPort();
    probeSocket.close();

    FakeCamera camera;
    camera.answer(200, "<?xml version=\"1.0\"?><funcidlist><funcid>1</funcid></funcidlist>");
    TLiveViewAction liveView(camera.link());
    TReleaseViewAction releaseView(camera.link());
    probe(liveView, emList());
    probe(releaseView, emList());
    bool done = false;
    liveView.OnDone = [&](TBaseRemoteAction* sender, bool success) { done = sender == &liveView && success; };

    ASSERT_TRUE(liveView.Execute(1, port));
    EXPECT_TRUE(done);
    EXPECT_EQ(camera.urls.last(),
        QStringLiteral("http://cam/exec_takemisc.cgi?com=startliveview&port=%1").arg(port));
    EXPECT_EQ(liveView.LiveViewState, TBaseLiveViewAction::Started);
    EXPECT_TRUE(liveView.ErrorText.isEmpty());
    EXPECT_TRUE(liveView.Processor().IsListening());
    EXPECT_EQ(liveView.Processor().Port(), port);
    EXPECT_NE(liveView.Document.Root(), nullptr);
    EXPECT_FALSE(liveView.Busy);

    // Port 0 lets the system choose; the camera hears the port actually bound.
    ASSERT_TRUE(releaseView.Execute(1, 0));
    const quint16 bound = releaseView.Processor().Port();
    ASSERT_NE(bound, 0);
    EXPECT_EQ(camera.urls.last(),
        QStringLiteral("http://cam/exec_shuttermisc.cgi?com=startliveview&port=%1").arg(bound));

    // Stop: the request, then the receiver closes, also when the camera does not answer.
    ASSERT_TRUE(liveView.Execute(2, 1234));
    EXPECT_EQ(camera.urls.last(), "http://cam/exec_takemisc.cgi?com=stopliveview");
    EXPECT_EQ(liveView.LiveViewState, TBaseLiveViewAction::Stopped);
    EXPECT_FALSE(liveView.Processor().IsListening());

    camera.answers.clear();
    EXPECT_FALSE(releaseView.Execute(2, 0));
    EXPECT_EQ(camera.urls.last(), "http://cam/exec_shuttermisc.cgi?com=stopliveview");
    EXPECT_EQ(releaseView.LiveViewState, TBaseLiveViewAction::Stopped);
    EXPECT_FALSE(releaseView.Processor().IsListening());
    EXPECT_EQ(releaseView.ErrorText, "Response code = -1");
}

TEST(LiveViewActions, RefusedStartsAndATakenPort)
{
    TNamedTexts::ResetToDefaults();
    RegisterLiveViewTexts();
    LogCapture log;
    FakeCamera camera;
    TLiveViewAction action(camera.link());
    probe(action, emList());

    camera.answer(404);
    EXPECT_FALSE(action.Execute(1, 0));
    EXPECT_EQ(action.LiveViewState, TBaseLiveViewAction::NotStarted);
    EXPECT_EQ(action.ErrorText, "Response code = 404");
    // A start the camera refused leaves the receiver open; the next start reuses it.
    EXPECT_TRUE(action.Processor().IsListening());
    const quint16 first = action.Processor().Port();

    camera.answers.clear(); // no answer at all
    EXPECT_FALSE(action.Execute(1, 0));
    EXPECT_EQ(action.ErrorText, "Response code = -1");
    EXPECT_EQ(action.Processor().Port(), first);
    EXPECT_TRUE(camera.urls.last().endsWith(QStringLiteral("port=%1").arg(first)));
    action.Processor().Stop();

    // Another program holds the port: the camera is still asked, with port 0.
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    const QString reason = portTakenText(taken.localPort());
    camera.answer(404);
    EXPECT_FALSE(action.Execute(1, taken.localPort()));
    EXPECT_EQ(camera.urls.last(), "http://cam/exec_takemisc.cgi?com=startliveview&port=0");
    // The receiver's reason may carry the system's words after it.
    EXPECT_TRUE(action.Processor().ErrorText().startsWith(reason));
    EXPECT_EQ(action.ErrorText.toStdString(),
        ("Response code = 404\r\n" + action.Processor().ErrorText()).toStdString());

    camera.answers = { { true, 200, {}, {} } };
    EXPECT_TRUE(action.Execute(1, taken.localPort()));
    EXPECT_EQ(camera.urls.last(), "http://cam/exec_takemisc.cgi?com=startliveview&port=0");
    EXPECT_EQ(action.LiveViewState, TBaseLiveViewAction::Started);
    EXPECT_TRUE(action.ErrorText.startsWith(reason)) << action.ErrorText.toStdString();
    EXPECT_FALSE(action.Processor().IsListening());
}

TEST(LiveViewActions, DisabledActionsSendNothing)
{
    FakeCamera camera;
    camera.answer(200, "jpeg");
    TLiveViewAction liveView(camera.link());
    TRecordViewAction recordView(camera.link());
    TLastJpegAction lastJpeg(camera.link());
    const TOIShare list = listOf(R"(<cgi name="exec_takemisc"><http_method type="get"><cmd1 name="com">
        <param1 name="startliveview"/><param1 name="stopliveview"/></cmd1></http_method></cgi>)");
    probe(liveView, list);
    probe(recordView, list);
    probe(lastJpeg, list);
    ASSERT_FALSE(liveView.Enabled);

    EXPECT_TRUE(liveView.Execute(1, 0));
    EXPECT_FALSE(liveView.Processor().IsListening());
    EXPECT_EQ(liveView.LiveViewState, TBaseLiveViewAction::NotStarted);
    EXPECT_TRUE(liveView.Execute(2, 0));
    EXPECT_TRUE(recordView.Execute());
    EXPECT_TRUE(recordView.Data.isEmpty());
    EXPECT_FALSE(lastJpeg.Execute());
    EXPECT_TRUE(camera.urls.isEmpty());
}

TEST(LiveViewActions, RecordViewKeepsThePicture)
{
    FakeCamera camera;
    TRecordViewAction action(camera.link());
    probe(action, emList());
    const QByteArray jpeg("\xFF\xD8\xFF\xDB picture \xFF\xD9", 16);
    camera.answer(200, jpeg);
    camera.answer(520, "<?xml version=\"1.0\"?><errorcode>1</errorcode>");
    bool done = false;
    action.OnDone = [&](TBaseRemoteAction*, bool success) { done = success; };

    ASSERT_TRUE(action.Execute());
    EXPECT_EQ(camera.urls.last(), "http://cam/exec_takemisc.cgi?com=getrecview");
    EXPECT_EQ(action.Data, jpeg);
    EXPECT_TRUE(done);
    EXPECT_FALSE(action.Execute());
    EXPECT_TRUE(action.Data.isEmpty()); // no stale picture after a failure
    EXPECT_FALSE(done);
}

TEST(LiveViewControl, StartSwitchesThroughPlayWithTheResolvedSize)
{
    LogCapture log;
    // The camera offers 0320x0240 and 0640x0480 only; the setting asks for 1024 x 768.
    Remote remote(emList());
    remote.sizeSetting = QStringLiteral("1024 x 768");
    remote.camera.answer(200);
    QList<QSize> resized;
    remote.control.ResizeToLiveView = [&](qint32 w, qint32 h) { resized << QSize(w, h); };

    ASSERT_TRUE(remote.control.Start(2, 0));
    const quint16 bound = remote.liveView.Processor().Port();
    EXPECT_EQ(remote.camera.urls,
        QStringList({ "http://cam/switch_cammode.cgi?mode=play",
            "http://cam/switch_cammode.cgi?mode=rec&lvqty=0640x0480",
            QStringLiteral("http://cam/exec_takemisc.cgi?com=startliveview&port=%1").arg(bound) }));
    EXPECT_EQ(resized, QList<QSize>({ QSize(640, 480) }));
    EXPECT_EQ(remote.control.Mode(), 2);
    EXPECT_FALSE(remote.control.ErrorVisible());
    EXPECT_EQ(remote.liveView.LiveViewState, TBaseLiveViewAction::Started);
    EXPECT_FALSE(remote.releaseView.Processor().IsListening());

    // The two "always" lines in order around the mode switch and the start.
    const QStringList lines = log.lines();
    const auto at = [&](const char* text) {
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].endsWith(QLatin1String(text)))
                return i;
        return -1;
    };
    const int setMode = at("TfraLiveView.StartLiveView: Set remote mode");
    const int start = at("TfraLiveView.StartLiveView: Start live view");
    ASSERT_GE(setMode, 0);
    EXPECT_GT(start, setMode);

    ASSERT_TRUE(remote.control.Stop());
    EXPECT_EQ(remote.camera.urls.last(), "http://cam/exec_takemisc.cgi?com=stopliveview");
    EXPECT_FALSE(remote.liveView.Processor().IsListening());
    // Stopped is not started: a second stop sends nothing.
    const qsizetype sent = remote.camera.urls.size();
    EXPECT_TRUE(remote.control.Stop());
    EXPECT_EQ(remote.camera.urls.size(), sent);

    // Mode 4 drives the shutter-mode action.
    ASSERT_TRUE(remote.control.Start(4, 0));
    EXPECT_EQ(remote.camera.liveViewUrls().last(),
        QStringLiteral("http://cam/exec_shuttermisc.cgi?com=startliveview&port=%1")
            .arg(remote.releaseView.Processor().Port()));
    EXPECT_TRUE(remote.control.Stop());
    EXPECT_EQ(remote.camera.urls.last(), "http://cam/exec_shuttermisc.cgi?com=stopliveview");
}

TEST(LiveViewControl, FailedStartShowsWhyAndIsNotStopped)
{
    Remote remote(emList());
    remote.camera.answer(200); // play
    remote.camera.answer(200); // rec
    remote.camera.answer(404); // start
    QStringList shown;
    remote.control.OnShowError = [&](const QString& text) { shown << text; };

    EXPECT_FALSE(remote.control.Start(2, 0));
    EXPECT_EQ(remote.control.ErrorText(), "Response code = 404");
    EXPECT_TRUE(remote.control.ErrorVisible());
    EXPECT_EQ(shown, QStringList({ "Response code = 404" }));
    const quint16 port = remote.liveView.Processor().Port();

    // No stop request after a failed start, and the receiver stays open for the next start.
    const qsizetype sent = remote.camera.urls.size();
    EXPECT_TRUE(remote.control.Stop());
    EXPECT_EQ(remote.camera.urls.size(), sent);
    EXPECT_TRUE(remote.liveView.Processor().IsListening());

    remote.camera.answers = { { true, 200, {}, {} } };
    ASSERT_TRUE(remote.control.Start(2, 0));
    EXPECT_EQ(remote.liveView.Processor().Port(), port);
    EXPECT_FALSE(remote.control.ErrorVisible());
    EXPECT_EQ(shown.last(), "");

    // A stop the camera does not answer: false, the label says why, the receiver is closed.
    remote.camera.answers.clear();
    EXPECT_FALSE(remote.control.Stop());
    EXPECT_EQ(remote.control.ErrorText(), "Response code = -1");
    EXPECT_FALSE(remote.liveView.Processor().IsListening());
}

TEST(LiveViewControl, NothingHappensWithoutAModeSwitchOrForOtherModes)
{
    Remote remote(emList());
    remote.camera.answer(200);
    for (quint8 mode : { 0, 1, 3, 5 })
        EXPECT_FALSE(remote.control.Start(mode, 0)) << int(mode);
    EXPECT_EQ(remote.control.Mode(), 0);
    EXPECT_TRUE(remote.camera.urls.isEmpty());

    remote.cameraMode.Reset(); // the camera went away
    EXPECT_FALSE(remote.control.Start(2, 0));
    EXPECT_TRUE(remote.camera.urls.isEmpty());
    EXPECT_FALSE(remote.liveView.Processor().IsListening());
    EXPECT_TRUE(remote.control.Stop());
}

TEST(LiveViewControl, AnErrorDuringTheSequenceIsShown)
{
    Remote remote(emList());
    remote.camera.answer(200);
    remote.control.ShowError(QStringLiteral("  old  "));
    EXPECT_EQ(remote.control.ErrorText(), "old");
    remote.control.ResizeToLiveView
        = [](qint32, qint32) { throw std::runtime_error("no room for the picture"); };

    EXPECT_FALSE(remote.control.Start(2, 0));
    EXPECT_EQ(remote.control.ErrorText(), "no room for the picture");
    EXPECT_TRUE(remote.camera.liveViewUrls().isEmpty());
    EXPECT_FALSE(remote.liveView.Processor().IsListening());
}
