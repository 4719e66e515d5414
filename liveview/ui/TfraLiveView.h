#pragma once

#include "liveview/TMetaData.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class QComboBox;
class QIODevice;
class QLabel;
class QToolButton;
class TCamera;
class TImageBuffer;
class TKmExposureMeter;
class TKmImageHistogram;
class TLiveViewControl;
class TLiveViewDebugMonitor;
class TLiveViewNavigator;
class TLiveViewPicture;
class TLiveViewSizeChange;
class TLiveViewStatusLine;
class TMjpegServer;
class TSetup;
class TfraViewGrid;

// The live view panel the remote pages host: starts and stops live view, shows each frame rotated,
// with grid and focus frame, histogram and the camera's readings, and keeps the last frame's bytes.
class TfraLiveView : public QWidget
{
    Q_OBJECT

public:
    // Where the user-interface thread's time goes for the frames shown: summed steady-clock stamps,
    // cheap enough to stay on, read by measurements.
    struct FrameTimings
    {
        quint64 frames = 0; // frames shown
        qint64 decodeNs = 0;
        qint64 rotateNs = 0;
        qint64 histogramNs = 0;
        qint64 gridNs = 0;
        qint64 focusFrameNs = 0;
        qint64 statusLineNs = 0; // status line, exposure meter, labels, linked choices
        // When reassembly handed over the frame shown last (0 when it was shown directly).
        qint64 lastShownArrivalNs = 0;
    };

    // A steady clock in nanoseconds, the one the timings use.
    static qint64 MonotonicNs();

    explicit TfraLiveView(QWidget* parent = nullptr);
    ~TfraLiveView() override;

    void SetSetup(TSetup* setup) { m_setup = setup; }
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
    void ShowError(const QString& text);
    void SetRecordingFormats(bool jpeg, bool raw);
    void SetLongExposureMode(bool liveTime, bool liveBulb);
    void SetBatteryLevel(int level);
    void ToggleDebugView();
    void SaveLastImage(const QString& fileName) const;
    bool LoadImageFromStream(QIODevice* stream);
    void FillResolutions();

    // The image handler: keeps the newest frame and shows it once the event loop is free, so that a
    // slow machine skips frames instead of falling behind.
    void OnReceiveLiveViewImage(const QByteArray& jpeg, const TMetaData& information);
    // Shows one frame now (what the handler does for the newest frame).
    void ShowFrame(const QByteArray& jpeg, const TMetaData& information);

    // A point of the picture control in camera live view pixels, through stretch, magnification and
    // navigator offset, limited to the live view.
    QPoint CameraPoint(const QPoint& pictureControlPosition) const;
    void SetMagnification(int factor);

    int ApertureLowerLimit() const { return m_apertureLowerLimit; }
    int ApertureUpperLimit() const { return m_apertureUpperLimit; }
    bool IsUpdatingChoices() const { return m_updatingChoices; }
    bool IsFocused() const { return m_focused; }
    bool IsFocusFailed() const { return m_failed; }
    bool IsDebugView() const { return m_debugView; }
    QString LongExposureText() const { return m_longExposureText; }
    const QByteArray& LastFrame() const { return m_lastFrame; }
    quint64 FramesShown() const { return m_framesShown; }
    quint64 FramesSkipped() const { return m_framesSkipped; }
    const FrameTimings& Timings() const { return m_timings; }
    // Hands the frames on to other programs while live view runs and the setting asks for it; null
    // otherwise.
    const TMjpegServer* Server() const { return m_server.get(); }

    std::function<void(TfraLiveView* sender, bool& show)> OnBeforeImage;
    std::function<void(TfraLiveView* sender)> OnAfterImage;
    // Each frame the panel handles, shown or not: its bytes and the camera's readings with it.
    std::function<void(const QByteArray& jpeg, const TMetaData& information)> OnFrame;
    std::function<void(TfraLiveView* sender, int width, int height)> OnResized;

    QWidget* pnlLiveView32 = nullptr;
    TLiveViewPicture* imgLiveView32 = nullptr;
    QLabel* lblErrorMsg = nullptr;
    QLabel* lblSelfTimerValue = nullptr;
    QLabel* lblFramesPerSecond = nullptr;
    QLabel* lblTimer = nullptr;
    QLabel* lblMovieQuality = nullptr;
    QLabel* lblFocalLength = nullptr;
    QToolButton* lblHistogram = nullptr;
    QToolButton* lblGridLines = nullptr;
    TLiveViewStatusLine* StatusLine = nullptr;
    TKmImageHistogram* ihgLiveView = nullptr;
    TKmImageHistogram* ihgLRTLBrightness = nullptr;
    TKmExposureMeter* KmExposureMeter = nullptr;
    TfraViewGrid* fraViewGrid = nullptr;
    QWidget* pnlLVControl = nullptr;
    QComboBox* cbxLVMagnifier = nullptr;
    QComboBox* cbxLVResolution = nullptr;
    TLiveViewNavigator* pnlMagnifierControl = nullptr;
    TLiveViewDebugMonitor* DebugMonitor = nullptr;
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
    void updateTexts();
    void attachTo(TImageBuffer& buffer);
    void showPending();
    void startServing();
    void stopServing();
    QImage decode(const QByteArray& jpeg, bool& failed);
    QImage compose(const QImage& decoded, int orientation) const;
    void updateFocusMarks(int state);
    void selectLinkedChoices(const TMetaData& information);
    void toggleHistogram();
    void toggleGridChooser();
    void resolutionChosen(int index);
    void sectionMoved(const QRect& section);
    void layoutPanel();
    QSize liveViewSize() const;
    QSize pictureSize() const;
    QSize leastPictureSize() const;
    int statusHeight() const;

    TSetup* m_setup = nullptr;
    // Shared so that a start or stop waiting for the camera keeps its control alive when a page
    // hands over the camera anew meanwhile.
    std::shared_ptr<TLiveViewControl> m_control;
    std::shared_ptr<TLiveViewSizeChange> m_sizeChange;
    std::unique_ptr<TMjpegServer> m_server;
    QPointer<QComboBox> m_shutterChoice, m_whiteBalanceChoice, m_isoChoice, m_compensationChoice,
        m_apertureChoice;
    QByteArray m_lastFrame;
    QByteArray m_pendingJpeg;
    TMetaData m_pendingInformation;
    std::atomic<qint64> m_pendingArrivalNs { 0 };
    FrameTimings m_timings;
    QString m_longExposureText;
    bool m_framePending = false;
    bool m_focused = false;
    bool m_failed = false;
    bool m_updatingChoices = false;
    bool m_settingsTaken = false;
    bool m_fillingResolutions = false;
    bool m_debugView = false;
    int m_apertureLowerLimit = 0;
    int m_apertureUpperLimit = 2147483647;
    quint64 m_framesShown = 0;
    quint64 m_framesSkipped = 0;
    int m_topHeight = 16;
    QSize m_space;
    QPointer<QWidget> m_host;
    bool m_fitting = false;
};
