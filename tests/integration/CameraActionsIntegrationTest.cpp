// The information and remote actions and the shooting properties against the simulated camera.
#include "camera/CameraEndpoints.h"
#include "camera/TActivateAction.h"
#include "camera/TCameraInfo.h"
#include "camera/TCameraParams.h"
#include "camera/TOIShare.h"
#include "camera/TPowerOffAction.h"
#include "camera/TSetTimeAction.h"

#include "sim/SimCard.h"
#include "sim/SimClock.h"
#include "sim/SimServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct Profile
{
    const char* name;
    const char* model;
    int properties; // of the eighteen, offered by the body
};

class CameraActions : public ::testing::TestWithParam<Profile>
{
protected:
    void SetUp() override
    {
        camsim::SimServerOptions options;
        options.profile = GetParam().name;
        options.generatedFiles = 30;
        m_server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(m_server->isValid()) << m_server->errorText();
        const quint16 port = m_server->start();
        ASSERT_NE(port, 0);
        m_host = QStringLiteral("127.0.0.1:%1").arg(port);
        ASSERT_TRUE(m_list.Load(m_host));
    }

    TCameraLink link() const { return TCameraLink::ToHost(m_host); }

    bool switchMode(const QString& query)
    {
        TCameraRequest request;
        request.Url = cameraUrl(m_host, Endpoint::SwitchCamMode) + QStringLiteral("?mode=") + query;
        request.ReadTimeoutMs = Timeout::CamMode;
        return TCameraLink::SendHttp(request).Code == 200;
    }

    // A movie on the card, below "/DCIM".
    QString moviePath()
    {
        for (const camsim::SimEntry& folder : m_server->card().list("/DCIM"))
            for (const camsim::SimEntry& file : m_server->card().list("/DCIM/" + folder.name))
                if (QString::fromStdString(file.name).endsWith(QLatin1String(".MOV"), Qt::CaseInsensitive))
                    return QStringLiteral("/%1/%2").arg(
                        QString::fromStdString(folder.name), QString::fromStdString(file.name));
        return {};
    }

    std::unique_ptr<camsim::SimServer> m_server;
    QString m_host;
    TOIShare m_list;
};

} // namespace

