// The lasting states of the shooting: held exposures and sequences, the self-timer, movie recording.
#include "remote/TShooting.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "session/TCamera.h"

#include <exception>

bool TShooting::StartLiveBulbOrSequential(int x, int y)
{
    if (!isLongExposureMode() || m_longExposure || m_sending)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    m_lastTakeOk = false;
    trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Routine betreten"));
    if (!m_held)
        begin();
    m_held = false;
    m_lastError.clear();
    bool result = isTakeUsable();
    try {
        if (!result) {
            m_lastTake.Clear();
            m_lastTakeInfo.clear();
            fail(rs("_rsShotFailed", { rs("_rsNoCamera") }));
        } else {
            if (!beforePress(generation, alive))
                return false;
            trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Aufnahme starten"));
            TTakeAction& take = m_camera->Remote.Take;
            m_sending = true;
            m_pressed.start();
            const bool sent = x >= 0 && y >= 0 ? take.TakeAt(TakeTimeoutMs, TTakeAction::StartTake, x, y)
                                               : take.Take(TakeTimeoutMs, TTakeAction::StartTake);
            if (!*alive)
                return false;
            m_sending = false;
            result = sent && take.IsOK();
            if (generation != m_generation) {
                // Left while the camera was asked: nobody would end what begins now.
                abandon(result, alive);
                return false;
            }
            if (result) {
                trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Aufnahme gestartet"));
            } else {
                const QString reason = reasonOf(m_camera, take, take.TakeResult);
                // A refused press may still have begun a series; the camera is left ready.
                if (!cameraGone(m_camera, take)) {
                    sendStopTake();
                    if (!*alive)
                        return false;
                }
                fail(rs("_rsShotFailed", { reason }));
            }
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential (Ex): ")
            + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        m_sending = false;
        result = false;
    }
    m_longExposure = result;
    m_lastTakeOk = result;
    if (result) {
        m_held = true;
        freeRegions(RegionTakeButton | RegionLiveView);
        m_checkTimer.start(CheckIntervalMs);
        startHold();
    } else {
        end();
        freeRegions(RegionNone);
    }
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.StartLiveBulbOrSequential: Routine verlassen"));
    return result;
}

bool TShooting::StopLiveBulbOrSequential()
{
    if (!m_longExposure)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    m_checkTimer.stop();
    m_holdTimer.stop();
    trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Routine betreten"));
    m_lastError.clear();
    // Over also when the stop fails: waiting on would lock the page to a camera that may be gone.
    // Cleared before the request, so a release arriving during its wait sends no second stop.
    m_longExposure = false;
    bool result = false;
    try {
        if (m_camera && m_camera->Remote.Take.Enabled) {
            trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Livebulb beenden"));
            result = sendStopTake();
            if (!*alive)
                return false;
            trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Livebulb beendet"));
        }
        if (result) {
            freeRegions(RegionNone);
            if (listLastTake("StopLiveBulbOrSequential", alive, true) && *alive)
                previewAndDownload(alive);
            if (!*alive)
                return result;
        } else {
            trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Result = False (1)"));
            fail(rs("_rsShotNotEnded",
                { m_camera ? reasonOf(m_camera, m_camera->Remote.Take, {}) : rs("_rsNoCamera") }));
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential (Ex): ")
            + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        result = false;
    }
    releaseHeld();
    freeRegions(RegionNone);
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.StopLiveBulbOrSequential: Routine verlassen"));
    return result;
}

void TShooting::CheckTick()
{
    // Ends an exposure whose button release was lost; one of a set length ends when that is over.
    if (!m_buttonHeld && m_longExposure && !m_holdTimer.isActive())
        StopLiveBulbOrSequential();
}

void TShooting::startHold()
{
    // Pressed by the button: its release ends the exposure.
    if (ExposureMs <= 0 || m_buttonHeld)
        return;
    m_holdTimer.start(int(qMax<qint64>(0, ExposureMs - m_pressed.elapsed())));
}

void TShooting::HoldTick()
{
    m_holdTimer.stop();
    if (m_takeButton == ButtonStop)
        TakePhoto(-1, -1);
    else if (m_longExposure)
        StopLiveBulbOrSequential();
}

void TShooting::ButtonDown(int x, int y)
{
    m_buttonHeld = true;
    if (isLongExposureMode())
        StartLiveBulbOrSequential(x, y);
}

void TShooting::ButtonUp()
{
    if (isLongExposureMode())
        StopLiveBulbOrSequential();
    m_buttonHeld = false;
}

void TShooting::ButtonClick()
{
    if (isLongExposureMode())
        return;
    if (m_timerDrive) {
        if (m_selfTimerRunning)
            CancelSelfTimer();
        else
            StartSelfTimer(-1, -1, SelfTimerChoice);
        return;
    }
    TakePhoto(-1, -1);
}

bool TShooting::StartSelfTimer(int x, int y, int seconds)
{
    if (m_selfTimerRunning || m_takeButton == ButtonStop || m_longExposure || m_sending || !m_camera
        || !m_camera->Connected || !m_camera->Remote.TakeReady.Enabled)
        return false;
    const std::shared_ptr<bool> alive = m_alive;
    const quint64 generation = m_generation;
    trace(QStringLiteral("TfraRemoteControl.StartSelfTimer: betreten"));
    m_lastError.clear();
    m_selfTimerSeconds = seconds > 0 ? qMin(seconds, 255) : DefaultSelfTimerSeconds;
    emit SelfTimerCount(m_selfTimerSeconds);
    if (!m_held)
        begin();
    m_held = false;
    bool ready = false;
    try {
        TTakeReadyAction& focus = m_camera->Remote.TakeReady;
        m_sending = true;
        const bool sent = x >= 0 && y >= 0 ? focus.TakeReadyAt(x, y) : focus.TakeReady();
        if (!*alive)
            return false;
        m_sending = false;
        ready = sent && focus.IsReady();
        if (generation != m_generation) {
            // Left while the camera focused: nobody would count down or let go of the half-press.
            abandon(ready, alive);
            return false;
        }
        if (ready) {
            m_selfTimerRunning = true;
            m_held = true;
            m_selfTimer.start(SelfTimerIntervalMs);
            freeRegions(x >= 0 && y >= 0 ? RegionLiveView : RegionTakeButton);
        } else {
            const QString reason = reasonOf(m_camera, focus, focus.FocusResult);
            // Lets go of the half-press.
            if (!cameraGone(m_camera, focus)) {
                sendStopTake();
                if (!*alive)
                    return false;
            }
            fail(rs("_rsFocusFailed", { reason }));
            end();
        }
    } catch (const std::exception& e) {
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.StartSelfTimer (Ex): ceStop -> ")
            + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        m_sending = false;
        m_selfTimer.stop();
        m_selfTimerRunning = false;
        m_held = false;
        end();
        ready = false;
    }
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.StartSelfTimer: verlassen"));
    return ready;
}

void TShooting::SelfTimerTick()
{
    if (!m_selfTimerRunning)
        return;
    m_selfTimerSeconds = qMax(0, m_selfTimerSeconds - 1);
    emit SelfTimerCount(m_selfTimerSeconds);
    if (m_selfTimerSeconds > 0)
        return;
    m_selfTimer.stop();
    m_selfTimerRunning = false;
    const std::shared_ptr<bool> alive = m_alive;
    // The take takes over the count-down's begin and ends it (or holds it for an exposure).
    if (isLongExposureMode()) {
        m_buttonHeld = false;
        StartLiveBulbOrSequential(-1, -1);
    } else {
        TakePhoto(-1, -1);
    }
    if (!*alive)
        return;
    emit Changed();
}

void TShooting::CancelSelfTimer()
{
    trace(QStringLiteral("TfraRemoteControl.CancelSelfTimer: betreten"));
    if (!m_selfTimerRunning)
        return;
    m_selfTimer.stop();
    m_selfTimerSeconds = 0;
    m_selfTimerRunning = false;
    emit SelfTimerCount(0);
    if (isTakeUsable()) {
        const std::shared_ptr<bool> alive = m_alive;
        sendStopTake();
        if (!*alive)
            return;
    }
    releaseHeld();
    freeRegions(RegionNone);
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.CancelSelfTimer: verlassen"));
}

QString TShooting::MovieTimeText() const
{
    return m_movieRecording ? clockText(now() - m_movieStart, true) : QStringLiteral("00:00:00");
}

void TShooting::endMovieDisplay()
{
    m_movieTimer.stop();
    m_movieRecording = false;
    emit MovieTime(QStringLiteral("00:00:00"));
}

void TShooting::MovieTick()
{
    if (!m_movieRecording)
        return;
    // A camera switched off mid-recording: the display must not run on forever.
    if (!m_camera || !m_camera->Connected) {
        endMovieDisplay();
        fail(rs("_rsMovieInterrupted", { rs("_rsNoCamera") }));
        emit Changed();
        return;
    }
    emit MovieTime(MovieTimeText());
}

bool TShooting::TakeMovie()
{
    const std::shared_ptr<bool> alive = m_alive;
    trace(QStringLiteral("TfraRemoteControl.TakeMovie: Routine betreten"));
    if (m_sending)
        return false;
    const quint64 generation = m_generation;
    begin();
    m_lastError.clear();
    bool result = isTakeUsable();
    try {
        if (!result) {
            if (m_movieRecording) {
                endMovieDisplay();
                fail(rs("_rsMovieInterrupted", { rs("_rsNoCamera") }));
            } else {
                fail(rs("_rsMovieNotStarted", { rs("_rsNoCamera") }));
            }
        } else if (!m_movieRecording) {
            trace(QStringLiteral("TfraRemoteControl.TakeMovie: Aufnahme starten"));
            TTakeAction& take = m_camera->Remote.Take;
            m_sending = true;
            result = take.Take(TakeTimeoutMs, TTakeAction::StartMovieTake);
            if (!*alive)
                return false;
            m_sending = false;
            result = result && take.IsOK();
            if (result && generation != m_generation) {
                // Left while the camera was asked: nobody would end this recording.
                take.Take(TakeTimeoutMs, TTakeAction::StopMovieTake);
                if (!*alive)
                    return false;
                result = false;
            } else if (result) {
                m_movieStart = now();
                m_movieRecording = true;
                m_movieTimer.start(MovieIntervalMs);
                emit MovieTime(QStringLiteral("00:00:00"));
            } else {
                fail(rs("_rsMovieNotStarted", { reasonOf(m_camera, take, {}) }));
            }
        } else {
            trace(QStringLiteral("TfraRemoteControl.TakeMovie: Aufnahme stoppen"));
            m_movieTimer.stop();
            TTakeAction& take = m_camera->Remote.Take;
            m_sending = true;
            result = take.Take(TakeTimeoutMs, TTakeAction::StopMovieTake);
            if (!*alive)
                return false;
            m_sending = false;
            result = result && take.IsOK();
            if (result) {
                endMovieDisplay();
            } else if (cameraGone(m_camera, take)) {
                // Nobody can stop it any more; the display must not pretend otherwise.
                endMovieDisplay();
                fail(rs("_rsMovieInterrupted", { reasonOf(m_camera, take, {}) }));
            } else {
                // The camera said no; the user may try again.
                m_movieTimer.start(MovieIntervalMs);
                fail(rs("_rsMovieNotEnded", { reasonOf(m_camera, take, {}) }));
            }
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TfraRemoteControl.TakeMovie (Ex): ") + QString::fromUtf8(e.what()));
        if (!*alive)
            return false;
        result = false;
    }
    end();
    freeRegions(RegionNone);
    emit Changed();
    trace(QStringLiteral("TfraRemoteControl.TakeMovie: Routine verlassen"));
    return result;
}
