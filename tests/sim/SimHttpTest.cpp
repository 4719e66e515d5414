// The simulator's HTTP behaviour as a camera shows it on the wire.
#include "SimHttpSupport.h"

#include "common/TestPaths.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimClock.h"
#include "sim/SimJpeg.h"
#include "sim/SimServer.h"

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

using namespace camsim;
using simtest::get;
using simtest::post;
using simtest::setBody;

namespace {

std::string fixture(const char* name)
{
    return lumivar::test::readFixture(QStringLiteral("camera/") + name).toStdString();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            out.push_back(line);
    }
    return out;
}

struct Camera
{
    explicit Camera(
        const std::string& profile = "e-m10", int files = 6, uint32_t seed = 1, int switchOffMs = 2000)
        : server([&] {
            SimServerOptions o;
            o.profile = profile;
            o.generatedFiles = files;
            o.seed = seed;
            o.switchOffMs = switchOffMs;
            return o;
        }())
    {
        port = server.start();
    }
    simtest::Answer rec() { return get(port, "/switch_cammode.cgi?mode=rec&lvqty=0640x0480"); }
    SimServer server;
    uint16_t port = 0;
};

// The newest folder of a listing answer of /DCIM.
std::string lastFolder(uint16_t port)
{
    std::string folder;
    for (const std::string& line : lines(get(port, "/get_imglist.cgi?DIR=/DCIM").body)) {
        if (line.rfind("/DCIM,", 0) == 0)
            folder = std::max(folder, line.substr(6, line.find(',', 6) - 6));
    }
    return folder;
}

// Listing lines of the newest folder dated 2015-02-27, the day the tests set the camera clock to.
std::vector<std::string> linesOf20150227(uint16_t port)
{
    const int fatDate = ((2015 - 1980) << 9) | (2 << 5) | 27;
    std::vector<std::string> out;
    for (const std::string& line : lines(get(port, "/get_imglist.cgi?DIR=/DCIM/" + lastFolder(port)).body))
        if (line.find("," + std::to_string(fatDate) + ",") != std::string::npos)
            out.push_back(line);
    return out;
}

std::string nameOf(const std::string& line)
{
    const size_t from = line.find(',') + 1;
    return line.substr(from, line.find(',', from) - from);
}

// Width and height from a JPEG's header.
std::pair<int, int> jpegSize(const std::string& jpeg)
{
    tjhandle h = tjInitDecompress();
    int w = 0, ht = 0, ss = 0, cs = 0;
    tjDecompressHeader3(
        h, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(), &w, &ht, &ss, &cs);
    tjDestroy(h);
    return { w, ht };
}

// Sets a file's modification time to the local time a FAT date and time stand for.
void setFatTime(const std::string& path, int date, int time)
{
    std::tm tm {};
    tm.tm_year = (date >> 9) + 80;
    tm.tm_mon = ((date >> 5) & 15) - 1;
    tm.tm_mday = date & 31;
    tm.tm_hour = time >> 11;
    tm.tm_min = (time >> 5) & 63;
    tm.tm_sec = (time & 31) * 2;
    tm.tm_isdst = -1;
    const timespec when[2] = { { std::mktime(&tm), 0 }, { std::mktime(&tm), 0 } };
    ::utimensat(AT_FDCWD, path.c_str(), when, 0);
}

// A card folder tree whose files have the sizes and dates of listing lines (sparse files).
void buildCard(const QString& root, const std::vector<std::string>& records)
{
    std::map<std::string, std::pair<int, int>> folderTimes;
    for (const std::string& record : records) {
        std::vector<std::string> f;
        std::stringstream in(record);
        for (std::string field; std::getline(in, field, ',');)
            f.push_back(field);
        const std::string dir = root.toStdString() + f[0];
        QDir().mkpath(QString::fromStdString(dir));
        if (f[3] == "16") {
            QDir().mkpath(QString::fromStdString(dir + "/" + f[1]));
            folderTimes[dir + "/" + f[1]] = { std::stoi(f[4]), std::stoi(f[5]) };
            continue;
        }
        const std::string path = dir + "/" + f[1];
        std::ofstream(path).close();
        ASSERT_EQ(::truncate(path.c_str(), off_t(std::stoll(f[2]))), 0);
        setFatTime(path, std::stoi(f[4]), std::stoi(f[5]));
    }
    for (const auto& [dir, t] : folderTimes)
        setFatTime(dir, t.first, t.second);
}

} // namespace

