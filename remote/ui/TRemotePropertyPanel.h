#pragma once

#include "remote/ui/TRemotePropertyPage.h"
#include "remote/ui/TRemotePropertyPager.h"

#include <QWidget>

class QComboBox;
class TColorPhasePicker;
class TfraLiveView;
class TRemoteControl;
class TRemotePanelHost;
class TShooting;

// The remote control page's camera properties: a choice per row of the property table on the pages
// "Allgemein" and "Erweitert" (and the pages the page adds), the colour phase of the partial colour
// art filter, and the self-timer beside the drive mode. Each pick goes to the camera at once; a
// refusal is named on the picture and the camera's values are read again.
class TRemotePropertyPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TRemotePropertyPanel(QWidget* parent = nullptr);

    void Bind(TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting, TfraLiveView* liveView);

    void SetValue();
    void FillChoice(QComboBox* choice, const QString& property);
    void ActivateControls();
    bool SetParamValue(const QString& property, QComboBox* choice);
    bool SetParamValue(const QString& property, int index);
    void SetColorPhase();
    // A pick in a choice goes to the camera; the -/+ buttons move the selection by one (step -1 or
    // +1 along the list) and run the same path.
    void choiceChange(QComboBox* choice);
    void stepChoice(QComboBox* choice, int step);

    // The modes the camera's values give, handed to the shooting object and the live view.
    void DeriveModes();
    // After a failed shot: the camera may have changed its mode or values.
    void Reread();
    // Lens limits from a live view frame; the aperture list follows them.
    void ApplyApertureLimits(int lower, int upper);

    bool IsUpdating() const { return m_updating; }
    int LastApertureIndex() const { return m_lastApertureIndex; }
    // The last refused change as shown on the page; empty after a change the camera took.
    QString PropertyError() const { return m_propertyError; }
    // The choice of a property of the table.
    QComboBox* Choice(const QString& property) const;

    TRemotePropertyPager* Pager;
    TRemotePropertyPage* tsGeneral;
    TRemotePropertyPage* tsAdditional;
    QComboBox* cbxProgramMode;
    QComboBox* cbxArtFilter;
    QComboBox* cbxMovieProgramMode;
    QComboBox* cbxAperture;
    QComboBox* cbxShutterSpeed;
    QComboBox* cbxExposureCompensation;
    QComboBox* cbxISOSensitivity;
    QComboBox* cbxWhiteBalance;
    QComboBox* cbxDriveMode;
    QComboBox* cbxMovieQuality;
    QComboBox* cbxSelfTimer;
    TColorPhasePicker* cpiColorPhase;

signals:
    // The take mode may have switched between pictures and movies.
    void MovieModeChanged();
    void TimeLapseAllowed(bool allowed);

private:
    using TChoiceRow = TRemotePropertyPage::TChoiceRow;

    void connectChoices();
    bool mayChange() const;
    void trace(const QString& what) const;
    void deriveLongExposureModes();
    void deriveSequentialMode();
    void updateSelfTimerChoice();
    bool sendValue(const QString& property, const QString& value);
    void showPropertyError(const QString& property, const QString& value);
    void clearPropertyError();

    TRemotePanelHost* m_host = nullptr;
    TRemoteControl* m_control = nullptr;
    TShooting* m_shooting = nullptr;
    TfraLiveView* m_liveView = nullptr;
    bool m_updating = false;
    int m_lastApertureIndex = -1;
    QString m_propertyError;
};
