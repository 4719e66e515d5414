#include "import/TCameraImportItem.h"

#include "import/CameraDateTime.h"

TCameraImportItem::TCameraImportItem(const QString& directory, const QString& fileName,
    const QString& sizeText, const QString& dateText, const QString& timeText)
    : Directory(directory)
    , FileName(fileName)
    , SizeText(sizeText)
    , DateText(dateText)
    , TimeText(timeText)
    , Date(DecodeCameraDate(dateText))
    , Time(DecodeCameraTime(timeText))
{
    m_dateKey = Date.isValid() ? Date.toJulianDay() : 0;
    m_timeKey = Time.isValid() ? Time.msecsSinceStartOfDay() : 0;
}

QString TCameraImportItem::CameraPath() const
{
    if (Directory.isEmpty())
        return {};
    if (Directory.endsWith(QLatin1Char('/')))
        return Directory + FileName;
    return Directory + QLatin1Char('/') + FileName;
}

qint64 TCameraImportItem::Size() const
{
    bool ok = false;
    const qint64 size = SizeText.toLongLong(&ok);
    return ok && size >= 0 ? size : -1;
}

QDateTime TCameraImportItem::DateTime() const
{
    if (!Date.isValid())
        return {};
    return QDateTime(Date, Time.isValid() ? Time : QTime(0, 0));
}

bool TCameraImportItem::SameAs(const TCameraImportItem& other) const
{
    return Directory.compare(other.Directory, Qt::CaseInsensitive) == 0
        && FileName.compare(other.FileName, Qt::CaseInsensitive) == 0
        && SizeText.compare(other.SizeText, Qt::CaseInsensitive) == 0
        && DateText.compare(other.DateText, Qt::CaseInsensitive) == 0
        && TimeText.compare(other.TimeText, Qt::CaseInsensitive) == 0;
}
