#include "base/TLogger.h"

#include "base/TMessageObserver.h"
#include "base/TSetup.h"

#include "QStringPrinter.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTime>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Records what it receives into a journal shared with other observers, to see the order.
class RecordingObserver : public TBaseObserver
{
public:
    RecordingObserver(QString name, QStringList* journal)
        : m_name(std::move(name))
        , m_journal(journal)
    { }
    void Update(const QString& line) override { m_journal->append(m_name + '|' + line); }

private:
    QString m_name;
    QStringList* m_journal;
};

class CountingObserver : public TBaseObserver
{
public:
    void Update(const QString&) override { ++count; }
    std::atomic<int> count { 0 };
};

// Detaches another observer the first time it is called.
class DetachingObserver : public TBaseObserver
{
public:
    DetachingObserver(TLogger* logger, TBaseObserver* victim)
        : m_logger(logger)
        , m_victim(victim)
    { }
    void Update(const QString&) override { m_logger->Detach(m_victim); }

private:
    TLogger* m_logger;
    TBaseObserver* m_victim;
};

QString messageOf(const QString& line)
{
    return line.mid(14);
}

} // namespace

TEST(TLogger, LineIsLocalTimeThenMessageUnchanged)
{
    TLogger logger(nullptr);
    const QString message = QStringLiteral("GET /get_caminfo.cgi\r\nResponse-Code: 200\r\n");
    const QTime before = QTime::currentTime();
    logger.Log(message, true);
    const QTime after = QTime::currentTime();

    const QString line = logger.Text();
    static const QRegularExpression shape(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d: "));
    ASSERT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
    EXPECT_EQ(messageOf(line), message);
    const QTime stamp = QTime::fromString(line.left(12), QStringLiteral("hh:mm:ss.zzz"));
    ASSERT_TRUE(stamp.isValid());
    if (before <= after) { // not across midnight
        EXPECT_TRUE(stamp >= before.addMSecs(-1) && stamp <= after.addMSecs(1));
    }
}

TEST(TLogger, TraceLinesOnlyInDebugMode)
{
    TLogger withoutSetup(nullptr);
    withoutSetup.Log(QStringLiteral("TfrmMain.FormShow: ceStart"));
    EXPECT_TRUE(withoutSetup.Text().isEmpty());

    TSetup setup;
    TLogger logger(&setup);
    QStringList journal;
    RecordingObserver observer(QStringLiteral("a"), &journal);
    logger.Attach(&observer);

    logger.Log(QStringLiteral("error"), true);
    const QString kept = logger.Text();
    logger.Log(QStringLiteral("trace"));
    EXPECT_EQ(logger.Text(), kept);
    EXPECT_EQ(journal.size(), 1);

    setup.DebugMode = true; // read at each call
    logger.Log(QStringLiteral("trace"));
    EXPECT_EQ(messageOf(logger.Text()), "trace");
    EXPECT_EQ(journal.size(), 2);
}

TEST(TLogger, ObserversInAttachmentOrder)
{
    TLogger logger(nullptr);
    QStringList journal;
    RecordingObserver a(QStringLiteral("a"), &journal);
    RecordingObserver b(QStringLiteral("b"), &journal);
    RecordingObserver c(QStringLiteral("c"), &journal);
    logger.Attach(&b);
    logger.Attach(nullptr);
    logger.Attach(&a);
    logger.Attach(&c);
    logger.Attach(&b); // twice: receives each line twice

    logger.Log(QStringLiteral("one"), true);
    const QString line = logger.Text();
    EXPECT_EQ(journal, QStringList({ "b|" + line, "a|" + line, "c|" + line, "b|" + line }));

    journal.clear();
    logger.Detach(&b);
    logger.Detach(&b); // not attached any more: nothing happens
    RecordingObserver stranger(QStringLiteral("x"), &journal);
    logger.Detach(&stranger);
    logger.Detach(nullptr);
    logger.Notify(); // hands the last line again
    EXPECT_EQ(journal, QStringList({ "a|" + line, "c|" + line }));
}

TEST(TLogger, ObserverDetachedDuringALineIsNotCalledAfterwards)
{
    TLogger logger(nullptr);
    CountingObserver victim;
    DetachingObserver detacher(&logger, &victim);
    logger.Attach(&detacher);
    logger.Attach(&victim);
    logger.Log(QStringLiteral("line"), true);
    EXPECT_EQ(victim.count, 0);
}

TEST(TLogger, ProcessWideInstance)
{
    auto logger = std::make_unique<TLogger>(nullptr);
    TLogger::SetInstance(logger.get());
    EXPECT_EQ(TLogger::Instance(), logger.get());
    logger.reset(); // a freed logger is not left behind as the instance
    EXPECT_EQ(TLogger::Instance(), nullptr);
}

TEST(TMessageObserver, SameThreadIsSynchronous)
{
    TLogger logger(nullptr);
    QStringList received;
    TMessageObserver observer([&](TMessageObserver* sender, const QString& line) {
        EXPECT_EQ(sender, &observer);
        received << line;
    });
    TMessageObserver silent; // no handler: nothing happens
    logger.Attach(&silent);
    logger.Attach(&observer);
    logger.Log(QStringLiteral("now"), true);
    EXPECT_EQ(received, QStringList({ logger.Text() }));
}

TEST(TMessageObserver, LinesFromAnotherThreadArriveOnTheObserversThread)
{
    TLogger logger(nullptr);
    QStringList received;
    bool onOwnThread = true;
    TMessageObserver observer([&](TMessageObserver*, const QString& line) {
        onOwnThread = onOwnThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        received << messageOf(line);
    });
    logger.Attach(&observer);

    const int lines = 200;
    std::thread worker([&] {
        for (int i = 0; i < lines; ++i)
            logger.Log(QStringLiteral("TLiveViewProcessor.Execute: %1").arg(i), true);
    });
    worker.join();
    EXPECT_TRUE(received.isEmpty()); // nothing reaches the observer outside its event loop

    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() >= lines; }, 10000));
    ASSERT_EQ(received.size(), lines);
    EXPECT_TRUE(onOwnThread);
    for (int i = 0; i < lines; ++i)
        EXPECT_EQ(received.at(i), QStringLiteral("TLiveViewProcessor.Execute: %1").arg(i));
    logger.Detach(&observer);
}

