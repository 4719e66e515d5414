// Every picture of tests/fixtures/exif read and compared with the exiftool oracle beside it, for the
// standard tags (the maker note has its own tests).
#include "base/TNamedTexts.h"
#include "exif/TExif.h"
#include "exif/TExifFormat.h"
#include "exif/TExifReader.h"

#include "ExifTestFile.h"
#include "base/QStringPrinter.h"
#include "common/TestPaths.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

using exiftest::LocaleGuard;

namespace {

QStringList fixtureJpegs()
{
    return QDir(lumivar::test::fixturePath(QStringLiteral("exif")))
        .entryList({ QStringLiteral("*.jpg") }, QDir::Files, QDir::Name);
}

QString baseName(const QString& jpg)
{
    return jpg.left(jpg.size() - 4);
}

QJsonObject oracleJson(const QString& jpg)
{
    const QByteArray bytes
        = lumivar::test::readFixture(QStringLiteral("exif/") + baseName(jpg) + ".exiftool.json");
    return QJsonDocument::fromJson(bytes).array().first().toObject();
}

// (path, tag) -> (format, raw value) of the tags exiftool found in IFD0, the Exif and the GPS directory.
struct RawTag
{
    QString Format;
    QString Raw;
};

QHash<QString, RawTag> oracleTags(const QString& jpg)
{
    QHash<QString, RawTag> tags;
    const QByteArray bytes
        = lumivar::test::readFixture(QStringLiteral("exif/") + baseName(jpg) + ".exiftool.tags.tsv");
    for (const QByteArray& line : bytes.split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() < 5)
            continue;
        const QString path = QString::fromUtf8(f[0]);
        if (path != QLatin1String("IFD0") && path != QLatin1String("IFD0/ExifOffset")
            && path != QLatin1String("IFD0/GPSInfo"))
            continue;
        tags.insert(
            path + u' ' + QString::fromUtf8(f[1]), { QString::fromUtf8(f[3]), QString::fromUtf8(f[4]) });
    }
    return tags;
}

// The fractions exiftool prints behind rational values: "0.0166 (1/60)" -> {"1/60"}.
QStringList fractionsOf(const QString& raw)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\(([^)]*)\\)$")).match(raw);
    return m.hasMatch() ? m.captured(1).split(u' ') : QStringList();
}

double numberOf(const QString& ours, const char* suffix = "")
{
    QString text = ours;
    const QString unit = QString::fromUtf8(suffix);
    if (text.endsWith(unit))
        text.chop(unit.size());
    double v = std::nan("");
    ParseGeneralNumber(text, v);
    return v;
}

double fractionValue(const QString& fraction)
{
    const QStringList nd = fraction.split(u'/');
    return nd.size() == 2 ? nd[0].toDouble() / nd[1].toDouble() : std::nan("");
}

} // namespace

TEST(ExifFixtures, EveryPictureIsReadAndTheListBuiltWithoutFault)
{
    const QStringList files = fixtureJpegs();
    ASSERT_GE(files.size(), 14);
    for (const QString& jpg : files) {
        SCOPED_TRACE(jpg.toStdString());
        const QJsonObject oracle = oracleJson(jpg);
        const bool hasExif = oracle.contains(QStringLiteral("IFD0:Model"));
        TExif exif;
        EXPECT_EQ(exif.LoadFromFile(lumivar::test::fixturePath(QStringLiteral("exif/") + jpg)), hasExif);
        QList<TExifRowSection> list;
        TExifRect frame;
        QList<TExifRect> faces;
        TExifReader::Fill(list, lumivar::test::fixturePath(QStringLiteral("exif/") + jpg), frame, faces);
        EXPECT_EQ(list.size(), hasExif ? 4 : 0);
    }
}

