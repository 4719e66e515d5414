#include "CliContext.h"

#include "base/TBaseObserver.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "camera/TOIShare.h"

#include <QFileInfo>
#include <QRegularExpression>

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
{
    m_setup->CameraHostOverride = host;
    m_logger = std::make_unique<TLogger>(m_setup.get());
    TLogger::SetInstance(m_logger.get());
    if (verbose)
        m_logger->Attach(stderrObserver());
}

CliContext::~CliContext()
{
    m_logger->Detach(stderrObserver());
    TLogger::SetInstance(nullptr);
}

QString CliContext::cameraHost() const
{
    return m_setup->GetCameraHost();
}

TCameraLink CliContext::cameraLink() const
{
    return TCameraLink::ToHost(cameraHost());
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
    print(QString::fromUtf8(doc.toJson(QJsonDocument::Indented)));
}

int CliContext::fail(const QString& message) const
{
    std::fprintf(stderr, "lumivar-cli: %s\n", message.toLocal8Bit().constData());
    return Failure;
}

int CliContext::usage(const QString& message) const
{
    std::fprintf(stderr, "lumivar-cli: %s (see lumivar-cli --help)\n", message.toLocal8Bit().constData());
    return UsageError;
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
