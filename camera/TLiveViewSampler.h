#pragma once

#include "camera/TCameraLink.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class TOIShare;

// Starts the camera's live view for a moment, keeps the raw datagrams as they arrive and stops it
// again, back in play mode. The connection diagnosis asks whether any datagram arrives at all; the
// camera-answer dump keeps the datagrams of one whole picture.
class TLiveViewSampler
{
public:
    enum class Until : quint8 { FirstDatagram, OnePicture };

    struct Result
    {
        bool Started = false; // the camera accepted the start
        bool BindFailed = false; // the port was taken by another program
        bool Aborted = false;
        QString Error; // why it did not start
        TCameraAnswer StartAnswer; // the camera's answer to the start (its funcidlist)
        QList<QByteArray> Datagrams; // arrival order; for OnePicture from a picture's first to its last
        bool Complete = false; // the wanted datagrams arrived in time
    };

    TLiveViewSampler(TCameraLink link, quint16 port);

    // The live view size from the command list: the first "lvqty" of recording mode, else 0640x0480.
    static QString LiveViewSize(const TOIShare& commandList);

    // Waits up to waitMs for the datagrams while events are processed; isAborted ends the wait early.
    Result run(
        const QString& size, Until until, int waitMs, const std::function<bool()>& isAborted = {}) const;

private:
    TCameraAnswer get(const char* endpoint, const QString& query, int timeoutMs) const;

    TCameraLink m_link;
    quint16 m_port;
};