TEST(SimHttp, EveryAnswerClosesTheConnection)
{
    Camera cam;
    const std::string file = cam.server.card().newestJpegPath();
    ASSERT_FALSE(file.empty());
    for (const std::string& target : { std::string("/get_commandlist.cgi"), std::string("/get_caminfo.cgi"),
             std::string("/get_camprop.cgi?com=get&propname=takemode"), std::string("/no_such.cgi"),
             std::string("/get_imglist.cgi?DIR=/DCIM"), std::string("/DCIM"), file,
             "/get_thumbnail.cgi?DIR=" + file, std::string("/__sim/state") }) {
        const auto a = get(cam.port, target);
        EXPECT_TRUE(a.closedByServer) << target;
        EXPECT_EQ(a.header("connection"), "close") << target;
        EXPECT_NE(a.status, -1) << target;
    }
    const auto posted = post(cam.port, "/set_camprop.cgi?com=set&propname=takemode", setBody("P"));
    EXPECT_TRUE(posted.closedByServer);
    EXPECT_EQ(posted.header("connection"), "close");
}

TEST(SimHttp, ErrorsLookLikeTheCameras)
{
    Camera cam;
    // Properties need recording mode: the captured answer style with code 1001.
    const auto wrongMode = get(cam.port, "/get_camprop.cgi?com=get&propname=takemode");
    EXPECT_EQ(wrongMode.statusLine, "HTTP/1.1 520 Vendor Internal Error");
    EXPECT_EQ(wrongMode.header("content-type"), "text/xml");
    EXPECT_EQ(wrongMode.body, "<?xml version=\"1.0\"?>1001</errorcode>");
    EXPECT_EQ(get(cam.port, "/exec_takemotion.cgi?com=starttake").status, 520);
    EXPECT_EQ(get(cam.port, "/exec_takemisc.cgi?com=startliveview&port=5555").status, 520);
    EXPECT_EQ(
        get(cam.port, "/switch_cammode.cgi?mode=bogus").body, "<?xml version=\"1.0\"?>1004</errorcode>");
    EXPECT_EQ(get(cam.port, "/switch_cammode.cgi").status, 520);
    EXPECT_EQ(get(cam.port, "/no_such.cgi").status, 404);
    ASSERT_EQ(cam.rec().status, 200);
    EXPECT_EQ(get(cam.port, "/exec_shutter.cgi?com=1st2ndpush").status, 520)
        << "shutter commands need shutter mode";
    EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=get&propname=nosuchprop").body,
        "<?xml version=\"1.0\"?>1004</errorcode>");
    EXPECT_EQ(get(cam.port, "/get_camprop.cgi?prop=get&propname=takemode").status, 520);
    EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=get&propname=takemode").body,
        "<?xml version=\"1.0\"?><get><value>A</value></get>");
    EXPECT_EQ(get(cam.port, "/exec_takemotion.cgi?com=assignafframe&point=9999x9999").status, 520);
    EXPECT_EQ(get(cam.port, "/exec_takemotion.cgi?com=assignafframe&point=abc").status, 520);
    EXPECT_EQ(get(cam.port, "/exec_takemisc.cgi?com=ctrlzoom&move=sideways").status, 520);
}

