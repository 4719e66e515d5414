#include "base/TMessageObserver.h"

#include <QThread>

TMessageObserver::TMessageObserver(TMessageEvent onMessage, QObject* parent)
    : QObject(parent)
    , OnMessage(std::move(onMessage))
{ }

void TMessageObserver::Update(const QString& line)
{
    if (QThread::currentThread() == thread()) {
        deliver(line);
        return;
    }
    // Posted to this object, so a line still queued when the observer is destroyed is dropped.
    QMetaObject::invokeMethod(
        this, [this, line] { deliver(line); }, Qt::QueuedConnection);
}

void TMessageObserver::deliver(const QString& line)
{
    if (OnMessage)
        OnMessage(this, line);
}
