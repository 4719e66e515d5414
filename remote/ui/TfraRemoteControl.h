#pragma once

#include "base/ui/TfraCameraPage.h"
#include "remote/ui/TRemotePanelHost.h"

#include <QByteArray>
#include <QList>
#include <QRect>

#include <functional>

class QComboBox;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QTimer;
class QToolButton;
class TCameraParam;
class TRemotePropertyPanel;
class TSetup;
class TRemoteControl;
class TShooting;
class TfraLiveView;
class TfrmPreview;
class TTimeLapseSeries;
class TRemoteSeriesPanel;
class TRemoteTimeLapsePanel;

// The page "Fernsteuerung": the live view panel, the camera's shooting properties as choices the
// user changes, and the shutter area (take, movie, touch function, zoom, last shot). The choices are
// filled from the camera's properties and enabled by the program mode; each change goes to the
// camera at once, and a change the camera refuses is named on the page and the camera's values are
// read again.
class TfraRemoteControl : public TfraCameraPage, public TRemotePanelHost
{
    Q_OBJECT

public:
    explicit TfraRemoteControl(QWidget* parent = nullptr);
    ~TfraRemoteControl() override;

    // Debug mode, detailed trace lines, the live view port and the automatic preview and download.
    void SetSetup(TSetup* setup);
    // The main window's preview window; without one the page makes its own when first needed.
    void SetPreviewWindow(TfrmPreview* window) { m_previewWindow = window; }

    void SetCamera(TCamera* camera) override;
    void GoStart() override;
    void GoStop() override;
    void ToggleDebugView() override;

    TRemotePropertyPanel* Properties() const { return tsCameraProperties; }

    // Shooting, forwarded to the shooting object that keeps its state machines; (-1, -1): no point.
    bool TakePhoto(int x, int y);
    bool StartLiveBulbOrSequential(int x, int y);
    bool StopLiveBulbOrSequential();
    void StartSelfTimer(int x, int y);
    void CancelSelfTimer();
    bool TakeMovie();
    // Empty folder: the user chooses one.
    void LoadLastTake(const QString& folder);
    void LoadLastTakeAsPreview();
    void UpdateRecordingMarks();

    void btnTouchModeClick();
    void btnZoomPress(quint8 move);
    void btnZoomRelease();
    void btnAutoPreviewClick();
    void btnAutoDownloadClick();
    void btnTakeClick();
    void btnTakeMouseDown();
    void btnTakeMouseUp();
    void btnTakeMovieMouseUp();
    void btnLastPreviewClick();
    void btnDownloadLastTakeClick();
    // x, y in camera live view pixels (the panel maps the click).
    void imgLiveViewMouseDown(int x, int y);
    void imgLiveViewMouseUp(int x, int y);

    // The live view panel's events.
    void OnBeforeImage(TfraLiveView* sender, bool& show);
    void OnAfterImage(TfraLiveView* sender);
    void OnResized(TfraLiveView* sender, int width, int height);

    // Main-window rectangles that stay usable while the busy overlay shows: the take button, the
    // live view scroll box and the last shot's label beside the button (the live-time clock).
    QList<QRect> FreeRegions() const;

    // State for the shooting and for tests.
    bool IsLiveBulbMode() const;
    bool IsLiveTimeMode() const;
    bool IsSequentialMode() const;
    bool IsMovieMode() const;
    bool IsTimeLapseAllowed() const { return m_timeLapseAllowed; }
    int TouchState() const;
    int TakeState() const;
    // 0 idle, 3 and 4 recording (the blinking glyph).
    int MovieState() const { return m_movieState; }
    int AppliedLowerLimit() const;
    int AppliedUpperLimit() const;
    bool IsAutoPreview() const { return m_autoPreview; }
    bool IsAutoDownload() const { return m_autoDownload; }
    // The last shooting failure as shown on the page; empty after a shot that worked.
    QString ShootingError() const { return m_shootingError; }
    TShooting& Shooting() const { return *m_shooting; }
    // The preview window the page shows the last shot in (made on first use without one given).
    TfrmPreview* PreviewWindow();

    QScrollArea* sbxLiveView;
    TfraLiveView* fraLiveView;
    QWidget* pnlSide;
    QStackedWidget* pcSide;
    TRemotePropertyPanel* tsCameraProperties;
    QWidget* tsTimeLapseAdvanced;
    TRemoteTimeLapsePanel* tsTimelapse;