TEST(TMessageObserver, QueuedLinesOfADestroyedObserverAreDropped)
{
    TLogger logger(nullptr);
    int calls = 0;
    auto observer = std::make_unique<TMessageObserver>([&](TMessageObserver*, const QString&) { ++calls; });
    logger.Attach(observer.get());
    std::thread([&] { logger.Log(QStringLiteral("late"), true); }).join();
    logger.Detach(observer.get());
    observer.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

TEST(TLogger, LoggingFromAWorkerWhileObserversComeAndGo)
{
    TLogger logger(nullptr);
    CountingObserver steady;
    logger.Attach(&steady);
    std::vector<std::unique_ptr<CountingObserver>> passing;
    for (int i = 0; i < 8; ++i)
        passing.push_back(std::make_unique<CountingObserver>());

    const int lines = 20000;
    std::atomic<bool> done { false };
    std::thread worker([&] {
        for (int i = 0; i < lines; ++i)
            logger.Log(QStringLiteral("socket error %1").arg(i), true);
        done = true;
    });
    int rounds = 0;
    while (!done || rounds < 10) {
        for (auto& observer : passing)
            logger.Attach(observer.get());
        const QString text = logger.Text(); // read while the worker writes it
        EXPECT_TRUE(text.isEmpty() || text.contains(QLatin1String(": socket error ")));
        for (auto& observer : passing)
            logger.Detach(observer.get());
        ++rounds;
    }
    worker.join();

    EXPECT_EQ(steady.count, lines); // no line lost or doubled for an observer that stayed
    EXPECT_EQ(messageOf(logger.Text()), QStringLiteral("socket error %1").arg(lines - 1));
}
