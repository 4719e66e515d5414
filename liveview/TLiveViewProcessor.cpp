#include "liveview/TLiveViewProcessor.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "liveview/LiveViewTexts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QMetaEnum>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <exception>

namespace {

qint64 monotonicMs()
{
    return QDeadlineTimer::current().deadline();
}

constexpr qint64 kMaxDatagram = 65536;

} // namespace

std::mutex& TLiveViewProcessor::queueLock()
{
    static std::mutex lock;
    return lock;
}

TLiveViewProcessor::TLiveViewProcessor(const TSetup* setup)
    : m_setup(setup)
    , m_imageBuffer(setup)
    , m_context(std::make_unique<QObject>())
    , m_alive(std::make_shared<bool>(true))
{
    RegisterLiveViewTexts();
    queueLock(); // exists before any socket opens
    m_watchdog = new QTimer(m_context.get());
    m_watchdog->setSingleShot(true);
    QObject::connect(m_watchdog, &QTimer::timeout, m_context.get(), [this] { onWatchdog(); });
    m_processTimer = new QTimer(m_context.get());
    m_processTimer->setSingleShot(true);
    QObject::connect(m_processTimer, &QTimer::timeout, m_context.get(), [this] { OnProcessTimer(); });
    Reset();
}

TLiveViewProcessor::~TLiveViewProcessor()
{
    *m_alive = false;
    Stop();
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
    delete m_worker; // its thread has ended, so it may go from here
}

quint16 TLiveViewProcessor::Start(quint16 port)
{
    if (m_listening)
        return m_port;
    Reset();
    m_threaded = m_setup ? m_setup->LiveViewThreaded : true;
    if (!m_thread) {
        m_thread = std::make_unique<QThread>();
        m_thread->setObjectName(QStringLiteral("LiveViewReceiver"));
        m_worker = new QObject;
        m_worker->moveToThread(m_thread.get());
        m_thread->start();
    }
    {
        const std::lock_guard lock(m_directMutex);
        m_stopping = false;
        m_directPending = false;
    }
    OpenResult result;
    QMetaObject::invokeMethod(
        m_worker, [this, port, &result] { result = openSocket(port); }, Qt::BlockingQueuedConnection);

    if (result.port != 0) {
        m_listening = true;
        m_port = result.port;
        m_grantedBuffer = result.granted;
        m_startTime = QDateTime::currentDateTime();
        m_watchdog->start(kWatchdogMs);
        if (m_threaded)
            m_processTimer->start(kProcessIntervalMs);
        TLogger::LogTrace(QStringLiteral("TLiveViewProcessor.Start: UDP server started"));
        // Stock Linux caps the buffer far below the request; a short buffer loses frames in bursts.
        const QString buffer
            = QStringLiteral("TLiveViewProcessor.Start: receive buffer of %1 bytes requested, %2 granted")
                  .arg(kReceiveBufferSize)
                  .arg(result.granted);
        if (result.granted < kReceiveBufferSize)
            TLogger::LogAlways(buffer);
        else
            TLogger::LogTrace(buffer);
        return m_port;
    }
    // The message names the setting that chooses another port.
    const QString message
        = rs("_rsOpenLiveStreamPortFailed", { int(port) }) + u' ' + rs("_rsLiveViewPortSetting");
    if (result.error.isEmpty()) {
        m_errorText = message;
        TLogger::LogAlways(message);
    } else {
        m_errorText = message + QStringLiteral("\r\n") + QStringLiteral(" (Ex): ") + result.error;
        TLogger::LogAlways(message + QStringLiteral(" (Ex: ") + result.error + QStringLiteral(")"));
    }
    return 0;
}

void TLiveViewProcessor::Stop()
{
    if (!m_listening)
        return;
    {
        // Releases a receiving thread that waits for the main thread in the direct mode.
        const std::lock_guard lock(m_directMutex);
        m_stopping = true;
    }
    m_directDone.notify_all();
    QMetaObject::invokeMethod(
        m_worker, [this] { closeSocket(); }, Qt::BlockingQueuedConnection);
    m_listening = false;
    Reset();
}

