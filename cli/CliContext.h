#pragma once

#include "camera/TCameraLink.h"

#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TLanguageModule;
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

    static constexpr quint32 EnglishId = 1033;
    static constexpr quint32 GermanId = 1031;

    // Loads the language files as the window does and makes a language current for every text the
    // commands print: "en" or "de" from --lang, else the language stored in the settings, else English.
    // False with the line to print for a --lang value that names no language.
    bool selectLanguage(const QString& requested, QString& error);
    // The identifier of "en"/"de"/"english"/"german" or a number; 0 for anything else.
    static quint32 LanguageIdOf(const QString& text);

    TSetup& setup() { return *m_setup; }
    QString cameraHost() const;
    // The camera's link; it keeps the last request the camera refused, which a failure shows with
    // --verbose.
    TCameraLink cameraLink() const;
    bool verbose() const { return m_verbose; }
    bool json() const { return m_json; }

    // What nearly every command does first: reach the camera and read its command list. Empty on
    // success, else the error line, which names the host and why (no answer, the camera's status,
    // an unreadable list).
    QString loadCommandList(TOIShare& commandList) const;

    void print(const QString& text) const;
    void printJson(const QJsonDocument& doc) const;
    // Text already in UTF-8, as it is (a line end added when missing).
    void printUtf8(const QByteArray& bytes) const;
    int fail(const QString& message) const; // one line on stderr, returns Failure
    int usage(const QString& message) const; // one line on stderr, returns UsageError
    // The UDP port for live view, checked before the camera is asked to send there: requested (from
    // --port, -1 for none; 0 for any) must be free; else the stored setting or, when another program holds
    // it, the next free port after it, which is said on stderr. 0 with the line to print when none.
    quint16 liveViewPort(int requested, QString& error) const;
    static bool IsUdpPortFree(quint16 port);
    // An option's value as a number of digits only, within lowest..highest.
    static std::optional<int> WholeNumber(const QString& text, int lowest, int highest);
    // The absolute path of an existing, writable folder; empty with the line to print otherwise.
    static QString WritableFolder(const QString& path, QString& error);

private:
    std::unique_ptr<TSetup> m_setup;
    std::unique_ptr<TLogger> m_logger;
    std::unique_ptr<TLanguageModule> m_languages;
    struct Refusal
    {
        TCameraRequest Request;
        TCameraAnswer Answer;
        bool Shown = true;
    };
    std::shared_ptr<Refusal> m_refusal = std::make_shared<Refusal>();
    bool m_json;
    bool m_verbose;
};
