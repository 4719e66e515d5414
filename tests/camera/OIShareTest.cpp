#include "camera/TOIShare.h"
#include "camera/TXMLLib.h"

#include "common/TestPaths.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using Kind = THTTPMethod::Kind;
using lumivar::test::readFixture;

namespace {

TOIShare loadFixture(const QString& name)
{
    const QByteArray body = readFixture("camera/" + name);
    EXPECT_FALSE(body.isEmpty()) << name.toStdString();
    TOIShare share;
    EXPECT_TRUE(share.LoadFromBytes(body)) << name.toStdString();
    return share;
}

QStringList valueNames(const TCGIParam* param)
{
    QStringList names;
    if (param)
        for (const auto& value : param->Values)
            names.append(value->Name);
    return names;
}

const TCGIParam* getParam(const TOIShare& share, const QString& cgi, const QString& key)
{
    const TCGIFunction* function = share.Functions.Find(cgi);
    return function ? function->Methods.FindParam(Kind::Get, key) : nullptr;
}

// The keys allowed after value of the GET key of cgi.
const TCGIParam* nested(const TOIShare& share, const QString& cgi, const QString& key, const QString& value,
    const QString& nextKey)
{
    const TCGIParam* param = getParam(share, cgi, key);
    const TCGIParamValue* v = param ? param->Values.Find(value) : nullptr;
    return v ? v->Params.Find(nextKey) : nullptr;
}

const QStringList kLvqtyFull { "0320x0240", "0640x0480", "0800x0600", "1024x0768", "1280x0960" };

} // namespace

TEST(OIShareFixtures, EveryCapturedListParses)
{
    struct Expected
    {
        const char* file;
        const char* version;
        int supports;
        int cgis;
    };
    const Expected lists[] = {
        { "commandlist_E-M10_v2.20.xml", "2.20", 4, 23 },
        { "commandlist_OM-D-unknown_v2.60.xml", "2.60", 4, 23 },
        { "commandlist_OM-1MarkII_v5.20_PARTIAL.xml", "5.20", 7, 4 },
        // The trailing comment names a further cgi; comments are no elements.
        { "commandlist_unknown-model_v4.40_PARTIAL.xml", "4.40", 8, 8 },
    };
    for (const Expected& e : lists) {
        SCOPED_TRACE(e.file);
        const TOIShare share = loadFixture(e.file);
        EXPECT_EQ(share.Version, e.version);
        EXPECT_EQ(share.SupportedFunctions.size(), e.supports);
        EXPECT_EQ(share.Functions.Count(), e.cgis);
        EXPECT_TRUE(share.SupportsFunction("WEB"));
        ASSERT_NE(share.Functions.Find("get_connectmode"), nullptr);
        EXPECT_TRUE(share.Functions.Find("GET_CONNECTMODE")->Methods.HasMethod(Kind::Get, true));
        EXPECT_EQ(valueNames(nested(share, "switch_cammode", "mode", "rec", "lvqty")).size() >= 2, true);
    }
}

