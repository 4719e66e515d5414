// The shooting benchmarks' camera: the in-process simulator on a loopback port and a camera object
// connected to it in recording mode. Header only, for the benchmarks that link the simulator.
#pragma once

#include "camera/TCameraModeAction.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QCoreApplication>
#include <QString>

#include <memory>

namespace benchsupport {

inline QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "lumivar_bench";
    static char* argv[] = { name, nullptr };
    static QCoreApplication instance(argc, argv);
    return instance;
}

struct RecCamera
{
    std::unique_ptr<camsim::SimServer> Server;
    std::unique_ptr<TCamera> Camera;
    // Empty when the camera is connected and recording.
    QString Error;

    explicit RecCamera(const camsim::SimServerOptions& options)
    {
        App();
        Server = std::make_unique<camsim::SimServer>(options);
        if (!Server->isValid() || Server->start() == 0) {
            Error = QStringLiteral("simulator did not start");
            return;
        }
        Camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(Server->port())), QStringLiteral("N"),
            false, QStringLiteral("S"));
        Camera->CheckTimer.stop();
        if (!Camera->Connect()) {
            Error = QStringLiteral("camera did not connect");
            return;
        }
        // Connecting starts the connection check again; the benchmark drives the camera alone.
        Camera->CheckTimer.stop();
        Camera->Remote.CameraMode.SwitchPauseMs = 0;
        if (!Camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModeRec))
            Error = QStringLiteral("camera did not switch to recording");
    }

    // The camera first, while the simulator still answers its last requests.
    ~RecCamera()
    {
        Camera.reset();
        Server.reset();
    }
};

} // namespace benchsupport