TEST(SimHttp, SetCampropIsValidated)
{
    Camera cam;
    ASSERT_EQ(cam.rec().status, 200);
    const std::string url = "/set_camprop.cgi?com=set&propname=";
    // A bare value instead of the XML body: the E-M10 answered code 1000.
    const auto bare = post(cam.port, url + "isospeedvalue", "800");
    EXPECT_EQ(bare.statusLine, "HTTP/1.1 520 Vendor Internal Error");
    EXPECT_EQ(bare.body, "<?xml version=\"1.0\"?>1000</errorcode>");
    EXPECT_EQ(post(cam.port, url + "isospeedvalue", setBody("123")).status, 520) << "not in the enum";
    EXPECT_EQ(post(cam.port, url + "noisereduction", setBody("on")).status, 520) << "read-only";
    EXPECT_EQ(get(cam.port, url + "isospeedvalue").status, 520) << "GET is not the method";

    const auto ok = post(cam.port, url + "isospeedvalue", setBody("400"));
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.header("content-length"), "0");
    EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=get&propname=isospeedvalue").body,
        "<?xml version=\"1.0\"?><get><value>400</value></get>");

    // Shutter speed only in S and M, aperture only in A and M.
    EXPECT_EQ(post(cam.port, url + "shutspeedvalue", setBody("500")).body,
        "<?xml version=\"1.0\"?>1001</errorcode>");
    EXPECT_EQ(post(cam.port, url + "focalvalue", setBody("8.0")).status, 200);
    ASSERT_EQ(post(cam.port, url + "takemode", setBody("S")).status, 200);
    EXPECT_EQ(post(cam.port, url + "focalvalue", setBody("4.0")).status, 520);
    EXPECT_EQ(post(cam.port, url + "shutspeedvalue", setBody("500")).status, 200);
    EXPECT_EQ(post(cam.port, url + "shutspeedvalue", setBody("livebulb")).status, 520)
        << "no live speeds in S";
    ASSERT_EQ(post(cam.port, url + "takemode", setBody("M")).status, 200);
    EXPECT_EQ(post(cam.port, url + "shutspeedvalue", setBody("livebulb")).status, 200);
    // Back in S the live speed is not offered; the camera moves to the nearest timed speed.
    ASSERT_EQ(post(cam.port, url + "takemode", setBody("S")).status, 200);
    const std::string desc = get(cam.port, "/get_camprop.cgi?com=desc&propname=shutspeedvalue").body;
    EXPECT_EQ(desc.find("live"), std::string::npos) << desc;
    EXPECT_NE(desc.find("<value>60\"</value>"), std::string::npos) << desc;
}

TEST(SimHttp, ListingsHaveTheCameraFormat)
{
    Camera cam("e-m10", 12);
    const auto folders = get(cam.port, "/get_imglist.cgi?DIR=/DCIM");
    EXPECT_EQ(folders.status, 200);
    EXPECT_EQ(folders.header("content-type"), "text/plain");
    EXPECT_FALSE(folders.hasHeader("content-length"));
    const std::vector<std::string> folderLines = lines(folders.body);
    ASSERT_GE(folderLines.size(), 2u);
    EXPECT_EQ(folderLines[0], "VER_100");
    EXPECT_EQ(folders.body.rfind("VER_100\r\n", 0), 0u);
    const std::regex folderLine(R"(^/DCIM,[0-9]{3}[A-Z0-9_]{5},0,16,[0-9]+,[0-9]+$)");
    for (size_t i = 1; i < folderLines.size(); ++i)
        EXPECT_TRUE(std::regex_match(folderLines[i], folderLine)) << folderLines[i];

    const std::string folder = lastFolder(cam.port);
    const auto files = get(cam.port, "/get_imglist.cgi?DIR=/DCIM/" + folder);
    const std::regex fileLine(
        "^/DCIM/" + folder + R"(,P[1-9A-C][0-3][0-9]{5}\.(JPG|ORF|MOV),[0-9]+,0,[0-9]+,[0-9]+$)");
    const std::vector<std::string> fileLines = lines(files.body);
    ASSERT_GE(fileLines.size(), 2u);
    for (size_t i = 1; i < fileLines.size(); ++i)
        EXPECT_TRUE(std::regex_match(fileLines[i], fileLine)) << fileLines[i];

    EXPECT_EQ(get(cam.port, "/get_imglist.cgi?DIR=/DCIM/999NONE").status, 404);
    EXPECT_EQ(get(cam.port, "/get_imglist.cgi").status, 520);

    // Outside the private connection mode the card is not shown.
    get(cam.port, "/__sim/connectmode?mode=OPC");
    EXPECT_EQ(get(cam.port, "/get_connectmode.cgi").body,
        "<?xml version=\"1.0\"?>\r\n<connectmode>OPC</connectmode>");
    EXPECT_EQ(get(cam.port, "/get_imglist.cgi?DIR=/DCIM").status, 404);
    EXPECT_EQ(get(cam.port, "/DCIM").body.find("wlansd[0]"), std::string::npos);
}

