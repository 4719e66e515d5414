#pragma once

#include "remote/TDoubleList.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

class TCameraParam;
class TCameraParams;

// The exposure side of a time-lapse series without widgets: which of shutter speed, ISO, aperture
// and exposure compensation may be changed in the camera's take mode, the step selectors, manual
// changes retried until the camera confirms them, the maxima, and the automatic modes that follow
// the light (LRTimelapse on each shot's brightness, six difference modes on the live exposure meter).
// A change waits while events are processed; it never runs twice at once.
class TTimeLapseExposure : public QObject
{
    Q_OBJECT

public:
    enum Property : quint8 { ShutterSpeed = 0, Iso = 1, Aperture = 2, ExposureCompensation = 3 };
    static constexpr int PropertyCount = 4;
    static constexpr int ModeManual = 0;
    static constexpr int ModeLRTimelapse = 1;
    static constexpr int ModeCount = 8;

    explicit TTimeLapseExposure(QObject* parent = nullptr);

    // The items of the mode selector, in German as the panel shows them.
    static QStringList ModeItems();
    // The offset d in EV of a difference mode (2..7); 0 for the others.
    static double DifferenceOf(int mode);
    // The brightness correction in % from the mean of the frames that are not shown and the mean of
    // the shot's live histogram (both 0..1): the relative difference; none when the live mean is 0.
    static std::optional<double> BrightnessCorrection(double brightnessMean, double liveMean);

    bool DebugMode = false; // the automatic modes may be chosen
    bool DetailedLog = false; // writes the trace lines
    bool UsesStartButton = false; // the host waits for "Start" when the automatic modes are offered
    int RetryMs = 250;
    int GiveUpMs = 4000;
    // After a change of an automatic mode: frames already under way still show the old exposure.
    int SettleMs = 300;
    // Milliseconds for the retries; none: the monotonic clock.
    std::function<qint64()> Clock;
    // Waits ms while events are processed; none: Wait.
    std::function<void(int ms)> Sleep;

    // The start of a series: every choice back to its initial state, the lists filled from params.
    void Reset(TCameraParams* params);
    TCameraParams* Params() const { return m_params; }
    TCameraParam* Param(Property property) const;
    // Whether the series has started (its clock runs); the evaluation waits for it.
    void SetStarted(bool started);
    bool IsStarted() const { return m_started; }

    bool IsAdjustable(Property property) const;
    // The two buttons and the step selector of a property take input.
    bool IsEnabled(Property property) const;
    bool IsAdjustmentsEnabled() const { return m_adjustmentsEnabled; }
    // The value as the panel shows it; "---" when the take mode sets it.
    QString ValueText(Property property) const;

    QStringList StepItems(Property property) const;
    bool IsStepVisible(Property property) const;
    void SetStepIndex(Property property, int index);
    int StepIndex(Property property) const { return m_stepIndex[property]; }
    int StepCount(Property property) const { return m_stepIndex[property] + 1; }

    // "Bitte wählen" followed by the values a maximum may take.
    QStringList MaxShutterSpeedItems() const { return m_maxShutterItems; }
    QStringList MaxIsoItems() const { return m_maxIsoItems; }
    void ChooseMaxShutterSpeed(const QString& text);
    void ChooseMaxIso(const QString& text);
    const QString& MaxShutterSpeed() const { return m_maxShutter; }
    const QString& MaxIso() const { return m_maxIso; }

    // One manual change as by the panel's buttons: the step count of the selector, retried every
    // RetryMs until the camera reports the new value or GiveUpMs passed. False when refused or not
    // confirmed.
    bool Change(Property property, bool up);
    bool IsChanging() const { return m_changing; }
    int ChangesMade() const { return m_changesMade; }

    // The live view's captions while the panel is shown.
    void ShowLiveShutterSpeed(const QString& text);
    void ShowLiveAperture(const QString& text);
    const QString& LastShutterSpeed() const { return m_lastShutter; }

    // The automatic mode selector.
    bool IsAutoModeShown() const;
    bool IsAutoModeEnabled() const;
    void SetAutoMode(int index);
    int AutoMode() const { return m_mode; }
    // An automatic mode is chosen and offered.
    bool IsAuto() const;
    bool IsLRT() const { return IsAuto() && m_mode == ModeLRTimelapse; }
    // "Start" is offered: the host waits for it before the first shot.
    bool IsStartShown() const;

    bool IsSunrise() const { return m_sunrise; }
    void ToggleDirection();
    QString DirectionText() const;
    int ReverseCorrection() const { return m_reverseCorrection; }
    void ReverseCorrectionUp();
    void ReverseCorrectionDown();
    QString ReverseCorrectionText() const;
    int PoolSize() const { return m_poolSize; }
    void PoolSizeUp();
    void PoolSizeDown();
    bool IsAutoReference() const { return m_autoReference; }
    void ToggleAutoReference();
    void ReferenceDown();
    void ReferenceUp();

    // What the automatic mode compares: the LRT figures or the EV figures of the difference modes.
    double Reference() const;
    double BaseReference() const;
    double Average() const;
    QString ReferenceText() const;
    QString AverageText() const;

    // The host's input queues: one brightness value per shot, an EV reading per live frame, one
    // brightness correction in % per shot.
    TDoubleList LrtValues;
    TDoubleList EvReadings;
    TDoubleList Corrections;
    // The measurement of one shot's preview in LRTimelapse mode: its brightness value, and the
    // correction from the mean of the unshown frames against the shot's live mean (none when 0).
    void AddShotMeasurement(double lrtValue, double brightnessMean, double liveMean);
    // The measurement windows.
    TDoubleList LrtWindow;
    TDoubleList EvWindow;
    TDoubleList CorrectionWindow;

    // One second of the automatic control: takes the queued values, follows the reference before the
    // start, evaluates after it.
    void AutoTick();
    // True when it made or tried a change.
    bool Evaluate();
    // Difference modes: changes until the reading is within 0.1 EV of the reference or nothing new
    // arrives within GiveUpMs. The number of changes made.
    int Adjust();
    void DrainAll();

signals:
    void Changed();
    // A change of property runs (the panel blinks its button) or ended.
    void ChangeRunning(int property, bool running);
    void Trace(const QString& line);

private:
    qint64 now() const;
    void sleep(int ms);
    void trace(const QString& line);
    void enableAdjustments(bool enabled);
    void applyAutoMode();
    int shutterPosition(const QString& text) const;
    int isoPosition(const QString& text) const;
    QString currentIso() const;
    // The choices of a sunrise (less light wanted) and a sunset (more light wanted).
    bool darker();
    bool brighter();
    bool waitForReading(qint64 since);

    TCameraParams* m_params = nullptr;
    bool m_started = false;
    bool m_adjustmentsEnabled = true;
    bool m_changing = false;
    int m_changesMade = 0;
    std::array<int, PropertyCount> m_stepIndex {};
    std::array<QStringList, PropertyCount> m_stepItems;
    QStringList m_maxShutterItems;
    QStringList m_maxIsoItems;
    QString m_maxShutter;
    QString m_maxIso;
    QString m_lastShutter;
    QString m_liveAperture;
    int m_mode = ModeManual;
    bool m_sunrise = false;
    int m_reverseCorrection = 0;
    int m_poolSize = 5;
    bool m_autoReference = false;
    double m_lastEvaluated = 0;
    double m_lrtBase = 0;
    double m_lrtReference = 0;
    double m_lrtAverage = 0;
    double m_evBase = 0;
    double m_evReference = 0;
    double m_evAverage = 0;
};
