// The shooting actions against a scripted transport: the URLs and read time-outs they send, how
// they read the camera's answers, what they keep after a failure and what they refuse to send.
#include "camera/AFPoint.h"
#include "camera/TAssignAFFrameAction.h"
#include "camera/TCameraModeAction.h"
#include "camera/TCtrlZoomAction.h"
#include "camera/TMacroMFAction.h"
#include "camera/TOIShare.h"
#include "camera/TReleaseAFFrameAction.h"
#include "camera/TReleaseAction.h"
#include "camera/TTakeAction.h"
#include "camera/TTakeReadyAction.h"

#include "common/TestPaths.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Answers each request with the next scripted answer (the last one repeats); no script: no answer.
struct FakeCamera
{
    QList<TCameraRequest> requests;
    QList<TCameraAnswer> answers;
    std::function<void()> onRequest;

    TCameraLink link()
    {
        TCameraLink l = TCameraLink::ToHost(QStringLiteral("cam"));
        l.Transport = [this](const TCameraRequest& r) {
            requests.append(r);
            if (onRequest)
                onRequest();
            if (answers.isEmpty())
                return TCameraAnswer { false, -1, {}, QStringLiteral("refused") };
            return answers.size() > 1 ? answers.takeFirst() : answers.first();
        };
        return l;
    }
    void answer(int code, const QByteArray& body = {}) { answers.append({ true, code, body, {} }); }
    QStringList urls() const
    {
        QStringList result;
        for (const TCameraRequest& r : requests)
            result << r.Url;
        return result;
    }
};

TOIShare listOf(const QByteArray& cgis)
{
    TOIShare list;
    EXPECT_TRUE(list.LoadFromBytes("<oishare><version>2.20</version>" + cgis + "</oishare>"));
    return list;
}

TOIShare em10()
{
    TOIShare list;
    EXPECT_TRUE(list.LoadFromBytes(lumivar::test::readFixture("camera/commandlist_E-M10_v2.20.xml")));
    return list;
}

template<typename Action> void probe(Action& action, const TOIShare& list)
{
    const TCGIFunction* function = list.Functions.Find(action.CGIName);
    ASSERT_NE(function, nullptr);
    ASSERT_TRUE(action.Probe(*function));
}

const QByteArray kStartTakeAnswer
    = "<?xml version=\"1.0\"?><response><take>ok</take><affocus>ok</affocus>"
      "<afframepoint>0412x0346</afframepoint><afframesize>0072x0072</afframesize>"
      "</response>";

} // namespace

TEST(AFPoint, FormatsAndReadsPointTexts)
{
    EXPECT_EQ(AFPoint::Format(320, 240), "0320x0240");
    EXPECT_EQ(AFPoint::Format(12345, 7), "12345x0007");
    // Outside the unsigned 16-bit range the point stays at the edge instead of wrapping round.
    EXPECT_EQ(AFPoint::Format(-1, 70000), "0000x65535");

    EXPECT_EQ(AFPoint::Parse("0412x0346"), QPoint(412, 346));
    EXPECT_EQ(AFPoint::Parse("0412X0346"), QPoint(412, 346));
    EXPECT_EQ(AFPoint::Parse("72x"), QPoint(72, 0));
    EXPECT_EQ(AFPoint::Parse("0412x0346x1"), QPoint());
    EXPECT_EQ(AFPoint::Parse("-12x5"), QPoint());
    EXPECT_EQ(AFPoint::Parse("0412 x 0346"), QPoint());
    EXPECT_EQ(AFPoint::Parse(""), QPoint());
    EXPECT_EQ(AFPoint::ParseSize("0072x0080"), QSize(72, 80));
}

