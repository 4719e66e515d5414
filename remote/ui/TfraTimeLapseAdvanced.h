#pragma once

#include "remote/TTimeLapseExposure.h"

#include <QFrame>
#include <QTimer>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class TTimeLapseLrtPage;
class TTimeLapseSeries;

// What a running time-lapse series shows: shots, elapsed time, time to the next shot and interval;
// the four exposure properties with their steps, changed while the series runs; and, in manual
// exposure with debug mode, the automatic modes with their reference, maxima and pool size. The
// series object decides and talks to the camera; this panel shows it and forwards the clicks.
class TfraTimeLapseAdvanced : public QFrame
{
    Q_OBJECT

public:
    explicit TfraTimeLapseAdvanced(QWidget* parent = nullptr);

    // The series shown; not owned.
    void SetSeries(TTimeLapseSeries* series);
    TTimeLapseSeries* Series() const { return m_series; }

    // The host's start and stop of a series (the series' plan is already set).
    void StartSeries();
    void StopSeries();
    bool WaitingForStart() const;
    void ShowLiveShutterSpeed(const QString& text);
    void ShowLiveAperture(const QString& text);
    // Everything shown again from the series.
    void Refresh();

    void pnlStartClick();
    void cbxAutoModeChange(int index);
    void pnlDirectionModeClick();

    struct TPropertyRow
    {
        QLabel* Panel = nullptr; // caption and value
        QToolButton* Down = nullptr;
        QToolButton* Up = nullptr;
        QComboBox* Step = nullptr;
        QLabel* Auto = nullptr;
    };
    std::array<TPropertyRow, TTimeLapseExposure::PropertyCount> Rows;

    QLabel* lblTimeLapseAdvancedTitle;
    QLabel* lblTLFrameValue;
    QLabel* lblTLElapsedTimeValue;
    QLabel* lblTLRemainingTimeValue;
    QLabel* lblTLIntervalTimeValue;
    QWidget* pnlAutoMode;
    QComboBox* cbxAutoMode;
    QPushButton* pnlStart;
    QPushButton* pnlDirectionMode;
    QSpinBox* sbtReverseCorrection;
    QLabel* lblReverseCorrection;
    QLabel* lblTLReminderLeft;
    QLabel* lblTLReminderRight;
    QStackedWidget* pcSubSettings;
    QWidget* tsStandard;
    QWidget* tsLRTimelapse; // the automatic modes' page, pnlLrt
    TTimeLapseLrtPage* pnlLrt;
    QTimer tmrElapsedTime;
    QTimer tmrChange;

private:
    void change(TTimeLapseExposure::Property property, bool up, QToolButton* button);
    void refreshClock();

    TTimeLapseSeries* m_series = nullptr;
    QToolButton* m_changeButton = nullptr;
    QString m_changeCaption;
    bool m_updating = false;
};
