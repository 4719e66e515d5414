#pragma once

#include "camera/TCameraLink.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantList>

#include <functional>

// Finds out why the camera cannot be reached or used, step by step, and stops at the first failure.
// Each failed step carries one sentence, a named text in German and English, that tells the user
// what to do.
enum class TDoctorStep : quint8 { Name, Reach, Camera, Private, LiveView, Clock };

struct TDoctorResult
{
    TDoctorStep Step = TDoctorStep::Name;
    bool Ok = false;
    // The step could not judge (a clock without a picture taken since it was set): it passes, and
    // TextName says why.
    bool Unknown = false;
    const char* TextName = nullptr; // the advice of a failed step, the reason of an unknown one
    QVariantList Args;

    // The advice in the current language, and its German default.
    QString text() const;
    QString German() const;
};

class TConnectionDoctor
{
public:
    // Answers whether the host's name part resolves; the tests replace it so they never look up
    // a real name.
    using Resolver = std::function<bool(const QString& name)>;

    static constexpr int DefaultLiveViewWaitMs = 3000;
    static constexpr int ClockToleranceSecs = 60;

    TConnectionDoctor(TCameraLink link, Resolver resolver = {});

    // The UDP port the live view is sent to (the setting).
    void setLiveViewPort(quint16 port) { m_liveViewPort = port; }
    void setLiveViewWaitMs(int ms) { m_liveViewWaitMs = ms; }
    // When this program last set the camera's clock (the setting ClockSetAt); a picture stamped
    // ahead of now was then taken before, and says nothing about the clock as it is.
    void setClockSetAt(const QDateTime& utc) { m_clockSetAt = utc; }
    // Steps after this one are not run; the start page stops before the live view.
    void setLastStep(TDoctorStep step) { m_lastStep = step; }
    // Asked between steps and during the live view wait; true ends the run without a verdict on the
    // step under way.
    void setAbortCheck(std::function<bool()> isAborted) { m_isAborted = std::move(isAborted); }

    // The steps run so far; the last one failed unless all are ok.
    QList<TDoctorResult> run() const;
    static bool resolveWithSystem(const QString& name);
    static QString stepName(TDoctorStep step);

private:
    bool isAborted() const { return m_isAborted && m_isAborted(); }
    TCameraAnswer get(const char* endpoint, const QString& query, int timeoutMs) const;
    // The stamp of the last picture the camera took (the highest number in its newest folder);
    // invalid when the card is empty or unreadable.
    QDateTime lastPictureStamp() const;
    TDoctorResult clockStep() const;

    TCameraLink m_link;
    Resolver m_resolver;
    quint16 m_liveViewPort = 28488;
    int m_liveViewWaitMs = DefaultLiveViewWaitMs;
    TDoctorStep m_lastStep = TDoctorStep::Clock;
    QDateTime m_clockSetAt;
    std::function<bool()> m_isAborted;
};