    QWidget* pnlShutter;
    QToolButton* btnTake;
    QToolButton* btnTakeMovie;
    QToolButton* btnTouchMode;
    QToolButton* btnLastPreview;
    QToolButton* btnAutoPreview;
    QToolButton* btnDownloadLastTake;
    QToolButton* btnAutoDownload;
    QToolButton* btnZoomOut;
    QToolButton* btnZoomIn;
    QLabel* lblZoomOut;
    QLabel* lblZoomIn;
    QLabel* lblZoom;
    QLabel* lblTimelapseStatus;
    QLabel* lblLastTakeInfo;
    TRemoteSeriesPanel* pnlLRTLPreviewImage;

    // The self-timer, live-time, long exposure check and movie clocks live in the shooting object.
    QTimer* tmrRecordButton;

    // The time-lapse series: the switch is usable exactly when allowed; a disabled switch is turned
    // off. The take button starts a series with the switch on, and stops a running one.
    void EnableTimeLapse(bool allowed);
    void StartTimeLapse();
    void StopTimeLapse();
    // A series waits for its first shot or takes pictures (the take button is in stop mode).
    bool IsTimeLapseRunning() const;
    // Counts down for a limited series, below 0 for an unlimited one.
    int TimeLapseShotsRemaining() const;
    TTimeLapseSeries& TimeLapseSeries() const;

private:
    QWidget* createShutterArea();
    void connectControls();
    void connectShooting();

    bool isConnected() const;
    // Connected, not filling the choices and the live view not selecting in them.
    bool mayChange() const;
    bool isDebugMode() const;
    void trace(const QString& operation, const QString& what) const;
    void beginCommunication(const QString& operation);
    void endCommunication(const QString& operation);
    void changeFreeRegions(const QString& operation, const QList<QRect>& rects);
    // What the panels ask of the page.
    void BeginCommunication(const QString& operation) override { beginCommunication(operation); }
    void EndCommunication(const QString& operation) override { endCommunication(operation); }
    void ChangeFreeRegions(const QString& operation, const QList<QRect>& rects) override
    {
        changeFreeRegions(operation, rects);
    }
    void ShowProgress(const QString& title, const QString& detail, bool finished, int percent) override
    {
        emit OnProgress(title, detail, finished, percent);
    }
    void Trace(const QString& operation, const QString& what) const override { trace(operation, what); }
    bool IsDebugMode() const override { return isDebugMode(); }
    QRect InMainWindow(const QWidget* widget) const override;
    QList<QRect> PageRegions() const override { return FreeRegions(); }
    bool Shoot(const char* operation, const std::function<bool()>& call) override
    {
        return shoot(operation, call);
    }
    void ShootingFailed(const QString& text) override { shootingFailed(text); }
    TCameraParam* param(const QString& name) const;
    void updateMovieMode();
    void updateTakeGlyph();
    void updateTouchGlyph();
    void updateAutoButtons();
    // The shooting object follows the settings.
    void syncShootingSettings();
    // Runs one shooting operation; afterwards a failure re-reads the camera and a preview shows.
    bool shoot(const char* operation, const std::function<bool()>& call);
    void shootingCommunication(int kind);
    void shootingProgress(const QString& title, const QString& detail, bool finished, int percent);
    void shootingBytes(qint64 received, qint64 expected);
    void shootingFailed(const QString& text);
    void showShootingState();
    void afterShooting();
    void showPendingPreview();

    TSetup* m_setup = nullptr;
    bool m_timeLapseAllowed = false;
    int m_movieState = 0;
    bool m_autoPreview = false;
    bool m_autoDownload = false;
    TShooting* m_shooting = nullptr;
    TRemoteControl* m_control = nullptr;
    TfrmPreview* m_previewWindow = nullptr;
    // Nesting of the page's shooting calls; the name of the innermost for the trace lines.
    int m_shootingDepth = 0;
    QString m_shootingOperation = QStringLiteral("TakePhoto");
    QString m_shootingError;
    bool m_rereadPending = false;
    bool m_wasRecording = false;
    QByteArray m_pendingPreview;
    QString m_pendingCaption;
    // The running download as the main window's progress line shows it.
    QString m_progressTitle;
    QString m_progressFile;
    int m_progressBase = 0;
    int m_progressShown = 0;
};
