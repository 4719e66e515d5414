#pragma once

#include <QList>
#include <QRect>

#include <utility>

// What a communication event says: a camera communication begins, it ends, or the busy overlay
// gets new free regions. The names are the ones the log lines use.
enum TCommunicationEvent { ceStart = 0, ceStop = 1, ceChangeFreeRegion = 2 };

// One event of a camera communication, the same for every object that talks to the camera and for
// the main window that counts them: every begin is followed by one end; free regions hold until the
// next change.
struct TCommunication
{
    TCommunicationEvent Kind = ceStart;
    // With ceChangeFreeRegion: the parts of the window the busy overlay leaves usable (none: it
    // covers all of it).
    QList<QRect> FreeRegions;

    static TCommunication Begin() { return { ceStart, {} }; }
    static TCommunication End() { return { ceStop, {} }; }
    static TCommunication NewFreeRegions(QList<QRect> regions)
    {
        return { ceChangeFreeRegion, std::move(regions) };
    }

    // The highest valid index into FreeRegions, -1 for none.
    int RegionIndex() const { return int(FreeRegions.size()) - 1; }
    bool operator==(const TCommunication&) const = default;
};
