#include "platform/TSingleInstance.h"

#include <QDateTime>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <gtest/gtest.h>

namespace {

// Each test its own name, so tests never see each other's locks.
QString uniqueName()
{
    return QStringLiteral("LumivarTest-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool raised(QSignalSpy& spy)
{
    return spy.count() > 0 || spy.wait(5000);
}

} // namespace

TEST(TSingleInstance, SecondInstanceIsRefusedUntilTheFirstReleases)
{
    const QString name = uniqueName();
    TSingleInstance first(name);
    TSingleInstance second(name);
    TSingleInstance other(uniqueName());

    EXPECT_EQ(TSingleInstance::DefaultName(), "KMLumivarAppMutex");
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_TRUE(first.TryAcquire()); // already ours
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_TRUE(other.TryAcquire());

    first.Release();
    EXPECT_FALSE(QFile::exists(first.LockFilePath()));
    EXPECT_TRUE(second.TryAcquire());
}

TEST(TSingleInstance, NotifyRunningRaisesTheFirstInstance)
{
    const QString name = uniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.TryAcquire());
    QSignalSpy spy(&first, &TSingleInstance::raiseRequested);

    TSingleInstance second(name);
    ASSERT_FALSE(second.TryAcquire());
    ASSERT_TRUE(second.NotifyRunning());
    EXPECT_TRUE(raised(spy));
    EXPECT_EQ(spy.count(), 1);

    // A second start later on is heard as well.
    ASSERT_TRUE(second.NotifyRunning());
    EXPECT_TRUE(spy.count() > 1 || spy.wait(5000));
}

TEST(TSingleInstance, NotifyRunningWithoutAFirstInstanceFails)
{
    TSingleInstance lonely(uniqueName());
    EXPECT_FALSE(lonely.NotifyRunning(200));
}

TEST(TSingleInstance, OtherTrafficOnTheSocketRaisesNothing)
{
    const QString name = uniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.TryAcquire());
    QSignalSpy spy(&first, &TSingleInstance::raiseRequested);

    for (const QByteArray& junk : { QByteArray(), QByteArray("hello world"), QByteArray("rais") }) {
        QLocalSocket socket;
        socket.connectToServer(first.ServerName());
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(junk);
        socket.waitForBytesWritten(2000);
        socket.disconnectFromServer();
    }
    TSingleInstance second(name);
    ASSERT_TRUE(second.NotifyRunning());
    ASSERT_TRUE(raised(spy));
    QTest::qWait(50); // let every junk connection be handled
    EXPECT_EQ(spy.count(), 1);
}

TEST(TSingleInstance, LeftoversOfACrashedInstanceDoNotBlock)
{
    const QString name = uniqueName();
    TSingleInstance instance(name);
    {
        // A lock whose owner no longer runs (no such process id), and its socket file.
        QFile lock(instance.LockFilePath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write("2147480000\nlumivar\n\n");
        QFile socketFile(instance.ServerName());
        ASSERT_TRUE(socketFile.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(instance.TryAcquire());
    QSignalSpy spy(&instance, &TSingleInstance::raiseRequested);
    TSingleInstance second(name);
    EXPECT_FALSE(second.TryAcquire());
    ASSERT_TRUE(second.NotifyRunning());
    EXPECT_TRUE(raised(spy));
}

TEST(TSingleInstance, ALongRunningInstanceKeepsItsLock)
{
    // The owner is alive; however old its lock is, a later start must not take it over.
    const QString name = uniqueName();
    TSingleInstance probe(name);
    QLockFile held(probe.LockFilePath());
    ASSERT_TRUE(held.tryLock(0));
    QFile lockFile(probe.LockFilePath());
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    lockFile.close();

    EXPECT_FALSE(probe.TryAcquire());
}

TEST(TSingleInstance, UnusableLockFolderDoesNotPreventTheStart)
{
    TSingleInstance instance(QStringLiteral("no-such-folder-") + uniqueName() + QStringLiteral("/lock"));
    EXPECT_TRUE(instance.TryAcquire());
}
