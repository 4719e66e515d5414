// The profiles against the captured answers of real bodies.
#include "SimHttpSupport.h"

#include "common/TestPaths.h"
#include "sim/SimCard.h"
#include "sim/SimProfile.h"
#include "sim/SimServer.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <map>
#include <regex>

using namespace camsim;
using simtest::get;
using simtest::post;
using simtest::setBody;

namespace {

std::string fixture(const char* name)
{
    return lumivar::test::readFixture(QStringLiteral("camera/") + name).toStdString();
}

// The capture files end in a line end of their own; the camera's one-line answers do not.
std::string chomp(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

std::string sessionLine(const std::string& startsWith)
{
    const std::string session = fixture("session_E-M10_curl_go-olympuscam.txt");
    size_t pos = 0;
    while (pos < session.size()) {
        const size_t eol = session.find('\n', pos);
        const std::string line
            = session.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        if (line.rfind(startsWith, 0) == 0)
            return line;
        if (eol == std::string::npos)
            break;
        pos = eol + 1;
    }
    return {};
}

struct Camera
{
    explicit Camera(const std::string& profile)
        : server([&] {
            SimServerOptions o;
            o.profile = profile;
            o.generatedFiles = 4;
            return o;
        }())
    {
        port = server.start();
    }
    SimServer server;
    uint16_t port = 0;
};

} // namespace

TEST(SimProfileHttp, AllProfilesLoad)
{
    const std::vector<std::string> names = SimProfile::names();
    for (const char* name : { "e-m10", "omd-v260", "newbody" }) {
        std::string error;
        EXPECT_TRUE(SimProfile::load(name, &error)) << name << ": " << error;
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
    EXPECT_FALSE(SimProfile::load("common"));
    EXPECT_FALSE(SimProfile::load("no-such-body"));
}

TEST(SimProfileHttp, CommandListsAreServedAsTheCamerasSendThem)
{
    {
        Camera cam("e-m10");
        const auto a = get(cam.port, "/get_commandlist.cgi");
        std::string expected = fixture("commandlist_E-M10_v2.20.xml");
        // The capture was stored with LF; the camera's Content-Length proves CRLF on the wire.
        std::string crlf;
        for (char c : expected)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        EXPECT_EQ(a.status, 200);
        EXPECT_EQ(a.body, crlf);
        EXPECT_EQ(a.body.size(), 5616u);
        EXPECT_EQ(a.header("content-length"), "5616");
        EXPECT_EQ(a.header("content-type"), "text/xml");
    }
    {
        Camera cam("omd-v260");
        const auto a = get(cam.port, "/get_commandlist.cgi");
        EXPECT_EQ(a.body, fixture("commandlist_OM-D-unknown_v2.60.xml"));
        EXPECT_NE(a.body.find("encoding=\"Shift-JIS\""), std::string::npos);
        EXPECT_NE(a.body.find("\r\r\n"), std::string::npos);
    }
}

TEST(SimProfileHttp, DesclistsMatchTheCaptures)
{
    {
        Camera cam("e-m10");
        ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=rec&lvqty=0640x0480").status, 200);
        EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=desc&propname=desclist").body,
            sessionLine("<?xml version=\"1.0\"?><desclist>"));
        // The E-M10 names the wrong property in its art filter description; the desclist does not.
        EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=desc&propname=artfilter").body,
            sessionLine("<?xml version=\"1.0\"?><desc><propname>focalvalue</propname>"));
        EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=desc&propname=isospeedvalue").body,
            sessionLine("<?xml version=\"1.0\"?><desc><propname>isospeedvalue</propname>"));
    }
    {
        Camera cam("omd-v260");
        ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=rec&lvqty=1280x0960").status, 200);
        EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=desc&propname=desclist").body,
            chomp(fixture("desclist_OM-D-unknown_v2.60.xml")));
        EXPECT_EQ(
            get(cam.port, "/get_camprop.cgi?com=desc&propname=artfilter").body.find("<propname>artfilter<"),
            std::string(R"(<?xml version="1.0"?><desc>)").size());
    }
}

// The captured restricted ISO list (Low..1600, no Auto) is what the E-M10 offers with a live
// bulb speed in M.
TEST(SimProfileHttp, EM10IsoListShrinksForLiveBulb)
{
    Camera cam("e-m10");
    ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=rec&lvqty=0640x0480").status, 200);
    ASSERT_EQ(post(cam.port, "/set_camprop.cgi?com=set&propname=isospeedvalue", setBody("1600")).status, 200);
    ASSERT_EQ(post(cam.port, "/set_camprop.cgi?com=set&propname=takemode", setBody("M")).status, 200);
    ASSERT_EQ(
        post(cam.port, "/set_camprop.cgi?com=set&propname=shutspeedvalue", setBody("livebulb")).status, 200);
    const std::string served = get(cam.port, "/get_camprop.cgi?com=desc&propname=isospeedvalue").body;
    QString captured = QString::fromStdString(fixture("desc_isospeedvalue_E-M10.xml"));
    captured.remove(QRegularExpression(QStringLiteral("\\n\\s*")));
    EXPECT_EQ(served, captured.toStdString());
    // Auto is gone, so it cannot be set either.
    EXPECT_EQ(post(cam.port, "/set_camprop.cgi?com=set&propname=isospeedvalue", setBody("Auto")).status, 520);
}

