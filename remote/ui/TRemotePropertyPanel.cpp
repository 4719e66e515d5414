#include "remote/ui/TRemotePropertyPanel.h"

#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "camera/TCameraParams.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/TColorPhasePicker.h"
#include "remote/ui/TRemotePanelHost.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

#include <exception>

using namespace RemoteControlRules;
using RemotePropertyTable::TPage;

TRemotePropertyPanel::TRemotePropertyPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsCameraProperties"));
    DarkStyle::Apply(this, DarkStyle::Panel());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    Pager = new TRemotePropertyPager(this);
    layout->addWidget(Pager);
    tsGeneral = new TRemotePropertyPage(TPage::General, "tsGeneral", QStringLiteral("Allgemein"));
    tsAdditional = new TRemotePropertyPage(TPage::Additional, "tsAdditional", QStringLiteral("Erweitert"));
    Pager->AddPage(tsGeneral);
    Pager->AddPage(tsAdditional);
    cbxProgramMode = Choice(QStringLiteral("takemode"));
    cbxArtFilter = Choice(QStringLiteral("artfilter"));
    cbxMovieProgramMode = Choice(QStringLiteral("exposemovie"));
    cbxAperture = Choice(QStringLiteral("focalvalue"));
    cbxShutterSpeed = Choice(QStringLiteral("shutspeedvalue"));
    cbxExposureCompensation = Choice(QStringLiteral("expcomp"));
    cbxISOSensitivity = Choice(QStringLiteral("isospeedvalue"));
    cbxWhiteBalance = Choice(QStringLiteral("wbvalue"));
    cbxDriveMode = Choice(QStringLiteral("drivemode"));
    cbxMovieQuality = Choice(QStringLiteral("qualitymovie"));
    cbxSelfTimer = tsGeneral->SelfTimer;
    cpiColorPhase = tsGeneral->ColorPhase;
}

void TRemotePropertyPanel::Bind(
    TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting, TfraLiveView* liveView)
{
    m_host = host;
    m_control = control;
    m_shooting = shooting;
    m_liveView = liveView;
    connectChoices();
}

void TRemotePropertyPanel::connectChoices()
{
    for (const TRemotePropertyPage* page : { tsGeneral, tsAdditional }) {
        connect(page, &TRemotePropertyPage::Picked, this, &TRemotePropertyPanel::choiceChange);
        connect(page, &TRemotePropertyPage::Stepped, this, &TRemotePropertyPanel::stepChoice);
    }
    connect(cpiColorPhase, &TColorPhasePicker::HueReleased, this, [this](int) { SetColorPhase(); });
    // The value texts of the lists come from the camera's dictionaries: new words, same picks.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, [this] {
            if (m_control->Retranslate())
                SetValue();
        });
}

QComboBox* TRemotePropertyPanel::Choice(const QString& property) const
{
    QComboBox* choice = tsGeneral->Choice(property);
    return choice ? choice : tsAdditional->Choice(property);
}

// ---- helpers ----------------------------------------------------------------------------------

bool TRemotePropertyPanel::mayChange() const
{
    return m_control->IsConnected() && !m_updating && !m_liveView->IsUpdatingChoices();
}