// Real files with the sizes and dates of captured listings give the captured lines and pages.
TEST(SimHttp, ListingLinesAndPagesEqualTheCaptures)
{
    QTemporaryDir dir;
    const std::vector<std::string> captured = lines(fixture("imglist_E-M10_100OLYMP_with_AVI.txt"));
    ASSERT_EQ(captured.size(), 12u);
    std::vector<std::string> records(captured.begin() + 1, captured.end());
    records.push_back("/DCIM/107OLYMP,P1144737.ORF,15661508,0,20014,44917");
    buildCard(dir.path(), records);

    Camera cam;
    auto card = SimCard::fromDirectory(dir.path().toStdString());
    ASSERT_TRUE(card);
    cam.server.setCard(std::move(card));
    const std::vector<std::string> served = lines(get(cam.port, "/get_imglist.cgi?DIR=/DCIM/100OLYMP").body);
    ASSERT_FALSE(served.empty());
    EXPECT_EQ(served[0], "VER_100");
    EXPECT_EQ(std::multiset<std::string>(served.begin() + 1, served.end()),
        std::multiset<std::string>(captured.begin() + 1, captured.end()));

    EXPECT_EQ(get(cam.port, "/DCIM/107OLYMP").body, fixture("dcim_page_E-M10_107OLYMP_one_file.html"));
    const std::string slashed = get(cam.port, "/DCIM/107OLYMP/").body;
    EXPECT_NE(slashed.find("wlansd[0]=\"/DCIM/107OLYMP/,P1144737.ORF,15661508,0,20014,44917\";\r\n"),
        std::string::npos);

    // The root page with exactly the captured folder.
    QTemporaryDir rootDir;
    buildCard(rootDir.path(), { "/DCIM,100OLYMP,0,16,19163,26163" });
    cam.server.setCard(SimCard::fromDirectory(rootDir.path().toStdString()));
    EXPECT_EQ(get(cam.port, "/DCIM").body, fixture("dcim_page_E-M10_root_onefolder.html"));
    get(cam.port, "/__sim/connectmode?mode=shared");
    EXPECT_EQ(get(cam.port, "/DCIM").body, fixture("dcim_page_E-M10_root_nofolder.html"));
}

TEST(SimHttp, DownloadsStreamWithTheirLength)
{
    Camera cam;
    const std::string path = cam.server.card().newestJpegPath();
    const auto entry = cam.server.card().find(path);
    ASSERT_TRUE(entry);
    const auto a = get(cam.port, path);
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.header("content-type"), "image/jpeg");
    EXPECT_EQ(a.header("content-length"), std::to_string(entry->size));
    std::string expected(entry->size, '\0');
    expected.resize(cam.server.card().read(path, 0, expected.data(), expected.size()));
    EXPECT_EQ(a.body, expected);
    EXPECT_EQ(get(cam.port, path + "X").status, 404);

    const auto thumb = get(cam.port, "/get_thumbnail.cgi?DIR=" + path);
    EXPECT_EQ(thumb.status, 200);
    EXPECT_EQ(thumb.header("content-type"), "image/jpeg");
    EXPECT_EQ(thumb.body.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(get(cam.port, "/get_thumbnail.cgi?DIR=/DCIM/100OLYMP/NONE.JPG").status, 404);
    EXPECT_EQ(get(cam.port, "/get_dcffilenum.cgi").body,
        "<?xml version=\"1.0\"?><dcffile>" + std::to_string(cam.server.card().dcfFileCount()) + "</dcffile>");
    EXPECT_EQ(get(cam.port, "/get_unusedcapacity.cgi").body.rfind("<?xml version=\"1.0\" ?><unused>", 0), 0u);
}

