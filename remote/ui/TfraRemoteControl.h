#pragma once

#include "base/ui/TfraCameraPage.h"
#include "remote/ui/TRemotePanelHost.h"

#include <QList>
#include <QRect>

class QScrollArea;
class QStackedWidget;
class TSetup;
class TRemoteControl;
class TRemotePropertyPanel;
class TRemoteSeriesPanel;
class TRemoteShootingLink;
class TRemoteShutterPanel;
class TRemoteTimeLapsePanel;
class TShooting;
class TfraLiveView;
class TfrmPreview;

// The page "Fernsteuerung": the live view beside the side area, which holds the camera properties
// (or the advanced time-lapse panel while a series runs) above the shutter area. The page holds
// and wires the panels; the camera properties go to the camera at once, a refused change is named
// on the picture and the camera's values are read again.
class TfraRemoteControl : public TfraCameraPage, public TRemotePanelHost
{
    Q_OBJECT

public:
    explicit TfraRemoteControl(QWidget* parent = nullptr);
    ~TfraRemoteControl() override;

    // Debug mode, detailed trace lines, the live view port and the automatic preview and download.
    void SetSetup(TSetup* setup);
    // The main window's preview window; without one the page makes its own when first needed.
    void SetPreviewWindow(TfrmPreview* window);

    void SetCamera(TCamera* camera) override;
    void GoStart() override;
    void GoStop() override;
    void ToggleDebugView() override;

    // The live view panel's events.
    void OnBeforeImage(TfraLiveView* sender, bool& show);
    void OnAfterImage(TfraLiveView* sender);
    void OnResized(TfraLiveView* sender, int width, int height);

    // Main-window rectangles that stay usable while the busy overlay shows: the take button, the
    // live view scroll box and the last shot's label beside the button (the live-time clock).
    QList<QRect> FreeRegions() const;

    // The time-lapse series: the switch is usable exactly when allowed; a disabled switch is turned
    // off. The take button starts a series with the switch on, and stops a running one.
    void EnableTimeLapse(bool allowed);
    void StopTimeLapse();
    // A series waits for its first shot or takes pictures (the take button is in stop mode).
    bool IsTimeLapseRunning() const;

    bool IsMovieMode() const;
    int TouchState() const;
    int TakeState() const;
    TShooting& Shooting() const { return *m_shooting; }
    TRemoteControl& Control() const { return *m_control; }
    TRemotePropertyPanel* Properties() const { return tsCameraProperties; }
    TRemoteShootingLink* Link() const { return m_link; }

    QScrollArea* sbxLiveView;
    TfraLiveView* fraLiveView;
    QWidget* pnlSide;
    QStackedWidget* pcSide;
    TRemotePropertyPanel* tsCameraProperties;
    TRemoteTimeLapsePanel* tsTimelapse;
    QWidget* tsTimeLapseAdvanced;
    TRemoteShutterPanel* pnlShutter;
    TRemoteSeriesPanel* pnlLRTLPreviewImage;

private:
    bool isDebugMode() const;
    void trace(const QString& operation, const QString& what) const;
    void beginCommunication(const QString& operation);
    void endCommunication(const QString& operation);
    void changeFreeRegions(const QString& operation, const QList<QRect>& rects);
    void updateMovieMode();

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
    bool IsDebugMode() const override { return isDebugMode(); }
    void SetPageEnabled(bool enabled) override { setEnabled(enabled); }
    QRect InMainWindow(const QWidget* widget) const override;
    QList<QRect> PageRegions() const override { return FreeRegions(); }
    bool Shoot(const char* operation, const std::function<bool()>& call) override;
    void ShootingFailed(const QString& text) override;
    void CameraAnswering(bool answering) override { emit OnCameraAnswering(answering); }

    TSetup* m_setup = nullptr;
    TShooting* m_shooting = nullptr;
    TRemoteControl* m_control = nullptr;
    TRemoteShootingLink* m_link = nullptr;
};
