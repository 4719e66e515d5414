#pragma once

#include "camera/TBaseRemoteAction.h"

#include <QPoint>
#include <QSize>

// Takes pictures and movies ("exec_takemotion.cgi?com=starttake" and its siblings).
class TTakeAction : public TBaseRemoteAction
{
public:
    enum : quint8 { StartTake = 1, StopTake = 2, StartMovieTake = 3, StopMovieTake = 4 };

    explicit TTakeAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemotion"));

    quint8 LastCommand = 0; // of the last successful request
    QString TakeResult;
    QString AFFocus;
    QPoint AFFramePoint;
    QSize AFFrameSize;

    void Reset() override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute() override; // Take(0, StartTake)

    // timeoutMs is the camera's own time-out, 0 for none; the request waits 2000 ms longer. False
    // without a request while disabled or for a command outside 1 to 4.
    bool Take(int timeoutMs, quint8 command);
    // A picture at a point of the live view picture when the camera's "starttake" takes one; the
    // request then waits timeoutMs exactly. Movies and cameras without the point go as Take.
    bool TakeAt(int timeoutMs, quint8 command, int x, int y);
    bool IsOK() const;
    // Whether "starttake" carries "point" in the command list.
    bool TakesPoint() const { return m_withPoint; }

private:
    void clearResults();
    bool request(const QString& query, int readTimeoutMs, bool accept202, quint8 command);

    bool m_withPoint = false;
};
