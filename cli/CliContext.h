#pragma once

#include "camera/TCameraLink.h"

#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TLogger;
class TOIShare;
class TSetup;

// What every command of lumivar-cli shares: the settings (camera host), the log,
// the output mode and the way errors and results reach the terminal.
class CliContext
{
public:
    enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

    CliContext(const QString& host, bool json, bool verbose);
    ~CliContext();

    TSetup& setup() { return *m_setup; }
    QString cameraHost() const;
    TCameraLink cameraLink() const;
    bool json() const { return m_json; }

    // What nearly every command does first: reach the camera and read its command list. Empty on
    // success, else the error line, which names the host and why (no answer, the camera's status,
    // an unreadable list).
    QString loadCommandList(TOIShare& commandList) const;

    void print(const QString& text) const;
    void printJson(const QJsonDocument& doc) const;
    int fail(const QString& message) const; // one line on stderr, returns Failure
    int usage(const QString& message) const; // one line on stderr, returns UsageError
    // An option's value as a number of digits only, within lowest..highest.
    static std::optional<int> WholeNumber(const QString& text, int lowest, int highest);
    // The absolute path of an existing, writable folder; empty with the line to print otherwise.
    static QString WritableFolder(const QString& path, QString& error);

private:
    std::unique_ptr<TSetup> m_setup;
    std::unique_ptr<TLogger> m_logger;
    bool m_json;
};
