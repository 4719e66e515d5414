#include "app/TfraDebug.h"
#include "app/TfrmInfo.h"

#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/TStoredZip.h"
#include "common/TestHttpServer.h"
#include "common/TestPaths.h"
#include "sim/SimServer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <memory>

using lumivar::test::TestHttpServer;

namespace {

TEST(InfoWindow, ShowsTermsVersionAndLinkInTheCurrentLanguage)
{
    TLanguageModule module(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages"));
    TLanguageModule::SetInstance(&module);
    {
        TfrmInfo info;
        QList<QUrl> opened;
        info.OpenUrl = [&opened](const QUrl& url) {
            opened.append(url);
            return true;
        };
        const auto* terms = info.findChild<QTextBrowser*>(QStringLiteral("redLicence"));
        ASSERT_NE(terms, nullptr);
        EXPECT_TRUE(terms->isReadOnly());
        const QString german = terms->toPlainText();
        for (const char* heading :
            { "Nutzungsbedingungen:", "Garantie- und Haftungsausschluss:", "Copyright:" })
            EXPECT_TRUE(german.contains(QLatin1String(heading))) << heading;
        EXPECT_FALSE(info.findChild<QTextBrowser*>(QStringLiteral("redCredits"))->toPlainText().isEmpty());

        const auto* version = info.findChild<QLabel*>(QStringLiteral("lblVersion"));
        EXPECT_TRUE(version->text().contains(
            QRegularExpression(QStringLiteral("^Version: \\d+\\.\\d+\\.\\d+\\.\\d+$"))))
            << version->text().toStdString();

        auto* link = info.findChild<QLabel*>(QStringLiteral("lklWeb"));
        ASSERT_NE(link, nullptr);
        EXPECT_TRUE(link->text().contains(TfrmInfo::WebAddress()));
        emit link->linkActivated(TfrmInfo::WebAddress());
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.first(), QUrl(TfrmInfo::WebAddress()));

        ASSERT_TRUE(module.SelectLanguage(1033));
        EXPECT_TRUE(terms->toPlainText().contains(QLatin1String("Terms of use:")));
        EXPECT_TRUE(terms->toPlainText().contains(QLatin1String("Disclaimer of warranty and liability:")));
        EXPECT_EQ(
            info.findChild<QWidget*>(QStringLiteral("tsLicense"))->windowTitle(), QStringLiteral("License"));
        module.SelectLanguage(TLanguageModule::GermanId);
        EXPECT_EQ(terms->toPlainText(), german);
    }
    TLanguageModule::SetInstance(nullptr);
}

class DebugPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        TLogger::SetInstance(&m_logger);
        m_setup.CameraHostOverride = m_server.hostAndPort();
    }
    void TearDown() override
    {
        m_page.reset();
        TLogger::SetInstance(nullptr);
    }
    TfraDebug* page()
    {
        if (!m_page) {
            m_page = std::make_unique<TfraDebug>(&m_setup);
            m_page->ShowError = [this](QWidget*, const QString& text) { m_errors.append(text); };
        }
        return m_page.get();
    }
    template<typename T> T* control(const char* name)
    {
        T* found = page()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString status() { return control<QLabel>("lblResponseCode")->text(); }
    void choosePreset(const QString& path)
    {
        QComboBox* box = control<QComboBox>("cbxInput");
        const int index = box->findText(QStringLiteral("http://") + m_setup.GetCameraHost() + path);
        ASSERT_GE(index, 0) << path.toStdString();
        box->setCurrentIndex(index);
    }

    QTemporaryDir m_dir;
    TSetup m_setup;
    TLogger m_logger { &m_setup };
    TestHttpServer m_server;
    std::unique_ptr<TfraDebug> m_page;
    QStringList m_errors;
};

TEST_F(DebugPageTest, GetShowsTheStatusAndTheAnswerReachesTheLog)
{
    camsim::SimServerOptions options;
    options.generatedFiles = 1;
    camsim::SimServer camera(options);
    ASSERT_TRUE(camera.isValid()) << camera.errorText();
    ASSERT_NE(camera.start(0), 0);
    m_setup.CameraHostOverride = QStringLiteral("127.0.0.1:%1").arg(camera.port());
    page()->show(); // the presets follow the camera host
    choosePreset(QStringLiteral("/get_caminfo.cgi"));
    control<QPushButton>("btnGet")->click();

    EXPECT_EQ(status(), QStringLiteral("HTTP-Status: 200"));
    const QString log = page()->LogText();
    EXPECT_TRUE(log.contains(QLatin1String("GET /get_caminfo.cgi\nResponse-Code: 200\n")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QLatin1String("<model>E-M10</model>"))) << "the answer is logged";

    // The scripted server from here on: what exactly went out.
    m_setup.CameraHostOverride = m_server.hostAndPort();
    page()->hide();
    page()->show();
    const QByteArray commandList
        = lumivar::test::readFixture(QStringLiteral("camera/commandlist_E-M10_v2.20.xml"));
    ASSERT_FALSE(commandList.isEmpty());
    m_server.respondStatus(200, "OK", commandList);
    choosePreset(QStringLiteral("/get_commandlist.cgi"));
    control<QPushButton>("btnGet")->click();
    EXPECT_EQ(status(), QStringLiteral("HTTP-Status: 200"));
    EXPECT_EQ(m_server.lastRequestLine(), QByteArray("GET /get_commandlist.cgi HTTP/1.1"));
    // The whole body is logged, first element to last.
    EXPECT_TRUE(page()->LogText().contains(QLatin1String("<cgi name=\"get_connectmode\">")));
    EXPECT_TRUE(page()->LogText().contains(QLatin1String("</oishare>")));

    // Typed text is trimmed; a status other than 200 is shown as it came.
    m_server.respondStatus(404, "Not Found", "");
    control<QComboBox>("cbxInput")
        ->setEditText(QStringLiteral("  ") + m_server.url("/no_such.cgi") + QStringLiteral(" "));
    control<QPushButton>("btnGet")->click();
    EXPECT_EQ(status(), QStringLiteral("HTTP-Status: 404"));
    EXPECT_EQ(m_server.lastRequestLine(), QByteArray("GET /no_such.cgi HTTP/1.1"));
}

