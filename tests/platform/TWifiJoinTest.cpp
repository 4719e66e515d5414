// The join command on each system, recorded instead of run.
#include "platform/TWifiJoin.h"

#include <gtest/gtest.h>

namespace {

struct Recorded
{
    QString program;
    QStringList arguments;
    int calls = 0;
};

TWifiJoin recording(Recorded& into, TWifiJoin::System system, bool starts = true)
{
    return TWifiJoin(
        [&into, starts](const QString& program, const QStringList& arguments) {
            into.program = program;
            into.arguments = arguments;
            ++into.calls;
            return starts;
        },
        system);
}

TEST(TWifiJoin, CommandPerSystem)
{
    Recorded r;
    EXPECT_TRUE(recording(r, TWifiJoin::System::Windows)
                    .Join(QStringLiteral("E-M10 CAM"), QStringLiteral("E-M10-P")));
    EXPECT_EQ(r.program, QStringLiteral("netsh"));
    EXPECT_EQ(r.arguments, QStringList({ "wlan", "connect", "name=E-M10 CAM", "ssid=E-M10-P" }));

    EXPECT_TRUE(
        recording(r, TWifiJoin::System::Linux).Join(QStringLiteral("E-M10 CAM"), QStringLiteral("E-M10-P")));
    EXPECT_EQ(r.program, QStringLiteral("nmcli"));
    EXPECT_EQ(r.arguments, QStringList({ "connection", "up", "id", "E-M10 CAM" }));
    EXPECT_TRUE(recording(r, TWifiJoin::System::Linux).Join(QString(), QStringLiteral("E-M10-P")));
    EXPECT_EQ(r.arguments, QStringList({ "device", "wifi", "connect", "E-M10-P" }));

    EXPECT_TRUE(recording(r, TWifiJoin::System::MacOS).Join(QStringLiteral("x"), QStringLiteral("E-M10-P")));
    EXPECT_EQ(r.program, QStringLiteral("networksetup"));
    EXPECT_EQ(r.arguments, QStringList({ "-setairportnetwork", "en0", "E-M10-P" }));
    EXPECT_EQ(r.calls, 4);
}

TEST(TWifiJoin, NothingToJoinOrNotStarted)
{
    Recorded r;
    EXPECT_FALSE(recording(r, TWifiJoin::System::Linux).Join(QStringLiteral("  "), QString()));
    EXPECT_EQ(r.calls, 0);
    EXPECT_FALSE(recording(r, TWifiJoin::System::Linux, false).Join(QStringLiteral("cam"), QString()));
    EXPECT_EQ(r.calls, 1);
}

} // namespace