TEST(ExifFixtures, StandardTagsAgreeWithExiftool)
{
    LocaleGuard german(QLocale::German);
    int compared = 0;
    for (const QString& jpg : fixtureJpegs()) {
        SCOPED_TRACE(jpg.toStdString());
        const QJsonObject oracle = oracleJson(jpg);
        if (!oracle.contains(QStringLiteral("IFD0:Model")))
            continue;
        const QHash<QString, RawTag> raw = oracleTags(jpg);
        TExif exif;
        ASSERT_TRUE(exif.LoadFromFile(lumivar::test::fixturePath(QStringLiteral("exif/") + jpg)));
        const TExifData& d = exif.ExifData();
        const TExifSection& e = d.ExifSection;

        // Texts: exiftool keeps trailing blanks, we drop them.
        const auto text = [&](const char* key, const QString& ours) {
            const QJsonValue v = oracle.value(QLatin1String(key));
            const QString expected = v.isString() ? v.toString()
                : v.isUndefined()                 ? QString()
                                                  : v.toVariant().toString();
            EXPECT_EQ(ours, expected.trimmed()) << key;
            ++compared;
        };
        text("IFD0:Make", d.CameraManufacturer);
        text("IFD0:Model", d.CameraModel);
        text("IFD0:ModifyDate", d.ReleaseDate);
        text("IFD0:Artist", d.Author);
        text("IFD0:Copyright", d.Copyright);
        text("ExifIFD:DateTimeOriginal", e.DateTimeOriginal);
        text("ExifIFD:CreateDate", e.DateTimeDigitized);
        text("ExifIFD:LensModel", e.LensModel);
        text("ExifIFD:ExifVersion", e.ExifVersion);
        text("ExifIFD:ExifImageWidth", e.PixelXDimension);
        text("ExifIFD:ExifImageHeight", e.PixelYDimension);

        // Numbers.
        const auto number = [&](const char* key, const QString& ours, const char* suffix = "") {
            const QJsonValue v = oracle.value(QLatin1String(key));
            if (v.isUndefined()) {
                EXPECT_TRUE(ours.isEmpty()) << key << " " << ours.toStdString();
                return;
            }
            EXPECT_NEAR(numberOf(ours, suffix), v.toDouble(), 1e-9 * std::max(1.0, std::fabs(v.toDouble())))
                << key << " " << ours.toStdString();
            ++compared;
        };
        number("ExifIFD:FNumber", e.FNumber);
        number("ExifIFD:ISO", e.ISOSpeedRatings);
        number("ExifIFD:FocalLength", e.FocalLength, " mm");
        number("ExifIFD:DigitalZoomRatio", e.DigitalZoomRatio);

        // Exposure time: the stored fraction, exactly as in the file.
        const RawTag exposure = raw.value(QStringLiteral("IFD0/ExifOffset 0x829a"));
        if (exposure.Raw.isEmpty()) {
            EXPECT_TRUE(e.ExposureTime.isEmpty());
        } else {
            EXPECT_EQ(e.ExposureTime, fractionsOf(exposure.Raw).value(0));
            EXPECT_NEAR(fractionValue(e.ExposureTime),
                oracle.value(QStringLiteral("ExifIFD:ExposureTime")).toDouble(), 1e-9);
            ++compared;
        }

        // Coded values: what exiftool read, through our decoders.
        const auto coded = [&](const char* key, const QString& ours, QString (*decode)(const QString&)) {
            const QJsonValue v = oracle.value(QLatin1String(key));
            EXPECT_EQ(ours, v.isUndefined() ? QString() : decode(QString::number(v.toInteger()))) << key;
            ++compared;
        };
        coded("ExifIFD:Flash", e.Flash, &TExifSection::DecodeFlash);
        coded("ExifIFD:MeteringMode", e.MeteringMode, &TExifSection::DecodeMeteringMode);
        coded("ExifIFD:ExposureProgram", e.ExposureProgram, &TExifSection::DecodeExposureProgram);
        coded("ExifIFD:LightSource", e.LightSource, &TExifSection::DecodeLightSource);
        coded("ExifIFD:ColorSpace", e.ColorSpace, &TExifSection::DecodeColorSpace);
        coded("ExifIFD:SensitivityType", e.SensitivityType, &TExifSection::DecodeSensitivityType);

        const RawTag components = raw.value(QStringLiteral("IFD0/ExifOffset 0x9101"));
        if (!components.Raw.isEmpty()) {
            EXPECT_EQ(e.ComponentsConfiguration,
                TExifSection::DecodeComponentsConfiguration(components.Raw.split(u' ').join(u';')));
        }
        const RawTag lensSpec = raw.value(QStringLiteral("IFD0/ExifOffset 0xa432"));
        if (!lensSpec.Raw.isEmpty()) {
            QStringList values;
            for (const QString& f : fractionsOf(lensSpec.Raw))
                values << GeneralNumber(fractionValue(f));
            EXPECT_EQ(e.LensSpecification, values.join(u';'));
        }
    }
    EXPECT_GT(compared, 250);
}

