#pragma once

#include "liveview/TMetaData.h"
#include "liveview/ui/TLiveViewFrameDisplay.h"
#include "liveview/ui/TLiveViewScreen.h"
#include "liveview/ui/TLiveViewStatusLine.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QIODevice;
class QLabel;
class QToolButton;
class TCamera;
class TKmExposureMeter;
class TKmImageHistogram;
class TLiveViewControl;
class TLiveViewDebugMonitor;
class TLiveViewNavigator;
class TLiveViewPicture;
class TLiveViewSizeChange;
class TLiveViewSizeBar;
class TLiveViewTopRow;
class TMjpegServer;
class TSetup;
class TfraViewGrid;

// The live view panel the remote pages host: starts and stops live view, shows each frame on its
// screen with the camera's readings in the status line, offers size and magnification, and keeps
// the last frame's bytes.
class TfraLiveView : public QWidget
{
    Q_OBJECT

public:
    using FrameTimings = TLiveViewFrameTimings;
    static qint64 MonotonicNs() { return TLiveViewScreen::MonotonicNs(); }

    explicit TfraLiveView(QWidget* parent = nullptr);
    ~TfraLiveView() override;

    void SetSetup(TSetup* setup);
    void SetCamera(TCamera* camera, QComboBox* shutterSpeed, QComboBox* whiteBalance, QComboBox* iso,
        QComboBox* exposureCompensation, QComboBox* aperture);
    void Prepare();
    void Finish();
    bool StartLiveView(quint8 mode, quint16 port);
    bool StopLiveView();
    void ResizeToLiveView();
    // The space the panel may take, normally its host's size, which it follows by itself: the picture
    // is scaled into it keeping the live view's proportions. An empty space: the live view's own size.
    void FitInto(const QSize& space);
    // The picture at the least size it is still worth showing, with the panel's rows around it.
    QSize minimumSizeHint() const override;
    void ShowError(const QString& text) { m_screen->ShowError(text); }
    void SetRecordingFormats(bool jpeg, bool raw) { StatusLine->SetRecordingFormats(jpeg, raw); }
    void SetLongExposureMode(bool liveTime, bool liveBulb)
    {
        m_display->SetLongExposureMode(liveTime, liveBulb);
    }
    void SetBatteryLevel(int level) { StatusLine->SetBatteryLevel(level); }
    void ToggleDebugView();
    void SaveLastImage(const QString& fileName) const { m_display->SaveLastImage(fileName); }
    bool LoadImageFromStream(QIODevice* stream) { return m_screen->LoadImageFromStream(stream); }
    void FillResolutions();

    // The image handler: keeps the newest frame and shows it once the event loop is free, so that a
    // slow machine skips frames instead of falling behind.
    void OnReceiveLiveViewImage(const QByteArray& jpeg, const TMetaData& information)
    {
        m_display->Receive(jpeg, information);
    }
    // Shows one frame now (what the handler does for the newest frame).
    void ShowFrame(const QByteArray& jpeg, const TMetaData& information)
    {
        m_display->Show(jpeg, information);
    }

    QPoint CameraPoint(const QPoint& at) const { return m_screen->CameraPoint(at); }
    void SetMagnification(int factor);

    // What the frames shown so far told and left.
    int ApertureLowerLimit() const { return m_display->ApertureLowerLimit(); }
    int ApertureUpperLimit() const { return m_display->ApertureUpperLimit(); }
    bool IsUpdatingChoices() const { return m_display->IsUpdatingChoices(); }
    bool IsFocused() const { return m_screen->IsFocused(); }
    bool IsFocusFailed() const { return m_screen->IsFocusFailed(); }
    bool IsDebugView() const { return m_display->DebugView; }
    QString LongExposureText() const { return m_display->LongExposureText; }
    const QByteArray& LastFrame() const { return m_display->LastFrame(); }
    quint64 FramesShown() const { return m_display->FramesShown(); }
    quint64 FramesSkipped() const { return m_display->FramesSkipped(); }
    const FrameTimings& Timings() const { return m_display->Timings(); }
    // Hands the frames on to other programs while live view runs and the setting asks for it; null
    // otherwise.
    const TMjpegServer* Server() const { return m_display->Server(); }

    std::function<void(TfraLiveView* sender, bool& show)> OnBeforeImage;
    std::function<void(TfraLiveView* sender)> OnAfterImage;
    // Each frame the panel handles, shown or not: its bytes and the camera's readings with it.
    std::function<void(const QByteArray& jpeg, const TMetaData& information)> OnFrame;
    std::function<void(TfraLiveView* sender, int width, int height)> OnResized;

    // The screen and what lies over the picture belong to it; named here for the hosts.
    TLiveViewScreen* pnlLiveView32 = nullptr;
    TLiveViewPicture* imgLiveView32 = nullptr;
    QLabel* lblErrorMsg = nullptr;
    QLabel* lblSelfTimerValue = nullptr;
    QLabel* lblFramesPerSecond = nullptr;
    QLabel* lblTimer = nullptr;
    QLabel* lblMovieQuality = nullptr;
    TKmImageHistogram* ihgLiveView = nullptr;
    TKmImageHistogram* ihgLRTLBrightness = nullptr;
    TfraViewGrid* fraViewGrid = nullptr;
    TLiveViewNavigator* pnlMagnifierControl = nullptr;
    TLiveViewDebugMonitor* DebugMonitor = nullptr;

    QLabel* lblFocalLength = nullptr;
    QToolButton* lblHistogram = nullptr;
    QToolButton* lblGridLines = nullptr;
    TLiveViewStatusLine* StatusLine = nullptr;
    TKmExposureMeter* KmExposureMeter = nullptr;
    QWidget* pnlLVControl = nullptr;
    QComboBox* cbxLVMagnifier = nullptr;
    QComboBox* cbxLVResolution = nullptr;
    QWidget* pnlFocus = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A click on the picture, in camera live view pixels.
    void PictureClicked(const QPoint& cameraPoint, Qt::MouseButton button);
    // The mouse button let go on the picture (ends a long exposure held on it).
    void PictureReleased(const QPoint& cameraPoint, Qt::MouseButton button);

private:
    void buildControls();
    void layoutPanel();
    QSize liveViewSize() const;
    QSize pictureSize() const;
    QSize leastPictureSize() const;
    int statusHeight() const;

    TSetup* m_setup = nullptr;
    // Shared so that a start, stop or size change waiting for the camera keeps its objects alive
    // when a page hands over the camera anew meanwhile.
    std::shared_ptr<TLiveViewControl> m_control;
    std::shared_ptr<TLiveViewSizeChange> m_sizeChange;
    TLiveViewScreen* m_screen = nullptr;
    TLiveViewFrameDisplay* m_display = nullptr;
    TLiveViewSizeBar* m_sizeBar = nullptr;
    TLiveViewTopRow* m_topRow = nullptr;
    bool m_settingsTaken = false;
    int m_topHeight = 16;
    QSize m_space;
    QPointer<QWidget> m_host;
    bool m_fitting = false;
};
