#include "camera/TCameraParam.h"
#include "camera/CameraTexts.h"
#include "camera/TCameraParams.h"
#include "camera/TOIShare.h"
#include "camera/TXMLLib.h"

#include "base/TBaseObserver.h"
#include "base/TLanguageFile.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"

#include "common/TestPaths.h"

#include <QLocale>
#include <QRegularExpression>

#include "common/EnglishTexts.h"
#include "common/LogCapture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

using lumivar::test::readFixture;

namespace {

// A camera that answers from a table: one desc answer per property name, and 200 to every set.
struct FakeCamera
{
    QList<TCameraRequest> requests;
    QHash<QString, QByteArray> descs;
    int setCode = 200;

    TCameraLink link()
    {
        TCameraLink l = TCameraLink::ToHost(QStringLiteral("cam"));
        l.Transport = [this](const TCameraRequest& r) {
            requests.append(r);
            TCameraAnswer a;
            a.Completed = true;
            if (r.Method == "POST") {
                a.Code = setCode;
                if (setCode == 520)
                    a.Body = "<?xml version=\"1.0\"?>1004</errorcode>";
                return a;
            }
            const QString name = r.Url.section(QStringLiteral("propname="), 1);
            a.Code = descs.contains(name) ? 200 : 520;
            a.Body = descs.value(name, "<?xml version=\"1.0\"?>1001</errorcode>");
            return a;
        };
        return l;
    }
    int sets() const
    {
        int n = 0;
        for (const auto& r : requests)
            n += r.Method == "POST";
        return n;
    }
};

QByteArray desc(const QString& name, const QString& attribute, const QString& value, const QString& values)
{
    return QStringLiteral("<?xml version=\"1.0\"?><desc><propname>%1</propname><attribute>%2</attribute>"
                          "<value>%3</value><enum>%4</enum></desc>")
        .arg(name, attribute, value, values)
        .toUtf8();
}

bool readXml(TCameraParam& param, const QByteArray& xml)
{
    TXMLLib doc;
    EXPECT_TRUE(doc.TryLoad(xml));
    return param.ReadFromXML(doc.Root());
}

using lumivar::test::LogCapture;

const char* kApertures = "2.8 3.2 3.5 4.0 4.5 5.0 5.6 6.3 7.1 8.0 9.0 10 11 13 14 16 18 20 22";

} // namespace

TEST(CameraParamRead, DescriptionFillsValueListsAndAccess)
{
    TCameraParam param("isospeedvalue", TCameraLink::ToHost("cam"));
    ASSERT_TRUE(readXml(param, readFixture("camera/desc_isospeedvalue_E-M10.xml")));
    EXPECT_TRUE(param.Valid);
    EXPECT_TRUE(param.CanGet);
    EXPECT_TRUE(param.CanSet);
    EXPECT_EQ(param.Value, "1600");
    EXPECT_EQ(param.RawValues.first(), "Low");
    EXPECT_EQ(param.RawValues.size(), 11);
    EXPECT_EQ(param.DisplayValues, param.RawValues); // no dictionary: display texts are camera values
    EXPECT_EQ(param.DisplayNumbers.size(), 11);

    for (const auto& [attribute, get, set] : { std::tuple { "get", true, false }, { "set", false, true },
             { "SetGet", true, true }, { "getset", true, true }, { "none", false, false } }) {
        ASSERT_TRUE(readXml(param, desc("isospeedvalue", attribute, "200", "200 400"))) << attribute;
        EXPECT_EQ(param.CanGet, get) << attribute;
        EXPECT_EQ(param.CanSet, set) << attribute;
        EXPECT_EQ(param.IsUsable(), set) << attribute;
    }
}

TEST(CameraParamRead, EnumSplitsAtAnyWhitespaceAndAnEmptyEnumOffersTheValue)
{
    TCameraParam param("drivemode", TCameraLink::ToHost("cam"));
    param.Dictionary.Add("normal", "Einzel");
    ASSERT_TRUE(
        readXml(param, desc("drivemode", "getset", " normal ", "normal  selftimer\r\n continuous-H")));
    EXPECT_EQ(param.RawValues, QStringList({ "normal", "selftimer", "continuous-H" }));
    EXPECT_EQ(param.DisplayValues, QStringList({ "Einzel", "selftimer", "continuous-H" }));
    EXPECT_EQ(param.Value, "Einzel");
    EXPECT_EQ(param.RawValue, "normal");

    ASSERT_TRUE(readXml(param, desc("drivemode", "get", "normal", "")));
    EXPECT_EQ(param.RawValues, QStringList({ "normal" }));
    EXPECT_EQ(param.DisplayValues, QStringList({ "Einzel" }));

    // Neither value nor enum: valid, nothing to offer.
    ASSERT_TRUE(readXml(param, "<desc><propname>drivemode</propname><attribute>get</attribute></desc>"));
    EXPECT_TRUE(param.Valid);
    EXPECT_TRUE(param.DisplayValues.isEmpty());
}

