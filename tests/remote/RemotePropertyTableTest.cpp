// The table of the remote control page's camera properties: which choices each mode makes usable,
// and what a pick asks for afterwards.
#include "remote/RemotePropertyTable.h"

#include "base/TLanguageFile.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace RemotePropertyTable;
using RemoteControlRules::TShootingModes;

namespace {

// The usable choices by name for the program mode and movie mode texts, the camera offering all
// but `missing`.
QStringList usable(const char* program, const char* movie = "P", bool record = true, const char* missing = "")
{
    const QList<bool> enabled = Enabling(record, QString::fromLatin1(program), QString::fromLatin1(movie),
        [missing](const QString& property) { return property != QLatin1String(missing); });
    QStringList names;
    for (std::size_t i = 0; i < Rows().size(); ++i)
        if (enabled.at(qsizetype(i)))
            names << QString::fromLatin1(Rows()[i].Choice);
    return names;
}

} // namespace

TEST(RemotePropertyTableTest, RowsAreDistinctAndCaptionedInEnglish)
{
    TLanguageFile english;
    ASSERT_TRUE(english.Load(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt")));
    QSet<QString> properties;
    QSet<QString> choices;
    for (const TRow& row : Rows()) {
        properties << QString::fromLatin1(row.Property);
        choices << QString::fromLatin1(row.Choice);
        EXPECT_EQ(Find(QString::fromLatin1(row.Property)), &row);
        // A new row's caption needs its English line.
        const QString key
            = QStringLiteral("TfrmMain.fraRemoteControl.%1.Caption").arg(QLatin1String(row.Caption));
        EXPECT_TRUE(english.Texts().contains(key)) << key.toStdString();
        EXPECT_EQ(row.DownButton == nullptr, row.UpButton == nullptr) << row.Property;
    }
    EXPECT_EQ(properties.size(), qsizetype(Rows().size()));
    EXPECT_EQ(choices.size(), qsizetype(Rows().size()));
    EXPECT_EQ(Find(QStringLiteral("colorphase")), nullptr);
    // The shutter speed list runs from long to short: its "-" moves towards the end.
    EXPECT_EQ(Find(QStringLiteral("shutspeedvalue"))->DownStep, 1);
    EXPECT_EQ(Find(QStringLiteral("focalvalue"))->DownStep, -1);
}

TEST(RemotePropertyTableTest, ModesMakeTheirChoicesUsable)
{
    const QStringList always = { QStringLiteral("cbxProgramMode"), QStringLiteral("cbxDriveMode"),
        QStringLiteral("cbxColorTone"), QStringLiteral("cbxMovieQuality"),
        QStringLiteral("cbxDigitalConverter"), QStringLiteral("cbxLowVibTime"),
        QStringLiteral("cbxBulbTimeLimit"), QStringLiteral("cbxNoiseReduction") };
    const auto with = [&always](QStringList more) {
        QStringList names = always;
        names << more;
        return QSet<QString>(names.cbegin(), names.cend());
    };
    const auto set = [](const QStringList& names) { return QSet<QString>(names.cbegin(), names.cend()); };
    EXPECT_EQ(set(usable("M")),
        with({ QStringLiteral("cbxAperture"), QStringLiteral("cbxShutterSpeed"),
            QStringLiteral("cbxISOSensitivity"), QStringLiteral("cbxWhiteBalance") }));
    EXPECT_EQ(set(usable("iAuto")), with({}));
    // The art filter list only with "ART", the movie list only with "Movie", where the movie's own
    // exposure mode decides the others.
    EXPECT_EQ(set(usable("ART")), with({ QStringLiteral("cbxArtFilter") }));
    EXPECT_EQ(set(usable("Movie", "S")),
        with({ QStringLiteral("cbxMovieProgramMode"), QStringLiteral("cbxShutterSpeed"),
            QStringLiteral("cbxExposureCompensation"), QStringLiteral("cbxISOSensitivity"),
            QStringLiteral("cbxWhiteBalance") }));
    // Without a usable program mode neither list beside it shows.
    EXPECT_FALSE(usable("ART", "P", true, "takemode").contains(QStringLiteral("cbxArtFilter")));
    EXPECT_FALSE(usable("Movie", "P", true, "takemode").contains(QStringLiteral("cbxMovieProgramMode")));
    EXPECT_FALSE(usable("M", "P", true, "focalvalue").contains(QStringLiteral("cbxAperture")));
    // Outside remote record mode nothing is usable.
    EXPECT_TRUE(usable("M", "P", false).isEmpty());
}

TEST(RemotePropertyTableTest, PicksAskForWhatFollows)
{
    const TShootingModes normal;
    TShootingModes bulb;
    bulb.LiveBulb = true;
    TShootingModes time;
    time.LiveTime = true;
    const TRow& speed = *Find(QStringLiteral("shutspeedvalue"));
    // Only a switch into or out of a long exposure reads the camera again.
    EXPECT_FALSE(FollowUp(speed, normal, normal).ReloadAll);
    EXPECT_TRUE(FollowUp(speed, normal, bulb).ReloadAll);
    EXPECT_TRUE(FollowUp(speed, time, normal).ReloadAll);
    EXPECT_TRUE(FollowUp(speed, bulb, time).ReloadAll);
    for (const char* mode : { "takemode", "artfilter", "exposemovie" })
        EXPECT_TRUE(FollowUp(*Find(QString::fromLatin1(mode)), normal, normal).ReloadAll) << mode;
    const TFollowUp drive = FollowUp(*Find(QStringLiteral("drivemode")), normal, normal);
    EXPECT_TRUE(drive.DriveModes);
    EXPECT_FALSE(drive.ReloadAll);
    EXPECT_TRUE(FollowUp(*Find(QStringLiteral("qualitymovie")), normal, normal).MovieQuality);
    const TFollowUp aperture = FollowUp(*Find(QStringLiteral("focalvalue")), normal, bulb);
    EXPECT_FALSE(aperture.ReloadAll || aperture.DriveModes || aperture.MovieQuality);
}
