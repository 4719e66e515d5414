// lumivar-cli speaks the language the user chose, English by default, and every named text it can
// print has its English line; set takes a value in either language or as the camera writes it.
#include "CliRunner.h"

#include "base/TLanguageFile.h"
#include "sim/SimServer.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef LUMIVAR_CLI_PATH

namespace {

using lumivar::test::CliRun;

// The folders whose code lumivar-cli runs (their window folders aside).
const QStringList kCliFolders { "cli", "base", "camera", "exif", "import", "liveview", "session", "remote" };

// Every "_rs..." name matched by pattern in the code of those folders.
QSet<QString> namesIn(const QRegularExpression& pattern)
{
    QSet<QString> names;
    for (const QString& folder : kCliFolders) {
        QDirIterator it(QStringLiteral(LUMIVAR_SOURCE_DIR "/") + folder, { "*.cpp", "*.h" }, QDir::Files,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QLatin1String("/ui/")))
                continue;
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = pattern.globalMatch(text); match.hasNext();)
                names.insert(match.next().captured(1));
        }
    }
    return names;
}

} // namespace

TEST(CliLanguage, EveryTextTheCliCanPrintIsRegisteredAndHasAnEnglishLine)
{
    // A text fetched before anyone registered it comes out as its raw name.
    const QSet<QString> used = namesIn(QRegularExpression(QStringLiteral("\\brs\\(\"(_rs\\w+)\"")));
    const QSet<QString> registered = namesIn(QRegularExpression(QStringLiteral("\\{\\s*\"(_rs\\w+)\",")));
    TLanguageFile english;
    ASSERT_TRUE(english.Load(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt")));
    ASSERT_GT(used.size(), 40);
    QStringList unregistered, untranslated;
    for (const QString& name : used) {
        if (!registered.contains(name))
            unregistered << name;
        if (english.Texts().value(name).isEmpty())
            untranslated << name;
    }
    EXPECT_TRUE(unregistered.isEmpty()) << unregistered.join(' ').toStdString();
    EXPECT_TRUE(untranslated.isEmpty()) << untranslated.join(' ').toStdString();
}

TEST(CliLanguage, ValuesComeInTheChosenLanguageAndSetTakesEitherOne)
{
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host));
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const auto cli = [&](const QStringList& arguments, const QByteArray& settings = "[General]\n") {
        return lumivar::test::runCli(
            QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(), arguments, settings);
    };

    // Nothing stored: English.
    const CliRun english = cli({ "set", "wbvalue", "Schatten" });
    EXPECT_EQ(english.exitCode, 0) << english.err.constData();
    EXPECT_TRUE(english.out.contains("Shade (16)")) << english.out.constData();
    const CliRun props = cli({ "props" });
    EXPECT_TRUE(props.out.contains("Shade")) << props.out.constData();
    EXPECT_FALSE(props.out.contains("Schatten"));
    EXPECT_FALSE(props.out.contains("_rs"));

    // German by --lang or by the setting the window stores; --lang wins over the setting.
    const CliRun german = cli({ "--lang", "de", "set", "wbvalue", "Cloudy" });
    EXPECT_EQ(german.exitCode, 0) << german.err.constData();
    EXPECT_TRUE(german.out.contains("Bewölkt (17)")) << german.out.constData();
    EXPECT_TRUE(cli({ "set", "wbvalue", "18" }, "[General]\nLanguageId=1031\n").out.contains("Sonnig (18)"));
    EXPECT_TRUE(
        cli({ "--lang=en", "set", "wbvalue", "18" }, "[General]\nLanguageId=1031\n").out.contains("Sunny"));

    const CliRun unknown = cli({ "--lang", "fr", "info" });
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err.count('\n'), 1) << unknown.err.constData();
}

TEST(CliLanguage, VerboseShowsTheRefusedRequestAndTheCamerasAnswer)
{
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host));
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    // Art filters are taken in the ART mode only; in P the camera refuses with its error body.
    const CliRun refused = lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(),
        { "--verbose", "set", "artfilter", "Pop Art" }, "[General]\n");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("request: POST ")) << refused.err.constData();
    EXPECT_TRUE(refused.err.contains("propname=artfilter")) << refused.err.constData();
    EXPECT_TRUE(refused.err.contains("answer: status 520")) << refused.err.constData();
    EXPECT_TRUE(refused.err.contains("</errorcode>")) << refused.err.constData();
}

#endif