TEST_F(DebugPageTest, NothingIsSentWithoutARequest)
{
    QComboBox* input = control<QComboBox>("cbxInput");
    EXPECT_TRUE(input->currentText().isEmpty());
    control<QPushButton>("btnGet")->click();
    EXPECT_EQ(status(), QStringLiteral("keine Anfrage ausgewählt"));

    // A blank separator between the preset groups.
    const int separator = input->findText(QString());
    ASSERT_GT(separator, 0);
    input->setCurrentIndex(separator);
    control<QLabel>("lblResponseCode")->setText(QString());
    control<QPushButton>("btnGet")->click();
    EXPECT_EQ(status(), QStringLiteral("keine Anfrage ausgewählt"));
    control<QPushButton>("btnPost")->click();
    EXPECT_EQ(status(), QStringLiteral("keine Anfrage ausgewählt"));
    EXPECT_EQ(m_server.connectionCount(), 0);
}

TEST_F(DebugPageTest, PostSendsTheLinesAsXml)
{
    m_server.respondStatus(200, "OK", "");
    page()->show();
    control<QComboBox>("cbxInput")->setEditText(m_server.url("/set_camprop.cgi?com=set&propname=takemode"));
    control<QPushButton>("btnPost")->click();
    EXPECT_EQ(status(), QStringLiteral("HTTP-Status: 200"));
    EXPECT_EQ(
        m_server.lastRequestLine(), QByteArray("POST /set_camprop.cgi?com=set&propname=takemode HTTP/1.1"));
    EXPECT_EQ(m_server.lastHeader("Content-Type"), QByteArray("text/xml"));
    EXPECT_EQ(m_server.lastBody(), QByteArray("<?xml version=\"1.0\"?><set><value>M</value></set>"));

    // Several lines are joined with "&", each trimmed; a click on the status label posts as well.
    m_server.respondStatus(202, "Accepted", "");
    control<QPlainTextEdit>("memPost")->setPlainText(QStringLiteral(" a=1 \nb=2\n"));
    QLabel* label = control<QLabel>("lblResponseCode");
    QMouseEvent press(QEvent::MouseButtonRelease, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)),
        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(label, &press);
    EXPECT_EQ(status(), QStringLiteral("HTTP-Status: 202"));
    EXPECT_EQ(m_server.lastBody(), QByteArray("a=1&b=2"));
}

TEST_F(DebugPageTest, FailedRequestKeepsTheLog)
{
    page();
    m_logger.Log(QStringLiteral("first line"), true);
    control<QComboBox>("cbxInput")
        ->setEditText(
            QStringLiteral("http://127.0.0.1:%1/get_caminfo.cgi").arg(TestHttpServer::closedPort()));
    control<QPushButton>("btnGet")->click();
    EXPECT_TRUE(status().startsWith(QStringLiteral("Fehler: "))) << status().toStdString();
    const QString log = page()->LogText();
    EXPECT_TRUE(log.contains(QLatin1String("first line")));
    EXPECT_TRUE(log.endsWith(status())) << log.toStdString();
}

TEST_F(DebugPageTest, MemoHoldsTheNewestLinesOnly)
{
    page();
    for (int i = 0; i < TfraDebug::MaxLogLines + 100; ++i)
        m_logger.Log(QStringLiteral("line %1").arg(i), true);
    const QStringList lines = page()->LogText().split(u'\n');
    EXPECT_EQ(lines.size(), TfraDebug::MaxLogLines);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral(": line %1").arg(TfraDebug::MaxLogLines + 99)));
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral(": line 100")));
}