TEST(CameraParamRead, MismatchingNameFailsExceptTheArtFilterQuirk)
{
    LogCapture log;
    TCameraParam iso("isospeedvalue", TCameraLink::ToHost("cam"));
    ASSERT_TRUE(readXml(iso, desc("isospeedvalue", "getset", "200", "200 400")));
    EXPECT_FALSE(readXml(iso, desc("wbvalue", "getset", "0", "0 18")));
    EXPECT_FALSE(iso.Valid);
    EXPECT_TRUE(iso.RawValues.isEmpty()); // nothing of the wrong answer is kept
    EXPECT_TRUE(log.contains("TCameraParam.ReadFromXML: Eigenschaftsname unterscheidet sich!"));

    TCameraParam art("artfilter", TCameraLink::ToHost("cam"));
    EXPECT_TRUE(readXml(art, desc("focalvalue", "getset", "ART01", "ART01 ART02")));
    EXPECT_TRUE(art.Valid);
    EXPECT_FALSE(readXml(art, desc("wbvalue", "getset", "ART01", "ART01")));

    // Only the art filter has the quirk.
    TCameraParam focal("focalvalue", TCameraLink::ToHost("cam"));
    EXPECT_FALSE(readXml(focal, desc("artfilter", "getset", "4.0", "4.0")));

    TCameraParam other("takemode", TCameraLink::ToHost("cam"));
    EXPECT_FALSE(readXml(other, "<get><value>P</value></get>"));
    EXPECT_FALSE(other.ReadFromXML(nullptr));
}

TEST(CameraParamSet, SendsTheCameraValueOnlyForAllowedTexts)
{
    FakeCamera camera;
    TCameraParam wb("wbvalue", camera.link());
    wb.Dictionary.Add("0", "Auto");
    wb.Dictionary.Add("18", "Sonnig");
    ASSERT_TRUE(readXml(wb, desc("wbvalue", "get", "0", "0 18 16")));

    EXPECT_FALSE(wb.SetValue("Sonnig")); // not settable
    EXPECT_EQ(camera.sets(), 0);

    ASSERT_TRUE(readXml(wb, desc("wbvalue", "getset", "0", "0 18 16")));
    EXPECT_FALSE(wb.SetValue("Bewölkt")); // not offered
    EXPECT_EQ(camera.sets(), 0);

    EXPECT_TRUE(wb.SetValue("sonnig"));
    ASSERT_EQ(camera.requests.size(), 1);
    const TCameraRequest& r = camera.requests.last();
    EXPECT_EQ(r.Method, "POST");
    EXPECT_EQ(r.Url, "http://cam/set_camprop.cgi?com=set&propname=wbvalue");
    EXPECT_EQ(r.ContentType, "text/xml");
    EXPECT_EQ(r.Body, "<?xml version=\"1.0\"?><set><value>18</value></set>");
    EXPECT_EQ(wb.Value, "Sonnig"); // the list's spelling, not the caller's
    EXPECT_EQ(wb.RawValue, "18");

    // A camera value is accepted as well.
    EXPECT_TRUE(wb.SetValue("16"));
    EXPECT_EQ(camera.requests.last().Body, "<?xml version=\"1.0\"?><set><value>16</value></set>");
    EXPECT_EQ(wb.Value, "16");

    camera.setCode = 520;
    EXPECT_FALSE(wb.SetValue("Auto"));
    EXPECT_EQ(wb.Value, "16");
    EXPECT_EQ(wb.RawValue, "16");
}

TEST(CameraParamSet, ApertureOutsideTheLensRangeOnlyMovesTowardsIt)
{
    FakeCamera camera;
    TCameraParam focal("focalvalue", camera.link());
    ASSERT_TRUE(readXml(focal, desc("focalvalue", "getset", "4.0", kApertures)));
    ASSERT_TRUE(focal.ComputeNumbers());
    focal.MinLimit = 35; // f/3.5 .. f/22
    focal.MaxLimit = 220;

    EXPECT_FALSE(focal.SetValue("2.8"));
    EXPECT_EQ(camera.sets(), 0);
    EXPECT_TRUE(focal.SetValue("5.6"));
    EXPECT_TRUE(focal.SetValue("22"));

    focal.Value = "2.8"; // a lens change left the camera outside the new range
    EXPECT_TRUE(focal.SetValue("3.2"));
    EXPECT_EQ(focal.Value, "3.2");
    focal.MaxLimit = 80;
    focal.Value = "22";
    EXPECT_FALSE(focal.SetValue("22"));
    EXPECT_TRUE(focal.SetValue("11"));
    EXPECT_FALSE(focal.SetValue("13")); // above the range and away from it
}

