// lumivar-cli exif: the text and the JSON show the same list, the JSON stays one valid document
// however many files it holds, and --all adds the reader's named properties.
#include "CliRunner.h"
#include "common/TestPaths.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef LUMIVAR_CLI_PATH

namespace {

using lumivar::test::CliRun;

CliRun exif(const QString& config, const QStringList& arguments)
{
    return lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), QStringLiteral("127.0.0.1:9"), config,
        QStringList { QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("exif") } + arguments,
        "[General]\n");
}

} // namespace

TEST(ExifCli, JsonHoldsTheTextsRowsAndStaysOneDocumentPastItsWriteChunks)
{
    const QDir fixtures(lumivar::test::fixturePath(QStringLiteral("exif")));
    const QStringList names = fixtures.entryList({ QStringLiteral("*.jpg") }, QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 10);
    const QString s760 = fixtures.filePath(QStringLiteral("olympus_s760.jpg"));
    ASSERT_TRUE(QFileInfo::exists(s760));
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());

    const CliRun text = exif(config.path(), { s760 });
    const CliRun json = exif(config.path(), { QStringLiteral("--json"), s760 });
    ASSERT_EQ(text.exitCode, 0) << text.err.constData();
    ASSERT_EQ(json.exitCode, 0) << json.err.constData();
    const QJsonObject file = json.document().array().first().toObject();
    EXPECT_FALSE(file.contains(QStringLiteral("properties")));
    // The text pads every caption to the longest one.
    QList<QPair<QString, QString>> rows;
    qsizetype width = 0;
    for (const QJsonValue& section : file.value(QStringLiteral("sections")).toArray()) {
        EXPECT_TRUE(text.out.contains("\n" + section[QStringLiteral("caption")].toString().toUtf8() + "\n"));
        for (const QJsonValue& row : section[QStringLiteral("rows")].toArray()) {
            rows.append({ row[0].toString(), row[1].toString() });
            width = qMax(width, rows.last().first.size());
        }
    }
    for (const auto& [caption, value] : rows) {
        const QString line
            = QStringLiteral("\n  ") + caption.leftJustified(width) + QStringLiteral("  ") + value + u'\n';
        EXPECT_TRUE(text.out.contains(line.toUtf8())) << line.toStdString();
    }
    EXPECT_GT(rows.size(), 50);

    // Every fixture five times with --all: well over the megabyte after which the array is written out.
    QStringList files;
    for (int i = 0; i < 5; ++i)
        for (const QString& name : names)
            files << fixtures.filePath(name);
    const CliRun all
        = exif(config.path(), QStringList { QStringLiteral("--json"), QStringLiteral("--all") } + files);
    ASSERT_GT(all.out.size(), 1 << 20);
    QJsonParseError error;
    const QJsonArray documents = QJsonDocument::fromJson(all.out, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError)
        << error.errorString().toStdString() << " at " << error.offset;
    ASSERT_EQ(documents.size(), files.size());
    for (qsizetype i = 0; i < files.size(); ++i)
        EXPECT_EQ(documents.at(i)[QStringLiteral("file")].toString(), files.at(i));
    const QJsonObject properties
        = documents.at(names.indexOf(QStringLiteral("olympus_s760.jpg")))[QStringLiteral("properties")]
              .toObject();
    EXPECT_GT(properties.size(), 100);
    EXPECT_FALSE(properties.value(QStringLiteral("ExifSection.FNumber")).toString().isEmpty());
}

#endif
