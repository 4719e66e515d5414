#include "remote/ui/TfraRemoteControl.h"

#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/RemoteControlRules.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/TColorPhasePicker.h"
#include "session/TCamera.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QToolButton>

#include <exception>
#include <optional>

using namespace RemoteControlRules;

namespace {

// What a pick does after it went to the camera.
enum class TAfterPick {
    Nothing,
    // The program modes change which properties the camera offers.
    Reload,
    // Only a switch into or out of live bulb or live time changes them.
    ReloadOnLongExposure,
    DriveMode,
    MovieQuality,
};

struct TChoiceRow
{
    QComboBox* TfraRemoteControl::*Choice;
    const char* Property;
    // The change handler's name in the trace lines.
    const char* Handler;
    // The row's caption, named when the camera refuses a pick.
    const char* Label;
    // Enabled by the mode text; the art filter and movie mode lists have rules of their own.
    std::optional<TModeChoice> Mode;
    TAfterPick After;
};

using R = TfraRemoteControl;
using M = TModeChoice;
using A = TAfterPick;
// In the order the choices are filled.
constexpr TChoiceRow kChoices[] = {
    { &R::cbxProgramMode, "takemode", "cbxProgramModeChange", "lblProgramMode", M::ProgramMode, A::Reload },
    { &R::cbxArtFilter, "artfilter", "cbxArtFilterChange", "lblProgramMode", std::nullopt, A::Reload },
    { &R::cbxMovieProgramMode, "exposemovie", "cbxMovieProgramModeChange", "lblProgramMode", std::nullopt,
        A::Reload },
    { &R::cbxAperture, "focalvalue", "cbxApertureChange", "lblAperture", M::Aperture, A::Nothing },
    { &R::cbxShutterSpeed, "shutspeedvalue", "cbxShutterSpeedChange", "lblShutterSpeed", M::ShutterSpeed,
        A::ReloadOnLongExposure },
    { &R::cbxExposureCompensation, "expcomp", "cbxExposureCompensationChange", "lblExposureCompensation",
        M::ExposureCompensation, A::Nothing },
    { &R::cbxISOSensitivity, "isospeedvalue", "cbxISOSensitivityChange", "lblISOSensitivity",
        M::ISOSensitivity, A::Nothing },
    { &R::cbxWhiteBalance, "wbvalue", "cbxWhiteBalanceChange", "lblWhiteBalance", M::WhiteBalance,
        A::Nothing },
    { &R::cbxDriveMode, "drivemode", "cbxDriveModeChange", "lblDriveMode", M::DriveMode, A::DriveMode },
    { &R::cbxColorTone, "colortone", "cbxColorToneChange", "lblColorTone", M::ColorTone, A::Nothing },
    { &R::cbxMovieQuality, "qualitymovie", "cbxMovieQualityChange", "lblMovieQuality", M::MovieQuality,
        A::MovieQuality },
    { &R::cbxNoiseReduction, "noisereduction", "cbxNoiseReductionChange", "lblNoiseReduction",
        M::NoiseReduction, A::Nothing },
    { &R::cbxBulbTimeLimit, "bulbtimelimit", "cbxBulbTimeLimitChange", "lblBulbTimeLimit", M::BulbTimeLimit,
        A::Nothing },
    { &R::cbxLowVibTime, "lowvibtime", "cbxLowVibTimeChange", "lblLowVibTime", M::LowVibTime, A::Nothing },
    { &R::cbxDigitalConverter, "digitaltelecon", "cbxDigitalConverterChange", "lblDigitalConverter",
        M::DigitalConverter, A::Nothing },
};

// The -/+ pairs; the shutter speed list runs from long to short, so its "-" moves towards the end.
struct TStepRow
{
    QToolButton* TfraRemoteControl::*Down;
    QToolButton* TfraRemoteControl::*Up;
    QComboBox* TfraRemoteControl::*Choice;
    int DownStep;
};

constexpr TStepRow kSteps[] = {
    { &R::btnApertureDown, &R::btnApertureUp, &R::cbxAperture, -1 },
    { &R::btnShutterSpeedDown, &R::btnShutterSpeedUp, &R::cbxShutterSpeed, 1 },
    { &R::btnExposureCompensationDown, &R::btnExposureCompensationUp, &R::cbxExposureCompensation, -1 },
    { &R::btnISOSensitivityDown, &R::btnISOSensitivityUp, &R::cbxISOSensitivity, -1 },
};

const TChoiceRow* choiceRow(const TfraRemoteControl* page, const QComboBox* choice)
{
    for (const TChoiceRow& row : kChoices)
        if (page->*row.Choice == choice)
            return &row;
    return nullptr;
}

} // namespace