TEST(CameraParamStep, StepsClampAtTheEndsAndReportTheNewValue)
{
    FakeCamera camera;
    TCameraParam iso("isospeedvalue", camera.link());
    ASSERT_TRUE(readXml(iso, desc("isospeedvalue", "getset", "800", "Auto 200 400 800 1600")));

    EXPECT_TRUE(iso.StepUp(3)); // second-to-last to last
    EXPECT_EQ(iso.Value, "1600");
    EXPECT_FALSE(iso.StepUp(1)); // already at the end: nothing sent
    EXPECT_EQ(camera.sets(), 1);
    EXPECT_TRUE(iso.StepDown(10));
    EXPECT_EQ(iso.Value, "Auto");
    EXPECT_FALSE(iso.StepDown(1));
    EXPECT_FALSE(iso.StepUp(0));
    EXPECT_FALSE(iso.StepUp(-2));
    EXPECT_EQ(camera.sets(), 2);

    camera.setCode = 520;
    EXPECT_FALSE(iso.StepUp(1));
    EXPECT_EQ(iso.Value, "Auto");

    iso.Value = "unknown";
    EXPECT_FALSE(iso.StepUp(1));
}

TEST(CameraParamNumbers, AperturesReadWithADotWhateverTheLocale)
{
    const QLocale previousDefault;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The C library's locale as well, when the system has a German one.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const std::string during = std::setlocale(LC_ALL, nullptr);

    TCameraParams params(TCameraLink::ToHost("cam"));
    TCameraParam* focal = params.Find("focalvalue");
    ASSERT_TRUE(readXml(*focal, desc("focalvalue", "getset", "5.6", "3.5 5.6 10 22")));
    EXPECT_TRUE(params.ComputeApertureNumbers());
    EXPECT_EQ(focal->DisplayNumbers, QList<qint32>({ 35, 56, 100, 220 }));
    EXPECT_EQ(std::string(std::setlocale(LC_ALL, nullptr)), during);
    EXPECT_EQ(QLocale().language(), QLocale::German);

    ASSERT_TRUE(readXml(*focal, desc("focalvalue", "getset", "5,6", "5,6 F8 8.0")));
    EXPECT_FALSE(params.ComputeApertureNumbers());
    EXPECT_EQ(focal->DisplayNumbers, QList<qint32>({ 0, 0, 80 }));

    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previousDefault);
}

TEST(CameraParams, EighteenPropertiesWithTheirDictionaries)
{
    TCameraParams params(TCameraLink::ToHost("cam"));
    ASSERT_EQ(params.Count(), 18);
    EXPECT_EQ(params.At(0)->Name, "takemode");
    EXPECT_EQ(params.At(17)->Name, "qualitymovie");
    EXPECT_EQ(params.Find("WBVALUE"), params.At(4));
    EXPECT_EQ(params.Find("nothing"), nullptr);

    const TStringDictionary& wb = params.Find("wbvalue")->Dictionary;
    EXPECT_EQ(wb.KeyOf("Sonnig"), "18");
    EXPECT_EQ(wb.ValueOf("19"), "19");
    EXPECT_EQ(wb.ValueOf("17"), "Bewölkt");
    EXPECT_EQ(params.Find("drivemode")->Dictionary.ValueOf("lowvib-normal"), "Anti-Schock Einzel");
    EXPECT_EQ(params.Find("takemode")->Dictionary.ValueOf("supermacro"), "Supermacro");
    EXPECT_EQ(params.Find("colortone")->Dictionary.ValueOf("fantasic_focus"), "Soft-Fokus");
    EXPECT_EQ(params.Find("qualitymovie")->Dictionary.ValueOf("mjpeg"), "M-JPEG");
    EXPECT_EQ(params.Find("noisereduction")->Dictionary.ValueOf("on"), "aktiviert");
    EXPECT_EQ(params.Find("shutspeedvalue")->Dictionary.ValueOf("livebulb"), "LIVEBULB");
    EXPECT_TRUE(params.Find("artfilter")->Dictionary.IsEmpty()); // filled from the camera's own values
    EXPECT_TRUE(params.Find("expcomp")->Dictionary.IsEmpty());
}

