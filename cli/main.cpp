// lumivar-cli: the command-line front end over the program's core.
#include "CliCommand.h"
#include "CliContext.h"
#include "base/TLanguageModule.h"
#include "base/TSetup.h"

#include "LumivarVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

QString helpText(const std::vector<std::unique_ptr<CliCommand>>& commands)
{
    QString text = QStringLiteral(
        "Usage: lumivar-cli [--host HOST[:PORT]] [--json] [--verbose] [--lang en|de] COMMAND [ARGS]\n\n"
        "Talks to an Olympus Wi-Fi camera (default host \"oishare\").\n\n"
        "Options:\n"
        "  --host HOST[:PORT]  camera or simulator address\n"
        "  --json              print one machine-readable JSON document\n"
        "  --verbose           print the log (HTTP exchange records) on stderr\n"
        "  --lang en|de        language of messages and values (default: the one chosen\n"
        "                      in the program's settings, else English)\n"
        "  --help, --version\n\n"
        "Commands:\n");
    for (const auto& command : commands)
        text += QStringLiteral("  %1\n      %2\n").arg(command->synopsis(), command->summary());
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumivar-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVAR_VERSION_TEXT));

    const auto commands = createCommands();

    // Global options may stand before or after the command ("commandlist --json");
    // everything after "--" belongs to the command.
    QStringList rest;
    QString host, language;
    bool languageSet = false, hostSet = false, json = false, verbose = false, help = false, version = false;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    bool passThrough = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (passThrough) {
            rest << arg;
        } else if (arg == QLatin1String("--")) {
            passThrough = true;
        } else if (arg == QLatin1String("--json")) {
            json = true;
        } else if (arg == QLatin1String("--verbose")) {
            verbose = true;
        } else if ((arg == QLatin1String("--help") || arg == QLatin1String("-h")) && rest.isEmpty()) {
            help = true;
        } else if (arg == QLatin1String("--version") && rest.isEmpty()) {
            version = true;
        } else if (arg == QLatin1String("--lang") || arg.startsWith(QLatin1String("--lang="))) {
            languageSet = true;
            if (arg.startsWith(QLatin1String("--lang=")))
                language = arg.mid(7);
            else if (i + 1 < arguments.size())
                language = arguments.at(++i);
        } else if (arg == QLatin1String("--host") || arg.startsWith(QLatin1String("--host="))) {
            hostSet = true;
            if (arg.startsWith(QLatin1String("--host=")))
                host = arg.mid(7);
            else if (i + 1 < arguments.size())
                host = arguments.at(++i);
        } else {
            rest << arg;
        }
    }
    if (help) {
        std::fputs(qPrintable(helpText(commands)), stdout);
        return CliContext::Success;
    }
    if (version) {
        std::printf("lumivar-cli %s\n", LUMIVAR_VERSION_TEXT);
        // Says where an installed copy finds the texts of "props" and "set".
        const QString languages = TLanguageModule::DefaultFolder();
        std::printf("language files: %s\n",
            QFileInfo(languages).isDir() ? qPrintable(QDir::toNativeSeparators(languages)) : "none found");
        return CliContext::Success;
    }
    if (rest.isEmpty()) {
        std::fputs(qPrintable(helpText(commands)), stderr);
        return CliContext::UsageError;
    }
    const QString commandName = rest.takeFirst();
    if (hostSet && !TSetup::IsValidHostAndPort(host)) {
        std::fprintf(stderr, "lumivar-cli: --host needs HOST or HOST:PORT (see lumivar-cli --help)\n");
        return CliContext::UsageError;
    }
    if (languageSet && CliContext::LanguageIdOf(language) == 0) {
        std::fprintf(stderr, "lumivar-cli: --lang needs en or de (see lumivar-cli --help)\n");
        return CliContext::UsageError;
    }
    CliContext context(host, json, verbose);
    if (QString error; !context.selectLanguage(language, error))
        return context.usage(error);
    for (const auto& command : commands) {
        if (command->name() == commandName)
            return command->run(context, rest);
    }
    return context.usage(QStringLiteral("unknown command \"%1\"").arg(commandName));
}