void TfraRemoteControl::connectChoices()
{
    for (const TChoiceRow& row : kChoices) {
        QComboBox* choice = this->*row.Choice;
        connect(choice, &QComboBox::activated, this, [this, choice](int) { choiceChange(choice); });
    }
    connect(cbxSelfTimer, &QComboBox::activated, this, [this](int) { choiceChange(cbxDriveMode); });
    for (const TStepRow& row : kSteps) {
        QComboBox* choice = this->*row.Choice;
        const int down = row.DownStep;
        connect(
            this->*row.Down, &QToolButton::clicked, this, [this, choice, down] { stepChoice(choice, down); });
        connect(
            this->*row.Up, &QToolButton::clicked, this, [this, choice, down] { stepChoice(choice, -down); });
    }
    connect(cpiColorPhase, &TColorPhasePicker::HueReleased, this, [this](int) { SetColorPhase(); });
    // The value texts of the lists come from the camera's dictionaries: new words, same picks.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, [this] {
            if (m_control->Retranslate())
                SetValue();
        });
}

// ---- filling and enabling ---------------------------------------------------------------------

void TfraRemoteControl::SetValue()
{
    m_updating = true;
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.SetValue: enter"));
    try {
        for (const TChoiceRow& row : kChoices)
            FillChoice(this->*row.Choice, QString::fromLatin1(row.Property));
        if (const TCameraParam* phase = param(QStringLiteral("colorphase")))
            cpiColorPhase->SetHue(HueOfColorPhase(
                phase->RawValue.isEmpty() ? phase->Value : phase->RawValue, cpiColorPhase->Hue()));
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.SetValue (Ex): ") + QString::fromUtf8(e.what()));
    }
    deriveLongExposureModes();
    deriveSequentialMode();
    updateSelfTimerChoice();
    updateMovieMode();
    ActivateControls();
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.SetValue: leave"));
    m_updating = false;
}

void TfraRemoteControl::FillChoice(QComboBox* choice, const QString& property)
{
    const QSignalBlocker blocker(choice);
    choice->clear();
    choice->addItems(m_control->Choices(property));
    choice->setCurrentIndex(m_control->CurrentIndex(property));
}

bool TfraRemoteControl::IsMovieMode() const
{
    return shootingModes().Movie;
}

