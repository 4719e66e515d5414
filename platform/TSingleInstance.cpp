#include "platform/TSingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kRaise = QByteArrayLiteral("raise");

// A per-user folder, so two users of one machine do not block each other.
QString lockFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return folder;
}

} // namespace

TSingleInstance::TSingleInstance(const QString& name, QObject* parent)
    : QObject(parent)
{
    const QString folder = lockFolder();
    m_lockPath = QDir(folder).filePath(name + QStringLiteral(".lock"));
#ifdef Q_OS_WIN
    m_serverName = name; // a pipe name, already per session
#else
    m_serverName = QDir(folder).filePath(name + QStringLiteral(".socket"));
#endif
}

TSingleInstance::~TSingleInstance()
{
    Release();
}

QString TSingleInstance::DefaultName()
{
    return QStringLiteral("KMLumivarAppMutex");
}

bool TSingleInstance::TryAcquire()
{
    if (m_acquired)
        return true;
    auto lock = std::make_unique<QLockFile>(m_lockPath);
    // The lock is held for the whole run: only a dead owner makes it stale, never its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return false;
        qWarning("TSingleInstance: cannot create the lock file %s, starting without it",
            qUtf8Printable(m_lockPath));
        m_acquired = true;
        return true;
    }
    m_lock = std::move(lock);
    m_acquired = true;

    // We own the lock, so a socket of that name is a crashed instance's leftover.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::onNewConnection);
    if (!m_server->listen(m_serverName))
        qWarning("TSingleInstance: cannot listen on %s: %s", qUtf8Printable(m_serverName),
            qUtf8Printable(m_server->errorString()));
    return true;
}

bool TSingleInstance::NotifyRunning(int timeoutMs)
{
    // The first instance may hold the lock a moment before it listens; try a few times.
    const int attempts = 5;
    for (int i = 0; i < attempts; ++i) {
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(timeoutMs / attempts)) {
            socket.write(kRaise);
            const bool written = socket.waitForBytesWritten(timeoutMs);
            socket.disconnectFromServer();
            return written;
        }
        QThread::msleep(50);
    }
    return false;
}

void TSingleInstance::Release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    m_lock.reset();
    m_acquired = false;
}

void TSingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Only the one short word is expected; anything else is not a request of ours.
        const auto check = [this, socket] {
            if (socket->bytesAvailable() < kRaise.size() && socket->state() == QLocalSocket::ConnectedState)
                return;
            if (socket->read(kRaise.size()) == kRaise)
                emit raiseRequested();
            socket->disconnect(this);
            socket->abort();
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::readyRead, this, check);
        connect(socket, &QLocalSocket::disconnected, this, check);
        if (socket->bytesAvailable() > 0)
            check();
    }
}