void TRemotePropertyPanel::trace(const QString& what) const
{
    if (m_host->IsDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.") + what);
}

// ---- filling and enabling ---------------------------------------------------------------------

void TRemotePropertyPanel::SetValue()
{
    m_updating = true;
    trace(QStringLiteral("SetValue: enter"));
    try {
        tsGeneral->Fill(*m_control);
        tsAdditional->Fill(*m_control);
        if (const TCameraParam* phase = m_control->Param(QStringLiteral("colorphase")))
            cpiColorPhase->SetHue(HueOfColorPhase(
                phase->RawValue.isEmpty() ? phase->Value : phase->RawValue, cpiColorPhase->Hue()));
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.SetValue (Ex): ") + QString::fromUtf8(e.what()));
    }
    deriveLongExposureModes();
    deriveSequentialMode();
    updateSelfTimerChoice();
    emit MovieModeChanged();
    ActivateControls();
    trace(QStringLiteral("SetValue: leave"));
    m_updating = false;
}

void TRemotePropertyPanel::FillChoice(QComboBox* choice, const QString& property)
{
    TRemotePropertyPage::FillChoice(choice, m_control->Choices(property), m_control->CurrentIndex(property));
}

void TRemotePropertyPanel::ApplyApertureLimits(int lower, int upper)
{
    if (!m_control->ApplyApertureLimits(lower, upper))
        return;
    // A refill is no user choice: the change handler stays quiet.
    const bool updating = m_updating;
    m_updating = true;
    FillChoice(cbxAperture, QStringLiteral("focalvalue"));
    m_updating = updating;
}

void TRemotePropertyPanel::ActivateControls()
{
    trace(QStringLiteral("ActivateControls: enter"));
    const QList<bool> enabled = RemotePropertyTable::Enabling(m_control->IsRemoteRecordMode(),
        cbxProgramMode->currentText(), cbxMovieProgramMode->currentText(), [this](const QString& property) {
            const TCameraParam* p = m_control->Param(property);
            return p && p->IsUsable();
        });
    // The pages hold the table's rows in its order.
    QList<bool>::const_iterator next = enabled.cbegin();
    tsGeneral->Enable(next);
    tsAdditional->Enable(next);
    // The quality of a running recording cannot change.
    if (m_shooting->IsMovieRecording())
        cbxMovieQuality->setEnabled(false);
    const bool hue = !cbxArtFilter->isHidden() && cbxArtFilter->currentText() == rs("_rsARTPartColor");
    cpiColorPhase->setEnabled(hue);
    cpiColorPhase->setVisible(hue);
    emit TimeLapseAllowed(m_control->Modes().TimeLapseAllowed);
    trace(QStringLiteral("ActivateControls: leave"));
}

// ---- modes ------------------------------------------------------------------------------------

void TRemotePropertyPanel::DeriveModes()
{
    deriveLongExposureModes();
    deriveSequentialMode();
}

void TRemotePropertyPanel::deriveLongExposureModes()
{
    const TShootingModes modes = m_control->Modes();
    m_liveView->SetLongExposureMode(modes.LiveTime, modes.LiveBulb);
    m_shooting->SetModes(
        modes.LiveTime, modes.LiveBulb, m_shooting->IsSequentialMode(), !cbxSelfTimer->isHidden());
}

void TRemotePropertyPanel::deriveSequentialMode()
{
    m_shooting->SetModes(m_shooting->IsLiveTimeMode(), m_shooting->IsLiveBulbMode(),
        m_control->Modes().Sequential, !cbxSelfTimer->isHidden());
}

void TRemotePropertyPanel::updateSelfTimerChoice()
{
    cbxSelfTimer->setVisible(m_control->Modes().TimerDrive);
    // Not hidden stands for a timer drive mode, also while another property page is in front.
    m_shooting->SetModes(m_shooting->IsLiveTimeMode(), m_shooting->IsLiveBulbMode(),
        m_shooting->IsSequentialMode(), !cbxSelfTimer->isHidden());
}

// ---- sending changes --------------------------------------------------------------------------

bool TRemotePropertyPanel::SetParamValue(const QString& property, QComboBox* choice)
{
    if (!choice || choice->currentIndex() < 0) {
        m_host->BeginCommunication(QStringLiteral("SetParamValue"));
        ActivateControls();
        m_host->EndCommunication(QStringLiteral("SetParamValue"));
        return false;
    }
    // The first form sends the display text, which the property finds among its values.
    return sendValue(property, choice->currentText());
}

bool TRemotePropertyPanel::SetParamValue(const QString& property, int index)
{
    const TCameraParam* p = m_control->Param(property);
    if (!p || index < 0 || index >= p->RawValues.size())
        return false;
    return sendValue(property, p->RawValues.at(index));
}

bool TRemotePropertyPanel::sendValue(const QString& property, const QString& value)
{
    m_host->BeginCommunication(QStringLiteral("SetParamValue"));
    TRemoteControl::TSent sent = TRemoteControl::TSent::NotSent;
    try {
        const QPointer<TRemotePropertyPanel> self(this);
        m_host->SetPageEnabled(false);
        sent = m_control->Send(property, value);
        if (!self)
            return false;
        m_host->SetPageEnabled(true);
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
        m_host->SetPageEnabled(true);
        TLogger::LogTrace(
            QStringLiteral("TfraRemoteControl.SetParamValue (Ex): ") + QString::fromUtf8(e.what()));
        sent = TRemoteControl::TSent::NotSent;
    }
    m_host->EndCommunication(QStringLiteral("SetParamValue"));
    return sent == TRemoteControl::TSent::Taken;
}

void TRemotePropertyPanel::showPropertyError(const QString& property, const QString& value)
{
    // The row's caption as the user reads it.
    QString caption;
    if (property == QLatin1String("colorphase"))
        caption = rs("_rsARTPartColor");
    if (const RemotePropertyTable::TRow* row = RemotePropertyTable::Find(property))
        if (const QLabel* label = findChild<QLabel*>(QString::fromLatin1(row->Caption)))
            caption = label->text();
    m_propertyError = m_control->RefusalText(caption, property, value);
    TLogger::LogAlways(QStringLiteral("TfraRemoteControl.SetParamValue: ") + m_propertyError);
    m_liveView->ShowError(m_propertyError);
}

void TRemotePropertyPanel::clearPropertyError()
{
    if (m_propertyError.isEmpty())
        return;
    // Only our own text goes; an error of the live view stays.
    if (m_liveView->lblErrorMsg->text() == m_propertyError)
        m_liveView->ShowError(QString());
    m_propertyError.clear();
}

void TRemotePropertyPanel::choiceChange(QComboBox* choice)
{
    const TChoiceRow* row = tsGeneral->RowOf(choice) ? tsGeneral->RowOf(choice) : tsAdditional->RowOf(choice);
    if (!row || !mayChange())
        return;
    const QString handler = QString::fromLatin1(row->Row->Choice) + QStringLiteral("Change");
    const QPointer<TRemotePropertyPanel> self(this);
    m_host->BeginCommunication(handler);
    const TShootingModes before = m_control->Modes();
    if (choice == cbxAperture)
        m_lastApertureIndex = choice->currentIndex();
    SetParamValue(QString::fromLatin1(row->Row->Property), choice);
    if (!self)
        return;
    // The long exposure modes from what the camera now holds.
    if (row->Row->After == RemotePropertyTable::TAfterPick::ReloadOnLongExposure)
        deriveLongExposureModes();
    const RemotePropertyTable::TFollowUp follow
        = RemotePropertyTable::FollowUp(*row->Row, before, m_control->Modes());
    if (follow.DriveModes) {
        deriveSequentialMode();
        updateSelfTimerChoice();
        ActivateControls();
    }
    if (follow.MovieQuality)
        if (const TCameraParam* quality = m_control->Param(QStringLiteral("qualitymovie")))
            m_liveView->lblMovieQuality->setText(quality->Value);
    if (follow.ReloadAll) {
        m_control->ReloadAll();
        if (!self)
            return;
        SetValue();
    }
    m_host->EndCommunication(handler);
}

void TRemotePropertyPanel::Reread()
{
    if (m_updating || !m_control->IsTakeAnswered())
        return;
    const QPointer<TRemotePropertyPanel> self(this);
    m_host->BeginCommunication(QStringLiteral("rereadCamera"));
    m_control->ReloadAll();
    if (!self)
        return;
    if (!m_updating)
        SetValue();
    m_host->EndCommunication(QStringLiteral("rereadCamera"));
}

void TRemotePropertyPanel::SetColorPhase()
{
    if (!mayChange())
        return;
    const THueSnap snap = SnapHue(cpiColorPhase->Hue());
    cpiColorPhase->SetHue(snap.Hue);
    m_host->BeginCommunication(QStringLiteral("SetColorPhase"));
    SetParamValue(QStringLiteral("colorphase"), snap.Step);
    m_host->EndCommunication(QStringLiteral("SetColorPhase"));
}

void TRemotePropertyPanel::stepChoice(QComboBox* choice, int step)
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
