// Which files of the newest folder a live import fetches, poll by poll.
#include "import/TLiveImportTracker.h"

#include <gtest/gtest.h>

namespace {

TCameraImportItem file(const char* name, qint64 size)
{
    return TCameraImportItem(QStringLiteral("/100OLYMP"), QString::fromLatin1(name), QString::number(size),
        QStringLiteral("17141"), QStringLiteral("29813"));
}

QStringList names(const std::vector<TCameraImportItem>& files)
{
    QStringList result;
    for (const TCameraImportItem& item : files)
        result << item.FileName;
    return result;
}

TEST(LiveImportTracker, FetchesNewFilesOnceTheirSizeIsSettled)
{
    TLiveImportTracker tracker;
    tracker.SetBaseline({ file("P1010001.JPG", 100) });
    // First sight: the camera may still be writing it.
    EXPECT_TRUE(tracker.Poll({ file("P1010001.JPG", 100), file("P1010002.JPG", 50) }).empty());
    // Grown since: wait again.
    EXPECT_TRUE(tracker.Poll({ file("P1010001.JPG", 100), file("P1010002.JPG", 80) }).empty());
    const auto ready
        = tracker.Poll({ file("P1010001.JPG", 100), file("P1010002.JPG", 80), file("P1010003.JPG", 9) });
    EXPECT_EQ(names(ready), QStringList({ "P1010002.JPG" }));
    EXPECT_TRUE(tracker.IsPending(ready.front()));
    // Handed out once only, also while its download runs.
    EXPECT_EQ(names(tracker.Poll({ file("P1010002.JPG", 80), file("P1010003.JPG", 9) })),
        QStringList({ "P1010003.JPG" }));
    tracker.MarkDone(ready.front());
    EXPECT_TRUE(tracker.Poll({ file("P1010002.JPG", 80), file("P1010003.JPG", 9) }).empty());
}

TEST(LiveImportTracker, ReusedNumberWithOtherSizeIsNew)
{
    TLiveImportTracker tracker;
    tracker.SetBaseline({ file("P1010001.JPG", 100) });
    tracker.Poll({ file("P1010001.JPG", 120) });
    EXPECT_EQ(names(tracker.Poll({ file("P1010001.JPG", 120) })), QStringList({ "P1010001.JPG" }));
}

TEST(LiveImportTracker, FilterQueuesOnlyChosenKinds)
{
    TLiveImportTracker tracker;
    tracker.SetFilter({ "orf", "MOV" });
    tracker.SetBaseline({});
    const std::vector<TCameraImportItem> listing = { file("P1010001.JPG", 1), file("P1010001.ORF", 2),
        file("P1010002.MOV", 3), file("P1010003.jpg", 4) };
    tracker.Poll(listing);
    EXPECT_EQ(names(tracker.Poll(listing)), QStringList({ "P1010001.ORF", "P1010002.MOV" }));

    // Seen while the filter left them out: still not fetched when it takes them; new ones are.
    tracker.SetFilter({ "JPG" });
    std::vector<TCameraImportItem> more = listing;
    more.push_back(file("P1010004.JPG", 5));
    tracker.Poll(more);
    EXPECT_EQ(names(tracker.Poll(more)), QStringList({ "P1010004.JPG" }));
}

TEST(LiveImportTracker, FailedFileComesBackThreeTimesThenFailsForGood)
{
    TLiveImportTracker tracker;
    tracker.SetBaseline({});
    const std::vector<TCameraImportItem> listing = { file("P1010001.JPG", 10) };
    tracker.Poll(listing);
    for (int attempt = 1; attempt <= TLiveImportTracker::MaxAttempts; ++attempt) {
        const auto ready = tracker.Poll(listing);
        ASSERT_EQ(ready.size(), 1U) << attempt;
        EXPECT_EQ(tracker.MarkFailed(ready.front()), attempt < TLiveImportTracker::MaxAttempts);
    }
    EXPECT_TRUE(tracker.IsFailed(listing.front()));
    EXPECT_TRUE(tracker.Poll(listing).empty());
}

TEST(LiveImportTracker, RefusesNamesThatLeaveTheFolder)
{
    TLiveImportTracker tracker;
    tracker.SetBaseline({});
    const std::vector<TCameraImportItem> listing
        = { file("../P1010001.JPG", 5), file("..", 5), file("a\\b.JPG", 5), file("P1010002.JPG", 5) };
    tracker.Poll(listing);
    EXPECT_EQ(names(tracker.Poll(listing)), QStringList({ "P1010002.JPG" }));
    EXPECT_EQ(tracker.Refused().size(), 3);
}

} // namespace
