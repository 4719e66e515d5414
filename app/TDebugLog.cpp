#include "app/TDebugLog.h"

#include "base/TLogger.h"
#include "base/TMessageObserver.h"
#include "base/TSetup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool isFolderOf(const QString& folder, const QString& other)
{
    const QString a = QFileInfo(folder).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(other).canonicalFilePath();
}

} // namespace

TDebugLog::TDebugLog(TSetup* setup, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("memLog"));
    setReadOnly(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMaximumBlockCount(MaxLogLines);
    tmrAutoLog = new QTimer(this);
    tmrAutoLog->setObjectName(QStringLiteral("tmrAutoLog"));
    connect(tmrAutoLog, &QTimer::timeout, this, &TDebugLog::tmrAutoLogTimer);

    // Created before any other window attaches, so the memo holds the log from the start.
    m_observer = std::make_unique<TMessageObserver>(
        [this](TMessageObserver*, const QString& line) { AddLine(line); });
    m_logger = TLogger::Instance();
    if (m_logger)
        m_logger->Attach(m_observer.get());
    if (m_setup && m_setup->DebugMode)
        tmrAutoLog->start(AutoLogIntervalMs);
}

TDebugLog::~TDebugLog()
{
    if (m_logger)
        m_logger->Detach(m_observer.get());
    m_observer.reset();
    if (m_setup && m_setup->DebugMode && !m_setup->TempDir.isEmpty() && QDir(m_setup->TempDir).exists())
        Save(m_setup->TempDir + QStringLiteral("LM_Main.log"));
}

void TDebugLog::AddLine(const QString& line)
{
    QString text = line;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    appendPlainText(text);
}

bool TDebugLog::Save(const QString& fileName) const
{
    if (fileName.isEmpty() || !QFileInfo(fileName).absoluteDir().exists())
        return false;
    // Written aside and renamed, so an earlier log is never left half overwritten.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes = Text().toUtf8();
    if (!bytes.isEmpty())
        bytes.append('\n');
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

void TDebugLog::tmrAutoLogTimer()
{
    if (!m_setup || m_setup->TempDir.isEmpty() || !QDir(m_setup->TempDir).exists()
        || isFolderOf(m_setup->TempDir, QCoreApplication::applicationDirPath()))
        return;
    tmrAutoLog->stop();
    Save(m_setup->TempDir + QStringLiteral("LM_Auto.log"));
    tmrAutoLog->start(AutoLogIntervalMs);
}
