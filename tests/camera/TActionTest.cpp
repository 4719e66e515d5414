#include "camera/TActivateAction.h"
#include "camera/TCameraInfo.h"
#include "camera/TOIShare.h"
#include "camera/TPowerOffAction.h"
#include "camera/TSetTimeAction.h"
#include "camera/WaitFunc.h"

#include "common/TestHttpServer.h"
#include "common/TestPaths.h"

#include <QElapsedTimer>
#include <QTimeZone>
#include <QTimer>

#include <gtest/gtest.h>

using lumivar::test::readFixture;
using lumivar::test::TestHttpServer;

namespace {

// Answers every request with the next scripted answer (the last one repeats).
struct FakeCamera
{
    QList<TCameraRequest> requests;
    QList<TCameraAnswer> answers;

    TCameraLink link()
    {
        TCameraLink l = TCameraLink::ToHost(QStringLiteral("cam"));
        l.Transport = [this](const TCameraRequest& r) {
            requests.append(r);
            if (answers.isEmpty())
                return TCameraAnswer { false, -1, {}, QStringLiteral("refused") };
            return answers.size() > 1 ? answers.takeFirst() : answers.first();
        };
        return l;
    }
    void answer(int code, const QByteArray& body = {}) { answers.append({ true, code, body, {} }); }
};

TOIShare commandList(const char* fixture = "camera/commandlist_E-M10_v2.20.xml")
{
    TOIShare list;
    EXPECT_TRUE(list.LoadFromBytes(readFixture(fixture)));
    return list;
}

TOIShare listOf(const QByteArray& cgis)
{
    TOIShare list;
    EXPECT_TRUE(list.LoadFromBytes("<oishare><version>2.20</version>" + cgis + "</oishare>"));
    return list;
}

QDateTime at(const char* zone, int month)
{
    return QDateTime(QDate(2024, month, 15), QTime(10, 35, 39), QTimeZone(zone));
}

} // namespace

