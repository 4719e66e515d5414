#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class TfraTimeLapse;
class TfraTimeLapseAdvanced;

// The property page "Intervallaufnahme": the switch and the series' set-up (wait, interval, number
// of shots, download of each shot). The switch is usable exactly while a series is allowed; with
// it on, the shutter area names the interval and the take button starts a series. The advanced
// panel shows a running series in the side area.
class TRemoteTimeLapsePanel : public QWidget
{
    Q_OBJECT

public:
    // status: the shutter area's interval line, shown while the switch is on.
    explicit TRemoteTimeLapsePanel(QLabel* status, QWidget* parent = nullptr);

    // A disabled switch is turned off.
    void Enable(bool allowed);
    void swTimeLapseOn();
    void swTimeLapseOff();
    // Switched on and usable: the take button starts a series.
    bool IsOn() const;

    // The side area's page with the advanced panel, shown while a series runs.
    QWidget* AdvancedPage() const { return m_advancedPage; }

    QLabel* lblTimeLapse;
    QCheckBox* swTimeLapse;
    TfraTimeLapse* fraTimeLapse;
    TfraTimeLapseAdvanced* fraTimeLapseAdvanced;

private:
    QLabel* m_status;
    QWidget* m_advancedPage;
};