void TLiveViewProcessor::Reset()
{
    {
        const std::lock_guard lock(queueLock());
        m_queue.Clear();
    }
    m_imageBuffer.Clear();
    m_errorText.clear();
    m_receiving = false;
    m_watchdog->stop();
    m_processTimer->stop();
    m_startTime = QDateTime();
    m_datagramCount = 0;
    m_staleDatagrams = 0;
}

QString TLiveViewProcessor::GetFpsText(bool detailed) const
{
    if (detailed)
        return QStringLiteral("%1 fps | %2 fps (%3)")
            .arg(m_imageBuffer.CompletedFrameRate())
            .arg(m_imageBuffer.BegunFrameRate())
            .arg(DatagramCount());
    return QStringLiteral("%1 fps").arg(m_imageBuffer.CompletedFrameRate());
}

qsizetype TLiveViewProcessor::QueuedDatagrams() const
{
    const std::lock_guard lock(queueLock());
    return m_queue.Count();
}

TLiveViewProcessor::OpenResult TLiveViewProcessor::openSocket(quint16 port)
{
    OpenResult result;
    auto* socket = new QUdpSocket(m_worker);
    // Not shared: on Unix the default bind mode lets a second socket take a port that is in use.
    if (!socket->bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress)) {
        result.error = socket->errorString();
        delete socket;
        return result;
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferSize);
    result.granted = socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt();
    result.port = socket->localPort();
    ++m_session;
    m_socket = socket;
    QObject::connect(socket, &QUdpSocket::readyRead, m_worker, [this] { readPending(); });
    QObject::connect(
        socket, &QAbstractSocket::errorOccurred, m_worker, [socket](QAbstractSocket::SocketError e) {
            const char* name = QMetaEnum::fromType<QAbstractSocket::SocketError>().valueToKey(e);
            TLogger::LogAlways(
                QStringLiteral("TLiveViewProcessor.UDPException (QAbstractSocket::%1): %2")
                    .arg(QString::fromLatin1(name ? name : "UnknownSocketError"), socket->errorString()));
        });
    return result;
}

void TLiveViewProcessor::closeSocket()
{
    ++m_session;
    delete m_socket;
    m_socket = nullptr;
}

void TLiveViewProcessor::readPending()
{
    QUdpSocket* socket = m_socket;
    if (!socket)
        return;
    // The whole datagram is read, whatever its size, so a large one is never cut into a frame.
    QByteArray buffer(kMaxDatagram, Qt::Uninitialized);
    while (socket->hasPendingDatagrams()) {
        const qint64 read = socket->readDatagram(buffer.data(), buffer.size());
        if (read < 0)
            break;
        const QByteArray datagram(buffer.constData(), qsizetype(read));
        if (m_threaded) {
            intakeThreaded(datagram);
        } else {
            intakeDirect(datagram);
            const std::lock_guard lock(m_directMutex);
            if (m_stopping)
                return;
        }
    }
}

void TLiveViewProcessor::logShortDatagram(qsizetype length) const
{
    TLogger::LogAlways(QStringLiteral("Ungültige Blocklänge beim Lesen des Livestreams (%1)").arg(length));
}

void TLiveViewProcessor::markAlive()
{
    m_lastAliveMs = monotonicMs();
    m_receiving = true;
}

