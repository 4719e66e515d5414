// The command list read through the transport seam: what a caller learns when it fails.
#include "camera/TOIShare.h"

#include "common/ByteCamera.h"
#include "common/LogCapture.h"
#include "common/TestPaths.h"

#include <gtest/gtest.h>

using lumivar::test::ByteCamera;

namespace {

const QString kPath = QStringLiteral("/get_commandlist.cgi");

TEST(CommandListLoad, AGoodListIsReadAndEveryFailureSaysWhy)
{
    lumivar::test::LogCapture log;
    ByteCamera camera;
    const QByteArray list = lumivar::test::readFixture(QStringLiteral("camera/commandlist_E-M10_v2.20.xml"));
    ASSERT_FALSE(list.isEmpty());
    camera.answer(kPath, 200, list);
    TOIShare commandList;
    ASSERT_TRUE(commandList.Load(camera.link()));
    EXPECT_EQ(commandList.Version, QStringLiteral("2.20"));
    EXPECT_TRUE(commandList.Functions.Find(QStringLiteral("switch_cammode")));
    EXPECT_EQ(commandList.LastFailure, TCameraFailure::None);
    EXPECT_EQ(commandList.ResponseCode, 200);
    EXPECT_EQ(camera.requests, QStringList({ kPath }));

    // Each failure leaves the model empty, so no action enables itself from a stale list.
    const auto fails = [&](TCameraFailure kind, int code) {
        EXPECT_FALSE(commandList.Load(camera.link()));
        EXPECT_EQ(commandList.LastFailure, kind);
        EXPECT_EQ(commandList.ResponseCode, code);
        EXPECT_TRUE(commandList.Version.isEmpty());
        EXPECT_EQ(commandList.Functions.Count(), 0);
    };
    camera.refuse(kPath);
    fails(TCameraFailure::NoAnswer, -1);
    EXPECT_FALSE(commandList.LastError.isEmpty());

    // A body that breaks off is no answer, even though it began with a status line.
    camera.answers[kPath] = { 200, list, list.size() / 2 };
    fails(TCameraFailure::NoAnswer, 200);

    camera.answer(kPath, 200, "\xFF\xD8\xFF\xE0 a picture, not a list");
    fails(TCameraFailure::Unreadable, 200);
    EXPECT_TRUE(log.contains(QStringLiteral("TOIShare.Load: the answer is not a readable command list")));

    camera.answer(kPath, 200, "<html><body>not a camera</body></html>");
    fails(TCameraFailure::Unreadable, 200);

    camera.answer(kPath, 520, "<?xml version=\"1.0\"?><errorcode>1000</errorcode>");
    fails(TCameraFailure::Status, 520);
}

} // namespace
