#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// One self-rewriting line on a terminal: files, bytes, speed, time left and the current name.
// Prints nothing when the stream is not a terminal, so redirected output stays clean.
class ProgressBar
{
public:
    ProgressBar(int totalFiles, qint64 totalBytes, std::FILE* stream = stderr);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    bool Active() const { return m_active; }
    // filesDone complete files, bytesDone bytes of all files including the running one.
    void Update(int filesDone, qint64 bytesDone, const QString& current);
    // Clears the line, so messages and the summary start at its beginning.
    void Clear();
    void Finish();

    // The line without terminal control: "[=====>    ]  3/10 files  45.2 MB/120.0 MB  12.3 MB/s  0:06 left".
    static QString Line(int filesDone, int totalFiles, qint64 bytesDone, qint64 totalBytes,
        double bytesPerSecond, const QString& current, int width);

private:
    void draw(bool force);

    std::FILE* m_stream;
    bool m_active;
    int m_totalFiles;
    qint64 m_totalBytes;
    int m_files = 0;
    qint64 m_bytes = 0;
    QString m_current;
    QElapsedTimer m_clock;
    qint64 m_lastDraw = -1000;
    bool m_drawn = false;
};
