#include "import/CameraDateTime.h"

#include <QLocale>

namespace {

bool readPacked(const QString& text, quint32& value)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok)
        return false;
    value = quint32(v);
    return true;
}

// The locale's long time format names a time zone, which a time of day from the camera has none of.
QString timeFormatWithoutZone()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

} // namespace

QDate DecodeCameraDate(const QString& text)
{
    quint32 v = 0;
    if (!readPacked(text, v))
        return {};
    const QDate date(int((v >> 9) & 127) + 1980, int((v >> 5) & 15), int(v & 31));
    return date.isValid() ? date : QDate();
}

QTime DecodeCameraTime(const QString& text)
{
    quint32 v = 0;
    if (!readPacked(text, v))
        return {};
    const QTime time(int((v >> 11) & 31), int((v >> 5) & 63), int(v & 31) * 2);
    return time.isValid() ? time : QTime();
}

QString CameraDateText(const QString& text)
{
    const QDate date = DecodeCameraDate(text);
    if (!date.isValid())
        return text;
    // The language's short form, with the year whole: "26" alone could be any century's.
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return locale.toString(date, format);
}

QString CameraTimeText(const QString& text)
{
    const QTime time = DecodeCameraTime(text);
    return time.isValid() ? QLocale().toString(time, timeFormatWithoutZone()) : text;
}
