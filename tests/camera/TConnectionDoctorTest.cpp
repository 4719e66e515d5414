#include "camera/TConnectionDoctor.h"

#include <gtest/gtest.h>

namespace {
TCameraLink fakeLink(const QString& host, TCameraAnswer answer, int* sent = nullptr)
{
    TCameraLink link;
    link.Host = [host] { return host; };
    link.Transport = [answer, sent](const TCameraRequest&) {
        if (sent)
            ++*sent;
        return answer;
    };
    return link;
}

TCameraAnswer completed(int code, const QByteArray& body)
{
    TCameraAnswer a;
    a.Completed = true;
    a.Code = code;
    a.Body = body;
    return a;
}
} // namespace

TEST(ConnectionDoctor, StopsAtTheFirstFailedStepWithItsSentence)
{
    int sent = 0;
    const auto unknown
        = TConnectionDoctor(fakeLink(QStringLiteral("nocamera.invalid"), completed(200, "<oishare/>"), &sent),
            [](const QString&) {
                return false;
            }).run();
    ASSERT_EQ(unknown.size(), 1);
    EXPECT_FALSE(unknown[0].Ok);
    EXPECT_TRUE(unknown[0].German().contains(QStringLiteral("192.168.0.10")));
    EXPECT_EQ(sent, 0) << "nothing is sent to a name that does not resolve";

    TCameraAnswer refused;
    refused.Failure = TCameraFailure::NoAnswer;
    refused.Error = QStringLiteral("Connection refused");
    const auto noRoute = TConnectionDoctor(fakeLink(QStringLiteral("127.0.0.1:1"), refused)).run();
    ASSERT_EQ(noRoute.size(), 2);
    EXPECT_TRUE(noRoute[0].Ok) << "an address needs no name lookup";
    EXPECT_EQ(noRoute[1].Step, TDoctorStep::Reach);
    EXPECT_TRUE(noRoute[1].German().contains(QStringLiteral("Connection refused")));
    EXPECT_TRUE(noRoute[1].German().contains(QStringLiteral("WLAN")));

    const auto router
        = TConnectionDoctor(fakeLink(QStringLiteral("127.0.0.1:8080"), completed(200, "<html>router</html>")))
              .run();
    ASSERT_EQ(router.size(), 3);
    EXPECT_EQ(router[2].Step, TDoctorStep::Camera);
    EXPECT_FALSE(router[2].Ok);

    TConnectionDoctor cameraDoctor(fakeLink(QStringLiteral("[::1]:80"),
        completed(200, "<?xml version=\"1.0\"?><oishare><version>4.20</version></oishare>")));
    cameraDoctor.setLastStep(TDoctorStep::Camera);
    const auto camera = cameraDoctor.run();
    ASSERT_EQ(camera.size(), 3);
    for (const TDoctorResult& step : camera)
        EXPECT_TRUE(step.Ok);
}
