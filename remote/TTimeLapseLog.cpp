#include "remote/TTimeLapseLog.h"

#include "base/TLogger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

namespace {

QString timeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

const QString& TTimeLapseLog::Pending()
{
    static const QString pending = QStringLiteral("pending");
    return pending;
}

void TTimeLapseLog::Begin(const QString& folder, qint64 startMs)
{
    m_shots.clear();
    m_written = 0;
    m_fileName.clear();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_fileName = QDir(folder).filePath(QDateTime::fromMSecsSinceEpoch(startMs).toString(
            QStringLiteral("'timelapse-'yyyyMMdd-HHmmss'.csv'")));
}

int TTimeLapseLog::Add(const TTimeLapseShot& shot)
{
    m_shots << shot;
    return int(m_shots.size()) - 1;
}

bool TTimeLapseLog::FileDone(int index, const QString& fileName, bool ok, const QString& why)
{
    if (index < 0 || index >= m_shots.size())
        return false;
    TTimeLapseShot& shot = m_shots[index];
    if (!ok) {
        shot.FailedFiles << fileName;
        TLogger::LogAlways(QStringLiteral("TTimeLapseSeries: %1 of shot %2 not loaded: %3")
                               .arg(fileName)
                               .arg(shot.Number)
                               .arg(why));
    }
    if (--shot.Outstanding > 0)
        return false;
    shot.Outstanding = 0;
    shot.Download = shot.FailedFiles.isEmpty()
        ? QStringLiteral("ok")
        : QStringLiteral("failed: ") + shot.FailedFiles.join(QLatin1Char(' '));
    Write();
    return true;
}

void TTimeLapseLog::Write()
{
    QFile file(m_fileName);
    bool open = false;
    while (m_written < m_shots.size() && m_shots.at(m_written).Download != Pending()) {
        if (!m_fileName.isEmpty()) {
            if (!open) {
                const bool fresh = !file.exists();
                open = file.open(QIODevice::Append | QIODevice::Text);
                if (!open) {
                    TLogger::LogAlways(QStringLiteral("TTimeLapseSeries.writeLog: %1: %2")
                                           .arg(m_fileName, file.errorString()));
                    m_fileName.clear();
                    continue;
                }
                if (fresh)
                    file.write((CsvHeader() + QLatin1Char('\n')).toUtf8());
            }
            file.write((CsvLine(m_shots.at(m_written)) + QLatin1Char('\n')).toUtf8());
        }
        m_shots[m_written].Written = true;
        ++m_written;
    }
}

QString TTimeLapseLog::CsvHeader()
{
    return QStringLiteral("shot,planned,actual,delay_ms,result,shutter_speed,aperture,iso,"
                          "exposure_compensation,measured,files,download");
}

QString TTimeLapseLog::CsvLine(const TTimeLapseShot& shot)
{
    const QStringList fields = { QString::number(shot.Number), timeText(shot.PlannedMs),
        timeText(shot.ActualMs), QString::number(shot.ActualMs - shot.PlannedMs),
        shot.Ok ? QStringLiteral("ok") : shot.Reason, shot.ShutterSpeed, shot.Aperture, shot.Iso,
        shot.ExposureCompensation, shot.Measured, shot.Files.join(QLatin1Char(' ')), shot.Download };
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    return quoted.join(QLatin1Char(','));
}

QJsonArray TTimeLapseLog::Json() const
{
    QJsonArray shots;
    for (const TTimeLapseShot& shot : m_shots) {
        shots.append(QJsonObject { { QStringLiteral("shot"), shot.Number },
            { QStringLiteral("planned"), timeText(shot.PlannedMs) },
            { QStringLiteral("actual"), timeText(shot.ActualMs) },
            { QStringLiteral("delayMs"), double(shot.ActualMs - shot.PlannedMs) },
            { QStringLiteral("ok"), shot.Ok }, { QStringLiteral("missed"), shot.Missed },
            { QStringLiteral("reason"), shot.Reason }, { QStringLiteral("shutterSpeed"), shot.ShutterSpeed },
            { QStringLiteral("aperture"), shot.Aperture }, { QStringLiteral("iso"), shot.Iso },
            { QStringLiteral("exposureCompensation"), shot.ExposureCompensation },
            { QStringLiteral("measured"), shot.Measured },
            { QStringLiteral("files"), QJsonArray::fromStringList(shot.Files) },
            { QStringLiteral("download"), shot.Download } });
    }
    return shots;
}