TEST(SimProfileHttp, ModesAndSizesFollowTheCommandList)
{
    Camera em10("e-m10");
    EXPECT_EQ(get(em10.port, "/switch_cammode.cgi?mode=rec&lvqty=1280x0960").status, 520);
    EXPECT_EQ(get(em10.port, "/switch_cammode.cgi?mode=shutter&lvqty=0320x0240").status, 200);
    EXPECT_EQ(get(em10.port, "/exec_shuttermisc.cgi?com=stopliveview").status, 200);

    Camera v260("omd-v260");
    EXPECT_EQ(get(v260.port, "/switch_cammode.cgi?mode=rec&lvqty=1280x0960").status, 200);
    EXPECT_EQ(get(v260.port, "/switch_cammode.cgi?mode=play").status, 200);
    // Its shutter mode takes no size, and it has no exec_shuttermisc.
    EXPECT_EQ(get(v260.port, "/switch_cammode.cgi?mode=shutter&lvqty=0640x0480").status, 520);
    EXPECT_EQ(get(v260.port, "/switch_cammode.cgi?mode=shutter").status, 200);
    EXPECT_EQ(get(v260.port, "/exec_shuttermisc.cgi?com=stopliveview").status, 404);
    // get_screennail exists on v2.60 only.
    EXPECT_EQ(get(em10.port, "/get_screennail.cgi?DIR=/DCIM/100OLYMP/X.JPG").status, 404);
}

TEST(SimProfileHttp, NewBodyDiffers)
{
    Camera cam("newbody");
    const auto info = get(cam.port, "/get_caminfo.cgi");
    EXPECT_EQ(info.status, 200);
    const size_t model = info.body.find("<model>");
    ASSERT_NE(model, std::string::npos);
    EXPECT_GT(model, info.body.find("<caminfo>") + std::string("<caminfo>").size())
        << "model must not be first";
    EXPECT_EQ(get(cam.port, "/switch_cammode.cgi?mode=shutter").status, 520);
    EXPECT_EQ(get(cam.port, "/exec_shutter.cgi?com=1stpush").status, 404);
    EXPECT_EQ(get(cam.port, "/DCIM").status, 404);
    EXPECT_EQ(get(cam.port, "/DCIM/100OLYMP").status, 404);
    EXPECT_EQ(get(cam.port, "/set_timeout.cgi?timeoutsec=300").status, 200);
    EXPECT_EQ(get(cam.port, "/set_timeout.cgi?timeoutsec=soon").status, 520);

    Camera em10("e-m10");
    EXPECT_EQ(get(em10.port, "/set_timeout.cgi?timeoutsec=300").status, 404);
    EXPECT_EQ(get(em10.port, "/get_caminfo.cgi").body,
        "<?xml version=\"1.0\"?><caminfo><model>E-M10</model></caminfo>");
}