void TfraRemoteControl::ActivateControls()
{
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.ActivateControls: enter"));
    const bool active = isRemoteRecordMode();
    const QString modeText = ModeText(cbxProgramMode->currentText(), cbxMovieProgramMode->currentText());
    for (const TChoiceRow& row : kChoices) {
        if (!row.Mode)
            continue;
        const TCameraParam* p = param(QString::fromLatin1(row.Property));
        (this->*row.Choice)->setEnabled(active && p && p->IsUsable() && IsAllowedInMode(*row.Mode, modeText));
    }
    // The quality of a running recording cannot change.
    if (m_shooting->IsMovieRecording())
        cbxMovieQuality->setEnabled(false);
    cbxSelfTimer->setEnabled(cbxDriveMode->isEnabled());

    const TCameraParam* art = param(QStringLiteral("artfilter"));
    const bool artShown = IsArtFilterShown(cbxProgramMode->isEnabled(), cbxProgramMode->currentText())
        && active && art && art->IsUsable();
    cbxArtFilter->setEnabled(artShown);
    cbxArtFilter->setVisible(artShown);
    const TCameraParam* movie = param(QStringLiteral("exposemovie"));
    const bool movieShown
        = IsMovieModeShown(cbxProgramMode->isEnabled(), artShown, cbxProgramMode->currentText()) && active
        && movie && movie->IsUsable();
    cbxMovieProgramMode->setEnabled(movieShown);
    cbxMovieProgramMode->setVisible(movieShown);

    const bool hue = artShown && cbxArtFilter->currentText() == rs("_rsARTPartColor");
    cpiColorPhase->setEnabled(hue);
    cpiColorPhase->setVisible(hue);

    for (const TStepRow& row : kSteps) {
        const bool enabled = (this->*row.Choice)->isEnabled();
        (this->*row.Down)->setEnabled(enabled);
        (this->*row.Up)->setEnabled(enabled);
    }

    m_timeLapseAllowed = shootingModes().TimeLapseAllowed;
    EnableTimeLapse(m_timeLapseAllowed);
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.ActivateControls: leave"));
}

RemoteControlRules::TShootingModes TfraRemoteControl::shootingModes() const
{
    return Camera() ? RemoteControlRules::ModesOf(Camera()->Remote.Params)
                    : RemoteControlRules::TShootingModes();
}

void TfraRemoteControl::deriveLongExposureModes()
{
    const RemoteControlRules::TShootingModes modes = shootingModes();
    m_liveBulbMode = modes.LiveBulb;
    m_liveTimeMode = modes.LiveTime;
    fraLiveView->SetLongExposureMode(m_liveTimeMode, m_liveBulbMode);
    syncShootingModes();
}

void TfraRemoteControl::deriveSequentialMode()
{
    m_sequentialMode = shootingModes().Sequential;
    syncShootingModes();
}

void TfraRemoteControl::updateSelfTimerChoice()
{
    cbxSelfTimer->setVisible(shootingModes().TimerDrive);
    syncShootingModes();
}

void TfraRemoteControl::updateMovieMode()
{
    const bool movie = IsMovieMode();
    btnTakeMovie->setVisible(movie);
    btnTake->setVisible(!movie);
    fraLiveView->lblTimer->setText(QStringLiteral("00:00:00"));
    const TCameraParam* quality = param(QStringLiteral("qualitymovie"));
    fraLiveView->lblMovieQuality->setText(quality ? quality->Value : QString());
    fraLiveView->lblTimer->setVisible(movie);
    fraLiveView->lblMovieQuality->setVisible(movie);
}

// ---- sending changes --------------------------------------------------------------------------

bool TfraRemoteControl::SetParamValue(const QString& property, QComboBox* choice)
{
    if (!choice || choice->currentIndex() < 0) {
        beginCommunication(QStringLiteral("SetParamValue"));
        ActivateControls();
        endCommunication(QStringLiteral("SetParamValue"));
        return false;
    }
    // The first form sends the display text, which the property finds among its values.
    return sendValue(property, choice->currentText());
}

bool TfraRemoteControl::SetParamValue(const QString& property, int index)
{
    const TCameraParam* p = param(property);
    if (!p || index < 0 || index >= p->RawValues.size())
        return false;
    return sendValue(property, p->RawValues.at(index));
}

bool TfraRemoteControl::sendValue(const QString& property, const QString& value)
{
    beginCommunication(QStringLiteral("SetParamValue"));
    TRemoteControl::TSent sent = TRemoteControl::TSent::NotSent;
    try {
        const QPointer<TfraRemoteControl> self(this);
        setEnabled(false);
        sent = m_control->Send(property, value);
        if (!self)
            return false;
        setEnabled(true);
        if (sent == TRemoteControl::TSent::Taken)
            clearPropertyError();
        else if (sent == TRemoteControl::TSent::Refused) {
            showPropertyError(property, value);
            // The camera's values were read again.
            if (!m_updating)
                SetValue();
        }
        ActivateControls();
    } catch (const std::exception& e) {
        setEnabled(true);
        TLogger::LogTrace(
            QStringLiteral("TfraRemoteControl.SetParamValue (Ex): ") + QString::fromUtf8(e.what()));
        sent = TRemoteControl::TSent::NotSent;
    }
    endCommunication(QStringLiteral("SetParamValue"));
    return sent == TRemoteControl::TSent::Taken;
}

