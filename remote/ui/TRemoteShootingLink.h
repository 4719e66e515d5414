#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;
class TfraLiveView;
class TfrmPreview;
class TRemoteControl;
class TRemotePanelHost;
class TRemotePropertyPanel;
class TRemoteSeriesPanel;
class TRemoteShutterPanel;
class TSetup;
class TShooting;

// The remote control page's shooting: the take buttons, the picture clicks and the last shot go to
// the shooting object, which keeps the state machines; its signals come back as the page's busy
// state, progress lines, the shutter area's glyphs and the preview window. After a failure the
// camera's values are read again.
class TRemoteShootingLink : public QObject
{
    Q_OBJECT

public:
    explicit TRemoteShootingLink(QWidget* page);

    void Bind(TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting, TfraLiveView* liveView,
        TRemotePropertyPanel* properties, TRemoteShutterPanel* shutter, TRemoteSeriesPanel* series);
    void SetSetup(TSetup* setup) { m_setup = setup; }
    // The main window's preview window; without one the page makes its own when first needed.
    void SetPreviewWindow(TfrmPreview* window) { m_previewWindow = window; }
    TfrmPreview* PreviewWindow();

    // Shooting, forwarded to the shooting object; (-1, -1): no point.
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

    void btnTakeClick();
    void btnTakeMouseDown();
    void btnTakeMouseUp();
    void btnTakeMovieMouseUp();
    void btnLastPreviewClick();
    void btnDownloadLastTakeClick();
    // x, y in camera live view pixels (the panel maps the click).
    void imgLiveViewMouseDown(int x, int y);
    void imgLiveViewMouseUp(int x, int y);

    // Runs one shooting operation; afterwards a failure re-reads the camera and a preview shows.
    bool shoot(const char* operation, const std::function<bool()>& call);
    void shootingFailed(const QString& text);
    // The shooting object follows the settings.
    void syncShootingSettings();
    int TakeState() const;
    // The last shooting failure as shown on the page; empty after a shot that worked.
    QString ShootingError() const { return m_shootingError; }

private:
    void shootingCommunication(int kind);
    void showShootingState();
    void afterShooting();
    void showPendingPreview();

    QWidget* m_page;
    TRemotePanelHost* m_host = nullptr;
    TRemoteControl* m_control = nullptr;
    TShooting* m_shooting = nullptr;
    TfraLiveView* m_liveView = nullptr;
    TRemotePropertyPanel* m_properties = nullptr;
    TRemoteShutterPanel* m_shutter = nullptr;
    TRemoteSeriesPanel* m_series = nullptr;
    TSetup* m_setup = nullptr;
    TfrmPreview* m_previewWindow = nullptr;
    // Nesting of the page's shooting calls; the name of the innermost for the trace lines.
    int m_shootingDepth = 0;
    QString m_shootingOperation = QStringLiteral("TakePhoto");
    QString m_shootingError;
    bool m_rereadPending = false;
    QByteArray m_pendingPreview;
    QString m_pendingCaption;
};