void TLiveViewProcessor::intakeThreaded(const QByteArray& datagram)
{
    try {
        if (datagram.size() < TImageBuffer::kHeaderSize) {
            logShortDatagram(datagram.size());
            return;
        }
        const QDateTime now = QDateTime::currentDateTime();
        {
            const std::lock_guard lock(queueLock());
            markAlive();
            m_queue.Add(datagram, now);
            ++m_datagramCount;
            while (m_queue.Count() > kMaxQueuedDatagrams) {
                m_queue.Delete(0);
                ++m_staleDatagrams;
            }
        }
    } catch (const std::exception& e) {
        // Nothing may escape into the socket's event loop.
        TLogger::LogAlways(
            QStringLiteral("TLiveViewProcessor.UDPRead (Ex): ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TLogger::LogAlways(QStringLiteral("TLiveViewProcessor.UDPRead (Ex): unknown error"));
    }
}

void TLiveViewProcessor::intakeDirect(const QByteArray& datagram)
{
    const quint64 session = m_session.load();
    std::unique_lock lock(m_directMutex);
    if (m_stopping)
        return;
    m_directPending = true;
    QMetaObject::invokeMethod(
        m_context.get(), [this, datagram, session] { processDirect(datagram, session); },
        Qt::QueuedConnection);
    m_directDone.wait(lock, [this] { return !m_directPending || m_stopping; });
}

void TLiveViewProcessor::processDirect(const QByteArray& datagram, quint64 session)
{
    // A hand-off of a closed session: its receiving thread was released by the stop already.
    if (session != m_session.load())
        return;
    if (m_listening) {
        try {
            if (datagram.size() < TImageBuffer::kHeaderSize) {
                logShortDatagram(datagram.size());
            } else {
                markAlive();
                m_imageBuffer.AddData(datagram);
                ++m_datagramCount;
            }
        } catch (const std::exception& e) {
            TLogger::LogAlways(
                QStringLiteral("TLiveViewProcessor.UDPRead (Ex): ") + QString::fromLocal8Bit(e.what()));
        }
    }
    {
        const std::lock_guard lock(m_directMutex);
        m_directPending = false;
    }
    m_directDone.notify_all();
}

void TLiveViewProcessor::onWatchdog()
{
    if (!m_listening)
        return;
    // Restarting a main-thread timer from the receiving thread is not possible, so the watchdog
    // compares the time of the last accepted datagram instead and clears the flag 3000 ms after it.
    const qint64 age = monotonicMs() - m_lastAliveMs.load();
    if (age >= kWatchdogMs) {
        m_receiving = false;
        m_watchdog->start(kWatchdogMs);
    } else {
        m_watchdog->start(int(kWatchdogMs - age));
    }
}

void TLiveViewProcessor::OnProcessTimer()
{
    if (!m_threaded || !m_listening)
        return;
    m_processTimer->stop();
    const std::shared_ptr<bool> alive = m_alive;
    try {
        qsizetype pending = 0;
        {
            const std::lock_guard lock(queueLock());
            pending = m_queue.Count();
        }
        for (qsizetype i = 0; i < pending; ++i) {
            QByteArray bytes;
            {
                const std::lock_guard lock(queueLock());
                if (m_queue.Count() == 0)
                    break;
                // The age counts up to now, not to the start of the pass: the events handled between
                // datagrams may have waited for the camera for seconds, and a datagram that aged
                // meanwhile is as stale as one that came late.
                const bool fresh = m_queue.GetTime(0).msecsTo(QDateTime::currentDateTime()) < kStaleAfterMs;
                if (fresh)
                    bytes = m_queue.GetBytes(0);
                else
                    ++m_staleDatagrams;
                m_queue.Delete(0);
                if (!fresh)
                    continue; // dropped unseen: nothing to keep the window responsive for
            }
            m_imageBuffer.AddData(bytes);
            // The window stays responsive during long bursts.
            QCoreApplication::processEvents();
            if (!*alive)
                return; // destroyed by something the events ran
        }
    } catch (const std::exception& e) {
        TLogger::LogTrace(
            QStringLiteral("TLiveViewProcessor.OnProcessTimer (Ex): ") + QString::fromLocal8Bit(e.what()));
    }
    if (m_listening)
        m_processTimer->start(kProcessIntervalMs);
}
