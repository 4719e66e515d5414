#pragma once

#include <QPlainTextEdit>
#include <QTimer>

#include <memory>

class TLogger;
class TMessageObserver;
class TSetup;

// The debug page's log memo: every log line as it is written, the newest lines only. In debug mode
// it is saved to the temporary folder every five seconds and when the program ends.
class TDebugLog : public QPlainTextEdit
{
    Q_OBJECT

public:
    // The memo keeps the newest lines only, so a long session does not eat the memory.
    static constexpr int MaxLogLines = 50000;
    static constexpr int AutoLogIntervalMs = 5000;

    explicit TDebugLog(TSetup* setup, QWidget* parent = nullptr);
    ~TDebugLog() override;

    // Exchange records carry "\r\n" inside; one memo line per text line.
    void AddLine(const QString& line);
    QString Text() const { return toPlainText(); }
    // Writes the memo's lines to the file, replacing it, when its folder exists.
    bool Save(const QString& fileName) const;
    // The automatic save into the temporary folder (not the program's own folder).
    void tmrAutoLogTimer();

    QTimer* tmrAutoLog;

private:
    TSetup* m_setup;
    std::unique_ptr<TMessageObserver> m_observer;
    TLogger* m_logger = nullptr; // the one the observer is attached to
};
