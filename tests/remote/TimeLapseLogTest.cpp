#include "remote/TTimeLapseLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A shot whose files are still loading holds back the lines after it, so the file stays in shot
// order; its last file decides the download result, and a reason with quotes and a comma keeps
// the columns.
TEST(TimeLapseLog, LinesGoOutInShotOrderOnceTheirDownloadIsKnown)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TTimeLapseLog log;
    const QDateTime start(QDate(2026, 12, 11), QTime(14, 0, 5));
    log.Begin(folder.path(), start.toMSecsSinceEpoch());
    EXPECT_EQ(log.FileName(), QDir(folder.path()).filePath(QStringLiteral("timelapse-20261211-140005.csv")));

    TTimeLapseShot first;
    first.Number = 1;
    first.Ok = true;
    first.Files = QStringList { QStringLiteral("P1.JPG"), QStringLiteral("P1.ORF") };
    first.Download = TTimeLapseLog::Pending();
    first.Outstanding = 2;
    TTimeLapseShot second;
    second.Number = 2;
    second.Reason = QStringLiteral("camera said \"busy\", twice");
    second.Download = QStringLiteral("none");
    EXPECT_EQ(log.Add(first), 0);
    EXPECT_EQ(log.Add(second), 1);
    log.Write();
    EXPECT_FALSE(QFileInfo::exists(log.FileName()));
    EXPECT_FALSE(log.Shots().at(1).Written);

    EXPECT_FALSE(log.FileDone(0, QStringLiteral("P1.JPG"), true, {}));
    EXPECT_FALSE(QFileInfo::exists(log.FileName()));
    EXPECT_TRUE(log.FileDone(0, QStringLiteral("P1.ORF"), false, QStringLiteral("gone")));
    const QStringList lines = fileLines(log.FileName());
    ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[0], TTimeLapseLog::CsvHeader());
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("1,"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QLatin1String(",ok,,,,,,P1.JPG P1.ORF,failed: P1.ORF")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QLatin1String(",\"camera said \"\"busy\"\", twice\",,,,,,,none")))
        << lines[2].toStdString();
    EXPECT_TRUE(log.Shots().at(1).Written);

    // A new series starts a new list; without a folder the lines are only kept.
    log.Begin(QString(), start.toMSecsSinceEpoch());
    EXPECT_TRUE(log.Shots().isEmpty());
    EXPECT_TRUE(log.FileName().isEmpty());
    log.Add(second);
    log.Write();
    EXPECT_TRUE(log.Shots().at(0).Written);
}

} // namespace
