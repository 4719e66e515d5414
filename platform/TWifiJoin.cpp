#include "platform/TWifiJoin.h"

#include <QProcess>

TWifiJoin::TWifiJoin(Runner runner, System system)
    : m_runner(runner ? std::move(runner) : Runner(&TWifiJoin::StartDetached))
    , m_system(system)
{ }

TWifiJoin::System TWifiJoin::CurrentSystem()
{
#if defined(Q_OS_WIN)
    return System::Windows;
#elif defined(Q_OS_MACOS)
    return System::MacOS;
#else
    return System::Linux;
#endif
}

bool TWifiJoin::StartDetached(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

TWifiJoin::Command TWifiJoin::CommandFor(const QString& profileName, const QString& ssid) const
{
    const QString name = profileName.trimmed();
    const QString network = ssid.trimmed();
    if (name.isEmpty() && network.isEmpty())
        return {};
    switch (m_system) {
    case System::Windows: {
        // A profile is needed; the network name picks the network when the profile knows several.
        QStringList arguments { QStringLiteral("wlan"), QStringLiteral("connect"),
            QStringLiteral("name=") + (name.isEmpty() ? network : name) };
        if (!network.isEmpty())
            arguments << QStringLiteral("ssid=") + network;
        return { QStringLiteral("netsh"), arguments };
    }
    case System::MacOS:
        // The Wi-Fi interface is the first one on every Mac with a single radio.
        return { QStringLiteral("networksetup"),
            { QStringLiteral("-setairportnetwork"), QStringLiteral("en0"),
                network.isEmpty() ? name : network } };
    case System::Linux:
        // A saved connection by its name; without one, the network by its name.
        if (!name.isEmpty())
            return { QStringLiteral("nmcli"),
                { QStringLiteral("connection"), QStringLiteral("up"), QStringLiteral("id"), name } };
        return { QStringLiteral("nmcli"),
            { QStringLiteral("device"), QStringLiteral("wifi"), QStringLiteral("connect"), network } };
    }
    return {};
}

bool TWifiJoin::Join(const QString& profileName, const QString& ssid)
{
    const Command command = CommandFor(profileName, ssid);
    if (command.Program.isEmpty())
        return false;
    return m_runner(command.Program, command.Arguments);
}
