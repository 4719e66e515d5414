// When a file in the folder is the camera's file, and where a copy goes when its name is taken.
#include "import/TLocalCopies.h"

#include "base/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDateTime kShot(QDate(2024, 8, 9), QTime(10, 20, 30));

QString makeFile(
    const QTemporaryDir& dir, const QString& name, const QByteArray& bytes, const QDateTime& time)
{
    QFile file(dir.filePath(name));
    // Written out before the time is set, or the close would stamp its own.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
        || !file.setFileTime(time, QFileDevice::FileModificationTime))
        return {};
    return file.fileName();
}

TEST(LocalCopies, SameFileByNameSizeAndTimeWhereTheCopyKnowsIt)
{
    QTemporaryDir dir;
    const QFileInfo copy(makeFile(dir, QStringLiteral("P8090002.JPG"), QByteArray(100, 'x'), kShot));
    ASSERT_TRUE(copy.isFile());
    EXPECT_TRUE(TLocalCopies::IsSameFile(copy, 100, kShot));
    EXPECT_FALSE(TLocalCopies::IsSameFile(copy, 101, kShot));
    EXPECT_TRUE(TLocalCopies::IsSameFile(copy, 100, QDateTime())); // the camera lists no time
    EXPECT_TRUE(TLocalCopies::IsSameFile(copy, 100, kShot.addSecs(-2))); // the card's two seconds
    EXPECT_TRUE(TLocalCopies::IsSameFile(copy, 100, kShot.addSecs(2 * 3600))); // another time zone
    EXPECT_FALSE(TLocalCopies::IsSameFile(copy, 100, kShot.addDays(-365)));
    EXPECT_FALSE(TLocalCopies::IsSameFile(copy, 100, kShot.addSecs(13 * 60)));
    // Stamped with the copier's own moment: its time tells nothing, name and size decide.
    const QFileInfo stamped(makeFile(
        dir, QStringLiteral("P8090003.JPG"), QByteArray(100, 'x'), kShot.addDays(300).addMSecs(437)));
    EXPECT_TRUE(TLocalCopies::IsSameFile(stamped, 100, kShot));
    EXPECT_FALSE(TLocalCopies::IsSameFile(QFileInfo(dir.path()), 0, kShot));
}

TEST(LocalCopies, ATakenNameSendsTheCopyToTheFirstFreeVariantAndIsFoundThere)
{
    EXPECT_EQ(TLocalCopies::Variant(QStringLiteral("P8090002.JPG"), 0), QStringLiteral("P8090002.JPG"));
    EXPECT_EQ(TLocalCopies::Variant(QStringLiteral("P8090002.JPG"), 12), QStringLiteral("P8090002_12.JPG"));
    EXPECT_EQ(TLocalCopies::Variant(QStringLiteral("README"), 1), QStringLiteral("README_1"));
    EXPECT_EQ(TLocalCopies::Variant(QStringLiteral(".hidden"), 1), QStringLiteral(".hidden_1"));

    QTemporaryDir dir;
    const QByteArray camera(64, 'c');
    makeFile(dir, QStringLiteral("P8090002.JPG"), QByteArray(10, 'u'), kShot);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("P8090002_1.JPG")));
    EXPECT_TRUE(TLocalCopies::FindCopy(dir.path(), QStringLiteral("P8090002.JPG"), 64, kShot).isEmpty());

    const QString first = makeFile(dir, QStringLiteral("download.part"), camera, kShot);
    QString why;
    const QString placed
        = TLocalCopies::Place(first, dir.filePath(QStringLiteral("P8090002.JPG")), 64, kShot, &why);
    EXPECT_EQ(placed, dir.filePath(QStringLiteral("P8090002_2.JPG"))) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("P8090002.JPG"))).size(), 10);
    EXPECT_EQ(TLocalCopies::FindCopy(dir.path(), QStringLiteral("P8090002.JPG"), 64, kShot), placed);

    // The same file again takes the place of its own copy, not a new name.
    const QString again = makeFile(dir, QStringLiteral("again.part"), camera, kShot);
    EXPECT_EQ(TLocalCopies::Place(again, dir.filePath(QStringLiteral("P8090002.JPG")), 64, kShot), placed);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3);

    // Names that would leave the folder are never looked up.
    EXPECT_TRUE(TLocalCopies::FindCopy(dir.path(), QStringLiteral("../P8090002.JPG"), 64, kShot).isEmpty());
    EXPECT_TRUE(TLocalCopies::FindCopy(QString(), QStringLiteral("P8090002.JPG"), 64, kShot).isEmpty());
}

} // namespace