TEST(SimHttp, TakeAddsFilesWithTheCameraClock)
{
    Camera cam;
    // 10:35:39 UTC, camera two hours ahead: the shot is dated 2015-02-27 12:35:39 local.
    EXPECT_EQ(get(cam.port, "/set_utctimediff.cgi?utctime=20150227T103539&diff=%2B0200").status, 200);
    EXPECT_EQ(get(cam.port, "/set_utctimediff.cgi?utctime=20150227T103539&diff=+0200").status, 520)
        << "an unescaped plus reads as a blank";
    EXPECT_EQ(get(cam.port, "/set_utctimediff.cgi?utctime=20151327T103539&diff=%2B0200").status, 520);
    EXPECT_EQ(get(cam.port, "/set_utctimediff.cgi?utctime=20150227T103539").status, 520);
    const LocalTime now = cam.server.clock().localNow();
    EXPECT_EQ(now.year * 10000 + now.month * 100 + now.day, 20150227);

    ASSERT_EQ(cam.rec().status, 200);
    const auto af = get(cam.port, "/exec_takemotion.cgi?com=assignafframe&point=0412x0346");
    EXPECT_EQ(af.body,
        "<?xml version=\"1.0\"?><response><affocus>ok</affocus><afframepoint>0412x0346</afframepoint>"
        "<afframesize>0072x0072</afframesize></response>");
    const auto take = get(cam.port, "/exec_takemotion.cgi?com=starttake");
    // The capture of a real take, byte for byte.
    const std::string captured = fixture("starttake_response_raw_http.txt");
    EXPECT_NE(captured.find(take.body), std::string::npos) << take.body;
    EXPECT_EQ(take.header("content-length"), "152");
    EXPECT_EQ(get(cam.port, "/exec_takemotion.cgi?com=stoptake").status, 200);

    ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=play").status, 200);
    std::set<std::string> added;
    for (const std::string& line : linesOf20150227(cam.port)) {
        const int time = std::stoi(line.substr(line.rfind(',') + 1));
        EXPECT_EQ(time >> 11, 12) << line;
        EXPECT_EQ((time >> 5) & 63, 35) << line;
        added.insert(nameOf(line));
    }
    ASSERT_EQ(added.size(), 2u) << "a JPG and its ORF";
    EXPECT_EQ(added.begin()->substr(0, 4), "P227");
    EXPECT_EQ(added.begin()->substr(0, 8), std::next(added.begin())->substr(0, 8));

    // The record view is the newest shot's JPEG.
    ASSERT_EQ(cam.rec().status, 200);
    const auto view = get(cam.port, "/exec_takemisc.cgi?com=getrecview");
    EXPECT_EQ(view.status, 200);
    EXPECT_EQ(view.header("content-type"), "image/jpeg");
    EXPECT_EQ(view.body.substr(0, 2), "\xFF\xD8");
}

TEST(SimHttp, ShutterModeTakesOnFullPress)
{
    Camera cam;
    const int before = cam.server.card().dcfFileCount();
    ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=shutter").status, 200);
    for (const char* com : { "1stpush", "1st2ndpush", "2nd1strelease", "1strelease" }) {
        const auto a = get(cam.port, std::string("/exec_shutter.cgi?com=") + com);
        EXPECT_EQ(a.status, 200) << com;
        EXPECT_EQ(a.header("content-length"), "0") << com;
    }
    EXPECT_EQ(cam.server.card().dcfFileCount(), before + 2);
    EXPECT_EQ(get(cam.port, "/exec_shutter.cgi?com=3rdpush").status, 520);
}

