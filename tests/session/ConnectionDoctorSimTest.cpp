// The later diagnosis steps against the simulated camera: each fault the simulator can show gives
// its own sentence, and a healthy camera passes every step.
#include "camera/TConnectionDoctor.h"
#include "sim/SimClock.h"
#include "sim/SimServer.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {
class ConnectionDoctorSim : public ::testing::Test
{
protected:
    void SetUp() override
    {
        camsim::SimServerOptions options;
        options.profile = "e-m10";
        m_server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(m_server->isValid()) << m_server->errorText();
        ASSERT_NE(m_server->start(), 0);
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server->port()); }

    void control(const QString& pathAndQuery) const
    {
        TCameraRequest request;
        request.Url = QStringLiteral("http://%1%2").arg(host(), pathAndQuery);
        request.ReadTimeoutMs = 5000;
        ASSERT_EQ(TCameraLink::SendHttp(request).Code, 200) << pathAndQuery.toStdString();
    }

    QList<TDoctorResult> diagnose(int liveViewWaitMs = TConnectionDoctor::DefaultLiveViewWaitMs) const
    {
        TConnectionDoctor doctor(TCameraLink::ToHost(host()));
        doctor.setLiveViewPort(0); // any free port: tests run side by side
        doctor.setLiveViewWaitMs(liveViewWaitMs);
        return doctor.run();
    }

    std::unique_ptr<camsim::SimServer> m_server;
};
} // namespace

TEST_F(ConnectionDoctorSim, HealthyCameraPassesEveryStep)
{
    const auto steps = diagnose();
    ASSERT_EQ(steps.size(), 6);
    for (const TDoctorResult& step : steps)
        EXPECT_TRUE(step.Ok) << TConnectionDoctor::stepName(step.Step).toStdString() << ": "
                             << step.German().toStdString();
    EXPECT_FALSE(m_server->liveViewRunning()) << "the live view check stops what it started";
}

TEST_F(ConnectionDoctorSim, EachFaultGivesItsSentence)
{
    control(QStringLiteral("/__sim/connectmode?mode=shared"));
    auto steps = diagnose();
    ASSERT_EQ(steps.size(), 4);
    EXPECT_EQ(steps.last().Step, TDoctorStep::Private);
    EXPECT_FALSE(steps.last().Ok);
    EXPECT_TRUE(steps.last().German().contains(QStringLiteral("\"shared\"")))
        << steps.last().German().toStdString();
    EXPECT_TRUE(steps.last().German().contains(QStringLiteral("Privat")));
    control(QStringLiteral("/__sim/connectmode?mode=private"));

    control(QStringLiteral("/__sim/fault?loss=1"));
    steps = diagnose(300);
    ASSERT_EQ(steps.size(), 5);
    EXPECT_EQ(steps.last().Step, TDoctorStep::LiveView);
    EXPECT_FALSE(steps.last().Ok);
    EXPECT_EQ(steps.last().TextName, QByteArrayLiteral("_rsDoctorNoLiveView"));
    EXPECT_TRUE(steps.last().German().contains(QStringLiteral("Firewall")));
    EXPECT_FALSE(m_server->liveViewRunning()) << "live view is stopped after the check";
    control(QStringLiteral("/__sim/fault?reset=1"));

    // The camera's clock runs two hours ahead; the picture it takes carries its time.
    const auto utc = std::chrono::system_clock::now() + std::chrono::hours(2);
    m_server->clock().set(utc, QDateTime::currentDateTime().offsetFromUtc() / 60);
    control(QStringLiteral("/switch_cammode.cgi?mode=shutter"));
    control(QStringLiteral("/__sim/shoot"));
    control(QStringLiteral("/switch_cammode.cgi?mode=play"));
    steps = diagnose();
    ASSERT_EQ(steps.size(), 6);
    EXPECT_EQ(steps.last().Step, TDoctorStep::Clock);
    EXPECT_FALSE(steps.last().Ok);
    EXPECT_TRUE(steps.last().German().contains(QStringLiteral("120 Minuten")))
        << steps.last().German().toStdString();
}

TEST_F(ConnectionDoctorSim, StopsBeforeTheLiveViewWhenAskedOrAborted)
{
    TConnectionDoctor doctor(TCameraLink::ToHost(host()));
    doctor.setLiveViewPort(0);
    doctor.setLastStep(TDoctorStep::Private);
    EXPECT_EQ(doctor.run().size(), 4);
    EXPECT_EQ(m_server->liveViewFramesSent(), 0u) << "the start page's quick check sends no live view";

    control(QStringLiteral("/__sim/fault?loss=1"));
    TConnectionDoctor aborted(TCameraLink::ToHost(host()));
    aborted.setLiveViewPort(0);
    aborted.setLiveViewWaitMs(60000);
    int asked = 0;
    aborted.setAbortCheck([&asked] { return ++asked > 8; });
    const auto steps = aborted.run();
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_TRUE(steps.last().Ok) << "an aborted step gives no verdict";
    EXPECT_FALSE(m_server->liveViewRunning());
}
