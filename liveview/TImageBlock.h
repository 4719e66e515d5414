#pragma once

#include <QByteArray>
#include <QtGlobal>

// One datagram of a live view frame: its header values and its share of the JPEG bytes.
class TImageBlock
{
public:
    enum Kind : quint16 {
        FirstBlock = 0x9060, // RTP version 2 with the extension bit, payload type 96
        MiddleBlock = 0x8060,
        LastBlock = 0x80E0, // marker bit set
    };

    TImageBlock(quint16 kind, quint16 sequence, qint32 timestamp, qint32 source, QByteArray data);

    static bool IsKnownKind(quint16 kind)
    {
        return kind == FirstBlock || kind == MiddleBlock || kind == LastBlock;
    }

    quint16 Kind;
    quint16 Sequence;
    qint32 Timestamp;
    qint32 Source;
    QByteArray Data;
};
