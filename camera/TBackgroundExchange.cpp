#include "camera/TBackgroundExchange.h"

TBackgroundExchange::~TBackgroundExchange()
{
    drop();
}

bool TBackgroundExchange::start(
    const TCameraLink& link, const TCameraStreamRequest& request, Done done, QString& why)
{
    if (m_stream) {
        why = QStringLiteral("another request is running");
        return false;
    }
    m_body.clear();
    m_sink = std::make_unique<QBuffer>(&m_body);
    m_sink->open(QIODevice::WriteOnly);
    TCameraStreamRequest own = request;
    own.Sink = m_sink.get();
    m_stream = link.stream(own);
    m_done = std::move(done);
    const quint64 generation = ++m_generation;
    if (m_stream->start([this, generation](const TCameraAnswer& answer) { finish(generation, answer); }, why))
        return true;
    m_stream.reset();
    m_sink.reset();
    m_done = nullptr;
    return false;
}

void TBackgroundExchange::drop()
{
    ++m_generation;
    // Freeing the handle ends the exchange without any further write or call.
    m_stream.reset();
    m_sink.reset();
    m_done = nullptr;
    m_body.clear();
}

void TBackgroundExchange::finish(quint64 generation, const TCameraAnswer& answer)
{
    if (generation != m_generation)
        return;
    // The handle goes once this call is over; it may be freed inside its own completion.
    const std::unique_ptr<TCameraStream> stream = std::move(m_stream);
    m_sink.reset();
    Done done = std::move(m_done);
    m_done = nullptr;
    QByteArray body = std::move(m_body);
    m_body.clear();
    if (done)
        done(answer, body);
}
