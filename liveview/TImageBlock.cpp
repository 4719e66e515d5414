#include "liveview/TImageBlock.h"

#include <utility>

TImageBlock::TImageBlock(quint16 kind, quint16 sequence, qint32 timestamp, qint32 source, QByteArray data)
    : Kind(kind)
    , Sequence(sequence)
    , Timestamp(timestamp)
    , Source(source)
    , Data(std::move(data))
{ }
