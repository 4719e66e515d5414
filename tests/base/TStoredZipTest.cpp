#include "base/TStoredZip.h"

#include "QStringPrinter.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zip;

namespace {
QByteArray sampleArchive()
{
    TZipWriter writer;
    EXPECT_TRUE(writer.add(QStringLiteral("commands.xml"), QByteArrayLiteral("<oishare/>")));
    EXPECT_TRUE(writer.add(QStringLiteral("dcim/thumb.jpg"), QByteArray("\xff\xd8\x00\x01\xff\xd9", 6)));
    EXPECT_TRUE(writer.add(QStringLiteral("empty"), QByteArray()));
    return writer.archive();
}

// Replaces the first occurrence of a name in the archive bytes (same length, so offsets stay).
QByteArray renamed(QByteArray archive, const QByteArray& from, const QByteArray& to)
{
    qsizetype at = 0;
    while ((at = archive.indexOf(from, at)) >= 0) {
        archive.replace(at, from.size(), to);
        at += to.size();
    }
    return archive;
}
} // namespace

TEST(StoredZip, KnownCrcValues)
{
    EXPECT_EQ(crc32(QByteArray()), 0u);
    EXPECT_EQ(crc32(QByteArrayLiteral("123456789")), 0xCBF43926u);
}

TEST(StoredZip, RoundTripKeepsNamesOrderAndBytes)
{
    TZipReader reader;
    ASSERT_TRUE(reader.read(sampleArchive())) << reader.error().toStdString();
    ASSERT_EQ(reader.entries().size(), 3);
    EXPECT_EQ(reader.entries()[0].name, QStringLiteral("commands.xml"));
    EXPECT_EQ(reader.entries()[1].name, QStringLiteral("dcim/thumb.jpg"));
    EXPECT_EQ(reader.entry(QStringLiteral("dcim/thumb.jpg")), QByteArray("\xff\xd8\x00\x01\xff\xd9", 6));
    EXPECT_TRUE(reader.IsPresent(QStringLiteral("empty")));
    EXPECT_TRUE(reader.entry(QStringLiteral("empty")).isEmpty());
    EXPECT_FALSE(reader.IsPresent(QStringLiteral("missing")));
}

TEST(StoredZip, WriterRefusesNamesOutsideTheRoot)
{
    TZipWriter writer;
    for (const char* bad : { "/etc/passwd", "../x", "a/../../x", "a//b", "", "C:/x", "a\\b", "./a" })
        EXPECT_FALSE(writer.add(QString::fromLatin1(bad), "x")) << bad;
    EXPECT_TRUE(writer.add(QStringLiteral("a/b..c"), "x"));
    EXPECT_FALSE(writer.add(QStringLiteral("a/b..c"), "y")) << "duplicate name";
    EXPECT_EQ(writer.entries().size(), 1);
}

TEST(StoredZip, ReaderRefusesBadArchives)
{
    const QByteArray good = sampleArchive();
    TZipReader reader;

    EXPECT_FALSE(reader.read(QByteArrayLiteral("this is plain text, not an archive at all")));
    EXPECT_FALSE(reader.error().isEmpty());

    for (qsizetype cut : { good.size() - 1, good.size() / 2, qsizetype(10) }) {
        EXPECT_FALSE(reader.read(good.left(cut))) << "cut at " << cut;
        EXPECT_TRUE(reader.entries().isEmpty());
    }

    EXPECT_FALSE(reader.read(renamed(good, "commands.xml", "../comms.xml")));
    EXPECT_FALSE(reader.read(renamed(good, "commands.xml", "/ommands.xml")));
    EXPECT_TRUE(reader.error().contains(QStringLiteral("outside"))) << reader.error().toStdString();

    QByteArray flipped = good;
    flipped[flipped.indexOf("<oishare/>") + 1] = 'X';
    EXPECT_FALSE(reader.read(flipped));
    EXPECT_TRUE(reader.error().contains(QStringLiteral("checksum")));
}

TEST(StoredZip, ArchiveIsReadableByUnzip)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        GTEST_SKIP() << "no unzip on this machine";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("a.zip")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(sampleArchive());
    file.close();
    QProcess proc;
    proc.start(unzip, { QStringLiteral("-t"), file.fileName() });
    ASSERT_TRUE(proc.waitForFinished());
    EXPECT_EQ(proc.exitCode(), 0) << proc.readAll().toStdString();
}