// The photographer shoots with the body while the client is its remote release.
TEST(SimHttp, BodyShutterButtonStoresTheQualitysFilesWithTheCameraClock)
{
    Camera cam;
    ASSERT_EQ(get(cam.port, "/set_utctimediff.cgi?utctime=20150227T103539&diff=%2B0200").status, 200);
    const int before = cam.server.card().dcfFileCount();
    EXPECT_EQ(get(cam.port, "/__sim/shoot?count=2").status, 409) << "play mode";
    ASSERT_EQ(cam.rec().status, 200);
    EXPECT_EQ(get(cam.port, "/__sim/shoot").status, 409) << "the client has the controls";
    ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=shutter").status, 200);
    for (const char* bad : { "0", "x", "", "1001" })
        EXPECT_EQ(get(cam.port, std::string("/__sim/shoot?count=") + bad).status, 400) << bad;
    EXPECT_EQ(cam.server.card().dcfFileCount(), before);

    const auto shot = get(cam.port, "/__sim/shoot?count=2");
    EXPECT_EQ(shot.status, 200);
    EXPECT_NE(shot.body.find("\"files\":" + std::to_string(before + 4)), std::string::npos) << shot.body;
    ASSERT_EQ(get(cam.port, "/__sim/quality?value=LF").status, 200);
    EXPECT_EQ(get(cam.port, "/__sim/shoot").status, 200);

    ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=play").status, 200);
    std::map<std::string, std::set<std::string>> shots; // number -> extensions
    for (const std::string& line : linesOf20150227(cam.port)) {
        EXPECT_EQ(std::stoi(line.substr(line.rfind(',') + 1)) >> 11, 12) << line;
        const std::string name = nameOf(line);
        EXPECT_EQ(name.substr(0, 4), "P227") << line;
        shots[name.substr(0, 8)].insert(name.substr(9));
    }
    ASSERT_EQ(shots.size(), 3u);
    const std::set<std::string> pair { "JPG", "ORF" }, single { "JPG" };
    auto shot3 = shots.begin();
    EXPECT_EQ(shot3->second, pair);
    EXPECT_EQ((++shot3)->second, pair);
    EXPECT_EQ((++shot3)->second, single);

    // Switched off, the body takes no picture either.
    ASSERT_EQ(get(cam.port, "/switch_cammode.cgi?mode=shutter").status, 200);
    cam.server.setPower(false);
    EXPECT_EQ(get(cam.port, "/__sim/shoot").status, 409);
}

TEST(SimHttp, ResizedPicturesHaveTheAskedLongSide)
{
    Camera cam;
    const std::string file = cam.server.card().newestJpegPath();
    for (int size : { 1024, 1600, 1920, 2048 }) {
        const auto a = get(cam.port, "/get_resizeimg.cgi?DIR=" + file + "&size=" + std::to_string(size));
        EXPECT_EQ(a.status, 200) << size;
        EXPECT_EQ(a.header("content-type"), "image/jpeg");
        const auto [w, h] = jpegSize(a.body);
        EXPECT_EQ(std::max(w, h), size);
        EXPECT_EQ(std::min(w, h), size * 3 / 4) << "the sensor's 4:3";
    }
    EXPECT_EQ(get(cam.port, "/get_resizeimg.cgi?DIR=" + file + "&size=1000").status, 520) << "not listed";
    EXPECT_EQ(get(cam.port, "/get_resizeimg.cgi?DIR=" + file).status, 520);

    // Stored pictures keep their aspect ratio, scaled down or up.
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/DCIM/100OLYMP"));
    const std::string folder = dir.path().toStdString() + "/DCIM/100OLYMP/";
    std::ofstream(folder + "P1010001.JPG", std::ios::binary) << SimJpeg::still(1500, 1000, 3, 90);
    std::ofstream(folder + "P1010002.JPG", std::ios::binary) << SimJpeg::still(600, 800, 4, 90);
    cam.server.setCard(SimCard::fromDirectory(dir.path().toStdString()));
    const auto down = get(cam.port, "/get_resizeimg.cgi?DIR=/DCIM/100OLYMP/P1010001.JPG&size=1024");
    EXPECT_EQ(jpegSize(down.body), std::make_pair(1024, 683));
    const auto up = get(cam.port, "/get_resizeimg.cgi?DIR=/DCIM/100OLYMP/P1010002.JPG&size=2048");
    EXPECT_EQ(jpegSize(up.body), std::make_pair(1536, 2048));
}

