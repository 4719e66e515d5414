#include "camera/ImgListLines.h"

namespace {
QDateTime fatDateTime(uint date, uint time)
{
    const QDate day(int(date >> 9) + 1980, int((date >> 5) & 0x0F), int(date & 0x1F));
    const QTime clock(int(time >> 11), int((time >> 5) & 0x3F), int(time & 0x1F) * 2);
    return day.isValid() && clock.isValid() ? QDateTime(day, clock) : QDateTime();
}
} // namespace

QList<TImgListLine> parseImgListLines(const QByteArray& body)
{
    QList<TImgListLine> lines;
    for (const QByteArray& raw : body.split('\n')) {
        const QList<QByteArray> fields = raw.trimmed().split(',');
        if (fields.size() < 6)
            continue;
        // The name may hold commas, the numbers after it not.
        const qsizetype n = fields.size();
        bool okAttr = false, okDate = false, okTime = false;
        TImgListLine line;
        line.Attributes = fields[n - 3].toUInt(&okAttr);
        const uint date = fields[n - 2].toUInt(&okDate);
        const uint time = fields[n - 1].toUInt(&okTime);
        if (!okAttr || !okDate || !okTime)
            continue;
        line.Name = QString::fromLatin1(fields.mid(1, n - 5).join(','));
        line.Stamp = fatDateTime(date, time);
        lines.append(line);
    }
    return lines;
}
