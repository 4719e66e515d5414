// A simulator on a loopback port with a camera object connected to it: where the tests of pages and
// of the objects behind them start. Header only: the test suites that use it link the camera
// session and the simulator; the support library does not.
#pragma once

#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace lvtest {

struct SimulatedCamera
{
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCamera> camera;

    ~SimulatedCamera() { Stop(); }

    // Starts the simulator and waits until the camera object has connected; mode switches skip
    // their pause. The serial number is the one the camera announces in its connect mode.
    ::testing::AssertionResult Start(
        const camsim::SimServerOptions& options = {}, const QString& serial = QStringLiteral("E-M10-P-123"))
    {
        server = std::make_unique<camsim::SimServer>(options);
        if (!server->isValid())
            return ::testing::AssertionFailure() << "simulator: " << server->errorText();
        if (server->start() == 0)
            return ::testing::AssertionFailure() << "simulator did not start";
        camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server->port())),
            QStringLiteral("E-M10-CAM"), false, serial,
            [](const QString&, const QStringList&) { return true; });
        camera->OnChangeConnection = [](TCamera*, bool& handled) { handled = true; };
        camera->CheckIntervalMs = 100;
        camera->CheckTimer.start(10);
        if (!QTest::qWaitFor([&] { return camera->Connected; }, 10000))
            return ::testing::AssertionFailure() << "camera did not connect";
        camera->Remote.CameraMode.SwitchPauseMs = 0;
        return ::testing::AssertionSuccess();
    }

    // The camera first, while the simulator still answers its last requests.
    void Stop()
    {
        if (camera)
            camera->Stop();
        camera.reset();
        server.reset();
    }
};

} // namespace lvtest