TEST_P(CameraActions, InformationReadAsThePagesNeedIt)
{
    TCameraInfo info(link());
    ASSERT_TRUE(info.Probe(m_list));
    for (const TBaseInfoAction* action : info.Actions())
        EXPECT_TRUE(action->Enabled) << action->CGIName.toStdString();

    QString text;
    EXPECT_TRUE(info.ConnectMode.Execute(text));
    EXPECT_EQ(text, "private");
    EXPECT_TRUE(info.CameraInfo.Execute(text));
    EXPECT_EQ(text, GetParam().model);
    EXPECT_TRUE(info.DCFFileCount.Execute(text));
    EXPECT_EQ(text.toInt(), m_server->card().dcfFileCount());
    EXPECT_TRUE(info.UnusedCapacity.Execute(text));
    EXPECT_EQ(text.toULongLong(), std::min<quint64>(m_server->card().unusedCapacity(), 4294967295u));

    const QString movie = moviePath();
    ASSERT_FALSE(movie.isEmpty());
    const int seconds = m_server->card().moviePlayTimeSeconds(("/DCIM" + movie).toStdString());
    EXPECT_TRUE(info.MovPlayTime.Execute(movie, text));
    EXPECT_EQ(text, TMovPlayTimeAction::PlayTimeText(QString::number(seconds)));
    EXPECT_TRUE(text.contains(QLatin1Char(':')));
    // The camera's 520 for a file that is no movie.
    EXPECT_FALSE(info.MovPlayTime.Execute("/100OLYMP/NOTHERE.MOV", text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(info.Busy());
}

TEST_P(CameraActions, ClockTakesTheOffsetWithItsSign)
{
    TSetTimeAction clock(link());
    ASSERT_TRUE(clock.Probe(*m_list.Functions.Find("set_utctimediff")));
    ASSERT_TRUE(clock.Enabled);
    for (const int offsetMinutes : { 60, -300, 0, 345 }) {
        clock.Now = [offsetMinutes] {
            return QDateTime(QDate(2024, 1, 31), QTime(23, 59, 59), Qt::OffsetFromUTC, offsetMinutes * 60);
        };
        EXPECT_TRUE(clock.Execute()) << offsetMinutes;
        EXPECT_EQ(m_server->clock().diffMinutes(), offsetMinutes);
    }
    const auto utc = std::chrono::system_clock::to_time_t(m_server->clock().utcNow());
    const QDateTime sent(QDate(2024, 1, 31), QTime(23, 59, 59), Qt::OffsetFromUTC, 345 * 60);
    EXPECT_NEAR(double(utc), double(sent.toSecsSinceEpoch()), 60.0);
}

TEST_P(CameraActions, PropertiesRoundTripInRecordingMode)
{
    TCameraParams params(link());
    // Outside recording mode the camera refuses every description: all invalid, no failure.
    ASSERT_TRUE(params.Probe(m_list));
    for (const auto& param : params)
        EXPECT_FALSE(param->Valid) << param->Name.toStdString();

    ASSERT_TRUE(switchMode("rec"));
    ASSERT_TRUE(params.Probe(m_list));
    int valid = 0;
    for (const auto& param : params)
        valid += param->Valid;
    EXPECT_EQ(valid, GetParam().properties);

    TCameraParam* art = params.Find("artfilter");
    EXPECT_TRUE(art->Valid); // also on the E-M10, whose answer names "focalvalue"
    EXPECT_TRUE(art->Dictionary.HasValue("Pop-Art"));
    EXPECT_TRUE(art->DisplayValues.contains("Pop-Art"));
    EXPECT_NE(params.Find("focalvalue")->DisplayNumbers.value(0), 0);

    TCameraParam* wb = params.Find("wbvalue");
    ASSERT_TRUE(wb->IsUsable());
    const QString target = wb->Value == "Sonnig" ? QStringLiteral("Schatten") : QStringLiteral("Sonnig");
    ASSERT_TRUE(wb->SetValue(target));
    wb->Value.clear();
    ASSERT_TRUE(wb->Refresh());
    EXPECT_EQ(wb->Value, target);
    EXPECT_EQ(wb->RawValue, wb->Dictionary.KeyOf(target));

    // Stepping the ISO and reading everything again.
    TCameraParam* iso = params.Find("isospeedvalue");
    const int before = iso->DisplayValues.indexOf(iso->Value);
    ASSERT_GE(before, 0);
    const bool up = before < iso->DisplayValues.size() - 1;
    EXPECT_TRUE(up ? iso->StepUp(1) : iso->StepDown(1));
    EXPECT_TRUE(params.RefreshAll());
    EXPECT_EQ(iso->DisplayValues.indexOf(iso->Value), before + (up ? 1 : -1));

    ASSERT_TRUE(switchMode("play"));
}

TEST_P(CameraActions, RefusedSetLeavesTheValue)
{
    ASSERT_TRUE(switchMode("rec"));
    TCameraParams params(link());
    ASSERT_TRUE(params.Probe(m_list));
    TCameraParam* takemode = params.Find("takemode");
    ASSERT_TRUE(takemode->SetValue("A"));
    TCameraParam* shutter = params.Find("shutspeedvalue");
    ASSERT_TRUE(shutter->Refresh());
    // Shutter speeds can be set in S and M only.
    const QString before = shutter->Value;
    const QString other = shutter->DisplayValues.value(shutter->DisplayValues.indexOf(before) == 5 ? 6 : 5);
    EXPECT_FALSE(shutter->SetValue(other));
    EXPECT_EQ(shutter->Value, before);
}

TEST_P(CameraActions, ActivateAndPowerOff)
{
    TActivateAction activate(link());
    TPowerOffAction powerOff(link());
    ASSERT_TRUE(activate.Probe(*m_list.Functions.Find("get_activate")));
    ASSERT_TRUE(powerOff.Probe(*m_list.Functions.Find("exec_pwoff")));
    EXPECT_TRUE(activate.Execute());
    EXPECT_TRUE(powerOff.Execute()); // answered 202

    TCameraInfo info(link());
    ASSERT_TRUE(info.Probe(m_list));
    QString mode;
    EXPECT_FALSE(info.ConnectMode.Execute(mode));
    EXPECT_FALSE(activate.Execute());
}

INSTANTIATE_TEST_SUITE_P(Profiles, CameraActions,
    ::testing::Values(Profile { "e-m10", "E-M10", 13 }, Profile { "omd-v260", "OM-D", 17 }),
    [](const ::testing::TestParamInfo<Profile>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });
