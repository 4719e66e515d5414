#pragma once

#include "base/TCommunication.h"
#include "import/TBaseCameraImportItems.h"
#include "remote/TShotFiles.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class TBaseAction;
class TCamera;

// The shooting of the remote control page without its widgets: single pictures (also at a point of
// the live picture), LIVETIME exposures ended by a second take, LIVEBULB and sequential shooting
// while the button is held (a check timer ends one whose release was lost) or for a length this
// object times itself, the self-timer, movie recording, and the last shot's files: the names the
// card lists after the shot that it did not list before, shown as preview and downloaded.
//
// Every begin of a communication has its end. A state that keeps the camera busy across calls (a
// LIVETIME exposure, a held exposure or sequence, a self-timer count-down) keeps one begin open
// until it ends; a failure never leaves it open. Requests wait while events are processed: an object
// destroyed during such a wait returns without touching itself again.
class TShooting : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultSelfTimerSeconds = 2;

    // The take button's state as the page shows it.
    enum TakeButton : quint8 { ButtonNormal = 0, ButtonSelfTimer = 1, ButtonStop = 2 };
    // What stays usable while a communication is open (announced by a ceChangeFreeRegion).
    enum Region : quint8 { RegionNone = 0, RegionTakeButton = 1, RegionLiveView = 2 };

    explicit TShooting(QObject* parent = nullptr);
    ~TShooting() override;

    // The clocks' intervals, read when a clock starts.
    int LiveTimeIntervalMs = 100;
    int CheckIntervalMs = 1000;
    int SelfTimerIntervalMs = 1000;
    int MovieIntervalMs = 1000;
    // The count-down the take button's click starts in a timer drive mode (< 1: two seconds).
    int SelfTimerChoice = 0;
    // Writes the trace lines of the operations (debug mode).
    bool DetailedLog = false;
    // Instead of releasing, the live view's current frame is stored below TempDir + "LiveView/".
    bool LvAsTake = false;
    QString TempDir;
    // The live view's current frame as JPEG bytes; none or empty: nothing is stored.
    std::function<QByteArray()> LastFrame;
    // After a complete shot: the record view as preview, the files into DownloadFolder.
    bool AutoPreview = false;
    bool AutoDownload = false;
    QString DownloadFolder;
    // Asked by LoadLastTake for a folder when it got none; none or empty answer: no download.
    std::function<QString()> ChooseFolder;
    // Tries of each file of LoadLastTake in all (a failed one goes after the others).
    int DownloadAttempts = 2;
    // Time-out of the take requests; 0: none (focusing in the dark may take any time). An
    // unattended series sets one, so that a camera gone mid-request does not stop it for good.
    int TakeTimeoutMs = 0;
    // Length of a held exposure (LIVETIME, LIVEBULB, sequence) that this object ends by itself,
    // counted from the press; 0: the second take or the button's release ends it.
    int ExposureMs = 0;
    // Milliseconds for the live-time and movie clocks and the frame names; none: the local time.
    std::function<qint64()> Clock;

    // Forgets the last shot and every running state; nothing is sent.
    void SetCamera(TCamera* camera);
    TCamera* Camera() const { return m_camera; }

    // The page's selections: shutter speed LIVETIME or LIVEBULB, a sequential ("continuous") or a
    // timer drive mode. The take button follows the timer drive mode unless it is in stop mode.
    void SetModes(bool liveTime, bool liveBulb, bool sequential, bool timerDrive);
    // The same from the camera's current "shutspeedvalue" and "drivemode".
    void DeriveModes();
    bool IsLiveTimeMode() const { return m_liveTime; }
    bool IsLiveBulbMode() const { return m_liveBulb; }
    bool IsSequentialMode() const { return m_sequential; }
    bool IsTimerDriveMode() const { return m_timerDrive; }

    // One release at a point of the live picture (-1, -1: none). In LIVETIME mode the first call
    // starts the exposure and puts the take button into stop mode, the second ends it. False (and
    // nothing sent) in LIVEBULB or sequential mode.
    bool TakePhoto(int x = -1, int y = -1);
    // Press and release of the take button in LIVEBULB or sequential mode.
    bool StartLiveBulbOrSequential(int x = -1, int y = -1);
    bool StopLiveBulbOrSequential();
    // The take button's mouse events and click as the page receives them.
    void ButtonDown(int x = -1, int y = -1);
    void ButtonUp();
    void ButtonClick();
    // Half-press (at the point), then a count-down of seconds (< 1: two) before the release.
    bool StartSelfTimer(int x, int y, int seconds);
    void CancelSelfTimer();
    // Starts a recording when none runs, else stops it.
    bool TakeMovie();
    // Ends what runs at the camera (LIVETIME or held exposure, sequence, movie, self-timer) and
    // stops every timer; the page calls it when it is left.
    void Leave();

    // Lists the newest group of the card's last folder as the last shot.
    bool ListLastTake();
    // The record view of the last shot into PreviewData and the Preview signal.
    bool LoadLastTakeAsPreview();
    // Streams the last shot's files into folder (empty: ChooseFolder) through a transfer queue, each
    // name checked; a different file under a taken name gets a free one, a copy already there is not
    // fetched again. A file that fails leaves nothing behind and makes the end text name it. True
    // when all arrived.
    bool LoadLastTake(const QString& folder);

    // The timers' work; the timers call them, tests may too.
    void LiveTimeTick();
    void CheckTick();
    // Ends the held exposure whose length (ExposureMs) is over.
    void HoldTick();
    void SelfTimerTick();
    void MovieTick();

    quint8 TakeButtonState() const { return m_takeButton; }
    bool IsLongExposureRunning() const { return m_longExposure; }
    // A LIVETIME exposure, a held exposure or a sequence runs at the camera.
    bool IsExposing() const { return m_takeButton == ButtonStop || m_longExposure; }
    // The card of this camera lists its files only in play mode: listings switch there and back.
    bool ListsOnlyInPlayMode() const { return m_shotFiles.ListsOnlyInPlayMode(); }
    bool IsButtonHeld() const { return m_buttonHeld; }
    bool IsLiveTimeRunning() const { return m_liveTimeTimer.isActive(); }
    bool IsCheckRunning() const { return m_checkTimer.isActive(); }
    bool IsSelfTimerRunning() const { return m_selfTimerRunning; }
    int SelfTimerSeconds() const { return m_selfTimerSeconds; }
    bool IsMovieRecording() const { return m_movieRecording; }
    // "hh:nn:ss" of the running recording; "00:00:00" when none runs.
    QString MovieTimeText() const;
    // "nn:ss" of the running LIVETIME exposure.
    QString LiveTimeText() const;
    // Begins not yet ended, and what stays usable meanwhile.
    int OpenCommunications() const { return m_open; }
    quint8 FreeRegions() const { return m_freeRegions; }

    const TBaseCameraImportItems& LastTake() const { return m_lastTake; }
    // One line per file of the last shot: name, tab, size; lines joined by "\r\n".
    const QString& LastTakeInfo() const { return m_lastTakeInfo; }
    bool IsJpeg() const;
    bool IsRaw() const;
    const QByteArray& PreviewData() const { return m_previewData; }
    // The file the last take stored with LvAsTake.
    const QString& LastFrameFile() const { return m_lastFrameFile; }
    // The files the last download could not bring.
    const QStringList& FailedFiles() const { return m_failedFiles; }
    // Where the last download put each file (its name or a free variant of it).
    const QStringList& LoadedFiles() const { return m_loadedFiles; }
    // Whether the last press (TakePhoto, StartLiveBulbOrSequential, also from the self-timer) went out.
    bool IsLastTakeOk() const { return m_lastTakeOk; }
    // The last error text; empty after a success.
    const QString& LastError() const { return m_lastError; }