TEST(InfoActions, DisabledActionsSendNothingAndReturnAnEmptyText)
{
    FakeCamera camera;
    TCameraInfo info(camera.link());
    // A body without "get_dcffilenum": that action stays disabled, the probe still succeeds.
    TOIShare list = listOf(R"(<cgi name="get_connectmode"><http_method type="get"/></cgi>
        <cgi name="get_caminfo"><http_method type="get"/></cgi>
        <cgi name="get_movplaytime"><http_method type="get"><cmd1 name="DIR"/></http_method></cgi>
        <cgi name="get_unusedcapacity"><http_method type="put"/></cgi>)");
    ASSERT_TRUE(info.Probe(list));
    EXPECT_TRUE(info.ConnectMode.Enabled);
    EXPECT_TRUE(info.CameraInfo.Enabled);
    EXPECT_TRUE(info.MovPlayTime.Enabled); // a GET method with keys counts
    EXPECT_FALSE(info.DCFFileCount.Enabled);
    EXPECT_FALSE(info.UnusedCapacity.Enabled);

    QString text = "stale";
    EXPECT_TRUE(info.DCFFileCount.Execute(text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(camera.requests.isEmpty());

    info.Reset();
    EXPECT_FALSE(info.ConnectMode.Enabled);
    text = "stale";
    EXPECT_TRUE(info.ConnectMode.Execute(text));
    EXPECT_TRUE(text.isEmpty()); // which is not "private"
    EXPECT_TRUE(camera.requests.isEmpty());
}

TEST(InfoActions, ReadTheirElementsAndRefuseOtherAnswers)
{
    FakeCamera camera;
    TCameraInfo info(camera.link());
    ASSERT_TRUE(info.Probe(commandList()));
    for (const TBaseInfoAction* action : info.Actions())
        EXPECT_TRUE(action->Enabled) << action->CGIName.toStdString();

    QString text;
    camera.answer(200, "<?xml version=\"1.0\"?>\r\n<connectmode>private</connectmode>");
    EXPECT_TRUE(info.ConnectMode.Execute(text));
    EXPECT_EQ(text, "private");
    EXPECT_EQ(camera.requests.last().Url, "http://cam/get_connectmode.cgi");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 5000);
    EXPECT_TRUE(camera.requests.last().LogBody);

    camera.answers = { { true, 200,
        "<caminfo><version>4.40</version><model></model><model>E-M10MarkIV</model>"
        "<model>second</model></caminfo>",
        {} } };
    EXPECT_TRUE(info.CameraInfo.Execute(text));
    EXPECT_EQ(text, "E-M10MarkIV");

    camera.answers = { { true, 200, "<?xml version=\"1.0\" ?><unused>4294967295</unused>", {} } };
    EXPECT_TRUE(info.UnusedCapacity.Execute(text));
    EXPECT_EQ(text, "4294967295");

    // Another element, the camera's error answer, no answer at all: false and no text.
    camera.answers = { { true, 200, "<dcffile>12</dcffile>", {} } };
    EXPECT_FALSE(info.UnusedCapacity.Execute(text));
    EXPECT_TRUE(text.isEmpty());
    camera.answers = { { true, 520, "<?xml version=\"1.0\"?>1001</errorcode>", {} } };
    text = "stale";
    EXPECT_FALSE(info.DCFFileCount.Execute(text));
    EXPECT_TRUE(text.isEmpty());
    camera.answers.clear();
    EXPECT_FALSE(info.DCFFileCount.Execute(text));
    EXPECT_FALSE(info.Busy());
}

TEST(InfoActions, OnDoneReportsEachCompletedRequest)
{
    FakeCamera camera;
    TConnectModeAction action(camera.link());
    action.Enabled = true;
    QList<bool> done;
    action.OnDone = [&](TBaseInfoAction* sender, bool ok) {
        EXPECT_EQ(sender, &action);
        EXPECT_TRUE(sender->Busy);
        done.append(ok);
    };
    QString text;
    camera.answer(200, "<connectmode>OPC</connectmode>");
    action.Execute(text);
    camera.answers = { { true, 404, {}, {} } };
    action.Execute(text);
    EXPECT_EQ(done, QList<bool>({ true, false }));
    EXPECT_FALSE(action.Busy);
}

TEST(MovPlayTime, DurationTextsAndAnswersThatAreNoNumber)
{
    EXPECT_EQ(TMovPlayTimeAction::PlayTimeText("3725"), "01:02:05");
    EXPECT_EQ(TMovPlayTimeAction::PlayTimeText("90000"), "01:00:00"); // whole days are dropped
    EXPECT_EQ(TMovPlayTimeAction::PlayTimeText("0"), "00:00:00");
    EXPECT_EQ(TMovPlayTimeAction::PlayTimeText("12.5"), "12.5");
    EXPECT_EQ(TMovPlayTimeAction::PlayTimeText("-3"), "-3");
    EXPECT_EQ(TMovPlayTimeAction::PlayTimeText("abc"), "abc");

    FakeCamera camera;
    TMovPlayTimeAction action(camera.link());
    action.Enabled = true;
    QString text;
    camera.answer(200, "<?xml version=\"1.0\"?><playtime> 3725 </playtime>");
    EXPECT_TRUE(action.Execute("/100OLYMP/P1010001.MOV", text));
    EXPECT_EQ(text, "01:02:05");
    EXPECT_EQ(camera.requests.last().Url, "http://cam/get_movplaytime.cgi?DIR=/DCIM/100OLYMP/P1010001.MOV");

    camera.answers = { { true, 200, "<playtime>n/a</playtime>", {} } };
    EXPECT_TRUE(action.Execute("/100OLYMP/P1010001.MOV", text));
    EXPECT_EQ(text, "n/a");
}

TEST(MovPlayTime, PathsThatWouldLeaveTheCardOrTheQueryAreRefused)
{
    EXPECT_EQ(TMovPlayTimeAction::DirValue("/100OLYMP/A B&C#.MOV"), "/DCIM/100OLYMP/A%20B%26C%23.MOV");
    EXPECT_TRUE(TMovPlayTimeAction::DirValue("100OLYMP/P1.MOV").isEmpty());
    EXPECT_TRUE(TMovPlayTimeAction::DirValue("/../secret").isEmpty());
    EXPECT_TRUE(TMovPlayTimeAction::DirValue("/100OLYMP/\r\nX").isEmpty());

    FakeCamera camera;
    TMovPlayTimeAction action(camera.link());
    action.Enabled = true;
    QString text = "stale";
    EXPECT_FALSE(action.Execute("/../x.MOV", text));
    EXPECT_FALSE(action.Execute(text)); // a play time needs a file
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(camera.requests.isEmpty());
}

TEST(RemoteActions, ProbesCollectCommandsAndSuccessCodesDiffer)
{
    const TOIShare list = commandList();
    FakeCamera camera;
    TPowerOffAction powerOff(camera.link());
    TActivateAction activate(camera.link());
    TSetTimeAction setTime(camera.link());
    ASSERT_TRUE(powerOff.Probe(*list.Functions.Find("exec_pwoff")));
    ASSERT_TRUE(activate.Probe(*list.Functions.Find("get_activate")));
    ASSERT_TRUE(setTime.Probe(*list.Functions.Find("set_utctimediff")));
    EXPECT_TRUE(powerOff.Enabled);
    EXPECT_TRUE(activate.Enabled);
    EXPECT_TRUE(setTime.Enabled);
    // The list nests "diff" straight under "utctime", without a value between: only "utctime" is a key.
    EXPECT_EQ(setTime.Commands, QStringList({ "utctime" }));

    camera.answer(202);
    EXPECT_TRUE(powerOff.Execute());
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_pwoff.cgi");
    EXPECT_FALSE(activate.Execute());
    camera.answers = { { true, 200, {}, {} } };
    EXPECT_TRUE(activate.Execute());
    EXPECT_EQ(camera.requests.last().Url, "http://cam/get_activate.cgi");
    camera.answers = { { true, 500, {}, {} } };
    EXPECT_FALSE(powerOff.Execute());

    // A clock program without "utctime" does not enable the action.
    const TOIShare bare = listOf(R"(<cgi name="set_utctimediff"><http_method type="get"/></cgi>)");
    EXPECT_TRUE(setTime.Probe(*bare.Functions.Find("set_utctimediff")));
    EXPECT_FALSE(setTime.Enabled);
}

TEST(RemoteActions, CollectCommandsWalksEveryMethodToAnyDepth)
{
    const TOIShare list = listOf(R"(<cgi name="exec_takemisc">
        <http_method type="get"><cmd1 name="com"><param1 name="ctrlzoom"><cmd2 name="move">
          <param2 name="telemove"><cmd3 name="speed"/></param2></cmd2></param1>
          <param1 name="startliveview"><cmd2 name="port"/></param1>
          <param1 name="other"><cmd2 name="MOVE"/></param1></cmd1></http_method>
        <http_method type="post"><cmd1 name="com"/><cmd1 name="data"/></http_method></cgi>)");
    TPowerOffAction action(TCameraLink::ToHost("cam"), "exec_takemisc");
    ASSERT_TRUE(action.Probe(*list.Functions.Find("exec_takemisc")));
    EXPECT_EQ(action.Commands, QStringList({ "com", "move", "speed", "port", "data" }));
    action.Reset();
    EXPECT_TRUE(action.Commands.isEmpty());
    EXPECT_FALSE(action.Enabled);

    // The mode switch carries the live view size captions; other programs none.
    TActivateAction modes(TCameraLink::ToHost("cam"), "Switch_CamMode");
    EXPECT_EQ(modes.Dictionary.Count(), 5);
    EXPECT_EQ(modes.Dictionary.ValueOf("1024 x 768"), "1024x0768");
    EXPECT_TRUE(action.Dictionary.IsEmpty());
}

TEST(SetTime, DiffFollowsTheLocalOffsetIncludingDaylightSaving)
{
    EXPECT_EQ(TSetTimeAction::DiffText(3600), "+0100");
    EXPECT_EQ(TSetTimeAction::DiffText(-5 * 3600), "-0500");
    EXPECT_EQ(TSetTimeAction::DiffText(0), "+0000");
    EXPECT_EQ(TSetTimeAction::DiffText(5 * 3600 + 45 * 60), "+0545");
    EXPECT_EQ(TSetTimeAction::DiffText(-(9 * 3600 + 30 * 60)), "-0930");

    const QDateTime plusOne(QDate(2024, 1, 31), QTime(23, 59, 59), Qt::OffsetFromUTC, 3600);
    EXPECT_EQ(TSetTimeAction::Query(plusOne), "utctime=20240131T225959&diff=%2B0100");
    const QDateTime minusFive(QDate(2024, 1, 31), QTime(20, 0, 0), Qt::OffsetFromUTC, -5 * 3600);
    EXPECT_EQ(TSetTimeAction::Query(minusFive), "utctime=20240201T010000&diff=-0500");
    const QDateTime utc(QDate(2015, 2, 27), QTime(10, 35, 39), Qt::UTC);
    EXPECT_EQ(TSetTimeAction::Query(utc), "utctime=20150227T103539&diff=%2B0000");

    if (!QTimeZone("Europe/Berlin").isValid() || !QTimeZone("America/New_York").isValid())
        GTEST_SKIP() << "no time zone data on this system";
    EXPECT_EQ(TSetTimeAction::DiffText(at("Europe/Berlin", 1).offsetFromUtc()), "+0100");
    EXPECT_EQ(TSetTimeAction::DiffText(at("Europe/Berlin", 7).offsetFromUtc()), "+0200");
    EXPECT_EQ(TSetTimeAction::DiffText(at("America/New_York", 1).offsetFromUtc()), "-0500");
    EXPECT_EQ(TSetTimeAction::DiffText(at("America/New_York", 7).offsetFromUtc()), "-0400");
    EXPECT_EQ(TSetTimeAction::DiffText(at("UTC", 7).offsetFromUtc()), "+0000");
}

TEST(SetTime, ExecuteSendsTheInjectedMoment)
{
    FakeCamera camera;
    TSetTimeAction action(camera.link());
    action.Enabled = true;
    action.Now = [] { return QDateTime(QDate(2024, 7, 1), QTime(12, 0, 0), Qt::OffsetFromUTC, -5 * 3600); };
    camera.answer(202);
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(
        camera.requests.last().Url, "http://cam/set_utctimediff.cgi?utctime=20240701T170000&diff=-0500");
    EXPECT_EQ(action.LastDiff, "-0500");

    action.Now = [] { return QDateTime(); }; // the platform cannot tell
    EXPECT_TRUE(action.Execute());
    EXPECT_TRUE(camera.requests.last().Url.endsWith("&diff=%2B0000"));
}

TEST(ActionTransport, OverHttpTheSignAndTheErrorBodyArriveAsSent)
{
    TestHttpServer server;
    TSetTimeAction action(TCameraLink::ToHost(server.hostAndPort()));
    action.Enabled = true;
    action.Now = [] { return QDateTime(QDate(2024, 1, 15), QTime(11, 0, 0), Qt::OffsetFromUTC, 3600); };
    server.respondStatus(200, "OK", {});
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(
        server.lastRequestLine(), "GET /set_utctimediff.cgi?utctime=20240115T100000&diff=%2B0100 HTTP/1.1");

    TDCFFileCountAction count(TCameraLink::ToHost(server.hostAndPort()));
    count.Enabled = true;
    server.respondStatus(520, "Vendor Internal Error", "<?xml version=\"1.0\"?>1000</errorcode>");
    QString text;
    EXPECT_FALSE(count.Execute(text));
    EXPECT_TRUE(text.isEmpty());
}

TEST(ActionTransport, AResetDuringTheWaitDropsTheLateAnswer)
{
    TestHttpServer server;
    TConnectModeAction action(TCameraLink::ToHost(server.hostAndPort()));
    action.Enabled = true;
    bool busyDuringWait = false;
    QObject::connect(&server, &TestHttpServer::requestReceived, [&] {
        busyDuringWait = action.Busy;
        action.Reset(); // the camera object reset its parts meanwhile
    });
    server.respondStatus(200, "OK", "<connectmode>private</connectmode>", "text/xml", 100);
    QString text;
    EXPECT_FALSE(action.Execute(text));
    EXPECT_TRUE(busyDuringWait);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(action.Document.Root(), nullptr);
    EXPECT_FALSE(action.Busy);
}

TEST(WaitFunc, EventsRunDuringTheWaitAndTheFlagEndsItEarly)
{
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    Wait(200);
    EXPECT_TRUE(fired);
    EXPECT_GE(clock.elapsed(), 190);

    bool abort = false;
    QTimer::singleShot(30, [&] { abort = true; });
    clock.restart();
    WaitAbortable(30000, abort);
    EXPECT_TRUE(abort);
    EXPECT_LT(clock.elapsed(), 10000); // generous: only that it did not run to its end
}
