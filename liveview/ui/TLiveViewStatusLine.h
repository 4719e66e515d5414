#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;
class TMetaData;

// The status line under the live view picture: the frame's exposure readings, remaining shots,
// aspect ratio, recording formats and battery, with the blinking warnings. Heights follow the font.
class TLiveViewStatusLine : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewStatusLine(QWidget* parent = nullptr);
    // The width the line needs for the widest values a camera shows, whatever it shows now: the
    // live view picture is never made narrower than this.
    int WidthNeeded() const;

    // The readings of one frame; longExposureText replaces the shutter speed when not empty.
    void ShowInformation(const TMetaData& information, const QString& longExposureText);
    // Active colour for the five readings whose linked choice exists and is enabled.
    void SetLinkedActive(bool shutter, bool aperture, bool compensation, bool iso, bool whiteBalance);
    void SetRecordingFormats(bool jpeg, bool raw);
    // Red and blinking at 50 or less, yellow up to 70, green above; values beyond 100 show 100.
    void SetBatteryLevel(int level);
    // Where other programs find the live view ("http://127.0.0.1:8488/"); empty hides it. A failed
    // start shows its reason instead, in the warning colour.
    void SetServing(const QString& url, const QString& failure = {});

    void SetExposureWarning(bool on) { setBlinking(m_exposureTimer, on); }
    void SetISOWarning(bool on) { setBlinking(m_isoTimer, on); }
    void SetBatteryWarning(bool on) { setBlinking(m_batteryTimer, on); }
    bool IsExposureBlinking() const;
    bool IsISOBlinking() const;
    bool IsBatteryBlinking() const;

    QLabel* lblImgShutterSpeed = nullptr;
    QLabel* lblImgAperture = nullptr;
    QLabel* lblImgExposureCompensation = nullptr;
    QLabel* lblImgCaptionISOSensitivity = nullptr;
    QLabel* lblImgISOSensitivity = nullptr;
    QLabel* lblImgCaptionWhiteBalance = nullptr;
    QLabel* lblImgWhiteBalance = nullptr;
    QLabel* lblImgFocusType = nullptr;
    QLabel* lblImgFreeCapacity = nullptr;
    QLabel* lblRAW = nullptr;
    QLabel* lblJPEG = nullptr;
    QLabel* lblImgAspectRatio = nullptr;
    QLabel* lblServing = nullptr;
    QProgressBar* gauBattery = nullptr;

private:
    QLabel* addLabel(const char* name, const QString& text, const QString& hint, bool large);
    void setBlinking(QTimer* timer, bool on);
    void setControlsVisible(QTimer* timer, bool visible);
    void toggle(QTimer* timer);

    QTimer* m_exposureTimer = nullptr;
    QTimer* m_isoTimer = nullptr;
    QTimer* m_batteryTimer = nullptr;
    bool m_blinkShown[3] = { true, true, true };
};
