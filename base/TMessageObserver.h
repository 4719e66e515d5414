#pragma once

#include "base/TBaseObserver.h"

#include <QObject>

#include <functional>

class TMessageObserver;
using TMessageEvent = std::function<void(TMessageObserver* sender, const QString& line)>;

// An observer that passes each line to its OnMessage handler, always on the thread the observer
// lives in: a line from that thread is delivered at once, a line from any other thread (the live
// view receiver logs from its own) is queued to the owner's event loop, so a handler may touch
// widgets. Detach the observer from its logger before destroying it.
class TMessageObserver : public QObject, public TBaseObserver
{
public:
    explicit TMessageObserver(TMessageEvent onMessage = {}, QObject* parent = nullptr);

    TMessageEvent OnMessage;

    void Update(const QString& line) override;

private:
    void deliver(const QString& line);
};