TEST(ExifFixtures, GpsPositionAgreesWithExiftool)
{
    LocaleGuard german(QLocale::German);
    for (const QString& jpg :
        { QStringLiteral("nikon_p6000_gps.jpg"), QStringLiteral("olympus_tg-830_gps.jpg") }) {
        SCOPED_TRACE(jpg.toStdString());
        const QJsonObject oracle = oracleJson(jpg);
        TExif exif;
        ASSERT_TRUE(exif.LoadFromFile(lumivar::test::fixturePath(QStringLiteral("exif/") + jpg)));
        const TGpsSection& g = exif.ExifData().GpsSection;
        const auto coordinate = [&](const char* key, const QString& ours) {
            const QJsonValue v = oracle.value(QLatin1String(key));
            if (!v.isDouble()) {
                EXPECT_TRUE(ours.isEmpty()) << key;
                return;
            }
            ASSERT_TRUE(ours.endsWith(QStringLiteral("°"))) << ours.toStdString();
            EXPECT_NEAR(numberOf(ours, "°"), v.toDouble(), 0.6e-6) << key;
        };
        coordinate("GPS:GPSLatitude", g.Latitude);
        coordinate("GPS:GPSLongitude", g.Longitude);
        EXPECT_EQ(
            g.VersionID, oracle.value(QStringLiteral("GPS:GPSVersionID")).toString().replace(u' ', u'.'));
        const QString status = oracle.value(QStringLiteral("GPS:GPSStatus")).toString();
        EXPECT_EQ(
            g.Status, status == QLatin1String("V") ? QStringLiteral("Messung Interoperabilität") : status);
    }
    TExif nikon;
    ASSERT_TRUE(nikon.LoadFromFile(lumivar::test::fixturePath(QStringLiteral("exif/nikon_p6000_gps.jpg"))));
    const TGpsSection& g = nikon.ExifData().GpsSection;
    EXPECT_EQ(g.Latitude, QStringLiteral("43,467448°"));
    EXPECT_EQ(g.LatitudeRef, QStringLiteral("Nord"));
    EXPECT_EQ(g.Longitude, QStringLiteral("11,885127°"));
    EXPECT_EQ(g.LongitudeRef, QStringLiteral("Ost"));
    EXPECT_EQ(g.AltitudeRef, QStringLiteral("Höhe über NN"));
    EXPECT_EQ(g.TimeStamp, QStringLiteral("14;27;7,24"));
    EXPECT_EQ(g.Satellites, QStringLiteral("06"));
    // Another maker's note: the standard tags stay.
    EXPECT_FALSE(nikon.MakerNoteRead());
    EXPECT_EQ(nikon.ExifData().CameraModel, QStringLiteral("COOLPIX P6000"));
}

TEST(ExifFixtures, BigEndianFilesReadAsWellAsTheOthers)
{
    LocaleGuard german(QLocale::German);
    TExif e420;
    ASSERT_TRUE(e420.LoadFromFile(
        lumivar::test::fixturePath(QStringLiteral("exif/olympus_e-420_mm-tiff_olympus-master.jpg"))));
    const TExifData& d = e420.ExifData();
    EXPECT_EQ(d.CameraModel, QStringLiteral("E-420"));
    EXPECT_EQ(d.ExifSection.Flash, QStringLiteral("Blitz nicht ausgelöst, Automatik"));
    EXPECT_FALSE(d.ExifSection.ExposureTime.isEmpty());

    TExif e10;
    ASSERT_TRUE(
        e10.LoadFromFile(lumivar::test::fixturePath(QStringLiteral("exif/olympus_e-10_mm_old-mn.jpg"))));
    EXPECT_EQ(e10.ExifData().CameraModel, QStringLiteral("E-10"));
    // An older Olympus maker note is not ours; the standard tags are still there.
    EXPECT_FALSE(e10.MakerNoteRead());
    EXPECT_FALSE(e10.ExifData().ExifSection.FNumber.isEmpty());
}

TEST(ExifFixtures, ThePenE3ReadsAsAPersonWouldSayIt)
{
    LocaleGuard german(QLocale::German);
    TExif exif;
    ASSERT_TRUE(exif.LoadFromFile(lumivar::test::fixturePath(QStringLiteral("exif/olympus_e-p3.jpg"))));
    const TExifSection& e = exif.ExifData().ExifSection;
    EXPECT_EQ(exif.ExifData().CameraModel, QStringLiteral("E-P3"));
    EXPECT_EQ(e.ExposureTime, QStringLiteral("1/60"));
    EXPECT_EQ(e.FNumber, QStringLiteral("1,8"));
    EXPECT_EQ(e.ISOSpeedRatings, QStringLiteral("1600"));
    EXPECT_EQ(e.FocalLength, QStringLiteral("17 mm"));
    EXPECT_EQ(e.ExposureProgram, QStringLiteral("P"));
    // The APEX value as stored (exiftool shows it converted to an f-number, 1.8).
    EXPECT_EQ(e.MaxApertureValue, QStringLiteral("1,7"));
    EXPECT_EQ(e.ExposureBiasValue, QStringLiteral("0 EV"));
    EXPECT_EQ(e.ComponentsConfiguration, QStringLiteral("Y, Cb, Cr, -"));
    EXPECT_EQ(e.WhiteBalance, QStringLiteral("Manuell"));
    EXPECT_EQ(e.ExifVersion, QStringLiteral("0221"));
}

