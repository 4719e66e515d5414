#pragma once

#include <QFrame>

#include <array>

class QCheckBox;
class QLabel;
class QSpinBox;
class TSetup;

// The set-up of a time-lapse series: waiting time before the first shot, interval and number of
// shots (0: unlimited). It only holds and limits the values; the up and down buttons of a field wrap
// around at its ends on the second click. The choice to download each shot during the series is
// kept in the settings.
class TfraTimeLapse : public QFrame
{
    Q_OBJECT

public:
    explicit TfraTimeLapse(QWidget* parent = nullptr);

    // The settings that keep the download choice; none: the choice is not stored.
    void SetSetup(TSetup* setup);

    int WaitTimeInSeconds() const;
    int IntervalTimeInSeconds() const;
    int TakeCount() const;
    bool Active() const { return isEnabled(); }
    void SetActive(bool active);
    bool IsDownloadEachShot() const;

    // The buttons of the field with the tag (1..7) after their step.
    void seTopClick(int tag);
    void seBottomClick(int tag);

    QSpinBox* seWaitHour;
    QSpinBox* seWaitMinute;
    QSpinBox* seWaitSecond;
    QSpinBox* seIntervalHour;
    QSpinBox* seIntervalMinute;
    QSpinBox* seIntervalSecond;
    QSpinBox* seTakeCount;
    QLabel* lblWaitTime;
    QLabel* lblInterval;
    QLabel* lblTakeCount;
    QCheckBox* chkDownloadEachShot;
    QWidget* pnlFocus;

private:
    QSpinBox* field(int tag) const;
    void remember(int tag);

    std::array<int, 8> m_previous {}; // by tag; 0 unused
    TSetup* m_setup = nullptr;
};
