#pragma once

#include "camera/TCameraLink.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace zip {
class TZipWriter;
}

// Collects what a camera answers into one zip for a bug report, so that the simulator can answer
// the same (lumivar-camsim --replay): the command list, connection mode, camera information, file
// count and free space, the property list, the /DCIM listing and the first folder's, the /DCIM
// page, one thumbnail and the raw datagrams of one live view picture in arrival order. Nothing
// else from the card. What the camera does not answer properly is noted and the rest still taken.
class TCameraDump
{
public:
    static constexpr const char* IndexName = "index.json";
    static constexpr const char* Format = "lumivar-camera-dump";

    struct Result
    {
        // A complete zip, whatever the camera answered; empty when it did not answer at all (a dump
        // of nothing helps nobody, and each further request would only wait for its time-out).
        QByteArray Archive;
        QStringList Failures; // one line each: what and why
    };

    TCameraDump(TCameraLink link, quint16 liveViewPort);

    void setLiveViewWaitMs(int ms) { m_liveViewWaitMs = ms; }
    // Called before each exchange with its name and the share done so far (0..100).
    void setProgress(std::function<void(const QString& what, int percent)> progress)
    {
        m_progress = std::move(progress);
    }
    void setAbortCheck(std::function<bool()> isAborted) { m_isAborted = std::move(isAborted); }

    Result run() const;
    // Writes the archive under path only once it is complete; false with the reason in error.
    static bool WriteArchive(const QString& path, const QByteArray& archive, QString& error);

private:
    struct Run;
    // One exchange kept in the archive as entry (empty: only noted in the index). A status other
    // than 200 is a failure of the dump unless the answer is not required.
    TCameraAnswer keep(Run& run, const QString& what, const QString& pathAndQuery, const QString& entry,
        int timeoutMs, const std::function<bool(const QByteArray&)>& looksRight, bool required = true) const;

    TCameraLink m_link;
    quint16 m_liveViewPort;
    int m_liveViewWaitMs = 5000;
    std::function<void(const QString&, int)> m_progress;
    std::function<bool()> m_isAborted;
};