TEST(ExifFixtures, FocusFrameAndRowsFollowTheOracle)
{
    LocaleGuard german(QLocale::German);
    int frames = 0;
    for (const QString& jpg : fixtureJpegs()) {
        SCOPED_TRACE(jpg.toStdString());
        const QJsonObject oracle = oracleJson(jpg);
        QList<TExifRowSection> list;
        TExifRect frame;
        QList<TExifRect> faces;
        TExifReader::Fill(list, lumivar::test::fixturePath(QStringLiteral("exif/") + jpg), frame, faces);

        // The frame from exiftool's numbers: the first non-zero AF area gives the size (its two highest
        // bytes), the selected AF point (fractions of the picture) the centre.
        TExifRect expected;
        const QStringList point
            = oracle.value(QStringLiteral("Olympus:AFPointSelected")).toString().split(u' ');
        quint32 area = 0;
        for (const QString& item : oracle.value(QStringLiteral("Olympus:AFAreas")).toString().split(u' ')) {
            area = item.toUInt();
            if (area != 0)
                break;
        }
        bool numeric = point.size() == 4;
        const double fx = point.value(0).toDouble(&numeric);
        const double fy = point.value(1).toDouble();
        if (area != 0 && numeric) {
            const int a = int(area >> 24);
            const int b = int((area >> 16) & 0xFF);
            const int x1
                = int(std::nearbyint(fx * oracle.value(QStringLiteral("ExifIFD:ExifImageWidth")).toDouble()));
            const int y1 = int(
                std::nearbyint(fy * oracle.value(QStringLiteral("ExifIFD:ExifImageHeight")).toDouble()));
            expected = { x1 - a / 2, y1 - b / 2, x1 - a / 2 + a, y1 - b / 2 + b };
            ++frames;
        }
        EXPECT_EQ(frame, expected);
    }
    EXPECT_GE(frames, 3);

    QList<TExifRowSection> list;
    TExifRect frame;
    QList<TExifRect> faces;
    TExifReader::Fill(
        list, lumivar::test::fixturePath(QStringLiteral("exif/olympus_e-p3.jpg")), frame, faces);
    ASSERT_EQ(list.size(), 4);
    const auto value = [&list](const char* caption) {
        for (const TExifRowSection& section : list) {
            for (const TExifRow& row : section.Rows) {
                if (row.Caption == QString::fromUtf8(caption))
                    return row.Value;
            }
        }
        return QStringLiteral("<missing>");
    };
    EXPECT_EQ(value("Kamera"), QStringLiteral("E-P3 (B9U505495)"));
    EXPECT_EQ(value("Objektiv"), QStringLiteral("OLYMPUS M.17mm F1.8 (AC1205545)"));
    EXPECT_EQ(value("Verschlusszeit"), QStringLiteral("1/60"));
    EXPECT_EQ(value("Blende"), QStringLiteral("1,8"));
    EXPECT_EQ(value("ISO-Empfindlichkeit"), QStringLiteral("1600"));
    EXPECT_EQ(value("Auflösung"), QStringLiteral("1280 x 960"));
    EXPECT_EQ(value("Blitz"), QStringLiteral("Blitz nicht ausgelöst, Automatik"));
    EXPECT_EQ(value("Höhe"), QStringLiteral(" ()"));
}

// The compensation row shows what the photographer dialled (the EXIF exposure bias); the maker
// note's exposure shift, a different setting, has a row of its own only where the camera wrote one.
TEST(ExifFixtures, CompensationRowShowsTheExposureBiasAndTheShiftStandsApart)
{
    LocaleGuard german(QLocale::German);
    TNamedTexts::ResetToDefaults();
    struct Case
    {
        const char* file;
        const char* bias;
        bool shift;
    };
    for (const Case& c : { Case { "olympus_s760.jpg", "0,7 EV", false },
             Case { "olympus_e-m5iii_exv-derived.jpg", "-0,7 EV", true } }) {
        SCOPED_TRACE(c.file);
        QList<TExifRowSection> list;
        TExifRect frame;
        QList<TExifRect> faces;
        TExifReader::Fill(list, lumivar::test::fixturePath(QStringLiteral("exif/") + c.file), frame, faces);
        QHash<QString, QString> rows;
        for (const TExifRowSection& section : list)
            for (const TExifRow& row : section.Rows)
                rows.insert(row.Caption, row.Value);
        EXPECT_EQ(rows.value(QStringLiteral("Belichtungskorrektur")), QString::fromUtf8(c.bias));
        EXPECT_EQ(rows.contains(QStringLiteral("Belichtungsverschiebung")), c.shift);
        if (c.shift) {
            EXPECT_NE(rows.value(QStringLiteral("Belichtungsverschiebung")), QString::fromUtf8(c.bias));
        }
    }
}
