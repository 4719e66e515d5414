#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;
class QToolButton;
class TfraLiveView;
class TRemoteControl;
class TRemotePanelHost;
class TSetup;
class TShooting;

// The remote control page's shutter area: the take button (or the movie button in movie mode), the
// touch function, the last shot as preview or download and their automatic forms, the zoom, and
// the last shot's files and its download's progress. It shows the shooting object's state; the page forwards
// the take buttons.
class TRemoteShutterPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TRemoteShutterPanel(QWidget* parent = nullptr);

    void Bind(TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting, TfraLiveView* liveView);
    // The automatic preview and download from the settings, saved there on each toggle.
    void SetSetup(TSetup* setup);
    // The panel beneath the last shot's line.
    void PlaceBelow(QWidget* panel);

    void btnTouchModeClick();
    void btnZoomPress(quint8 move);
    void btnZoomRelease();
    void btnAutoPreviewClick();
    void btnAutoDownloadClick();

    void ShowTakeState(int state);
    void UpdateTouchGlyph();
    // The take button or the movie button, with the movie's clock and quality on the picture.
    void ShowMovieMode(bool movie);
    // The shooting object's state: glyphs, the recording's blinking, the self-timer and the last shot.
    void ShowShootingState(int takeState, bool movieMode);
    // Leaving the page: the recording glyph stops.
    void StopBlinking();

    bool IsAutoPreview() const { return m_autoPreview; }
    bool IsAutoDownload() const { return m_autoDownload; }
    // 0 idle, 3 and 4 recording (the blinking glyph).
    int MovieState() const { return m_movieState; }
    // Connected and no choice being filled: the zoom may go to the camera.
    std::function<bool()> MayChange;

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
    QTimer* tmrRecordButton;

signals:
    // A recording started or ended: the movie quality's choice follows.
    void RecordingChanged();

private:
    void updateAutoButtons();
    // The shot's download on the main window's progress line, by file and within the running file.
    void shootingProgress(const QString& title, const QString& detail, bool finished, int percent);
    void shootingBytes(qint64 received, qint64 expected);

    TRemotePanelHost* m_host = nullptr;
    TRemoteControl* m_control = nullptr;
    TShooting* m_shooting = nullptr;
    TfraLiveView* m_liveView = nullptr;
    TSetup* m_setup = nullptr;
    bool m_autoPreview = false;
    bool m_autoDownload = false;
    int m_movieState = 0;
    bool m_wasRecording = false;
    QString m_progressTitle;
    QString m_progressFile;
    int m_progressBase = 0;
    int m_progressShown = 0;
};
