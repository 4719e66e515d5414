#pragma once

#include "liveview/TIdBytesList.h"
#include "liveview/TImageBuffer.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class QObject;
class QThread;
class QTimer;
class QUdpSocket;
class TSetup;

// Receives the camera's live view datagrams on a UDP port and feeds them, in arrival order, to its
// reassembly buffer on the main thread. The socket lives on a receiving thread of its own; in the
// threaded mode that thread only queues the datagrams and a 5 ms timer on the main thread drains
// the queue, skipping datagrams that waited 100 ms or more; in the direct mode the receiving thread
// hands each datagram over and waits until the main thread has processed it.
// Create, use and destroy it on the main thread.
class TLiveViewProcessor
{
public:
    static constexpr int kReceiveBufferSize = 1 << 20;
    static constexpr int kStaleAfterMs = 100;
    static constexpr int kWatchdogMs = 3000;
    static constexpr int kProcessIntervalMs = 5;
    // Queued datagrams at most; beyond it the oldest go, which the drain would discard as stale
    // anyway. Several seconds of a 1280 x 960 stream.
    static constexpr int kMaxQueuedDatagrams = 16384;

    // The setup (may be null: threaded, no detailed log) is read at each Start.
    explicit TLiveViewProcessor(const TSetup* setup = nullptr);
    ~TLiveViewProcessor();
    TLiveViewProcessor(const TLiveViewProcessor&) = delete;
    TLiveViewProcessor& operator=(const TLiveViewProcessor&) = delete;

    // The port the socket listens on, or 0 when it cannot be opened (ErrorText says why). Port 0
    // asks the system for a free port.
    quint16 Start(quint16 port);
    void Stop();
    void Reset();
    QString GetFpsText(bool detailed) const;

    bool Receiving() const { return m_receiving.load(); }
    QString ErrorText() const { return m_errorText; }
    TImageBuffer& ImageBuffer() { return m_imageBuffer; }
    const TImageBuffer& ImageBuffer() const { return m_imageBuffer; }
    qint32 DatagramCount() const { return m_datagramCount.load(); }
    bool IsListening() const { return m_listening; }
    bool IsThreaded() const { return m_threaded; }
    quint16 Port() const { return m_port; }
    QDateTime StartTime() const { return m_startTime; }
    // Datagrams discarded unseen since the last start: stale when drained, or pushed out of a full queue.
    quint64 StaleDatagrams() const { return m_staleDatagrams.load(); }
    // The receive buffer the system granted at the last start (Linux reports twice what it reserves).
    int GrantedReceiveBuffer() const { return m_grantedBuffer; }
    qsizetype QueuedDatagrams() const;

    // The drain pass of the threaded mode; the process timer calls it.
    void OnProcessTimer();

private:
    struct OpenResult
    {
        quint16 port = 0;
        QString error;
        int granted = 0;
    };

    static std::mutex& queueLock();
    OpenResult openSocket(quint16 port); // receiving thread
    void closeSocket(); // receiving thread
    void readPending(); // receiving thread
    void intakeThreaded(const QByteArray& datagram); // receiving thread
    void intakeDirect(const QByteArray& datagram); // receiving thread, waits for the main thread
    void processDirect(const QByteArray& datagram, quint64 session); // main thread
    void markAlive();
    void onWatchdog();
    void logShortDatagram(qsizetype length) const;

    const TSetup* m_setup;
    TImageBuffer m_imageBuffer;
    TIdBytesList m_queue; // guarded by queueLock()
    std::unique_ptr<QObject> m_context; // main-thread owner of the timers and hand-offs
    QTimer* m_watchdog = nullptr;
    QTimer* m_processTimer = nullptr;
    std::unique_ptr<QThread> m_thread;
    QObject* m_worker = nullptr; // lives on m_thread
    QUdpSocket* m_socket = nullptr; // created, used and deleted on m_thread

    QString m_errorText;
    QDateTime m_startTime;
    bool m_listening = false;
    bool m_threaded = true; // written before the socket opens, read by the receiving thread
    quint16 m_port = 0;
    int m_grantedBuffer = 0;
    std::atomic<bool> m_receiving { false };
    std::atomic<qint32> m_datagramCount { 0 };
    std::atomic<quint64> m_staleDatagrams { 0 };
    std::atomic<qint64> m_lastAliveMs { 0 };
    std::atomic<quint64> m_session { 0 }; // changes at every open and close

    // Direct mode hand-off.
    std::mutex m_directMutex;
    std::condition_variable m_directDone;
    bool m_directPending = false;
    bool m_stopping = false;

    std::shared_ptr<bool> m_alive; // false once destroyed, seen by a drain pass that pumped events
};
