#include "base/TSetup.h"

#include "QStringPrinter.h"
#include "common/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList args(std::initializer_list<QString> rest)
{
    QStringList list { QStringLiteral("/usr/bin/lumivar") };
    list.append(QStringList(rest));
    return list;
}

class TSetupStore : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString storePath() const { return m_dir.filePath(QStringLiteral("Lumivar.ini")); }
    void writeStore(const QByteArray& content) const
    {
        QFile file(storePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray storeContent() const
    {
        QFile file(storePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST(TSetupSwitches, NoArgumentsKeepInitialValues)
{
    for (const QStringList& arguments : { QStringList(), args({}) }) {
        TSetup setup(arguments);
        EXPECT_FALSE(setup.DebugMode);
        EXPECT_TRUE(setup.TempDir.isEmpty());
        EXPECT_FALSE(setup.LvAsTake);
        EXPECT_TRUE(setup.UseJpegDec);
        EXPECT_FALSE(setup.DetailedLog);
        EXPECT_TRUE(setup.CameraHostOverride.isEmpty());
    }
}

TEST(TSetupSwitches, EachSwitchSetsItsField)
{
    TSetup setup(args({ "/detailedLog", "/noJpegDec", "/lvAsTake", "/debugMode", "/debugMode" }));
    EXPECT_TRUE(setup.DebugMode);
    EXPECT_TRUE(setup.LvAsTake);
    EXPECT_FALSE(setup.UseJpegDec);
    EXPECT_TRUE(setup.DetailedLog);
}

TEST(TSetupSwitches, ComparedCaseSensitivelyAndWhole)
{
    TSetup setup(args({ "/DEBUGMODE", "/debugmode", "debugMode", "-debugMode", "/debugMode=1", " /debugMode",
        "/lvAsTake ", "/NoJpegDec", "/detailedlog" }));
    EXPECT_FALSE(setup.DebugMode);
    EXPECT_FALSE(setup.LvAsTake);
    EXPECT_TRUE(setup.UseJpegDec);
    EXPECT_FALSE(setup.DetailedLog);
}

TEST(TSetupSwitches, TempDirNeedsAnExistingFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = QDir::cleanPath(dir.path()); // without trailing '/'
    QFile file(dir.filePath(QStringLiteral("plain.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_TRUE(TSetup(args({ "/tempDir" })).TempDir.isEmpty());
    EXPECT_TRUE(TSetup(args({ "/tempDir", folder + "/missing" })).TempDir.isEmpty());
    EXPECT_TRUE(TSetup(args({ "/tempDir", file.fileName() })).TempDir.isEmpty());
    EXPECT_TRUE(TSetup(args({ "/tempDir", "" })).TempDir.isEmpty());

    EXPECT_EQ(TSetup(args({ "/tempDir", folder })).TempDir, folder + "/");
    EXPECT_EQ(TSetup(args({ "/tempDir", folder + "/" })).TempDir, folder + "/");
}

TEST(TSetupSwitches, ValueArgumentsAreExaminedAsArgumentsToo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A switch right after /tempDir is not swallowed as its folder.
    TSetup first(args({ "/tempDir", "/debugMode", "/cameraHost", "/lvAsTake" }));
    EXPECT_TRUE(first.TempDir.isEmpty());
    EXPECT_TRUE(first.DebugMode);
    EXPECT_TRUE(first.CameraHostOverride.isEmpty());
    EXPECT_TRUE(first.LvAsTake);

    TSetup second(args({ "/tempDir", dir.path(), "/noJpegDec" }));
    EXPECT_EQ(second.TempDir, dir.path() + "/");
    EXPECT_FALSE(second.UseJpegDec);
}

TEST(TSetupSwitches, CameraHostAcceptsHostNamesAndAddressesWithPort)
{
    const QList<QPair<QString, QString>> valid {
        { "127.0.0.1:8080", "127.0.0.1:8080" }, { "localhost", "localhost" },
        { "cam-1.local:80", "cam-1.local:80" }, { "192.168.0.10", "192.168.0.10" },
        { "192.168.000.010:65535", "192.168.0.10:65535" }, // decimal, never octal
    };
    for (const auto& [argument, host] : valid) {
        TSetup setup(args({ "/cameraHost", argument }));
        EXPECT_EQ(setup.CameraHostOverride, host) << argument.toStdString();
        EXPECT_EQ(setup.GetCameraHost(), host);
    }
}

TEST(TSetupSwitches, CameraHostIgnoresInvalidValues)
{
    const QStringList invalid { "", "host:0", "host:65536", "host:", ":80", "host:8x", "host:+80",
        "999.1.1.1", "1.2.3", "1.2.3.4.5", "0x7f.1", "-bad", "bad-", "a b", "http://x", "[::1]:80", "a..b",
        "host:80:90", "a_b", QString(64, 'a') };
    for (const QString& argument : invalid) {
        TSetup setup(args({ "/cameraHost", argument }));
        EXPECT_TRUE(setup.CameraHostOverride.isEmpty()) << argument.toStdString();
        EXPECT_EQ(setup.GetCameraHost(), TSetup::DefaultCameraHost());
    }
    EXPECT_TRUE(TSetup(args({ "/cameraHost" })).CameraHostOverride.isEmpty());
}

TEST(TSetupCameraHost, OverrideFirstThenCameraIPThenDefault)
{
    EXPECT_EQ(TSetup::DefaultCameraHost(), "oishare");

    TSetup setup;
    setup.SetCameraIP(QStringLiteral("192.168.0.10"));
    EXPECT_EQ(setup.GetCameraHost(), "oishare"); // UseCameraIP is off
    setup.UseCameraIP = true;
    EXPECT_EQ(setup.GetCameraHost(), "192.168.0.10");
    setup.CameraHostOverride = QStringLiteral("127.0.0.1:9000");
    EXPECT_EQ(setup.GetCameraHost(), "127.0.0.1:9000");
}

TEST(TSetupCameraHost, CameraIPMustBeInsideTheCameraRange)
{
    TSetup setup;
    setup.UseCameraIP = true;
    setup.SetCameraIP(QStringLiteral("  192.168.1.20\t"));
    EXPECT_EQ(setup.CameraIP, "192.168.1.20");
    EXPECT_EQ(setup.GetCameraHost(), "192.168.1.20");

    setup.SetCameraIP(QStringLiteral("192.168.000.010"));
    EXPECT_EQ(setup.CameraIP, "192.168.000.010"); // kept as entered
    EXPECT_EQ(setup.GetCameraHost(), "192.168.0.10"); // but addressed in decimal

    const QStringList invalid { "10.0.0.1", "172.16.0.1", "192.169.0.1", "oishare", "192.168.256.1",
        "192.168.1.256", "192.168.1", "192.168.1.1.1", "192.168.1.1 x", "192.168.1.1234", "192.168..1",
        "192.168.1.-1", "192.168.1.1:80", QString::fromUtf8("192.168.\u0661.1") };
    for (const QString& text : invalid) {
        setup.SetCameraIP(QStringLiteral("192.168.1.20"));
        setup.SetCameraIP(text);
        EXPECT_TRUE(setup.CameraIP.isEmpty()) << text.toStdString();
        EXPECT_EQ(setup.GetCameraHost(), "oishare");
    }
}

TEST(TSetupDownloadDirectory, TrailingDelimiterAndBlanks)
{
    TSetup setup;
    setup.DownloadDirectory = QStringLiteral("   ");
    EXPECT_TRUE(setup.GetDownloadDirectory().isEmpty());
    setup.DownloadDirectory = QStringLiteral("/data/photos");
    EXPECT_EQ(setup.GetDownloadDirectory(), "/data/photos/");
    setup.DownloadDirectory = QStringLiteral("/data/photos/");
    EXPECT_EQ(setup.GetDownloadDirectory(), "/data/photos/");

    setup.SetDownloadDirectory(QStringLiteral("/data/import"));
    EXPECT_EQ(setup.DownloadDirectory, "/data/import/");
    setup.SetDownloadDirectory(QStringLiteral(" \t "));
    EXPECT_TRUE(setup.DownloadDirectory.isEmpty());
}

TEST_F(TSetupStore, EmptyStoreGivesDefaultsAndCreatesNothing)
{
    TSetup setup;
    setup.SetStoreFile(storePath());
    setup.LanguageId = 7;
    setup.LiveViewPort = 1;
    setup.UseInternalViewer = false;
    setup.WLanAutoConnect = true;
    setup.LiveViewSize = QStringLiteral("1280x0960");
    setup.Load();

    EXPECT_EQ(setup.LanguageId, 1031u);
    EXPECT_EQ(setup.LiveViewPort, 28488);
    EXPECT_EQ(setup.LiveViewSize, "0640x0480");
    EXPECT_EQ(setup.GridLinesColor, 0xC0C0C0u);
    EXPECT_EQ(setup.GridLines, 0);
    EXPECT_TRUE(setup.UseInternalViewer);
    EXPECT_TRUE(setup.LiveViewThreaded);
    for (bool flag : { setup.AutoDownload, setup.AutoPreview, setup.WLanAutoConnect, setup.SyncDataTime,
             setup.SaveFilter, setup.UseCameraIP, setup.LiveStreamHistogramOn, setup.AutoView })
        EXPECT_FALSE(flag);
    for (const QString& text : { setup.DownloadDirectory, setup.CameraWLanName, setup.CameraWLanSSID,
             setup.HomeWLanName, setup.HomeWLanSSID, setup.LiveImportFilter, setup.CameraIP })
        EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(QFile::exists(storePath()));
}

TEST_F(TSetupStore, AbsentValuesKeepTheInMemoryValueOfSomeFields)
{
    TSetup setup;
    setup.SetStoreFile(storePath());
    setup.DownloadDirectory = QStringLiteral("/photos/");
    setup.AutoDownload = true;
    setup.AutoPreview = true;
    setup.CameraWLanName = QStringLiteral("cam profile");
    setup.CameraWLanSSID = QStringLiteral("E-M10-P-1");
    setup.HomeWLanName = QStringLiteral("home profile");
    setup.HomeWLanSSID = QStringLiteral("home");
    setup.SetCameraIP(QStringLiteral("192.168.0.10"));
    setup.LiveImportFilter = QStringLiteral("*.ORF");
    setup.SyncDataTime = true;
    writeStore("[General]\nLanguageId=1033\n");
    setup.Load();

    EXPECT_EQ(setup.DownloadDirectory, "/photos/");
    EXPECT_TRUE(setup.AutoDownload);
    EXPECT_TRUE(setup.AutoPreview);
    EXPECT_EQ(setup.CameraWLanName, "cam profile");
    EXPECT_EQ(setup.CameraWLanSSID, "E-M10-P-1");
    EXPECT_EQ(setup.HomeWLanName, "home profile");
    EXPECT_EQ(setup.HomeWLanSSID, "home");
    EXPECT_EQ(setup.CameraIP, "192.168.0.10");
    EXPECT_EQ(setup.LiveImportFilter, "*.ORF");
    EXPECT_FALSE(setup.SyncDataTime); // has a default, so it takes it
    EXPECT_EQ(setup.LanguageId, 1033u);
}

TEST_F(TSetupStore, SaveAndLoadRoundTrip)
{
    QTemporaryDir tempDir;
    TSetup saved(args({ "/debugMode", "/tempDir", tempDir.path(), "/lvAsTake", "/noJpegDec", "/detailedLog",
        "/cameraHost", "127.0.0.1:1234" }));
    saved.SetStoreFile(storePath());
    saved.DownloadDirectory = QStringLiteral("/home/anna/Bilder/Kamera/");
    saved.AutoDownload = true;
    saved.AutoPreview = true;
    saved.CameraWLanName = QStringLiteral("E-M10, Profil");
    saved.CameraWLanSSID = QStringLiteral("E-M10-P-BHK");
    saved.HomeWLanName = QStringLiteral("Zuhause");
    saved.HomeWLanSSID = QStringLiteral("FRITZ!Box 7590 \"ÄÖÜ\"");
    saved.WLanAutoConnect = true;
    saved.SyncDataTime = true;
    saved.SaveFilter = true;
    saved.LiveImportFilter = QStringLiteral("*.jpg, *.orf");
    saved.UseCameraIP = true;
    saved.SetCameraIP(QStringLiteral("192.168.0.10"));
    saved.LanguageId = 1033;
    saved.UseInternalViewer = false;
    saved.LiveStreamHistogramOn = true;
    saved.AutoView = true;
    saved.GridLines = 255;
    saved.GridLinesColor = 0x00FFFFFF;
    saved.LiveViewSize = QStringLiteral("1280x0960");
    saved.LiveViewPort = 65535;
    saved.LiveViewThreaded = false;
    saved.Save();

    TSetup loaded;
    loaded.SetStoreFile(storePath());
    loaded.Load();
    EXPECT_EQ(loaded.DownloadDirectory, saved.DownloadDirectory);
    EXPECT_TRUE(loaded.AutoDownload);
    EXPECT_TRUE(loaded.AutoPreview);
    EXPECT_EQ(loaded.CameraWLanName, saved.CameraWLanName);
    EXPECT_EQ(loaded.CameraWLanSSID, saved.CameraWLanSSID);
    EXPECT_EQ(loaded.HomeWLanName, saved.HomeWLanName);
    EXPECT_EQ(loaded.HomeWLanSSID, saved.HomeWLanSSID);
    EXPECT_TRUE(loaded.WLanAutoConnect);
    EXPECT_TRUE(loaded.SyncDataTime);
    EXPECT_TRUE(loaded.SaveFilter);
    EXPECT_EQ(loaded.LiveImportFilter, saved.LiveImportFilter);
    EXPECT_TRUE(loaded.UseCameraIP);
    EXPECT_EQ(loaded.CameraIP, "192.168.0.10");
    EXPECT_EQ(loaded.LanguageId, 1033u);
    EXPECT_FALSE(loaded.UseInternalViewer);
    EXPECT_TRUE(loaded.LiveStreamHistogramOn);
    EXPECT_TRUE(loaded.AutoView);
    EXPECT_EQ(loaded.GridLines, 255);
    EXPECT_EQ(loaded.GridLinesColor, 0x00FFFFFFu);
    EXPECT_EQ(loaded.LiveViewSize, "1280x0960");
    EXPECT_EQ(loaded.LiveViewPort, 65535);
    EXPECT_FALSE(loaded.LiveViewThreaded);

    // The layout other tools see: value names, the filter in its own group, flags as 0/1.
    QSettings raw(storePath(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Filter/LiveImport").toString(), saved.LiveImportFilter);
    EXPECT_EQ(raw.value("AutoDownload").toString(), "1");
    EXPECT_EQ(raw.value("UseInternalViewer").toString(), "0");
    EXPECT_EQ(raw.value("LiveViewPort").toString(), "65535");
    const QByteArray content = storeContent();
    for (const char* never : { "DebugMode", "TempDir", "LvAsTake", "UseJpegDec", "DetailedLog", "127.0.0.1" })
        EXPECT_FALSE(content.contains(never)) << never;
}

TEST_F(TSetupStore, LoadDiscardsUnsavedChanges)
{
    TSetup setup;
    setup.SetStoreFile(storePath());
    setup.LiveViewSize = QStringLiteral("0320x0240");
    setup.GridLines = 2;
    setup.Save();
    setup.LiveViewSize = QStringLiteral("1024x0768");
    setup.GridLines = 3;
    setup.Load();
    EXPECT_EQ(setup.LiveViewSize, "0320x0240");
    EXPECT_EQ(setup.GridLines, 2);
}

TEST_F(TSetupStore, WrongTypesAndRangesFallBack)
{
    writeStore("[General]\n"
               "LiveViewPort=abc\n"
               "GridLines=300\n"
               "LanguageId=-5\n"
               "GridLinesColor=0xFF\n"
               "UseInternalViewer=maybe\n"
               "LiveViewThreaded=\n"
               "AutoDownload=garbage\n"
               "WLanAutoConnect=true\n"
               "SyncDataTime=1\n"
               "SaveFilter=FALSE\n"
               "UseCameraIP=7\n"
               "AutoView=1.5\n"
               "CameraIP=10.0.0.1\n"
               "LiveViewSize=@ByteArray(\\x1\\x2)\n");
    TSetup setup;
    setup.SetStoreFile(storePath());
    setup.AutoDownload = true;
    setup.SaveFilter = true;
    setup.LiveViewSize = QStringLiteral("1280x0960");
    setup.Load();

    EXPECT_EQ(setup.LiveViewPort, 28488);
    EXPECT_EQ(setup.GridLines, 0);
    EXPECT_EQ(setup.LanguageId, 1031u);
    EXPECT_EQ(setup.GridLinesColor, 0xC0C0C0u);
    EXPECT_TRUE(setup.UseInternalViewer);
    EXPECT_TRUE(setup.LiveViewThreaded);
    EXPECT_TRUE(setup.AutoDownload); // no default: garbage leaves it as it was
    EXPECT_TRUE(setup.WLanAutoConnect);
    EXPECT_TRUE(setup.SyncDataTime);
    EXPECT_FALSE(setup.SaveFilter);
    EXPECT_TRUE(setup.UseCameraIP); // any non-zero number is true
    EXPECT_FALSE(setup.AutoView);
    EXPECT_TRUE(setup.CameraIP.isEmpty());
    EXPECT_EQ(setup.LiveViewSize, "0640x0480");

    for (const char* port : { "99999", "-1", "0", "65536", "4294967296" }) {
        writeStore(QByteArray("[General]\nLiveViewPort=") + port + "\n");
        setup.LiveViewPort = 1;
        setup.Load();
        EXPECT_EQ(setup.LiveViewPort, 28488) << port;
    }
}

TEST_F(TSetupStore, DamagedStoresGiveDefaultsAndOneLogLine)
{
    const auto settingsLines
        = [](const lumivar::test::LogCapture& log) { return log.all().count(QStringLiteral("Settings: ")); };
    const auto expectDefaults = [](const TSetup& setup, const char* what) {
        EXPECT_EQ(setup.LiveViewPort, 28488) << what;
        EXPECT_EQ(setup.LanguageId, 1031u) << what;
        EXPECT_EQ(setup.GridLinesColor, 0xC0C0C0u) << what;
        EXPECT_EQ(setup.LiveViewSize, "0640x0480") << what;
        EXPECT_TRUE(setup.UseInternalViewer) << what;
        EXPECT_TRUE(setup.CameraIP.isEmpty()) << what;
    };

    // Every value of the wrong type: each falls back, and one line names them all.
    {
        lumivar::test::LogCapture log;
        writeStore("[General]\n"
                   "LiveViewPort=@Rect(1 2 3 4)\n"
                   "LanguageId=@ByteArray(\\x1)\n"
                   "GridLinesColor=a,b\n"
                   "LiveViewSize=@Point(5 6)\n"
                   "UseInternalViewer=@Size(3 4)\n"
                   "CameraIP=@Point(1 2)\n");
        TSetup setup;
        setup.SetStoreFile(storePath());
        setup.Load();
        expectDefaults(setup, "wrong types");
        EXPECT_EQ(settingsLines(log), 1) << log.all().toStdString();
        for (const char* name : { "LiveViewPort", "LanguageId", "GridLinesColor", "UseInternalViewer" })
            EXPECT_TRUE(log.contains(QString::fromLatin1(name))) << name << log.all().toStdString();
    }
    // A file cut in the middle of a line, and one of binary garbage: defaults, no crash.
    const QByteArray cut("[General]\nLiveViewPort=28\nLanguageId=10");
    QByteArray garbage(2048, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 151 + 17) % 256);
    for (const QByteArray& content : { cut.left(cut.size() - 25), garbage, QByteArray("[General") }) {
        writeStore(content);
        TSetup setup;
        setup.SetStoreFile(storePath());
        setup.Load();
        expectDefaults(setup, content.left(20).constData());
    }
    // A serialized value whose length field promises gigabytes: never decoded, the store is refused.
    {
        lumivar::test::LogCapture log;
        writeStore("[General]\nLiveViewPort=4711\nCameraIP=@Variant(\\0\\0\\0\\n\\x7f\\xff\\xff\\xf0)\n"
                   "LanguageId=@Date\\\n  Time(\\0\\0\\0\\x1)\n");
        TSetup setup;
        setup.SetStoreFile(storePath());
        setup.LiveViewPort = 1;
        setup.Load();
        expectDefaults(setup, "serialized value");
        EXPECT_EQ(settingsLines(log), 1) << log.all().toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("cannot be read safely"))) << log.all().toStdString();
    }
    // An intact store says nothing.
    {
        TSetup saved;
        saved.SetStoreFile(storePath());
        QFile::remove(storePath());
        saved.Save();
        lumivar::test::LogCapture log;
        TSetup setup;
        setup.SetStoreFile(storePath());
        setup.Load();
        EXPECT_EQ(settingsLines(log), 0) << log.all().toStdString();
    }
}

TEST_F(TSetupStore, SaveToAnImpossiblePlaceWritesNothing)
{
    writeStore("not a folder");
    TSetup setup;
    setup.SetStoreFile(storePath() + QStringLiteral("/inside/Lumivar.ini"));
    setup.Save(); // must neither crash nor report
    setup.Load();
    EXPECT_EQ(setup.LanguageId, 1031u);
    EXPECT_EQ(storeContent(), "not a folder");
}