TEST(CameraParams, ProbeReadsListedPropertiesAndShowsArtFilterTextsAtOnce)
{
    TOIShare list;
    ASSERT_TRUE(list.LoadFromBytes(readFixture("camera/commandlist_E-M10_v2.20.xml")));
    FakeCamera camera;
    camera.descs["takemode"] = desc("takemode", "getset", "ART", "iAuto P A S M ART");
    camera.descs["focalvalue"] = desc("focalvalue", "getset", "4.0", kApertures);
    camera.descs["artfilter"] = desc("focalvalue", "getset", "ART02", "ART01 ART02 ARTBKT");
    camera.descs["wbvalue"] = desc("wbvalue", "getset", "18", "0 18 16");
    TCameraParams params(camera.link());

    EXPECT_TRUE(params.Probe(list));
    // Every property the E-M10 lists was asked for with the key its command list names.
    EXPECT_EQ(camera.requests.size(), 13);
    EXPECT_EQ(camera.requests.first().Url, "http://cam/get_camprop.cgi?com=desc&propname=takemode");
    EXPECT_EQ(camera.requests.first().ReadTimeoutMs, 10000);

    const TCameraParam* art = params.Find("artfilter");
    EXPECT_TRUE(art->Valid);
    EXPECT_EQ(art->Value, "Soft-Fokus");
    EXPECT_EQ(art->DisplayValues, QStringList({ "Pop-Art", "Soft-Fokus", "ART BKT" }));
    EXPECT_EQ(art->Dictionary.Count(), 3);
    EXPECT_EQ(params.Find("wbvalue")->Value, "Sonnig");
    EXPECT_EQ(params.Find("focalvalue")->DisplayNumbers.first(), 28);
    // The camera refused these (520): invalid, and the probe goes on.
    EXPECT_FALSE(params.Find("isospeedvalue")->Valid);
    EXPECT_FALSE(params.Find("colortone")->Valid); // not listed: never asked

    // A refresh passes over what cannot be read and stops at a failing read.
    camera.requests.clear();
    camera.descs["wbvalue"] = desc("wbvalue", "getset", "16", "0 18 16");
    EXPECT_TRUE(params.RefreshAll());
    EXPECT_EQ(camera.requests.size(), 4);
    EXPECT_EQ(params.Find("wbvalue")->Value, "Schatten");
    camera.descs.remove("focalvalue");
    camera.requests.clear();
    EXPECT_FALSE(params.RefreshAll());
    EXPECT_EQ(camera.requests.size(), 2);
    EXPECT_EQ(params.Find("focalvalue")->Value, "4.0"); // a refused refresh keeps what was read
}

TEST(CameraParams, ProbeStopsAtAnAnswerForAnotherProperty)
{
    TOIShare list;
    ASSERT_TRUE(list.LoadFromBytes(readFixture("camera/commandlist_E-M10_v2.20.xml")));
    FakeCamera camera;
    camera.descs["takemode"] = desc("takemode", "getset", "P", "P A");
    camera.descs["focalvalue"] = desc("expcomp", "getset", "0.0", "0.0");
    camera.descs["shutspeedvalue"] = desc("shutspeedvalue", "getset", "250", "250");
    TCameraParams params(camera.link());
    EXPECT_FALSE(params.Probe(list));
    EXPECT_EQ(camera.requests.size(), 2);
    EXPECT_TRUE(params.Find("takemode")->Valid);
    EXPECT_FALSE(params.Find("focalvalue")->Valid);

    // Without "get_camprop" there is nothing to read.
    TOIShare empty;
    camera.requests.clear();
    EXPECT_TRUE(params.Probe(empty));
    EXPECT_TRUE(camera.requests.isEmpty());
}

TEST(CameraParams, DictionariesComeInTheSelectedLanguage)
{
    TCameraParams params(TCameraLink::ToHost("cam"));
    TCameraParam* wb = params.Find("wbvalue");
    ASSERT_TRUE(readXml(*wb, desc("wbvalue", "getset", "18", "0 18")));
    EXPECT_EQ(wb->Value, "Sonnig");

    TNamedTexts::SetTranslations({ { "_rsWBSunny", "Sunny" } });
    params.FillDictionaries();
    EXPECT_EQ(wb->Value, "Sunny");
    EXPECT_EQ(wb->DisplayValues, QStringList({ "Auto", "Sunny" }));
    EXPECT_EQ(wb->Dictionary.KeyOf("Sunny"), "18");

    TNamedTexts::ResetToDefaults();
    params.FillDictionaries();
    EXPECT_EQ(wb->Value, "Sonnig");
}

TEST(CameraTexts, EnglishTranslatesEveryPropertyText)
{
    TLanguageFile english;
    ASSERT_TRUE(english.Load(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt")));
    RegisterCameraTexts();
    EXPECT_EQ(TNamedTexts::German("_rsWBCloudy"), QString::fromUtf8("Bewölkt"));
    EXPECT_EQ(TNamedTexts::German("_rsDMTimerAntiShockCustom"), "Anti-Schock Timer C");
    const QStringList missing = lumivar::test::textsWithoutEnglish(english.Texts());
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
}
