#include "CliContext.h"

#include "base/TBaseObserver.h"
#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "camera/CameraTexts.h"
#include "camera/TOIShare.h"
#include "exif/ExifTexts.h"
#include "exif/MakerNoteTexts.h"
#include "liveview/LiveViewTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSettings>
#include <QUdpSocket>

#include <cstdio>

namespace {

// Prints every log line on stderr; used with --verbose so the HTTP exchange
// records can be read next to the result.
class StderrObserver : public TBaseObserver
{
public:
    void Update(const QString& line) override
    {
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    }
};

StderrObserver* stderrObserver()
{
    static StderrObserver observer;
    return &observer;
}

} // namespace

CliContext::CliContext(const QString& host, bool json, bool verbose)
    : m_setup(std::make_unique<TSetup>())
    , m_json(json)
    , m_verbose(verbose)
{
    m_setup->CameraHostOverride = host;
    m_logger = std::make_unique<TLogger>(m_setup.get());
    TLogger::SetInstance(m_logger.get());
    if (verbose)
        m_logger->Attach(stderrObserver());
}

CliContext::~CliContext()
{
    if (m_languages)
        TLanguageModule::SetInstance(nullptr);
    m_logger->Detach(stderrObserver());
    TLogger::SetInstance(nullptr);
}

quint32 CliContext::LanguageIdOf(const QString& text)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("en") || name == QLatin1String("english"))
        return EnglishId;
    if (name == QLatin1String("de") || name == QLatin1String("german") || name == QLatin1String("deutsch"))
        return GermanId;
    return WholeNumber(name, 1, 0xFFFF).value_or(0);
}

bool CliContext::selectLanguage(const QString& requested, QString& error)
{
    quint32 id = EnglishId;
    if (!requested.isEmpty()) {
        id = LanguageIdOf(requested);
        if (id == 0) {
            error = QStringLiteral("--lang needs en or de, not \"%1\"").arg(requested);
            return false;
        }
    } else if (QSettings(QStringLiteral("Kelmarin"), QStringLiteral("Lumivar"))
                   .contains(QStringLiteral("LanguageId"))) {
        // Someone who chose a language in the window gets it here too.
        TSetup stored;
        stored.Load();
        id = stored.LanguageId;
    }
    m_languages = std::make_unique<TLanguageModule>();
    TLanguageModule::SetInstance(m_languages.get());
    // Every module's texts come in the chosen language, also those registered before a command runs.
    RegisterCameraTexts();
    RegisterExifTexts();
    RegisterMakerNoteTexts();
    RegisterLiveViewTexts();
    if (m_languages->SelectLanguage(id) || id == GermanId)
        return true;
    // Without the language files the built-in German texts remain; say so once, not a failure.
    if (!requested.isEmpty() || id != EnglishId)
        std::fprintf(stderr, "lumivar-cli: no language file for %u in %s, the texts stay German\n", id,
            qPrintable(QDir::toNativeSeparators(m_languages->Folder())));
    return true;
}

QString CliContext::cameraHost() const
{
    return m_setup->GetCameraHost();
}

TCameraLink CliContext::cameraLink() const
{
    TCameraLink link = TCameraLink::ToHost(cameraHost());
    link.Transport = [refusal = m_refusal](const TCameraRequest& request) {
        TCameraAnswer answer = TCameraLink::SendHttp(request);
        if (answer.Completed && answer.Code != 200)
            *refusal = Refusal { request, answer, false };
        return answer;
    };
    return link;
}

QString CliContext::loadCommandList(TOIShare& commandList) const
{
    const QString host = cameraHost();
    if (commandList.Load(TCameraLink::ToHost(host)))
        return {};
    QString why;
    switch (commandList.LastFailure) {
    case TCameraFailure::NoAnswer:
        why = QStringLiteral("no answer (%1)").arg(commandList.LastError);
        break;
    case TCameraFailure::Status:
        why = QStringLiteral("the camera answered with status %1").arg(commandList.ResponseCode);
        break;
    case TCameraFailure::Unreadable:
        why = QStringLiteral("the answer is not a readable command list");
        break;
    default:
        why = commandList.LastError;
        break;
    }
    return QStringLiteral("could not read the command list from %1: %2").arg(host, why);
}

void CliContext::print(const QString& text) const
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CliContext::printJson(const QJsonDocument& doc) const
{
    printUtf8(doc.toJson(QJsonDocument::Indented));
}

void CliContext::printUtf8(const QByteArray& bytes) const
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    if (!bytes.endsWith('\n'))
        std::fputc('\n', stdout);
    std::fflush(stdout);
}

int CliContext::fail(const QString& message) const
{
    std::fprintf(stderr, "lumivar-cli: %s\n", message.toLocal8Bit().constData());
    if (m_verbose && !m_refusal->Shown) {
        // What was asked and what the camera said, as they went over the wire.
        const Refusal& last = *m_refusal;
        QString text = QStringLiteral("request: %1 %2\n")
                           .arg(QString::fromLatin1(last.Request.Method), last.Request.Url);
        if (!last.Request.Body.isEmpty())
            text += QStringLiteral("request body: %1\n").arg(QString::fromUtf8(last.Request.Body));
        text += QStringLiteral("answer: status %1\n%2\n")
                    .arg(last.Answer.Code)
                    .arg(QString::fromUtf8(last.Answer.Body).trimmed());
        std::fputs(text.toLocal8Bit().constData(), stderr);
        m_refusal->Shown = true;
    }
    return Failure;
}

int CliContext::usage(const QString& message) const
{
    std::fprintf(stderr, "lumivar-cli: %s (see lumivar-cli --help)\n", message.toLocal8Bit().constData());
    return UsageError;
}

bool CliContext::IsUdpPortFree(quint16 port)
{
    // Bound the way the live view receiver binds it.
    QUdpSocket socket;
    return socket.bind(QHostAddress::AnyIPv4, port);
}

quint16 CliContext::liveViewPort(int requested, QString& error) const
{
    if (requested == 0) {
        // Any port the system gives; the camera is told the number, never 0.
        QUdpSocket socket;
        if (socket.bind(QHostAddress::AnyIPv4, 0))
            return socket.localPort();
    }
    if (requested >= 0) {
        if (requested > 0 && IsUdpPortFree(quint16(requested)))
            return quint16(requested);
        error = QStringLiteral("the UDP port %1 is taken by another program (--port chooses another)")
                    .arg(requested);
        return 0;
    }
    TSetup stored;
    stored.Load();
    constexpr int kTries = 100;
    for (int port = stored.LiveViewPort; port < stored.LiveViewPort + kTries && port <= 65535; ++port) {
        if (!IsUdpPortFree(quint16(port)))
            continue;
        if (port != stored.LiveViewPort)
            std::fprintf(stderr,
                "lumivar-cli: the UDP port %u is taken by another program, live view uses port %d\n",
                unsigned(stored.LiveViewPort), port);
        return quint16(port);
    }
    error = QStringLiteral("the UDP ports %1 to %2 are taken by other programs (--port chooses another)")
                .arg(stored.LiveViewPort)
                .arg(qMin(65535, stored.LiveViewPort + kTries - 1));
    return 0;
}

std::optional<int> CliContext::WholeNumber(const QString& text, int lowest, int highest)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

QString CliContext::WritableFolder(const QString& path, QString& error)
{
    const QFileInfo folder(path);
    if (!folder.isDir() || !folder.isWritable()) {
        error = QStringLiteral("%1 is no writable folder").arg(path);
        return {};
    }
    return folder.absoluteFilePath();
}
