#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Asks the operating system to join a Wi-Fi network by profile and network name: nmcli on Linux,
// netsh on Windows, networksetup on macOS. The command is started detached and not awaited; only
// whether it could be started is known.
class TWifiJoin
{
public:
    enum class System { Linux, Windows, MacOS };

    struct Command
    {
        QString Program;
        QStringList Arguments;
    };

    // Starts a program detached; true when it could be started.
    using Runner = std::function<bool(const QString& program, const QStringList& arguments)>;

    // Without a runner the command really runs (QProcess::startDetached); tests put a recorder in.
    explicit TWifiJoin(Runner runner = {}, System system = CurrentSystem());

    // False when the command could not be started, or neither name nor network name is given.
    bool Join(const QString& profileName, const QString& ssid);
    // The command Join starts, empty when there is nothing to join.
    Command CommandFor(const QString& profileName, const QString& ssid) const;

    static System CurrentSystem();
    static bool StartDetached(const QString& program, const QStringList& arguments);

private:
    Runner m_runner;
    System m_system;
};