signals:
    // A communication begins or ends; with ceChangeFreeRegion FreeRegions() changed (the page knows
    // where those controls are, so the event carries no rectangles).
    void Communication(const TCommunication& communication);
    // A state, the last shot or the marks changed.
    void Changed();
    void Progress(const QString& title, const QString& detail, bool finished, int percent);
    // Bytes of the running file of a download and its expected size (-1 unknown).
    void BytesReceived(qint64 received, qint64 expected);
    void SelfTimerCount(int seconds);
    void LiveTime(const QString& text);
    void MovieTime(const QString& text);
    void Preview(const QByteArray& jpeg, const QString& caption);
    // What failed, as the user reads it.
    void Error(const QString& text);

private:
    // Elapsed time as "nn:ss" or "hh:nn:ss"; the leading field counts on past its two digits.
    static QString clockText(qint64 ms, bool withHours);
    // The camera's reason for a failed request, as the user reads it.
    static QString reasonOf(const TCamera* camera, const TBaseAction& action, const QString& answer);
    // The camera cannot be asked again: a second request would only wait as long.
    static bool cameraGone(const TCamera* camera, const TBaseAction& action);
    bool isTakeUsable() const;
    bool isLongExposureMode() const { return m_liveBulb || m_sequential; }
    qint64 now() const;
    void trace(const QString& line) const;
    void begin();
    void end();
    void freeRegions(quint8 regions);
    // Closes the begin a lasting state held, once.
    void releaseHeld();
    void fail(const QString& text);
    bool sendStopTake();
    // Left while the camera was asked: ends at the camera what began meanwhile (nobody else would)
    // and closes the communication.
    void abandon(bool begun, const std::shared_ptr<bool>& alive);
    bool saveFrame();
    // afterShot: the names new since the press; else the newest group of the last folder.
    bool listLastTake(const char* operation, const std::shared_ptr<bool>& alive, bool afterShot);
    // Before a press: forgets the last shot and notes what the card holds. False when the press must
    // not follow: the object is gone (then untouched), or the page was left meanwhile (then abandoned).
    bool beforePress(quint64 generation, const std::shared_ptr<bool>& alive);
    void startHold();
    void afterShot(const std::shared_ptr<bool>& alive);
    void previewAndDownload(const std::shared_ptr<bool>& alive);
    void stopLiveTimeClock();
    void endMovieDisplay();
    bool hasExtension(const char* extension) const;

    TCamera* m_camera = nullptr;
    bool m_liveTime = false;
    bool m_liveBulb = false;
    bool m_sequential = false;
    bool m_timerDrive = false;
    quint8 m_takeButton = ButtonNormal;
    bool m_longExposure = false;
    bool m_buttonHeld = false;
    bool m_held = false; // a lasting state holds one begin
    bool m_lastTakeOk = false;
    bool m_sending = false; // a take request waits for the camera
    quint64 m_generation = 0; // changes when the page is left or the camera replaced
    int m_open = 0;
    quint8 m_freeRegions = RegionNone;
    bool m_selfTimerRunning = false;
    int m_selfTimerSeconds = 0;
    bool m_movieRecording = false;
    qint64 m_movieStart = 0;
    qint64 m_liveTimeStart = 0;
    TBaseCameraImportItems m_lastTake { true };
    QString m_lastTakeInfo;
    QByteArray m_previewData;
    QString m_lastFrameFile;
    QStringList m_failedFiles;
    QStringList m_loadedFiles;
    QString m_lastError;
    QTimer m_liveTimeTimer;
    QTimer m_checkTimer;
    QTimer m_selfTimer;
    QTimer m_movieTimer;
    QTimer m_holdTimer;
    QElapsedTimer m_pressed; // since the press of the running held exposure
    TShotFiles m_shotFiles;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
