#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QWidget>

class QIODevice;
class QLabel;
class TKmImageHistogram;
class TLiveViewDebugMonitor;
class TLiveViewNavigator;
class TLiveViewPicture;
class TMetaData;
class TSetup;
class TfraViewGrid;

// Where the user-interface thread's time goes for the frames shown: summed steady-clock stamps,
// cheap enough to stay on, read by measurements.
struct TLiveViewFrameTimings
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

// The picture of the live view panel with what lies over it: the frame decoded, turned as the
// camera reports, with grid and focus frame; the histogram, the grid chooser, the magnifier's
// navigator, the debugging monitor and the labels for errors, self-timer, movie time and frame rate.
class TLiveViewScreen : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewScreen(QWidget* parent = nullptr);

    void SetSetup(TSetup* setup) { m_setup = setup; }
    // The live view's size in camera pixels: frames are drawn at it and clicks mapped into it.
    void SetLiveViewSize(const QSize& size) { m_liveViewSize = size; }
    QSize LiveViewSize() const { return m_liveViewSize; }

    // A steady clock in nanoseconds, the one the timings use.
    static qint64 MonotonicNs();

    // One frame: decoded, and when show is set turned, drawn with grid and focus frame and fed to
    // the histogram; otherwise only measured for brightness. True when a picture was put up; a
    // frame the fast decoder cannot decode is logged, the JPEG library's failure throws. The focus
    // marks follow the frame in every case. The steps' times are added to steps.
    bool ShowPicture(
        const QByteArray& jpeg, const TMetaData& information, bool show, TLiveViewFrameTimings& steps);
    bool LoadImageFromStream(QIODevice* stream);
    void ShowError(const QString& text);
    void SetDebugView(bool on);
    // Magnification 1 to 4: the picture grows, the navigator shows which part is seen.
    void SetMagnification(int factor);
    // A point of the picture control in camera live view pixels, through stretch, magnification and
    // navigator offset, limited to the live view.
    QPoint CameraPoint(const QPoint& pictureControlPosition) const;
    // Shows or hides the histogram or the grid chooser; true when it is shown now.
    bool ToggleHistogram();
    bool ToggleGridChooser();
    void LayoutOverlays();
    // The histogram's visibility and the grid from the settings, the grid chooser hidden; and back.
    void TakeSettings(const TSetup& setup);
    void KeepSettings(TSetup& setup) const;

    bool IsFocused() const { return m_focused; }
    bool IsFocusFailed() const { return m_failed; }
    void ClearFocus() { m_focused = false; }

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

private:
    QImage decode(const QByteArray& jpeg, bool& failed);
    QImage compose(const QImage& decoded, int orientation) const;
    void updateFocusMarks(int state);
    void sectionMoved(const QRect& section);

    TSetup* m_setup = nullptr;
    QSize m_liveViewSize { 640, 480 };
    bool m_focused = false;
    bool m_failed = false;
};