TEST(CameraModeAction, ProbeReadsModesAndSizesOnce)
{
    FakeCamera camera;
    TCameraModeAction mode(camera.link());
    probe(mode, em10());
    EXPECT_TRUE(mode.Enabled);
    EXPECT_EQ(mode.SupportedModes, 2 | 4 | 8 | 16);
    EXPECT_EQ(mode.LiveViewSizes(), QStringList({ "0320x0240", "0640x0480" }));
    EXPECT_EQ(mode.LiveViewSizeTexts(), QStringList({ "320 x 240", "640 x 480" }));

    // "rec" without sizes does not count; the shutter sizes come in, duplicates (in any case) once,
    // an unknown size captioned with itself.
    probe(mode, listOf(R"(<cgi name="switch_cammode"><http_method type="get"><cmd1 name="mode">
        <param1 name="rec"/><param1 name="shutter"><cmd2 name="lvqty"><param2 name="1920x1080"/>
        <param2 name="0640x0480"/><param2 name="0640X0480"/></cmd2></param1></cmd1></http_method></cgi>)"));
    EXPECT_EQ(mode.SupportedModes, 8 | 16);
    EXPECT_EQ(mode.LiveViewSizes(), QStringList({ "1920x1080", "0640x0480" }));
    EXPECT_EQ(mode.LiveViewSizeTexts(), QStringList({ "1920x1080", "640 x 480" }));

    probe(mode, listOf(R"(<cgi name="switch_cammode"><http_method type="get"><cmd1 name="other">
        <param1 name="play"/></cmd1></http_method></cgi>)"));
    EXPECT_FALSE(mode.Enabled);
    EXPECT_EQ(mode.SupportedModes, 0);
    EXPECT_TRUE(mode.LiveViewSizes().isEmpty());

    probe(mode, em10());
    mode.Mode = TCameraModeAction::ModeRec;
    mode.Reset();
    EXPECT_FALSE(mode.Enabled);
    EXPECT_EQ(mode.SupportedModes, 0);
    EXPECT_EQ(mode.Mode, 0);
}

TEST(CameraModeAction, SwitchesWithTheModesUrlsAndRefusesWhatTheCameraDoesNotOffer)
{
    FakeCamera camera;
    TCameraModeAction mode(camera.link());
    mode.SwitchPauseMs = 0;
    // Disabled: nothing is sent and nothing reported as done.
    EXPECT_FALSE(mode.SwitchMode(TCameraModeAction::ModePlay, QString()));
    EXPECT_TRUE(camera.requests.isEmpty());

    probe(mode, em10());
    QList<bool> done;
    mode.OnDone = [&](TBaseRemoteAction*, bool ok) { done << ok; };
    camera.answer(200);
    ASSERT_TRUE(mode.SwitchMode(TCameraModeAction::ModeRec, "0640x0480"));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/switch_cammode.cgi?mode=rec&lvqty=0640x0480");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 3000);
    EXPECT_TRUE(camera.requests.last().LogBody);
    EXPECT_EQ(mode.Mode, TCameraModeAction::ModeRec);
    EXPECT_EQ(mode.LiveViewSize, "0640x0480");
    EXPECT_EQ(mode.LiveViewWidth, 640);
    EXPECT_EQ(mode.LiveViewHeight, 480);

    // Sizes are compared without regard to case; a size the camera did not offer, or an unknown
    // mode, sends nothing.
    camera.requests.clear();
    EXPECT_TRUE(mode.SwitchMode(TCameraModeAction::ModeShutterWithSize, "0320X0240"));
    EXPECT_FALSE(mode.SwitchMode(TCameraModeAction::ModeRec, "1280x0960"));
    EXPECT_FALSE(mode.SwitchMode(5, "0640x0480"));
    EXPECT_FALSE(mode.SwitchMode(TCameraModeAction::ModeNone, "0640x0480"));
    EXPECT_EQ(camera.urls(),
        QStringList({ "http://cam/switch_cammode.cgi?mode=play",
            "http://cam/switch_cammode.cgi?mode=shutter&lvqty=0320X0240" }));
    EXPECT_EQ(done, QList<bool>({ true, true }));

    // A refused switch keeps the mode; a size that does not parse gives 0 by 0.
    camera.answers = { { true, 520, "<?xml version=\"1.0\"?>1003</errorcode>", {} } };
    EXPECT_FALSE(mode.SwitchMode(TCameraModeAction::ModeShutter, "n/a"));
    EXPECT_EQ(mode.Mode, TCameraModeAction::ModeShutterWithSize);
    EXPECT_EQ(mode.LiveViewSize, "n/a");
    EXPECT_EQ(mode.LiveViewWidth, 0);
    EXPECT_EQ(mode.LiveViewHeight, 0);
    EXPECT_EQ(done.last(), false);
    camera.answers.clear();
    EXPECT_FALSE(mode.SwitchMode(TCameraModeAction::ModePlay, QString()));
    EXPECT_EQ(mode.Mode, TCameraModeAction::ModeShutterWithSize);
    EXPECT_FALSE(mode.Busy);
}

TEST(CameraModeAction, GoesThroughPlaybackBetweenTheTwoRecordingModes)
{
    FakeCamera camera;
    TCameraModeAction mode(camera.link());
    probe(mode, em10());
    mode.SwitchPauseMs = 200;
    // The pause keeps events running: a timer due meanwhile fires between the two requests.
    bool timerFired = false;
    QStringList firedBefore;
    camera.onRequest = [&] { firedBefore << (timerFired ? "fired" : "not yet"); };
    camera.answers = { { true, 520, {}, {} }, { true, 200, {}, {} } };
    mode.Mode = TCameraModeAction::ModeShutter;
    QTimer::singleShot(50, [&] { timerFired = true; });
    // A failed playback step does not decide the result; the recording step does.
    ASSERT_TRUE(mode.SwitchMode(TCameraModeAction::ModeRec, "0320x0240"));
    EXPECT_EQ(camera.urls(),
        QStringList({ "http://cam/switch_cammode.cgi?mode=play",
            "http://cam/switch_cammode.cgi?mode=rec&lvqty=0320x0240" }));
    EXPECT_EQ(firedBefore, QStringList({ "not yet", "fired" }));

    mode.SwitchPauseMs = 0;
    const QString play = "http://cam/switch_cammode.cgi?mode=play";
    struct Step
    {
        quint8 from, to;
        QStringList urls;
    };
    const QList<Step> steps = {
        { 2, 3, { play, "http://cam/switch_cammode.cgi?mode=shutter" } },
        { 2, 4, { play, "http://cam/switch_cammode.cgi?mode=shutter&lvqty=0320x0240" } },
        { 4, 2, { "http://cam/switch_cammode.cgi?mode=rec&lvqty=0320x0240" } },
        { 3, 4, { "http://cam/switch_cammode.cgi?mode=shutter&lvqty=0320x0240" } },
        { 4, 3, { "http://cam/switch_cammode.cgi?mode=shutter" } },
        { 2, 1, { play } },
        { 0, 2, { "http://cam/switch_cammode.cgi?mode=rec&lvqty=0320x0240" } },
    };
    camera.answers = { { true, 200, {}, {} } };
    for (const Step& step : steps) {
        camera.requests.clear();
        mode.Mode = step.from;
        EXPECT_TRUE(mode.SwitchMode(step.to, "0320x0240"));
        EXPECT_EQ(camera.urls(), step.urls) << int(step.from) << " to " << int(step.to);
        EXPECT_EQ(mode.Mode, step.to);
    }
}

TEST(CameraModeAction, ResetDuringThePauseDropsTheSwitch)
{
    FakeCamera camera;
    TCameraModeAction mode(camera.link());
    probe(mode, em10());
    camera.answer(200);
    mode.Mode = TCameraModeAction::ModeRec;
    mode.SwitchPauseMs = 300;
    QTimer::singleShot(20, [&] { mode.Reset(); });
    EXPECT_FALSE(mode.SwitchMode(TCameraModeAction::ModeShutter, "0320x0240"));
    // Only playback went out; a reset camera is not sent into shutter mode afterwards.
    EXPECT_EQ(camera.urls(), QStringList({ "http://cam/switch_cammode.cgi?mode=play" }));
    EXPECT_EQ(mode.Mode, TCameraModeAction::ModeNone);
    EXPECT_FALSE(mode.Busy);
}

TEST(CameraModeAction, ChoosesSizesFromTheSettingAndTheCameraList)
{
    FakeCamera camera;
    TCameraModeAction mode(camera.link());
    camera.answer(200);
    probe(mode, em10());
    QString setting = "0640X0480";
    mode.LiveViewSizeSetting = [&] { return setting; };
    ASSERT_TRUE(mode.SwitchToMode(TCameraModeAction::ModeRec));
    EXPECT_EQ(mode.LiveViewSize, "0640x0480");
    // A stored size the camera does not offer: the camera's first.
    setting = "1280x0960";
    mode.Mode = TCameraModeAction::ModeNone;
    ASSERT_TRUE(mode.SwitchToMode(TCameraModeAction::ModeRec));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/switch_cammode.cgi?mode=rec&lvqty=0320x0240");
    mode.LiveViewSizeSetting = nullptr;
    ASSERT_TRUE(mode.SwitchToMode(TCameraModeAction::ModePlay));
    EXPECT_EQ(mode.LiveViewSize, "0320x0240");

    EXPECT_EQ(mode.ResolveSize("640 x 480"), "0640x0480");
    EXPECT_EQ(mode.ResolveSize("0320x0240"), "0320x0240");
    EXPECT_EQ(mode.ResolveSize("1024 x 768"), "0640x0480"); // not offered: the camera's last
    EXPECT_EQ(mode.ResolveSize("garbage"), "0640x0480");

    // A camera without sizes: playback still switches, with the default size recorded.
    probe(mode, listOf(R"(<cgi name="switch_cammode"><http_method type="get"><cmd1 name="mode">
        <param1 name="play"/></cmd1></http_method></cgi>)"));
    EXPECT_EQ(mode.ResolveSize("1024 x 768"), "1024x0768");
    ASSERT_TRUE(mode.SwitchToMode(TCameraModeAction::ModePlay));
    EXPECT_EQ(mode.LiveViewSize, "0640x0480");
    EXPECT_FALSE(mode.SwitchToMode(TCameraModeAction::ModeRec));
}

TEST(TakeMotionActions, ProbeTheCommandsAndTheirPointKeys)
{
    FakeCamera camera;
    TAssignAFFrameAction assign(camera.link());
    TReleaseAFFrameAction release(camera.link());
    TTakeReadyAction ready(camera.link());
    TTakeAction take(camera.link());
    const TOIShare full = em10();
    probe(assign, full);
    probe(release, full);
    probe(ready, full);
    probe(take, full);
    EXPECT_TRUE(assign.Enabled && release.Enabled && ready.Enabled && take.Enabled);
    EXPECT_TRUE(take.TakesPoint());
    EXPECT_TRUE(ready.Commands.contains("point"));

    // Points missing where the actions need them, "stoptake" missing.
    const TOIShare bare = listOf(R"(<cgi name="exec_takemotion"><http_method type="get"><cmd1 name="com">
        <param1 name="assignafframe"/><param1 name="takeready"/><param1 name="starttake"/></cmd1>
        </http_method></cgi>)");
    probe(assign, bare);
    probe(release, bare);
    probe(ready, bare);
    probe(take, bare);
    EXPECT_FALSE(assign.Enabled);
    EXPECT_FALSE(release.Enabled);
    EXPECT_FALSE(ready.Enabled);
    EXPECT_TRUE(ready.Commands.contains("com")); // collected all the same
    EXPECT_FALSE(take.Enabled);

    // Disabled actions send nothing and report no success.
    EXPECT_FALSE(assign.Assign(10, 10));
    EXPECT_FALSE(release.Execute());
    EXPECT_FALSE(ready.TakeReady());
    EXPECT_FALSE(take.Take(0, TTakeAction::StartTake));
    EXPECT_TRUE(camera.requests.isEmpty());
}

TEST(TakeMotionActions, AssignReadsTheFocusAndClearsOldResults)
{
    FakeCamera camera;
    TAssignAFFrameAction assign(camera.link());
    probe(assign, em10());
    camera.answer(200,
        "<?xml version=\"1.0\"?><response><affocus>ok</affocus><afframepoint>0160X0120</afframepoint>"
        "<afframesize>0072x0072</afframesize></response>");
    ASSERT_TRUE(assign.Assign(160, 120));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=assignafframe&point=0160x0120");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 10000);
    EXPECT_EQ(assign.AFFocus, "ok");
    EXPECT_EQ(assign.AFFramePoint, QPoint(160, 120));
    EXPECT_EQ(assign.AFFrameSize, QSize(72, 72));

    // An answer that does not read after 200 is still a success, with nothing in it.
    camera.answers = { { true, 200, "not xml at all <", {} } };
    EXPECT_TRUE(assign.Assign(1, 2));
    EXPECT_TRUE(assign.AFFocus.isEmpty());
    EXPECT_EQ(assign.AFFramePoint, QPoint());

    camera.answers = { { true, 200,
        "<response><affocus>ok</affocus><afframepoint>0160x0120</afframepoint></response>", {} } };
    ASSERT_TRUE(assign.Execute()); // the last point again
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=assignafframe&point=0001x0002");
    camera.answers = { { true, 520, "<?xml version=\"1.0\"?>1003</errorcode>", {} } };
    EXPECT_FALSE(assign.Assign(2000, 2000));
    EXPECT_TRUE(assign.AFFocus.isEmpty());
    EXPECT_EQ(assign.AFFramePoint, QPoint());
}

TEST(TakeMotionActions, TakeReadyKeepsTheLaterResultAndIsReadyIgnoresCase)
{
    FakeCamera camera;
    TTakeReadyAction ready(camera.link());
    probe(ready, em10());
    camera.answer(200,
        "<response><affocus>ng</affocus><take>OK</take><afframepoint>0412x0346</afframepoint></response>");
    ASSERT_TRUE(ready.TakeReady());
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=takeready");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 3000);
    EXPECT_EQ(ready.FocusResult, "OK");
    EXPECT_TRUE(ready.IsReady());
    EXPECT_EQ(ready.AFFramePoint, QPoint(412, 346));

    QStringList seenInOnDone;
    ready.OnDone = [&](TBaseRemoteAction*, bool) { seenInOnDone << ready.FocusResult; };
    camera.answers = { { true, 200, "<response><take>ok</take><affocus>ng</affocus></response>", {} } };
    ASSERT_TRUE(ready.TakeReadyAt(20, 30));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=takeready&point=0020x0030");
    EXPECT_EQ(seenInOnDone, QStringList({ QString() })); // told before the answer is read
    EXPECT_FALSE(ready.IsReady());

    camera.answers.clear();
    EXPECT_FALSE(ready.TakeReady());
    EXPECT_TRUE(ready.FocusResult.isEmpty());
}

TEST(TakeMotionActions, TakeTimeOutsCommandsAndResults)
{
    FakeCamera camera;
    TTakeAction take(camera.link());
    probe(take, em10());
    camera.answer(200, kStartTakeAnswer);
    ASSERT_TRUE(take.Take(0, TTakeAction::StartTake));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=starttake");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 0); // waits as long as the camera needs
    EXPECT_TRUE(take.IsOK());
    EXPECT_EQ(take.AFFocus, "ok");
    EXPECT_EQ(take.AFFramePoint, QPoint(412, 346));
    EXPECT_EQ(take.AFFrameSize, QSize(72, 72));
    EXPECT_EQ(take.LastCommand, TTakeAction::StartTake);

    ASSERT_TRUE(take.Take(5000, TTakeAction::StartTake));
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 7000);

    // 202 counts for Take; the other commands report "ok" without reading the answer.
    camera.answers = { { true, 202, "<response><take>ng</take></response>", {} } };
    const QList<QPair<quint8, QString>> others = { { TTakeAction::StopTake, "stoptake" },
        { TTakeAction::StartMovieTake, "startmovietake" }, { TTakeAction::StopMovieTake, "stopmovietake" } };
    for (const auto& [command, name] : others) {
        ASSERT_TRUE(take.Take(0, command)) << name.toStdString();
        EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=" + name);
        EXPECT_EQ(take.TakeResult, "ok");
        EXPECT_EQ(take.AFFocus, "ok");
        EXPECT_EQ(take.LastCommand, command);
    }

    // Unknown commands send nothing; a failed request keeps the last command and clears results.
    const qsizetype sent = camera.requests.size();
    EXPECT_FALSE(take.Take(0, 0));
    EXPECT_FALSE(take.Take(0, 5));
    EXPECT_EQ(camera.requests.size(), sent);
    camera.answers = { { true, 520, "<?xml version=\"1.0\"?>1003</errorcode>", {} } };
    EXPECT_FALSE(take.Take(0, TTakeAction::StartTake));
    EXPECT_EQ(take.LastCommand, TTakeAction::StopMovieTake);
    EXPECT_TRUE(take.TakeResult.isEmpty());
    EXPECT_FALSE(take.IsOK());

    take.Reset();
    EXPECT_EQ(take.LastCommand, 0);
    EXPECT_FALSE(take.Enabled);
}

TEST(TakeMotionActions, TakeAtSendsThePointOnlyWhereTheCameraTakesOne)
{
    FakeCamera camera;
    TTakeAction take(camera.link());
    probe(take, em10());
    camera.answer(200, kStartTakeAnswer);
    ASSERT_TRUE(take.TakeAt(5000, TTakeAction::StartTake, 412, 346));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=starttake&point=0412x0346");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 5000); // no margin with a point
    EXPECT_TRUE(take.IsOK());
    ASSERT_TRUE(take.TakeAt(0, TTakeAction::StopTake, 1, 1));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=stoptake");
    // A movie has no point; it is started rather than reported as started.
    ASSERT_TRUE(take.TakeAt(5000, TTakeAction::StartMovieTake, 1, 1));
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=startmovietake");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 7000);
    const qsizetype sent = camera.requests.size();
    EXPECT_FALSE(take.TakeAt(0, 9, 1, 1));
    EXPECT_EQ(camera.requests.size(), sent);

    // With a point only 200 counts.
    camera.answers = { { true, 202, kStartTakeAnswer, {} } };
    EXPECT_FALSE(take.TakeAt(0, TTakeAction::StartTake, 5, 5));

    // A camera whose "starttake" has no point takes without one, even though "assignafframe" has.
    probe(take, listOf(R"(<cgi name="exec_takemotion"><http_method type="get"><cmd1 name="com">
        <param1 name="assignafframe"><cmd2 name="point"/></param1><param1 name="starttake"/>
        <param1 name="stoptake"/></cmd1></http_method></cgi>)"));
    EXPECT_TRUE(take.Commands.contains("point"));
    EXPECT_FALSE(take.TakesPoint());
    EXPECT_TRUE(take.TakeAt(5000, TTakeAction::StartTake, 5, 5)); // 202 as a plain take
    EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_takemotion.cgi?com=starttake");
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 7000);
}

TEST(ReleaseAction, ShutterCommandsAndTheirResults)
{
    FakeCamera camera;
    TReleaseAction release(camera.link());
    probe(release, listOf(R"(<cgi name="exec_shutter"><http_method type="get"><cmd1 name="com">
        <param1 name="1stpush"/><param1 name="2ndpush"/><param1 name="1st2ndpush"/>
        <param1 name="2nd1strelease"/><param1 name="2ndrelease"/></cmd1></http_method></cgi>)"));
    EXPECT_FALSE(release.Enabled); // "1strelease" missing
    probe(release, em10());
    ASSERT_TRUE(release.Enabled);

    camera.answer(200, "<response><shutter>ng</shutter><affocus>ok</affocus></response>");
    const QStringList names
        = { "1stpush", "2ndpush", "1st2ndpush", "2nd1strelease", "2ndrelease", "1strelease" };
    for (quint8 command = 1; command <= 6; ++command) {
        ASSERT_TRUE(release.Release(0, command));
        EXPECT_EQ(camera.requests.last().Url, "http://cam/exec_shutter.cgi?com=" + names[command - 1]);
        EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 0);
        EXPECT_EQ(release.LastCommand, command);
        // The releases do not read the answer.
        EXPECT_EQ(release.ShutterResult, command >= 4 ? "ok" : "ng") << int(command);
        EXPECT_EQ(release.AFFocus, "ok");
    }
    ASSERT_TRUE(release.Release(4000, TReleaseAction::FirstSecondPush));
    EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 4000);

    const qsizetype sent = camera.requests.size();
    EXPECT_FALSE(release.Release(0, 0));
    EXPECT_FALSE(release.Release(0, 7));
    EXPECT_EQ(camera.requests.size(), sent);

    // A full press that fails is not followed by the release.
    camera.requests.clear();
    camera.answers = { { true, 520, {}, {} } };
    EXPECT_FALSE(release.Execute());
    EXPECT_EQ(camera.urls(), QStringList({ "http://cam/exec_shutter.cgi?com=1st2ndpush" }));
    EXPECT_EQ(release.LastCommand, TReleaseAction::FirstSecondPush);
    EXPECT_TRUE(release.ShutterResult.isEmpty());
    camera.requests.clear();
    camera.answers = { { true, 200, {}, {} } };
    EXPECT_TRUE(release.Execute());
    EXPECT_EQ(camera.urls(),
        QStringList({ "http://cam/exec_shutter.cgi?com=1st2ndpush",
            "http://cam/exec_shutter.cgi?com=2nd1strelease" }));
}

TEST(TakeMiscActions, ZoomMovesAndMacroFocusProbe)
{
    FakeCamera camera;
    TCtrlZoomAction zoom(camera.link());
    TMacroMFAction macro(camera.link());
    probe(zoom, em10());
    probe(macro, em10());
    ASSERT_TRUE(zoom.Enabled);
    EXPECT_FALSE(macro.Enabled);

    camera.answer(200);
    const QStringList moves = { "off", "widemove", "wideterm", "telemove", "teleterm" };
    for (quint8 move = 1; move <= 5; ++move) {
        ASSERT_TRUE(zoom.Zoom(move));
        EXPECT_EQ(
            camera.requests.last().Url, "http://cam/exec_takemisc.cgi?com=ctrlzoom&move=" + moves[move - 1]);
        EXPECT_EQ(camera.requests.last().ReadTimeoutMs, 15000);
        EXPECT_EQ(zoom.LastMove, move);
    }
    const qsizetype sent = camera.requests.size();
    EXPECT_FALSE(zoom.Zoom(0));
    EXPECT_FALSE(zoom.Zoom(6));
    EXPECT_EQ(camera.requests.size(), sent);
    camera.answers = { { true, 520, {}, {} } };
    EXPECT_FALSE(zoom.Zoom(TCtrlZoomAction::WideMove));
    EXPECT_EQ(zoom.LastMove, TCtrlZoomAction::TeleTerm);

    const TOIShare partial = listOf(R"(<cgi name="exec_takemisc"><http_method type="get"><cmd1 name="com">
        <param1 name="ctrlzoom"><cmd2 name="move"><param2 name="widemove"/><param2 name="telemove"/>
        <param2 name="off"/><param2 name="wideterm"/></cmd2></param1>
        <param1 name="supermacromfinaflock"><cmd2 name="move"><param2 name="nearstep"/><param2 name="farstep"/>
        <param2 name="near"/><param2 name="far"/><param2 name="stop"/></cmd2></param1></cmd1></http_method></cgi>)");
    probe(zoom, partial);
    probe(macro, partial);
    EXPECT_FALSE(zoom.Enabled); // "teleterm" missing
    EXPECT_TRUE(macro.Enabled);
    const qsizetype before = camera.requests.size();
    EXPECT_FALSE(macro.Execute());
    EXPECT_EQ(camera.requests.size(), before);
}
