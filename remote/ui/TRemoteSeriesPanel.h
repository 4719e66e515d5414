#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QToolButton;
class TfraLiveView;
class TfraTimeLapseAdvanced;
class TRemoteControl;
class TRemotePanelHost;
class TRemotePropertyPanel;
class TRemoteTimeLapsePanel;
class TSetup;
class TShooting;
class TTimeLapseSeries;

// A time-lapse series on the remote control page: the take button starts and stops it, the side
// area shows the advanced panel while it runs, and this panel beneath the take button loads the
// LRTimelapse mode's preview picture. The series object keeps the plan (shot n at start + wait +
// n × interval, so slow shots never stretch the film), downloads each shot between shots when
// chosen and writes the series log; the panel takes the pictures through the page and counts them,
// and hands the series the live view frames its automatic modes measure.
class TRemoteSeriesPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TRemoteSeriesPanel(QWidget* parent = nullptr);

    void Bind(TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting, TfraLiveView* liveView,
        TRemoteTimeLapsePanel* settings, TRemotePropertyPanel* properties);
    void SetSetup(TSetup* setup) { m_setup = setup; }

    // The switch's state changed: a series that is not running counts from the set-up again.
    void Allow(bool allowed);
    void StartTimeLapse();
    void StopTimeLapse();
    // The take button's click during a series or with the switch on; true when it was handled.
    bool TakeClick();
    // Leaving the page: the series ends and the shots already queued arrive (or are named as missing
    // in the log). False when the page went away meanwhile.
    bool Leave();
    void Reset();
    void btnLRTLPreviewImageClick();
    // The series' regions while it runs: take button, live view and the advanced panel.
    QList<QRect> Regions() const;
    // The LRTimelapse mode shows the shots' record views instead of live frames.
    bool IsLrt() const;
    // A live frame arrived: the advanced panel names the live values.
    void AfterImage();

    // A series waits for its first shot or takes pictures (the take button is in stop mode).
    bool IsRunning() const { return m_running; }
    // Counts down for a limited series, below 0 for an unlimited one.
    int ShotsRemaining() const { return m_shotsRemaining; }
    TTimeLapseSeries& Series() const { return *m_series; }

    QToolButton* btnLRTLPreviewImage;
    // The time-lapse page's advanced panel, which shows the running series.
    TfraTimeLapseAdvanced* fraTimeLapseAdvanced = nullptr;

signals:
    // The side area shows the advanced panel (true) or the properties.
    void ShowAdvanced(bool advanced);
    void RunningChanged();

private:
    void connectSeries();
    void autoModeChanged();
    // The regions again after the shutter area changed its layout.
    void refreshRegions();
    void showLrtPlaceholder();
    // LRTimelapse: the series measures the last shot's record view, which the live view then shows;
    // false when the camera gave none.
    bool measureLrtShot();
    void countShot();
    // One picture of the series through the page, without preview or download.
    bool takePhoto();

    TRemotePanelHost* m_host = nullptr;
    TRemoteControl* m_control = nullptr;
    TShooting* m_shooting = nullptr;
    TfraLiveView* m_liveView = nullptr;
    TRemoteTimeLapsePanel* m_settings = nullptr;
    TRemotePropertyPanel* m_properties = nullptr;
    TSetup* m_setup = nullptr;
    QWidget* m_advancedPage = nullptr;
    TTimeLapseSeries* m_series;
    bool m_running = false;
    bool m_communication = false;
    bool m_lrtShown = false;
    double m_percentPerShot = 0;
    int m_planned = 0;
    int m_shotsRemaining = 0;
    QString m_text;
};
