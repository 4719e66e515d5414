// The camera object's connection check through the transport seam, driven by a byte-buffer camera:
// what each answer does to the connection, and a check that is abandoned while it waits.
#include "session/TCamera.h"

#include "common/ByteCamera.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using lumivar::test::ByteCamera;

namespace {

const QString kCheck = QStringLiteral("/get_connectmode.cgi");

class ConnectionCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fake.answer(kCheck, 200, "<?xml version=\"1.0\"?><connectmode>private</connectmode>");
        fake.answer(QStringLiteral("/get_commandlist.cgi"), 200,
            "<?xml version=\"1.0\"?><oishare><version>2.20</version><support func=\"web\"/>"
            "<cgi name=\"get_connectmode\"><http_method type=\"get\"/></cgi></oishare>");
        camera = std::make_unique<TCamera>(fake.link(), QStringLiteral("N"), false, QStringLiteral("S"));
        // Checks run only when the test asks for one.
        camera->CheckTimer.stop();
        camera->CheckIntervalMs = 3'600'000;
        camera->OnChangeConnection = [this](TCamera* sender, bool& handled) {
            changes << sender->Connected;
            handled = true;
        };
    }

    // One check as the timer runs it, and the timer kept quiet afterwards.
    void check()
    {
        camera->DoCheck(false);
        if (camera)
            camera->CheckTimer.stop();
    }

    ByteCamera fake;
    std::unique_ptr<TCamera> camera;
    QList<bool> changes;
};

TEST_F(ConnectionCheckTest, TheAnswerCodeDecidesTheConnection)
{
    check();
    EXPECT_TRUE(camera->Connected);
    EXPECT_EQ(camera->LastResponseCode, 200);
    EXPECT_EQ(camera->Capabilities, TCamera::CapImport);
    EXPECT_EQ(changes, QList<bool>({ true }));

    // The same code again reads nothing again.
    const qsizetype asked = fake.requests.size();
    check();
    EXPECT_EQ(fake.requests.size(), asked + 1);
    EXPECT_EQ(fake.requests.last(), kCheck);

    // Another code: the camera's parts forget what they learned.
    fake.answer(kCheck, 503);
    check();
    EXPECT_FALSE(camera->Connected);
    EXPECT_EQ(camera->LastResponseCode, 503);
    EXPECT_EQ(camera->Capabilities, 0);
    EXPECT_FALSE(camera->Info.ConnectMode.Enabled);
    EXPECT_EQ(changes, QList<bool>({ true, false }));

    // 202 counts as an answer as well; a list that cannot be read leaves the camera away.
    fake.answer(kCheck, 202);
    fake.answer(QStringLiteral("/get_commandlist.cgi"), 200, "<oishare");
    check();
    EXPECT_EQ(camera->LastResponseCode, 202);
    EXPECT_FALSE(camera->Connected);

    fake.refuse(kCheck);
    check();
    EXPECT_EQ(camera->LastResponseCode, -1);
    EXPECT_FALSE(camera->Connected);
}

TEST_F(ConnectionCheckTest, StopOrDestructionEndsAWaitingCheck)
{
    check();
    ASSERT_TRUE(camera->Connected);
    fake.answers[kCheck].Hangs = true;

    QTimer::singleShot(0, [this] { camera->Stop(); });
    camera->DoCheck(false);
    EXPECT_EQ(fake.abortedWaits, 1);
    EXPECT_FALSE(camera->Checking);
    // An abandoned check is no answer: the connection stands and nobody is told otherwise.
    EXPECT_TRUE(camera->Connected);
    EXPECT_EQ(camera->LastResponseCode, 200);
    EXPECT_EQ(changes, QList<bool>({ true }));
    EXPECT_FALSE(camera->CheckTimer.isActive());

    // The object freed by a handler that ran during the wait.
    camera = std::make_unique<TCamera>(fake.link(), QStringLiteral("N"), false, QStringLiteral("S"));
    camera->CheckTimer.stop();
    QTimer::singleShot(0, [this] { camera.reset(); });
    camera->DoCheck(true);
    EXPECT_EQ(fake.abortedWaits, 2);
    EXPECT_FALSE(camera);
}

} // namespace
