#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Keeps the program to one running instance per user. The first instance holds a lock file and
// listens on a local socket of the same name; a later start finds the lock, asks the first one to
// come to the front and ends. A lock left behind by a crashed instance is taken over.
class TSingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit TSingleInstance(const QString& name = DefaultName(), QObject* parent = nullptr);
    ~TSingleInstance() override;

    static QString DefaultName(); // "KMLumivarAppMutex"

    // True when this is the only instance. Also true when the lock cannot be created at all
    // (unwritable folder): a broken lock must not keep the user from starting the program.
    bool TryAcquire();
    // Asks the instance holding the lock to show itself; false when none answered.
    bool NotifyRunning(int timeoutMs = 2000);
    void Release();

    bool IsAcquired() const { return m_acquired; }
    QString LockFilePath() const { return m_lockPath; }
    QString ServerName() const { return m_serverName; }

signals:
    void raiseRequested();

private:
    void onNewConnection();

    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_acquired = false;
};
