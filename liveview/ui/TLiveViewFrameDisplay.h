#pragma once

#include "liveview/TMetaData.h"
#include "liveview/ui/TLiveViewScreen.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class TImageBuffer;
class TKmExposureMeter;
class TLiveViewProcessor;
class TLiveViewStatusLine;
class TMjpegServer;
class TSetup;

// The frames of the live view panel from the receiver to the screen: the newest frame is kept and
// shown once the event loop is free, so that a slow machine skips frames instead of falling
// behind; the camera's readings go to the status line, the exposure meter and the focal length,
// and the host's aperture and shutter speed choices follow them. Every frame, also a skipped one,
// goes on to other programs while the setting asks for it.
class TLiveViewFrameDisplay : public QObject
{
    Q_OBJECT

public:
    // The widgets belong to the panel and outlive this object.
    TLiveViewFrameDisplay(TLiveViewScreen& screen, TLiveViewStatusLine& statusLine,
        TKmExposureMeter& exposureMeter, QLabel& focalLength, QObject* parent = nullptr);
    ~TLiveViewFrameDisplay() override;

    void SetSetup(TSetup* setup) { m_setup = setup; }
    // The host's choices the readings select in and show active; any may be null.
    void SetLinkedChoices(QComboBox* shutterSpeed, QComboBox* whiteBalance, QComboBox* iso,
        QComboBox* exposureCompensation, QComboBox* aperture);
    // Each frame of the receiver comes here from now on; its frame rate is shown in debug view.
    void AttachTo(TLiveViewProcessor& processor);
    void Receive(const QByteArray& jpeg, const TMetaData& information);
    void Show(const QByteArray& jpeg, const TMetaData& information, qint64 arrivalNs = 0);

    // Opens the server where the setting asks for it and tells the status line.
    void StartServing();
    void StopServing();
    const TMjpegServer* Server() const { return m_server.get(); }

    // Replaces the shutter speed in the status line; the shutter speed choice is then left alone.
    QString LongExposureText;
    // "LIVETIME", "LIVEBULB" or none.
    void SetLongExposureMode(bool liveTime, bool liveBulb);
    bool DebugView = false;
    // Until a frame tells: 0 and the largest value.
    void ResetApertureLimits();
    int ApertureLowerLimit() const { return m_apertureLowerLimit; }
    int ApertureUpperLimit() const { return m_apertureUpperLimit; }
    bool IsUpdatingChoices() const { return m_updatingChoices; }
    const QByteArray& LastFrame() const { return m_lastFrame; }
    // The last frame's bytes into the file, where its folder exists.
    void SaveLastImage(const QString& fileName) const;
    quint64 FramesShown() const { return m_framesShown; }
    quint64 FramesSkipped() const { return m_framesSkipped; }
    const TLiveViewFrameTimings& Timings() const { return m_timings; }

    // Asked before each frame whether to show it; told after its readings are shown.
    std::function<void(bool& show)> BeforeImage;
    std::function<void()> AfterImage;
    std::function<void(const QByteArray& jpeg, const TMetaData& information)> OnFrame;

private:
    void showPending();
    void showReadings(const TMetaData& information);
    void selectLinkedChoices(const TMetaData& information);

    TLiveViewScreen& m_screen;
    TLiveViewStatusLine& m_statusLine;
    TKmExposureMeter& m_exposureMeter;
    QLabel& m_focalLength;
    TSetup* m_setup = nullptr;
    TLiveViewProcessor* m_processor = nullptr;
    std::unique_ptr<TMjpegServer> m_server;
    QPointer<QComboBox> m_shutterChoice, m_whiteBalanceChoice, m_isoChoice, m_compensationChoice,
        m_apertureChoice;
    QByteArray m_pendingJpeg;
    TMetaData m_pendingInformation;
    std::atomic<qint64> m_pendingArrivalNs { 0 };
    bool m_framePending = false;
    QByteArray m_lastFrame;
    TLiveViewFrameTimings m_timings;
    bool m_updatingChoices = false;
    int m_apertureLowerLimit = 0;
    int m_apertureUpperLimit = 2147483647;
    quint64 m_framesShown = 0;
    quint64 m_framesSkipped = 0;
};