TEST_F(DebugPageTest, DumpButtonWritesTheCameraAnswersToTheChosenFile)
{
    camsim::SimServerOptions options;
    options.generatedFiles = 1;
    camsim::SimServer camera(options);
    ASSERT_TRUE(camera.isValid()) << camera.errorText();
    ASSERT_NE(camera.start(0), 0);
    m_setup.CameraHostOverride = QStringLiteral("127.0.0.1:%1").arg(camera.port());
    QUdpSocket probe; // a live view port no other test uses now
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    m_setup.LiveViewPort = probe.localPort();
    probe.close();
    const QString chosen = m_dir.filePath(QStringLiteral("report"));
    page()->ChooseSaveFile = [&](QWidget*, const QString&, const QString& filter) {
        EXPECT_TRUE(filter.contains(QLatin1String("*.zip")));
        return chosen;
    };
    control<QPushButton>("btnDump")->click();
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join(u'\n').toStdString();
    QFile written(chosen + QStringLiteral(".zip"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    zip::TZipReader reader;
    ASSERT_TRUE(reader.read(written.readAll())) << reader.error().toStdString();
    EXPECT_TRUE(reader.entry(QStringLiteral("answers/caminfo.xml")).contains("E-M10"));
    EXPECT_TRUE(status().contains(QStringLiteral("report.zip"))) << status().toStdString();

    // A camera that is gone: said so, and no file.
    camera.stop();
    const QString second = m_dir.filePath(QStringLiteral("second.zip"));
    page()->ChooseSaveFile = [&](QWidget*, const QString&, const QString&) { return second; };
    control<QPushButton>("btnDump")->click();
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().startsWith(QStringLiteral("Die Kamera antwortet nicht")))
        << m_errors.first().toStdString();
    EXPECT_FALSE(QFile::exists(second));
}

TEST_F(DebugPageTest, SaveWritesTheMemo)
{
    page();
    m_logger.Log(QStringLiteral("GET /get_caminfo.cgi\r\nResponse-Code: 200\r\n"), true);
    m_logger.Log(QStringLiteral("Ä second"), true);
    QString offered;
    page()->ChooseSaveFile = [&](QWidget*, const QString& title, const QString& filter) {
        offered = title + u'|' + filter;
        return m_dir.filePath(QStringLiteral("support"));
    };
    page()->btnSaveClick();
    EXPECT_EQ(offered, QStringLiteral("Log-Datei speichern|Log-Dateien (*.log)"));
    QFile file(m_dir.filePath(QStringLiteral("support.log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString saved = QString::fromUtf8(file.readAll());
    EXPECT_EQ(saved, page()->LogText() + u'\n');
    EXPECT_EQ(saved.count(u'\n'), 3); // the record's two lines, the second line, the end
    EXPECT_TRUE(saved.contains(QStringLiteral("Ä second")));
    EXPECT_TRUE(m_errors.isEmpty());

    // A folder that does not exist: nothing written, and the user is told.
    const QString missing = m_dir.filePath(QStringLiteral("gone/support.log"));
    EXPECT_FALSE(page()->SaveLog(missing));
    page()->ChooseSaveFile = [&](QWidget*, const QString&, const QString&) { return missing; };
    page()->btnSaveClick();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(m_errors.size(), 1);
    // Cancelled dialog: nothing happens.
    page()->ChooseSaveFile = [](QWidget*, const QString&, const QString&) { return QString(); };
    page()->btnSaveClick();
    EXPECT_EQ(m_errors.size(), 1);
}

TEST_F(DebugPageTest, DebugModeSavesTheLogAutomaticallyButNotIntoTheProgramFolder)
{
    m_setup.DebugMode = true;
    const QString programFolder
        = TSetup::IncludeTrailingPathDelimiter(QCoreApplication::applicationDirPath());
    ASSERT_FALSE(QFile::exists(programFolder + QStringLiteral("LM_Auto.log")));
    m_setup.TempDir = programFolder;
    EXPECT_TRUE(page()->findChild<QTimer*>(QStringLiteral("tmrAutoLog"))->isActive());
    m_logger.Log(QStringLiteral("traced"), false);
    page()->tmrAutoLogTimer();
    EXPECT_FALSE(QFile::exists(programFolder + QStringLiteral("LM_Auto.log")));

    const QString temp = TSetup::IncludeTrailingPathDelimiter(m_dir.path());
    m_setup.TempDir = temp;
    page()->tmrAutoLogTimer();
    QFile automatic(temp + QStringLiteral("LM_Auto.log"));
    ASSERT_TRUE(automatic.open(QIODevice::ReadOnly));
    EXPECT_TRUE(automatic.readAll().contains("traced"));
    EXPECT_TRUE(page()->findChild<QTimer*>(QStringLiteral("tmrAutoLog"))->isActive());

    // At the end of the run the whole log goes to LM_Main.log.
    m_page.reset();
    QFile last(temp + QStringLiteral("LM_Main.log"));
    ASSERT_TRUE(last.open(QIODevice::ReadOnly));
    EXPECT_TRUE(last.readAll().contains("traced"));
    m_logger.Log(QStringLiteral("after the page"), true); // detached: must not reach the freed page
}

} // namespace