TEST(OIShareFixtures, EM10Details)
{
    const TOIShare share = loadFixture("commandlist_E-M10_v2.20.xml");
    EXPECT_EQ(share.SupportedFunctions, (QStringList { "web", "remote", "gps", "release" }));
    EXPECT_EQ(
        valueNames(getParam(share, "switch_cammode", "mode")), (QStringList { "rec", "play", "shutter" }));
    EXPECT_EQ(valueNames(nested(share, "switch_cammode", "mode", "rec", "lvqty")),
        (QStringList { "0320x0240", "0640x0480" }));
    EXPECT_EQ(valueNames(nested(share, "switch_cammode", "mode", "shutter", "lvqty")).size(), 2);

    const QStringList described = valueNames(nested(share, "get_camprop", "com", "desc", "propname"));
    EXPECT_EQ(described.size(), 14);
    EXPECT_EQ(described.first(), "touchactiveframe");
    EXPECT_EQ(described.last(), "desclist");

    // Property writes are POST only.
    const TCGIFunction* set = share.Functions.Find("set_camprop");
    ASSERT_NE(set, nullptr);
    EXPECT_FALSE(set->Methods.HasMethod(Kind::Get));
    EXPECT_EQ(valueNames(set->Methods.FindParam(Kind::Post, "com")), QStringList { "set" });

    EXPECT_EQ(valueNames(getParam(share, "exec_shutter", "com")).size(), 6);
    EXPECT_NE(nested(share, "exec_takemotion", "com", "starttake", "point"), nullptr);
    EXPECT_NE(nested(share, "exec_takemisc", "com", "startliveview", "port"), nullptr);
    EXPECT_NE(nested(share, "exec_shuttermisc", "com", "startliveview", "port"), nullptr);
    // The key follows a key directly: only values carry further keys.
    const TCGIParam* utc = getParam(share, "set_utctimediff", "utctime");
    ASSERT_NE(utc, nullptr);
    EXPECT_TRUE(utc->Values.IsEmpty());
    // A value element without a name is skipped with what it holds.
    EXPECT_TRUE(getParam(share, "get_resizeimg", "DIR")->Values.IsEmpty());
    EXPECT_NE(getParam(share, "get_imglist", "dir"), nullptr);
}

TEST(OIShareFixtures, OmdV260WithShiftJisAndCrCrLf)
{
    const TOIShare share = loadFixture("commandlist_OM-D-unknown_v2.60.xml");
    EXPECT_EQ(valueNames(nested(share, "switch_cammode", "mode", "rec", "lvqty")), kLvqtyFull);
    EXPECT_EQ(nested(share, "switch_cammode", "mode", "shutter", "lvqty"), nullptr);
    EXPECT_EQ(valueNames(nested(share, "get_camprop", "com", "desc", "propname")).size(), 42);
    EXPECT_EQ(share.Functions.Find("exec_shuttermisc"), nullptr);
    EXPECT_NE(share.Functions.Find("get_screennail"), nullptr);
    const TCGIParamValue* movie = getParam(share, "exec_takemotion", "com")->Values.Find("startmovietake");
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->Params.Count(), 2);
    EXPECT_EQ(valueNames(movie->Params.Find("liveview")), QStringList { "on" });
}

TEST(OIShareFixtures, CutOffOneLineList)
{
    const TOIShare share = loadFixture("commandlist_OM-1MarkII_v5.20_PARTIAL.xml");
    EXPECT_EQ(valueNames(getParam(share, "switch_cammode", "mode")),
        (QStringList { "rec", "play", "shutter", "maintenance", "cameralog" }));
    EXPECT_EQ(valueNames(nested(share, "switch_cammode", "mode", "rec", "lvqty")), kLvqtyFull);
    // The list ends inside exec_pwoff's first value tag.
    const TCGIParam* mode = getParam(share, "exec_pwoff", "mode");
    ASSERT_NE(mode, nullptr);
    EXPECT_TRUE(mode->Values.IsEmpty());

    const TOIShare newer = loadFixture("commandlist_unknown-model_v4.40_PARTIAL.xml");
    EXPECT_EQ(valueNames(getParam(newer, "exec_pwoff", "mode")), QStringList { "withble" });
    EXPECT_NE(getParam(newer, "set_timeout", "timeoutsec"), nullptr);
}

TEST(OIShareFixtures, EveryPrefixOfAListIsSafe)
{
    const QByteArray body = readFixture("camera/commandlist_E-M10_v2.20.xml");
    const qsizetype rootReadable = body.indexOf("<oishare>") + 9;
    int previousCount = 0;
    for (qsizetype n = 0; n <= body.size(); ++n) {
        TOIShare share;
        const bool ok = share.LoadFromBytes(body.left(n));
        ASSERT_EQ(ok, n >= rootReadable) << n;
        ASSERT_GE(share.Functions.Count(), previousCount) << n;
        previousCount = share.Functions.Count();
    }
    EXPECT_EQ(previousCount, 23);
}

