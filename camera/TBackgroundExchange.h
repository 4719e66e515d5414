#pragma once

#include "camera/TCameraLink.h"

#include <QBuffer>
#include <QByteArray>

#include <functional>
#include <memory>

// One camera request that runs in the background of an action: the body is collected in memory and
// handed over, with the answer, from the event loop. Nothing waits, so a caller that must keep the
// camera to one request at a time can tell exactly when the request is over.
class TBackgroundExchange
{
public:
    using Done = std::function<void(const TCameraAnswer& answer, QByteArray& body)>;

    TBackgroundExchange() = default;
    ~TBackgroundExchange();
    TBackgroundExchange(const TBackgroundExchange&) = delete;
    TBackgroundExchange& operator=(const TBackgroundExchange&) = delete;

    // False, with the reason in why and without a done call, while one runs or when it cannot start.
    bool start(const TCameraLink& link, const TCameraStreamRequest& request, Done done, QString& why);
    // Ends the running request without a done call.
    void drop();
    bool isRunning() const { return m_stream != nullptr; }

private:
    void finish(quint64 generation, const TCameraAnswer& answer);

    std::unique_ptr<TCameraStream> m_stream;
    std::unique_ptr<QBuffer> m_sink;
    QByteArray m_body;
    Done m_done;
    quint64 m_generation = 0;
};
