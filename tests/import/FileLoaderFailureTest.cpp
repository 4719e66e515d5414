// Downloads through the streaming seam, driven by a byte-buffer camera: a file is complete under its
// final name or not there at all, and each failure carries the kind callers decide on.
#include "import/TFileLoaderAction.h"

#include "common/ByteCamera.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using lumivar::test::ByteCamera;

namespace {

QByteArray bytes(qsizetype size, char seed)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(seed + i % 251);
    return data;
}

class FileLoaderFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        fake.answer(QStringLiteral("/DCIM/100OLYMP/P1.JPG"), 200, jpeg);
        fake.answer(QStringLiteral("/DCIM/100OLYMP/P2.ORF"), 200, raw);
        loader.Probe(nullptr);
    }

    TFileLoadTarget target(const QString& name, qint64 size) const
    {
        return { folder.path() + QLatin1Char('/') + name, size, {} };
    }
    bool load(const QString& name, qint64 size, bool wait = true)
    {
        return loader.Load(QStringLiteral("/100OLYMP/") + name, target(name, size), wait);
    }
    // Every entry of the folder, temporary files included.
    QStringList entries() const
    {
        return QDir(folder.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QByteArray content(const QString& name) const
    {
        QFile file(folder.path() + QLatin1Char('/') + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    const QByteArray jpeg = bytes(300'000, 'j');
    const QByteArray raw = bytes(700'000, 'r');
    ByteCamera fake;
    TFileLoaderAction loader { fake.link() };
    QTemporaryDir folder;
};

TEST_F(FileLoaderFailureTest, WaitedLoadsKeepOnlyCompleteFiles)
{
    qint64 progress = 0;
    loader.OnProgress = [&](qint64 received, qint64) { progress = received; };
    ASSERT_TRUE(load(QStringLiteral("P1.JPG"), jpeg.size())) << loader.LastError.toStdString();
    EXPECT_EQ(content(QStringLiteral("P1.JPG")), jpeg);
    EXPECT_EQ(loader.LoadedFile, folder.path() + QStringLiteral("/P1.JPG"));
    EXPECT_EQ(loader.LastFailure, TCameraFailure::None);
    EXPECT_EQ(progress, jpeg.size());
    EXPECT_EQ(entries(), QStringList({ "P1.JPG" }));

    const auto fails = [&](TCameraFailure kind, int code) {
        EXPECT_FALSE(load(QStringLiteral("P2.ORF"), raw.size()));
        EXPECT_EQ(loader.LastFailure, kind);
        EXPECT_EQ(loader.ResponseCode, code);
        EXPECT_FALSE(loader.LastError.isEmpty());
        EXPECT_TRUE(loader.LoadedFile.isEmpty());
        EXPECT_FALSE(loader.Busy);
        EXPECT_EQ(entries(), QStringList({ "P1.JPG" })); // no part of the file, no temporary file
    };
    // The body breaks off half-way.
    fake.answers[QStringLiteral("/DCIM/100OLYMP/P2.ORF")].CutAfter = raw.size() / 2;
    fails(TCameraFailure::NoAnswer, 200);

    fake.refuse(QStringLiteral("/DCIM/100OLYMP/P2.ORF"));
    fails(TCameraFailure::NoAnswer, -1);

    fake.answer(QStringLiteral("/DCIM/100OLYMP/P2.ORF"), 404);
    fails(TCameraFailure::Status, 404);

    // The camera sends more than its list said: the listed size is the most that is taken.
    fake.answer(QStringLiteral("/DCIM/100OLYMP/P2.ORF"), 200, raw + "tail");
    fails(TCameraFailure::Unreadable, 200);
}

TEST_F(FileLoaderFailureTest, BackgroundLoadsReportTheirEndOnce)
{
    QList<bool> ends;
    loader.OnLoaded = [&](TFileLoaderAction*, bool ok) { ends << ok; };
    ASSERT_TRUE(load(QStringLiteral("P2.ORF"), raw.size(), false));
    EXPECT_TRUE(loader.Busy);
    EXPECT_FALSE(load(QStringLiteral("P1.JPG"), jpeg.size())); // one transfer at a time
    EXPECT_EQ(loader.LastFailure, TCameraFailure::Busy);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }));
    EXPECT_EQ(ends, QList<bool>({ true }));
    EXPECT_FALSE(loader.Busy);
    EXPECT_EQ(content(QStringLiteral("P2.ORF")), raw);

    // Cancelled before a byte arrived: reported once, as cancelled, and nothing is left.
    ends.clear();
    ASSERT_TRUE(load(QStringLiteral("P1.JPG"), jpeg.size(), false));
    loader.Cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }));
    QTest::qWait(50);
    EXPECT_EQ(ends, QList<bool>({ false }));
    EXPECT_EQ(loader.LastFailure, TCameraFailure::Cancelled);
    EXPECT_EQ(entries(), QStringList({ "P2.ORF" }));

    // Reset before its end: no report at all.
    ends.clear();
    ASSERT_TRUE(load(QStringLiteral("P1.JPG"), jpeg.size(), false));
    loader.Reset();
    QTest::qWait(50);
    EXPECT_TRUE(ends.isEmpty());
    EXPECT_EQ(entries(), QStringList({ "P2.ORF" }));
}

TEST_F(FileLoaderFailureTest, AFullDiskIsOursNotTheCamerasAndLeavesNothing)
{
    // Writes beyond 100 kB fail as on a full disk.
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100'000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool loaded = load(QStringLiteral("P1.JPG"), jpeg.size());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(loaded);
    EXPECT_EQ(loader.LastFailure, TCameraFailure::LocalWrite);
    EXPECT_EQ(loader.ResponseCode, 200);
    EXPECT_TRUE(entries().isEmpty());

    ASSERT_TRUE(load(QStringLiteral("P1.JPG"), jpeg.size()));
    EXPECT_EQ(entries(), QStringList({ "P1.JPG" }));
}

} // namespace