TEST(OIShareParse, ElementRules)
{
    TOIShare share;
    ASSERT_TRUE(
        share.LoadFromBytes("<OIShare><Version>9</Version><Support func=\"web\"/><SUPPORT func=\"web\"/>"
                            "<support/><CGI name=\"a\"><HTTP_METHOD type=\"GET\"><CMD name=\"k\">"
                            "<Param name=\"v\"><cmd12 name=\"deep\"><param7 name=\"x\"/></cmd12>"
                            "<cmdx name=\"no\"/></Param></CMD></HTTP_METHOD></CGI>"
                            "<cgi><http_method type=\"get\"/></cgi><other name=\"z\"/></OIShare>"));
    EXPECT_EQ(share.Version, "9");
    EXPECT_EQ(share.SupportedFunctions, (QStringList { "web", "web" }));
    ASSERT_EQ(share.Functions.Count(), 1);
    const TCGIParamValue* v = getParam(share, "A", "K")->Values.Find("V");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Params.Count(), 1);
    EXPECT_EQ(valueNames(v->Params.Find("deep")), QStringList { "x" });
    EXPECT_EQ(v->Params.Find("no"), nullptr);
}

TEST(OIShareParse, MethodRules)
{
    TOIShare share;
    ASSERT_TRUE(share.LoadFromBytes(
        "<oishare><cgi name=\"put\"><http_method type=\"put\"><cmd1 name=\"com\"/></http_method></cgi>"
        "<cgi name=\"two\"><http_method type=\"get\"><cmd1 name=\"mode\"/></http_method>"
        "<http_method type=\"get\"><cmd1 name=\"com\"><param1 name=\"x\"/></cmd1></http_method>"
        "<http_method type=\"post\"/></cgi></oishare>"));

    const TCGIFunction* put = share.Functions.Find("put");
    ASSERT_NE(put, nullptr);
    EXPECT_TRUE(put->Methods.IsEmpty());
    EXPECT_FALSE(put->Methods.HasMethod(Kind::Get));

    const TCGIFunction* two = share.Functions.Find("two");
    EXPECT_EQ(valueNames(two->Methods.FindParam(Kind::Get, "com")), QStringList { "x" });
    EXPECT_EQ(two->Methods.FindParam(Kind::Post, "com"), nullptr);
    EXPECT_TRUE(two->Methods.HasMethod(Kind::Get));
    EXPECT_FALSE(two->Methods.HasMethod(Kind::Get, true));
    EXPECT_TRUE(two->Methods.HasMethod(Kind::Post, true));
    EXPECT_EQ(static_cast<int>(Kind::Get), 1);
    EXPECT_EQ(static_cast<int>(Kind::Post), 2);
}

TEST(OIShareParse, BadInputGivesFalseAndAnEmptyModel)
{
    TOIShare share;
    const QByteArray camera520 = "<?xml version=\"1.0\"?>1000</errorcode>";
    for (const QByteArray& body :
        { camera520, QByteArray(), QByteArray("<caminfo><model>E-M10</model></caminfo>"),
            QByteArray("<oishare><a x=\"1\" x=\"2\"/></oishare>"), QByteArray(64, '\xFF') + "<oishare/>",
            QByteArray("\x00\x01<oishare", 10) }) {
        share.Version = "stale";
        EXPECT_FALSE(share.LoadFromBytes(body)) << body.toHex().constData();
        EXPECT_TRUE(share.Version.isEmpty());
        EXPECT_TRUE(share.Functions.IsEmpty());
    }
    EXPECT_FALSE(share.Parse(nullptr));

    // Random bytes, and random bytes spliced into a real list.
    const QByteArray list = readFixture("camera/commandlist_E-M10_v2.20.xml");
    QRandomGenerator random(20240607);
    for (int round = 0; round < 300; ++round) {
        QByteArray noise(static_cast<int>(random.bounded(1, 2000)), Qt::Uninitialized);
        for (char& c : noise)
            c = static_cast<char>(random.bounded(256));
        share.LoadFromBytes(noise);
        QByteArray spliced = list;
        spliced.insert(random.bounded(static_cast<int>(list.size())), noise.left(random.bounded(1, 8)));
        share.LoadFromBytes(spliced);
    }
    SUCCEED();
}
