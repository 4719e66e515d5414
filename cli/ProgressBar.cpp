#include "ProgressBar.h"

#include "import/FileSizeText.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr qint64 kRedrawMs = 100;

int terminalWidth(std::FILE* stream)
{
    struct winsize size
    {
    };
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 20)
        return size.ws_col;
    return 80;
}

QString duration(qint64 seconds)
{
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ProgressBar::ProgressBar(int totalFiles, qint64 totalBytes, std::FILE* stream)
    : m_stream(stream)
    , m_active(isatty(fileno(stream)) != 0)
    , m_totalFiles(totalFiles)
    , m_totalBytes(totalBytes)
{
    m_clock.start();
}

ProgressBar::~ProgressBar()
{
    Clear();
}

QString ProgressBar::Line(int filesDone, int totalFiles, qint64 bytesDone, qint64 totalBytes,
    double bytesPerSecond, const QString& current, int width)
{
    constexpr int kBar = 24;
    const double share = totalBytes > 0 ? qBound(0.0, double(bytesDone) / double(totalBytes), 1.0) : 0.0;
    const int filled = int(share * kBar);
    QString bar(kBar, QLatin1Char(' '));
    for (int i = 0; i < filled; ++i)
        bar[i] = QLatin1Char('=');
    if (filled < kBar)
        bar[filled] = QLatin1Char('>');
    QString line = QStringLiteral("[%1] %2/%3 files  %4/%5")
                       .arg(bar)
                       .arg(filesDone)
                       .arg(totalFiles)
                       .arg(FileSizeText(bytesDone), FileSizeText(totalBytes));
    if (bytesPerSecond > 0) {
        line += QStringLiteral("  %1/s").arg(FileSizeText(qint64(bytesPerSecond)));
        const qint64 left = qint64(double(qMax<qint64>(0, totalBytes - bytesDone)) / bytesPerSecond);
        line += QStringLiteral("  %1 left").arg(duration(left));
    }
    if (!current.isEmpty())
        line += QStringLiteral("  ") + current;
    if (line.size() > width - 1)
        line.truncate(width - 1);
    return line;
}

void ProgressBar::Update(int filesDone, qint64 bytesDone, const QString& current)
{
    m_files = filesDone;
    m_bytes = bytesDone;
    m_current = current;
    draw(false);
}

void ProgressBar::draw(bool force)
{
    if (!m_active)
        return;
    const qint64 now = m_clock.elapsed();
    if (!force && now - m_lastDraw < kRedrawMs)
        return;
    m_lastDraw = now;
    const double speed = now > 200 ? double(m_bytes) * 1000.0 / double(now) : 0.0;
    const QByteArray text
        = Line(m_files, m_totalFiles, m_bytes, m_totalBytes, speed, m_current, terminalWidth(m_stream))
              .toLocal8Bit();
    std::fprintf(m_stream, "\r\033[K%s", text.constData());
    std::fflush(m_stream);
    m_drawn = true;
}

void ProgressBar::Clear()
{
    if (!m_active || !m_drawn)
        return;
    std::fputs("\r\033[K", m_stream);
    std::fflush(m_stream);
    m_drawn = false;
    m_lastDraw = -1000;
}

void ProgressBar::Finish()
{
    Clear();
}