void TfraRemoteControl::showPropertyError(const QString& property, const QString& value)
{
    // The row's caption as the user reads it.
    QString caption;
    if (property == QLatin1String("colorphase"))
        caption = rs("_rsARTPartColor");
    for (const TChoiceRow& row : kChoices) {
        if (property != QLatin1String(row.Property))
            continue;
        if (const QLabel* label = tsCameraProperties->findChild<QLabel*>(QString::fromLatin1(row.Label)))
            caption = label->text();
    }
    m_propertyError = m_control->RefusalText(caption, property, value);
    TLogger::LogAlways(QStringLiteral("TfraRemoteControl.SetParamValue: ") + m_propertyError);
    fraLiveView->ShowError(m_propertyError);
}

void TfraRemoteControl::clearPropertyError()
{
    if (m_propertyError.isEmpty())
        return;
    // Only our own text goes; an error of the live view stays.
    if (fraLiveView->lblErrorMsg->text() == m_propertyError)
        fraLiveView->ShowError(QString());
    m_propertyError.clear();
}

void TfraRemoteControl::choiceChange(QComboBox* choice)
{
    const TChoiceRow* row = choiceRow(this, choice);
    if (!row || !mayChange())
        return;
    const QString handler = QString::fromLatin1(row->Handler);
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(handler);
    const bool bulb = m_liveBulbMode;
    const bool time = m_liveTimeMode;
    if (choice == cbxAperture)
        m_lastApertureIndex = choice->currentIndex();
    SetParamValue(QString::fromLatin1(row->Property), choice);
    if (!self)
        return;
    bool reload = row->After == TAfterPick::Reload;
    switch (row->After) {
    case TAfterPick::ReloadOnLongExposure:
        // From what the camera now holds.
        deriveLongExposureModes();
        reload = bulb != m_liveBulbMode || time != m_liveTimeMode;
        break;
    case TAfterPick::DriveMode:
        deriveSequentialMode();
        updateSelfTimerChoice();
        ActivateControls();
        break;
    case TAfterPick::MovieQuality:
        if (const TCameraParam* quality = param(QStringLiteral("qualitymovie")))
            fraLiveView->lblMovieQuality->setText(quality->Value);
        break;
    case TAfterPick::Nothing:
    case TAfterPick::Reload:
        break;
    }
    if (reload) {
        m_control->ReloadAll();
        if (!self)
            return;
        SetValue();
    }
    endCommunication(handler);
}

void TfraRemoteControl::SetColorPhase()
{
    if (!mayChange())
        return;
    const THueSnap snap = SnapHue(cpiColorPhase->Hue());
    cpiColorPhase->SetHue(snap.Hue);
    beginCommunication(QStringLiteral("SetColorPhase"));
    SetParamValue(QStringLiteral("colorphase"), snap.Step);
    endCommunication(QStringLiteral("SetColorPhase"));
}

// ---- -/+ buttons ------------------------------------------------------------------------------

void TfraRemoteControl::stepChoice(QComboBox* choice, int step)
{
    const int selected = choice->currentIndex();
    int index = selected + step;
    // The aperture steps on from the last pick when the lens limits took the selection away.
    if (choice == cbxAperture)
        index = step < 0 ? ApertureDownIndex(selected, m_lastApertureIndex)
                         : ApertureUpIndex(selected, choice->count(), m_lastApertureIndex);
    if (index < 0 || index >= choice->count())
        return;
    {
        const QSignalBlocker blocker(choice);
        choice->setCurrentIndex(index);
    }
    choiceChange(choice);
}