// Clients ask for compressed answers (Qt's network layer always does); no camera sends one.
TEST(SimHttp, NoAnswerIsContentCodedWhateverTheClientAccepts)
{
    Camera cam;
    const std::string file = cam.server.card().newestJpegPath();
    const std::string folder = file.substr(0, file.rfind('/'));
    for (const std::string& target : { std::string("/get_commandlist.cgi"), std::string("/get_caminfo.cgi"),
             std::string("/get_camprop.cgi?com=get&propname=takemode"), std::string("/no_such.cgi"),
             std::string("/get_imglist.cgi?DIR=/DCIM"), std::string("/DCIM"), folder, file,
             "/get_thumbnail.cgi?DIR=" + file, std::string("/switch_cammode.cgi?mode=play"),
             std::string("/__sim/state") }) {
        const auto plain = get(cam.port, target);
        const auto a = simtest::exchange(
            cam.port, simtest::getRequest(target, "Accept-Encoding: gzip, deflate, br\r\n"));
        EXPECT_EQ(a.status, plain.status) << target;
        EXPECT_FALSE(a.hasHeader("content-encoding")) << target << ": " << a.header("content-encoding");
        EXPECT_EQ(a.header("content-type"), plain.header("content-type")) << target;
        if (target != "/__sim/state") { // counts the requests
            EXPECT_EQ(a.body, plain.body) << target;
        }
    }
    const auto list = simtest::exchange(
        cam.port, simtest::getRequest("/get_commandlist.cgi", "Accept-Encoding: gzip\r\n"));
    EXPECT_EQ(list.header("content-length"), "5616");
    EXPECT_EQ(list.body.size(), 5616u);
}

TEST(SimHttp, PowerOffSilencesTheCameraUntilSwitchedOn)
{
    {
        // While the body switches off its web server has stopped, but it is still on the network.
        Camera switching("e-m10", 6, 1, 600000);
        EXPECT_EQ(get(switching.port, "/exec_pwoff.cgi").status, 200);
        const auto closed = get(switching.port, "/get_connectmode.cgi");
        EXPECT_TRUE(closed.closedByServer);
        EXPECT_TRUE(closed.raw.empty()) << closed.raw;
    }
    Camera cam("e-m10", 6, 1, 0);
    ASSERT_EQ(cam.rec().status, 200);
    const auto off = get(cam.port, "/exec_pwoff.cgi");
    EXPECT_EQ(off.status, 200);
    // Then it has left the network: the connection stands, but no byte and no close come.
    const auto silent = get(cam.port, "/get_connectmode.cgi", 1500);
    EXPECT_TRUE(silent.connected);
    EXPECT_TRUE(silent.raw.empty()) << silent.raw;
    EXPECT_FALSE(silent.closedByServer);
    EXPECT_NE(get(cam.port, "/__sim/state").body.find("\"power\":false"), std::string::npos);

    // A request left waiting is let go unanswered once the body is on again: it never reached it.
    simtest::Connection waiting(cam.port, simtest::getRequest("/get_caminfo.cgi"));
    EXPECT_TRUE(waiting.read(300).raw.empty());
    EXPECT_EQ(get(cam.port, "/__sim/power?on=1").status, 200);
    const auto dropped = waiting.read(5000);
    EXPECT_TRUE(dropped.closedByServer);
    EXPECT_TRUE(dropped.raw.empty()) << dropped.raw;

    const auto back = get(cam.port, "/get_connectmode.cgi");
    EXPECT_EQ(back.status, 200);
    EXPECT_NE(back.body.find("private"), std::string::npos);
    // Switched on again it starts in play mode.
    EXPECT_EQ(get(cam.port, "/get_camprop.cgi?com=get&propname=takemode").status, 520);
}