// A client that tries every command a body lists gets an answer to each, never "no such CGI" or
// "bad parameter".
TEST(SimProfileHttp, EveryListedCommandAnswers)
{
    struct Request
    {
        Request(const char* m, std::string q, bool p = false, std::string b = {})
            : mode(m)
            , query(std::move(q))
            , post(p)
            , body(std::move(b))
        { }
        const char* mode; // play, rec or shutter
        std::string query;
        bool post;
        std::string body;
    };
    for (const char* profile : { "e-m10", "omd-v260", "newbody" }) {
        SCOPED_TRACE(profile);
        Camera cam(profile);
        SimCard& card = cam.server.card();
        const std::string picture = card.newestJpegPath();
        const std::vector<SimEntry> movie = card.addShot("MOV", cam.server.clock(), SimShotInfo {});
        ASSERT_EQ(movie.size(), 1u);
        const std::string moviePath = movie[0].dir + "/" + movie[0].name;
        const SimCommandList& commands = cam.server.profile().commands;
        const std::vector<std::string> sizes = commands.values("get_resizeimg", { "DIR", "", "size" });
        const std::string size = sizes.empty() ? "1024" : sizes.front();

        std::multimap<std::string, Request> requests {
            { "get_connectmode", { "play", "" } },
            { "switch_cammode", { "play", "mode=play" } },
            { "get_caminfo", { "play", "" } },
            { "set_timeout", { "play", "timeoutsec=300" } },
            { "get_resizeimg", { "play", "DIR=" + picture + "&size=" + size } },
            { "get_movplaytime", { "play", "DIR=" + moviePath } },
            { "clear_resvflg", { "play", "" } },
            { "get_rsvimglist", { "play", "" } },
            { "get_imglist", { "play", "DIR=/DCIM" } },
            { "get_thumbnail", { "play", "DIR=" + picture } },
            { "get_screennail", { "play", "DIR=" + picture } },
            { "exec_takemotion", { "rec", "com=assignafframe&point=0100x0100" } },
            { "get_camprop", { "rec", "com=get&propname=takemode" } },
            { "set_camprop", { "rec", "com=set&propname=takemode", true, setBody("P") } },
            { "get_activate", { "play", "" } },
            { "set_utctimediff", { "play", "utctime=20150227T103539&diff=%2B0200" } },
            { "get_gpsdivunit", { "play", "" } },
            { "get_unusedcapacity", { "play", "" } },
            { "get_dcffilenum", { "play", "" } },
            { "req_attachexifgps",
                { "play", "", true, "$GPGGA,103539,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,,,*47" } },
            { "req_storegpsinfo", { "play", "mode=new&date=20150227", true, "$GPRMC,103539,A" } },
            { "exec_shutter", { "shutter", "com=1stpush" } },
            { "exec_shuttermisc", { "shutter", "com=stopliveview" } },
        };
        // Every value of the miscellaneous commands, which the command list names one by one.
        const std::map<std::string, std::string> extra { { "startliveview", "&port=9" },
            { "ctrlzoom", "&move=off" } };
        for (const std::string& com : commands.values("exec_takemisc", { "com" })) {
            auto it = extra.find(com);
            requests.insert(
                { "exec_takemisc", { "rec", "com=" + com + (it == extra.end() ? "" : it->second) } });
        }

        const std::string list = get(cam.port, "/get_commandlist.cgi").body;
        static const std::regex cgiName(R"re(<cgi name="([a-z_]+)")re");
        int answered = 0;
        for (auto it = std::sregex_iterator(list.begin(), list.end(), cgiName); it != std::sregex_iterator();
             ++it) {
            const std::string cgi = (*it)[1].str();
            if (cgi == "exec_pwoff")
                continue; // last
            const auto [from, to] = requests.equal_range(cgi);
            EXPECT_NE(from, to) << "no request for " << cgi;
            for (auto r = from; r != to; ++r) {
                const Request& request = r->second;
                const std::string mode = request.mode;
                ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=" + mode).status, 200)
                    << cgi << " " << mode;
                const std::string target
                    = "/" + cgi + ".cgi" + (request.query.empty() ? "" : "?" + request.query);
                const auto a = request.post ? post(cam.port, target, request.body) : get(cam.port, target);
                EXPECT_EQ(a.status, 200) << target << ": " << a.body.substr(0, 200);
                ++answered;
            }
        }
        EXPECT_GE(answered, 20);
        EXPECT_EQ(get(cam.port, "/exec_pwoff.cgi").status, 200);
    }
}

// The GPS requests are accepted and what they carried shows in the simulator's state.
TEST(SimProfileHttp, GpsRequestsAreKeptForTheState)
{
    Camera cam("e-m10");
    EXPECT_EQ(get(cam.port, "/get_gpsdivunit.cgi").body.rfind("<?xml version=\"1.0\"?>", 0), 0u);
    EXPECT_EQ(post(cam.port, "/req_storegpsinfo.cgi?mode=new&date=20150227", "A1\n").status, 200);
    EXPECT_EQ(post(cam.port, "/req_storegpsinfo.cgi?mode=append&date=20150228", "B2\n").status, 200);
    EXPECT_EQ(post(cam.port, "/req_attachexifgps.cgi", "fix").status, 200);
    std::string state = get(cam.port, "/__sim/state").body;
    EXPECT_NE(state.find(R"("stored":"A1\nB2\n")"), std::string::npos) << state;
    EXPECT_NE(state.find(R"("date":"20150228")"), std::string::npos) << state;
    EXPECT_NE(state.find(R"("attached":"fix")"), std::string::npos) << state;

    // A new log replaces the old one; wrong requests change nothing.
    EXPECT_EQ(post(cam.port, "/req_storegpsinfo.cgi?mode=new&date=20150301", "C3").status, 200);
    EXPECT_EQ(post(cam.port, "/req_storegpsinfo.cgi?mode=replace", "D4").status, 520);
    EXPECT_EQ(get(cam.port, "/req_storegpsinfo.cgi?mode=new").status, 520) << "a POST command";
    EXPECT_EQ(get(cam.port, "/req_attachexifgps.cgi").status, 520);
    state = get(cam.port, "/__sim/state").body;
    EXPECT_NE(state.find(R"("stored":"C3")"), std::string::npos) << state;
    EXPECT_NE(state.find(R"("attached":"fix")"), std::string::npos) << state;
}
