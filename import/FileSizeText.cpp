#include "import/FileSizeText.h"

#include <QLocale>

namespace {

QString scaled(qint64 bytes, double unit, const char* name)
{
    return QLocale().toString(double(bytes) / unit, 'f', 1) + QLatin1Char(' ') + QLatin1String(name);
}

} // namespace

QString FileSizeText(qint64 bytes)
{
    constexpr qint64 kKB = Q_INT64_C(1) << 10, kMB = Q_INT64_C(1) << 20, kGB = Q_INT64_C(1) << 30,
                     kTB = Q_INT64_C(1) << 40, kPB = Q_INT64_C(1) << 50;
    if (bytes < kKB)
        return QStringLiteral("%1 Byte").arg(bytes);
    if (bytes < kMB)
        return scaled(bytes, double(kKB), "KB");
    if (bytes < kGB)
        return scaled(bytes, double(kMB), "MB");
    if (bytes < kTB)
        return scaled(bytes, double(kGB), "GB");
    if (bytes < kPB)
        return scaled(bytes, double(kTB), "TB");
    return QString::number(bytes);
}

QString FileSizeText(const QString& text)
{
    bool ok = false;
    const qint64 bytes = text.trimmed().toLongLong(&ok);
    return ok ? FileSizeText(bytes) : text;
}
